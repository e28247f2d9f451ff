// Movement and selection commands.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editcopy.h"
#include "windlib/edit/editinput.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wselection.h"

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t'; }
// Read as UTF-8, every byte of a character beyond ASCII counts as a word's,
// so that words of any script are whole and motion never stops inside a
// character.
bool is_word(char c, bool utf8) {
  const unsigned char u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_' || (u >= 0x80 && utf8);
}

// Moves the caret, extending the selection in extend mode; motion closes
// the undo record.
int move_to(Edit* e, int32_t line, int32_t col, bool keep_goal = false) {
  if (!e->file) return 1;
  FileCloseUndo(e->file);
  if (!keep_goal) e->goalColumn = -1;
  EditMoveCaret(e, line, col, e->extendSelection);
  e->ShowCaret();
  return 1;
}

// The command's argument text up to the end of the command.
std::string arg_of(CmdInfo* ci) {
  std::string a = ci->args;
  a = a.substr(0, a.find_first_of(";}"));
  while (!a.empty() && is_blank(a.back())) a.pop_back();
  return a;
}

int vertical(Edit* e, int32_t delta) {
  File* f = e->file;
  if (!f) return 1;
  if (e->goalColumn < 0) e->goalColumn = EditDisplayColumn(e, e->caretLine, e->caretColumn);
  // The line after the last is the end of the file.
  int32_t line = std::clamp(e->caretLine + delta, 1, f->nLines + 1);
  // Never past the display column kept: inside a tab or an escape, the
  // caret goes before it.
  int32_t col = EditByteAt(e, line, DisplayCol(e->goalColumn), GeomSide::kLeft);
  return move_to(e, line, col, true);
}

int32_t first_nonblank(Edit* e, int32_t line) {
  Line* l = EditLineAt(e, line);
  if (!l) return 0;
  const char* t = FileLineText(e->file, l);
  int32_t i = 0;
  while (i < l->len && is_blank(t[i])) ++i;
  return i;
}

int horizontal(Edit* e, int32_t delta, bool wrap) {
  File* f = e->file;
  if (!f) return 1;
  // A selection that is not being extended collapses to its edge.
  if (!e->extendSelection && !e->sel[0].empty() && wrap) {
    if (delta < 0) return move_to(e, e->sel[0].start_line, e->sel[0].start_column);
    return move_to(e, e->sel[0].end_line, e->sel[0].end_column);
  }
  int32_t line = e->caretLine, col = e->caretColumn;
  for (int32_t step = 0; step < std::abs(delta); ++step) {
    if (delta < 0) {
      if (col > 0)
        col = EditPrevChar(e, line, col);
      else if (wrap && line > 1) col = EditLineLength(e, --line);
    } else {
      int32_t len = line > f->nLines ? 0 : EditLineLength(e, line);
      if (col < len)
        col = EditNextChar(e, line, col);
      else if (wrap && line <= f->nLines) ++line, col = 0;
    }
  }
  return move_to(e, line, col);
}

// The position after the next word (forward) or at the start of the
// previous one.
void word_motion(Edit* e, bool forward, int32_t* line, int32_t* col) {
  File* f = e->file;
  const bool utf8 = GeomFileUtf8(f);
  int32_t l = *line, c = *col;
  if (forward) {
    while (l <= f->nLines && c >= EditLineLength(e, l)) ++l, c = 0;
    Line* ln = EditLineAt(e, l);
    if (!ln) {
      *line = f->nLines + 1;
      *col = 0;
      return;
    }
    const char* t = FileLineText(f, ln);
    while (c < ln->len && !is_word(t[c], utf8)) ++c;
    while (c < ln->len && is_word(t[c], utf8)) ++c;
  } else {
    while (l > 1 && c == 0) c = EditLineLength(e, --l);
    Line* ln = EditLineAt(e, l);
    if (!ln) {
      *line = 1;
      *col = 0;
      return;
    }
    const char* t = FileLineText(f, ln);
    c = std::min(c, ln->len);
    while (c > 0 && !is_word(t[c - 1], utf8)) --c;
    while (c > 0 && is_word(t[c - 1], utf8)) --c;
  }
  *line = l;
  *col = c;
}

void word_bounds(Edit* e, int32_t line, int32_t col, int32_t* a, int32_t* b) {
  Line* l = EditLineAt(e, line);
  *a = *b = col;
  if (!l) return;
  const char* t = FileLineText(e->file, l);
  const bool utf8 = GeomFileUtf8(e->file);
  col = std::min(col, l->len);
  if (col < l->len && is_word(t[col], utf8)) {
    *a = *b = col;
    while (*a > 0 && is_word(t[*a - 1], utf8)) --*a;
    while (*b < l->len && is_word(t[*b], utf8)) ++*b;
    // A word-wise selection takes the blanks after it.
    while (*b < l->len && is_blank(t[*b])) ++*b;
  } else if (col < l->len) {
    *a = GeomCharStart(t, l->len, col, GeomDisplayRule(e->file));
    *b = EditNextChar(e, line, *a);
  }
}

void pointer_position(Edit* e, CmdInfo* ci, int32_t* line, int32_t* col) {
  if (ci->x < 0 || ci->y < 0) {
    *line = e->caretLine;
    *col = e->caretColumn;
    return;
  }
  EditPositionAt(e, ci->x, ci->y, line, col);
}

// Positions of the selection being made with the mouse, by its mode.
void extend_by_mode(Edit* e, int32_t line, int32_t col) {
  EditSelection& s = e->sel[0];
  int32_t al = s.anchor_line, ac = s.anchor_column;
  if (s.mode == selLine) {
    // Whole lines from the anchor's line to the pointer's.
    int32_t l1 = std::min(al, line), l2 = std::max(al, line);
    EditSetSelection(e, l1, 0, l2 + 1, 0, selLine);
    e->sel[0].anchor_line = al;
    e->sel[0].anchor_column = ac;
    return;
  }
  if (s.mode == selWord) {
    int32_t a, b, wa, wb;
    word_bounds(e, line, col, &a, &b);
    word_bounds(e, al, ac, &wa, &wb);
    if (line < al || (line == al && col < ac)) EditSetSelection(e, al, wb, line, a, selWord);
    else EditSetSelection(e, al, wa, line, b, selWord);
    e->sel[0].anchor_line = al;
    e->sel[0].anchor_column = ac;
    return;
  }
  EditMoveCaret(e, line, col, true);
}

int CmdEOL(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  return move_to(e, e->caretLine, EditLineLength(e, e->caretLine));
}

int CmdSOL(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t first = first_nonblank(e, e->caretLine);
  return move_to(e, e->caretLine, e->caretColumn == first ? 0 : first);
}

int CmdSOL0(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  return move_to(e, e->caretLine, 0);
}

int CmdSOL1(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  return move_to(e, e->caretLine, first_nonblank(e, e->caretLine));
}

int CmdUp(void* object, CmdInfo*) { return vertical(EditOf(object), -1); }
int CmdDown(void* object, CmdInfo*) { return vertical(EditOf(object), 1); }
int CmdLeft(void* object, CmdInfo*) { return horizontal(EditOf(object), -1, false); }
int CmdRight(void* object, CmdInfo*) { return horizontal(EditOf(object), 1, false); }
int CmdLeftU(void* object, CmdInfo*) { return horizontal(EditOf(object), -1, true); }
int CmdRightD(void* object, CmdInfo*) { return horizontal(EditOf(object), 1, true); }
int CmdUpSome(void* object, CmdInfo*) { return vertical(EditOf(object), -cfgEditSomeSize); }
int CmdDownSome(void* object, CmdInfo*) { return vertical(EditOf(object), cfgEditSomeSize); }
int CmdLeftSome(void* object, CmdInfo*) {
  return horizontal(EditOf(object), -cfgEditSomeSize, false);
}
int CmdRightSome(void* object, CmdInfo*) {
  return horizontal(EditOf(object), cfgEditSomeSize, false);
}

int CmdPageUp(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t page = std::max(1, e->fullRows() - 1);
  e->ScrollTo(e->topLineNo - page);
  return vertical(e, -page);
}

int CmdPageDown(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t page = std::max(1, e->fullRows() - 1);
  e->ScrollTo(e->topLineNo + page);
  return vertical(e, page);
}

int CmdWord(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t line = e->caretLine, col = e->caretColumn;
  word_motion(e, true, &line, &col);
  return move_to(e, line, col);
}

int CmdReverseWord(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t line = e->caretLine, col = e->caretColumn;
  word_motion(e, false, &line, &col);
  return move_to(e, line, col);
}

int CmdSOF(void* object, CmdInfo*) { return move_to(EditOf(object), 1, 0); }

int CmdEOF(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  return move_to(e, e->file ? e->file->nLines + 1 : 1, 0);
}

int CmdContinueSelection(void* object, CmdInfo*) {
  EditOf(object)->continueSelRequest = true;
  return 1;
}

int CmdScroll(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  std::string a = arg_of(ci);
  if (a.empty()) return 1;
  long n = std::strtol(a.c_str(), nullptr, 10);
  if (!a.empty() && a.back() == 'p') n *= std::max(1, e->fullRows() - 1);  // pages
  e->ScrollTo(e->topLineNo + static_cast<int32_t>(n));
  return 1;
}

int CmdLineD(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  File* f = e->file;
  if (!f) return 1;
  std::string a = arg_of(ci);
  if (a.empty()) {
    if (!WPrompt("Goto", "Line to goto?", std::to_string(e->caretLine), &a)) return 1;
  }
  while (!a.empty() && is_blank(a.front())) a.erase(0, 1);
  bool relative = !a.empty() && (a[0] == '+' || a[0] == '-');
  char* end = nullptr;
  long n = std::strtol(a.c_str(), &end, 10);
  if (a.empty() || !end || *end || (a == "+" || a == "-")) {
    if (a == "+" || a == "-") n = 0;
    else {
      EditCmdError(e, "Invalid line number");
      return 0;
    }
  }
  long target = relative ? e->caretLine + n : n;
  // Beyond the end goes to the end.
  target = std::clamp<long>(target, 1, f->nLines + 1);
  FileCloseUndo(f);
  EditMoveCaret(e, static_cast<int32_t>(target), 0, e->extendSelection);
  e->goalColumn = -1;
  e->ShowCaret();
  return 1;
}

int CmdColumn(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  std::string a = arg_of(ci);
  if (a.empty()) {
    const int32_t now = EditDisplayColumn(e, e->caretLine, e->caretColumn);
    if (!WPrompt("Column", "Column:", std::to_string(now), &a)) return 1;
  }
  char* end = nullptr;
  long n = std::strtol(a.c_str(), &end, 10);
  if (a.empty() || !end || *end || n < 0) {
    EditCmdError(e, "Invalid column number");
    return 0;
  }
  // The column counts cells; inside a tab or a wide character the caret
  // goes before it.
  const int32_t cells = static_cast<int32_t>(std::min<long>(n, INT32_MAX));
  return move_to(e, e->caretLine, EditByteAt(e, e->caretLine, DisplayCol(cells), GeomSide::kLeft));
}

int CmdSelectToLines(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  const EditSelection& s = e->sel[0];
  int32_t l2 = s.end_line;
  if (!(s.end_column == 0 && s.end_line > s.start_line)) ++l2;
  EditSetSelection(e, s.start_line, 0, l2, 0, selLine);
  return 1;
}

int CmdSelectAll(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->file) return 1;
  EditSetSelection(e, 1, 0, e->file->nLines + 1, 0, selLine);
  return 1;
}

int CmdSelectLine(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  int32_t line, col;
  pointer_position(e, ci, &line, &col);
  EditSetSelection(e, line, 0, line + 1, 0, selLine);
  e->sel[0].anchor_line = line;
  e->sel[0].anchor_column = col;
  return 1;
}

int CmdSelectWord(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  int32_t line, col;
  pointer_position(e, ci, &line, &col);
  int32_t a, b;
  word_bounds(e, line, col, &a, &b);
  EditSetSelection(e, line, a, line, b, selWord);
  e->sel[0].anchor_line = line;
  e->sel[0].anchor_column = col;
  return 1;
}

int CmdNoSelection(void* object, CmdInfo*) {
  EditSelectionNone(EditOf(object));
  return 1;
}

int CmdNormalizeSelection(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  const EditSelection& s = e->sel[0];
  EditSetSelection(e, s.start_line, s.start_column, s.end_line, s.end_column, s.mode);
  return 1;
}

int CmdFlashCursor(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  e->ShowCaret();
  return 1;
}

int CmdSelectionStart(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  int32_t line, col;
  pointer_position(e, ci, &line, &col);
  if (e->file) FileCloseUndo(e->file);
  EditMoveCaret(e, line, col, false);
  e->goalColumn = -1;
  return 1;
}

// A press inside the selection with drag and drop on starts a drag of it
// (a copy with `copy`); elsewhere it starts a new selection.
int start_drag(void* object, CmdInfo* ci, bool copy) {
  Edit* e = EditOf(object);
  int32_t line, col;
  pointer_position(e, ci, &line, &col);
  e->dragSelection = false;
  if (vfDragAndDrop && e->file && !e->sel[0].empty()) {
    int32_t l1 = e->sel[0].start_line, c1 = e->sel[0].start_column;
    int32_t l2 = e->sel[0].end_line, c2 = e->sel[0].end_column;
    SelectionNormalize(&l1, &c1, &l2, &c2);
    const bool after_start = line > l1 || (line == l1 && col >= c1);
    const bool before_end = line < l2 || (line == l2 && col < c2);
    if (after_start && before_end) {
      e->dragSelection = true;
      e->dragCopy = copy;
      return 1;
    }
  }
  return CmdSelectionStart(object, ci);
}

int CmdSelectionStartDrag(void* object, CmdInfo* ci) {
  return start_drag(object, ci, false);
}
int CmdSelectionStartDragAdd(void* object, CmdInfo* ci) {
  return start_drag(object, ci, true);
}

// Drops the selection being dragged at the pointer.
int CmdSelectionDrop(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  int32_t line, col;
  pointer_position(e, ci, &line, &col);
  const bool copy = e->dragSelection && e->dragCopy;
  e->dragSelection = false;
  EditSelectionDrop(e, line, col, copy);
  return 1;
}

int CmdSelectionAdjust(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  // The release that ends a drag of the selection drops it.
  if (e->dragSelection) return CmdSelectionDrop(object, ci);
  int32_t line, col;
  pointer_position(e, ci, &line, &col);
  extend_by_mode(e, line, col);
  return 1;
}

int CmdSelectionExtend(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  int32_t line, col;
  pointer_position(e, ci, &line, &col);
  // The end of the selection nearer the pointer moves; the other stays.
  const EditSelection& s = e->sel[0];
  bool before_start = line < s.start_line || (line == s.start_line && col < s.start_column);
  int32_t keep_line = before_start ? s.end_line : s.start_line;
  int32_t keep_col = before_start ? s.end_column : s.start_column;
  int32_t mode = s.mode;
  e->sel[0].anchor_line = keep_line;
  e->sel[0].anchor_column = keep_col;
  e->sel[0].mode = mode;
  extend_by_mode(e, line, col);
  return 1;
}

int CmdSelectionGrab(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (e->sel[0].empty()) return 1;
  std::string text = EditSelectionText(e);
  int type = (e->sel[0].start_column == 0 && !text.empty() && text.back() == '\n') ? kWSelLines
                                                                                  : kWSelText;
  WSelectionOwn("PRIMARY", text, type);
  return 1;
}

const CmdEntry kCommands[] = {
    {"EOL", CmdEOL, kCmdMoves},
    {"SOL", CmdSOL, kCmdMoves},
    {"SOL0", CmdSOL0, kCmdMoves},
    {"SOL1", CmdSOL1, kCmdMoves},
    {"Up", CmdUp, kCmdMoves},
    {"Down", CmdDown, kCmdMoves},
    {"Left", CmdLeft, kCmdMoves},
    {"Right", CmdRight, kCmdMoves},
    {"LeftU", CmdLeftU, kCmdMoves},
    {"RightD", CmdRightD, kCmdMoves},
    {"UpSome", CmdUpSome, kCmdMoves},
    {"DownSome", CmdDownSome, kCmdMoves},
    {"LeftSome", CmdLeftSome, kCmdMoves},
    {"RightSome", CmdRightSome, kCmdMoves},
    {"PageUp", CmdPageUp, kCmdMoves},
    {"PageDown", CmdPageDown, kCmdMoves},
    {"Word", CmdWord, kCmdMoves},
    {"ReverseWord", CmdReverseWord, kCmdMoves},
    {"SOF", CmdSOF, kCmdMoves},
    {"EOF", CmdEOF, kCmdMoves},
    {"ContinueSelection", CmdContinueSelection, 0},
    {"Scroll", CmdScroll, 0},
    {"LineD", CmdLineD, kCmdMoves},
    {"Column", CmdColumn, kCmdMoves},
    {"SelectToLines", CmdSelectToLines, kCmdMoves},
    {"SelectAll", CmdSelectAll, kCmdMoves},
    {"SelectLine", CmdSelectLine, kCmdMoves},
    {"SelectWord", CmdSelectWord, kCmdMoves},
    {"NoSelection", CmdNoSelection, kCmdMoves},
    {"NormalizeSelection", CmdNormalizeSelection, kCmdMoves},
    {"FlashCursor", CmdFlashCursor, 0},
    {"SelectionStart", CmdSelectionStart, kCmdMoves},
    {"SelectionStartDrag", CmdSelectionStartDrag, kCmdMoves},
    {"SelectionStartDragAdd", CmdSelectionStartDragAdd, kCmdMoves},
    {"SelectionDrop", CmdSelectionDrop, kCmdMoves},
    {"SelectionAdjust", CmdSelectionAdjust, kCmdMoves},
    {"SelectionExtend", CmdSelectionExtend, kCmdMoves},
    {"SelectionGrab", CmdSelectionGrab, 0},
};
}  // namespace

EditCmdSet EditMoveCmds() { return {kCommands, {}}; }
