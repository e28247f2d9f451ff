// The indentation commands: shifting the selected lines by the indent size
// and auto-indenting them by the structure of their language.
#include <algorithm>

#include "windlib/config/aindentsettings.h"
#include "windlib/config/configoptions.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/edittype.h"
#include "windlib/file/fileindent.h"
#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"

namespace {

// The indent size of the file's language; the paren mode and continuation
// indent of that language become the parser's.
int32_t choose_indent(File* f) {
  AI_Lang lang = AI_LangC;
  char leader = 0;
  const bool ada = FileAutoIndentLanguage(f, &lang, &leader) && lang == AI_LangAda;
  aIndent_parenIndentMode = ada ? aIndent_ada_parenIndentMode : aIndent_c_parenIndentMode;
  aIndent_indentForContinuation = f->adaContinuationSize;
  return std::max(1, static_cast<int>(ada ? f->adaIndentSize : f->indentSize));
}

// The bytes of a line's indentation and the column after them.
int32_t indent_bytes(Edit* e, int32_t n, int32_t* column = nullptr) {
  Line* l = EditLineAt(e, n);
  int32_t bytes = 0;
  const int32_t col =
      l ? GeomIndentOf(FileLineText(e->file, l), l->len, GeomDisplayRule(), &bytes).v : 0;
  if (column) *column = col;
  return bytes;
}

// The lines a command works on: those of the selection (one ending at
// column 0 of a later line stops before it), else the caret line.
void command_lines(Edit* e, int32_t* l1, int32_t* l2) {
  const TextRange r = EditSelectionRange(e).normalized();
  if (r.empty()) {
    *l1 = *l2 = e->caretLine;
    return;
  }
  *l1 = r.begin.line;
  *l2 = r.end.line > r.begin.line && r.end.col == 0 ? r.end.line - 1 : r.end.line;
}

// After one line's indentation changed from `before` bytes to `after`, the
// caret and selection keep their characters and stand no further left than
// the first non-blank.
void follow_indent(Edit* e, int32_t n, int32_t before, int32_t after) {
  auto moved = [&](int32_t col) { return col < before ? after : col + after - before; };
  const TextRange r = EditSelectionRange(e).normalized();
  if (r.empty() || r.begin.line != n || r.end.line != n) {
    if (e->caretLine == n) EditMoveCaret(e, n, moved(e->caretColumn), false);
    return;
  }
  EditSetSelection(e, n, moved(r.begin.col), n, moved(r.end.col));
}

int shift_lines(Edit* e, bool right) {
  File* f = e->file;
  if (!f) return 0;
  const int32_t size = choose_indent(f);
  int32_t l1, l2;
  command_lines(e, &l1, &l2);
  l2 = std::min(l2, f->nLines);
  if (l1 > l2) return 1;
  const int32_t before = indent_bytes(e, l1);
  const int32_t caret_col = e->caretColumn;
  if (right) {
    FileIndent(f, e->TopLine(), e->topLineNo, l1, l2, size);
  } else {
    // Runs of lines that lose the same amount are shifted together, and
    // the runs make one undo step.
    FileCloseUndo(f);
    Undo* mark = f->undo;
    int32_t run = l1, run_amount = -1;
    for (int32_t n = l1; n <= l2 + 1; ++n) {
      int32_t col = 0;
      if (n <= l2) indent_bytes(e, n, &col);
      const int32_t amount = n <= l2 ? std::min(col, size) : -1;
      if (amount == run_amount) continue;
      if (run_amount > 0) FileIndent(f, e->TopLine(), e->topLineNo, run, n - 1, -run_amount);
      run = n;
      run_amount = amount;
    }
    if (!f->undoOff && f->undo != mark && f->undo->next != mark)
      f->undo = UndoGroupFrom(f->undo, mark, l1, 0, l2, 0);
    if (l2 > l1) {
      Line* last = EditLineAt(e, l2);
      EditSetSelection(e, l1, 0, l2, last ? last->len : 0);
      return 1;
    }
  }
  if (l1 == l2) {
    e->caretColumn = caret_col;
    follow_indent(e, l1, before, indent_bytes(e, l1));
  }
  return 1;
}

int cmd_indent(void* object, CmdInfo*) {
  return shift_lines(EditOf(object), true);
}
int cmd_unindent(void* object, CmdInfo*) {
  return shift_lines(EditOf(object), false);
}

// Auto-indents the selected lines or the caret line; false when the file's
// language does not auto-indent.
bool auto_indent(Edit* e, bool explicitly) {
  File* f = e->file;
  const int32_t size = choose_indent(f);
  TextRange r = EditSelectionRange(e).normalized();
  if (r.empty()) r = TextRange{TextPos{e->caretLine, 0}, TextPos{e->caretLine, 0}};
  const bool single =
      r.begin.line == r.end.line || (r.end.line == r.begin.line + 1 && r.end.col == 0);
  const int32_t before = indent_bytes(e, r.begin.line);
  const int32_t caret_line = e->caretLine, caret_col = e->caretColumn;
  const int32_t changed = FileAutoIndent(f, e->TopLine(), e->topLineNo, r.begin.line, r.begin.col,
                                         r.end.line, r.end.col, size, explicitly);
  if (changed < 0) return false;
  if (single && changed > 0) {
    e->caretLine = caret_line;
    e->caretColumn = caret_col;
    follow_indent(e, r.begin.line, before, indent_bytes(e, r.begin.line));
  }
  return true;
}

int cmd_auto_indent(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->file) return 0;
  auto_indent(e, true);
  return 1;
}

int cmd_auto_indent_or_tab(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->file) return 0;
  AI_Lang lang;
  char leader;
  if (aIndent_implicitAIndentOn && FileAutoIndentLanguage(e->file, &lang, &leader)) {
    auto_indent(e, true);
    return 1;
  }
  const char* tab = cfgTabSize == 0 ? " " : "\t";
  return EditAddChars(e, tab, 1, 0, false);
}

int cmd_auto_indent_implicit(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->file || !aIndent_implicitAIndentOn) return 1;
  AI_Lang lang;
  char leader;
  if (!FileAutoIndentLanguage(e->file, &lang, &leader)) return 1;
  auto_indent(e, false);
  return 1;
}

// The indent sizes are kept per file: a new value reaches the open files.
int set_indent_size(_ConfigOption* option, const char*, int32_t number) {
  const int value = std::clamp(number, 1, 100);
  *static_cast<int*>(option->value) = value;
  const std::string_view name = option->name;
  for (File* f = FileHead(); f; f = f->next) {
    if (name == "editindent")
      f->indentSize = static_cast<uint8_t>(value);
    else if (name == "adaindentsize")
      f->adaIndentSize = static_cast<uint8_t>(value);
    else
      f->adaContinuationSize = static_cast<uint8_t>(value);
  }
  return 1;
}

constexpr uint32_t kEdits = kCmdModifies | kCmdPaneRefused;
const CmdEntry kCommands[] = {
    {"Indent", cmd_indent, kEdits},
    {"Unindent", cmd_unindent, kEdits},
    {"AutoIndent", cmd_auto_indent, kEdits},
    {"AutoIndentOrTab", cmd_auto_indent_or_tab, kEdits | kCmdInserts},
    {"AutoIndentImplicit", cmd_auto_indent_implicit, kEdits},
};
}  // namespace

EditCmdSet EditIndentCmds() {
  // The command set is made once at start-up, before any option is read.
  static const bool setters = [] {
    for (const char* name : {"editindent", "adaindentsize", "adacontinuationsize"})
      cfg_SetOptionSetter(name, set_indent_size);
    return true;
  }();
  (void)setters;
  return {kCommands, {}};
}
