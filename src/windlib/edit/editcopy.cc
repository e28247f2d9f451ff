#include "windlib/edit/editcopy.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmdtable.h"
#include "windlib/edit/edittype.h"
#include "windlib/file/filerect.h"
#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"
#include "windlib/handles.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wselection.h"
#include "windlib/x11/wwindow.h"

namespace {

// Selections of at least this many lines convert with Escape polled.
constexpr int32_t kLongSelectionLines = 50000;

const char* const kNames[] = {"PRIMARY", "CLIPBOARD", "CLIPBOARD_S", "CLIPBOARD_C", "CLIPBOARD_CS"};

// The primary selection as a rectangle: lines l1..l2 and display columns
// [left, right). A rectangle over several lines that ends at column 0 ends
// at the end of the line before.
struct Rect {
  int32_t l1, l2, left, right;
};

Rect rect_of(Edit* e) {
  int32_t l1 = e->sel[0].start_line, c1 = e->sel[0].start_column;
  int32_t l2 = e->sel[0].end_line, c2 = e->sel[0].end_column;
  SelectionNormalize(&l1, &c1, &l2, &c2);
  if (l2 > l1 && c2 == 0) {
    --l2;
    c2 = EditLineLength(e, l2);
  }
  int32_t a = FileRectColumn(e->file, l1, c1), b = FileRectColumn(e->file, l2, c2);
  return Rect{l1, l2, std::min(a, b), std::max(a, b)};
}

// What a long paste or cut asks between its pieces: the progress text
// (with showprogress on) says how far it is, the windows are kept drawn,
// and an Escape press stops it. `shown` tells that the text was shown.
FilePiecePoll progress(Edit* e, const char* doing, bool* shown) {
  return [e, doing, shown](double done) {
    if (vfShowProgress) {
      char text[80];
      snprintf(text, sizeof text, "%s %d%%...press ESC to cancel", doing,
               static_cast<int>(done * 100));
      EditSetMsg(e, text);
      *shown = true;
    }
    WServeExposures();
    if (!WTakeEscape()) return false;
    // Taking back what was done takes a moment too.
    if (*shown) {
      EditSetMsg(e, "Cancelling...");
      WServeExposures();
    }
    return true;
  };
}

// Replaces the primary selection with `bytes` (a paste) or with nothing (a
// cut), a piece at a time when it is long, with the progress shown and
// Escape polled. -1 when Escape stopped it: the text is as it was.
int replace_polled(Edit* e, const std::string& bytes, const char* doing) {
  bool shown = false;
  const int r = EditAddCharsPolled(e, bytes.data(), static_cast<int32_t>(bytes.size()), 0,
                                   progress(e, doing, &shown));
  if (shown) EditSetMsg(e, "");
  return r;
}

// The primary selection's text for a clipboard with its type: lines when it
// runs from a line start to a line end, else text. A very long selection
// converts with Escape polled: false, with no text, when it was pressed.
bool clip_text(Edit* e, std::string* text, int* type) {
  std::function<bool()> cancelled;
  if (std::abs(e->sel[0].end_line - e->sel[0].start_line) >= kLongSelectionLines) {
    if (vfShowProgress) EditSetMsg(e, "Creating selection...press ESC to cancel");
    cancelled = WTakeEscape;
  }
  const bool done = EditSelectionText(e, 0, cancelled, text);
  if (cancelled && vfShowProgress) EditSetMsg(e, "");
  if (!done) return false;
  const bool lines = std::min(e->sel[0].start_line, e->sel[0].end_line) == e->sel[0].start_line &&
                     e->sel[0].start_column == 0 && !text->empty() && text->back() == '\n';
  *type = lines ? kWSelLines : kWSelText;
  return true;
}

// Inserts what a paste brought at the view's selection: 1, 0 after an
// error, -1 when Escape stopped a long paste.
int put(Edit* e, int op, const std::string& bytes) {
  File* f = e->file;
  if (!f) {
    EditCmdError(e, "No Selection");
    return 0;
  }
  int r = 1;
  if (op == kPasteRect) {
    int32_t l1 = e->sel[0].start_line, c1 = e->sel[0].start_column;
    int32_t l2 = e->sel[0].end_line, c2 = e->sel[0].end_column;
    SelectionNormalize(&l1, &c1, &l2, &c2);
    FileRectPaste(f, l1, c1, bytes.data(), static_cast<int32_t>(bytes.size()));
    EditMoveCaret(e, l1, c1, false);
  } else {
    FileCloseUndo(f);
    r = replace_polled(e, bytes, "Pasting");
  }
  FileCloseUndo(f);
  return r;
}

// Another program's text comes as UTF-8 into a view that reads UTF-8, else
// as the bytes it gives.
WSelectionTarget text_target(Edit* e) {
  return GeomFileUtf8(e->file) ? WSelectionTarget::Utf8Text : WSelectionTarget::String;
}

int paste(Edit* e, int op, int number) {
  const char* name = kNames[number];
  std::string bytes;
  // Our own selection goes in at once, as the command runs.
  if (WSelectionOwned(name, &bytes)) return put(e, op, bytes);
  HandleRef alive(30, e);
  WSelectionRequest(
      name,
      [alive, e, op](bool ok, const std::string& got) {
        if (!alive.alive() || !ok || !e->file) return;
        if (e->file->readOnly || e->file->viewOnly || e->readOnlyView) return;
        put(e, op, got);
      },
      text_target(e));
  return 1;
}

// ---- The secondary selection (the middle button) ----

// Runs the primary selection's command `name` on the secondary selection:
// the two change places around it, and the caret stays where it was.
int on_secondary(Edit* e, CmdInfo* ci, const char* name) {
  CmdHandler handler = nullptr;
  for (const EditCmdSet& set : EditCmdSets())
    for (const CmdEntry& c : set.commands)
      if (strcasecmp(c.name, name) == 0) handler = c.handler;
  if (!handler) return 0;
  const int32_t line = e->caretLine, col = e->caretColumn, goal = e->goalColumn;
  std::swap(e->sel[0], e->sel[1]);
  int r = handler(e, ci);
  std::swap(e->sel[0], e->sel[1]);
  e->caretLine = line;
  e->caretColumn = col;
  e->goalColumn = goal;
  e->RedrawAll();
  return r;
}

template <const char* Name>
int secondary(void* object, CmdInfo* ci) {
  return on_secondary(EditOf(object), ci, Name);
}
constexpr char kStart[] = "SelectionStart";
constexpr char kWord[] = "SelectWord";
constexpr char kLine[] = "SelectLine";
constexpr char kAll[] = "SelectAll";
constexpr char kAdjust[] = "SelectionAdjust";

// Replaces the secondary selection with the contents of selection `number`.
int replace_secondary(Edit* e, int number) {
  auto put_secondary = [](Edit* v, const std::string& bytes) {
    if (!v->file) return;
    FileCloseUndo(v->file);
    EditAddChars(v, bytes.data(), static_cast<int32_t>(bytes.size()), 1, false);
    FileCloseUndo(v->file);
  };
  std::string bytes;
  if (WSelectionOwned(kNames[number], &bytes)) {
    put_secondary(e, bytes);
    return 1;
  }
  HandleRef alive(30, e);
  WSelectionRequest(
      kNames[number],
      [alive, e, put_secondary](bool ok, const std::string& got) {
        if (!alive.alive() || !ok || !e->file) return;
        if (e->file->readOnly || e->file->viewOnly || e->readOnlyView) return;
        put_secondary(e, got);
      },
      text_target(e));
  return 1;
}

int CmdSecondarySelectionReplace(void* object, CmdInfo*) {
  return replace_secondary(EditOf(object), 0);
}
int CmdSecondarySelectionReplaceClip(void* object, CmdInfo*) {
  return replace_secondary(EditOf(object), 1);
}

// The secondary selection becomes empty at the start of its line, so that
// whole lines go in between lines.
int CmdSOLSecondary(void* object, CmdInfo*) {
  EditSelection& s = EditOf(object)->sel[1];
  s.start_column = s.end_column = s.anchor_column = 0;
  s.end_line = s.anchor_line = s.start_line;
  return 1;
}

int CmdPrimaryToSecondary(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  EditSelection& s = e->sel[1];
  s.start_line = s.end_line = s.anchor_line = e->sel[0].anchor_line;
  s.start_column = s.end_column = s.anchor_column = e->sel[0].anchor_column;
  s.mode = selChar;
  return 1;
}

int CmdSecondaryToPrimary(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  EditMoveCaret(e, e->sel[1].start_line, e->sel[1].start_column, false);
  return 1;
}

template <int Op, int Number>
int command(void* object, CmdInfo*) {
  return EditCopyCmd(EditOf(object), Op, Number);
}

constexpr uint32_t kChanges = kCmdModifies | kCmdPaneRefused;
const CmdEntry kEntries[] = {
    {"Copy1", command<kCopyText, 1>, 0},
    {"Copy2", command<kCopyText, 2>, 0},
    {"Copy3", command<kCopyText, 3>, 0},
    {"Copy4", command<kCopyText, 4>, 0},
    {"Cut1", command<kCutText, 1>, kChanges},
    {"Cut2", command<kCutText, 2>, kChanges},
    {"Cut3", command<kCutText, 3>, kChanges},
    {"Cut4", command<kCutText, 4>, kChanges},
    {"Paste1", command<kPasteText, 1>, kChanges | kCmdInserts},
    {"Paste2", command<kPasteText, 2>, kChanges | kCmdInserts},
    {"Paste3", command<kPasteText, 3>, kChanges | kCmdInserts},
    {"Paste4", command<kPasteText, 4>, kChanges | kCmdInserts},
    {"RectCopy1", command<kCopyRect, 1>, 0},
    {"RectCopy2", command<kCopyRect, 2>, 0},
    {"RectCopy3", command<kCopyRect, 3>, 0},
    {"RectCopy4", command<kCopyRect, 4>, 0},
    {"RectCut1", command<kCutRect, 1>, kChanges},
    {"RectCut2", command<kCutRect, 2>, kChanges},
    {"RectCut3", command<kCutRect, 3>, kChanges},
    {"RectCut4", command<kCutRect, 4>, kChanges},
    {"RectPaste1", command<kPasteRect, 1>, kChanges},
    {"SecondarySelectionStart", secondary<kStart>, 0},
    {"SecondarySelectWord", secondary<kWord>, 0},
    {"SecondarySelectLine", secondary<kLine>, 0},
    {"SecondarySelectAll", secondary<kAll>, 0},
    {"SecondarySelectionAdjust", secondary<kAdjust>, 0},
    {"SecondarySelectionReplace", CmdSecondarySelectionReplace, kChanges | kCmdSecondarySelection},
    {"SecondarySelectionReplaceClip", CmdSecondarySelectionReplaceClip,
     kChanges | kCmdSecondarySelection},
    {"SOLSecondary", CmdSOLSecondary, 0},
    {"PrimaryToSecondary", CmdPrimaryToSecondary, 0},
    {"SecondaryToPrimary", CmdSecondaryToPrimary, kCmdMoves},
};

}  // namespace

const char* EditClipboardName(int number) {
  return number >= 0 && number <= 4 ? kNames[number] : nullptr;
}

bool vGrabSelection(Edit* e, int number) {
  const char* name = EditClipboardName(number);
  if (!name || !e->file || e->sel[0].empty()) return false;
  // Converting a very long selection can take a while: Escape cancels it
  // and leaves the selection's owner as it was.
  std::string text;
  int type = kWSelText;
  return clip_text(e, &text, &type) && WSelectionOwn(name, text, type);
}

bool vGrabRectSelection(Edit* e, int number) {
  const char* name = EditClipboardName(number);
  if (!name || !e->file || e->sel[0].empty()) return false;
  Rect r = rect_of(e);
  return WSelectionOwn(name, FileRectText(e->file, r.l1, r.l2, r.left, r.right), kWSelRectangle);
}

int EditSelectionDrop(Edit* e, int32_t line, int32_t col, bool copy) {
  File* f = e->file;
  if (!vfDragAndDrop || !f || f->readOnly || f->viewOnly || e->readOnlyView) return 0;
  int32_t l1 = e->sel[0].start_line, c1 = e->sel[0].start_column;
  int32_t l2 = e->sel[0].end_line, c2 = e->sel[0].end_column;
  SelectionNormalize(&l1, &c1, &l2, &c2);
  auto before = [](int32_t la, int32_t ca, int32_t lb, int32_t cb) {
    return la < lb || (la == lb && ca < cb);
  };
  if (!before(line, col, l1, c1) && !before(l2, c2, line, col)) {
    EditMoveCaret(e, line, col, false);
    return 1;
  }
  const std::string text = EditSelectionText(e);
  // The view stays where the text was dropped (deleting the dragged text
  // would show its place instead); lines moved away above it shift it.
  int32_t top = e->topLineNo;
  if (!copy && l2 < top) top -= l2 - l1;
  FileCloseUndo(f);
  // The deletion and the insertion undo together, also when called
  // outside a command.
  const bool own_group = !f->undoGrouping;
  if (own_group) {
    const int32_t sel[4] = {l1, c1, l2, c2};
    UndoGroupBegin(f, sel);
  }
  if (!copy) {
    EditDeleteSelection(e);
    // The text removed before the drop point shifts it back.
    if (before(l2, c2, line, col)) {
      if (line == l2) {
        line = l1;
        col = c1 + (col - c2);
      } else {
        line -= l2 - l1;
      }
    }
  }
  e->sel[1] = EditSelection{line, col, line, col, line, col, selChar};
  EditAddChars(e, text.data(), static_cast<int32_t>(text.size()), 1, false);
  // The inserted text becomes the primary selection.
  int32_t end_line = line, end_col = col;
  const size_t last_nl = text.rfind('\n');
  if (last_nl == std::string::npos) {
    end_col += static_cast<int32_t>(text.size());
  } else {
    end_line += static_cast<int32_t>(std::count(text.begin(), text.end(), '\n'));
    end_col = static_cast<int32_t>(text.size() - last_nl - 1);
  }
  EditSetSelection(e, line, col, end_line, end_col);
  FileCloseUndo(f);
  if (own_group) UndoGroupEnd(f);
  e->ScrollTo(top);
  e->RedrawAll();
  return 1;
}

int EditCopyCmd(Edit* e, int op, int number) {
  if (number < 0 || number > 4) {
    EditCmdError(e, "[EditCopyCmd] unexpected case in switch");
    return 0;
  }
  {
    HandleRef alive(30, e);
    EditEndModal(e);
    if (!alive.alive()) return 1;
  }
  if (e->file) FileCloseUndo(e->file);
  switch (op) {
    case kCopyText:
      vGrabSelection(e, number);
      return 1;
    case kCutText: {
      if (e->sel[0].empty() || !e->file) return 1;
      // The clipboard changes only when the text has gone: Escape during
      // either half leaves both as they were.
      std::string text;
      int type = kWSelText;
      if (!clip_text(e, &text, &type)) return -1;
      if (replace_polled(e, std::string(), "Cutting") < 0) return -1;
      WSelectionOwn(kNames[number], text, type);
      return 1;
    }
    case kCopyRect:
      vGrabRectSelection(e, number);
      return 1;
    case kCutRect: {
      if (e->sel[0].empty() || !e->file) return 1;
      vGrabRectSelection(e, number);
      int32_t l1 = e->sel[0].start_line, c1 = e->sel[0].start_column;
      int32_t l2 = e->sel[0].end_line, c2 = e->sel[0].end_column;
      SelectionNormalize(&l1, &c1, &l2, &c2);
      Rect r = rect_of(e);
      // The corners by byte column on their own lines, after the column-0 rule.
      int32_t right_byte = EditColumnFromDisplay(e, r.l2, r.right);
      if (r.l2 != l2) c2 = right_byte;
      FileRectDel(e->file, l1, c1, r.l2, c2);
      EditMoveCaret(e, l1, std::min(c1, EditLineLength(e, l1)), false);
      return 1;
    }
    case kPasteText:
    case kPasteRect:
      return paste(e, op, number);
    default:
      EditCmdError(e, "[EditCopyCmd] unexpected case in switch");
      return 0;
  }
}

std::span<const CmdEntry> EditCopyCmdEntries() {
  return kEntries;
}
