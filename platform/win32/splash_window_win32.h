#pragma once
// The splash window: a borderless black popup that paints the splash picture and the red
// progress bar over it.
#include "platform/tool_windows.h"
#include "platform/win32/handles_win32.h"
#include "platform/win32/ui_context_win32.h"

namespace vandrel::win32 {

class SplashWindow final : public ISplashWindow {
 public:
  explicit SplashWindow(UiContext& context) : context_(context) {}
  SplashWindow(const SplashWindow&) = delete;
  SplashWindow& operator=(const SplashWindow&) = delete;
  ~SplashWindow() override { Release(); }

  void Create() override;
  int PictureWidth() const override { return PictureSize().bmWidth; }
  int PictureHeight() const override { return PictureSize().bmHeight; }
  void SetIconFromResource() override;
  void SetClientSize(int width, int height) override;
  int ClientHeight() const override;
  void CentreOnScreen() override;
  void SetProgressBounds(const Bounds& bounds) override;
  void Show() override;
  void Release() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  BITMAP PictureSize() const;
  void Paint();

  UiContext& context_;
  HWND window_ = nullptr;
  GdiObject<HBITMAP> picture_;
  GdiObject<HBRUSH> progressBrush_{CreateSolidBrush(RGB(255, 0, 0))};
  RECT progress_{};
};

}  // namespace vandrel::win32
