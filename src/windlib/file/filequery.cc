// Line lookup by number, line numbers, columns and widths.
#include "windlib/file/file.h"
#include "windlib/file/textgeom.h"

Line* FileLine(File* f, int32_t n, Line* hint, int32_t hintNo) {
  if (n > f->nLines) return nullptr;
  if (n < 1) return f->first;
  Line* fwd = f->first;
  int32_t fwdNo = 1;
  Line* bwd = f->last;
  int32_t bwdNo = f->nLines;
  if (hint && hintNo >= 1 && hintNo <= f->nLines) {
    if (hintNo <= n) {
      fwd = hint;
      fwdNo = hintNo;
    } else {
      bwd = hint;
      bwdNo = hintNo;
    }
  }
  if (n - fwdNo > bwdNo - n) {
    Line* l = bwd;
    for (int32_t i = bwdNo; i > n && l; --i) l = l->prev;
    return l;
  }
  Line* l = fwd;
  for (int32_t i = fwdNo; i < n && l; ++i) l = l->next;
  return l;
}

int32_t FileLineno(File* f, Line* line) {
  if (!line) return f->nLines + 1;
  int32_t n = 1;
  for (Line* l = f->first; l; l = l->next, ++n)
    if (l == line) return n;
  return -1;
}

namespace {
// Display column of character `c` in line number `lineNo`, counting every
// byte but a tab as one cell.
int32_t column_of(File* f, int32_t lineNo, int32_t c) {
  Line* l = FileLine(f, lineNo, nullptr, 0);
  if (!l || lineNo < 1) return c;
  return GeomColumnOf(FileLineText(f, l), l->len, c, GeomTabsOnlyRule(f)).v;
}
}  // namespace

void FileLineCols(File* f, int32_t l1, int32_t l2, int32_t* c1, int32_t* c2) {
  if (c1) *c1 = column_of(f, l1, *c1);
  if (c2) *c2 = column_of(f, l2, *c2);
}

void FileSetMaxW(File* f, Line* line) {
  const DisplayCol width =
      GeomWidthFrom(kGeomStoreOrigin, FileLineText(f, line), line->len, GeomStoreRule(f));
  if (width.v > f->maxWidth) f->maxWidth = width.v;
}

void FileFindMaxWidth(File* f) {
  f->maxWidth = 0;
  for (Line* l = f->first; l; l = l->next) FileSetMaxW(f, l);
}

int64_t FileCurrentSize(File* f) {
  int64_t size = 0;
  const int end = f->crlf ? 2 : 1;
  for (Line* l = f->first; l; l = l->next) size += l->len + end;
  return size;
}

void SelectionNormalize(int32_t* l1, int32_t* c1, int32_t* l2, int32_t* c2) {
  if (*l1 > *l2 || (*l1 == *l2 && *c1 > *c2)) {
    int32_t tl = *l1, tc = *c1;
    *l1 = *l2;
    *c1 = *c2;
    *l2 = tl;
    *c2 = tc;
  }
}
