// Dragging the primary selection with the mouse and dropping it elsewhere:
// where the text lands, what stays selected, read-only files, copy against
// move, and undo.
#include <chrono>
#include <string>
#include <thread>

#include "edit_fixture.h"
#include "windlib/edit/editcopy.h"
#include "windlib/wwait.h"

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

// The dropped text stays selected; a drop point after the selection shifts
// back by what was removed, one before it stays.
TEST_F(DragDropTest, DroppedTextLandsAndStaysSelected) {
  struct Case {
    const char* text;
    int32_t l1, c1, l2, c2, line, col;
    bool copy;
    const char* after;
    const char* selected;
    const char* begins;
  } cases[] = {
      {"abc def ghi\n", 1, 0, 1, 4, 1, 8, false, "def abc ghi\n", "abc ", "1:4"},
      {"def abc ghi\n", 1, 8, 1, 11, 1, 0, false, "ghidef abc \n", "ghi", "1:0"},
      // Two whole lines dropped two lines further down.
      {"one\ntwo\nthree\nfour\n", 1, 0, 3, 0, 4, 0, false, "three\none\ntwo\nfour\n", "one\ntwo\n",
       "2:0"},
      // Text spanning a line break dropped after it on its end line.
      {"three\none\ntwo\nfour\n", 1, 3, 2, 1, 2, 3, false, "thrneee\no\ntwo\nfour\n", "ee\no",
       "1:5"},
      {"thrneee\no\ntwo\nfour\n", 4, 1, 4, 3, 1, 0, false, "outhrneee\no\ntwo\nfr\n", "ou", "1:0"},
      {"abc\nxyz\n", 1, 0, 1, 2, 2, 3, true, "abc\nxyzab\n", "ab", "2:3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Edit* e = View("a" + std::to_string(&c - cases) + ".txt", c.text);
    Drop(e, c.l1, c.c1, c.l2, c.c2, c.line, c.col, c.copy);
    EXPECT_EQ(Text(e), c.after);
    EXPECT_EQ(EditSelectionText(e), c.selected);
    TextPos begin = EditSelectionRange(e).normalized().begin;
    EXPECT_EQ(std::to_string(begin.line) + ":" + std::to_string(begin.col), c.begins);
    e->window->Destroy();  // one window at a time: the fixture closes what is left
  }
}

TEST_F(DragDropTest, DropInsideTheSelectionOnlyMovesTheCaret) {
  Edit* e = View("a.txt", "abcdef\nxyz\n");
  Drop(e, 1, 1, 2, 1, 1, 4);
  EXPECT_EQ(Text(e), "abcdef\nxyz\n");
  EXPECT_TRUE(e->sel[0].empty());
  EXPECT_EQ(Caret(e), "1:4");
  // Its two ends count as inside.
  Drop(e, 1, 1, 1, 3, 1, 3);
  EXPECT_EQ(Text(e), "abcdef\nxyz\n");
  EXPECT_EQ(Caret(e), "1:3");
}

TEST_F(DragDropTest, AMoveIsOneUndoStep) {
  Edit* e = View("a.txt", "abc\nxyz\n");
  Drop(e, 1, 0, 1, 2, 2, 3, true);
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
  Edit* e = View("a.txt", "abc def\nxyz\n");
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

// Lets the drag's scrolling timer run once more.
void Tick() {
  std::this_thread::sleep_for(std::chrono::milliseconds(70));
  long next = 0;
  ExtraProcess_Wait(&next);
}

TEST_F(DragDropTest, DraggedSelectionScrollsAtTheTopAndBottomEdges) {
  Edit* e = View("a.txt", Numbered(200));
  const int cw = e->charWidth(), lh = e->lineHeight(), h = e->text->height();
  EditSetSelection(e, 1, 0, 1, 6);
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonDown, 1, 2 * cw, 2, 1));
  // Below the text: the view scrolls, faster the further out, and the
  // selection stays until the drop.
  WSendEvent(e->text, WButtonEvent(WEventKind::Motion, 0, 2 * cw, h + 2, 0, WModButton1));
  Tick();
  const int32_t after_one = e->topLineNo;
  EXPECT_GT(after_one, 1);
  WSendEvent(e->text, WButtonEvent(WEventKind::Motion, 0, 2 * cw, h + 3 * lh, 0, WModButton1));
  Tick();
  EXPECT_GE(e->topLineNo - after_one, 3) << "three rows out scroll by more than one";
  EXPECT_EQ(EditSelectionText(e), "line 1");
  // Within half a row of the top edge it scrolls back up.
  WSendEvent(e->text, WButtonEvent(WEventKind::Motion, 0, 2 * cw, 1, 0, WModButton1));
  const int32_t lowest = e->topLineNo;
  Tick();
  Tick();
  EXPECT_LT(e->topLineNo, lowest);
  // Inside the text it stops, and the release drops the text there.
  WSendEvent(e->text, WButtonEvent(WEventKind::Motion, 0, 0, 2 * lh + 2, 0, WModButton1));
  const int32_t top = e->topLineNo;
  Tick();
  EXPECT_EQ(e->topLineNo, top);
  ASSERT_GT(top, 1);
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonUp, 1, 0, 2 * lh + 2, 1));
  EXPECT_EQ(LineText(e->file, 1), "");
  EXPECT_EQ(LineText(e->file, top + 2), "line 1line " + std::to_string(top + 2));
  EXPECT_EQ(EditSelectionText(e), "line 1");
  // The timer went with the drag: nothing scrolls any more.
  WSendEvent(e->text, WButtonEvent(WEventKind::Motion, 0, 2 * cw, h + 2, 0, 0));
  Tick();
  EXPECT_EQ(e->topLineNo, top);
}

TEST_F(DragDropTest, DragScrollsSidewaysOnlyWhereThereIsText) {
  std::string wide;
  for (const std::string l : {"line 1", "line 2", "line 3", "line 4", "line 5"})
    wide += l + std::string(300 - l.size(), '.') + "\n";
  Edit* e = View("a.txt", wide);
  const int cw = e->charWidth(), w = e->text->width();
  // A selection dragged out: at the right edge the view follows the long
  // lines, but not past their end.
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonDown, 1, 2 * cw, 2, 1));
  WSendEvent(e->text, WButtonEvent(WEventKind::Motion, 0, w + 10 * cw, 2, 0, WModButton1));
  Tick();
  EXPECT_GE(e->hScroll, 10);
  for (int i = 0; i < 40; ++i) Tick();
  EXPECT_EQ(e->hScroll, e->file->maxWidth + 1 - e->columns());
  EXPECT_GE(e->caretColumn, e->hScroll + 40) << "the selection follows";
  // At the left edge it comes back, down to the first column.
  WSendEvent(e->text, WButtonEvent(WEventKind::Motion, 0, -200 * cw, 2, 0, WModButton1));
  Tick();
  Tick();
  EXPECT_EQ(e->hScroll, 0);
  EXPECT_EQ(EditSelectionText(e), "li");
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonUp, 1, 0, 2, 1));
  // Short lines give nothing to scroll to.
  Edit* s = View("b.txt", Numbered(5));
  WSendEvent(s->text, WButtonEvent(WEventKind::ButtonDown, 1, 2 * cw, 2, 1));
  WSendEvent(s->text, WButtonEvent(WEventKind::Motion, 0, w + 10 * cw, 2, 0, WModButton1));
  Tick();
  EXPECT_EQ(s->hScroll, 0);
  WSendEvent(s->text, WButtonEvent(WEventKind::ButtonUp, 1, w + 10 * cw, 2, 1));
}

}  // namespace
