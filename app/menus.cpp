// The menus: enabling their items when they open, shortcut keys, and the dispatch of a chosen
// item to its handler.
#include <algorithm>
#include <vector>

#include "app/main_window.h"
#include "app/menu_items.h"
#include "app/options.h"
#include "archive/img_archive.h"

namespace vandrel {
namespace {

// The menus above an item, outermost first.
std::vector<int> MenusAbove(const MenuEntry& entry) {
  std::vector<int> menus;
  for (const MenuEntry* at = &entry; at->parent != 0; at = FindMenuEntry(at->parent))
    menus.push_back(at->parent);
  std::reverse(menus.begin(), menus.end());
  return menus;
}

const MenuEntry* ItemWithShortcut(const Shortcut& shortcut) {
  if (shortcut.key == 0) return nullptr;
  for (const auto& entry : MainMenu())
    if (entry.item != 0 && entry.shortcut == shortcut) return &entry;
  return nullptr;
}

}  // namespace

void TfmMain::MenuOpening(int menu) {
  switch (menu) {
    case miFile:
      miFileClick();
      break;
    case miEdit:
      miEditClick();
      break;
    case miCommands:
    case pmMenu:
      miCommandsClick();
      break;
    case miTools:
      miToolsClick();
      break;
    default:
      break;  // Help and the Sort submenu have nothing to enable
  }
}

void TfmMain::MenuItemChosen(int item) {
  const MenuEntry* entry = FindMenuEntry(item);
  if (!entry) return;
  switch (item) {
    case miOpen:
      miOpenClick();
      break;
    case miClose:
      miCloseClick();
      break;
    case miExit:
      miExitClick();
      break;
    case miSelectAll:
      miSelectAllClick();
      break;
    case miFind:
    case miFindNext:
      Find(entry->tag);
      break;
    case miAdd:
    case miRebuild:
    case miExtract:
    case miReplace:
    case miDelete:
    case miRename:
    case miPMExtract:
    case miPMReplace:
    case miPMDelete:
    case miPMRename:
      CommandSelect(entry->tag);
      break;
    case miSortOffset:
    case miSortName:
      SortClick(entry->tag);
      break;
    case miOptions:
      miOptionsClick();
      break;
    case miDoHelp:
      miDoHelpClick();
      break;
    case miAbout:
      miAboutClick();
      break;
    default:
      break;  // a menu that holds items runs nothing itself
  }
}

bool TfmMain::ShortcutPressed(const Shortcut& shortcut) {
  const MenuEntry* entry = ItemWithShortcut(shortcut);
  if (!entry) return false;
  // The enabling handlers run first, so stale states from the last time a menu opened never
  // decide whether the key works.
  std::vector<int> menus = MenusAbove(*entry);
  for (int menu : menus) MenuOpening(menu);
  bool enabled = p_.menus.IsEnabled(entry->item);
  for (int menu : menus) enabled = enabled && p_.menus.IsEnabled(menu);
  if (enabled) MenuItemChosen(entry->item);
  return true;
}

void TfmMain::miFileClick() { p_.menus.SetEnabled(miClose, IMGArchive.bLoaded); }

void TfmMain::miEditClick() {
  for (int item : {miSelectAll, miFind, miFindNext}) p_.menus.SetEnabled(item, IMGArchive.bLoaded);
}

void TfmMain::miCommandsClick() {
  // Both menus are set together, so whichever opens next shows the same state.
  const int selected = p_.list.SelectedCount();
  for (int item : {miAdd, miRebuild}) p_.menus.SetEnabled(item, IMGArchive.bLoaded);
  for (int item :
       {miExtract, miPMExtract, miReplace, miPMReplace, miDelete, miPMDelete, miRename, miPMRename})
    p_.menus.SetEnabled(item, selected != 0);
  for (int item : {miReplace, miPMReplace, miRename, miPMRename})
    p_.menus.SetEnabled(item, selected == 1);
}

void TfmMain::miToolsClick() {
  p_.menus.SetEnabled(miSort, IMGArchive.bLoaded);
  p_.menus.SetChecked(miSortOffset, false);
  p_.menus.SetChecked(miSortName, false);
  if (Options.SortType == kSortByDirectory) p_.menus.SetChecked(miSortOffset, true);
  if (Options.SortType == kSortByName) p_.menus.SetChecked(miSortName, true);
}

void TfmMain::CommandSelect(int tag) {
  switch (tag) {
    case 1:
      AddFiles();
      break;
    case 2:
      RebuildArchive();
      break;
    case 3:
      ExtractFiles();
      break;
    case 4:
      ReplaceFile();
      break;
    case 5:
      DeleteFiles();
      break;
    case 6:
      RenameFile();
      break;
    default:
      break;
  }
}

void TfmMain::miSelectAllClick() {
  p_.list.SelectAll(true);
  // The second panel reads as after a selection by the user.
  lbDisplayClick();
}

void TfmMain::miOpenClick() { OpenArchive(); }

void TfmMain::miCloseClick() { CloseArchive(); }

void TfmMain::miExitClick() {
  CloseArchive();
  p_.window.Close();
}

}  // namespace vandrel
