// One line of a file: either `len` bytes at an offset in the file's
// temporary copy, or its own NUL-terminated heap buffer once changed.
#pragma once

#include <cstdint>

constexpr int32_t lnInFile = -1;

struct Line {
  union {
    char* buf;       // own buffer: allocLen bytes + NUL room, NUL at len
    int64_t offset;  // in-file: offset of the text in the temporary file
  } text;
  Line* prev;
  Line* next;
  int32_t len;       // characters without the line end
  int32_t allocLen;  // capacity of buf, or lnInFile
  uint32_t synState; // syntax state at the start of the line
  uint32_t extra;    // preprocessor state at the start of the line
};

inline bool LineInFile(const Line* l) { return l->allocLen == lnInFile; }

// Records come from a free list refilled 200 at a time and are never
// returned to the system.
Line* LineFAlloc(int64_t offset, int32_t len);
Line* LineFAllocS(const char* text, int32_t len);
void LineFree(Line* line);
void LinesFree(Line* first);
// An own buffer holding `len` bytes of text, a NUL and kLineSpare bytes of
// room to grow.
constexpr int32_t kLineSpare = 10;
char* LineNewBuffer(const char* text, int32_t len);
// Gives a record a buffer made by LineNewBuffer for `len` bytes, freeing
// the text it had; allocates nothing, so it cannot fail.
void LineAdoptBuffer(Line* line, char* buf, int32_t len);
// Adds n to the capacity of an own buffer.
void LineGrow(Line* line, int32_t n);
// Makes room in an own buffer for a text of new_len bytes, so that a change
// to that length allocates nothing.
void LineReserve(Line* line, int32_t new_len);
// Replaces characters [from, to) by n bytes of text; bounds clamp to len.
void LineChange(Line* line, int32_t from, int32_t to, const char* text, int32_t n);
// Number of records handed out and not freed (for tests and memory figures).
long LinesInUse();
