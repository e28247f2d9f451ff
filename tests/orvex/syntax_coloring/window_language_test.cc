// The language of the files editor windows show: the Language menu checks
// the shown file's language when it opens, and the colorsyntax option
// takes the languages of open files away and chooses them again.
#include <memory>
#include <string>
#include <vector>

#include "shipped_languages_fixture.h"
#include "windlib/x11/wcolorlist.h"
#include "windlib/x11/wmenu.h"
#include "windlib/x11/wmenubar.h"
#include "windlib/x11/wpopupmenu.h"

namespace oetest {
namespace {

class WindowLanguageTest : public ShippedLanguagesTest {
 protected:
  void TearDown() override {
    WPopupMenu::CloseAll();
    cfg_ScanLine("colorsyntax on", false, true);
    ShippedLanguagesTest::TearDown();
  }
  static std::shared_ptr<WMenu> LanguageMenu(EditWindow* w) {
    for (int i = 0; w->menuBar() && i < w->menuBar()->menuCount(); ++i)
      if (w->menuBar()->menuAt(i)->title() == "Language") return w->menuBar()->menuAt(i);
    return nullptr;
  }
  // The labels of the checked items of `menu` and its submenus, as shown
  // when each is opened.
  static std::string Checked(const std::shared_ptr<WMenu>& menu) {
    WPopupMenu::Open(menu, 0, 0);
    std::string out;
    for (const WMenuItem& item : menu->items()) {
      if (item.submenu)
        out += Checked(item.submenu);
      else if (item.checked)
        out += "[" + item.label + "]";
    }
    return out;
  }

  static std::string LanguageOf(File* f) { return f->language ? f->language->name : "<none>"; }
  // The colour the first word of the view's first row is drawn in.
  static WColor FirstWordColour(Edit* e) {
    WFlushDrawing();
    return e->drawnRows.at(0).runs.at(0).style.fg;
  }
};

TEST_F(WindowLanguageTest, CheckFollowsTheLanguageOfTheShownFile) {
  File* c = Open("a.c", "int x;\n");
  EditWindow* w = Window(c);
  std::shared_ptr<WMenu> menu = LanguageMenu(w);
  ASSERT_TRUE(menu);
  EXPECT_EQ(Checked(menu), "[C source and headers]")
      << "the menu was made before the view had its file";
  ASSERT_EQ(EditCli(w->edit(), "SelectLanguage cpp"), 1);
  EXPECT_EQ(Checked(menu), "[C++ source and headers]");
  ASSERT_EQ(EditCli(w->edit(), "SelectLanguage None"), 1);
  EXPECT_EQ(Checked(menu), "[None]");
  // Another file pushed into the view: its own language is checked.
  File* py = Open("b.py", "x = 1\n");
  ASSERT_TRUE(EditPush(w->edit(), py, 1));
  EXPECT_EQ(Checked(menu), "[Python]");
  // Two windows, one menu each: each checks its own file's language.
  EditWindow* other = Window(Open("c.c", "int y;\n"));
  EXPECT_EQ(Checked(LanguageMenu(other)), "[C source and headers]");
  EXPECT_EQ(Checked(menu), "[Python]");
}

TEST_F(WindowLanguageTest, IndexReadAgainStillChecksByName) {
  EditWindow* w = Window(Open("a.c", "int x;\n"));
  std::shared_ptr<WMenu> menu = LanguageMenu(w);
  ASSERT_TRUE(menu);
  // Reading the index again replaces its entries (and the languages the
  // files point at); the menu made before still finds its items' entries.
  syn_Init(true);
  ASSERT_EQ(EditCli(w->edit(), "SelectLanguage C"), 1);
  EXPECT_EQ(Checked(menu), "[C source and headers]");
}

TEST_F(WindowLanguageTest, ColorSyntaxOffAndOnTakesAndRechoosesLanguages) {
  File* c = Open("a.c", "int x;\n");
  File* py = Open("b.py", "import os\n");
  EditWindow* w = Window(c);
  ASSERT_EQ(EditCli(w->edit(), "SelectLanguage cpp"), 1);
  EXPECT_EQ(FirstWordColour(w->edit()), keyword_fg);

  ASSERT_EQ(cfg_ScanLine("colorsyntax off", false, true), 1);
  EXPECT_EQ(LanguageOf(c), "<none>");
  EXPECT_EQ(LanguageOf(py), "<none>");
  EXPECT_EQ(FirstWordColour(w->edit()), fg_pixel) << "the open view is drawn plain at once";
  EXPECT_EQ(Checked(LanguageMenu(w)), "");
  // A file opened while colouring is off has no language either.
  EXPECT_EQ(LanguageOf(Open("c.c", "int y;\n")), "<none>");

  ASSERT_EQ(cfg_ScanLine("colorsyntax on", false, true), 1);
  // Chosen again from the names: the language picked by hand is not kept.
  EXPECT_EQ(LanguageOf(c), "C");
  EXPECT_EQ(LanguageOf(py), "Python");
  EXPECT_EQ(FirstWordColour(w->edit()), keyword_fg) << "the open view is coloured again";
  EXPECT_EQ(Text(c), "int x;\n");
}

}  // namespace
}  // namespace oetest
