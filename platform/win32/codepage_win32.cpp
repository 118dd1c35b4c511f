// On Windows names go through the system's own ANSI code page.
#include <windows.h>

#include "platform/codepage.h"

namespace vandrel::codepage {

// No code page makes more UTF-16 units than it has bytes, so one call fills room made up front.
void AppendText(std::wstring& text, std::string_view bytes) {
  if (bytes.empty()) return;
  const size_t start = text.size();
  text.resize(start + bytes.size());
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                              text.data() + start, static_cast<int>(bytes.size()));
  text.resize(start + static_cast<size_t>(n > 0 ? n : 0));
}

// Without best-fit mapping, a character with no byte of its own takes the default character.
bool Holds(std::wstring_view text) {
  if (text.empty()) return true;
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                              static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
  return n > 0 && !usedDefault;
}

std::string ToBytes(std::wstring_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace vandrel::codepage
