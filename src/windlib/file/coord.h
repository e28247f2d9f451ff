// Typed positions in text. A byte column counts bytes of a line; a display
// column counts cells on the screen after tabs and escapes are expanded. The
// two are different types so that one cannot be passed for the other; the
// text-geometry module converts between them.
#pragma once

#include <compare>
#include <cstdint>

// Cells from the start of a line (0 is the first cell).
struct DisplayCol {
  int32_t v = 0;
  constexpr DisplayCol() = default;
  constexpr explicit DisplayCol(int32_t value) : v(value) {}
  constexpr auto operator<=>(const DisplayCol&) const = default;
  constexpr DisplayCol operator+(int32_t n) const { return DisplayCol(v + n); }
  constexpr DisplayCol operator-(int32_t n) const { return DisplayCol(v - n); }
  constexpr int32_t operator-(DisplayCol o) const { return v - o.v; }
  constexpr DisplayCol& operator+=(int32_t n) { v += n; return *this; }
};

// A place in a file: line number (1 is the first line, nLines + 1 the end)
// and byte column within the line.
struct TextPos {
  int32_t line = 1;
  int32_t col = 0;
  constexpr auto operator<=>(const TextPos&) const = default;
};

// The text from `begin` up to, not including, `end`.
struct TextRange {
  TextPos begin;
  TextPos end;
  constexpr bool empty() const { return begin == end; }
  // The same range with begin <= end.
  constexpr TextRange normalized() const {
    return end < begin ? TextRange{end, begin} : *this;
  }
  constexpr bool contains(TextPos p) const {
    TextRange n = normalized();
    return n.begin <= p && p < n.end;
  }
};
