// Finding the bytes that matter for line splitting and display width: line
// ends, tabs and other control bytes (all below 0x20).
#pragma once

#include <cstdint>

// The first byte below 0x20 in [p, end), or end.
const char* FindControlByte(const char* p, const char* end);
