#include <gtest/gtest.h>

#include <ctime>

#include "shared/indgen/indgen.h"

namespace {

TEST(Clock, FixedClockStepsByItsStepAndReleasesToTheSystemClock) {
  gen_fix_clock(1700000000, 60);
  EXPECT_EQ(gen_time(), 1700000000);
  EXPECT_EQ(gen_time(), 1700000060);
  EXPECT_EQ(gen_time(), 1700000120);
  gen_fix_clock(5);
  EXPECT_EQ(gen_time(), 5);
  EXPECT_EQ(gen_time(), 5) << "without a step the clock stands still";
  gen_release_clock();
  time_t before = time(nullptr);
  time_t now = gen_time();
  EXPECT_GE(now, before);
  EXPECT_LE(now, time(nullptr));
}

}  // namespace
