#pragma once
// All scripted parts in one bundle, handed to the main window as its platform.
#include <memory>

#include "platform/platform.h"
#include "platform/scripted/memory_registry.h"
#include "platform/scripted/scripted_ui.h"
#include "platform/scripted/scripted_windows.h"

namespace vandrel::scripted {

struct ScriptedPlatform {
  Journal journal;
  Window window{journal};
  List list;
  StatusBar statusBar{journal};
  Menus menus;
  Dialogs dialogs{journal};
  Timers timers;
  Shell shell;
  System system;
  MemoryRegistry registry{journal};
  ToolWindows toolWindows{journal};
  SplashWindow splash{journal};
  std::unique_ptr<IFileSystem> nativeFiles = MakeNativeFileSystem();
  IFileSystem* files = nativeFiles.get();  // a test may put a faulty one in its place

  Platform platform() { return platformWith(*files); }
  // The same parts over another file system.
  Platform platformWith(IFileSystem& fileSystem) {
    return {window, list,   statusBar, menus,      dialogs,     timers,
            shell,  system, registry,  fileSystem, toolWindows, splash};
  }
};

}  // namespace vandrel::scripted
