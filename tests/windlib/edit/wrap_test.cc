// Word wrap while typing: the break at the last blank before the caret,
// the indentation of the new line, and a line of one word that is never
// broken.
#include <string>

#include "edit_fixture.h"
#include "windlib/edit/edittype.h"

namespace {

using oetest::EditTest;

class WrapTest : public EditTest {
 protected:
  Edit* View(const std::string& text) {
    vfWordWrap = true;
    cfgWrapColumn = 10;
    cfgWrapIndent = 2;
    cfgTabSize = 4;
    File* f = Open("a.txt", text);
    f->wordWrap = 1;
    f->wrapColumn = 10;
    f->wrapIndent = 2;
    Edit* e = Window(f)->edit();
    EditMoveCaret(e, 1, EditLineLength(e, 1), false);
    return e;
  }
};

TEST_F(WrapTest, TypingPastTheColumnBreaksAtTheLastBlank) {
  Edit* e = View("  ab cd efg\n");
  Type(e, "h");
  // The new line takes the text start plus the wrap indent, in tabs and blanks.
  EXPECT_EQ(Text(e), "  ab cd\n\tefgh\n");
  EXPECT_EQ(e->caretLine, 2);
  EXPECT_EQ(e->caretColumn, 5);
}

TEST_F(WrapTest, ALineOfOneWordIsNeverBroken) {
  Edit* e = View("   abcdefghijklmnop\n");
  Type(e, "qr");
  EXPECT_EQ(Text(e), "   abcdefghijklmnopqr\n");
  EXPECT_FALSE(EditShouldWrap(e));
}

TEST_F(WrapTest, TextThatIsNotTypedDoesNotWrap) {
  Edit* e = View("ab cd efgh ij\n");
  EditCli(e, "\"kl\"");
  EXPECT_EQ(Text(e), "ab cd efgh\n  ijkl\n") << "the typing command counts as typing";
  EditCli(e, "EOL; UserName");
  EXPECT_EQ(e->caretLine, 2) << "inserted text is not wrapped";
}

TEST_F(WrapTest, IndentationTextUsesTabsThenBlanks) {
  EXPECT_EQ(EditCRBuf(4, 10), "\t\t  ");
  EXPECT_EQ(EditCRBuf(0, 3), "   ");
  EXPECT_EQ(EditCRBuf(8, 0), "");
}

}  // namespace
