#include "windlib/file/filerect.h"

#include <algorithm>

#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"

namespace {

std::string line_text(File* f, int32_t n) {
  Line* l = FileLine(f, n, nullptr, 0);
  if (!l) return {};
  return std::string(FileLineText(f, l), static_cast<size_t>(l->len));
}

// Where display columns [left, right) fall in a line: the bytes [first, last)
// whose cells touch the range, and the cells of those bytes that lie outside
// it on either side (a tab across an edge).
struct Span {
  bool touches = false;  // false: the line ends at or before `left`
  int32_t first = 0, last = 0;
  int32_t before = 0, after = 0;
};

Span span_of(const std::string& s, int32_t left, int32_t right, const GeomRule& rule) {
  Span sp;
  DisplayCol at(0);
  const int32_t n = static_cast<int32_t>(s.size());
  int32_t i = 0;
  // Skip the cells that end at or before the left edge.
  // A wide character across an edge is taken whole.
  const char* text = s.data();
  for (int32_t len = 0; i < n; i += len) {
    DisplayCol next = GeomAdvanceChar(at, text + i, text + n, rule, &len);
    if (next.v > left) break;
    at = next;
  }
  sp.first = sp.last = i;
  if (i == n) return sp;
  sp.touches = true;
  sp.before = std::max(0, left - at.v);
  // Take the cells that start before the right edge.
  while (i < n && at.v < right) {
    int32_t len;
    at = GeomAdvanceChar(at, text + i, text + n, rule, &len);
    i += len;
  }
  // Combining marks after the last character go with it.
  if (rule.utf8 && i > sp.first) i = GeomNextChar(text, n, GeomPrevChar(text, n, i, rule), rule);
  sp.last = i;
  sp.after = std::max(0, at.v - right);
  if (right <= left) {
    // An empty range: nothing is taken, unless a tab stands across it.
    sp.last = sp.first;
    sp.before = sp.after = 0;
  }
  return sp;
}

int32_t width_of(const std::string& s, const GeomRule& rule) {
  return GeomWidthFrom(DisplayCol(0), s.data(), static_cast<int64_t>(s.size()), rule).v;
}

// Runs `changes` as one undo group of its own, inside whatever group the
// caller already has open.
template <typename Fn>
void as_one_group(File* f, int32_t line, int32_t col, Fn changes) {
  FileCloseUndo(f);
  Undo* mark = f->undo;
  changes();
  if (!f->undoOff && f->undo != mark && f->undo && f->undo->next != mark)
    f->undo = UndoGroupFrom(f->undo, mark, line, col, line, col);
  FileCloseUndo(f);
}

}  // namespace

int32_t FileRectColumn(File* f, int32_t lineNo, int32_t col) {
  std::string s = line_text(f, lineNo);
  return GeomColumnOf(s.data(), static_cast<int32_t>(s.size()), col, GeomTabsOnlyRule(f)).v;
}

std::string FileRectText(File* f, int32_t l1, int32_t l2, int32_t left, int32_t right) {
  if (l1 > l2) std::swap(l1, l2);
  if (left > right) std::swap(left, right);
  l1 = std::max(l1, 1);
  l2 = std::min(l2, f->nLines);
  std::string out;
  for (int32_t n = l1; n <= l2; ++n) {
    if (n > l1) out += '\n';
    std::string s = line_text(f, n);
    Span sp = span_of(s, left, right, GeomTabsOnlyRule(f));
    if (sp.touches)
      out.append(s, static_cast<size_t>(sp.first), static_cast<size_t>(sp.last - sp.first));
  }
  return out;
}

int32_t FileRectPaste(File* f, int32_t line, int32_t column, const char* text, int32_t len) {
  if (!f || !text || len < 0 || line < 1) return 0;
  line = std::min(line, f->nLines + 1);
  const int32_t at = line <= f->nLines ? FileRectColumn(f, line, column) : 0;
  int32_t changed = 0;
  as_one_group(f, line, column, [&] {
    const char* p = text;
    const char* end = text + len;
    for (int32_t n = line;; ++n) {
      const char* nl = std::find(p, end, '\n');
      std::string piece(p, nl);
      if (n > f->nLines) {
        // Past the end: a new line, padded to the column.
        std::string last = line_text(f, f->nLines);
        std::string add(1, '\n');
        add.append(static_cast<size_t>(at), ' ');
        add += piece;
        FileChange(f, nullptr, 0, f->nLines, static_cast<int32_t>(last.size()), f->nLines,
                   static_cast<int32_t>(last.size()), add.data(), static_cast<int32_t>(add.size()),
                   false);
      } else {
        std::string s = line_text(f, n);
        const int32_t w = width_of(s, GeomTabsOnlyRule(f));
        std::string add;
        int32_t from = static_cast<int32_t>(s.size()), to = from;
        if (w <= at) {
          add = std::string(static_cast<size_t>(at - w), ' ') + piece;
        } else {
          Span sp = span_of(s, at, at, GeomTabsOnlyRule(f));
          // A tab or a wide character across the column turns into blanks
          // on both sides.
          Span across = span_of(s, at, at + 1, GeomTabsOnlyRule(f));
          from = to = sp.first;
          if (across.before > 0) {
            to = across.last;
            const int32_t tab_end = at + 1 + across.after;
            add = std::string(static_cast<size_t>(across.before), ' ') + piece +
                  std::string(static_cast<size_t>(tab_end - at), ' ');
          } else {
            add = piece;
          }
        }
        if (!add.empty())
          FileChange(f, nullptr, 0, n, from, n, to, add.data(), static_cast<int32_t>(add.size()),
                     false);
      }
      ++changed;
      if (nl == end) break;
      p = nl + 1;
    }
  });
  return changed;
}

void FileRectDel(File* f, int32_t l1, int32_t c1, int32_t l2, int32_t c2) {
  if (!f) return;
  SelectionNormalize(&l1, &c1, &l2, &c2);
  l1 = std::max(l1, 1);
  l2 = std::min(l2, f->nLines);
  int32_t left = FileRectColumn(f, l1, c1), right = FileRectColumn(f, l2, c2);
  if (left > right) std::swap(left, right);
  if (left == right) return;
  as_one_group(f, l1, c1, [&] {
    for (int32_t n = l1; n <= l2; ++n) {
      std::string s = line_text(f, n);
      Span sp = span_of(s, left, right, GeomTabsOnlyRule(f));
      if (!sp.touches) continue;
      std::string blanks(static_cast<size_t>(sp.before + sp.after), ' ');
      FileChange(f, nullptr, 0, n, sp.first, n, sp.last, blanks.data(),
                 static_cast<int32_t>(blanks.size()), false);
    }
  });
}
