// printf-style formatting into std::string, and whole reads and writes on
// descriptors, for the C++ code above the runtime layer.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <sys/types.h>

std::string gen_vformat(const char* format, va_list args);
std::string gen_format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// One diagnostic line as gen_default_domessage prints it ("prog: level: text",
// the errno text for levels above 100, a final newline), counted by level.
std::string gen_format_message(int level, const char* format, va_list args);

// Writes all n bytes, retrying after signals; false on a short write.
bool gen_write_all(int fd, const char* data, int64_t n);
// One read, retried after signals; the count, 0 at the end, -1 on error.
ssize_t gen_read_some(int fd, char* buf, size_t n);
