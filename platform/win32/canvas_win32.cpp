#include "platform/win32/canvas_win32.h"

namespace vandrel::win32 {

RECT ToRECT(const Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
Rect FromRECT(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

Canvas::Canvas(HDC dc, const Fonts& fonts, COLORREF text, COLORREF background)
    : dc_(dc), saved_(dc), fonts_(fonts), brush_(CreateSolidBrush(background)) {
  SelectObject(dc_, fonts_.regular());
  SetTextColor(dc_, text);
  SetBkColor(dc_, background);
  SetBkMode(dc_, OPAQUE);
}

void Canvas::FillRect(const Rect& rect) {
  RECT area = ToRECT(rect);
  ::FillRect(dc_, &area, brush_.get());
}

void Canvas::SetBold(bool bold) { SelectObject(dc_, bold ? fonts_.bold() : fonts_.regular()); }

void Canvas::SetTransparent(bool transparent) {
  SetBkMode(dc_, transparent ? TRANSPARENT : OPAQUE);
}

void Canvas::TextOut(int x, int y, const std::wstring& text) {
  ::TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace vandrel::win32
