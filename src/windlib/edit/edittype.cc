#include "windlib/edit/edittype.h"

#include <algorithm>
#include <string>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/file/filepieces.h"
#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Tabs expanded to blanks for the display column at which each one lands,
// for text inserted at `at`.
std::string expand_tabs(Edit* edit, const char* text, int32_t len, TextPos at) {
  const GeomRule rule = GeomDisplayRule(edit->file);
  DisplayCol dcol = EditDisplayCol(edit, at);
  std::string out;
  for (int32_t i = 0, n; i < len; i += n) {
    const char c = text[i];
    if (c == '\n') {
      out += c;
      dcol = DisplayCol(0);
      n = 1;
      continue;
    }
    const DisplayCol next = GeomAdvanceChar(dcol, text + i, text + len, rule, &n);
    if (c == '\t')
      out.append(static_cast<size_t>(next - dcol), ' ');
    else
      out.append(text + i, static_cast<size_t>(n));
    dcol = next;
  }
  return out;
}

int32_t text_start_column(Edit* edit, int32_t line) {
  Line* l = EditLineAt(edit, line);
  if (!l) return 0;
  return GeomIndentOf(FileLineText(edit->file, l), l->len, GeomDisplayRule(edit->file)).v;
}
}  // namespace

std::string EditCRBuf(int tabsize, int32_t column) {
  std::string out = GeomIndentText(DisplayCol(column), tabsize);
  if (out.size() > 399) out.resize(399);
  return out;
}

bool EditShouldWrap(Edit* edit) {
  File* f = edit->file;
  if (!f || !f->wordWrap) return false;
  if (EditDisplayCol(edit, TextPos{edit->caretLine, edit->caretColumn}).v < f->wrapColumn)
    return false;
  Line* l = EditLineAt(edit, edit->caretLine);
  if (!l) return false;
  // At least two words on the line.
  const char* t = FileLineText(f, l);
  int words = 0;
  bool in_word = false;
  for (int32_t i = 0; i < l->len && words < 2; ++i) {
    bool blank = is_blank(t[i]);
    if (!blank && !in_word) ++words;
    in_word = !blank;
  }
  return words >= 2;
}

void EditWordWrap(Edit* edit) {
  File* f = edit->file;
  Line* l = EditLineAt(edit, edit->caretLine);
  if (!l) return;
  const char* t = FileLineText(f, l);
  int32_t end = std::min(edit->caretColumn, l->len);
  // The last run of blanks before the caret that follows some text.
  int32_t b = end;
  while (b > 0 && !is_blank(t[b - 1])) --b;
  int32_t a = b;
  while (a > 0 && is_blank(t[a - 1])) --a;
  if (a == 0 || b == 0) return;
  // The wrap indent is added on the first break of a paragraph only: when
  // the line above does not continue into this one.
  int32_t indent = text_start_column(edit, edit->caretLine);
  Line* prev = edit->caretLine > 1 ? EditLineAt(edit, edit->caretLine - 1) : nullptr;
  bool first_break = !prev || prev->len == 0 ||
                     text_start_column(edit, edit->caretLine - 1) != indent;
  if (first_break) indent += f->wrapIndent;
  std::string brk(1, '\n');
  brk += EditCRBuf(cfgTabSize, indent);
  int32_t line = edit->caretLine;
  int32_t moved = edit->caretColumn - b;
  FileChange(f, edit->TopLine(), edit->topLineNo, line, a, line, b, brk.data(),
             static_cast<int32_t>(brk.size()), false);
  EditMoveCaret(edit, line + 1, static_cast<int32_t>(brk.size()) - 1 + moved, false);
}

namespace {
// Replaces selection `which` with the text; `poll`, when given, lets a long
// replacement go in pieces and be stopped (the result is then -1).
int add_chars(Edit* edit, const char* text, int32_t len, int which, bool typed,
              const FilePiecePoll* poll) {
  File* f = edit->file;
  if (!f) {
    EditCmdError(edit, "No Selection");
    return 0;
  }
  EditSelection s = edit->sel[which];
  std::string t(text ? text : "", text ? static_cast<size_t>(len) : 0);
  // Word-wise and line-wise selections keep their final blank or line end.
  if (!t.empty() && !s.empty()) {
    if (s.mode == selWord) {
      std::string selected = EditSelectionText(edit, which);
      bool sel_blank = !selected.empty() && is_blank(selected.back());
      if (!typed && is_blank(t.back()) && !sel_blank) {
        t.pop_back();
      } else if (sel_blank) {
        if (s.end_column > 0) --s.end_column;
      }
    } else if (s.mode == selLine && t.back() != '\n') {
      if (s.end_column == 0 && s.end_line > s.start_line) {
        --s.end_line;
        s.end_column = EditLineLength(edit, s.end_line);
      }
    }
  }
  if (typed && which == 0 && s.empty() && EditShouldWrap(edit)) {
    EditWordWrap(edit);
    s = edit->sel[0];
    typed = false;
  }
  if (vfTabsAreSpaces && t.find('\t') != std::string::npos)
    t = expand_tabs(edit, t.data(), static_cast<int32_t>(t.size()),
                    TextPos{s.start_line, s.start_column});
  int32_t end_line = s.end_line, end_col = s.end_column;
  if (typed && edit->overtype && s.empty() && t.find('\n') == std::string::npos) {
    // Overtype replaces as many following characters as it brings.
    end_col = std::min(s.start_column + static_cast<int32_t>(t.size()),
                       EditLineLength(edit, s.start_line));
    end_col = std::max(end_col, s.start_column);
  }
  if (poll) {
    // The view shows the change's start while it runs, and gets its
    // selection and place back when the change is stopped.
    const EditSelection before = edit->sel[which];
    const int32_t top = edit->topLineNo, caret_line = edit->caretLine,
                  caret_col = edit->caretColumn;
    if (which == 0) EditMoveCaret(edit, s.start_line, s.start_column, false);
    if (FileChangeInPieces(f, edit->TopLine(), edit->topLineNo, s.start_line, s.start_column,
                           end_line, end_col, t.data(), static_cast<int32_t>(t.size()),
                           *poll) < 0) {
      edit->sel[which] = before;
      edit->caretLine = caret_line;
      edit->caretColumn = caret_col;
      edit->ScrollTo(top);
      edit->RedrawAll();
      edit->UpdateScrollBars();
      edit->PlaceCaret();
      return -1;
    }
  } else {
    // Typed characters extend the newest open undo record; anything else
    // starts a record of its own.
    FileChange(f, edit->TopLine(), edit->topLineNo, s.start_line, s.start_column, end_line,
               end_col, t.data(), static_cast<int32_t>(t.size()), typed);
  }
  // The caret goes after the new text.
  const TextPos after = FileInsertedEnd(TextPos{s.start_line, s.start_column}, t.data(),
                                        static_cast<int32_t>(t.size()));
  const int32_t line = after.line, col = after.col;
  if (which == 0) {
    EditMoveCaret(edit, line, col, false);
  } else {
    edit->sel[1].start_line = edit->sel[1].end_line = edit->sel[1].anchor_line = line;
    edit->sel[1].start_column = edit->sel[1].end_column = edit->sel[1].anchor_column = col;
  }
  edit->goalColumn = -1;
  edit->UpdateScrollBars();
  edit->ShowCaret();
  return 1;
}
}  // namespace

int EditAddChars(Edit* edit, const char* text, int32_t len, int which, bool typed) {
  return add_chars(edit, text, len, which, typed, nullptr);
}

int EditAddCharsPolled(Edit* edit, const char* text, int32_t len, int which,
                       const FilePiecePoll& poll) {
  return add_chars(edit, text, len, which, false, &poll);
}

int EditTypedChars(Edit* edit, const char* text, int32_t len) {
  if (EditReadOnlyCheck(edit)) return 1;
  return EditAddChars(edit, text, len, 0, true);
}

int EditDeleteSelection(Edit* edit) {
  if (edit->sel[0].empty()) return 1;
  FileCloseUndo(edit->file);
  return EditAddChars(edit, "", 0, 0, false);
}
