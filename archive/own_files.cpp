#include <algorithm>

#include "archive/img_archive.h"
#include "platform/file.h"

namespace vandrel {

OwnFiles::OwnFiles(IFileSystem& files) : files_(files) {
  for (const std::wstring* own : {&IMGArchive.IMGFile, &IMGArchive.DIRFile}) {
    const auto identity = own->empty() ? std::nullopt : files.IdentityOf(*own);
    if (!identity) continue;
    own_.push_back(*identity);
    if (const auto number = files.FileNumberOf(*own)) numbers_.push_back(*number);
  }
}

bool OwnFiles::Holds(const std::wstring& path) const {
  if (own_.empty()) return false;
  // The file's number rules out nearly every file; its volume is asked only when the number
  // matches, as asking cost half a millisecond a file under Wine. An own file without a number
  // lets no file be ruled out by it.
  const auto number = files_.FileNumberOf(path);
  const bool allNumbered = numbers_.size() == own_.size();
  if (allNumbered && number &&
      std::find(numbers_.begin(), numbers_.end(), *number) == numbers_.end())
    return false;
  const auto identity = files_.IdentityOf(path);
  return identity && std::find(own_.begin(), own_.end(), *identity) != own_.end();
}

bool IsArchiveFile(IFileSystem& files, const std::wstring& path) {
  return OwnFiles(files).Holds(path);
}

}  // namespace vandrel
