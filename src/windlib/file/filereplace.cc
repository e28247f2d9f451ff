// Replacing what the matcher finds: one match, every match of a file, and
// plain replace-all on a text.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "windlib/file/file.h"
#include "windlib/file/filesearch.h"
#include "windlib/file/filesearchscan.h"
#include "windlib/file/srchmatch.h"
#include "windlib/file/undo.h"

namespace {

// Where text inserted at `at` ends: the change routine ends the user's
// lines at LF or CR LF.
TextPos end_of_insert(TextPos at, const char* text, int32_t len) {
  for (int32_t i = 0; i < len; ++i) {
    if (text[i] == '\n') {
      ++at.line;
      at.col = 0;
    } else if (!(text[i] == '\r' && i + 1 < len && text[i + 1] == '\n')) {
      ++at.col;
    }
  }
  return at;
}

// Replaces a match with one change. Returns the end of the inserted text.
TextPos replace_hit(File* f, const SrchHit& hit, const char* text, int32_t len) {
  const int32_t l1 = hit.lineNo, c1 = hit.col;
  FileChange(f, hit.line, hit.lineNo, l1, c1, l1 + hit.end.lines, hit.end.col, text, len, false);
  return end_of_insert(TextPos{l1, c1}, text, len);
}

// Replaces the match `hit` and every later match on its line, as replacing
// them one after another would, each search going on after the text just
// inserted, but with one change of the line. The line stays one line: the
// pattern and the replacement have no line breaks. Returns the end of the
// last replacement.
TextPos replace_in_line(File* f, const SrchPattern& p, const SrchHit& hit, const char* repl,
                        int32_t rlen) {
  const std::string old(FileLineText(f, hit.line), static_cast<size_t>(hit.line->len));
  const int32_t first = hit.col;
  const int32_t n = static_cast<int32_t>(old.size());
  std::string out;  // the new text of old[first, consumed)
  int32_t consumed = first;
  int32_t c = hit.col;
  SrchEnd e = hit.end;
  int32_t last_end = first;
  SrchOneLine one(old);
  for (;;) {
    out.append(old, static_cast<size_t>(consumed), static_cast<size_t>(c - consumed));
    out.append(repl, static_cast<size_t>(rlen));
    last_end = first + static_cast<int32_t>(out.size());
    consumed = e.col;
    if (e.col == c) {
      // An empty match: the next search starts one character further.
      if (consumed >= n) break;
      out += old[static_cast<size_t>(consumed)];
      ++consumed;
    }
    // The matcher reads the old text from `consumed` on; the context tells
    // it the real column and the character before, which may be new text.
    SrchContext ctx;
    ctx.shift = first + static_cast<int32_t>(out.size()) - consumed;
    if (!out.empty())
      ctx.prev = static_cast<unsigned char>(out.back());
    else if (first > 0)
      ctx.prev = static_cast<unsigned char>(old[static_cast<size_t>(first - 1)]);
    c = SrchFindInLine(p, one, consumed, true, &e, &ctx);
    if (c < 0) break;
  }
  FileChange(f, hit.line, hit.lineNo, hit.lineNo, first, hit.lineNo, consumed, out.data(),
             static_cast<int32_t>(out.size()), false);
  return TextPos{hit.lineNo, last_end};
}

}  // namespace

int FileReplace(File* f, Line* hint, int32_t hintNo, int32_t* line, int32_t* col, int direction,
                bool from_edge, const char* pattern, int32_t length, const char* replacement,
                int32_t replacement_length, int flags, TextRange* replaced,
                const SrchAbort* abort) {
  SrchPattern p;
  if (SrchCompileReported(pattern, length, flags, &p) != 1) return -1;
  SrchHit hit;
  int r = SrchFileFind(f, hint, hintNo, *line, *col, direction, from_edge, p, length, abort, &hit);
  if (r != 1) return r;
  if (!replacement) replacement_length = 0;
  replacement_length = std::max(replacement_length, 0);
  FileCloseUndo(f);
  TextPos end = replace_hit(f, hit, replacement, replacement_length);
  FileCloseUndo(f);
  TextPos start{hit.lineNo, hit.col};
  if (replaced) *replaced = TextRange{start, end};
  TextPos next = direction > 0 ? end : start;
  *line = next.line;
  *col = next.col;
  return 1;
}

namespace {

// One Replace All: the matches replaced so far and how they undo.
struct ReplaceAllRun {
  File* f;
  const SrchPattern& p;
  const char* repl;
  int32_t rlen;
  const SrchAbort* abort;
  Undo* mark = nullptr;  // the newest undo record before the first replacement
  int32_t lowest = INT32_MAX;
  TextPos first_start{}, last_end{};

  // 1 replaced something, 0 nothing, -1 aborted.
  int run() {
    const bool by_line =
        !p.hasLineBreak && !std::memchr(repl ? repl : "", '\n', static_cast<size_t>(rlen));
    int result = 0;
    Line* l = f->first;
    int32_t lineNo = 1, c = 0;
    SrchHit hit;
    SrchProgress progress{f, abort};
    while (l) {
      int r = SrchScanForward(f, l, lineNo, c, p, &progress, &hit);
      if (r < 0) return -1;
      if (r == 0) break;
      if (result == 0) first_start = TextPos{hit.lineNo, hit.col};
      result = 1;
      lowest = std::min(lowest, hit.lineNo);
      if (by_line) {
        last_end = replace_in_line(f, p, hit, repl, rlen);
        l = hit.line->next;
        lineNo = hit.lineNo + 1;
        c = 0;
        if (progress.add(hit.line->len + 1 - hit.col, &l, lineNo)) return -1;
        continue;
      }
      // The records before the match's line stay: the next search finds
      // its line from there.
      Line* before = hit.line->prev;
      const bool empty = hit.end.lines == 0 && hit.end.col == hit.col;
      last_end = replace_hit(f, hit, repl, rlen);
      lineNo = last_end.line;
      c = last_end.col;
      l = FileLine(f, lineNo, before, before ? hit.lineNo - 1 : 0);
      if (empty && l) {
        // An empty match: the next search starts one character further.
        if (c < l->len) {
          ++c;
        } else {
          l = l->next;
          ++lineNo;
          c = 0;
        }
      }
    }
    return result;
  }

  // All the replacements made undo as one step.
  void group() {
    if (f->undo == mark || !f->undo) return;
    f->undo =
        UndoGroupFrom(f->undo, mark, first_start.line, first_start.col, last_end.line, last_end.col);
  }
};

}  // namespace

int FileReplaceAll(File* f, int32_t* line, int32_t* col, const char* pattern, int32_t length,
                   const char* replacement, int32_t replacement_length, int flags,
                   int32_t* firstChanged, const SrchAbort* abort) {
  SrchPattern p;
  if (SrchCompileReported(pattern, length, flags, &p) != 1) return -1;
  if (!replacement) replacement_length = 0;
  ReplaceAllRun all{f, p, replacement, std::max(replacement_length, 0), abort};
  FileCloseUndo(f);
  all.mark = f->undo;
  int result;
  try {
    result = all.run();
  } catch (...) {
    // A panic (the temporary copy gone bad) abandons the command: what was
    // replaced still undoes as one step.
    all.group();
    throw;
  }
  all.group();
  if (all.lowest != INT32_MAX) {
    *line = all.last_end.line;
    *col = all.last_end.col;
    *firstChanged = all.lowest;
  }
  return result;
}

std::string Srch_ReplaceAll(const char* text, const char* end, const char* old_text,
                            const char* new_text) {
  std::string out;
  if (!text || end <= text) return out;
  const size_t n = static_cast<size_t>(end - text);
  const size_t m = old_text ? std::strlen(old_text) : 0;
  if (m == 0) return std::string(text, n);
  out.reserve(n);
  size_t at = 0;
  while (at < n) {
    const char* h = static_cast<const char*>(memmem(text + at, n - at, old_text, m));
    if (!h) break;
    size_t pos = static_cast<size_t>(h - text);
    out.append(text + at, pos - at);
    if (new_text) out += new_text;
    at = pos + m;
  }
  out.append(text + at, n - at);
  return out;
}
