#include <algorithm>

#include "archive/img_archive.h"
#include "platform/file.h"

namespace vandrel {

OwnFiles::OwnFiles(IFileSystem& files) : files_(files) {
  for (const std::wstring* own : {&IMGArchive.IMGFile, &IMGArchive.DIRFile}) {
    const auto identity = own->empty() ? std::nullopt : files.IdentityOf(*own);
    if (!identity) continue;
    own_.push_back(*identity);
    // An own file without a number would let no file be ruled out by its number.
    const auto number = files.FileNumberOf(*own);
    if (number)
      numbers_.push_back(*number);
    else
      numbered_ = false;
  }
}

bool OwnFiles::Holds(const std::wstring& path) const {
  // The file's number rules out nearly every file; its volume is asked only when the number
  // matches, as asking cost half a millisecond a file under Wine.
  if (own_.empty()) return false;
  const auto number = files_.FileNumberOf(path);
  if (numbered_ && number && std::find(numbers_.begin(), numbers_.end(), *number) == numbers_.end())
    return false;
  const auto identity = files_.IdentityOf(path);
  return identity && std::find(own_.begin(), own_.end(), *identity) != own_.end();
}

bool IsArchiveFile(IFileSystem& files, const std::wstring& path) {
  return OwnFiles(files).Holds(path);
}

}  // namespace vandrel
