#include "app/menu_table.h"

namespace vandrel {

const std::vector<MenuEntry>& MainMenu() {
  static const std::vector<MenuEntry> kMenu = {
      {miFile, 0, L"File", {}, 0, L'F'},
      {miOpen, miFile, L"Open", {true, 'L'}, 0},
      {miClose, miFile, L"Close", {}, 0},
      {0, miFile, L"-", {}, 0},
      {miExit, miFile, L"Exit", {}, 0},
      {miEdit, 0, L"Edit", {}, 0, L'E'},
      {miSelectAll, miEdit, L"Select All", {}, 0},
      {miFind, miEdit, L"Find", {false, kKeyF2}, 1},
      {miFindNext, miEdit, L"Find Next", {false, kKeyF3}, 2},
      {miCommands, 0, L"Commands", {}, 0, L'C'},
      {miAdd, miCommands, L"Add", {true, 'A'}, 1},
      {miRebuild, miCommands, L"Rebuild Archive", {}, 2},
      {0, miCommands, L"-", {}, 0},
      {miExtract, miCommands, L"Extract", {true, 'E'}, 3},
      {miReplace, miCommands, L"Replace", {true, 'R'}, 4},
      {miDelete, miCommands, L"Delete", {false, kKeyDelete}, 5},
      {miRename, miCommands, L"Rename", {false, kKeyF4}, 6},
      {miTools, 0, L"Tools", {}, 0, L'T'},
      {miSort, miTools, L"Sort", {}, 0},
      {miSortOffset, miSort, L"Offset", {}, 1},
      {miSortName, miSort, L"Name", {}, 2},
      {miOptions, miTools, L"Options", {}, 0},
      {miHelp, 0, L"Help", {}, 0, L'H'},
      {miDoHelp, miHelp, L"Help", {false, kKeyF1}, 0},
      {0, miHelp, L"-", {}, 0},
      {miAbout, miHelp, L"About", {}, 0},
  };
  return kMenu;
}

const std::vector<MenuEntry>& ShortcutMenu() {
  static const std::vector<MenuEntry> kMenu = {
      {miPMExtract, pmMenu, L"Extract", {}, 3},
      {miPMReplace, pmMenu, L"Replace", {}, 4},
      {miPMDelete, pmMenu, L"Delete", {}, 5},
      {miPMRename, pmMenu, L"Rename", {}, 6},
  };
  return kMenu;
}

const MenuEntry* FindMenuEntry(int item) {
  for (const auto* menu : {&MainMenu(), &ShortcutMenu()})
    for (const auto& entry : *menu)
      if (entry.item == item && item != 0) return &entry;
  return nullptr;
}

const wchar_t* ShortcutText(const Shortcut& shortcut) {
  if (shortcut == Shortcut{true, 'L'}) return L"Ctrl+L";
  if (shortcut == Shortcut{true, 'A'}) return L"Ctrl+A";
  if (shortcut == Shortcut{true, 'E'}) return L"Ctrl+E";
  if (shortcut == Shortcut{true, 'R'}) return L"Ctrl+R";
  if (shortcut == Shortcut{false, kKeyDelete}) return L"Del";
  if (shortcut == Shortcut{false, kKeyF1}) return L"F1";
  if (shortcut == Shortcut{false, kKeyF2}) return L"F2";
  if (shortcut == Shortcut{false, kKeyF3}) return L"F3";
  if (shortcut == Shortcut{false, kKeyF4}) return L"F4";
  return L"";
}

}  // namespace vandrel
