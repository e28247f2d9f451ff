// Searching a file: the line-level entries and the scans over the lines of
// a file, forward and backward.
#include "windlib/file/filesearch.h"

#include <algorithm>
#include <climits>

#include "windlib/file/file.h"
#include "windlib/file/filesearchscan.h"
#include "windlib/file/srchmatch.h"

FileSrchLines::FileSrchLines(File* f, Line* first) : f_(f), first_(first) {}

bool FileSrchLines::get(int32_t k, std::string_view* text) {
  if (k < 0 || !first_) return false;
  if (k == 0 && copies_.empty()) {
    *text = std::string_view(FileLineText(f_, first_), static_cast<size_t>(first_->len));
    return true;
  }
  // Reading another line may move the cache window under line 0, so from
  // now on every line is read from a copy.
  if (copies_.empty()) {
    copies_.push_back(
        std::make_unique<std::string>(FileLineText(f_, first_), static_cast<size_t>(first_->len)));
    last_ = first_;
  }
  while (copies_.size() <= static_cast<size_t>(k)) {
    Line* next = last_->next;
    if (!next) return false;
    copies_.push_back(
        std::make_unique<std::string>(FileLineText(f_, next), static_cast<size_t>(next->len)));
    last_ = next;
  }
  *text = *copies_[static_cast<size_t>(k)];
  return true;
}

bool SrchProgress::add(int64_t n, Line** next, int32_t nextNo) {
  scanned += n;
  if (scanned <= f->cacheAlloc) return false;
  scanned = 0;
  if (!abort || !abort->poll) return false;
  uint32_t epoch = f->lineEpoch;
  if (abort->poll(abort->arg)) return true;
  if (f->lineEpoch != epoch) *next = FileLine(f, nextNo, nullptr, 0);
  return false;
}

int64_t SrchProgress::room() const {
  return std::max<int64_t>(f->cacheAlloc - scanned + 1, 1);
}

namespace {

bool in_window(File* f, Line* l) {
  return f->cacheBase >= 0 && l->text.offset >= f->cacheBase &&
         l->text.offset + l->len <= f->cacheBase + f->cacheLen;
}

// A run of lines that lie one after another inside the cache window, at
// most `limit` bytes from the first, is scanned as one block; each place
// found is checked on the line it falls in.
int scan_block(File* f, const SrchPattern& p, Line* l, int32_t lineNo, int32_t col, int64_t limit,
               Line** last, SrchHit* hit) {
  FileLineText(f, l);  // the window holds l from here on
  const int64_t base = f->cacheBase;
  const int64_t wend = std::min(base + f->cacheLen, l->text.offset + limit);
  Line* r = l;
  while (r->next && LineInFile(r->next) && r->next->text.offset >= r->text.offset + r->len &&
         r->next->text.offset + r->next->len <= wend)
    r = r->next;
  *last = r;
  const int64_t m = static_cast<int64_t>(p.text.size());
  const int64_t to = r->text.offset + r->len;
  int64_t at = l->text.offset + std::min(col, l->len);
  Line* w = l;
  int32_t wNo = lineNo;
  while (at + m <= to) {
    const char* h =
        SrchScanPlain(f->cache + (at - base), static_cast<size_t>(to - at), p.text, p.fold);
    if (!h) break;
    const int64_t ho = (h - f->cache) + base;
    while (w != r && w->next->text.offset <= ho) {
      w = w->next;
      ++wNo;
    }
    const int64_t wstart = w->text.offset;
    if (ho < wstart || ho + m > wstart + w->len) {
      at = ho + 1;  // across a line end
      continue;
    }
    SrchOneLine one(std::string_view(f->cache + (wstart - base), static_cast<size_t>(w->len)));
    SrchEnd e;
    int32_t c = SrchFindInLine(p, one, static_cast<int32_t>(ho - wstart), true, &e);
    if (c >= 0) {
      *hit = SrchHit{w, wNo, c, e};
      return 1;
    }
    if (w == r) break;
    at = w->next->text.offset;
  }
  return 0;
}

// The general matcher on one line of the file.
bool find_in_line(File* f, Line* l, int32_t lineNo, int32_t col, bool forward, const SrchPattern& p,
                  SrchHit* hit) {
  FileSrchLines src(f, l);
  SrchEnd e;
  int32_t c = SrchFindInLine(p, src, col, forward, &e);
  if (c < 0) return false;
  *hit = SrchHit{l, lineNo, c, e};
  return true;
}

}  // namespace

int SrchScanForward(File* f, Line* l, int32_t lineNo, int32_t col, const SrchPattern& p,
                    SrchProgress* progress, SrchHit* hit) {
  const bool fast = p.mode == SrchPattern::kPlain && !p.hasLineBreak && !p.text.empty();
  // Blocks start small, so that finding many matches close together (as
  // replacing all does) does not walk far ahead each time, and grow while
  // nothing is found.
  int64_t limit = 256;
  while (l) {
    Line* last = l;
    int32_t count = 1;
    int64_t scanned = l->len + 1;
    if (fast && LineInFile(l) && f->tempName) {
      // A block ends where the next check for an abort is due.
      if (scan_block(f, p, l, lineNo, col, std::min(limit, progress->room()), &last, hit)) return 1;
      if (limit < f->cacheAlloc) limit *= 2;
      for (Line* x = l; x != last; x = x->next) ++count;
      scanned = last->text.offset + last->len - l->text.offset + 1;
    } else if (find_in_line(f, l, lineNo, col, true, p, hit)) {
      return 1;
    }
    Line* next = last->next;
    lineNo += count;
    col = 0;
    if (progress->add(scanned, &next, lineNo)) return -1;
    l = next;
  }
  return 0;
}

int SrchScanBackward(File* f, Line* l, int32_t lineNo, int32_t col, const SrchPattern& p,
                     SrchProgress* progress, SrchHit* hit) {
  while (l) {
    if (col >= 0) {
      // Going backward, the window is filled so that it ends at the line.
      if (LineInFile(l) && f->tempName && !in_window(f, l)) FileCache(f, l, -1, 1);
      if (find_in_line(f, l, lineNo, col, false, p, hit)) return 1;
    }
    Line* prev = l->prev;
    int64_t scanned = l->len + 1;
    --lineNo;
    col = INT32_MAX;
    if (progress->add(scanned, &prev, lineNo)) return -1;
    l = prev;
  }
  return 0;
}

int SrchCompileReported(const char* pattern, int32_t length, int flags, SrchPattern* p) {
  if (SrchCompile(pattern, length, flags, p) == 1) return 1;
  FileError("%s", kSrchNoOpenMessage);
  return kSrchMalformed;
}

int FileFind(File* f, Line* hint, int32_t hintNo, int32_t* line, int32_t* col, int32_t* endLine,
             int32_t* endCol, int direction, bool from_edge, const char* pattern, int32_t length,
             int flags, const SrchAbort* abort) {
  SrchPattern p;
  if (SrchCompileReported(pattern, length, flags, &p) != 1) return -1;
  SrchHit hit;
  int r = SrchFileFind(f, hint, hintNo, *line, *col, direction, from_edge, p, length, abort, &hit);
  if (r != 1) return r;
  *line = hit.lineNo;
  *col = hit.col;
  *endLine = hit.lineNo + hit.end.lines;
  *endCol = hit.end.col;
  return 1;
}

int SrchFileFind(File* f, Line* hint, int32_t hintNo, int32_t line, int32_t col, int direction,
                 bool from_edge, const SrchPattern& p, int32_t length, const SrchAbort* abort,
                 SrchHit* hit) {
  if (!f->first || f->nLines < 1) return 0;
  if (direction > 0) {
    if (from_edge || line < 1) line = 1, col = 0;
    if (line > f->nLines) return 0;
    Line* l = FileLine(f, line, hint, hintNo);
    if (!l) return 0;
    SrchProgress progress{f, abort};
    return SrchScanForward(f, l, line, std::max(col, 0), p, &progress, hit);
  }
  Line* l;
  if (from_edge || line > f->nLines) {
    line = f->nLines;
    col = INT32_MAX;  // from the end of the last line
    l = f->last;
  } else {
    if (line < 1) return 0;
    l = FileLine(f, line, hint, hintNo);
    if (!l) return 0;
    // The first candidate is where a match of the pattern's length would
    // end just after the start column.
    const int64_t first = static_cast<int64_t>(col) - std::max(length, 0) + 1;
    col = first < 0 ? -1 : static_cast<int32_t>(std::min<int64_t>(first, INT32_MAX));
  }
  SrchProgress progress{f, abort};
  return SrchScanBackward(f, l, line, col, p, &progress, hit);
}

int FMatchesHere(File* f, Line* line, int32_t col, const char* pattern, int32_t length,
                 int32_t* linesSpanned, int32_t* end, int flags) {
  SrchPattern p;
  if (SrchCompileReported(pattern, length, flags, &p) != 1) return kSrchMalformed;
  if (!line) return kSrchNone;
  FileSrchLines src(f, line);
  SrchEnd e;
  int32_t c = SrchFindInLine(p, src, std::max(col, 0), true, &e);
  if (c < 0) return kSrchNone;
  *linesSpanned = e.lines;
  *end = e.col;
  return c;
}

int BMatchesHere(File* f, Line* line, int32_t col, const char* pattern, int32_t length,
                 int32_t* linesSpanned, int32_t* end, int flags) {
  SrchPattern p;
  if (SrchCompileReported(pattern, length, flags, &p) != 1) return kSrchMalformed;
  if (!line || col < 0) return kSrchNone;
  FileSrchLines src(f, line);
  SrchEnd e;
  int32_t c = SrchFindInLine(p, src, col, false, &e);
  if (c < 0) return kSrchNone;
  *linesSpanned = e.lines;
  *end = e.col;
  return c;
}
