#include "platform/win32/splash_window_win32.h"

#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TfmSplash";
constexpr wchar_t kPictureName[] = L"SPLASH";
// The picture stands inside a one-pixel frame of the black background.
constexpr int kPictureLeft = 1, kPictureTop = 1;

}  // namespace

void SplashWindow::Create() {
  RegisterClassOnce(context_.instance, kClassName, Procedure, nullptr,
                    static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  picture_.reset(static_cast<HBITMAP>(
      LoadImageW(context_.instance, kPictureName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  // Owned by the hidden main window, so it gets no taskbar button of its own.
  CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, context_.main, nullptr,
                  context_.instance, this);
}

BITMAP SplashWindow::PictureSize() const {
  BITMAP size{};
  if (picture_.get()) GetObjectW(picture_.get(), sizeof size, &size);
  return size;
}

void SplashWindow::SetIconFromResource() { SetAppIcon(window_, context_.instance); }

void SplashWindow::SetClientSize(int width, int height) {
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int SplashWindow::ClientHeight() const {
  RECT client{};
  GetClientRect(window_, &client);
  return client.bottom;
}

void SplashWindow::CentreOnScreen() { win32::CentreOnScreen(window_); }

void SplashWindow::SetProgressBounds(const Bounds& bounds) {
  InvalidateRect(window_, &progress_, FALSE);
  progress_ = {bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height};
  InvalidateRect(window_, &progress_, FALSE);
}

void SplashWindow::Show() {
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

void SplashWindow::Release() {
  if (window_) DestroyWindow(window_);
  picture_.reset(nullptr);
}

LRESULT CALLBACK SplashWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<SplashWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<SplashWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message == WM_PAINT) {
    self->Paint();
    return 0;
  }
  if (self && message == WM_NCDESTROY) self->window_ = nullptr;
  return DefWindowProcW(window, message, wParam, lParam);
}

// The background brush has drawn the frame; the picture, then the bar over it.
void SplashWindow::Paint() {
  PaintContext paint(window_);
  BITMAP size = PictureSize();
  MemoryDc source(CreateCompatibleDC(paint.dc()));
  {
    Selection picture(source.get(), picture_.get());
    BitBlt(paint.dc(), kPictureLeft, kPictureTop, size.bmWidth, size.bmHeight, source.get(), 0, 0,
           SRCCOPY);
  }
  FillRect(paint.dc(), &progress_, progressBrush_.get());
}

}  // namespace vandrel::win32
