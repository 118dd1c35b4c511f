#pragma once
// Everything the portable program reaches of the platform, handed to the main window.
#include "platform/dialogs.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/tool_windows.h"
#include "platform/window.h"

namespace vandrel {

struct Platform {
  IWindow& window;
  IListBox& list;
  IStatusBar& statusBar;
  IMenus& menus;
  IDialogs& dialogs;
  ITimers& timers;
  IShell& shell;
  ISystem& system;
  IRegistry& registry;
  IFileSystem& files;
  IToolWindows& toolWindows;
  ISplashWindow& splash;
};

}  // namespace vandrel
