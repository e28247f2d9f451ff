// The configuration and remembered state as a user meets them: settings
// saved from the running editor are there at the next start, and editor
// windows reopen where they were closed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class Configuration : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }

  // The window's position on the screen as "x,y", or "" when unknown.
  std::string Position(const std::string& window) {
    oetest::RunResult r = s.x().Tool({"xdotool", "getwindowgeometry", window});
    size_t at = r.out.find("Position: ");
    if (at == std::string::npos) return "";
    at += 10;
    return r.out.substr(at, r.out.find(' ', at) - at);
  }
  // Closes the focused editor's only window and waits for the program to end.
  void CloseAndWait() {
    s.Keys({"ctrl+q"});
    oetest::RunResult& r = s.WaitExit();
    ASSERT_EQ(r.status, 0) << r.err;
  }

  EditorSession s;
};

TEST_F(Configuration, SavedSettingsAreReadAtTheNextStart) {
  s.dir().write("a.c", "x\n");
  s.Start({"a.c"});
  std::string w = s.Window("^a\\.c$");
  ASSERT_TRUE(s.Focus(w));
  // With tab stops of 0 a tab is written as a blank.
  ASSERT_TRUE(s.Command("Configure tabsize 0; saveconfig"));
  s.Settle(500);
  const std::string saved = oetest::TempDir::read(s.dir().file(".kvx/kvx.cfg"));
  EXPECT_NE(saved.find("\ntabsize 0\n"), std::string::npos) << saved;
  s.Stop();

  s.Start({"a.c"});
  w = s.Window("^a\\.c$");
  ASSERT_TRUE(s.Focus(w));
  ASSERT_TRUE(s.Command("Tab"));
  EXPECT_EQ(s.Text(), " x\n");
}

TEST_F(Configuration, AnEditorWindowReopensWhereItWasClosed) {
  s.dir().write("a.c", "alpha\n");
  s.dir().write("b.c", "beta\n");
  s.Start({"a.c"});
  std::string w = s.Window("^a\\.c$");
  ASSERT_FALSE(w.empty());
  s.x().Tool({"xdotool", "windowmove", "--sync", w, "200", "150"});
  s.Settle(300);
  ASSERT_EQ(Position(w), "200,150");
  ASSERT_TRUE(s.Focus(w));
  CloseAndWait();
  const std::string settings = oetest::TempDir::read(s.dir().file(".kvx/orvexsettings.odb"));
  EXPECT_NE(settings.find("WindowPositionsTree.EditWindow.abs_x=200\n"), std::string::npos)
      << settings;

  // Its own file's window comes back to the place; another file's window
  // takes the last place any window had, moved on while the first is there.
  s.Start({"-new", "a.c", "b.c"});
  std::string a = s.Window("^a\\.c$");
  std::string b = s.Window("^b\\.c$");
  s.Settle(300);
  EXPECT_EQ(Position(a), "200,150");
  EXPECT_EQ(Position(b), "230,180");
}

TEST_F(Configuration, PlacesAreNotRememberedWhenTheOptionIsOff) {
  s.dir().write("a.c", "alpha\n");
  s.Start({"a.c"});
  std::string w = s.Window("^a\\.c$");
  ASSERT_TRUE(s.Focus(w));
  ASSERT_TRUE(s.Command("Configure rememberwindowpositions off"));
  s.x().Tool({"xdotool", "windowmove", "--sync", w, "200", "150"});
  s.Settle(300);
  ASSERT_TRUE(s.Focus(w));
  CloseAndWait();
  FILE* f = std::fopen(s.dir().file(".kvx/orvexsettings.odb").c_str(), "r");
  EXPECT_EQ(f, nullptr);
  if (f) std::fclose(f);
}

}  // namespace
