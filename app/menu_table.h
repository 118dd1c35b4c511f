#pragma once
// The main menu and the list's shortcut menu: captions, order, shortcut keys and tags. The
// platform builds its menus from these tables; the program's handlers work by item number.
#include <vector>

#include "app/menu_items.h"

namespace vandrel {

// Key numbers are the Windows virtual-key codes, which every keyboard layer can map to.
enum Key : int {
  kKeyDelete = 0x2E,
  kKeyF1 = 0x70,
  kKeyF2 = 0x71,
  kKeyF3 = 0x72,
  kKeyF4 = 0x73,
};

struct Shortcut {
  bool ctrl = false;
  int key = 0;  // 0: none; letters are their upper-case character
  bool operator==(const Shortcut&) const = default;
};

struct MenuEntry {
  int item;    // 0 for a separator
  int parent;  // 0 for a top-level menu of the main menu
  const wchar_t* caption;
  Shortcut shortcut;
  int tag;
  // The letter of the caption that Alt with it opens, underlined while Alt is held; 0: none.
  wchar_t accessKey = 0;
};

// In display order; a submenu's items follow the submenu's own entry.
const std::vector<MenuEntry>& MainMenu();
const std::vector<MenuEntry>& ShortcutMenu();
const MenuEntry* FindMenuEntry(int item);
// The shortcut as a menu shows it beside the caption ("Ctrl+L", "F2", "Del"); empty for none.
const wchar_t* ShortcutText(const Shortcut& shortcut);

}  // namespace vandrel
