#pragma once
// The status bar along the window's bottom edge: two panels, the second taking the rest of
// the width.
#include "platform/win32/windows_api.h"
#include "platform/window.h"

namespace vandrel::win32 {

class StatusBar final : public IStatusBar {
 public:
  void Create(HWND parent, HINSTANCE instance, HFONT font, int controlId);
  HWND handle() const { return bar_; }
  // Follows the parent's new size; the control places itself.
  void ParentResized() { SendMessageW(bar_, WM_SIZE, 0, 0); }

  void SetText(int panel, const std::wstring& text) override;
  std::wstring Text(int panel) const override;
  void SetPanelWidth(int panel, int width) override;
  int Height() const override;

 private:
  void ApplyPanels();
  HWND bar_ = nullptr;
  int widths_[2] = {200, 50};
};

}  // namespace vandrel::win32
