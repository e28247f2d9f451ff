#include "windlib/file/lineends.h"

#include <cstring>

int64_t LineEndConverter::Convert(char* data, int64_t n) {
  int64_t i = 0, out = 0;
  if (held_cr_) {
    held_cr_ = false;
    if (n > 0 && data[0] == '\n') {
      crlfEnds++;
      i = out = 1;  // the LF ends the line; the held CR is dropped
    } else {
      emit_cr_ = true;  // the held CR is an ordinary character
    }
  }
  // Here i == out: nothing has moved yet.
  if (!std::memchr(data + i, '\r', static_cast<size_t>(n - i))) return n;
  for (; i < n; ++i) {
    char c = data[i];
    if (c == '\r') {
      if (i + 1 == n) {
        held_cr_ = true;
        continue;
      }
      if (data[i + 1] == '\n') {
        crlfEnds++;
        data[out++] = '\n';
        ++i;
        continue;
      }
    }
    data[out++] = c;
  }
  return out;
}
