#pragma once
// The menu items of the main menu and of the list's shortcut menu, by the program's numbers.
namespace vandrel {

enum MenuItem : int {
  miFile = 1,
  miOpen,
  miClose,
  miExit,
  miEdit,
  miSelectAll,
  miFind,
  miFindNext,
  miCommands,
  miAdd,
  miRebuild,
  miExtract,
  miReplace,
  miDelete,
  miRename,
  miTools,
  miSort,
  miSortOffset,
  miSortName,
  miOptions,
  miHelp,
  miDoHelp,
  miAbout,
  miPMExtract,
  miPMReplace,
  miPMDelete,
  miPMRename,
  pmMenu,  // the list's shortcut menu itself
};

}  // namespace vandrel
