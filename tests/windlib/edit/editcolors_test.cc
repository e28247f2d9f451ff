// Views draw with the colour list: colour options, the background mode,
// black-and-white mode and window shades redraw every open view.
#include "windlib/edit/editcolors.h"

#include <string>
#include <vector>

#include "edit_fixture.h"
#include "windlib/config/configoptions.h"
#include "windlib/x11/wcolorshades.h"

namespace oetest {
namespace {

class EditColorsTest : public EditTest {
 protected:
  void TearDown() override {
    for (const char* line : {"blackwhite off", "background #ffffff", "foreground #000000",
                             "select #000080", "keyword #0000ff", "backgroundmode Offset"})
      cfg_ScanLine(line, false, true);
    EditTest::TearDown();
  }
  Edit* View(const std::string& content) {
    Edit* e = EditTest::View("colours.c", content);
    WFlushDrawing();
    return e;
  }
  static const EditRun& FirstRun(Edit* e, int row = 0) {
    WFlushDrawing();
    return e->drawnRows.at(static_cast<size_t>(row)).runs.at(0);
  }
  static bool Set(const std::string& line) { return cfg_ScanLine(line, false, true) == 1; }
};

TEST_F(EditColorsTest, ColourOptionIsTheEntryAndRedrawsOpenViews) {
  Edit* e = View("text\n");
  EXPECT_EQ(FirstRun(e).style.bg, 0xffffffu);
  ASSERT_TRUE(Set("background #ffe0e0"));
  EXPECT_EQ(ColorListGet(kColorBackground).spec, "#ffe0e0");
  EXPECT_EQ(cfg_TextOption("background"), "#ffe0e0");
  EXPECT_EQ(bg_pixel, 0xffe0e0u);
  EXPECT_EQ(e->text->background(), 0xffe0e0u);
  EXPECT_EQ(FirstRun(e).style.bg, 0xffe0e0u);
  ASSERT_TRUE(Set("foreground #203040"));
  EXPECT_EQ(FirstRun(e).style.fg, 0x203040u);
  // Not a colour: refused, entry and view unchanged.
  EXPECT_FALSE(Set("background nocolour"));
  EXPECT_EQ(cfg_TextOption("background"), "#ffe0e0");
  EXPECT_EQ(FirstRun(e).style.bg, 0xffe0e0u);
  // An option whose entry has another name.
  ASSERT_TRUE(Set("diffHighlight #010203"));
  EXPECT_EQ(ColorListGet(kColorDiffHighlight).pixel, 0x010203u);
}

TEST_F(EditColorsTest, ViewsLeaveTheNoticesWhenDestroyed) {
  EditWindow* w = Window(Open("gone.c", "x\n"));
  Edit* kept = View("y\n");
  w->Destroy();
  WReapDestroyed();
  // The destroyed view would be touched here (ASan) if it still listened.
  ASSERT_TRUE(Set("background #e0e0ff"));
  EXPECT_EQ(FirstRun(kept).style.bg, 0xe0e0ffu);
}

TEST_F(EditColorsTest, SelectedTextStaysReadableOnAnySelectColour) {
  Edit* e = View("abc\n");
  ASSERT_EQ(EditCli(e, "SelectAll"), 1);
  WFlushDrawing();
  // Navy: the (white) background colour stands out.
  EXPECT_EQ(FirstRun(e).style.bg, 0x000080u);
  EXPECT_EQ(FirstRun(e).style.fg, 0xffffffu);
  ASSERT_TRUE(Set("select #ffff80"));
  EXPECT_EQ(FirstRun(e).style.bg, 0xffff80u);
  EXPECT_EQ(FirstRun(e).style.fg, 0x000000u);
  // A dark theme: light text on a dark background, light selection.
  ASSERT_TRUE(Set("background #101010"));
  ASSERT_TRUE(Set("foreground #f0f0f0"));
  ASSERT_TRUE(Set("select #c0c0ff"));
  EXPECT_EQ(FirstRun(e).style.fg, 0x101010u);
}

TEST_F(EditColorsTest, MarginAndSearchMatchesAreTintsOfTheBackground) {
  EXPECT_EQ(EditMarginBackground(), 0xefefefu);
  EXPECT_EQ(EditSearchMatchBackground(), 0xffffdfu);
  ASSERT_TRUE(Set("background #000000"));
  EXPECT_EQ(EditMarginBackground(), 0x101010u);
  EXPECT_EQ(EditSearchMatchBackground(), 0x000020u);
}

TEST_F(EditColorsTest, WindowShadeFollowsTheBackgroundMode) {
  EditWindow* w = Window(Open("shade.c", "text\n"));
  Edit* e = w->edit();
  WSetInputAreaColorForColwind(w, 2);
  EXPECT_EQ(e->text->background(), 0xffdfffu);
  EXPECT_EQ(FirstRun(e).style.bg, 0xffdfffu);
  ASSERT_TRUE(Set("backgroundmode Preset"));
  EXPECT_EQ(e->text->background(), WColorFromRGB16(WRGB16{34560, 57856, 46336}));
  ASSERT_TRUE(Set("backgroundmode Off"));
  EXPECT_EQ(e->text->background(), bg_pixel);
  // Another window's shade does not touch this one.
  ASSERT_TRUE(Set("backgroundmode Offset"));
  EditWindow* other = Window(Open("other.c", "x\n"));
  WSetInputAreaColorForColwind(other, 1);
  EXPECT_EQ(e->text->background(), 0xffdfffu);
  EXPECT_EQ(other->edit()->text->background(), 0xdfffffu);
}

TEST_F(EditColorsTest, BlackAndWhiteOptionDrawsEverythingInTheForeground) {
  ASSERT_TRUE(Set("keyword #123456"));
  ASSERT_TRUE(Set("blackwhite on"));
  EXPECT_TRUE(bwstate);
  EXPECT_EQ(keyword_fg, fg_pixel);
  EXPECT_EQ(select_pixel, fg_pixel);
  EXPECT_EQ(control_pixel, bg_pixel);
  // In black and white no colour is taken.
  EXPECT_FALSE(Set("keyword #654321"));
  EXPECT_EQ(cfg_TextOption("keyword"), "#123456");
  ASSERT_TRUE(Set("blackwhite off"));
  EXPECT_FALSE(bwstate);
  EXPECT_EQ(keyword_fg, 0x123456u);
}

}  // namespace
}  // namespace oetest
