#pragma once
// A new archive of no entries, laid out as rebuilding an archive of no entries leaves it:
// version 1 an empty .img and an empty .dir; version 2 the header and zero bytes to the end of
// the directory's reserved sectors.
#include <string>

#include "platform/file.h"

namespace vandrel {

// Refuses, with "'path' already exists.", when any of the files it would write is there.
void CreateEmptyArchive(IFileSystem& files, const std::wstring& imgPath, bool version2);

}  // namespace vandrel
