#pragma once
// What every part of the window side shares: the module, the main window once it exists, the
// fonts, and the way into the program's top-level error handler.
#include <functional>

#include "platform/win32/handles_win32.h"
#include "platform/win32/windows_api.h"

namespace vandrel::win32 {

// "MS Sans Serif" at 8 points, regular, bold and underlined (links).
class Fonts {
 public:
  Fonts();
  HFONT regular() const { return regular_.get(); }
  HFONT bold() const { return bold_.get(); }
  HFONT underlined() const { return underlined_.get(); }

 private:
  GdiObject<HFONT> regular_, bold_, underlined_;
};

struct UiContext {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND main = nullptr;
  Fonts fonts;
  // Runs an event handler of the program; what it raises is shown, not propagated.
  std::function<void(const std::function<void()>&)> guard = [](const auto& handler) { handler(); };
};

}  // namespace vandrel::win32
