#include "windlib/xswitch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Switches, DefaultsAndNames) {
  InitDebugFlag();
  EXPECT_EQ(debugFlag[xsServiceRouter], 1);
  EXPECT_EQ(debugFlag[xsUseZelrptForSignals], 0);
  EXPECT_EQ(debugFlag[xsImageRecolouring], 1);
  EXPECT_EQ(debugFlagName[xsImageRecolouring], nullptr);
  EXPECT_STREQ(debugFlagName[xsUseFDRegistry], "UseFDRegistry");
}

TEST(Switches, LookupByNameOrNumber) {
  InitDebugFlag();
  std::vector<int> found;
  for (const char* s : {"ServiceRouter", "servicerouter", "1479", "12 \t", "1480",
                        "99999999999999999999", "12x", "foo", ""})
    found.push_back(XSwitchIndex(s));
  // Names match exactly; numbers up to the last switch, trailing blanks allowed.
  EXPECT_EQ(found, (std::vector<int>{xsServiceRouter, -1, 1479, 12, -1, -1, -1, -1, -1}));
}

TEST(Switches, ChangesAreKeptInOrderForTheSharedService) {
  InitDebugFlag();
  setXSwitch(7, true);
  setXSwitch(xsServiceRouter, false);
  EXPECT_EQ(debugFlag[7], 1);
  EXPECT_EQ(debugFlag[xsServiceRouter], 0);
  ASSERT_EQ(XSwitchPending().size(), 2u);
  EXPECT_EQ(XSwitchPending()[0], std::make_pair(7, true));
  EXPECT_EQ(XSwitchPending()[1], std::make_pair(int(xsServiceRouter), false));
}

}  // namespace
