#include "windlib/file/bufwriter.h"

#include "shared/indgen/strformat.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

void bufinit(_file_buffer* b, int fd) {
  b->count = 0;
  b->fd = fd;
  b->capacity = static_cast<int32_t>(sizeof b->buf);
  b->total = 0;
}

bool bufwrite(_file_buffer* b, const char* data, int64_t n) {
  while (n > 0) {
    int64_t room = b->capacity - b->count;
    int64_t take = n < room ? n : room;
    std::memcpy(b->buf + b->count, data, static_cast<size_t>(take));
    b->count += static_cast<int32_t>(take);
    data += take;
    n -= take;
    if (b->count == b->capacity && !bufflush(b)) return false;
  }
  return true;
}

bool bufflush(_file_buffer* b) {
  if (b->count == 0) return true;
  bool ok = gen_write_all(b->fd, b->buf, b->count);
  if (ok) b->total += b->count;
  b->count = 0;
  return ok;
}

bool bufclose(_file_buffer* b) {
  bool ok = bufflush(b);
  if (close(b->fd) != 0) ok = false;
  b->fd = -1;
  return ok;
}
