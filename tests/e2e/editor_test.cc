// Editor windows as a user meets them: files on the command line, pushing
// and popping, several views, closing with unsaved changes, and temporary
// copies that go away on every exit path.
#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

int entries_in(const std::string& dir) {
  int n = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') ++n;
    closedir(d);
  }
  return n;
}

std::string numbered(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += "l" + std::to_string(i) + "\n";
  return s;
}

class Editor : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }
  EditorSession s;
};

TEST_F(Editor, FilesAreOpenedIntoOneWindowAndPopped) {
  s.dir().write("a.c", "alpha\n");
  s.dir().write("b.c", "beta\n");
  s.Start({"a.c", "b.c"});
  std::string w = s.Window("^b\\.c$");
  ASSERT_FALSE(w.empty()) << "one window shows b.c";
  ASSERT_TRUE(s.Focus(w));
  EXPECT_EQ(s.Text(), "beta\n");
  s.Keys({"ctrl+shift+p"});  // Pop
  EXPECT_FALSE(s.Window("^a\\.c$", 5000).empty()) << "pop shows a.c in the same window";
  EXPECT_EQ(s.Text(), "alpha\n");
}

TEST_F(Editor, NewGivesAWindowPerFile) {
  s.dir().write("a.c", "alpha\n");
  s.dir().write("b.c", "beta\n");
  s.Start({"-new", "a.c", "b.c"});
  EXPECT_FALSE(s.Window("^a\\.c$").empty());
  EXPECT_FALSE(s.Window("^b\\.c$").empty());
}

TEST_F(Editor, BadLineNumberIsReportedAndTheFileOpensAtItsNumber) {
  s.dir().write("a.c", numbered(40));
  s.Start({"+12x", "a.c"});
  std::string w = s.Window("^a\\.c$");
  ASSERT_FALSE(w.empty());
  ASSERT_TRUE(s.Focus(w));
  ASSERT_TRUE(s.Command("SelectLine; SelectionGrab"));
  EXPECT_EQ(s.Primary(), "l12\n");
  ASSERT_TRUE(s.proc().WaitForOutput("Bad line number +12x", 2000));
}

TEST_F(Editor, TwoViewsOfOneFileBothShowTypedText) {
  s.dir().write("a.c", "text\n");
  s.Start({"-new", "a.c", "a.c"});
  s.Window("^a\\.c$");
  s.Settle(500);
  oetest::RunResult r = s.x().Tool({"xdotool", "search", "--name", "^a\\.c$"});
  std::vector<std::string> ids;
  for (size_t at = 0; at < r.out.size();) {
    size_t nl = r.out.find('\n', at);
    ids.push_back(r.out.substr(at, nl - at));
    at = nl == std::string::npos ? r.out.size() : nl + 1;
  }
  ASSERT_EQ(ids.size(), 2u) << r.out;
  ASSERT_TRUE(s.Focus(ids[0]));
  s.Type("new ");
  ASSERT_TRUE(s.Focus(ids[1]));
  EXPECT_EQ(s.Text(), "new text\n");
}

TEST_F(Editor, ClosingAModifiedFileAsksAndCancelKeepsTheWindow) {
  s.dir().write("a.c", "text\n");
  s.Start({"a.c"});
  std::string w = s.Window("^a\\.c$");
  ASSERT_TRUE(s.Focus(w));
  s.Type("x");
  s.Keys({"ctrl+q"});  // Close
  std::string ask = s.Window("^Save Changes\\?$", 5000);
  ASSERT_FALSE(ask.empty()) << "closing the last view of a modified file asks";
  ASSERT_TRUE(s.Focus(ask));
  s.Keys({"Escape"});  // Cancel
  s.Settle(300);
  EXPECT_FALSE(s.Window("^a\\.c$", 3000).empty()) << "the window stays";
  EXPECT_TRUE(s.proc().running());
}

TEST_F(Editor, NoArgumentsOpenTheChooserAndCancellingExits) {
  s.Start({});
  std::string chooser = s.Window("^Edit File$");
  ASSERT_FALSE(chooser.empty());
  ASSERT_TRUE(s.Focus(chooser));
  s.Keys({"Escape"});
  oetest::RunResult& r = s.WaitExit();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(entries_in(s.temps().path()), 0);
}

TEST_F(Editor, TemporaryCopiesGoOnInterruptAndTermination) {
  s.dir().write("a.c", "text\n");
  s.Start({"a.c"});
  ASSERT_FALSE(s.Window("^a\\.c$").empty());
  EXPECT_GT(entries_in(s.temps().path()), 0) << "the copy exists while the file is open";
  s.proc().Signal(SIGINT);
  EXPECT_EQ(s.WaitExit().status, 1);
  EXPECT_EQ(entries_in(s.temps().path()), 0);

  EditorSession t;
  t.dir().write("a.c", "text\n");
  t.Start({"a.c"});
  ASSERT_FALSE(t.Window("^a\\.c$").empty());
  t.proc().Signal(SIGTERM);
  EXPECT_EQ(t.WaitExit().status, 2);
  EXPECT_EQ(entries_in(t.temps().path()), 0);

  EditorSession u;
  u.dir().write("a.c", "text\n");
  u.Start({"a.c"});
  ASSERT_FALSE(u.Window("^a\\.c$").empty());
  u.proc().Signal(SIGSEGV);
  u.WaitExit();
  EXPECT_EQ(entries_in(u.temps().path()), 0) << "a crash deletes the copies too";
}

TEST_F(Editor, QuittingAnUnmodifiedFileLeavesNothingBehind) {
  s.dir().write("a.c", "text\n");
  s.Start({"a.c"});
  std::string w = s.Window("^a\\.c$");
  ASSERT_TRUE(s.Focus(w));
  s.Keys({"ctrl+q"});
  oetest::RunResult& r = s.WaitExit();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(entries_in(s.temps().path()), 0);
}

TEST_F(Editor, BinaryFilesAskWhichEditor) {
  s.dir().write("bin.dat", std::string("\x01\x02\x00zz", 5));
  s.Start({"bin.dat"});
  std::string ask = s.Window("^Choose Editor$");
  ASSERT_FALSE(ask.empty());
  ASSERT_TRUE(s.Focus(ask));
  s.Keys({"Return"});  // "Edit", the default
  EXPECT_FALSE(s.Window("^bin\\.dat$").empty());
}

}  // namespace
