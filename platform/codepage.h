#pragma once
// Archive names are Windows-1251 bytes, like all of the program's 8-bit texts; the program works
// with text. The table is fixed rather than the system's ANSI code page: under a Western locale
// a Cyrillic name would otherwise show garbled, extract under a garbled file name and be
// refused when typed.
#include <string>
#include <string_view>

namespace vandrel::codepage {

// Appends the bytes' text to `text`; a list of 100,000 rows is built without a string per name.
void AppendText(std::wstring& text, std::string_view bytes);
inline std::wstring ToText(std::string_view bytes) {
  std::wstring text;
  AppendText(text, bytes);
  return text;
}
// Whether the code page has a byte for every character of the text (none would become '?').
bool Holds(std::wstring_view text);
// Characters the code page cannot hold become '?'.
std::string ToBytes(std::wstring_view text);

}  // namespace vandrel::codepage
