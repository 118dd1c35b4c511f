#pragma once
// All console parts in one bundle, handed to the main window as its platform.
#include <memory>
#include <ostream>

#include "platform/console/console_ui.h"
#include "platform/memory_list.h"
#include "platform/platform.h"

namespace vandrel::console {

struct ConsolePlatform {
  // Messages go to `errors`; a progress line too, when `progress` is set.
  ConsolePlatform(std::ostream& errors, bool progress, IFileSystem& fileSystem)
      : progressLine(errors, progress), dialogs(errors, progressLine), files(fileSystem) {}

  ProgressLine progressLine;
  Window window;
  EntryList list;
  StatusBar statusBar{progressLine};
  Menus menus;
  Dialogs dialogs;
  Timers timers;
  Shell shell;
  std::unique_ptr<ISystem> system = MakeConsoleSystem();
  NoRegistry registry;
  IFileSystem& files;
  NoToolWindows toolWindows;
  NoSplash splash;

  Platform platform() {
    return {window, list,    statusBar, menus, dialogs,     timers,
            shell,  *system, registry,  files, toolWindows, splash};
  }
};

}  // namespace vandrel::console
