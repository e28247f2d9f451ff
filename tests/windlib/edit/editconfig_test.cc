#include "windlib/edit/editconfig.h"

#include <cstdlib>
#include <string>

#include "edit_fixture.h"
#include "windlib/config/configoptions.h"
#include "windlib/edit/editbindings.h"
#include "windlib/x11/wkeys.h"

namespace {

using oetest::EditTest;

std::string bound_key(const char* name, unsigned mods = 0) {
  const std::string* c = InterpretEditKey(WKeyFromName(name), mods);
  return c ? *c : "<unbound>";
}

// The binding tables live for the process, so tests that change them run in
// a child process.
TEST(EditConfigLines, KeyLinesReplaceTheBindingOfTheirKey) {
  EXPECT_EXIT(
      {
        EditInit();
        bool ok = bound_key("F5") != "Undo";
        ok &= cfg_ScanLine("key \"F5\"@Edit=Undo", true, false) == 1;
        ok &= bound_key("F5") == "Undo";
        ok &= cfg_ScanLine("keybind \"F5\"|Shift@Edit=Redo", true, false) == 1;
        ok &= bound_key("F5", WModShift) == "Redo" && bound_key("F5") == "Undo";
        int f5 = 0;
        for (const EditBinding& b : EditActiveBindings())
          f5 += !b.mouse && b.key == "F5" && b.modifiers == 0;
        ok &= f5 == 1;
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(EditConfigLines, BadBindingsAreInvalidSettings) {
  EXPECT_EXIT(
      {
        EditInit();
        std::string said;
        static std::string* out = &said;
        mprintf_hook = [](const char* t) { *out += t; };
        bool ok = cfg_ScanLine("key F5=Undo", true, false) == 0;
        ok &= cfg_ScanLine("key \"NoSuchKeyName\"@Edit=Undo", true, false) == 0;
        ok &= cfg_ScanLine("mouse \"F5\"@Edit=Undo", true, false) == 0;
        ok &= said ==
              "\"F5=Undo\" is not a valid setting of key.\n"
              "\"\"NoSuchKeyName\"@Edit=Undo\" is not a valid setting of key.\n"
              "\"\"F5\"@Edit=Undo\" is not a valid setting of mouse.\n";
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(EditConfigLines, ClearingKeysLeavesTheMouseAndAMouseLineBindsAgain) {
  EXPECT_EXIT(
      {
        EditInit();
        bool ok = cfg_ScanLine("clearkeys", true, false) == 1;
        ok &= bound_key("Up") == "<unbound>";
        bool mice = false;
        for (const EditBinding& b : EditActiveBindings()) mice |= b.mouse;
        ok &= mice;
        ok &= cfg_ScanLine("clearmice", true, false) == 1;
        ok &= EditActiveBindings().empty();
        ok &= InterpretEditMouse(1, false, 1, 0) == nullptr;
        ok &= cfg_ScanLine("mouse Mouse1*Press1@Edit=SelectionStart", true, false) == 1;
        const std::string* c = InterpretEditMouse(1, false, 1, 0);
        ok &= c && *c == "SelectionStart";
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(EditTest, MarginFollowsItsWidthOption) {
  Edit* e = View("a.c", "text\n");
  ASSERT_NE(e->margin, nullptr) << "views have a margin by default";
  EXPECT_EQ(e->marginWidth, 13);
  const int text_x = e->text->geometry().x;

  AnyRefreshes = 0;
  ASSERT_EQ(cfg_ScanLine("SelectionMarginWidth 0", false, false), 1);
  EXPECT_NE(EditApplyConfigRefreshes() & cfgRefreshLayout, 0u);
  EXPECT_EQ(AnyRefreshes, 0u) << "applied flags are cleared";
  EXPECT_EQ(e->margin, nullptr);
  EXPECT_EQ(e->text->geometry().x, text_x - 13) << "the text moves into the margin's place";

  ASSERT_EQ(cfg_ScanLine("SelectionMarginWidth 30", false, false), 1);
  EditApplyConfigRefreshes();
  ASSERT_NE(e->margin, nullptr);
  EXPECT_EQ(e->margin->geometry().width, 30);
  EXPECT_EQ(e->text->geometry().x, text_x - 13 + 30);
}

TEST_F(EditTest, CaretBlinksWhileTheOptionIsOn) {
  Edit* e = View("a.c", "text\n");
  EXPECT_GT(e->text->caretBlink(), 0);
  ASSERT_EQ(cfg_ScanLine("blinkingcursor off", false, false), 1);
  EditApplyConfigRefreshes();
  EXPECT_EQ(e->text->caretBlink(), 0);
  Edit* later = View("b.c", "text\n");
  EXPECT_EQ(later->text->caretBlink(), 0) << "new views follow the option";
}

TEST_F(EditTest, TabSizeChangeRemeasuresLines) {
  File* f = Open("a.c", "\t\tx\n");
  Window(f);
  EXPECT_EQ(f->maxWidth, 17);
  ASSERT_EQ(cfg_ScanLine("tabsize 2", false, false), 1);
  EXPECT_EQ(f->maxWidth, 17) << "nothing changes before the refresh";
  EditApplyConfigRefreshes();
  EXPECT_EQ(f->maxWidth, 5);
}

}  // namespace
