// Colours on the screen: an X resource on the command line, a line of the
// user's configuration and a Configure command each change the background
// the editor draws its text on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class Colours : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(s.displayOk()) << "Xvfb did not start";
    s.dir().write("a.c", "x\n");
  }
  // How many pixels of a 20x20 square in the middle of the window, below
  // the one-line text, have the colour `hex` ("#RRGGBB").
  int CountColour(const std::string& window, const std::string& hex) {
    oetest::RunResult r = s.x().Tool(
        {"import", "-window", window, "-crop", "20x20+300+200", "+repage", "-depth", "8", "txt:-"});
    int count = 0;
    for (size_t at = r.out.find(hex); at != std::string::npos; at = r.out.find(hex, at + 1))
      ++count;
    return count;
  }
  // Waits up to two seconds for the square to be all `hex`.
  bool ShowsColour(const std::string& window, const std::string& hex) {
    for (int tries = 0; tries < 20; ++tries) {
      if (CountColour(window, hex) == 400) return true;
      s.Settle(100);
    }
    return false;
  }
  EditorSession s;
};

TEST_F(Colours, XResourceOnTheCommandLineSetsTheBackground) {
  s.Start({"-xrm", "oe.background: #ffe0e0", "a.c"});
  const std::string w = s.Window("^a\\.c$");
  ASSERT_FALSE(w.empty());
  EXPECT_TRUE(ShowsColour(w, "#FFE0E0"));
}

TEST_F(Colours, ConfigurationLineAndConfigureCommandChangeTheBackground) {
  ASSERT_EQ(mkdir(s.dir().file(".kvx").c_str(), 0755), 0);
  s.dir().write(".kvx/oe.cfg", "background #e0ffe0\n");
  s.Start({"a.c"});
  const std::string w = s.Window("^a\\.c$");
  ASSERT_FALSE(w.empty());
  EXPECT_TRUE(ShowsColour(w, "#E0FFE0"));
  ASSERT_TRUE(s.Focus(w));
  ASSERT_TRUE(s.Command("Configure background #e0e0ff"));
  EXPECT_TRUE(ShowsColour(w, "#E0E0FF")) << "the open window redraws in the new colour";
}

}  // namespace
