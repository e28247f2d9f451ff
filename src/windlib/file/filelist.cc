// Operations on a file's doubly linked line list.
#include <cstring>

#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"

void _FileAppendL(File* f, Line* line) {
  line->next = nullptr;
  line->prev = f->last;
  if (f->last) f->last->next = line;
  else f->first = line;
  f->last = line;
  f->nLines++;
  // A language computes the syntax state of the new line here; plain text
  // keeps the null state.
  line->synState = 0;
}

void FileAppendL(File* f, Line* line) {
  _FileAppendL(f, line);
  FileSetMaxW(f, line);
}

void _FileInsertL(File* f, Line* before, Line* line) {
  if (!before) {
    _FileAppendL(f, line);
    return;
  }
  line->next = before;
  line->prev = before->prev;
  if (before->prev) before->prev->next = line;
  else f->first = line;
  before->prev = line;
  f->nLines++;
  line->synState = 0;
}

void FileInsertL(File* f, Line* before, Line* line) {
  _FileInsertL(f, before, line);
  FileSetMaxW(f, line);
}

Line* _FileAppendO(File* f, int64_t offset, int32_t len) {
  Line* l = LineFAlloc(offset, len);
  _FileAppendL(f, l);
  return l;
}

Line* FileAppendO(File* f, int64_t offset, int32_t len) {
  Line* l = _FileAppendO(f, offset, len);
  FileSetMaxW(f, l);
  return l;
}

Line* _FileInsertO(File* f, Line* before, int64_t offset, int32_t len) {
  Line* l = LineFAlloc(offset, len);
  _FileInsertL(f, before, l);
  return l;
}

Line* FileInsertO(File* f, Line* before, int64_t offset, int32_t len) {
  Line* l = _FileInsertO(f, before, offset, len);
  FileSetMaxW(f, l);
  return l;
}

Line* FileAppendS(File* f, const char* text, int32_t len) {
  Line* l = LineFAllocS(text, len);
  FileAppendL(f, l);
  return l;
}

Line* FileInsertS(File* f, Line* before, const char* text, int32_t len) {
  Line* l = LineFAllocS(text, len);
  FileInsertL(f, before, l);
  return l;
}

void FileAppendStrings(File* f, const char* text, long len) {
  long at = 0;
  while (at < len) {
    const void* nl = std::memchr(text + at, '\n', static_cast<size_t>(len - at));
    long end = nl ? static_cast<const char*>(nl) - text : len;
    _FileAppendL(f, LineFAllocS(text + at, static_cast<int32_t>(end - at)));
    at = end + 1;
  }
  FileFindMaxWidth(f);
}

void FileRemove(File* f, Line* line) {
  f->lineEpoch++;
  if (line->prev) line->prev->next = line->next;
  else f->first = line->next;
  if (line->next) line->next->prev = line->prev;
  else f->last = line->prev;
  f->nLines--;
  LineFree(line);
}

void FileInstanciateLine(File* f, Line* line) {
  if (!LineInFile(line)) return;
  LineAdoptBuffer(line, LineNewBuffer(FileLineText(f, line), line->len), line->len);
}

const char* FileLineText(File* f, Line* line) {
  if (!LineInFile(line)) return line->text.buf;
  int64_t off = line->text.offset;
  if (f->cacheBase < 0 || off < f->cacheBase ||
      off + line->len > f->cacheBase + f->cacheLen) {
    FileCache(f, line, 1, 1);
  }
  return f->cache + (off - f->cacheBase);
}

void LineResetO(File* f, Line* line, int64_t offset, int32_t len, int32_t lineNo) {
  (void)f;
  (void)lineNo;
  if (!LineInFile(line)) gen_free(line->text.buf);
  line->allocLen = lnInFile;
  line->text.offset = offset;
  line->len = len;
  // The language recomputes the line's syntax state here.
}
