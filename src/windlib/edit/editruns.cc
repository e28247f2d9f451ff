#include "windlib/edit/editruns.h"

#include <algorithm>
#include <climits>

#include "windlib/edit/editcolors.h"

void (*EditSyntaxSpansHook)(File* file, Line* line, int32_t lineNo,
                            std::vector<EditColorSpan>* out) = nullptr;

namespace {
// The bytes [from, to) of one line that a range covers; the line end is
// byte lineLen.
struct ByteSpan {
  int32_t from = 0, to = 0;
  bool covers(int32_t b) const { return from <= b && b < to; }
};

ByteSpan span_on_line(const TextRange& range, int32_t lineNo) {
  const TextRange r = range.normalized();
  if (r.empty() || lineNo < r.begin.line || lineNo > r.end.line) return {};
  return ByteSpan{r.begin.line < lineNo ? 0 : r.begin.col,
                  r.end.line > lineNo ? INT32_MAX : r.end.col};
}

// One layer: where it lies on the line and what it changes.
struct Layer {
  ByteSpan span;
  int64_t fg = -1, bg = -1;  // -1: unchanged
  uint8_t attrs = 0;         // added
  void apply(int32_t byte, WCellStyle* s) const {
    if (!span.covers(byte)) return;
    if (fg >= 0) s->fg = static_cast<WColor>(fg);
    if (bg >= 0) s->bg = static_cast<WColor>(bg);
    s->attrs |= attrs;
  }
};

// The layers that lie on the row, lowest first; escapes are applied by
// cell kind. Kept between rows so that drawing allocates nothing.
const std::vector<Layer>& layers_of(const EditRowLayers& row) {
  static std::vector<Layer> layers;
  layers.clear();
  auto add = [&](const TextRange& r, int64_t fg, int64_t bg, uint8_t attrs) {
    ByteSpan s = span_on_line(r, row.lineNo);
    if (s.from < s.to) layers.push_back(Layer{s, fg, bg, attrs});
  };
  if (row.syntax)
    for (const EditColorSpan& c : *row.syntax)
      if (c.from < c.to) layers.push_back(Layer{ByteSpan{c.from, c.to}, c.fg, -1, 0});
  if (row.matches)
    for (const TextRange& m : *row.matches) add(m, -1, EditSearchMatchBackground(), 0);
  add(row.secondary, -1, -1, kEditSecondaryAttrs);
  add(row.primary, EditSelectionForeground(), EditSelectionBackground(), 0);
  return layers;
}

WCellStyle style_of(const GeomCells& cells, int32_t c, const WCellStyle& base,
                    const std::vector<Layer>& layers) {
  const size_t i = static_cast<size_t>(c);
  WCellStyle s = base;
  if (cells.kinds[i] == GeomCellKind::kEscape) s.fg = EditEscapeForeground();
  for (const Layer& l : layers) l.apply(cells.source[i], &s);
  return s;
}
}  // namespace

void EditBuildRuns(const GeomCells& cells, const EditRowLayers& row, DisplayCol first,
                   DisplayCol last, std::vector<EditRun>* out) {
  // Elements of `out` are reused so that their strings keep their room.
  size_t n = 0;
  auto emit = [&](DisplayCol start, int32_t width, std::string_view text, const WCellStyle& s,
                  bool end) {
    if (n == out->size()) out->emplace_back();
    EditRun& r = (*out)[n++];
    r.start = start;
    r.cells.assign(text);
    r.style = s;
    r.lineEnd = end;
    r.width = width;
  };
  const WCellStyle base{EditForeground(), row.background, 0};
  const bool escapes_look_different = EditEscapeForeground() != EditForeground();
  const std::vector<Layer>& layers = layers_of(row);
  const int32_t end = std::min(cells.count(), last.v);
  for (int32_t c = std::max(first.v, 0); c < end;) {
    const WCellStyle s = style_of(cells, c, base, layers);
    // Without layers and with escapes that look like text, the row is one run.
    int32_t e = layers.empty() && !escapes_look_different ? end : c + 1;
    while (e < end && style_of(cells, e, base, layers) == s) ++e;
    emit(DisplayCol(c), e - c, cells.Glyphs(c, e), s, false);
    c = e;
  }
  // The line end stands after the last cell of the line, when the cells
  // reach it (they stop at `last`).
  if (cells.count() < last.v) {
    WCellStyle s = base;
    for (const Layer& l : layers) l.apply(row.lineLen, &s);
    if (s != base) emit(DisplayCol(std::max(cells.count(), first.v)), 1, " ", s, true);
  }
  out->resize(n);
}
