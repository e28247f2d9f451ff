#include <sys/stat.h>

#include <string>

#include "edit_fixture.h"
#include "windlib/edit/editclose.h"
#include "windlib/edit/editinput.h"
#include "windlib/edit/edittype.h"
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"
#include "windlib/orvexjmp.h"
#include "windlib/x11/wdraw.h"
#include "windlib/x11/wkeys.h"

namespace {

using oetest::EditTest;

TEST_F(EditTest, TwoViewsOfOneFileBothShowTypedText) {
  File* f = Open("a.c", "int x;\n");
  EditWindow* w1 = Window(f);
  EditWindow* w2 = Window(f);
  ASSERT_EQ(f->edits, w2->edit());
  ASSERT_EQ(w2->edit()->nextSame, w1->edit());
  WFlushDrawing();
  WDrawRecorder rec;
  Type(w1->edit(), "Q");
  WFlushDrawing();
  EXPECT_EQ(LineText(f, 1), "Qint x;");
  bool shown_in_second = false;
  for (const std::string& cells : rec.cellsIn(w2->edit()->text))
    if (cells.find('Q') != std::string::npos) shown_in_second = true;
  EXPECT_TRUE(shown_in_second) << "the other view redraws the changed line";
}

TEST_F(EditTest, TypingRedrawsOnlyTheChangedLine) {
  File* f = Open("big.c", Numbered(200));
  EditWindow* w = Window(f, 1);
  Edit* e = w->edit();
  WFlushDrawing();
  WDrawRecorder rec;
  Type(e, "x");
  WFlushDrawing();
  int rows_drawn = 0;
  for (const WDrawOp& op : rec.ops())
    if (op.window == e->text && op.kind == WDrawKind::Cells) ++rows_drawn;
  EXPECT_EQ(rows_drawn, 1) << "one run of text: the changed line";
  // A new line shifts the lines below: those are drawn, the ones above not.
  EditMoveCaret(e, 10, 0, false);
  WFlushDrawing();
  rec.clear();
  Key(e, WK_Return, 0, "\r");
  WFlushDrawing();
  for (const WDrawOp& op : rec.ops()) {
    if (op.window == e->text && op.kind == WDrawKind::Cells) {
      EXPECT_GE(op.rect.y, (10 - 1) * e->lineHeight()) << op.text;
    }
  }
}

TEST_F(EditTest, PopReturnsToTheOldCaretAndScroll) {
  File* a = Open("a.c", Numbered(300));
  File* b = Open("b.c", "bee\n");
  Edit* e = Window(a)->edit();
  EditSetLine(e, 150, false);
  EditMoveCaret(e, 150, 3, false);
  const int32_t top = e->topLineNo;
  ASSERT_GT(top, 1);
  ASSERT_EQ(EditPush(e, b, 1), 1);
  EXPECT_EQ(e->file, b);
  EXPECT_EQ(e->topLineNo, 1);
  ASSERT_EQ(EditPopEdit(e), 1);
  EXPECT_EQ(e->file, a);
  EXPECT_EQ(e->topLineNo, top);
  EXPECT_EQ(e->caretLine, 150);
  EXPECT_EQ(e->caretColumn, 3);
  EXPECT_EQ(EditPopEdit(e), 0);
  EXPECT_EQ(e->message, "Nothing to pop");
  EXPECT_EQ(e->window->title(), "a.c");
}

TEST_F(EditTest, StackEntriesFollowChangesAboveThem) {
  File* a = Open("a.c", Numbered(50));
  File* b = Open("b.c", "bee\n");
  Edit* e1 = Window(a)->edit();
  EditMoveCaret(e1, 40, 0, false);
  EditPush(e1, b, 1);
  Edit* e2 = Window(a)->edit();
  EditActive = e2;
  FileChange(a, nullptr, 0, 1, 0, 1, 0, "new\nnew\n", 8, false);
  EditActive = nullptr;
  EditPopEdit(e1);
  EXPECT_EQ(e1->caretLine, 42);
  EXPECT_EQ(LineText(a, e1->caretLine), "line 40");
}

TEST_F(EditTest, CyclingVisitsEachFileOncePerRound) {
  File* a = Open("a.c", "a\n");
  File* b = Open("b.c", "b\n");
  File* c = Open("c.c", "c\n");
  Edit* e = Window(a)->edit();
  EditPush(e, b, 1);
  EditPush(e, c, 1);
  std::vector<File*> seen;
  for (int i = 0; i < 6; ++i) {
    EditCyclePush(e);
    seen.push_back(e->file);
  }
  EXPECT_EQ(seen, (std::vector<File*>{b, a, c, b, a, c}));
  EXPECT_EQ(EditStackDepth(e), 2);
}

TEST_F(EditTest, SetLineUsesTheRememberedLineAndClamps) {
  File* f = Open("a.c", Numbered(30));
  Edit* e = Window(f)->edit();
  EditSetLine(e, 12, false);
  vUpdateTitle(e, true);
  EXPECT_EQ(f->lastLine, 12);
  EditSetLine(e, 1, false);
  EditSetLine(e, 0, false);
  EXPECT_EQ(e->caretLine, 1) << "the remembered line follows the caret";
  EditSetLine(e, 500, false);
  EXPECT_EQ(e->caretLine, 30);
  f->lastLine = 7;
  EditSetLine(e, 0, false);
  EXPECT_EQ(e->caretLine, 7);
}

TEST_F(EditTest, StatusLineShowsLineColumnAndEnd) {
  File* f = Open("a.c", "\tab\nc\n");
  EditWindow* w = Window(f);
  Edit* e = w->edit();
  EditMoveCaret(e, 1, 2, false);
  vUpdateTitle(e, true);
  EXPECT_EQ(w->statusLine()->field(0), "Ln 1/2,Col 9");
  EXPECT_EQ(w->lineField(), "1");
  EditMoveCaret(e, 3, 0, false);
  vUpdateTitle(e, true);
  EXPECT_EQ(w->statusLine()->field(0), "EOF/2");
  EXPECT_EQ(w->lineField(), "EOF");
  Type(e, "x");
  EXPECT_EQ(w->statusLine()->field(1), "Modified");
}

TEST_F(EditTest, ClosingTheLastViewOfAModifiedFileAsks) {
  File* f = Open("a.c", "x\n");
  EditWindow* w = Window(f);
  Type(w->edit(), "y");
  EditWindow* other = Window(f);
  EXPECT_TRUE(other->Close()) << "another view still shows the file: no question";
  WReapDestroyed();
  EXPECT_TRUE(questions.empty());
  answers = {2};  // Cancel
  EXPECT_FALSE(w->Close());
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0],
            "Save Changes?|" + std::string(f->name) + "\nDo you want to save your changes?");
  EXPECT_EQ(app.cwGetList(), w);
  answers = {0};  // Save
  EXPECT_TRUE(w->Close());
  WReapDestroyed();
  EXPECT_EQ(app.cwGetList(), nullptr);
  EXPECT_EQ(oetest::TempDir::read(f->name), "yx\n") << "the changes were saved";
}

TEST_F(EditTest, SavingAnUnmodifiedFileWritesNothing) {
  std::string path = files.write("a.c", "x\n");
  File* f = FileFName(path.c_str(), 0);
  Edit* e = Window(f)->edit();
  files.write("a.c", "y\n");  // same size: a write would restore "x"
  struct stat st;
  stat(path.c_str(), &st);
  FileTakeDiskIdentity(f, st);
  EditCli(e, "Save");
  EXPECT_EQ(e->message, "File has not been modified.");
  EXPECT_EQ(oetest::TempDir::read(path), "y\n");
  Type(e, "z");
  EditCli(e, "Save");
  EXPECT_EQ(oetest::TempDir::read(path), "zx\n");
  EXPECT_FALSE(f->modified);
}

TEST_F(EditTest, DiscardLeavesTheDiskFileAlone) {
  File* f = Open("a.c", "x\n");
  EditWindow* w = Window(f);
  Type(w->edit(), "y");
  answers = {1};  // Discard
  EXPECT_TRUE(w->Close());
  EXPECT_EQ(oetest::TempDir::read(files.file("a.c")), "x\n");
}

TEST_F(EditTest, CallbacksAreDistinctOrderedAndMayVeto) {
  Edit* e = View("a.c", "x\n");
  static std::vector<std::string> calls;
  calls.clear();
  EditCallback first = [](Edit*, const char* name) {
    calls.push_back(std::string("first ") + name);
    return 1;
  };
  EditCallback veto = [](Edit* ed, const char*) {
    calls.push_back("veto");
    EditRemoveCallback(ed, ecbSaveRequest, nullptr);
    return 0;
  };
  EditAddCallback(e, ecbSaveRequest, first);
  EditAddCallback(e, ecbSaveRequest, veto);
  EditAddCallback(e, ecbSaveRequest, first);
  EXPECT_FALSE(EditDispatchCallback(e, ecbSaveRequest));
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].substr(0, 6), "first ");
  EXPECT_EQ(calls[1], "veto");
  EditRemoveCallback(e, ecbSaveRequest, veto);
  EXPECT_TRUE(EditDispatchCallback(e, ecbSaveRequest));
}

TEST_F(EditTest, MouseClickPlacesTheCaretAndDragSelects) {
  Edit* e = View("a.c", "hello world\nsecond\n");
  const int cw = e->charWidth(), lh = e->lineHeight();
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonDown, 1, 6 * cw, lh + 2));
  EXPECT_EQ(e->caretLine, 2);
  EXPECT_EQ(e->caretColumn, 6);
  WEvent move = WButtonEvent(WEventKind::Motion, 0, 2 * cw, 2, 0, WModButton1);
  WSendEvent(e->text, move);
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonUp, 1, 2 * cw, 2));
  EXPECT_EQ(EditSelectionText(e), "llo world\nsecond");
  // A double click selects the word and the blanks after it.
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonDown, 1, 1 * cw, 2, 2));
  EXPECT_EQ(EditSelectionText(e), "hello ");
}

TEST_F(EditTest, IdentifyQuoteAndOvertypeModes) {
  File* f = Open("a.c", "abc\n");
  EditWindow* w = Window(f);
  Edit* e = w->edit();
  EditCli(e, "Identify");
  Key(e, 'a', WModControl, "\x01");
  EXPECT_EQ(e->message, "SelectAll\t(Control+a)");
  EXPECT_EQ(LineText(f, 1), "abc");
  EditCli(e, "Quote");
  Key(e, WK_Tab, 0, "\t");
  EXPECT_EQ(LineText(f, 1), "\tabc") << "a quoted key goes in literally";
  Key(e, WK_Insert);
  EXPECT_FALSE(e->overtype) << "overtype is off until allowovertypemode is set";
  vfAllowOvertypeMode = true;
  Key(e, WK_Insert);
  EXPECT_TRUE(e->overtype);
  Type(e, "XY");
  EXPECT_EQ(LineText(f, 1), "\tXYc");
  Type(e, "Z!");
  EXPECT_EQ(LineText(f, 1), "\tXYZ!") << "at the line end overtype appends";
  Key(e, WK_Insert);
  EXPECT_FALSE(e->overtype);
}

TEST_F(EditTest, InsertModeBypassesBindingsForPlainKeys) {
  File* f = Open("a.c", "abc\n");
  Edit* e = Window(f)->edit();
  EditCli(e, "EnterInsertMode");
  Key(e, '}', WModShift, "}");
  EXPECT_EQ(LineText(f, 1), "}abc");
  Key(e, 'e', WModControl, "\x05");  // still bound: Control keys use the table
  EXPECT_EQ(e->caretColumn, 4);
}

TEST_F(EditTest, RepeatLastRepeatsTheLastTypedChange) {
  File* f = Open("a.c", "foo bar\nbaz qux\n");
  Edit* e = Window(f)->edit();
  EditMoveCaret(e, 1, 0, false);
  EditTypedChars(e, "ab", 2);  // keys with no binding: no command group
  EditMoveCaret(e, 2, 0, false);
  FileCloseUndo(f);
  EditCli(e, "RepeatLast");
  EXPECT_EQ(LineText(f, 2), "abbaz qux");
  // A command's change is a group: nothing to repeat.
  EditCli(e, "SOL0");
  EditCli(e, "\"zz\"");
  EditCli(e, "RepeatLast");
  EXPECT_EQ(LineText(f, 2), "zzabbaz qux");
}

TEST_F(EditTest, SubstitutesShellVariables) {
  File* f = Open("a.c", "some text\n");
  Edit* e = Window(f)->edit();
  EditSetSelection(e, 1, 0, 1, 4);
  std::string out;
  ASSERT_TRUE(EditCmdSubstitute(e, "cat %FILE %% %LINE <%SEL> %x", &out));
  EXPECT_EQ(out, std::string("cat ") + f->name + " % 1 <some> %x");
  answers = {0};
  ASSERT_TRUE(EditCmdSubstitute(e, "ci -m%COMMENTS %COMMENTS", &out));
  EXPECT_EQ(out, "ci -m'' ''") << "asked once, quoted for the shell";
  std::string exact(256, 'x');
  EXPECT_TRUE(EditCmdSubstitute(e, exact, &out));
  questions.clear();
  EXPECT_FALSE(EditCmdSubstitute(e, exact + "y", &out));
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Error|Command is too long to be passed to the shell.");
}

TEST_F(EditTest, APanicInsideACommandLeavesTheEditorRunningAndTheFileIntact) {
  File* f = Open("a.c", "abc\n");
  Edit* e = Window(f)->edit();
  EditAddCmd("PanicNow", [](void*, CmdInfo*) -> int {
    ApplicationInstance->Panic("something broke");
    return 1;  // not reached
  });
  testing::internal::CaptureStderr();
  int jumped = WithRecoveryPoint([&] { EditCli(e, "\"x\"; PanicNow; \"y\""); });
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(jumped, 1);
  EXPECT_EQ(LineText(f, 1), "xabc") << "what ran before the panic stays; nothing after it ran";
  EXPECT_EQ(EditActive, nullptr);
  EXPECT_FALSE(f->undoGrouping) << "the string's undo group was closed";
  EditCli(e, "\"z\"");
  EditCli(e, "Undo");
  EXPECT_EQ(LineText(f, 1), "xabc");
  EditCli(e, "Undo");
  EXPECT_EQ(LineText(f, 1), "abc");
}

TEST_F(EditTest, ViewsSurviveTheirFileBeingReplacedUnderThem) {
  std::string path = files.write("a.c", Numbered(300));
  File* f = FileFName(path.c_str(), 0);
  Edit* e = Window(f)->edit();
  EditSetLine(e, 250, false);
  WFlushDrawing();
  files.write("a.c", Numbered(20));  // every record of the old text goes
  FileRevert(f);
  WFlushDrawing();
  EditCli(e, "Down; \"x\"");
  WFlushDrawing();
  EXPECT_EQ(f->nLines, 21);
  EXPECT_EQ(LineText(f, 21), "x") << "the caret came back inside the new text";
}

TEST_F(EditTest, ReadOnlyViewRefusesTypingOnceWithABell) {
  File* f = Open("a.c", "abc\n");
  f->readOnly = 1;
  Edit* e = Window(f)->edit();
  Type(e, "x");
  EXPECT_EQ(LineText(f, 1), "abc");
  EXPECT_EQ(e->message, "Window is read only");
  EXPECT_TRUE(e->bellRung);
}

}  // namespace
