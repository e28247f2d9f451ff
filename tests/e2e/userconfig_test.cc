// Configuration as a user meets it: a ~/.kvx/oe.cfg changes the running
// editor (tab width, backups, journal interval), -nocfg leaves it out, and
// an installed editor started through its bin/ link finds its data.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;
using oetest::RunProgram;
using oetest::RunResult;
using oetest::TempDir;

class Configured : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(s.displayOk()) << "Xvfb did not start";
    ASSERT_EQ(mkdir(s.dir().file(".kvx").c_str(), 0755), 0);
    s.dir().write(".kvx/oe.cfg",
                  "# the user's settings\ntabsize 4\nEditorBackups: on\neditincrfrequency=2\n");
    s.dir().write("t.c", "\tx\nabcdefghij\n");
  }
  // The caret goes to the end of "\tx", then down: the goal column is where
  // x ends on the screen, so the mark lands as wide as the tab was drawn.
  void MarkBelowTheTabbedLine() {
    ASSERT_FALSE(s.Window("^t\\.c$").empty());
    s.Focus(s.Window("^t\\.c$"));
    s.Keys({"End", "Down"});
    s.Type("|");
  }
  EditorSession s;
};

TEST_F(Configured, UserFileSetsTabsBackupsAndJournalInterval) {
  s.Start({"t.c"});
  MarkBelowTheTabbedLine();
  s.Keys({"ctrl+s"});
  s.Settle(400);
  EXPECT_EQ(TempDir::read(s.dir().file("t.c")), "\tx\nabcde|fghij\n") << "a tab is 4 wide";
  EXPECT_EQ(TempDir::read(s.dir().file("t.c~")), "\tx\nabcdefghij\n")
      << "the first save keeps a backup";

  // The journal is written within the 2 seconds configured, long before
  // the default 120.
  s.Type("JOURNALED");
  const std::string lock = s.dir().file(".t.c.kv~");
  auto start = std::chrono::steady_clock::now();
  std::string journal;
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(3500)) {
    journal = TempDir::read(lock);
    if (journal.find("JOURNALED") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_NE(journal.find("JOURNALED"), std::string::npos) << "no journal within 3.5 s";
  int32_t interval = 0;
  ASSERT_GE(journal.size(), sizeof interval);
  std::memcpy(&interval, journal.data(), sizeof interval);
  EXPECT_EQ(interval, 2) << "the journal records the interval it was written with";
}

TEST_F(Configured, NoCfgLeavesTheUserFileUnread) {
  s.Start({"-nocfg", "t.c"});
  MarkBelowTheTabbedLine();
  s.Keys({"ctrl+s"});
  s.Settle(400);
  EXPECT_EQ(TempDir::read(s.dir().file("t.c")), "\tx\nabcdefghi|j\n") << "a tab is 8 wide";
  EXPECT_FALSE(access(s.dir().file("t.c~").c_str(), F_OK) == 0) << "no backups by default";
}

TEST_F(Configured, BadLinesAreReportedAtStartUp) {
  s.dir().write(".kvx/oe.cfg",
                "tabsize 4\nscrolllocation middle\nnosuchoption 3\nselect #0000ff\nbackground "
                "nosuchcolour\n");
  RunResult r =
      RunProgram({OE_BINARY, "-usage"}, {{"DISPLAY", s.x().display()}, {"HOME", s.dir().path()}},
                 30000, s.dir().path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("\"middle\" is not valid; possible choices are \"Left\" and \"Right\""),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Unknown configuration option: nosuchoption 3"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\"nosuchcolour\" is not a valid setting of background."), std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("select"), std::string::npos) << "a colour the display knows is taken";
}

// Installs the build into a fresh prefix and starts the editor through
// bin/oe: the program directory is where the link points, so the switch
// file and the site configuration beside the real program are read.
TEST(Installed, StartsThroughItsLinkAndFindsItsDirectories) {
  EditorSession s;
  ASSERT_TRUE(s.displayOk()) << "Xvfb did not start";
  TempDir prefix;
  RunResult install =
      RunProgram({"cmake", "--install", OE_BINARY_DIR, "--prefix", prefix.path()}, {}, 120000);
  ASSERT_EQ(install.status, 0) << install.out << install.err;

  const std::string home = prefix.file("lib/orvex");
  char target[4096] = {};
  ASSERT_GT(readlink(prefix.file("bin/oe").c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, "../lib/orvex/oe");
  EXPECT_EQ(access((home + "/oe").c_str(), X_OK), 0);
  EXPECT_TRUE(access((home + "/defaults/syntax_coloring/c.ksc").c_str(), F_OK) == 0);
  EXPECT_FALSE(access((home + "/defaults/sample.c").c_str(), F_OK) == 0);

  prefix.write("lib/orvex/defaults/oe.xsw", "NoSuchSwitch 1\n");
  ASSERT_EQ(mkdir((home + "/config").c_str(), 0755), 0);
  prefix.write("lib/orvex/config/kvx.cfg", "sitewideoption 1\n");
  RunResult r =
      RunProgram({prefix.file("bin/oe"), "-usage"},
                 {{"DISPLAY", s.x().display()}, {"HOME", s.dir().path()}}, 30000, s.dir().path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(
      r.err.find("Ignoring unknown option \"NoSuchSwitch\" in \"" + home + "/defaults/oe.xsw\""),
      std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Unknown configuration option: sitewideoption 1"), std::string::npos)
      << r.err;
}

}  // namespace
