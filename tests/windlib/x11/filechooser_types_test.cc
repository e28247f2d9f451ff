// The file chooser's type pulldown fed by a preset of file types, and the
// pulldown widget itself, driven without a display.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "windlib/config/fileextensions.h"
#include "windlib/x11/wfilechooser.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wlist.h"
#include "windlib/x11/wpopupmenu.h"
#include "windlib/x11/wpulldown.h"

namespace {

class ChooserTypes : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("b.c", "");
    dir.write("a.h", "");
    dir.write("notes.txt", "");
    dir.write("Makefile", "");
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    const std::string db =
        types.write("types.udb",
                    "xdf { xdfheader { version = 1 }\n"
                    "  c { name = \"C\"  extension = { \".c\", \".h\" } }\n"
                    "  text { name = \"Text & notes\"  extension = { \".txt\" } }\n"
                    "  make { name = \"Make\"  extension = { \"Makefile\" } }\n"
                    "  all { name = \"All\"  extension = { \"*\" } }\n"
                    "  presets { P { default = \"Text & notes\"  filetype = { \"C\", \"Text & "
                    "notes\" } } } }\n");
    ASSERT_EQ(fileExtensions_LoadXDFFile(db.c_str()), 1);
  }
  void TearDown() override { fileExtensions_Reset(); }

  std::string default_of_p() {
    const FileType* t = fileExtensions_GetNamedPreset("P")->defaultType();
    return t ? t->name() : "";
  }
  // Types `s` into the name and presses Return.
  static void enter(WWindow* w, const std::string& s) {
    for (char c : s) WPostEvent(w, WKeyEvent(static_cast<unsigned char>(c), 0, std::string(1, c)));
    WPostEvent(w, WKeyEvent(WK_Return));
  }

  oetest::TempDir dir, types;
};

TEST_F(ChooserTypes, DefaultFirstThenThePresetThenFurtherTypesFilterTheList) {
  WFileChooserDialog d("Edit File", dir.path(), "*", "", "P", {"All", "Missing", "C"});
  ASSERT_NE(d.typePulldown(), nullptr);
  EXPECT_EQ(d.typePulldown()->items(),
            (std::vector<std::string>{"Text & notes (*.txt)", "C (*.c, *.h)", "All (*)"}));
  EXPECT_EQ(d.typePulldown()->selected(), 0);
  EXPECT_EQ(d.fileType(), "Text & notes");
  EXPECT_EQ(d.list()->items(), (std::vector<std::string>{"../", "sub/", "notes.txt"}))
      << "the default type filters from the start";

  d.typePulldown()->Choose(1);
  EXPECT_EQ(d.filter(), "*.c *.h");
  EXPECT_EQ(d.filterEntry()->text(), "*.c *.h");
  EXPECT_EQ(d.list()->items(), (std::vector<std::string>{"../", "sub/", "a.h", "b.c"}));

  enter(&d, "b.c");
  ASSERT_EQ(d.RunModal(), 0);
  EXPECT_EQ(d.chosenPath(), dir.file("b.c"));
  EXPECT_EQ(default_of_p(), "C") << "the type in effect becomes the preset's default";
}

TEST_F(ChooserTypes, OnlyAChosenPathWithATypeOfThePresetChangesTheDefault) {
  {
    WFileChooserDialog d("Edit File", dir.path(), "*", "", "P");
    d.typePulldown()->Choose(1);
    WPostEvent(&d, WKeyEvent(WK_Escape));
    EXPECT_EQ(d.RunModal(), 1);
  }
  EXPECT_EQ(default_of_p(), "Text & notes") << "cancelled";
  {
    WFileChooserDialog d("Edit File", dir.path(), "*", "", "P", {"Make"});
    d.typePulldown()->Choose(2);
    EXPECT_EQ(d.list()->items(), (std::vector<std::string>{"../", "sub/", "Makefile"}));
    enter(&d, "Makefile");
    EXPECT_EQ(d.RunModal(), 0);
  }
  EXPECT_EQ(default_of_p(), "Text & notes") << "a type from outside the preset";
  {
    // A filter of the user's own puts no type in effect.
    WFileChooserDialog d("Edit File", dir.path(), "*", "", "P");
    d.typePulldown()->Choose(1);
    enter(&d, "*.h");
    enter(&d, "a.h");
    EXPECT_EQ(d.RunModal(), 0);
    EXPECT_EQ(d.filter(), "*.h");
    EXPECT_EQ(d.fileType(), "");
    EXPECT_EQ(d.typePulldown()->selected(), -1);
  }
  EXPECT_EQ(default_of_p(), "Text & notes") << "a custom filter";
  {
    // The next chooser shows the new default first.
    fileExtensions_ChangeDefaultFileTypeForPreset("P", "C");
    WFileChooserDialog d("Edit File", dir.path(), "*", "", "P");
    EXPECT_EQ(d.typePulldown()->items(),
              (std::vector<std::string>{"C (*.c, *.h)", "Text & notes (*.txt)"}));
  }
}

TEST_F(ChooserTypes, WithoutTypesTheChooserHasNoPulldownAndKeepsItsFilter) {
  fileExtensions_Reset();
  WFileChooserDialog d("Edit File", dir.path(), "*.c", "", "P", {"C"});
  EXPECT_EQ(d.typePulldown(), nullptr);
  EXPECT_EQ(d.fileType(), "");
  EXPECT_EQ(d.list()->items(), (std::vector<std::string>{"../", "sub/", "b.c"}));
  enter(&d, "b.c");
  EXPECT_EQ(d.RunModal(), 0);
  EXPECT_EQ(d.chosenPath(), dir.file("b.c"));
}

TEST(Pulldown, KeysStepThroughTheTextsAndTheListChoosesOne) {
  WWindow top(nullptr, WRect{0, 0, 300, 200});
  auto* p = new WPulldown(&top);
  std::vector<int> changes;
  p->SetOnChange([&changes](WPulldown*, int i) { changes.push_back(i); });
  EXPECT_EQ(p->selected(), -1);
  p->SetItems({"one", "two & more", "three"});
  EXPECT_EQ(p->selected(), 0);
  p->Focus();
  for (uint32_t k : {WK_Up, WK_Down, WK_Down, WK_Down}) {
    WEvent e = WKeyEvent(k);
    top.Deliver(e);
  }
  EXPECT_EQ(changes, (std::vector<int>{1, 2})) << "no step past either end";
  EXPECT_EQ(p->selected(), 2);

  // The list opens below with the chosen text checked and selected; the
  // keys move on from there.
  p->OpenList();
  WPopupMenu* menu = WPopupMenu::Current();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->menu().items().size(), 3u);
  EXPECT_EQ(WMenuLabelText(menu->menu().items()[1].label), "two & more");
  EXPECT_TRUE(menu->menu().items()[2].checked);
  EXPECT_EQ(menu->selected(), 2);
  WPostEvent(menu, WKeyEvent(WK_Up));
  WPostEvent(menu, WKeyEvent(WK_Return));
  WDeliverPosted();
  WReapDestroyed();
  EXPECT_EQ(WPopupMenu::Current(), nullptr);
  EXPECT_EQ(p->selected(), 1);
  EXPECT_EQ(changes, (std::vector<int>{1, 2, 1}));

  // With nothing chosen, Down chooses the first text.
  p->Select(-1);
  EXPECT_EQ(p->selected(), -1);
  WEvent down = WKeyEvent(WK_Down);
  top.Deliver(down);
  EXPECT_EQ(p->selected(), 0);
  EXPECT_EQ(changes, (std::vector<int>{1, 2, 1, 0}));
}

}  // namespace
