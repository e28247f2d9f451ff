#include <gtest/gtest.h>

#include "windlib/xswitch.h"

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
  EXPECT_EQ(XSwitchIndex("ServiceRouter"), xsServiceRouter);
  EXPECT_EQ(XSwitchIndex("servicerouter"), -1) << "names match exactly";
  EXPECT_EQ(XSwitchIndex("1479"), 1479);
  EXPECT_EQ(XSwitchIndex("12 \t"), 12);
  EXPECT_EQ(XSwitchIndex("1480"), -1);
  EXPECT_EQ(XSwitchIndex("99999999999999999999"), -1);
  EXPECT_EQ(XSwitchIndex("12x"), -1);
  EXPECT_EQ(XSwitchIndex("foo"), -1);
  EXPECT_EQ(XSwitchIndex(""), -1);
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
