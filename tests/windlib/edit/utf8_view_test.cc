// A view on UTF-8 text: what its rows are drawn with, where clicks land in
// wide characters, typing composed characters, and the status line's word
// for how the file is read.
#include <string>
#include <vector>

#include "edit_fixture.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/editwindow.h"
#include "windlib/x11/wbars.h"
#include "windlib/x11/wdraw.h"

namespace oetest {
namespace {

class Utf8ViewTest : public EditTest {
 protected:
  static std::string Row(Edit* e, int row) {
    WFlushDrawing();
    std::string out;
    for (const EditRun& r : e->drawnRows[static_cast<size_t>(row)].runs) out += r.cells;
    return out;
  }
};

TEST_F(Utf8ViewTest, RowsShowCharactersAndTheStatusLineTheReading) {
  EditWindow* w = Window(Open("u.txt", "h\xc3\xa9llo \xe6\x97\xa5\n"));
  Edit* e = w->edit();
  EXPECT_EQ(Row(e, 0), "h\xc3\xa9llo \xe6\x97\xa5");
  EXPECT_EQ(w->statusLine()->field(2), "UTF-8");
  // A file that is not valid UTF-8 is read as bytes, each its Latin-1 glyph.
  EditWindow* latin = Window(Open("l.txt", "caf\xe9\nh\xc3\xa9\n"));
  EXPECT_EQ(Row(latin->edit(), 0), "caf\xc3\xa9");
  EXPECT_EQ(Row(latin->edit(), 1), "h\xc3\x83\xc2\xa9");
  EXPECT_EQ(latin->statusLine()->field(2), "Bytes");
  EXPECT_EQ(Text(latin->edit()), "caf\xe9\nh\xc3\xa9\n") << "the text is not changed";
}

TEST_F(Utf8ViewTest, ClicksAndColumnsCountCells) {
  Edit* e = Window(Open("w.txt",
                        "\xe6\x97\xa5\xe6\x9c\xac"
                        "ab\n"))
                ->edit();
  EXPECT_EQ(EditColumnFromDisplay(e, 1, 1), 3) << "the right half of a wide cell goes after it";
  EXPECT_EQ(EditColumnFromDisplay(e, 1, 2), 3);
  EXPECT_EQ(EditColumnFromDisplay(e, 1, 4), 6);
  EXPECT_EQ(EditDisplayColumn(e, 1, 6), 4);
  EXPECT_EQ(EditNextChar(e, 1, 0), 3);
  EXPECT_EQ(EditPrevChar(e, 1, 6), 3);
  // A character typed through the input method goes in as its bytes.
  EditMoveCaret(e, 1, 6, false);
  Type(e, "\xc3\xa9");
  EXPECT_EQ(Text(e),
            "\xe6\x97\xa5\xe6\x9c\xac\xc3\xa9"
            "ab\n");
  EXPECT_EQ(e->caretColumn, 8);
  EXPECT_EQ(EditDisplayColumn(e, 1, e->caretColumn), 5);
}

}  // namespace
}  // namespace oetest
