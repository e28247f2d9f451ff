// Leading white space of lines: measuring and rewriting it.
#pragma once

#include <cstdint>

struct Line;

// The column after the leading blanks and tabs of *text, advancing *text
// past them. A tab moves to the next multiple of tabsize (0 counts as 1).
int32_t GetCurrentIndent(const char** text, const char* end, int tabsize);
// Sets the indentation of an instantiated line to its current column plus
// delta (never below 0): tabs then blanks when tabs are allowed and tabs are
// not turned into spaces, else blanks only. The rest of the line is kept.
void LineIndent(Line* line, int32_t delta, bool tabs_allowed, int tabsize);
