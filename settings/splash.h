#pragma once
// The splash window: shown at start while the main window stays hidden, a red bar growing over
// the bottom of its picture, and after two seconds it gives way to the main window.
#include "platform/platform.h"

namespace vandrel {

class TfmSplash {
 public:
  static constexpr int kCloseTimer = 1, kProgressTimer = 2;
  static constexpr unsigned kCloseAfterMs = 2000, kProgressEveryMs = 25;
  static constexpr int kPixelsPerTick = 4, kLastTick = 64;

  explicit TfmSplash(Platform& platform) : p_(platform) {}
  TfmSplash(const TfmSplash&) = delete;
  TfmSplash& operator=(const TfmSplash&) = delete;

  // Sizes, centres and shows the window and starts both timers.
  void FormCreate();
  void tmrProgressTimer();
  // Releases the splash and shows the main window.
  void tmrCloseTimer();

 private:
  Platform& p_;
  // One count for the whole run: the splash is created at most once.
  int ticks_ = 0;
  int progressTop_ = 0;
};

}  // namespace vandrel
