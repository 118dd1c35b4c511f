#include "platform/win32/status_bar_win32.h"

namespace vandrel::win32 {

void StatusBar::Create(HWND parent, HINSTANCE instance, HFONT font, int controlId) {
  bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                         0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                         instance, nullptr);
  SendMessageW(bar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ApplyPanels();
}

void StatusBar::SetText(int panel, const std::wstring& text) {
  SendMessageW(bar_, SB_SETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StatusBar::Text(int panel) const {
  LRESULT length = LOWORD(SendMessageW(bar_, SB_GETTEXTLENGTHW, panel, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(bar_, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void StatusBar::SetPanelWidth(int panel, int width) {
  widths_[panel] = width;
  ApplyPanels();
}

int StatusBar::Height() const {
  RECT bounds;
  GetWindowRect(bar_, &bounds);
  return bounds.bottom - bounds.top;
}

void StatusBar::ApplyPanels() {
  // Right edges; the last panel runs to the end of the bar.
  int edges[2] = {widths_[0], -1};
  SendMessageW(bar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

}  // namespace vandrel::win32
