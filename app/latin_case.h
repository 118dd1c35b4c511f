#pragma once
// Names are compared without case the way Find always has: only the plain Latin letters fold;
// every other character, Cyrillic included, stays as it is.
#include <string>

namespace vandrel {

inline wchar_t UpperLatin(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

// A byte of an archive's name: the game folds the same letters.
inline char UpperLatin(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

inline std::wstring UpperLatin(std::wstring text) {
  for (auto& c : text) c = UpperLatin(c);
  return text;
}

}  // namespace vandrel
