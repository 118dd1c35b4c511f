#include "platform/win32/window_helpers_win32.h"

#include <algorithm>
#include <string>
#include <utility>

namespace vandrel::win32 {
namespace {

// The hook of the innermost CentredDialogs of the (single) UI thread.
CentredDialogs* current = nullptr;

bool IsDialogBox(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wstring(name) == L"#32770";
}

}  // namespace

void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HICON icon,
                       HBRUSH background) {
  WNDCLASSEXW windowClass{};
  if (GetClassInfoExW(instance, name, &windowClass)) return;
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

void CentreOnScreen(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetAppIcon(HWND window, HINSTANCE instance) {
  auto load = [&](int size) {
    return static_cast<HICON>(
        LoadImageW(instance, L"MAINICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR | LR_SHARED));
  };
  SendMessageW(window, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXICON))));
  SendMessageW(window, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXSMICON))));
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length));
  return text;
}

CentredDialogs::CentredDialogs(HINSTANCE instance, bool withIcon,
                               std::function<void(HWND)> onFirstShown)
    : hook_(SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId())),
      outer_(current),
      instance_(instance),
      withIcon_(withIcon),
      onFirstShown_(std::move(onFirstShown)) {
  current = this;
}

CentredDialogs::~CentredDialogs() {
  current = outer_;
  if (hook_) UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK CentredDialogs::Hook(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = current ? current->hook_ : nullptr;
  if (code == HCBT_ACTIVATE && current) {
    HWND window = reinterpret_cast<HWND>(wParam);
    // A dialog is placed once, when it first comes up; later activations leave it alone.
    auto& placed = current->placed_;
    if (IsDialogBox(window) && std::find(placed.begin(), placed.end(), window) == placed.end()) {
      placed.push_back(window);
      CentreOnScreen(window);
      if (current->withIcon_) SetAppIcon(window, current->instance_);
      if (current->onFirstShown_) current->onFirstShown_(window);
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace vandrel::win32
