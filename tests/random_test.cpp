// The pseudo-random generator: repeatable from its seed and inside its range.
#include "app/random.h"

#include <gtest/gtest.h>

#include <set>

namespace vandrel {
namespace {

TEST(RandomTest, TheSeedAloneDecidesTheSequence) {
  Randomize(20240601);
  int32_t first = Random(9999), second = Random(9999);
  Randomize(20240601);
  EXPECT_EQ(Random(9999), first);
  EXPECT_EQ(Random(9999), second);
  Randomize(20240602);
  EXPECT_NE(Random(9999), first);
}

TEST(RandomTest, StaysInItsRangeAndReachesBothEnds) {
  Randomize(7);
  std::set<int32_t> seen;
  for (int i = 0; i < 2000; ++i) {
    int32_t drawn = Random(10);
    ASSERT_GE(drawn, 0);
    ASSERT_LT(drawn, 10);
    seen.insert(drawn);
  }
  EXPECT_EQ(seen.size(), 10u);
  EXPECT_EQ(Random(0), 0);
}

}  // namespace
}  // namespace vandrel
