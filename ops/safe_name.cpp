#include "ops/safe_name.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "app/latin_case.h"

namespace vandrel {
namespace {

constexpr std::array<std::wstring_view, 6> kDevices = {L"CON", L"PRN",    L"AUX",
                                                       L"NUL", L"CONIN$", L"CONOUT$"};
// COM and LPT take a digit, and Windows counts the superscript digits among them.
constexpr std::wstring_view kNumberedDevices[] = {L"COM", L"LPT"};
constexpr std::wstring_view kDeviceDigits = L"0123456789\u00B9\u00B2\u00B3";

// Windows drops trailing blanks and dots from the last part of a path.
std::wstring_view StripTrailing(std::wstring_view name) {
  size_t end = name.find_last_not_of(L" .");
  return end == std::wstring_view::npos ? std::wstring_view() : name.substr(0, end + 1);
}

bool SameLetters(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return UpperLatin(x) == UpperLatin(y); });
}

// A device name stays one with any extension and with blanks before the extension.
bool IsDeviceName(std::wstring_view name) {
  std::wstring_view base = name.substr(0, name.find(L'.'));
  base = base.substr(0, base.find_last_not_of(L' ') + 1);
  for (auto device : kDevices)
    if (SameLetters(base, device)) return true;
  if (base.size() != 4 || kDeviceDigits.find(base[3]) == std::wstring_view::npos) return false;
  for (auto device : kNumberedDevices)
    if (SameLetters(base.substr(0, 3), device)) return true;
  return false;
}

// The file system's own capitals of the Cyrillic small letters, beyond a to z.
wchar_t UpperLetter(wchar_t c) {
  if (c >= L'\u0430' && c <= L'\u044F') return static_cast<wchar_t>(c - 0x20);  // а..я
  if (c >= L'\u0450' && c <= L'\u045F') return static_cast<wchar_t>(c - 0x50);  // ѐ..џ
  if (c == L'\u0491') return L'\u0490';                                         // ґ
  return UpperLatin(c);
}

}  // namespace

bool IsSafeOutputName(const std::wstring& name) {
  if (name.find_first_of(L"\\/:") != std::wstring::npos) return false;
  // Covers ".", ".." and names that would fall back onto the folder itself.
  std::wstring_view stripped = StripTrailing(name);
  return !stripped.empty() && !IsDeviceName(stripped);
}

std::wstring FileNameKey(const std::wstring& name) {
  std::wstring key(StripTrailing(name));
  for (wchar_t& c : key) c = UpperLetter(c);
  return key;
}

}  // namespace vandrel
