#pragma once
// A drawing surface over a device context, with the program's font in its two weights. The
// caller sets the colours the surface paints with; the surface restores the context after.
#include "platform/win32/handles_win32.h"
#include "platform/win32/ui_context_win32.h"
#include "platform/win32/windows_api.h"
#include "platform/window.h"

namespace vandrel::win32 {

class Canvas final : public ICanvas {
 public:
  Canvas(HDC dc, const Fonts& fonts, COLORREF text, COLORREF background);

  void FillRect(const Rect& rect) override;
  void SetBold(bool bold) override;
  void SetTransparent(bool transparent) override;
  void TextOut(int x, int y, const std::wstring& text) override;

 private:
  HDC dc_;
  SavedDc saved_;
  const Fonts& fonts_;
  GdiObject<HBRUSH> brush_;
};

RECT ToRECT(const Rect& rect);
Rect FromRECT(const RECT& rect);

}  // namespace vandrel::win32
