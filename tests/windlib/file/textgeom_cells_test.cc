// The cells of a line for drawing, checked against a cell-by-cell reading
// of the line through the character decoder, and the cell counts of glyph
// strings.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "windlib/file/textgeom.h"

namespace {

constexpr GeomRule kUtf8{8, GeomEscapes::kControlDel, true};
constexpr GeomRule kBytes{8, GeomEscapes::kControlDel, false};

// The cells of a line built one character at a time from GeomCharAt.
GeomCells reference_cells(const std::string& s, int32_t limit, const GeomRule& r) {
  GeomCells out;
  const char* end = s.data() + s.size();
  auto cell = [&](int32_t source, GeomCellKind kind, const std::string& glyph) {
    out.source.push_back(source);
    out.kinds.push_back(kind);
    out.glyphStart.push_back(static_cast<int32_t>(out.glyphs.size()));
    out.glyphs += glyph;
  };
  for (int32_t i = 0; i < static_cast<int32_t>(s.size()) && out.count() < limit;) {
    const GeomChar ch = GeomCharAt(s.data() + i, end, r);
    const unsigned char c = static_cast<unsigned char>(s[static_cast<size_t>(i)]);
    if (c == '\t') {
      const int32_t stop = std::min(GeomNextTabStop(DisplayCol(out.count()), r.tabsize).v, limit);
      while (out.count() < stop) cell(i, GeomCellKind::kTab, " ");
    } else if (GeomIsEscape(c, r)) {
      cell(i, GeomCellKind::kEscape, "^");
      cell(i, GeomCellKind::kEscape, std::string(1, static_cast<char>(c == 0x7f ? '?' : c + 64)));
    } else if (!ch.valid() || (r.utf8 && ch.code >= 0x80 && ch.code < 0xA0)) {
      cell(i, GeomCellKind::kEscape, "\xef\xbf\xbd");
    } else {
      std::string glyph;
      GeomAppendUtf8(ch.code, &glyph);
      if (ch.cells == 0) {
        out.glyphs += glyph;
      } else {
        cell(i, GeomCellKind::kText, glyph);
        if (ch.cells == 2) cell(i, GeomCellKind::kText, "");
      }
    }
    i += ch.len;
  }
  return out;
}

void expect_cells(const std::string& s, int32_t limit, const GeomRule& r, GeomCells* cells) {
  GeomLineCells(s.data(), static_cast<int32_t>(s.size()), DisplayCol(limit), r, cells);
  const GeomCells want = reference_cells(s, limit, r);
  ASSERT_EQ(cells->source, want.source) << testing::PrintToString(s) << " limit " << limit;
  ASSERT_EQ(cells->kinds, want.kinds) << testing::PrintToString(s) << " limit " << limit;
  ASSERT_EQ(cells->glyphStart, want.glyphStart) << testing::PrintToString(s) << " limit " << limit;
  ASSERT_EQ(cells->glyphs, want.glyphs) << testing::PrintToString(s) << " limit " << limit;
}

std::string random_line(std::mt19937& rng, int n) {
  // Runs of ASCII of many lengths between the other pieces, so that runs
  // shorter and longer than a machine word both occur.
  static const char* const kPool[] = {"a",
                                      "hello",
                                      "0123456789abcdefghij",
                                      "\t",
                                      "\x01",
                                      "\x7f",
                                      "\xc3\xa9",
                                      "\xc2\xa0",
                                      "\xcb\xbf",
                                      "\xcc\x80",
                                      "\xc2\x9f",
                                      "\xc1\xbf",
                                      "\xe6\x97\xa5",
                                      "\xe0\x9f\xbf",
                                      "\xed\xa0\x80",
                                      "\xf0\x9f\x98\x80",
                                      "\xff",
                                      "\x80",
                                      "\xe6\x97",
                                      "\xc3"};
  std::uniform_int_distribution<size_t> pick(0, std::size(kPool) - 1);
  std::string s;
  for (int i = 0; i < n; ++i) s += kPool[pick(rng)];
  return s;
}

TEST(TextGeomCells, EveryCharacterAsTheDecoderReadsIt) {
  // Boundaries of the two-byte forms: the last C1 control and the first
  // text character, the last one-cell code point before the combining
  // marks and the first mark, an overlong form, a sequence cut at the end.
  const std::vector<std::string> edges = {"x\xc2\x9f",
                                          "x\xc2\xa0y",
                                          "x\xcb\xbfy",
                                          "x\xcc\x80y",
                                          "\xc1\xbfy",
                                          "abc\xc3",
                                          "abcdefgh\xc3",
                                          "\xc3x",
                                          "\xe6\x97",
                                          "\xcc\x80",
                                          "abcdefghijklmnop\xe6\x97\xa5q"};
  GeomCells cells;
  for (const std::string& s : edges) {
    for (int32_t limit : {INT32_MAX, 0, 1, 3, 9}) {
      expect_cells(s, limit, kUtf8, &cells);
      expect_cells(s, limit, kBytes, &cells);
    }
  }
  EXPECT_EQ(GeomGlyphCells("x\xcb\xbfy"), 3);
  EXPECT_EQ(GeomGlyphCells("x\xcc\x80y"), 2) << "U+0300 combines";
  EXPECT_EQ(GeomGlyphCells("\xc3"), 1) << "a cut sequence is a cell a byte";
  EXPECT_EQ(GeomGlyphCells("\xc1\xbf"), 2) << "an overlong form is a cell a byte";
}

TEST(TextGeomCells, RandomLinesAtRandomLimitsReusingOneCellsObject) {
  // One GeomCells is reused, long lines after short ones and back, as a
  // view reuses it from row to row: nothing of an earlier line may stay.
  std::mt19937 rng(11);
  GeomCells cells;
  for (int round = 0; round < 400; ++round) {
    const std::string s = random_line(rng, round % 50);
    const int32_t limit = round % 3 == 0 ? INT32_MAX : static_cast<int32_t>(rng() % 120);
    expect_cells(s, limit, kUtf8, &cells);
    if (HasFatalFailure()) return;
    ASSERT_EQ(GeomGlyphCells(cells.glyphs), cells.count()) << testing::PrintToString(s);
    if (round % 7 == 0) expect_cells(s, limit, kBytes, &cells);
  }
}

TEST(TextGeomCells, RowsFarLongerThanTheirBytesGrowTheArrays) {
  // A tab of a large tab size and a pile of combining marks each need more
  // room than the bytes of the line suggest.
  const GeomRule wide_tabs{1000, GeomEscapes::kControlDel, true};
  GeomCells cells;
  expect_cells("a\tb\tc", INT32_MAX, wide_tabs, &cells);
  EXPECT_EQ(cells.count(), 2001);
  std::string marks = "e";
  for (int i = 0; i < 300; ++i) marks += "\xcc\x81";
  marks += "\xe6\x97\xa5";
  expect_cells(marks, INT32_MAX, kUtf8, &cells);
  EXPECT_EQ(cells.count(), 3);
  EXPECT_EQ(cells.Glyphs(0, 1).size(), 601u);
  // Cut by the limit, the tab stops there.
  expect_cells("a\tb", 500, wide_tabs, &cells);
  EXPECT_EQ(cells.count(), 500);
}

}  // namespace
