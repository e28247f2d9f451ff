// Writes into line text. Every writer first asserts that the line has its
// own buffer.
#include <cstring>

#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"

#define ASSERT_INSTANTIATED(line) \
  __Assert((line)->allocLen != lnInFile, "line->allocLen!=lnInFile", __FILE__, __LINE__, 0)

void LineGrow(Line* line, int32_t n) {
  ASSERT_INSTANTIATED(line);
  line->allocLen += n;
  line->text.buf = static_cast<char*>(gen_realloc(line->text.buf, line->allocLen + 1));
}

void LineReserve(Line* line, int32_t new_len) {
  ASSERT_INSTANTIATED(line);
  // Growth is proportional, so that a line typed character by character is
  // not copied over and over.
  if (new_len >= line->allocLen) LineGrow(line, new_len + kLineSpare + new_len / 4 - line->allocLen);
}

void LineChange(Line* line, int32_t from, int32_t to, const char* text, int32_t n) {
  ASSERT_INSTANTIATED(line);
  if (from > line->len) from = line->len;
  if (to > line->len) to = line->len;
  if (from < 0) from = 0;
  if (to < from) to = from;
  int32_t new_len = line->len - (to - from) + n;
  LineReserve(line, new_len);
  char* buf = line->text.buf;
  std::memmove(buf + from + n, buf + to, static_cast<size_t>(line->len - to));
  if (n > 0) std::memcpy(buf + from, text, static_cast<size_t>(n));
  line->len = new_len;
  buf[new_len] = 0;
}

void FileMergeLines(File* f, Line* line) {
  Line* next = line->next;
  if (!next) return;
  FileInstanciateLine(f, line);
  // The next line's text may come from the cache window, which the change
  // below does not move.
  const char* text = FileLineText(f, next);
  LineChange(line, line->len, line->len, text, next->len);
  FileRemove(f, next);
}
