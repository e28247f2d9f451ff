// Text geometry: how the bytes of a line take display cells. A tab advances
// to the next tab stop, a control byte is drawn as two cells ("^A", DEL as
// "^?"). Read as UTF-8, a valid sequence is one character of one cell, two
// for East Asian wide and fullwidth characters, none for combining marks;
// a byte of an invalid or truncated sequence is one escaped cell. Read as
// bytes, every other byte takes one cell. Every conversion between byte
// columns and display columns, every line width, every step over a
// character and the cells a view draws come from here, so that one rule
// holds everywhere. The text itself is never changed by how it is read.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "windlib/file/coord.h"
#include "windlib/file/widthscan.h"

// Which bytes take two cells as escapes.
enum class GeomEscapes : uint8_t {
  kNone,        // none: every byte but a tab takes one cell
  kControl,     // bytes below 0x20 (DEL takes one cell)
  kControlDel,  // bytes below 0x20 and DEL: as lines are drawn
};

struct File;

// A way of counting cells. Callers take one of the named rules below.
struct GeomRule {
  int32_t tabsize = 8;  // cells from one tab stop to the next; 0 and below count as 1
  GeomEscapes escapes = GeomEscapes::kControlDel;
  bool utf8 = false;  // valid UTF-8 sequences are characters; else every byte is one
};

// Whether the text of `f` is read as UTF-8: the "utf8" option is on and the
// file was not opened as bytes (null: the option alone).
bool GeomFileUtf8(const File* f);

// How lines are drawn: the configured tab size (0 counts as 1), control
// bytes and DEL as escapes. Caret columns, clicks and indentation use it.
GeomRule GeomDisplayRule(const File* f);
// How the line store counts the width it keeps for the horizontal scroll
// range: escapes for bytes below 0x20 only, and counting from
// kGeomStoreOrigin rather than from 0.
GeomRule GeomStoreRule(const File* f);
constexpr DisplayCol kGeomStoreOrigin{1};
// Columns counted with tabs expanded and every other character as one or
// two cells (FileLineCols, rectangles).
GeomRule GeomTabsOnlyRule(const File* f);
// The same for text of no file (messages, clipboard text): UTF-8 as the
// option says.
GeomRule GeomDisplayRule();
GeomRule GeomStoreRule();
GeomRule GeomTabsOnlyRule();

// ---- Characters ---------------------------------------------------------------

// A byte that is not part of a valid UTF-8 sequence.
constexpr char32_t kGeomBadByte = 0xFFFFFFFF;
// The glyph an invalid byte or a C1 control character is drawn as.
constexpr char32_t kGeomReplacement = 0xFFFD;

// One character: its bytes and the cells it takes outside tabs and escapes.
struct GeomChar {
  int32_t len = 1;    // bytes: 1 to 4
  int32_t cells = 1;  // 0 (combining), 1, or 2 (wide)
  char32_t code = 0;  // the code point, or kGeomBadByte
  bool valid() const { return code != kGeomBadByte; }
};

// The cells code point `c` takes: 0 for combining marks and format
// characters, 2 for East Asian wide and fullwidth ones, else 1.
int32_t GeomCodeCells(char32_t c);

// Decodes the UTF-8 sequence at p (p < end). Overlong forms, surrogates,
// code points past U+10FFFF and sequences cut by `end` are invalid: the
// result is then the one byte at p, kGeomBadByte, one cell.
GeomChar GeomDecodeUtf8(const char* p, const char* end);
// The same, with the valid two-byte characters below U+0300 (Latin letters
// with accents, one cell each) decoded inline, for loops over drawn text.
inline GeomChar GeomDecodeUtf8Quick(const char* p, const char* end) {
  const auto c = static_cast<unsigned char>(p[0]);
  if (c >= 0xC2 && c < 0xCC && end - p >= 2 && (static_cast<unsigned char>(p[1]) & 0xC0) == 0x80)
    return GeomChar{2, 1, static_cast<char32_t>(((c & 0x1F) << 6) | (p[1] & 0x3F))};
  return GeomDecodeUtf8(p, end);
}

// The character at p under rule r (p < end): a byte as itself when r reads
// bytes, or when it is below 0x80.
inline GeomChar GeomCharAt(const char* p, const char* end, const GeomRule& r) {
  const unsigned char c = static_cast<unsigned char>(*p);
  if (c < 0x80 || !r.utf8) return GeomChar{1, 1, c};
  return GeomDecodeUtf8(p, end);
}

// How many bytes at the end of [p, end) start a sequence that `end` cuts
// short (0 to 3): a reader of a text in pieces keeps them for the next.
int32_t GeomCutSequence(const char* p, const char* end);

// True when [p, end) is valid UTF-8, a sequence cut short by `end` allowed.
bool GeomValidUtf8(const char* p, const char* end);

// Steps over whole characters of a line of `len` bytes: the byte offset
// after the character at `byte`, and the one at which the character before
// `byte` starts. A combining mark goes with the character before it. Byte
// offsets outside the line step by one.
int32_t GeomNextChar(const char* text, int32_t len, int32_t byte, const GeomRule& r);
int32_t GeomPrevChar(const char* text, int32_t len, int32_t byte, const GeomRule& r);
// The start of the character that holds `byte` (byte itself on a boundary).
int32_t GeomCharStart(const char* text, int32_t len, int32_t byte, const GeomRule& r);

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

// The column after byte c drawn at column `at`, c read as a byte.
inline DisplayCol GeomAdvance(DisplayCol at, unsigned char c, const GeomRule& r) {
  if (c == '\t') return GeomNextTabStop(at, r.tabsize);
  return GeomAddCells(at, GeomIsEscape(c, r) ? 2 : 1);
}

// The column after the character at p (p < end) drawn at column `at`; its
// length in bytes goes to *len.
inline DisplayCol GeomAdvanceChar(DisplayCol at, const char* p, const char* end, const GeomRule& r,
                                  int32_t* len) {
  const unsigned char c = static_cast<unsigned char>(*p);
  if (c < 0x80 || !r.utf8) {
    *len = 1;
    return GeomAdvance(at, c, r);
  }
  const GeomChar ch = GeomDecodeUtf8(p, end);
  *len = ch.len;
  return GeomAddCells(at, ch.cells);
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

// Cells taken by the bytes [p, q), none of them below 0x20 (nor, under a
// UTF-8 rule, above 0x7f).
inline int64_t GeomRunCells(const char* p, const char* q, const GeomRule& r) {
  int64_t n = q - p;
  if (r.escapes == GeomEscapes::kControlDel) n += std::count(p, q, '\x7f');
  return n;
}

// As GeomWidthFrom over [p, end) but stopping at the first byte `stop`
// (which must be below 0x20); *stopped is where it stopped (end when the
// byte was not found). The load path splits lines and measures them in one
// pass with it, so it is inline: runs of printable ASCII are counted whole.
inline DisplayCol GeomWidthUntil(DisplayCol at, const char* p, const char* end, char stop,
                                 const char** stopped, const GeomRule& r) {
  while (p < end) {
    const char* q = r.utf8 ? FindSpecialByte(p, end) : FindControlByte(p, end);
    at = GeomAddCells(at, GeomRunCells(p, q, r));
    if (q == end || *q == stop) {
      *stopped = q;
      return at;
    }
    int32_t n;
    at = GeomAdvanceChar(at, q, end, r, &n);
    p = q + n;
  }
  *stopped = end;
  return at;
}

// The cells of a line for drawing.
enum class GeomCellKind : uint8_t { kText, kTab, kEscape };
struct GeomCells {
  std::string glyphs;               // UTF-8: what the cells show, in order
  std::vector<int32_t> source;      // the byte offset each cell shows
  std::vector<GeomCellKind> kinds;  // what each cell shows
  // Where each cell's glyphs begin in `glyphs`. The second cell of a wide
  // character begins where the character ends; a combining mark belongs to
  // the cell before it.
  std::vector<int32_t> glyphStart;
  int32_t count() const { return static_cast<int32_t>(source.size()); }
  // The glyphs of the cells [from, to).
  std::string_view Glyphs(int32_t from, int32_t to) const;
};
// Fills `out` with the cells of a line from column 0 to its end, or to
// `limit`: an escape or a wide character that reaches past the limit is kept
// whole, a tab is cut there. A tab shows blanks, a control byte '^' and a
// letter, an invalid byte or a C1 control kGeomReplacement (kEscape cells),
// a byte above 0x7f read as a byte its Latin-1 character.
void GeomLineCells(const char* text, int32_t len, DisplayCol limit, const GeomRule& r,
                   GeomCells* out);

// The cells taken by glyphs as GeomCells holds them (UTF-8; a byte that is
// not valid UTF-8 counts one cell).
int32_t GeomGlyphCells(std::string_view glyphs);
// Appends the UTF-8 encoding of code point c.
void GeomAppendUtf8(char32_t c, std::string* out);

// The leading blanks and tabs of a line: the column after them, with the
// number of their bytes in *bytes when asked.
DisplayCol GeomIndentOf(const char* text, int32_t len, const GeomRule& r, int32_t* bytes = nullptr);
// The indentation text that reaches column `col`: as many tabs as fit at
// `tabsize`, then blanks; blanks only when tabsize is 0 or below.
std::string GeomIndentText(DisplayCol col, int32_t tabsize);
