// Going to a definition through a tag file beside the files, with the keys
// and clicks a user uses, and coming back.
#include <gtest/gtest.h>

#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class Tags : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(s.displayOk()) << "Xvfb did not start";
    s.dir().write("main.c", "int main(void)\n{\n  return helper();\n}\n");
    s.dir().write("lib.c",
                  "#include \"lib.h\"\n\nstatic int x;\n\nint helper(void)\n{\n  return x;\n}\n");
    s.dir().write("tags", "helper\tlib.c\t/^int helper(void)$/;\"\tf\tline:5\n");
  }
  // Control with a click of the right button in the text of `window`.
  void ControlRightClick(const std::string& window) {
    s.x().Tool({"xdotool", "mousemove", "--window", window, "300", "200"});
    s.x().Tool({"xdotool", "keydown", "ctrl", "click", "3", "keyup", "ctrl"});
    s.Settle(300);
  }
  EditorSession s;
};

TEST_F(Tags, TheOpenTagClickPushesTheDefinitionAndPopReturns) {
  s.Start({"main.c"});
  std::string w = s.Window("^main\\.c$");
  ASSERT_FALSE(w.empty());
  ASSERT_TRUE(s.Focus(w));
  // "helper" selected: line 3 from column 9.
  ASSERT_TRUE(
      s.Command("Down; Down; SOL; Right; Right; Right; Right; Right; Right; Right; Right; "
                "Right; SelectWord"));
  ControlRightClick(w);
  EXPECT_FALSE(s.Window("^lib\\.c$", 5000).empty()) << "the window now shows lib.c";
  // The caret stands on the definition.
  ASSERT_TRUE(s.Command("SelectLine; SelectionGrab"));
  EXPECT_EQ(s.Primary(), "int helper(void)\n");
  s.Keys({"ctrl+shift+p"});  // Pop
  EXPECT_FALSE(s.Window("^main\\.c$", 5000).empty()) << "pop shows main.c again";
  EXPECT_EQ(s.Text(), "int main(void)\n{\n  return helper();\n}\n");
}

TEST_F(Tags, TheTagOptionOpensTheDefinition) {
  s.Start({"-tag", "helper"});
  std::string w = s.Window("^lib\\.c$");
  ASSERT_FALSE(w.empty()) << "-tag helper opens lib.c";
  ASSERT_TRUE(s.Focus(w));
  s.Type("Y");
  ASSERT_TRUE(s.Command("SOL; SelectLine; SelectionGrab"));
  EXPECT_EQ(s.Primary(), "Yint helper(void)\n");
}

}  // namespace
