// An editor window made with a colour number fills its input area with that
// shade of the background, and passes it on to windows opened from it.
#include <string>
#include <vector>

#include "edit_fixture.h"
#include "windlib/edit/editopen.h"
#include "windlib/x11/wcolorlist.h"
#include "windlib/x11/wcolorshades.h"

namespace oetest {
namespace {

class EditWindowShadeTest : public EditTest {
 protected:
  Edit* OpenWith(const std::string& name, int colour) {
    return _NewEdit(nullptr, Open(name, "text\n"), 1, 1, nullptr, colour, false, -1, -1, -1, -1,
                    nullptr);
  }
  static WColor DrawnBackground(Edit* e) {
    WFlushDrawing();
    return e->drawnRows.at(0).runs.at(0).style.bg;
  }
};

TEST_F(EditWindowShadeTest, ColourNumberChoosesTheShadeModuloEight) {
  Edit* one = OpenWith("one.c", 1);
  Edit* two = OpenWith("two.c", 2);
  Edit* plain = OpenWith("plain.c", -2);
  Edit* ten = OpenWith("ten.c", 10);
  ASSERT_TRUE(one && two && plain && ten);
  // The offset shades of white: 1 moves red, 2 green towards the middle.
  EXPECT_EQ(DrawnBackground(one), 0xdfffffu);
  EXPECT_EQ(DrawnBackground(two), 0xffdfffu);
  EXPECT_EQ(DrawnBackground(plain), bg_pixel);
  EXPECT_EQ(WGetInputAreaColorIndex(ten->window), 2);
  EXPECT_EQ(DrawnBackground(ten), 0xffdfffu);
}

TEST_F(EditWindowShadeTest, WindowOpenedFromAnEditorWindowKeepsItsShade) {
  Edit* from = OpenWith("from.c", 3);
  ASSERT_TRUE(from);
  const std::string other = files.write("other.c", "x\n");
  ASSERT_EQ(EditCli(from, ("LoadFileWithNewEditor " + other).c_str()), 1);
  Edit* opened = EditWindows().back()->edit();
  ASSERT_NE(opened, from);
  EXPECT_EQ(WGetInputAreaColorIndex(opened->window), 3);
  EXPECT_EQ(DrawnBackground(opened), DrawnBackground(from));
  EXPECT_NE(DrawnBackground(opened), bg_pixel);
}

}  // namespace
}  // namespace oetest
