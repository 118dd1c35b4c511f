#include "ops/entry_name.h"

#include <algorithm>

#include "app/latin_case.h"
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
  // One byte a character: Windows-1251 in every build, whatever the user's locale.
  if (name.size() > kNameSize) return NameProblem::TooLong;
  if (!codepage::Holds(name)) return NameProblem::NotInCodePage;
  if (!CouldBeFileName(name)) return NameProblem::NotAFileName;
  return NameProblem::None;
}

bool SameEntryName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperLatin(x) == UpperLatin(y);
         });
}

std::string EntryNameKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = UpperLatin(c);
  return key;
}

}  // namespace vandrel
