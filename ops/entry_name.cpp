#include "ops/entry_name.h"

#include <algorithm>

#include "archive/img_format.h"
#include "ops/safe_name.h"
#include "platform/codepage.h"

namespace vandrel {
namespace {

// Beyond what keeps an extracted file in its folder: wildcards, the other characters Windows
// refuses in file names, and control characters.
bool CouldBeFileName(const std::wstring& name) {
  return IsSafeOutputName(name) && name.find_first_of(L"*?\"<>|") == std::wstring::npos &&
         std::none_of(name.begin(), name.end(), [](wchar_t c) { return c < L' '; });
}

}  // namespace

NameProblem CheckEntryName(const std::wstring& name) {
  // A code page of two-byte characters could make 24 characters longer than the field.
  if (name.size() > kNameSize || codepage::ToBytes(name).size() > kNameSize)
    return NameProblem::TooLong;
  if (!codepage::Holds(name)) return NameProblem::NotInCodePage;
  if (!CouldBeFileName(name)) return NameProblem::NotAFileName;
  return NameProblem::None;
}

std::string GameNameKey(std::string_view nameBytes) {
  std::string key(nameBytes.substr(0, nameBytes.find('\0')));
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  return key;
}

}  // namespace vandrel
