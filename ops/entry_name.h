#pragma once
// What a name must be to become an entry's name: what the user wrote, kept exactly in the
// 24-byte field of the archive's code page, and a name that extraction can give a file on
// Windows, where the archives are used.
#include <string>
#include <string_view>

namespace vandrel {

enum class NameProblem {
  None,
  TooLong,        // more than the field's 24 bytes
  NotInCodePage,  // a character the code page lacks would be stored as "?"
  NotAFileName,   // empty, a folder, a device, or holding a character file names may not hold
};

NameProblem CheckEntryName(const std::wstring& name);

// Two names, as the archive's bytes, are one name to the game when they differ only in the case
// of the letters a to z; every other byte stands for itself.
bool SameEntryName(std::string_view a, std::string_view b);
// The form in which every name of one game name is the same string, to hash and compare.
std::string EntryNameKey(std::string_view name);

}  // namespace vandrel
