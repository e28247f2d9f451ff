// Copy, cut and paste through the selections of this process: the type
// each copy offers, rectangles, read-only files, and pastes that find
// nothing to paste.
#include <string>
#include <vector>

#include "edit_fixture.h"
#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/edit/editcopy.h"
#include "windlib/file/fileobserver.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wmenu.h"
#include "windlib/x11/wmenubar.h"
#include "windlib/x11/wselection.h"

namespace {

using oetest::EditTest;

std::string Owned(const char* name, int* type = nullptr) {
  std::string bytes;
  if (!WSelectionOwned(name, &bytes, type)) return "<not owned>";
  return bytes;
}

class CopyTest : public EditTest {
 protected:
  void TearDown() override {
    for (int n = 0; n <= 4; ++n) WSelectionDisown(EditClipboardName(n));
    EditTest::TearDown();
  }
};

TEST_F(CopyTest, CopyOffersLinesOnlyFromALineStartToALineEnd) {
  Edit* e = View("a.txt", "one\ntwo\nthree\n");
  int type = 0;
  EditSetSelection(e, 1, 0, 3, 0);
  EditCli(e, "Copy2");
  EXPECT_EQ(Owned("CLIPBOARD_S", &type), "one\ntwo\n");
  EXPECT_EQ(type, kWSelLines);
  EditSetSelection(e, 1, 1, 3, 0);
  EditCli(e, "Copy3");
  EXPECT_EQ(Owned("CLIPBOARD_C", &type), "ne\ntwo\n");
  EXPECT_EQ(type, kWSelText) << "not from a line start";
  EditSetSelection(e, 1, 0, 2, 2);
  EditCli(e, "Copy4");
  EXPECT_EQ(Owned("CLIPBOARD_CS", &type), "one\ntw");
  EXPECT_EQ(type, kWSelText) << "not to a line end";
  // The conditions of "if" see the types.
  EXPECT_EQ(EditCli(e, "if <select2=lines> { SOF } else { EOF }"), 1);
  EXPECT_EQ(e->caretLine, 1);
  EditCli(e, "if <select3=lines> { SOF } else { EOF }");
  EXPECT_NE(e->caretLine, 1);
  // An empty selection copies nothing and leaves the clipboard as it was.
  EditSelectionNone(e);
  EditCli(e, "Copy2; Cut2");
  EXPECT_EQ(Owned("CLIPBOARD_S"), "one\ntwo\n");
  EXPECT_EQ(Text(e), "one\ntwo\nthree\n");
}

TEST_F(CopyTest, RectangleCopyCutAndPasteRoundTrip) {
  const std::string original = "abcdef\nghijkl\nmnopqr\n";
  Edit* e = View("a.txt", original);
  int type = 0;
  EditSetSelection(e, 1, 4, 3, 1);  // columns 1..4, the corners as dragged
  EditCli(e, "RectCopy1");
  EXPECT_EQ(Owned("CLIPBOARD", &type), "bcd\nhij\nnop");
  EXPECT_EQ(type, kWSelRectangle);
  EXPECT_EQ(EditCli(e, "if <select1=rect> { SOF } else { EOF }"), 1);
  EXPECT_EQ(e->caretLine, 1);
  EditSetSelection(e, 1, 4, 3, 1);
  EditCli(e, "RectCut1");
  EXPECT_EQ(Text(e), "aef\ngkl\nmqr\n");
  EditMoveCaret(e, 1, 1, false);
  EditCli(e, "RectPaste1");
  EXPECT_EQ(Text(e), original);
  EditCli(e, "Undo");
  EXPECT_EQ(Text(e), "aef\ngkl\nmqr\n") << "the paste is one undo step";
  EditCli(e, "Undo");
  EXPECT_EQ(Text(e), original) << "and so is the cut";
}

TEST_F(CopyTest, ReadOnlyFileStopsCutAndPasteWithNothingChanged) {
  File* f = Open("a.txt", "abc def\n");
  Edit* e = Window(f)->edit();
  EditSetSelection(e, 1, 0, 1, 3);
  EditCli(e, "Copy1");
  f->readOnly = 1;
  EditSetSelection(e, 1, 4, 1, 7);
  EditCli(e, "Cut1; RectCut2; Paste1; RectPaste1");
  EXPECT_EQ(Text(e), "abc def\n");
  EXPECT_EQ(Owned("CLIPBOARD"), "abc") << "a refused cut copies nothing either";
  EXPECT_EQ(Owned("CLIPBOARD_S"), "<not owned>");
  EditCli(e, "Copy2");
  EXPECT_EQ(Owned("CLIPBOARD_S"), "def") << "copying needs no permission";
  f->readOnly = 0;
  EditCli(e, "Paste1");
  EXPECT_EQ(Text(e), "abc abc\n");
}

TEST_F(CopyTest, PasteOfASelectionNobodyOwnsChangesNothing) {
  File* f = Open("a.txt", "abc\n");
  Edit* e = Window(f)->edit();
  EditSetSelection(e, 1, 0, 1, 1);
  EXPECT_EQ(EditCli(e, "Paste4"), 1);
  getIdleNotifier()->notifyIdle(false);
  EXPECT_EQ(Text(e), "abc\n");
  // The answer may come after the view has gone.
  EditCli(e, "RectPaste1");
  Window(f);
  e->window->Destroy();
  WReapDestroyed();
  getIdleNotifier()->notifyIdle(false);
  EXPECT_EQ(Text(f), "abc\n");
}

TEST_F(CopyTest, AWrongOperationIsReported) {
  Edit* e = View("a.txt", "abc\n");
  EditSetSelection(e, 1, 0, 1, 1);
  EXPECT_EQ(EditCopyCmd(e, 17, 1), 0);
  EXPECT_EQ(e->message, "[EditCopyCmd] unexpected case in switch");
  EXPECT_EQ(EditCopyCmd(e, kCopyText, 5), 0);
  EXPECT_EQ(Text(e), "abc\n");
}

TEST_F(CopyTest, MiddleButtonReplacesTheSecondarySelectionWithPrimary) {
  Edit* e = View("a.txt", "alpha beta\ngamma\n");
  const int cw = e->charWidth(), lh = e->lineHeight();
  vfAllowMiddleClick = true;
  EditSetSelection(e, 1, 0, 1, 5);
  EditCli(e, "SelectionGrab");
  // What a double click of the middle button on "gamma" runs.
  EditParseCmdLoc(e, 2 * cw, lh + 2, "SecondarySelectWord");
  EXPECT_EQ(EditSelectionText(e, 1), "gamma");
  EXPECT_EQ(EditSelectionText(e, 0), "alpha") << "the primary selection stays";
  EditCli(e, "SecondarySelectionReplace");
  EXPECT_EQ(Text(e), "alpha beta\nalpha\n");
  EditCli(e, "Undo");
  EXPECT_EQ(Text(e), "alpha beta\ngamma\n");
}

TEST_F(CopyTest, ALineClickedWithTheMiddleButtonGetsWholeLinesBetweenLines) {
  File* f = Open("a.txt", "one\ntwo\nthree\n");
  Edit* e = Window(f)->edit();
  const int cw = e->charWidth(), lh = e->lineHeight();
  vfAllowMiddleClick = true;
  EditSetSelection(e, 1, 0, 2, 0);
  EditCli(e, "SelectionGrab");
  // A single click in the middle of "three".
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonDown, 2, 2 * cw, 2 * lh + 2, 1));
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonUp, 2, 2 * cw, 2 * lh + 2, 1));
  EXPECT_EQ(Text(e), "one\ntwo\none\nthree\n");
  // Without the setting the middle button does nothing.
  vfAllowMiddleClick = false;
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonDown, 2, 0, 2, 1));
  WSendEvent(e->text, WButtonEvent(WEventKind::ButtonUp, 2, 0, 2, 1));
  EXPECT_EQ(Text(e), "one\ntwo\none\nthree\n");
  // A read-only file refuses the replacement.
  vfAllowMiddleClick = true;
  f->readOnly = 1;
  EditCli(e, "PrimaryToSecondary; SecondarySelectionReplace");
  EXPECT_EQ(Text(e), "one\ntwo\none\nthree\n");
}

TEST_F(CopyTest, EditMenuCutsCopiesAndPastes) {
  File* f = Open("a.txt", "abc def\n");
  EditWindow* w = Window(f);
  Edit* e = w->edit();
  auto run = [&](const std::string& label) {
    for (int i = 0; i < w->menuBar()->menuCount(); ++i)
      if (w->menuBar()->menuAt(i)->title() == "&Edit")
        for (WMenuItem& item : w->menuBar()->menuAt(i)->items())
          if (item.label == label && item.action) return item.action(), true;
    return false;
  };
  EditSetSelection(e, 1, 0, 1, 4);
  ASSERT_TRUE(run("&Copy"));
  EXPECT_EQ(Owned("CLIPBOARD"), "abc ");
  ASSERT_TRUE(run("Cu&t"));
  EXPECT_EQ(Text(e), "def\n");
  EditMoveCaret(e, 1, 3, false);
  ASSERT_TRUE(run("&Paste"));
  EXPECT_EQ(Text(e), "defabc \n");
}

TEST_F(CopyTest, EscapeCancelsCopyingAVeryLongSelection) {
  const std::string big = Numbered(60000, "line ", 0);
  Edit* e = View("big.txt", big);
  vfShowProgress = true;
  WSelectionOwn("CLIPBOARD_S", "before", kWSelText);
  EditSetSelection(e, 1, 0, 60001, 0);
  WPostEvent(e->text, WKeyEvent(WK_Escape));
  EditCli(e, "Copy2");
  EXPECT_EQ(Owned("CLIPBOARD_S"), "before") << "a cancelled copy leaves the clipboard";
  EXPECT_FALSE(WPostedEventsPending()) << "the Escape was taken";
  EditCli(e, "Copy2");
  EXPECT_EQ(Owned("CLIPBOARD_S"), big);
  // A short selection does not look for Escape.
  EditSetSelection(e, 1, 0, 2, 0);
  WPostEvent(e->text, WKeyEvent(WK_Escape));
  EditCli(e, "Copy2");
  EXPECT_EQ(Owned("CLIPBOARD_S"), "line 0\n");
  EXPECT_TRUE(WPostedEventsPending());
  WDeliverPosted();
}

// What the view's status line said while its file changed: a long change
// tells its observers of every piece.
struct MessagesDuringChange : FileObserver {
  explicit MessagesDuringChange(Edit* e) : edit(e) { FilesAddObserver(this); }
  ~MessagesDuringChange() override { FilesRemoveObserver(this); }
  void FileTextChanged(File*, const FileChangeEvent&) override {
    if (!edit->message.empty()) seen.push_back(edit->message);
  }
  Edit* edit;
  std::vector<std::string> seen;
};

TEST_F(CopyTest, ALongPasteShowsItsProgressAndEscapeTakesItBack) {
  const std::string original = Numbered(30000, "line ", 0);
  const std::string clip = Numbered(80000, "pasted line of the clipboard ", 0);
  Edit* e = View("big.txt", original);
  vfShowProgress = true;
  WSelectionOwn("CLIPBOARD", clip, kWSelText);
  EditCli(e, "EOF; \"end\"");
  EditSetSelection(e, 2, 3, 29000, 1);
  const std::string before = Text(e);
  // Escape pressed while it runs: stopped after the first piece, the text
  // and the selection as they were, and the paste leaves no undo step.
  WPostEvent(e->text, WKeyEvent(WK_Escape));
  {
    MessagesDuringChange cancelling(e);
    EXPECT_EQ(EditCli(e, "Paste1"), 0) << "the cancel stops the command string";
    ASSERT_FALSE(cancelling.seen.empty());
    EXPECT_EQ(cancelling.seen.back(), "Cancelling...") << "while the text is put back";
  }
  EXPECT_FALSE(WPostedEventsPending()) << "the Escape was taken";
  EXPECT_TRUE(Text(e) == before);
  EXPECT_EQ(e->sel[0].start_line, 2);
  EXPECT_EQ(e->sel[0].start_column, 3);
  EXPECT_EQ(e->sel[0].end_line, 29000);
  EXPECT_EQ(e->message, "") << "the progress text goes";
  EditCli(e, "Undo");
  EXPECT_TRUE(Text(e) == original) << "undo finds the typing before the paste";
  EditCli(e, "Redo");
  // Without Escape it goes in whole, the progress shown on the way, and
  // undoes in one step.
  EditSetSelection(e, 2, 3, 29000, 1);
  MessagesDuringChange messages(e);
  EXPECT_EQ(EditCli(e, "Paste1"), 1);
  EXPECT_EQ(Text(e), before.substr(0, before.find('\n') + 4) + clip +
                         before.substr(before.find("line 28999\n") + 1));
  ASSERT_FALSE(messages.seen.empty());
  EXPECT_EQ(messages.seen.back().find("Pasting "), 0u) << messages.seen.back();
  EXPECT_NE(messages.seen.back().find("%...press ESC to cancel"), std::string::npos);
  EXPECT_EQ(e->message, "");
  EXPECT_EQ(e->caretLine, 2 + 80000);
  EditCli(e, "Undo");
  EXPECT_TRUE(Text(e) == before);
}

TEST_F(CopyTest, EscapeDuringALongCutLeavesTextAndClipboard) {
  const std::string original = Numbered(30000, "line ", 0);
  Edit* e = View("big.txt", original);
  WSelectionOwn("CLIPBOARD_C", "before", kWSelText);
  // Too short to poll while it is copied, long enough to delete in pieces.
  EditSetSelection(e, 1, 0, 25001, 0);
  WPostEvent(e->text, WKeyEvent(WK_Escape));
  EXPECT_EQ(EditCli(e, "Cut3; EOF"), 0) << "the cancel stops the command string";
  EXPECT_TRUE(Text(e) == original);
  EXPECT_EQ(Owned("CLIPBOARD_C"), "before");
  EXPECT_EQ(e->caretLine, 25001) << "EOF did not run";
  EXPECT_EQ(EditCli(e, "Cut3"), 1);
  EXPECT_EQ(Text(e), original.substr(original.find("line 25000\n")));
  EXPECT_EQ(Owned("CLIPBOARD_C"), original.substr(0, original.find("line 25000\n")));
  EditCli(e, "Undo");
  EXPECT_TRUE(Text(e) == original);
}

}  // namespace
