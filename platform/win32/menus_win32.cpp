#include "platform/win32/menus_win32.h"

#include <algorithm>
#include <string>

namespace vandrel::win32 {
namespace {

bool HasChildren(int item, const std::vector<MenuEntry>& table) {
  return std::any_of(table.begin(), table.end(),
                     [&](const MenuEntry& entry) { return entry.parent == item; });
}

std::wstring ItemText(const MenuEntry& entry) {
  std::wstring text = entry.caption;
  size_t accessKey = entry.accessKey ? text.find(entry.accessKey) : std::wstring::npos;
  if (accessKey != std::wstring::npos) text.insert(accessKey, L"&");
  std::wstring shortcut = ShortcutText(entry.shortcut);
  if (!shortcut.empty()) text += L"\t" + shortcut;
  return text;
}

}  // namespace

Menus::Menus() : bar_(CreateMenu()), shortcut_(CreatePopupMenu()) {
  Fill(bar_.get(), 0, MainMenu());
  Fill(shortcut_.get(), pmMenu, ShortcutMenu());
  popups_[shortcut_.get()] = pmMenu;
}

void Menus::Fill(HMENU menu, int parent, const std::vector<MenuEntry>& table) {
  UINT position = 0;
  for (const auto& entry : table) {
    if (entry.parent != parent) continue;
    if (entry.item == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (HasChildren(entry.item, table)) {
      HMENU popup = CreatePopupMenu();
      Fill(popup, entry.item, table);
      popups_[popup] = entry.item;
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                  ItemText(entry).c_str());
    } else {
      AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(entry.item), ItemText(entry).c_str());
    }
    if (entry.item != 0) places_[entry.item] = {menu, position};
    ++position;
  }
}

int Menus::ItemOfPopup(HMENU popup) const {
  auto found = popups_.find(popup);
  return found == popups_.end() ? 0 : found->second;
}

const Menus::Place* Menus::Find(int item) const {
  auto found = places_.find(item);
  return found == places_.end() ? nullptr : &found->second;
}

void Menus::SetEnabled(int item, bool enabled) {
  const Place* place = Find(item);
  if (!place) return;
  EnableMenuItem(place->menu, place->position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  if (place->menu == bar_.get() && window_) DrawMenuBar(window_);
}

bool Menus::IsEnabled(int item) const {
  const Place* place = Find(item);
  return place &&
         !(GetMenuState(place->menu, place->position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
}

void Menus::SetChecked(int item, bool checked) {
  if (const Place* place = Find(item))
    CheckMenuItem(place->menu, place->position,
                  MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Menus::IsChecked(int item) const {
  const Place* place = Find(item);
  return place && (GetMenuState(place->menu, place->position, MF_BYPOSITION) & MF_CHECKED);
}

}  // namespace vandrel::win32
