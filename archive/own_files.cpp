#include "archive/img_archive.h"
#include "platform/file.h"

namespace vandrel {

bool IsArchiveFile(IFileSystem& files, const std::wstring& path) {
  for (const std::wstring* own : {&IMGArchive.IMGFile, &IMGArchive.DIRFile})
    if (!own->empty() && files.SameFile(path, *own)) return true;
  return false;
}

}  // namespace vandrel
