#include "windlib/file/textgeom.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/widthscan.h"

namespace {
int32_t configured_tabsize() {
  return cfgTabSize > 0 ? cfgTabSize : 1;
}

struct CharRange {
  char32_t first, last;
};
#include "windlib/file/charwidth_table.inc"

template <size_t N>
bool in_table(const CharRange (&table)[N], char32_t c) {
  const CharRange* it =
      std::upper_bound(std::begin(table), std::end(table), c,
                       [](char32_t v, const CharRange& r) { return v < r.first; });
  return it != std::begin(table) && c <= (it - 1)->last;
}

bool is_continuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// A code point drawn as an escape: the C1 controls.
bool is_c1(char32_t c) {
  return c >= 0x80 && c < 0xA0;
}

// The end of the run of printable ASCII (0x20 to 0x7e) at p. Short runs,
// as between the characters of text in other scripts, are scanned here;
// long ones by the vector scan.
const char* ascii_run_end(const char* p, const char* end) {
  const char* near = end - p > 8 ? p + 8 : end;
  for (; p < near; ++p)
    if (static_cast<unsigned char>(*p - 0x20) >= 0x5f) return p;
  if (p == end) return p;
  return std::find(p, FindSpecialByte(p, end), '\x7f');
}

// One cell showing glyphs that start at `glyph`.
void push_cell(GeomCells* out, int32_t source, int32_t glyph, GeomCellKind kind) {
  out->source.push_back(source);
  out->glyphStart.push_back(glyph);
  out->kinds.push_back(kind);
}

void append_cells(GeomCells* out, int32_t source, int32_t n, GeomCellKind kind) {
  out->source.insert(out->source.end(), static_cast<size_t>(n), source);
  out->kinds.insert(out->kinds.end(), static_cast<size_t>(n), kind);
}
}  // namespace

bool GeomFileUtf8(const File* f) {
  return vfUtf8 && !(f && f->byteMode);
}

GeomRule GeomDisplayRule(const File* f) {
  return GeomRule{configured_tabsize(), GeomEscapes::kControlDel, GeomFileUtf8(f)};
}
GeomRule GeomStoreRule(const File* f) {
  return GeomRule{configured_tabsize(), GeomEscapes::kControl, GeomFileUtf8(f)};
}
GeomRule GeomTabsOnlyRule(const File* f) {
  return GeomRule{configured_tabsize(), GeomEscapes::kNone, GeomFileUtf8(f)};
}
GeomRule GeomDisplayRule() {
  return GeomDisplayRule(nullptr);
}
GeomRule GeomStoreRule() {
  return GeomStoreRule(nullptr);
}
GeomRule GeomTabsOnlyRule() {
  return GeomTabsOnlyRule(nullptr);
}

namespace {
int32_t cells_from_tables(char32_t c) {
  if (in_table(kZeroWidth, c)) return 0;
  return in_table(kDoubleWidth, c) ? 2 : 1;
}

// The cells of every code point of the Basic Multilingual Plane, two bits
// each, filled from the tables once: drawing looks a character up directly.
class BmpCells {
 public:
  BmpCells() {
    for (char32_t c = 0; c < 0x10000; ++c)
      bits_[c / 4] |= static_cast<uint8_t>(cells_from_tables(c) << (c % 4 * 2));
  }
  int32_t operator()(char32_t c) const { return (bits_[c / 4] >> (c % 4 * 2)) & 3; }

 private:
  uint8_t bits_[0x10000 / 4] = {};
};
}  // namespace

int32_t GeomCodeCells(char32_t c) {
  if (c < 0x300) return 1;
  if (c < 0x10000) {
    static const BmpCells bmp;
    return bmp(c);
  }
  return cells_from_tables(c);
}

GeomChar GeomDecodeUtf8(const char* p, const char* end) {
  const GeomChar bad{1, 1, kGeomBadByte};
  const auto* s = reinterpret_cast<const unsigned char*>(p);
  const unsigned char c = s[0];
  if (c < 0x80) return GeomChar{1, 1, c};
  int32_t len;
  char32_t code;
  // The second byte's range excludes overlong forms, surrogates and code
  // points past U+10FFFF.
  unsigned char lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    code = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    code = c & 0x0F;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    code = c & 0x07;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return bad;
  }
  if (end - p < len) return bad;
  if (s[1] < lo || s[1] > hi) return bad;
  for (int32_t i = 1; i < len; ++i) {
    if (!is_continuation(s[i])) return bad;
    code = (code << 6) | (s[i] & 0x3F);
  }
  return GeomChar{len, GeomCodeCells(code), code};
}

int32_t GeomCutSequence(const char* p, const char* end) {
  // A cut sequence is a lead byte followed by fewer continuation bytes
  // than it announces, all of them in range so far.
  for (int32_t back = 1; back <= 3 && end - back >= p; ++back) {
    const unsigned char c = static_cast<unsigned char>(*(end - back));
    if (is_continuation(c)) continue;
    const int32_t need = c >= 0xC2 && c <= 0xDF   ? 2
                         : c >= 0xE0 && c <= 0xEF ? 3
                         : c >= 0xF0 && c <= 0xF4 ? 4
                                                  : 0;
    if (need <= back) return 0;
    // Complete the sequence with the smallest continuation bytes the
    // lead allows and see whether it holds.
    char probe[4];
    std::memcpy(probe, end - back, static_cast<size_t>(back));
    for (int32_t i = back; i < need; ++i) probe[i] = static_cast<char>(0x80);
    if (back == 1 && (c == 0xE0 || c == 0xF0))
      probe[1] = static_cast<char>(c == 0xE0 ? 0xA0 : 0x90);
    return GeomDecodeUtf8(probe, probe + need).valid() ? back : 0;
  }
  return 0;
}

bool GeomValidUtf8(const char* p, const char* end) {
  while (p < end) {
    const char* q = FindSpecialByte(p, end);
    if (q == end) return true;
    if (static_cast<unsigned char>(*q) < 0x80) {
      p = q + 1;
      continue;
    }
    const GeomChar ch = GeomDecodeUtf8(q, end);
    if (!ch.valid()) return GeomCutSequence(q, end) == end - q;
    p = q + ch.len;
  }
  return true;
}

int32_t GeomCharStart(const char* text, int32_t len, int32_t byte, const GeomRule& r) {
  if (!r.utf8 || byte <= 0 || byte >= len) return byte;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  if (!is_continuation(s[byte])) return byte;
  // The lead byte is at most three back; the sequence from it must be valid
  // and reach past `byte`.
  for (int32_t lead = byte - 1; lead >= 0 && lead >= byte - 3; --lead) {
    if (is_continuation(s[lead])) continue;
    const GeomChar ch = GeomDecodeUtf8(text + lead, text + len);
    return ch.valid() && lead + ch.len > byte ? lead : byte;
  }
  return byte;
}

int32_t GeomNextChar(const char* text, int32_t len, int32_t byte, const GeomRule& r) {
  if (byte < 0 || byte >= len) return byte + 1;
  if (!r.utf8) return byte + 1;
  int32_t at = GeomCharStart(text, len, byte, r);
  at += GeomCharAt(text + at, text + len, r).len;
  // Combining marks after it go with it.
  while (at < len && static_cast<unsigned char>(text[at]) >= 0x80) {
    const GeomChar ch = GeomDecodeUtf8(text + at, text + len);
    if (!ch.valid() || ch.cells != 0) break;
    at += ch.len;
  }
  return at;
}

int32_t GeomPrevChar(const char* text, int32_t len, int32_t byte, const GeomRule& r) {
  if (byte <= 0 || byte > len) return byte - 1;
  if (!r.utf8) return byte - 1;
  int32_t at = byte;
  while (at > 0) {
    at = GeomCharStart(text, len, at - 1, r);
    const GeomChar ch = GeomCharAt(text + at, text + len, r);
    // A combining mark goes with the character before it.
    if (!ch.valid() || ch.cells != 0 || ch.code < 0x80) break;
  }
  return at;
}

DisplayCol GeomColumnOf(const char* text, int32_t len, int32_t byte, const GeomRule& r) {
  if (byte <= 0) return DisplayCol(0);
  const int32_t in_line = std::min(byte, std::max(len, 0));
  // A byte inside a character stands at the character's column.
  const int32_t start = GeomCharStart(text, len, in_line, r);
  return GeomAddCells(GeomWidthFrom(DisplayCol(0), text, start, r), byte - in_line);
}

int32_t GeomByteAt(const char* text, int32_t len, DisplayCol col, GeomSide side,
                   const GeomRule& r) {
  if (col.v <= 0) return 0;
  DisplayCol at(0);
  for (int32_t i = 0; i < len;) {
    int32_t n;
    DisplayCol next = GeomAdvanceChar(at, text + i, text + len, r, &n);
    if (col < next) {
      // Combining marks after the character go with it.
      const int32_t after = r.utf8 ? GeomNextChar(text, len, i, r) : i + n;
      switch (side) {
        case GeomSide::kLeft:
          return i;
        case GeomSide::kRight:
          return col == at ? i : after;
        case GeomSide::kNearest:
          return (col - at) * 2 < (next - at) ? i : after;
      }
    }
    at = next;
    i += n;
  }
  return std::max(len, 0);
}

DisplayCol GeomWidthFrom(DisplayCol at, const char* text, int64_t n, const GeomRule& r) {
  const char* p = text;
  const char* end = text + std::max<int64_t>(n, 0);
  while (p < end) {
    const char* q = r.utf8 ? FindSpecialByte(p, end) : FindControlByte(p, end);
    at = GeomAddCells(at, GeomRunCells(p, q, r));
    if (q == end) break;
    int32_t len;
    at = GeomAdvanceChar(at, q, end, r, &len);
    p = q + len;
  }
  return at;
}

void GeomLineCells(const char* text, int32_t len, DisplayCol limit, const GeomRule& r,
                   GeomCells* out) {
  out->glyphs.clear();
  out->source.clear();
  out->kinds.clear();
  out->glyphStart.clear();
  auto glyph_cells = [out](int32_t n) {
    const int32_t at = static_cast<int32_t>(out->glyphs.size());
    out->glyphStart.insert(out->glyphStart.end(), static_cast<size_t>(n), at);
  };
  int32_t i = 0;
  while (i < len && out->count() < limit.v) {
    // A run of bytes that take one cell each is copied whole.
    const char* run_end = ascii_run_end(text + i, text + len);
    const int32_t n = std::min(static_cast<int32_t>(run_end - text) - i, limit.v - out->count());
    if (n > 0) {
      const int32_t g = static_cast<int32_t>(out->glyphs.size());
      out->glyphs.append(text + i, static_cast<size_t>(n));
      for (int32_t k = 0; k < n; ++k) {
        out->source.push_back(i + k);
        out->glyphStart.push_back(g + k);
      }
      out->kinds.insert(out->kinds.end(), static_cast<size_t>(n), GeomCellKind::kText);
      i += n;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\t') {
      // A tab is cut at the limit: a large tab size costs no more cells.
      const DisplayCol stop = std::min(GeomNextTabStop(DisplayCol(out->count()), r.tabsize), limit);
      const int32_t cells = stop.v - out->count();
      for (int32_t k = 0; k < cells; ++k) {
        glyph_cells(1);
        out->glyphs += ' ';
      }
      append_cells(out, i, cells, GeomCellKind::kTab);
    } else if (GeomIsEscape(c, r)) {
      glyph_cells(1);
      out->glyphs += '^';
      glyph_cells(1);
      out->glyphs += static_cast<char>(c == 0x7f ? '?' : c + 64);
      append_cells(out, i, 2, GeomCellKind::kEscape);
    } else if (c < 0x80 || !r.utf8) {
      // A byte read as a byte shows its Latin-1 character.
      glyph_cells(1);
      GeomAppendUtf8(c, &out->glyphs);
      append_cells(out, i, 1, GeomCellKind::kText);
    } else {
      const GeomChar ch = GeomDecodeUtf8(text + i, text + len);
      const int32_t g = static_cast<int32_t>(out->glyphs.size());
      if (!ch.valid() || is_c1(ch.code)) {
        push_cell(out, i, g, GeomCellKind::kEscape);
        GeomAppendUtf8(kGeomReplacement, &out->glyphs);
      } else {
        // A combining mark is drawn over the cell before it.
        out->glyphs.append(text + i, static_cast<size_t>(ch.len));
        if (ch.cells > 0) push_cell(out, i, g, GeomCellKind::kText);
        if (ch.cells == 2) push_cell(out, i, g + ch.len, GeomCellKind::kText);
      }
      i += ch.len;
      continue;
    }
    ++i;
  }
}

std::string_view GeomCells::Glyphs(int32_t from, int32_t to) const {
  from = std::clamp(from, 0, count());
  to = std::clamp(to, from, count());
  if (from == to) return {};
  const size_t a = static_cast<size_t>(glyphStart[static_cast<size_t>(from)]);
  const size_t b =
      to < count() ? static_cast<size_t>(glyphStart[static_cast<size_t>(to)]) : glyphs.size();
  return std::string_view(glyphs).substr(a, b - a);
}

int32_t GeomGlyphCells(std::string_view glyphs) {
  int32_t cells = 0;
  const char* p = glyphs.data();
  const char* end = p + glyphs.size();
  while (p < end) {
    // Runs of ASCII count a cell a byte.
    const char* q = ascii_run_end(p, end);
    cells += static_cast<int32_t>(q - p);
    if (q == end) break;
    const GeomChar ch = GeomDecodeUtf8(q, end);
    cells += ch.cells;
    p = q + ch.len;
  }
  return cells;
}

void GeomAppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

DisplayCol GeomIndentOf(const char* text, int32_t len, const GeomRule& r, int32_t* bytes) {
  int32_t i = 0;
  while (i < len && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (bytes) *bytes = i;
  return GeomColumnOf(text, len, i, r);
}

std::string GeomIndentText(DisplayCol col, int32_t tabsize) {
  const int32_t n = std::max(col.v, 0);
  std::string out;
  if (tabsize > 0) {
    out.assign(static_cast<size_t>(n / tabsize), '\t');
    out.append(static_cast<size_t>(n % tabsize), ' ');
  } else {
    out.assign(static_cast<size_t>(n), ' ');
  }
  return out;
}
