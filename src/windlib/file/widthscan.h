// Finding the bytes that matter for line splitting and display width: line
// ends, tabs and other control bytes (all below 0x20).
#pragma once

#include <cstdint>

// The first byte below 0x20 in [p, end), or end.
const char* FindControlByte(const char* p, const char* end);
// The first byte below 0x20 or above 0x7f in [p, end), or end: where text
// read as UTF-8 stops being one cell per byte.
const char* FindSpecialByte(const char* p, const char* end);
