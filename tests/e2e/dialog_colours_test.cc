// A toolkit window that is already open takes a changed colour at once:
// the Searcher's controls and its text fields are painted again in the new
// control and background colours.
#include <gtest/gtest.h>

#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class DialogColours : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }
  // How many pixels of `window` have the colour `hex` ("#RRGGBB").
  int CountColour(const std::string& window, const std::string& hex) {
    oetest::RunResult r = s.x().Tool({"import", "-window", window, "-depth", "8", "txt:-"}, 20000);
    int count = 0;
    for (size_t at = r.out.find(hex); at != std::string::npos; at = r.out.find(hex, at + 1))
      ++count;
    return count;
  }
  // Waits up to three seconds for at least `least` pixels of `hex`.
  bool Shows(const std::string& window, const std::string& hex, int least) {
    for (int tries = 0; tries < 15; ++tries) {
      if (CountColour(window, hex) >= least) return true;
      s.Settle(200);
    }
    return false;
  }
  EditorSession s;
};

TEST_F(DialogColours, OpenSearcherTakesNewControlAndBackgroundColours) {
  s.dir().write("d.c", "int x;\n");
  s.Start({"d.c"});
  const std::string editor = s.FocusWindow("d\\.c", 40000);
  ASSERT_FALSE(editor.empty());
  s.Keys({"ctrl+shift+f"});
  const std::string searcher = s.Window("^Searcher for .*d\\.c$");
  ASSERT_FALSE(searcher.empty()) << "Ctrl+Shift+f opens the Searcher";
  // Most of the Searcher is its control colour; its fields the background.
  ASSERT_TRUE(Shows(searcher, "#C0C0C0", 5000));
  EXPECT_EQ(CountColour(searcher, "#C0E0C0"), 0);
  EXPECT_EQ(CountColour(searcher, "#FFE8D0"), 0);

  ASSERT_TRUE(s.Focus(editor));
  ASSERT_TRUE(s.Command("Configure controlcolor #c0e0c0"));
  EXPECT_TRUE(Shows(searcher, "#C0E0C0", 5000)) << "the open Searcher takes the control colour";
  EXPECT_EQ(CountColour(searcher, "#C0C0C0"), 0) << "nothing is left in the old control colour";

  ASSERT_TRUE(s.Focus(editor));
  ASSERT_TRUE(s.Command("Configure background #ffe8d0"));
  EXPECT_TRUE(Shows(searcher, "#FFE8D0", 500)) << "its text fields take the background colour";
}

}  // namespace
