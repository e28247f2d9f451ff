// The colour texts are freed when the program exits, however often the
// list was set up before.
#include <gtest/gtest.h>

#include "shared/libcxxutil/delete_at_exit.h"
#include "windlib/x11/wcolorlist.h"

namespace {

bool AllTextsEmpty() {
  for (int n = 0; n < kColorEntries; ++n)
    if (!ColorListGet(n).spec.empty()) return false;
  return true;
}

TEST(ColorListAtExit, TextsAreFreedByTheExitRegistryAfterEachSetUp) {
  shr_UseResourceText(nullptr);
  shr_InitializeColorsFor(ColorScreen{});
  shr_InitializeColorsFor(ColorScreen{});
  ASSERT_EQ(ColorListGet(kColorBackground).spec, "#ffffff");
  delete_at_exit_run();
  EXPECT_TRUE(AllTextsEmpty());
  // A list set up again after the clean-up is freed again at exit.
  shr_InitializeColorsFor(ColorScreen{});
  ASSERT_EQ(ColorListGet(kColorDiffHighlight).spec, "#e0ffd0");
  delete_at_exit_run();
  EXPECT_TRUE(AllTextsEmpty());
}

}  // namespace
