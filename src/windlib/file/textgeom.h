// Text geometry: how the bytes of a line take display cells. A tab advances
// to the next tab stop, a control byte is drawn as two cells ("^A", DEL as
// "^?"), every other byte takes one cell. Every conversion between byte
// columns and display columns, every line width and the cells a view draws
// come from here, so that one rule holds everywhere.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "windlib/file/coord.h"
#include "windlib/file/widthscan.h"

// Which bytes take two cells as escapes.
enum class GeomEscapes : uint8_t {
  kNone,        // none: every byte but a tab takes one cell
  kControl,     // bytes below 0x20 (DEL takes one cell)
  kControlDel,  // bytes below 0x20 and DEL: as lines are drawn
};

// A way of counting cells. Callers take one of the named rules below.
struct GeomRule {
  int32_t tabsize = 8;  // cells from one tab stop to the next; 0 and below count as 1
  GeomEscapes escapes = GeomEscapes::kControlDel;
};

// How lines are drawn: the configured tab size (0 counts as 1), control
// bytes and DEL as escapes. Caret columns, clicks and indentation use it.
GeomRule GeomDisplayRule();
// How the line store counts the width it keeps for the horizontal scroll
// range: escapes for bytes below 0x20 only, and counting from
// kGeomStoreOrigin rather than from 0.
GeomRule GeomStoreRule();
constexpr DisplayCol kGeomStoreOrigin{1};
// Columns counted with tabs expanded and every other byte as one cell
// (FileLineCols).
GeomRule GeomTabsOnlyRule();

// True when byte c is drawn as a two-cell escape under rule r.
inline bool GeomIsEscape(unsigned char c, const GeomRule& r) {
  if (c == '\t') return false;
  if (c < 0x20) return r.escapes != GeomEscapes::kNone;
  return c == 0x7f && r.escapes == GeomEscapes::kControlDel;
}

// The tab stop after column `at` (columns stop at INT32_MAX).
inline DisplayCol GeomNextTabStop(DisplayCol at, int32_t tabsize) {
  const int32_t tab = tabsize > 0 ? tabsize : 1;
  const int64_t stop = static_cast<int64_t>(at.v / tab + 1) * tab;
  return DisplayCol(stop > INT32_MAX ? INT32_MAX : static_cast<int32_t>(stop));
}

// Adds n cells to a column (columns stop at INT32_MAX).
inline DisplayCol GeomAddCells(DisplayCol at, int64_t n) {
  const int64_t v = static_cast<int64_t>(at.v) + n;
  return DisplayCol(v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v));
}

// The column after byte c drawn at column `at`.
inline DisplayCol GeomAdvance(DisplayCol at, unsigned char c, const GeomRule& r) {
  if (c == '\t') return GeomNextTabStop(at, r.tabsize);
  return GeomAddCells(at, GeomIsEscape(c, r) ? 2 : 1);
}

// The display column at which byte `byte` of a line of `len` bytes starts.
// Bytes beyond the end count one cell each (positions past the line end).
DisplayCol GeomColumnOf(const char* text, int32_t len, int32_t byte, const GeomRule& r);

// Where a display column falls inside a cell that is more than one cell
// wide (a tab, an escape): which byte offset it stands for.
enum class GeomSide : uint8_t {
  kLeft,     // the byte the cell shows (the column snaps to the cell's start)
  kRight,    // after that byte, unless the column is the cell's first
  kNearest,  // the nearer edge of the cell; the right half goes after it
};
// The byte offset at display column `col`: 0 for columns before the line,
// `len` for columns at or past its end.
int32_t GeomByteAt(const char* text, int32_t len, DisplayCol col, GeomSide side, const GeomRule& r);

// The column after `n` more bytes of a line drawn from column `at`, counting
// runs of one-cell bytes together (lines loaded in pieces are measured piece
// by piece). The width of a line is GeomWidthFrom(origin, text, len, rule).
DisplayCol GeomWidthFrom(DisplayCol at, const char* text, int64_t n, const GeomRule& r);

// Cells taken by the bytes [p, q), none of them below 0x20.
inline int64_t GeomRunCells(const char* p, const char* q, const GeomRule& r) {
  int64_t n = q - p;
  if (r.escapes == GeomEscapes::kControlDel) n += std::count(p, q, '\x7f');
  return n;
}

// As GeomWidthFrom over [p, end) but stopping at the first byte `stop`
// (which must be below 0x20); *stopped is where it stopped (end when the
// byte was not found). The load path splits lines and measures them in one
// pass with it, so it is inline.
inline DisplayCol GeomWidthUntil(DisplayCol at, const char* p, const char* end, char stop,
                                 const char** stopped, const GeomRule& r) {
  while (p < end) {
    const char* q = FindControlByte(p, end);
    at = GeomAddCells(at, GeomRunCells(p, q, r));
    if (q == end || *q == stop) {
      *stopped = q;
      return at;
    }
    at = GeomAdvance(at, static_cast<unsigned char>(*q), r);
    p = q + 1;
  }
  *stopped = end;
  return at;
}

// The cells of a line for drawing.
enum class GeomCellKind : uint8_t { kText, kTab, kEscape };
struct GeomCells {
  std::string glyphs;               // one byte per cell: the byte, a blank, '^' and a letter
  std::vector<int32_t> source;      // the byte offset each cell shows
  std::vector<GeomCellKind> kinds;  // what each cell shows
  int32_t count() const { return static_cast<int32_t>(glyphs.size()); }
};
// Fills `out` with the cells of a line from column 0 to its end, or to
// `limit`: an escape that reaches past the limit is kept whole, a tab is cut
// there.
void GeomLineCells(const char* text, int32_t len, DisplayCol limit, const GeomRule& r,
                   GeomCells* out);

// The leading blanks and tabs of a line: the column after them, with the
// number of their bytes in *bytes when asked.
DisplayCol GeomIndentOf(const char* text, int32_t len, const GeomRule& r, int32_t* bytes = nullptr);
// The indentation text that reaches column `col`: as many tabs as fit at
// `tabsize`, then blanks; blanks only when tabsize is 0 or below.
std::string GeomIndentText(DisplayCol col, int32_t tabsize);
