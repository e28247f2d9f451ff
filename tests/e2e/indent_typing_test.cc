// Auto-indent while typing in the real editor: Return indents the new line
// by the C rules and a typed "}" moves back to its block's column; the saved
// file holds the indentation.
#include <gtest/gtest.h>

#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

TEST(IndentTyping, ReturnAndClosingBraceIndentTypedC) {
  EditorSession s;
  ASSERT_TRUE(s.displayOk()) << "Xvfb did not start";
  s.dir().write("t.c", "");
  s.Start({"t.c"});
  ASSERT_FALSE(s.FocusWindow("t\\.c", 40000).empty());
  // Every line is typed from its start: the indentation comes from the
  // editor alone.
  for (const char* line : {"int f(int x)", "{", "if (x) {", "g(x,", "x);", "}", "return x;"}) {
    s.Type(line);
    s.Keys({"Return"});
  }
  s.Type("}");
  s.Keys({"ctrl+s"});
  std::string saved;
  for (int tries = 0; tries < 30 && saved.find("return") == std::string::npos; ++tries) {
    s.Settle(200);
    saved = oetest::TempDir::read(s.dir().file("t.c"));
  }
  // Columns 4 and 8 (a tab: tabsize 8, tabs allowed); the continuation of
  // the call is the indentation of its line plus twice the indent size (the
  // default parenthesis mode).
  EXPECT_EQ(saved,
            "int f(int x)\n"
            "{\n"
            "    if (x) {\n"
            "\tg(x,\n"
            "\t\tx);\n"
            "    }\n"
            "    return x;\n"
            "}\n");
}

}  // namespace
