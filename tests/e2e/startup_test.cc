// Start-up as a user meets it: the command line, the messages and the exit
// status of the real binary.
#include <gtest/gtest.h>

#include <string>

#include "support/process.h"
#include "support/temp_dir.h"
#include "support/xvfb.h"

namespace {

using oetest::RunProgram;
using oetest::RunResult;

const std::string kUsage =
    "Usage: oe [options] files\n"
    "Options include:\n"
    "    -usage (-h)     Show this usage screen\n"
    "    -help           Launch online help\n"
    "    -showhistory    Show history browser for each file\n"
    "    -diff           Show graphical diff of specified files\n"
    "    -new            Open a new editor window for each file\n"
    "    -reuse          Open each file in the same window (default)\n"
    "    +<line>         Goto line # <line>\n";

class Startup : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(x.ok()) << "Xvfb did not start"; }
  RunResult oe(std::vector<std::string> args) {
    args.insert(args.begin(), OE_BINARY);
    return RunProgram(args, {{"DISPLAY", x.display()}, {"HOME", home.path()}}, 30000, home.path());
  }
  oetest::Xvfb x;
  oetest::TempDir home;
};

TEST(StartupWithoutDisplay, PrintsWhyAndExitsOne) {
  oetest::TempDir home;
  RunResult r = RunProgram({OE_BINARY}, {{"DISPLAY", ""}, {"HOME", home.path()}});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "oe failed to start up in GUI mode\n"
            "Check that your DISPLAY environment variable is set appropriately, or\n"
            "enter the display name on the command line with 'oe -display xxx'\n"
            "This program is only available in GUI mode, so you must have an X server\n");
  r = RunProgram({OE_BINARY, "-display", ":1234"}, {{"DISPLAY", ""}, {"HOME", home.path()}});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("oe failed to start up in GUI mode\nUnknown display: :1234\n"),
            std::string::npos)
      << r.err;
}

TEST_F(Startup, UsageGoesToStderrWithStatusOne) {
  RunResult r = oe({"-usage"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kUsage);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(oe({"-h"}).err, kUsage);
}

TEST_F(Startup, ArgumentMessagesGoToStdoutInOrder) {
  RunResult r = oe({"+5", "+6", "-bogus", "+12x", "-usage"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "Line number specified twice\n"
            "Unknown argument -bogus\n"
            "Line number specified twice\n"
            "Bad line number +12x\n");
}

TEST_F(Startup, RunStopsEarlyOptionsSoPassThreeReportsThem) {
  RunResult r = oe({"-run", "-nosplash", "-Xfoo", "-usage"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Unknown argument -run\nUnknown argument -nosplash\n");
  EXPECT_EQ(r.err.find("Ignoring unknown switch"), std::string::npos)
      << "-Xfoo after -run is not examined by the early pass";
}

TEST_F(Startup, UnknownSwitchesWarnAndAreConsumed) {
  RunResult r = oe({"-Xfoo", "-X1479", "-X1480", "-usage"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("oe: warning: Ignoring unknown switch \"-Xfoo\"\n"), std::string::npos);
  EXPECT_NE(r.err.find("oe: warning: Ignoring unknown switch \"-X1480\"\n"), std::string::npos);
  EXPECT_EQ(r.err.find("-X1479"), std::string::npos);
}

// A feature that is not built answers with a message; start-up then ends
// as with nothing left to show (status 0, like -diff), instead of waiting.
TEST_F(Startup, UnavailableBrowsersSayWhyAndEndStartUp) {
  std::string file = home.write("f.c", "int f;\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> requests = {
      {{"-showhistory", file}, "oe: warning: the history browser is not available yet\n"},
      {{"-historybrowser", file}, "oe: warning: the history browser is not available yet\n"},
      {{"-checkoutbrowser"}, "oe: warning: the check-out browser is not available yet\n"},
      {{"-checkoutbrowserfiles", file},
       "oe: warning: the check-out browser is not available yet\n"},
      {{"-diff", file}, "oe: warning: the file comparison is not available yet\n"}};
  for (const auto& [args, message] : requests) {
    RunResult r = oe(args);
    EXPECT_FALSE(r.timedOut) << args[0] << " must not wait for anything";
    EXPECT_EQ(r.status, 0) << args[0] << "\n" << r.err;
    EXPECT_NE(r.err.find(message), std::string::npos) << args[0] << "\n" << r.err;
  }
}

TEST_F(Startup, XResourceOptionsAreTakenBeforeMainSeesTheArguments) {
  RunResult r = oe({"-geometry", "80x24", "-fn", "Mono", "-xrm", "oe.foo: bar", "-rv", "-usage"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "") << "no resource option may reach the file arguments";
}

}  // namespace
