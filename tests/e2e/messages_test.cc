// Messages as a user without a terminal meets them: a warning from a file
// the editor reads at start-up appears in the "Messages from" window; a run
// that ends before any window could show it leaves it on standard error.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;
using oetest::RunProgram;
using oetest::RunResult;

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(s.displayOk()) << "Xvfb did not start";
    ASSERT_EQ(mkdir(s.dir().file(".kvx").c_str(), 0755), 0);
    switches = s.dir().write(".kvx/oe.xsw", "# switches\nNoSuchSwitch 1\n");
  }
  std::string Warning() const {
    return "oe: warning: Ignoring unknown option \"NoSuchSwitch\" in \"" + switches + "\"\n";
  }
  EditorSession s;
  std::string switches;
};

TEST_F(Messages, ABadSwitchFileLineOpensTheMessageWindowWithTheWarning) {
  s.dir().write("a.c", "alpha\n");
  s.Start({"a.c"});
  EXPECT_FALSE(s.Window("^a\\.c$").empty());
  std::string w = s.Window("^Messages from \"oe\"$");
  ASSERT_FALSE(w.empty()) << "the message window comes up by itself";
  ASSERT_TRUE(s.Focus(w));
  EXPECT_EQ(s.Text(), Warning());
  // Shown in the window, so not on the terminal as well.
  EXPECT_FALSE(s.proc().WaitForOutput("NoSuchSwitch", 300));
}

TEST_F(Messages, AnEarlyExitPrintsTheCachedWarningOnStandardError) {
  std::map<std::string, std::string> env = {{"DISPLAY", s.x().display()}, {"HOME", s.dir().path()}};
  RunResult r = RunProgram({OE_BINARY, "-usage"}, env, 30000, s.dir().path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(Warning()), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(Warning()), r.err.rfind(Warning())) << "printed once";
  EXPECT_EQ(r.out, "");

  // Without DumpInitializationErrors the cache goes with the process.
  r = RunProgram({OE_BINARY, "-ZDumpInitializationErrors", "-usage"}, env, 30000, s.dir().path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.find("NoSuchSwitch"), std::string::npos) << r.err;

  // Without a display start-up never ends; the warning still reaches the user.
  r = RunProgram({OE_BINARY}, {{"DISPLAY", ""}, {"HOME", s.dir().path()}}, 30000, s.dir().path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("failed to start up in GUI mode"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(Warning()), std::string::npos) << r.err;
}

}  // namespace
