// Positions in a view's file: lines by number, display columns, the caret
// and the primary selection.
#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "windlib/edit/edit.h"
#include "windlib/file/textgeom.h"

Line* Edit::TopLine() {
  if (!file) return nullptr;
  if (!topLine || topLineEpoch != file->lineEpoch) {
    // The number stays; past the end there is no record to keep.
    topLine = topLineNo <= file->nLines ? FileLine(file, topLineNo, nullptr, 0) : nullptr;
    topLineEpoch = file->lineEpoch;
  }
  return topLine;
}

void Edit::SetTopLine(int32_t n, Line* hint, int32_t hintNo) {
  topLineNo = n;
  topLine = file ? FileLine(file, n, hint, hint ? hintNo : 0) : nullptr;
  topLineEpoch = file ? file->lineEpoch : 0;
}

Line* EditLineAt(Edit* edit, int32_t n) {
  File* f = edit->file;
  if (!f || n < 1 || n > f->nLines) return nullptr;
  Line* top = edit->TopLine();
  return FileLine(f, n, top, edit->topLineNo);
}

int32_t EditLineLength(Edit* edit, int32_t lineNo) {
  Line* l = EditLineAt(edit, lineNo);
  return l ? l->len : 0;
}

DisplayCol EditDisplayCol(Edit* edit, TextPos pos) {
  Line* l = EditLineAt(edit, pos.line);
  if (!l) return DisplayCol(pos.col);
  return GeomColumnOf(FileLineText(edit->file, l), l->len, pos.col, GeomDisplayRule(edit->file));
}

int32_t EditByteAt(Edit* edit, int32_t lineNo, DisplayCol dcol, GeomSide side) {
  Line* l = EditLineAt(edit, lineNo);
  if (!l) return 0;
  return GeomByteAt(FileLineText(edit->file, l), l->len, dcol, side, GeomDisplayRule(edit->file));
}

int32_t EditNextChar(Edit* edit, int32_t lineNo, int32_t col) {
  Line* l = EditLineAt(edit, lineNo);
  if (!l) return col + 1;
  return GeomNextChar(FileLineText(edit->file, l), l->len, col, GeomDisplayRule(edit->file));
}

int32_t EditPrevChar(Edit* edit, int32_t lineNo, int32_t col) {
  Line* l = EditLineAt(edit, lineNo);
  if (!l) return col - 1;
  return GeomPrevChar(FileLineText(edit->file, l), l->len, col, GeomDisplayRule(edit->file));
}

int32_t EditDisplayColumn(Edit* edit, int32_t lineNo, int32_t col) {
  return EditDisplayCol(edit, TextPos{lineNo, col}).v;
}

int32_t EditColumnFromDisplay(Edit* edit, int32_t lineNo, int32_t dcol) {
  // A click on the right half of a wide cell goes after it.
  return EditByteAt(edit, lineNo, DisplayCol(dcol), GeomSide::kNearest);
}

void EditMoveCaret(Edit* edit, int32_t line, int32_t col, bool extend) {
  File* f = edit->file;
  if (!f) return;
  line = std::clamp(line, 1, f->nLines + 1);
  col = line > f->nLines ? 0 : std::clamp(col, 0, EditLineLength(edit, line));
  EditSelection old = edit->sel[0];
  edit->caretLine = line;
  edit->caretColumn = col;
  EditSelection& s = edit->sel[0];
  if (!extend) {
    s.anchor_line = line;
    s.anchor_column = col;
    s.mode = selChar;
  }
  int32_t l1 = s.anchor_line, c1 = s.anchor_column, l2 = line, c2 = col;
  SelectionNormalize(&l1, &c1, &l2, &c2);
  s.start_line = l1;
  s.start_column = c1;
  s.end_line = l2;
  s.end_column = c2;
  // Redraw what the selection covered before and covers now.
  if (!old.empty() || !s.empty()) {
    int32_t from = std::min(old.start_line, s.start_line);
    int32_t to = std::max(old.end_line, s.end_line);
    edit->RedrawLines(from, to);
  }
  edit->PlaceCaret();
}

void EditSetSelection(Edit* edit, int32_t l1, int32_t c1, int32_t l2, int32_t c2, int32_t mode) {
  File* f = edit->file;
  if (!f) return;
  auto clamp = [&](int32_t& l, int32_t& c) {
    l = std::clamp(l, 1, f->nLines + 1);
    c = l > f->nLines ? 0 : std::clamp(c, 0, EditLineLength(edit, l) + 1);
    if (l <= f->nLines && c > EditLineLength(edit, l)) {
      // One past the end of a line stands for the start of the next.
      ++l;
      c = 0;
    }
  };
  clamp(l1, c1);
  clamp(l2, c2);
  EditSelection old = edit->sel[0];
  EditSelection& s = edit->sel[0];
  s.anchor_line = l1;
  s.anchor_column = c1;
  s.mode = mode;
  edit->caretLine = l2;
  edit->caretColumn = c2;
  SelectionNormalize(&l1, &c1, &l2, &c2);
  s.start_line = l1;
  s.start_column = c1;
  s.end_line = l2;
  s.end_column = c2;
  edit->RedrawLines(std::min(old.start_line, s.start_line), std::max(old.end_line, s.end_line));
  edit->PlaceCaret();
}

void EditSetSearchMatches(Edit* edit, std::vector<TextRange> matches) {
  // The lines of the old and the new highlights are drawn again.
  int32_t from = INT32_MAX, to = 0;
  auto cover = [&](const std::vector<TextRange>& list) {
    for (const TextRange& m : list) {
      const TextRange r = m.normalized();
      from = std::min(from, r.begin.line);
      to = std::max(to, r.end.line);
    }
  };
  cover(edit->searchMatches);
  cover(matches);
  edit->searchMatches = std::move(matches);
  if (from <= to) edit->RedrawLines(from, to);
}

void EditSelectionNone(Edit* edit) {
  EditMoveCaret(edit, edit->caretLine, edit->caretColumn, false);
}

std::string EditSelectionText(Edit* edit, int which) {
  std::string out;
  EditSelectionText(edit, which, nullptr, &out);
  return out;
}

bool EditSelectionText(Edit* edit, int which, const std::function<bool()>& cancelled,
                       std::string* text) {
  const EditSelection& s = edit->sel[which];
  std::string& out = *text;
  out.clear();
  if (s.empty() || !edit->file) return true;
  Line* l = EditLineAt(edit, s.start_line);
  for (int32_t n = s.start_line; l && n <= s.end_line; ++n, l = l->next) {
    if (cancelled && (n - s.start_line) % kEditCancelCheckLines == 0 && cancelled()) {
      out.clear();
      return false;
    }
    const char* t = FileLineText(edit->file, l);
    int32_t from = n == s.start_line ? std::min(s.start_column, l->len) : 0;
    if (n == s.end_line) {
      int32_t to = std::min(s.end_column, l->len);
      if (to > from) out.append(t + from, static_cast<size_t>(to - from));
      if (s.end_column > l->len) out += '\n';
      break;
    }
    out.append(t + from, static_cast<size_t>(l->len - from));
    out += '\n';
  }
  return true;
}
