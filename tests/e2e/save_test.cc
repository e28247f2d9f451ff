// Saving as a user meets it: the save key, a file changed behind the
// editor's back, a second editor on the same file, and getting the edits
// back after the editor was killed or interrupted.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class Saving : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }
  std::string Open(const std::string& name) {
    std::string w = s.Window("^" + name + "$");
    if (!w.empty()) s.Focus(w);
    return w;
  }
  EditorSession s;
};

TEST_F(Saving, TheSaveKeyWritesTheFile) {
  s.dir().write("f.c", "one\r\ntwo\r\n");
  s.Start({"f.c"});
  ASSERT_FALSE(Open("f\\.c").empty());
  s.Type("new ");
  s.Keys({"ctrl+s"});
  s.Settle(300);
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("f.c")), "new one\r\ntwo\r\n")
      << "CR LF files keep their line ends";
}

TEST_F(Saving, AFileChangedBehindTheEditorsBackIsNotOverwrittenWithoutAsking) {
  s.dir().write("f.c", "original\n");
  s.Start({"f.c"});
  ASSERT_FALSE(Open("f\\.c").empty());
  s.Type("mine ");
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  s.dir().write("f.c", "changed by another program\n");
  s.Keys({"ctrl+s"});
  std::string ask = s.Window("^File changed, save anyway\\?$", 5000);
  ASSERT_FALSE(ask.empty()) << "the save asks first";
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("f.c")), "changed by another program\n");
  ASSERT_TRUE(s.Focus(ask));
  s.Keys({"shift+Tab", "shift+Tab", "space"});  // from "Merge" back to "Save Anyway"
  s.Settle(400);
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("f.c")), "mine original\n");
}

TEST_F(Saving, ASecondEditorOnTheSameFileSeesTheLock) {
  s.dir().write("f.c", "text\n");
  s.Start({"f.c"});
  ASSERT_FALSE(Open("f\\.c").empty());
  s.Type("x");  // the first change takes the lock
  s.Settle(300);
  EditorSession second;
  ASSERT_TRUE(second.displayOk());
  // The second editor runs on the first one's display, in the same directory.
  oetest::Process p({OE_BINARY, "-display", s.x().display(), s.dir().file("f.c")},
                    {{"HOME", s.dir().path()}, {"TMPDIR", second.temps().path()}});
  std::string ask = s.Window("^File being edited elsewhere$", 10000);
  EXPECT_FALSE(ask.empty()) << "the second editor sees the lock and asks";
  p.Signal(SIGTERM);
  p.Wait(5000);
}

TEST_F(Saving, EditsComeBackAfterTheEditorWasKilled) {
  s.dir().write("f.c", "line one\nline two\n");
  mkdir(s.dir().file(".kvx").c_str(), 0755);
  s.dir().write(".kvx/oe.cfg", "editincrfrequency 1\n");
  s.Start({"f.c"});
  ASSERT_FALSE(Open("f\\.c").empty());
  s.Type("EDITED ");
  s.Keys({"ctrl+End"});
  s.Type("last");
  // The journal is written every second.
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  s.proc().Signal(SIGKILL);
  s.WaitExit();
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("f.c")), "line one\nline two\n");

  s.Start({"f.c"});
  std::string ask = s.Window("^File being edited elsewhere$");
  ASSERT_FALSE(ask.empty());
  ASSERT_TRUE(s.Focus(ask));
  s.Keys({"Return"});  // "Apply Edits"
  ASSERT_FALSE(Open("f\\.c").empty());
  s.Keys({"ctrl+s"});
  s.Settle(400);
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("f.c")), "EDITED line one\nline two\nlast\n");
}

// Ctrl+C in the terminal: the editor goes, the journal of the unsaved
// text stays (written at the interrupt, long before the journal interval)
// and the next start offers to apply it.
TEST_F(Saving, TypedTextComesBackAfterAnInterrupt) {
  s.dir().write("f.c", "alpha\nbeta\n");
  s.Start({"f.c"});
  ASSERT_FALSE(Open("f\\.c").empty());
  s.Type("typed ");
  s.Keys({"ctrl+End"});
  s.Type("omega");
  s.Settle(300);
  s.proc().Signal(SIGINT);
  oetest::RunResult& r = s.WaitExit();
  EXPECT_EQ(r.status, 1) << "an interrupt ends the editor with status 1";
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("f.c")), "alpha\nbeta\n");
  EXPECT_TRUE(std::filesystem::is_empty(s.temps().path())) << "the temporary copies are gone";
  EXPECT_GT(oetest::TempDir::read(s.dir().file(".f.c.kv~")).size(), 4u)
      << "the journal holds the typed text";

  s.Start({"f.c"});
  std::string ask = s.Window("^File being edited elsewhere$");
  ASSERT_FALSE(ask.empty()) << "the next start asks about the edits";
  ASSERT_TRUE(s.Focus(ask));
  s.Keys({"Return"});  // "Apply Edits"
  ASSERT_FALSE(Open("f\\.c").empty());
  s.Keys({"ctrl+s"});
  s.Settle(400);
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("f.c")), "typed alpha\nbeta\nomega\n");
}

}  // namespace
