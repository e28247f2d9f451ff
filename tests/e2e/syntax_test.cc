// Syntax colouring on the screen: a C file shows its keywords, comments and
// strings in the colours of the C definition, and Printsyn dumps the start
// states of the lines on standard error.
#include <gtest/gtest.h>

#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class Syntax : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }
  // How many pixels of the window have the colour `hex` ("#RRGGBB").
  int CountColour(const std::string& window, const std::string& hex) {
    oetest::RunResult r = s.x().Tool({"import", "-window", window, "-depth", "8", "txt:-"});
    int count = 0;
    for (size_t at = r.out.find(hex); at != std::string::npos; at = r.out.find(hex, at + 1))
      ++count;
    return count;
  }
  // Waits up to two seconds for at least `least` pixels of colour `hex`.
  int WaitForColour(const std::string& window, const std::string& hex, int least) {
    int n = 0;
    for (int tries = 0; tries < 20 && n < least; ++tries) {
      n = CountColour(window, hex);
      if (n < least) s.Settle(100);
    }
    return n;
  }
  EditorSession s;
};

TEST_F(Syntax, KeywordCommentAndStringInTheirColours) {
  // The C definition colours keywords "blue", comments "firebrick" and
  // strings "dark green".
  s.dir().write("k.c", "while while while\n/* note note */\n\"text text\"\n");
  s.Start({"k.c"});
  const std::string w = s.Window("^k\\.c$");
  ASSERT_FALSE(w.empty());
  EXPECT_GT(WaitForColour(w, "#0000FF", 30), 30) << "keywords";
  EXPECT_GT(WaitForColour(w, "#B22222", 30), 30) << "comments";
  EXPECT_GT(WaitForColour(w, "#006400", 30), 30) << "strings";
  // Without colouring they go.
  ASSERT_TRUE(s.Focus(w));
  ASSERT_TRUE(s.Command("Configure colorsyntax off"));
  s.Settle(300);
  EXPECT_EQ(CountColour(w, "#0000FF"), 0);
  EXPECT_EQ(CountColour(w, "#B22222"), 0);
}

TEST_F(Syntax, PrintsynDumpsTheStartStates) {
  s.dir().write("d.c", "int a; /* open\nstill */\n#if 0\ndead\n#endif\nlive\n");
  s.Start({"d.c"});
  const std::string w = s.FocusWindow("d\\.c");
  ASSERT_FALSE(w.empty());
  ASSERT_TRUE(s.Command("Printsyn"));
  const std::string dump =
      "Dump Starting Syntax States(marked to 6):\n"
      "\tline     1\t\n"
      "\tline     2\t0x80000000: COMMENT\n"
      "\tline     3\t\n"
      "\tline     4\t0x40000000: DEAD_CODE\n"
      "\tline     5\t0x40000000: DEAD_CODE\n"
      "\tline     6\t\n";
  EXPECT_TRUE(s.proc().WaitForOutput(dump, 5000)) << s.proc().result().err;
}

}  // namespace
