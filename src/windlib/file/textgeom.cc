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

bool is_printable(unsigned char c) {
  return static_cast<unsigned char>(c - 0x20) < 0x5f;
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

namespace {
const BmpCells& bmp_cells() {
  static const BmpCells bmp;
  return bmp;
}

// The cells of a code point of the Basic Multilingual Plane.
inline int32_t bmp_code_cells(char32_t c) {
  return c < 0x300 ? 1 : bmp_cells()(c);
}

// The character at s (s < end, *s >= 0x80). Valid two- and three-byte
// sequences, which are most text in other scripts, are decoded here; the
// rest by the full decoder.
inline GeomChar decode_lead(const unsigned char* s, const unsigned char* end) {
  const unsigned char c = s[0];
  if (c >= 0xC2 && c <= 0xDF) {
    if (end - s >= 2 && is_continuation(s[1])) {
      const char32_t code = static_cast<char32_t>(((c & 0x1F) << 6) | (s[1] & 0x3F));
      return GeomChar{2, bmp_code_cells(code), code};
    }
  } else if (c >= 0xE0 && c <= 0xEF && end - s >= 3) {
    // The second byte's range excludes overlong forms and surrogates.
    const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
    if (s[1] >= lo && s[1] <= hi && is_continuation(s[2])) {
      const char32_t code =
          static_cast<char32_t>(((c & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F));
      return GeomChar{3, bmp_cells()(code), code};
    }
  }
  return GeomDecodeUtf8(reinterpret_cast<const char*>(s), reinterpret_cast<const char*>(end));
}

// Writes the cells of a line straight into the arrays of a GeomCells: they
// are sized ahead and trimmed at the end, so that a row costs no
// allocation once the arrays have grown and no per-cell bounds checks.
class CellWriter {
 public:
  CellWriter(GeomCells* out, size_t cells, size_t bytes) : out_(out) {
    resize_cells(cells);
    resize_glyphs(bytes);
  }
  int32_t count() const { return static_cast<int32_t>(nc_); }
  int32_t glyphEnd() const { return static_cast<int32_t>(ng_); }
  // Makes room for `cells` more cells and `bytes` more glyph bytes.
  void room(size_t cells, size_t bytes) {
    if (nc_ + cells > cap_cells_ || ng_ + bytes > cap_glyphs_) grow(cells, bytes);
  }
  // One cell showing byte `source`, its glyphs starting at `glyph`.
  void cell(int32_t source, int32_t glyph, GeomCellKind kind) {
    source_[nc_] = source;
    start_[nc_] = glyph;
    kind_[nc_] = kind;
    ++nc_;
  }
  void glyph(char c) { glyphs_[ng_++] = c; }
  void glyphs(const char* p, size_t n) {
    std::memcpy(glyphs_ + ng_, p, n);
    ng_ += n;
  }
  // The bytes of one character (1 to 4), with room for four.
  void character(const char* p, const char* end, int32_t n) {
    if (end - p >= 4) {
      std::memcpy(glyphs_ + ng_, p, 4);  // a fixed size copies without a call
    } else {
      for (int32_t k = 0; k < n; ++k) glyphs_[ng_ + static_cast<size_t>(k)] = p[k];
    }
    ng_ += static_cast<size_t>(n);
  }
  void utf8(char32_t c) {
    if (c < 0x80) {
      glyph(static_cast<char>(c));
    } else if (c < 0x800) {
      glyph(static_cast<char>(0xC0 | (c >> 6)));
      glyph(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      glyph(static_cast<char>(0xE0 | (c >> 12)));
      glyph(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      glyph(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  // n cells of text, each showing its own byte, copied from `text` + source.
  void run(const char* text, int32_t source, int32_t n) {
    const int32_t g = glyphEnd();
    glyphs(text + source, static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) {
      source_[nc_ + static_cast<size_t>(k)] = source + k;
      start_[nc_ + static_cast<size_t>(k)] = g + k;
    }
    std::fill_n(kind_ + nc_, n, GeomCellKind::kText);
    nc_ += static_cast<size_t>(n);
  }
  void finish() {
    out_->source.resize(nc_);
    out_->glyphStart.resize(nc_);
    out_->kinds.resize(nc_);
    out_->glyphs.resize(ng_);
  }

 private:
  [[gnu::noinline]] void grow(size_t cells, size_t bytes) {
    if (nc_ + cells > cap_cells_) resize_cells(std::max(cap_cells_ * 2, nc_ + cells));
    if (ng_ + bytes > cap_glyphs_) resize_glyphs(std::max(cap_glyphs_ * 2, ng_ + bytes));
  }
  void resize_cells(size_t n) {
    out_->source.resize(n);
    out_->glyphStart.resize(n);
    out_->kinds.resize(n);
    source_ = out_->source.data();
    start_ = out_->glyphStart.data();
    kind_ = out_->kinds.data();
    cap_cells_ = n;
  }
  void resize_glyphs(size_t n) {
    out_->glyphs.resize(n);
    glyphs_ = out_->glyphs.data();
    cap_glyphs_ = n;
  }

  GeomCells* out_;
  int32_t* source_ = nullptr;
  int32_t* start_ = nullptr;
  GeomCellKind* kind_ = nullptr;
  char* glyphs_ = nullptr;
  size_t nc_ = 0, ng_ = 0, cap_cells_ = 0, cap_glyphs_ = 0;
};
}  // namespace

int32_t GeomCodeCells(char32_t c) {
  if (c < 0x10000) return bmp_code_cells(c);
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
  const int32_t lim = limit.v;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = s + std::max(len, 0);
  // Most rows fit these sizes: at most a cell a byte up to the limit, with
  // a few over it for a piece kept whole, and three glyph bytes a cell.
  const int64_t cells_guess = std::min<int64_t>(std::max(len, 0), std::max(lim, 0)) + 10;
  CellWriter w(out, static_cast<size_t>(cells_guess), static_cast<size_t>(cells_guess) * 3);
  int32_t i = 0;
  while (i < len && w.count() < lim) {
    const unsigned char c = s[i];
    if (is_printable(c)) {
      // Printable ASCII takes a cell a byte. Runs between characters of
      // other scripts are short and written a byte at a time; a run longer
      // than that is found by the vector scan and copied whole.
      const int32_t near = i + std::min({len - i, 8, lim - w.count()});
      w.room(8, 8);
      do {
        w.cell(i, w.glyphEnd(), GeomCellKind::kText);
        w.glyph(static_cast<char>(s[i]));
        ++i;
      } while (i < near && is_printable(s[i]));
      if (i == near && i < len && w.count() < lim && is_printable(s[i])) {
        // The scan stops where the row does: a long line costs no more.
        const int32_t stop = i + std::min(len - i, lim - w.count());
        const int32_t j = static_cast<int32_t>(ascii_run_end(text + i, text + stop) - text);
        const int32_t n = std::min(j - i, lim - w.count());
        w.room(static_cast<size_t>(n), static_cast<size_t>(n));
        w.run(text, i, n);
        i += n;
      }
      continue;
    }
    if (c >= 0x80 && r.utf8) {
      const GeomChar ch = decode_lead(s + i, end);
      w.room(2, 4);
      const int32_t g = w.glyphEnd();
      if (!ch.valid() || is_c1(ch.code)) {
        w.cell(i, g, GeomCellKind::kEscape);
        w.utf8(kGeomReplacement);
      } else {
        // A combining mark is drawn over the cell before it.
        w.character(text + i, text + len, ch.len);
        if (ch.cells > 0) w.cell(i, g, GeomCellKind::kText);
        if (ch.cells == 2) w.cell(i, g + ch.len, GeomCellKind::kText);
      }
      i += ch.len;
      continue;
    }
    if (c == '\t') {
      // A tab is cut at the limit: a large tab size costs no more cells.
      const DisplayCol stop = std::min(GeomNextTabStop(DisplayCol(w.count()), r.tabsize), limit);
      const int32_t cells = stop.v - w.count();
      w.room(static_cast<size_t>(cells), static_cast<size_t>(cells));
      for (int32_t k = 0; k < cells; ++k) {
        w.cell(i, w.glyphEnd(), GeomCellKind::kTab);
        w.glyph(' ');
      }
    } else if (GeomIsEscape(c, r)) {
      w.room(2, 2);
      w.cell(i, w.glyphEnd(), GeomCellKind::kEscape);
      w.glyph('^');
      w.cell(i, w.glyphEnd(), GeomCellKind::kEscape);
      w.glyph(static_cast<char>(c == 0x7f ? '?' : c + 64));
    } else {
      // A byte read as a byte shows its Latin-1 character.
      w.room(1, 2);
      w.cell(i, w.glyphEnd(), GeomCellKind::kText);
      w.utf8(c);
    }
    ++i;
  }
  w.finish();
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
  const auto* p = reinterpret_cast<const unsigned char*>(glyphs.data());
  const unsigned char* end = p + glyphs.size();
  // A byte at a time: between the characters of other scripts runs of
  // ASCII are too short for a vector scan to pay.
  while (p < end) {
    if (*p < 0x80) {
      ++cells;
      ++p;
      continue;
    }
    // Below U+0300 a valid two-byte sequence is one cell.
    if (*p >= 0xC2 && *p < 0xCC && end - p >= 2 && is_continuation(p[1])) {
      ++cells;
      p += 2;
      continue;
    }
    const GeomChar ch = decode_lead(p, end);
    cells += ch.cells;
    p += ch.len;
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
