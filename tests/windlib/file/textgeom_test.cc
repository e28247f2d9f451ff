// Display columns, byte offsets, widths and cells of lines.
#include "windlib/file/textgeom.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "windlib/config/editsettings.h"

namespace {

constexpr GeomRule kDisplay{8, GeomEscapes::kControlDel};
constexpr GeomRule kStore{8, GeomEscapes::kControl};
constexpr GeomRule kTabsOnly{8, GeomEscapes::kNone};

int32_t col_of(const std::string& s, int32_t byte, const GeomRule& r = kDisplay) {
  return GeomColumnOf(s.data(), static_cast<int32_t>(s.size()), byte, r).v;
}
int32_t byte_at(const std::string& s, int32_t col, GeomSide side, const GeomRule& r = kDisplay) {
  return GeomByteAt(s.data(), static_cast<int32_t>(s.size()), DisplayCol(col), side, r);
}
int32_t width(const std::string& s, const GeomRule& r, DisplayCol from = DisplayCol(0)) {
  return GeomWidthFrom(from, s.data(), static_cast<int64_t>(s.size()), r).v;
}

// Random lines of printable bytes, tabs, control bytes, DEL and bytes above
// 127, long enough to cross the scan's 32-byte blocks.
std::string random_line(std::mt19937& rng, int len) {
  static const char kPool[] = "ab \t\t\x01\x1b\x7f\x80\xe9xyz{}0123456789";
  std::uniform_int_distribution<int> pick(0, sizeof(kPool) - 2);
  std::string s;
  for (int i = 0; i < len; ++i) s += kPool[pick(rng)];
  return s;
}

TEST(TextGeom, ColumnsOfTabsEscapesAndWideBytes) {
  // Tabs go to the next stop, from wherever they stand.
  EXPECT_EQ(col_of("\tx", 1), 8);
  EXPECT_EQ(col_of("1234567\tx", 8), 8);
  EXPECT_EQ(col_of("12345678\tx", 9), 16) << "a tab on a stop goes to the next one";
  EXPECT_EQ(col_of("ab\t\tx", 4), 16);
  // Control bytes and DEL are drawn as two cells; bytes above 127 as one.
  EXPECT_EQ(col_of("\x01x", 1), 2);
  EXPECT_EQ(col_of("\x7fx", 1), 2);
  EXPECT_EQ(col_of("\xe9x", 1), 1);
  EXPECT_EQ(col_of("\x1b\t", 2), 8) << "a tab after an escape still goes to the stop";
  // Positions past the end count one cell each; before the start is 0.
  EXPECT_EQ(col_of("a\t", 5), 8 + 3);
  EXPECT_EQ(col_of("a\t", -4), 0);
  EXPECT_EQ(col_of("", 3), 3);
}

TEST(TextGeom, TabSizesZeroOneAndHuge) {
  const GeomRule zero{0, GeomEscapes::kControlDel};
  const GeomRule one{1, GeomEscapes::kControlDel};
  EXPECT_EQ(col_of("a\tb\t", 4, zero), 4) << "a tab size of 0 counts as 1";
  EXPECT_EQ(col_of("a\tb\t", 4, one), 4);
  const GeomRule huge{INT32_MAX / 2 + 1, GeomEscapes::kControlDel};
  EXPECT_EQ(col_of("\t", 1, huge), INT32_MAX / 2 + 1);
  EXPECT_EQ(col_of("\t\t\tx", 4, huge), INT32_MAX) << "columns saturate instead of overflowing";
  EXPECT_EQ(col_of("\t\t\x01\x7f", 4, huge), INT32_MAX);
  EXPECT_EQ(width("\t\tabc", huge), INT32_MAX);
}

TEST(TextGeom, TheNamedRulesDifferWhereTheirUsersNeedIt) {
  // The line store counts from 1, so a tab's stop comes a column later, and
  // takes DEL as one cell.
  EXPECT_EQ(width("1234567\tx", kStore, kGeomStoreOrigin), 17);
  EXPECT_EQ(width("1234567\tx", kDisplay), 9);
  EXPECT_EQ(width("\x01", kStore, kGeomStoreOrigin), 3);
  EXPECT_EQ(width("\x7f", kStore, kGeomStoreOrigin), 2);
  EXPECT_EQ(width("\x7f", kDisplay), 2);
  // Counting with tabs only: a control byte is one column.
  EXPECT_EQ(col_of("\x01\x7f\tx", 3, kTabsOnly), 8);
  EXPECT_EQ(col_of("\x01\x7fx", 3, kTabsOnly), 3);
  // The configured rules follow the tab size setting.
  const int saved = cfgTabSize;
  cfgTabSize = 4;
  EXPECT_EQ(GeomDisplayRule().tabsize, 4);
  EXPECT_EQ(GeomStoreRule().escapes, GeomEscapes::kControl);
  EXPECT_EQ(GeomTabsOnlyRule().escapes, GeomEscapes::kNone);
  cfgTabSize = 0;
  EXPECT_EQ(GeomDisplayRule().tabsize, 1);
  cfgTabSize = saved;
}

TEST(TextGeom, ByteAtAColumnChoosesASideInsideWideCells) {
  const std::string s = "a\tb\x01z";  // a:0, tab:1-7, b:8, ^A:9-10, z:11
  // Inside the tab (cells 1 to 7).
  EXPECT_EQ(byte_at(s, 1, GeomSide::kLeft), 1);
  EXPECT_EQ(byte_at(s, 1, GeomSide::kRight), 1) << "the tab's first cell is before it";
  EXPECT_EQ(byte_at(s, 5, GeomSide::kLeft), 1);
  EXPECT_EQ(byte_at(s, 5, GeomSide::kRight), 2);
  EXPECT_EQ(byte_at(s, 4, GeomSide::kNearest), 1) << "left half of the tab";
  EXPECT_EQ(byte_at(s, 5, GeomSide::kNearest), 2) << "right half of the tab";
  // Inside the escape (cells 9 and 10).
  EXPECT_EQ(byte_at(s, 10, GeomSide::kLeft), 3);
  EXPECT_EQ(byte_at(s, 10, GeomSide::kRight), 4);
  EXPECT_EQ(byte_at(s, 10, GeomSide::kNearest), 4);
  EXPECT_EQ(byte_at(s, 9, GeomSide::kNearest), 3);
  // Outside the line.
  EXPECT_EQ(byte_at(s, -3, GeomSide::kRight), 0);
  EXPECT_EQ(byte_at(s, 12, GeomSide::kLeft), 5);
  EXPECT_EQ(byte_at(s, 500, GeomSide::kNearest), 5);
  EXPECT_EQ(byte_at("", 2, GeomSide::kNearest), 0);
}

TEST(TextGeom, ColumnAndByteConvertBackAndForth) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    const std::string s = random_line(rng, round % 70);
    const int32_t len = static_cast<int32_t>(s.size());
    for (const GeomRule& r : {kDisplay, kStore, kTabsOnly, GeomRule{3, GeomEscapes::kControlDel}}) {
      int32_t prev = -1;
      for (int32_t b = 0; b <= len; ++b) {
        const int32_t c = col_of(s, b, r);
        ASSERT_GT(c, prev) << "columns grow with bytes";
        prev = c;
        for (GeomSide side : {GeomSide::kLeft, GeomSide::kRight, GeomSide::kNearest})
          ASSERT_EQ(byte_at(s, c, side, r), b) << "the first cell of a byte maps back to it";
      }
      ASSERT_EQ(width(s, r), col_of(s, len, r));
    }
  }
}

TEST(TextGeom, WidthsMeasuredInPiecesMatchTheWholeLine) {
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    const std::string s = random_line(rng, 1 + round * 3);
    for (const GeomRule& r : {kDisplay, kStore}) {
      const int32_t whole = width(s, r, kGeomStoreOrigin);
      const size_t cut = rng() % (s.size() + 1);
      DisplayCol at = GeomWidthFrom(kGeomStoreOrigin, s.data(), static_cast<int64_t>(cut), r);
      at = GeomWidthFrom(at, s.data() + cut, static_cast<int64_t>(s.size() - cut), r);
      ASSERT_EQ(at.v, whole) << "cut at " << cut;
    }
  }
}

TEST(TextGeom, WidthUntilStopsAtTheLineEnd) {
  const std::string text = "ab\tc\x01\nnext\n";
  const char* stopped = nullptr;
  DisplayCol w = GeomWidthUntil(kGeomStoreOrigin, text.data(), text.data() + text.size(), '\n',
                                &stopped, kStore);
  EXPECT_EQ(stopped, text.data() + 5);
  EXPECT_EQ(w.v, 11);  // 1, a b: 3, tab: 8, c: 9, ^A: 11
  const std::string rest = "no end\x02";
  w = GeomWidthUntil(DisplayCol(0), rest.data(), rest.data() + rest.size(), '\n', &stopped, kStore);
  EXPECT_EQ(stopped, rest.data() + rest.size());
  EXPECT_EQ(w.v, 8);
}

TEST(TextGeom, CellsOfALineForDrawing) {
  GeomCells cells;
  const std::string s = "a\tb\x01\x7f\xe9";
  GeomLineCells(s.data(), static_cast<int32_t>(s.size()), DisplayCol(INT32_MAX), kDisplay, &cells);
  EXPECT_EQ(cells.glyphs, std::string("a       b^A^?\xc3\xa9")) << "a byte shows its Latin-1 glyph";
  ASSERT_EQ(cells.count(), width(s, kDisplay));
  const std::vector<int32_t> source = {0, 1, 1, 1, 1, 1, 1, 1, 2, 3, 3, 4, 4, 5};
  EXPECT_EQ(cells.source, source);
  EXPECT_EQ(cells.kinds[0], GeomCellKind::kText);
  EXPECT_EQ(cells.kinds[4], GeomCellKind::kTab);
  EXPECT_EQ(cells.kinds[10], GeomCellKind::kEscape);
  EXPECT_EQ(cells.kinds[13], GeomCellKind::kText);
  // Each cell's column maps back to the byte it shows.
  for (int32_t c = 0; c < cells.count(); ++c)
    EXPECT_EQ(byte_at(s, c, GeomSide::kLeft), cells.source[static_cast<size_t>(c)]) << c;
  // A limit cuts a tab but keeps an escape whole; the cells are refilled.
  GeomLineCells(s.data(), static_cast<int32_t>(s.size()), DisplayCol(4), kDisplay, &cells);
  EXPECT_EQ(cells.glyphs, "a   ");
  GeomLineCells(s.data(), static_cast<int32_t>(s.size()), DisplayCol(10), kDisplay, &cells);
  EXPECT_EQ(cells.glyphs, "a       b^A");
  const GeomRule huge{1 << 30, GeomEscapes::kControlDel};
  GeomLineCells("\t\t", 2, DisplayCol(80), huge, &cells);
  EXPECT_EQ(cells.count(), 80) << "a huge tab costs no more cells than are shown";
}

TEST(TextGeom, IndentationMeasuredAndWritten) {
  int32_t bytes = -1;
  const std::string s = "  \t x\ty";
  EXPECT_EQ(GeomIndentOf(s.data(), static_cast<int32_t>(s.size()), kDisplay, &bytes).v, 9);
  EXPECT_EQ(bytes, 4);
  EXPECT_EQ(GeomIndentOf("", 0, kDisplay, &bytes).v, 0);
  EXPECT_EQ(bytes, 0);
  EXPECT_EQ(GeomIndentOf(" \t", 2, GeomRule{4, GeomEscapes::kControlDel}).v, 4);
  EXPECT_EQ(GeomIndentText(DisplayCol(10), 4), "\t\t  ");
  EXPECT_EQ(GeomIndentText(DisplayCol(8), 8), "\t");
  EXPECT_EQ(GeomIndentText(DisplayCol(3), 0), "   ") << "no tabs at a tab size of 0";
  EXPECT_EQ(GeomIndentText(DisplayCol(-2), 8), "");
  // What is written measures as the column asked for.
  for (int32_t col = 0; col < 40; ++col) {
    const std::string t = GeomIndentText(DisplayCol(col), 4);
    EXPECT_EQ(GeomIndentOf(t.data(), static_cast<int32_t>(t.size()),
                           GeomRule{4, GeomEscapes::kControlDel})
                  .v,
              col);
  }
}

}  // namespace
