#include "orvex/editor/early_options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "support/temp_dir.h"
#include "windlib/config/configdirs.h"
#include "windlib/xswitch.h"

namespace {

// Runs pass 1 over `args` (argv[0] is added) and returns what is left.
std::vector<std::string> pass1(std::vector<std::string> args, StartupState& state) {
  args.insert(args.begin(), "oe");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(args.size());
  init_prior_to_gui(&argc, argv.data(), state);
  return std::vector<std::string>(argv.begin() + 1, argv.begin() + argc);
}

class EarlyOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    gen_init("oe_early_test", 0);
    setenv("HOME", home.path().c_str(), 1);
    cfg_ResetConfigDirs();
    ISDN_mode = 0;
  }
  void TearDown() override { cfg_ResetConfigDirs(); }
  oetest::TempDir home;
  StartupState state;
};

TEST_F(EarlyOptions, SwitchesAreSetClearedAndConsumed) {
  testing::internal::CaptureStderr();
  auto left = pass1({"a.c", "-X1479", "-ZServiceRouter", "-Xfoo", "-X1480", "b.c"}, state);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(left, (std::vector<std::string>{"a.c", "b.c"}));
  EXPECT_EQ(debugFlag[1479], 1);
  EXPECT_EQ(debugFlag[xsServiceRouter], 0);
  EXPECT_NE(err.find("oe_early_test: warning: Ignoring unknown switch \"-Xfoo\""),
            std::string::npos);
  EXPECT_NE(err.find("Ignoring unknown switch \"-X1480\""), std::string::npos);
}

TEST_F(EarlyOptions, ServiceRouterOffTurnsDependentSwitchesOff) {
  pass1({"-ZServiceRouter", "-XZedozozor"}, state);
  EXPECT_EQ((std::vector<int>{debugFlag[xsDiffViewer], debugFlag[xsZedozozor],
                              debugFlag[xsUseHelpService]}),
            (std::vector<int>{0, 0, 0}));
  StartupState again;
  pass1({}, again);
  EXPECT_EQ((std::vector<int>{debugFlag[xsDiffViewer], debugFlag[xsUseHelpService]}),
            (std::vector<int>{1, 1}));
}

TEST_F(EarlyOptions, RunStopsThePassAndStaysInTheVector) {
  auto left = pass1({"-nosplash", "-run", "-nosplash", "-X1", "a.c"}, state);
  EXPECT_EQ(left, (std::vector<std::string>{"-run", "-nosplash", "-X1", "a.c"}));
  EXPECT_FALSE(state.splash);
}

TEST_F(EarlyOptions, LowBandwidthAndOtherFlags) {
  pass1({"-isdn"}, state);
  EXPECT_EQ(ISDN_mode, 1);
  pass1({"-isdn3"}, state);
  EXPECT_EQ(ISDN_mode, 3);
  pass1({"-noicons", "-nocfg", "-wmhints"}, state);
  EXPECT_EQ(ISDN_mode, 9);
  EXPECT_TRUE(state.noCfg);
  EXPECT_TRUE(state.wmHints);
  auto left = pass1({"-isdn12"}, state);
  EXPECT_EQ(left, std::vector<std::string>{"-isdn12"}) << "not an early option";
}

TEST_F(EarlyOptions, ConfigdirTakesTheNextArgumentOnlyWhenThereIsOne) {
  auto left = pass1({"-configdir", "/some/dir", "x"}, state);
  EXPECT_EQ(left, std::vector<std::string>{"x"});
  EXPECT_STREQ(cfg_GetUserConfigDir(false), "/some/dir");
  left = pass1({"-configdir"}, state);
  EXPECT_TRUE(left.empty());
}

TEST_F(EarlyOptions, ConsoleWarns) {
  testing::internal::CaptureStderr();
  pass1({"-console"}, state);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "oe_early_test: warning: No console mode available on UNIX yet\n");
  EXPECT_TRUE(state.console);
}

// Switch files live in the program directory, the site default and site
// configuration directories beside it, and the user's ".kvx".
class SwitchFiles : public EarlyOptions {
 protected:
  void SetUp() override {
    EarlyOptions::SetUp();
    name = "oe_xsw_" + std::to_string(getpid());
    gen_init(name.c_str(), 0);
    prog = gen_progdir();
    mkdir((prog + "/defaults").c_str(), 0755);
    mkdir((prog + "/config").c_str(), 0755);
    mkdir((home.path() + "/.kvx").c_str(), 0755);
  }
  void TearDown() override {
    for (const auto& p : written) unlink(p.c_str());
    EarlyOptions::TearDown();
  }
  void put(const std::string& dir, const std::string& text) {
    std::string path = dir + "/" + name + ".xsw";
    std::ofstream(path) << text;
    written.push_back(path);
  }
  std::string name, prog;
  std::vector<std::string> written;
};

TEST_F(SwitchFiles, LaterFilesOverrideEarlierOnesAndTheCommandLineOverridesAll) {
  put(prog, "100 1\n101 1\n102 1\n103 1\n104 1\n");
  put(prog + "/defaults", "  # a comment\n\n101 0\n");
  put(prog + "/config", "102 0\n105 1\n");
  put(home.path() + "/.kvx", "103 0\nUseFDRegistry 0\n106\n");
  pass1({"-X104", "-Z105"}, state);
  // A line without a value (106) is ignored.
  EXPECT_EQ((std::vector<int>{debugFlag[100], debugFlag[101], debugFlag[102], debugFlag[103],
                              debugFlag[104], debugFlag[105], debugFlag[106],
                              debugFlag[xsUseFDRegistry]}),
            (std::vector<int>{1, 0, 0, 0, 1, 0, 0, 0}));
}

TEST_F(SwitchFiles, UnknownSwitchInAFileWarnsAndIsSkipped) {
  put(prog, "NoSuchSwitch 1\n107 5\n");
  testing::internal::CaptureStderr();
  pass1({}, state);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(
      err.find("Ignoring unknown option \"NoSuchSwitch\" in \"" + prog + "/" + name + ".xsw\""),
      std::string::npos)
      << err;
  EXPECT_EQ(debugFlag[107], 1);
}

}  // namespace
