#include "windlib/file/textgeom.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "windlib/config/editsettings.h"
#include "windlib/file/widthscan.h"

namespace {
int32_t configured_tabsize() {
  return cfgTabSize > 0 ? cfgTabSize : 1;
}

}  // namespace

GeomRule GeomDisplayRule() {
  return GeomRule{configured_tabsize(), GeomEscapes::kControlDel};
}
GeomRule GeomStoreRule() {
  return GeomRule{configured_tabsize(), GeomEscapes::kControl};
}
GeomRule GeomTabsOnlyRule() {
  return GeomRule{configured_tabsize(), GeomEscapes::kNone};
}

DisplayCol GeomColumnOf(const char* text, int32_t len, int32_t byte, const GeomRule& r) {
  if (byte <= 0) return DisplayCol(0);
  const int32_t in_line = std::min(byte, std::max(len, 0));
  return GeomAddCells(GeomWidthFrom(DisplayCol(0), text, in_line, r), byte - in_line);
}

int32_t GeomByteAt(const char* text, int32_t len, DisplayCol col, GeomSide side,
                   const GeomRule& r) {
  if (col.v <= 0) return 0;
  DisplayCol at(0);
  for (int32_t i = 0; i < len; ++i) {
    DisplayCol next = GeomAdvance(at, static_cast<unsigned char>(text[i]), r);
    if (col < next) {
      switch (side) {
        case GeomSide::kLeft:
          return i;
        case GeomSide::kRight:
          return col == at ? i : i + 1;
        case GeomSide::kNearest:
          return (col - at) * 2 < (next - at) ? i : i + 1;
      }
    }
    at = next;
  }
  return std::max(len, 0);
}

DisplayCol GeomWidthFrom(DisplayCol at, const char* text, int64_t n, const GeomRule& r) {
  const char* p = text;
  const char* end = text + std::max<int64_t>(n, 0);
  while (p < end) {
    const char* q = FindControlByte(p, end);
    at = GeomAddCells(at, GeomRunCells(p, q, r));
    if (q == end) break;
    at = GeomAdvance(at, static_cast<unsigned char>(*q), r);
    p = q + 1;
  }
  return at;
}

void GeomLineCells(const char* text, int32_t len, DisplayCol limit, const GeomRule& r,
                   GeomCells* out) {
  out->glyphs.clear();
  out->source.clear();
  out->kinds.clear();
  int32_t i = 0;
  while (i < len && out->count() < limit.v) {
    // A run of bytes that take one cell each is copied whole.
    const char* run_end = FindControlByte(text + i, text + len);
    if (r.escapes == GeomEscapes::kControlDel) run_end = std::find(text + i, run_end, '\x7f');
    const int32_t n = std::min(static_cast<int32_t>(run_end - text) - i, limit.v - out->count());
    if (n > 0) {
      out->glyphs.append(text + i, static_cast<size_t>(n));
      for (int32_t k = 0; k < n; ++k) out->source.push_back(i + k);
      out->kinds.insert(out->kinds.end(), static_cast<size_t>(n), GeomCellKind::kText);
      i += n;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\t') {
      // A tab is cut at the limit: a large tab size costs no more cells.
      const DisplayCol stop = std::min(GeomNextTabStop(DisplayCol(out->count()), r.tabsize), limit);
      const size_t cells = static_cast<size_t>(stop.v - out->count());
      out->glyphs.append(cells, ' ');
      out->source.insert(out->source.end(), cells, i);
      out->kinds.insert(out->kinds.end(), cells, GeomCellKind::kTab);
    } else if (GeomIsEscape(c, r)) {
      out->glyphs += '^';
      out->glyphs += static_cast<char>(c == 0x7f ? '?' : c + 64);
      out->source.insert(out->source.end(), 2, i);
      out->kinds.insert(out->kinds.end(), 2, GeomCellKind::kEscape);
    } else {
      out->glyphs += static_cast<char>(c);
      out->source.push_back(i);
      out->kinds.push_back(GeomCellKind::kText);
    }
    ++i;
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
