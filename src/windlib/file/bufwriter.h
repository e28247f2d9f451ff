// Buffered writer: collects bytes in an 8192-byte buffer and writes whole
// buffers, so that the writes to disk are aligned.
#pragma once

#include <cstdint>

struct _file_buffer {
  int32_t count;     // bytes waiting
  int fd;
  int32_t capacity;  // 8192
  int64_t total;     // bytes written so far
  char buf[8192];
};

void bufinit(_file_buffer* b, int fd);
// Each returns false when a write is short.
bool bufwrite(_file_buffer* b, const char* data, int64_t n);
bool bufflush(_file_buffer* b);
bool bufclose(_file_buffer* b);
