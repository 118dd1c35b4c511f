#pragma once
// Helpers every window of the program shares: each stands in the middle of the screen and
// carries the application's icon.
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace vandrel::win32 {

// Registers a window class of this module the first time; later calls find it there.
void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HICON icon,
                       HBRUSH background);
// Left = screen width / 2 - window width / 2, top likewise; outer sizes, halves truncated.
void CentreOnScreen(HWND window);
void SetAppIcon(HWND window, HINSTANCE instance);
std::wstring WindowText(HWND window);

// While alive, each dialog box this thread activates is centred on the screen (and, when
// asked, given the application's icon): the system's dialogs place themselves otherwise.
// `onFirstShown` runs once for each such box as it comes up.
class CentredDialogs {
 public:
  CentredDialogs(HINSTANCE instance, bool withIcon, std::function<void(HWND)> onFirstShown = {});
  CentredDialogs(const CentredDialogs&) = delete;
  CentredDialogs& operator=(const CentredDialogs&) = delete;
  ~CentredDialogs();

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_;
  CentredDialogs* outer_;
  HINSTANCE instance_;
  bool withIcon_;
  std::function<void(HWND)> onFirstShown_;
  std::vector<HWND> placed_;
};

}  // namespace vandrel::win32
