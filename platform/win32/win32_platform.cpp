#include "platform/win32/win32_platform.h"

#include "platform/win32/registry_win32.h"

namespace vandrel::win32 {

Win32Platform::Win32Platform()
    : registry_(MakeRegistry()),
      files_(MakeNativeFileSystem()),
      window_(context_, {list_, statusBar_, menus_, dialogs_, timers_}),
      platform_{window_, list_,   statusBar_, menus_,  dialogs_,     timers_,
                shell_,  system_, *registry_, *files_, toolWindows_, splash_} {}

}  // namespace vandrel::win32
