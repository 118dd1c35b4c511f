#pragma once
// The main menu and the list's shortcut menu, built from the program's menu tables. Command
// numbers are the program's item numbers; the state of each item lives in the menus only.
#include <map>

#include "app/menu_table.h"
#include "platform/win32/handles_win32.h"
#include "platform/win32/windows_api.h"
#include "platform/window.h"

namespace vandrel::win32 {

class Menus final : public IMenus {
 public:
  Menus();
  HMENU bar() const { return bar_.get(); }
  HMENU shortcutMenu() const { return shortcut_.get(); }
  // The window that shows the bar: its bar is redrawn when a top-level item changes.
  void AttachTo(HWND window) { window_ = window; }
  // The item a popup belongs to; 0 for a menu that is not ours.
  int ItemOfPopup(HMENU popup) const;

  void SetEnabled(int item, bool enabled) override;
  bool IsEnabled(int item) const override;
  void SetChecked(int item, bool checked) override;
  bool IsChecked(int item) const override;

 private:
  struct Place {
    HMENU menu;
    UINT position;
  };
  void Fill(HMENU menu, int parent, const std::vector<MenuEntry>& table);
  const Place* Find(int item) const;

  MenuHandle bar_, shortcut_;
  HWND window_ = nullptr;
  std::map<int, Place> places_;
  std::map<HMENU, int> popups_;
};

}  // namespace vandrel::win32
