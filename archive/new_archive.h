#pragma once
// A new archive of no entries. Version 2 is laid out as rebuilding an archive of no entries
// leaves it: the header, then zero bytes to the end of the directory's room. Version 1 is an
// empty .dir and an .img of one sector of zero bytes: an .img too short for the 8 bytes that
// tell the layouts apart does not open, and the sector is a hole that a rebuild drops.
#include <string>

#include "platform/file.h"

namespace vandrel {

// Refuses, with "'path' already exists.", when any of the files it would write is there.
void CreateEmptyArchive(IFileSystem& files, const std::wstring& imgPath, bool version2);

}  // namespace vandrel
