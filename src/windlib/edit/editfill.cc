#include "windlib/edit/editfill.h"

#include <string>
#include <vector>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmdtable.h"
#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"

EditCommentKind (*EditCommentAtHook)(Edit* edit, int32_t line, int32_t column) = nullptr;

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string line_text(Edit* e, int32_t n) {
  Line* l = EditLineAt(e, n);
  return l ? std::string(FileLineText(e->file, l), static_cast<size_t>(l->len)) : std::string();
}

// The length of a line's prefix: its leading blanks, tabs, '*' and '/'.
size_t prefix_len(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && (is_blank(s[i]) || s[i] == '*' || s[i] == '/')) ++i;
  return i;
}

bool rest_empty(const std::string& s) {
  return prefix_len(s) == s.size();
}
bool starts_tag(const std::string& s) {
  size_t p = prefix_len(s);
  return p < s.size() && s[p] == '@';
}

EditCommentKind kind_at(Edit* e, int32_t line, int32_t col) {
  return EditCommentAtHook ? EditCommentAtHook(e, line, col) : kNotComment;
}

int32_t width(const std::string& s, const GeomRule& rule) {
  return GeomWidthFrom(DisplayCol(0), s.data(), static_cast<int64_t>(s.size()), rule).v;
}

void trim_right(std::string* s) {
  while (!s->empty() && is_blank(s->back())) s->pop_back();
}

int fill(void* object, CmdInfo*) {
  return EditFillParagraph(EditOf(object));
}

const CmdEntry kEntries[] = {
    {"FillParagraph", fill, kCmdModifies | kCmdPaneRefused},
};

}  // namespace

int EditFillParagraph(Edit* e) {
  if (!e->file) return 0;
  const int32_t caret = e->caretLine;
  const EditCommentKind kind = kind_at(e, caret, e->caretColumn);
  if (kind == kNotComment) return 0;
  const bool line_comments = kind == kLineComment;
  std::string here = line_text(e, caret);
  if (rest_empty(here)) return 0;
  // A line of the paragraph: not empty after its prefix and, for line
  // comments, still inside the comment.
  auto inside = [&](int32_t n, const std::string& s) {
    if (rest_empty(s)) return false;
    return !line_comments || kind_at(e, n, static_cast<int32_t>(prefix_len(s))) == kLineComment;
  };
  int32_t first = caret;
  if (!starts_tag(here)) {
    for (int32_t n = caret - 1; n >= 1; --n) {
      std::string s = line_text(e, n);
      if (!inside(n, s)) break;
      first = n;
      if (starts_tag(s)) break;
    }
  }
  int32_t last = caret;
  for (int32_t n = caret + 1; n <= e->file->nLines; ++n) {
    std::string s = line_text(e, n);
    if (!inside(n, s) || (line_comments && starts_tag(s))) break;
    last = n;
  }
  // Join the lines, keeping where the caret is in the joined text.
  const std::string head = line_text(e, first);
  const std::string prefix = head.substr(0, prefix_len(head));
  std::string joined;
  size_t caret_at = 0;
  for (int32_t n = first; n <= last; ++n) {
    std::string s = line_text(e, n);
    size_t skip = n == first ? 0 : prefix_len(s);
    std::string piece = s.substr(skip);
    trim_right(&piece);
    if (n > first) joined += ' ';
    if (n == caret) {
      size_t col = static_cast<size_t>(std::max(e->caretColumn, 0));
      caret_at = joined.size() + std::min(col > skip ? col - skip : 0, piece.size());
    }
    joined += piece;
  }
  // Break the last line repeatedly at the last blank before the fill column.
  const int32_t column = cfgFillParagraphColumn;
  const GeomRule rule = GeomDisplayRule(e->file);
  size_t line_start = 0;
  for (;;) {
    std::string cur = joined.substr(line_start);
    if (width(cur, rule) <= column) break;
    const int32_t limit = GeomByteAt(cur.data(), static_cast<int32_t>(cur.size()),
                                     DisplayCol(column), GeomSide::kLeft, rule);
    size_t brk = std::string::npos;
    for (size_t i = std::min(static_cast<size_t>(limit), cur.size() - 1); i > prefix.size(); --i)
      if (is_blank(cur[i]) && !is_blank(cur[i - 1])) {
        brk = i;
        break;
      }
    if (brk == std::string::npos) break;  // one long word: left as it is
    size_t a = line_start + brk, b = a;
    while (b < joined.size() && is_blank(joined[b])) ++b;
    const std::string insert = "\n" + prefix;
    joined.replace(a, b - a, insert);
    if (caret_at >= b)
      caret_at = caret_at + insert.size() - (b - a);
    else if (caret_at > a)
      caret_at = a + insert.size();
    line_start = a + 1;
  }
  const std::string old_last = line_text(e, last);
  FileCloseUndo(e->file);
  FileChange(e->file, e->TopLine(), e->topLineNo, first, 0, last,
             static_cast<int32_t>(old_last.size()), joined.data(),
             static_cast<int32_t>(joined.size()), false);
  FileCloseUndo(e->file);
  // The caret goes back to its character.
  int32_t line = first, col = 0;
  for (size_t i = 0; i < caret_at && i < joined.size(); ++i) {
    if (joined[i] == '\n') {
      ++line;
      col = 0;
    } else {
      ++col;
    }
  }
  EditMoveCaret(e, line, col, false);
  return 1;
}

std::span<const CmdEntry> EditFillCmdEntries() {
  return kEntries;
}
