// How often a long command shows its progress.
#include "ops/progress.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/scripted/scripted_ui.h"

namespace vandrel {
namespace {

// The steps of a `steps`-step command shown when step n comes at tick `start` + each[n - 1].
std::vector<int> Shown(int steps, uint32_t start, const std::vector<uint32_t>& each) {
  scripted::System clock;
  ProgressPace pace(clock, steps);
  std::vector<int> shown;
  for (int step = 1; step <= steps; ++step) {
    clock.ticks = start + each[static_cast<size_t>(step - 1)];
    if (pace.Due(step)) shown.push_back(step);
  }
  return shown;
}

TEST(ProgressPace, ShowsTheFirstAndLastStepAndOthersOnceTheIntervalHasPassed) {
  // A clock that stands still: only the ends.
  EXPECT_EQ(Shown(5, 0, {0, 0, 0, 0, 0}), (std::vector<int>{1, 5}));
  EXPECT_EQ(Shown(1, 0, {0}), (std::vector<int>{1}));
  // 20 ms a step: every step from the last shown 50 ms or more.
  EXPECT_EQ(Shown(8, 1000, {0, 20, 40, 60, 80, 100, 120, 140}), (std::vector<int>{1, 4, 7, 8}));
  // Slow steps all show.
  EXPECT_EQ(Shown(3, 0, {0, 50, 100}), (std::vector<int>{1, 2, 3}));
}

TEST(ProgressPace, TheClockWrappingAroundChangesNothing) {
  const uint32_t nearEnd = 0xFFFFFFFFu - 30;
  EXPECT_EQ(Shown(5, nearEnd, {0, 20, 40, 60, 80}), (std::vector<int>{1, 4, 5}));
}

}  // namespace
}  // namespace vandrel
