#pragma once
// Progress texts of the commands that work through many entries, and how often they are shown.
#include <cstdint>
#include <string>

#include "platform/services.h"

namespace vandrel {

// n of m as a whole percentage, a half going to the even neighbour.
int Percent(int n, int m);

// How a command writes step n of m behind its prefix.
using ProgressText = std::wstring (*)(const std::wstring& prefix, int n, int m);

// `prefix` n "/" m.
std::wstring ProgressCount(const std::wstring& prefix, int n, int m);
// `prefix` n "/" m " (" percentage "%)".
std::wstring ProgressWithPercent(const std::wstring& prefix, int n, int m);

// Twenty repaints a second keep a count readable and the window answering; showing every one
// of thousands of small steps made the repaints, not the work, the bulk of a command's time.
inline constexpr uint32_t kProgressIntervalMs = 50;

// Tells which steps of a command of `steps` steps show their progress: the first, the last,
// and any step that comes once the interval has passed since the last one shown.
class ProgressPace {
 public:
  ProgressPace(const ISystem& clock, int steps) : clock_(clock), steps_(steps) {}
  // Asked once per step, `step` counted from 1.
  bool Due(int step);
  int steps() const { return steps_; }

 private:
  const ISystem& clock_;
  int steps_;
  uint32_t shownAt_ = 0;
};

}  // namespace vandrel
