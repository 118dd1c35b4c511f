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

// A name's bytes (up to the first zero, if any) as the game tells names apart: the letters a to
// z read as A to Z, every other byte, Cyrillic included, as it is. Equal keys, one name.
std::string GameNameKey(std::string_view nameBytes);

inline bool SameEntryName(std::string_view a, std::string_view b) {
  return GameNameKey(a) == GameNameKey(b);
}

}  // namespace vandrel
