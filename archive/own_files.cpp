#include <algorithm>

#include "archive/img_archive.h"
#include "platform/file.h"

namespace vandrel {

OwnFiles::OwnFiles(IFileSystem& files) : files_(files) {
  for (const std::wstring* own : {&IMGArchive.IMGFile, &IMGArchive.DIRFile})
    if (!own->empty())
      if (auto identity = files.IdentityOf(*own)) own_.push_back(*identity);
}

bool OwnFiles::Holds(const std::wstring& path) const {
  if (own_.empty()) return false;
  const auto identity = files_.IdentityOf(path);
  return identity && std::find(own_.begin(), own_.end(), *identity) != own_.end();
}

bool IsArchiveFile(IFileSystem& files, const std::wstring& path) {
  return OwnFiles(files).Holds(path);
}

}  // namespace vandrel
