#pragma once
// What a name must be to become an entry's name: what the user wrote, kept exactly in the
// 24-byte field of the archive's code page, and a name that extraction can give a file on
// Windows, where the archives are used.
#include <string>

namespace vandrel {

enum class NameProblem {
  None,
  TooLong,        // more than the field's 24 bytes
  NotInCodePage,  // a character the code page lacks would be stored as "?"
  NotAFileName,   // empty, a folder, a device, or holding a character file names may not hold
};

NameProblem CheckEntryName(const std::wstring& name);

}  // namespace vandrel
