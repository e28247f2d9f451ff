#include "shared/indgen/strformat.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

std::string gen_vformat(const char* format, va_list args) {
  if (!format) return {};
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n <= 0) return {};
  std::string text(static_cast<size_t>(n), '\0');
  vsnprintf(text.data(), static_cast<size_t>(n) + 1, format, args);
  return text;
}

std::string gen_format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = gen_vformat(format, args);
  va_end(args);
  return text;
}

bool gen_write_all(int fd, const char* data, int64_t n) {
  while (n > 0) {
    ssize_t w = write(fd, data, static_cast<size_t>(n));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    data += w;
    n -= w;
  }
  return true;
}

ssize_t gen_read_some(int fd, char* buf, size_t n) {
  ssize_t r;
  do {
    r = read(fd, buf, n);
  } while (r < 0 && errno == EINTR);
  return r;
}
