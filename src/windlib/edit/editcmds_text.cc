// Typing and editing commands.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editcopy.h"
#include "windlib/edit/editfill.h"
#include "windlib/edit/editopen.h"
#include "windlib/edit/edittype.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The selection ordered, or the caret when it is empty.
void ordered_selection(Edit* e, int32_t* l1, int32_t* c1, int32_t* l2, int32_t* c2) {
  *l1 = e->sel[0].start_line;
  *c1 = e->sel[0].start_column;
  *l2 = e->sel[0].end_line;
  *c2 = e->sel[0].end_column;
  SelectionNormalize(l1, c1, l2, c2);
}

int insert_text(Edit* e, const std::string& text) {
  return EditAddChars(e, text.data(), static_cast<int32_t>(text.size()), 0, false);
}

int change_case(Edit* e, bool upper) {
  int32_t l1, c1, l2, c2;
  ordered_selection(e, &l1, &c1, &l2, &c2);
  std::string text = EditSelectionText(e);
  for (char& c : text)
    c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                : std::tolower(static_cast<unsigned char>(c)));
  FileChange(e->file, e->TopLine(), e->topLineNo, l1, c1, l2, c2, text.data(),
             static_cast<int32_t>(text.size()), false);
  EditSetSelection(e, l1, c1, l2, c2);
  return 1;
}

time_t stored_time = 0;

// Character classes for RepeatLast: blanks, word characters, the rest.
int char_class(char c) {
  if (is_blank(c)) return 0;
  if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') return 1;
  return 2;
}

int typing(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  constexpr size_t kBuffer = 300;
  std::string buf;
  auto flush = [&] {
    if (!buf.empty()) EditAddChars(e, buf.data(), static_cast<int32_t>(buf.size()), 0, true);
    buf.clear();
  };
  EditTypingText(ci->args, [&](char c) {
    buf += c;
    if (kBuffer - buf.size() < 2) flush();
  });
  flush();
  return 1;
}
}  // namespace

void EditTypingText(const char* args, const std::function<void(char)>& out) {
  const char* p = args;
  while (*p && *p != '"') {
    char c = *p++;
    if (c == '\\' && *p) {
      char k = *p++;
      switch (k) {
        case 'n': c = '\n'; break;
        case 'r': c = '\r'; break;
        case 't': c = '\t'; break;
        case 'a': c = 7; break;
        case 'b': c = 8; break;
        case 'f': c = 12; break;
        case 'v': c = 11; break;
        default:
          if (k >= '0' && k <= '7') {
            int value = k - '0';
            for (int n = 1; n < 3 && *p >= '0' && *p <= '7'; ++n) value = value * 8 + (*p++ - '0');
            c = static_cast<char>(value);
          } else {
            c = k;
          }
      }
    }
    out(c);
  }
}

std::string EditTypingText(const char* args) {
  std::string text;
  EditTypingText(args, [&](char c) { text += c; });
  return text;
}

namespace {

int CmdInsertNewline(void* object, CmdInfo*) { return insert_text(EditOf(object), "\n"); }

int CmdTab(void* object, CmdInfo*) {
  return insert_text(EditOf(object), cfgTabSize == 0 ? " " : "\t");
}

int CmdDelete(void* object, CmdInfo*) {
  return EditDeleteSelection(EditOf(object));
}

int CmdBackspace(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->sel[0].empty()) return EditAddChars(e, "", 0, 0, false);
  int32_t line = e->caretLine, col = e->caretColumn;
  if (line == 1 && col == 0) return 1;
  int32_t from_line = line, from_col = col > 0 ? EditPrevChar(e, line, col) : 0;
  if (col == 0) {
    from_line = line - 1;
    from_col = EditLineLength(e, from_line);
  }
  // Deleting just typed text shrinks the typing's undo record.
  FileChange(e->file, e->TopLine(), e->topLineNo, from_line, from_col, line, col, "", 0, true);
  EditMoveCaret(e, from_line, from_col, false);
  e->goalColumn = -1;
  e->ShowCaret();
  return 1;
}

int CmdDate(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  std::string arg = ci->args;
  arg = arg.substr(0, arg.find_first_of("; }"));
  time_t when = gen_time();
  if (arg == "reset") {
    stored_time = when;
    return 1;
  }
  if (arg == "store") {
    if (!stored_time) stored_time = when;
    when = stored_time;
  }
  std::string text = ctime(&when);
  if (!text.empty() && text.back() == '\n') text.back() = ' ';
  return insert_text(e, text);
}

int CmdQuote(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  e->quoteNext = !e->quoteNext;
  return 1;
}

int CmdEnterInsertMode(void* object, CmdInfo*) {
  EditOf(object)->insertMode = true;
  return 1;
}

int CmdJoinLines(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t l1, c1, l2, c2;
  ordered_selection(e, &l1, &c1, &l2, &c2);
  if (l2 > l1 && c2 == 0) --l2;  // a selection ending at column 0 stops before that line
  if (l1 == l2) l2 = l1 + 1;
  l2 = std::min(l2, e->file->nLines);
  int32_t caret_col = e->caretColumn;
  for (int32_t n = l2 - 1; n >= l1; --n) {
    // The join of line n and n + 1: trailing blanks, the break and leading
    // blanks become one blank.
    Line* l = EditLineAt(e, n);
    Line* next = l ? l->next : nullptr;
    if (!next) continue;
    const char* t = FileLineText(e->file, l);
    int32_t from = l->len;
    while (from > 0 && is_blank(t[from - 1])) --from;
    const char* u = FileLineText(e->file, next);
    int32_t to = 0;
    while (to < next->len && is_blank(u[to])) ++to;
    FileChange(e->file, l, n, n, from, n + 1, to, " ", 1, false);
    if (n == l1) caret_col = from;
  }
  EditMoveCaret(e, l1, caret_col, false);
  e->ShowCaret();
  return 1;
}

int CmdRepeatLast(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  File* f = e->file;
  // The string's undo group is disarmed: its own change must not hide the record.
  Undo* u = f->undo;
  if (!u || UndoIsGroup(u)) {
    WBell();
    return 1;
  }
  if (UndoIsIndent(u)) {
    int32_t l1, c1, l2, c2;
    ordered_selection(e, &l1, &c1, &l2, &c2);
    FilexIndent(f, e->TopLine(), e->topLineNo, l1, l2, -u->savedLen, 0);
    return 1;
  }
  // The text the record inserted.
  std::string inserted;
  {
    EditSelection save = e->sel[0];
    int32_t cl = e->caretLine, cc = e->caretColumn;
    e->sel[0].start_line = u->startLine;
    e->sel[0].start_column = u->startCol;
    e->sel[0].end_line = u->endLine;
    e->sel[0].end_column = u->endCol;
    inserted = EditSelectionText(e);
    e->sel[0] = save;
    e->caretLine = cl;
    e->caretColumn = cc;
  }
  std::string replaced(u->saved, static_cast<size_t>(u->savedLen));
  int32_t line = e->caretLine, col = e->caretColumn;
  int32_t end_line = line, end_col = col;
  Line* l = EditLineAt(e, line);
  const char* t = l ? FileLineText(f, l) : "";
  int32_t len = l ? l->len : 0;
  if (!replaced.empty()) {
    bool one_class = replaced.find('\n') == std::string::npos;
    int cls = char_class(replaced[0]);
    for (char c : replaced) one_class = one_class && char_class(c) == cls;
    if (one_class && replaced.size() >= 2) {
      // A whole word of one class: replace the run at the cursor.
      int32_t a = col, b = col;
      if (cls == 1)
        while (a > 0 && char_class(t[a - 1]) == cls) --a;
      while (b < len && char_class(t[b]) == cls) ++b;
      col = a;
      end_col = b;
    } else {
      end_line = line + u->oldLineSpan;
      end_col = std::min(col + u->oldColSpan, end_line == line ? len : EditLineLength(e, end_line));
      if (end_col < 0) end_col = 0;
    }
  }
  FileChange(f, e->TopLine(), e->topLineNo, line, col, end_line, end_col, inserted.data(),
             static_cast<int32_t>(inserted.size()), false);
  int32_t nl = line, nc = col;
  for (char c : inserted) {
    if (c == '\n') ++nl, nc = 0;
    else ++nc;
  }
  EditMoveCaret(e, nl, nc, false);
  e->ShowCaret();
  return 1;
}

int CmdUpperCaseBlock(void* object, CmdInfo*) { return change_case(EditOf(object), true); }
int CmdLowerCaseBlock(void* object, CmdInfo*) { return change_case(EditOf(object), false); }

int CmdUndo(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  TextRange sel = EditUndoSelection(e->file);
  if (FileUndo(e->file, e->TopLine(), e->topLineNo, &sel) == -100) {
    EditSetMsg(e, "Nothing to undo");
    WBell();
    return 1;
  }
  e->goalColumn = -1;
  e->ShowCaret();
  return 1;
}

int CmdRedo(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  TextRange sel = EditUndoSelection(e->file);
  if (FileRedo(e->file, e->TopLine(), e->topLineNo, &sel) == -100) {
    EditSetMsg(e, "Nothing to redo");
    WBell();
    return 1;
  }
  e->goalColumn = -1;
  e->ShowCaret();
  return 1;
}

int CmdInsertFile(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  std::string path = ci->args;
  path = path.substr(0, path.find_first_of(";}"));
  while (!path.empty() && is_blank(path.back())) path.pop_back();
  if (path.empty() && !EditChooseFile("Insert ...", &path, kEditFilePreset)) return 1;
  Line* at = EditLineAt(e, e->sel[0].anchor_line);
  return FilexInsertFile(e->file, at, path.c_str()) ? 1 : 0;
}

int CmdUserName(void* object, CmdInfo*) {
  const char* name = getlogin();
  if (!name) {
    struct passwd* pw = getpwuid(getuid());
    name = pw ? pw->pw_name : "";
  }
  return insert_text(EditOf(object), name);
}

// Typing and editing change text: the dispatcher makes the read-only check
// before any of them runs.
constexpr uint32_t kEdits = kCmdModifies;
const CmdEntry kCommands[] = {
    {"\"", typing, kEdits | kCmdInserts},
    {"InsertNewline", CmdInsertNewline, kEdits | kCmdInserts},
    {"Return", CmdInsertNewline, kEdits | kCmdInserts},
    {"Tab", CmdTab, kEdits | kCmdInserts},
    {"Delete", CmdDelete, kEdits | kCmdNeedsSelection},
    {"Backspace", CmdBackspace, kEdits},
    {"Date", CmdDate, kEdits | kCmdInserts},
    {"Quote", CmdQuote, 0},
    {"EnterInsertMode", CmdEnterInsertMode, 0},
    {"JoinLines", CmdJoinLines, kEdits | kCmdPaneRefused},
    {"RepeatLast", CmdRepeatLast, kEdits | kCmdOwnUndo | kCmdPaneRefused},
    {"UpperCaseBlock", CmdUpperCaseBlock, kEdits | kCmdOnSelection | kCmdPaneRefused},
    {"LowerCaseBlock", CmdLowerCaseBlock, kEdits | kCmdOnSelection | kCmdPaneRefused},
    {"Undo", CmdUndo, kEdits | kCmdOwnUndo | kCmdPaneRefused},
    {"Redo", CmdRedo, kEdits | kCmdOwnUndo | kCmdPaneRefused},
    {"InsertFile", CmdInsertFile, kEdits | kCmdPaneRefused},
    {"UserName", CmdUserName, kEdits | kCmdInserts},
};
}  // namespace

// The clipboard and fill commands (editcopy.cc, editfill.cc) join the typing commands' set.
EditCmdSet EditTextCmds() {
  static const std::vector<CmdEntry> all = [] {
    std::vector<CmdEntry> v(std::begin(kCommands), std::end(kCommands));
    for (std::span<const CmdEntry> more : {EditCopyCmdEntries(), EditFillCmdEntries()})
      v.insert(v.end(), more.begin(), more.end());
    return v;
  }();
  return {all, {}};
}
