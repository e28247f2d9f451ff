// Dragging the primary selection with the mouse and dropping it elsewhere:
// where the text lands, what stays selected, read-only files, copy against
// move, and undo.
#include <string>

#include "edit_fixture.h"
#include "windlib/edit/editcopy.h"

namespace {

class DragDropTest : public oetest::EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    vfDragAndDrop = true;
  }
  // Selects (l1, c1)..(l2, c2) and drops it at (line, col).
  static void Drop(Edit* e, int32_t l1, int32_t c1, int32_t l2, int32_t c2, int32_t line,
                   int32_t col, bool copy = false) {
    EditSetSelection(e, l1, c1, l2, c2);
    EditSelectionDrop(e, line, col, copy);
  }
  static std::string Caret(Edit* e) {
    return std::to_string(e->caretLine) + ":" + std::to_string(e->caretColumn);
  }
};

TEST_F(DragDropTest, MovesTextOnTheSameLine) {
  Edit* e = Window(Open("a.txt", "abc def ghi\n"))->edit();
  // Forwards: the drop point shifts back by the characters removed.
  Drop(e, 1, 0, 1, 4, 1, 8);
  EXPECT_EQ(Text(e), "def abc ghi\n");
  EXPECT_EQ(EditSelectionText(e), "abc ");
  // Backwards: the drop point stays.
  Drop(e, 1, 8, 1, 11, 1, 0);
  EXPECT_EQ(Text(e), "ghidef abc \n");
  EXPECT_EQ(EditSelectionText(e), "ghi");
  EXPECT_EQ(e->sel[0].start_column, 0);
}

TEST_F(DragDropTest, MovesTextAcrossLines) {
  Edit* e = Window(Open("a.txt", "one\ntwo\nthree\nfour\n"))->edit();
  // Two whole lines dropped two lines further down.
  Drop(e, 1, 0, 3, 0, 4, 0);
  EXPECT_EQ(Text(e), "three\none\ntwo\nfour\n");
  EXPECT_EQ(EditSelectionText(e), "one\ntwo\n");
  EXPECT_EQ(e->sel[0].start_line, 2);
  // Text spanning a line break dropped after it on its end line.
  Drop(e, 1, 3, 2, 1, 2, 3);
  EXPECT_EQ(Text(e), "thrneee\no\ntwo\nfour\n");
  EXPECT_EQ(EditSelectionText(e), "ee\no");
  // Dropped before: nothing shifts.
  Drop(e, 4, 1, 4, 3, 1, 0);
  EXPECT_EQ(Text(e), "outhrneee\no\ntwo\nfr\n");
  EXPECT_EQ(EditSelectionText(e), "ou");
}

TEST_F(DragDropTest, DropInsideTheSelectionOnlyMovesTheCaret) {
  Edit* e = Window(Open("a.txt", "abcdef\nxyz\n"))->edit();
  Drop(e, 1, 1, 2, 1, 1, 4);
  EXPECT_EQ(Text(e), "abcdef\nxyz\n");
  EXPECT_TRUE(e->sel[0].empty());
  EXPECT_EQ(Caret(e), "1:4");
  // Its two ends count as inside.
  Drop(e, 1, 1, 1, 3, 1, 3);
  EXPECT_EQ(Text(e), "abcdef\nxyz\n");
  EXPECT_EQ(Caret(e), "1:3");
}

TEST_F(DragDropTest, CopyLeavesTheOriginalAndMoveIsOneUndoStep) {
  Edit* e = Window(Open("a.txt", "abc\nxyz\n"))->edit();
  Drop(e, 1, 0, 1, 2, 2, 3, true);
  EXPECT_EQ(Text(e), "abc\nxyzab\n");
  EXPECT_EQ(EditSelectionText(e), "ab");
  EXPECT_EQ(Caret(e), "2:5");
  Drop(e, 2, 0, 2, 3, 1, 1);
  EXPECT_EQ(Text(e), "axyzbc\nab\n");
  EditCli(e, "Undo");
  EXPECT_EQ(Text(e), "abc\nxyzab\n") << "the move undoes in one step";
  EditCli(e, "Undo");
  EXPECT_EQ(Text(e), "abc\nxyz\n");
}

TEST_F(DragDropTest, NothingHappensReadOnlyOrWithTheSettingOff) {
  File* f = Open("a.txt", "abc def\n");
  Edit* e = Window(f)->edit();
  f->readOnly = 1;
  Drop(e, 1, 0, 1, 3, 1, 7);
  EXPECT_EQ(Text(e), "abc def\n");
  EXPECT_EQ(EditSelectionText(e), "abc");
  f->readOnly = 0;
  vfDragAndDrop = false;
  Drop(e, 1, 0, 1, 3, 1, 7);
  EXPECT_EQ(Text(e), "abc def\n");
}

TEST_F(DragDropTest, MouseDragsTheSelectionAndControlCopies) {
  Edit* e = Window(Open("a.txt", "abc def\nxyz\n"))->edit();
  const int cw = e->charWidth(), lh = e->lineHeight();
  auto drag = [&](int x1, int y1, int x2, int y2, unsigned mods) {
    WSendEvent(e->text, WButtonEvent(WEventKind::ButtonDown, 1, x1, y1, 1, mods));
    WSendEvent(e->text, WButtonEvent(WEventKind::Motion, 0, x2, y2, 0, WModButton1 | mods));
    WSendEvent(e->text, WButtonEvent(WEventKind::ButtonUp, 1, x2, y2, 1, mods));
  };
  EditSetSelection(e, 1, 0, 1, 3);
  drag(1 * cw, 2, 3 * cw, lh + 2, 0);
  EXPECT_EQ(Text(e), " def\nxyzabc\n");
  EXPECT_EQ(EditSelectionText(e), "abc");
  drag(4 * cw, lh + 2, 0, 2, WModControl);
  EXPECT_EQ(Text(e), "abc def\nxyzabc\n");
  // A press outside the selection still starts a new one.
  drag(1 * cw, lh + 2, 3 * cw, lh + 2, 0);
  EXPECT_EQ(Text(e), "abc def\nxyzabc\n");
  EXPECT_EQ(EditSelectionText(e), "yz");
  // With the setting off a press inside the selection starts a new one too.
  vfDragAndDrop = false;
  EditSetSelection(e, 1, 0, 1, 7);
  drag(1 * cw, 2, 3 * cw, lh + 2, 0);
  EXPECT_EQ(Text(e), "abc def\nxyzabc\n");
  EXPECT_EQ(EditSelectionText(e), "bc def\nxyz");
}

}  // namespace
