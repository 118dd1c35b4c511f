#pragma once
// The whole Win32 platform in one place, in the order its parts depend on each other.
#include <memory>

#include "platform/platform.h"
#include "platform/win32/main_window_win32.h"
#include "platform/win32/splash_window_win32.h"
#include "platform/win32/tool_windows_win32.h"

namespace vandrel::win32 {

class Win32Platform {
 public:
  Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& platform() { return platform_; }
  MainWindow& window() { return window_; }

 private:
  UiContext context_;
  ListBox list_;
  StatusBar statusBar_;
  Menus menus_;
  Dialogs dialogs_{context_};
  Timers timers_{context_};
  Shell shell_;
  ToolWindows toolWindows_{context_};
  SplashWindow splash_{context_};
  System system_;
  std::unique_ptr<IRegistry> registry_;
  std::unique_ptr<IFileSystem> files_;
  MainWindow window_;
  Platform platform_;
};

}  // namespace vandrel::win32
