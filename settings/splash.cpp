#include "settings/splash.h"

namespace vandrel {
namespace {

// A one-pixel black frame stands around the picture; the bar covers its bottom two rows.
constexpr int kFrame = 1;
constexpr int kProgressHeight = 2;
// The bar's width until the first tick.
constexpr int kProgressStartWidth = 33;

}  // namespace

void TfmSplash::FormCreate() {
  ISplashWindow& splash = p_.splash;
  splash.Create();
  splash.SetIconFromResource();
  splash.SetClientSize(splash.PictureWidth() + 2 * kFrame, splash.PictureHeight() + 2 * kFrame);
  splash.CentreOnScreen();
  progressTop_ = splash.ClientHeight() - kFrame - kProgressHeight;
  splash.SetProgressBounds({kFrame, progressTop_, kProgressStartWidth, kProgressHeight});
  p_.timers.Start(kCloseTimer, kCloseAfterMs, [this] { tmrCloseTimer(); });
  p_.timers.Start(kProgressTimer, kProgressEveryMs, [this] { tmrProgressTimer(); });
  splash.Show();
}

// Full width after the last tick; the bar then stays still until the window closes.
void TfmSplash::tmrProgressTimer() {
  ++ticks_;
  p_.splash.SetProgressBounds({kFrame, progressTop_, ticks_ * kPixelsPerTick, kProgressHeight});
  if (ticks_ >= kLastTick) p_.timers.Stop(kProgressTimer);
}

void TfmSplash::tmrCloseTimer() {
  p_.timers.Stop(kCloseTimer);
  p_.timers.Stop(kProgressTimer);
  p_.splash.Release();
  p_.window.Show();
}

}  // namespace vandrel
