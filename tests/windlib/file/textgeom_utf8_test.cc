// Text read as UTF-8: decoding, cells of characters, steps over whole
// characters and the conversions between byte offsets and display columns.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/textgeom.h"

namespace {

constexpr GeomRule kUtf8{8, GeomEscapes::kControlDel, true};
constexpr GeomRule kBytes{8, GeomEscapes::kControlDel, false};

GeomChar decode(const std::string& s) {
  return GeomDecodeUtf8(s.data(), s.data() + s.size());
}
int32_t len_of(const std::string& s) {
  return static_cast<int32_t>(s.size());
}
int32_t col_of(const std::string& s, int32_t byte, const GeomRule& r = kUtf8) {
  return GeomColumnOf(s.data(), len_of(s), byte, r).v;
}
int32_t byte_at(const std::string& s, int32_t col, GeomSide side, const GeomRule& r = kUtf8) {
  return GeomByteAt(s.data(), len_of(s), DisplayCol(col), side, r);
}
int32_t width(const std::string& s, const GeomRule& r = kUtf8) {
  return GeomWidthFrom(DisplayCol(0), s.data(), len_of(s), r).v;
}
int32_t next(const std::string& s, int32_t b, const GeomRule& r = kUtf8) {
  return GeomNextChar(s.data(), len_of(s), b, r);
}
int32_t prev(const std::string& s, int32_t b, const GeomRule& r = kUtf8) {
  return GeomPrevChar(s.data(), len_of(s), b, r);
}

TEST(TextGeomUtf8, DecodesEverySequenceLength) {
  struct Case {
    std::string bytes;
    char32_t code;
    int32_t cells;
  };
  const Case cases[] = {
      {"A", U'A', 1},
      {"\x7f", 0x7f, 1},
      {"\xc2\x80", 0x80, 1},           // the smallest two-byte form
      {"\xc3\xa9", U'\u00e9', 1},      // é
      {"\xdf\xbf", 0x7ff, 1},          // the largest two-byte form
      {"\xe0\xa0\x80", 0x800, 1},      // the smallest three-byte form
      {"\xe6\x97\xa5", U'\u65e5', 2},  // 日, wide
      {"\xed\x9f\xbf", 0xd7ff, 1},     // just below the surrogates
      {"\xee\x80\x80", 0xe000, 1},     // just above them
      {"\xef\xbc\xa1", 0xff21, 2},     // fullwidth A
      {"\xef\xbf\xbd", 0xfffd, 1},
      {"\xf0\x90\x80\x80", 0x10000, 1},
      {"\xf0\x9f\x98\x80", 0x1f600, 2},  // an emoji, wide
      {"\xf4\x8f\xbf\xbf", 0x10ffff, 1},
      {"\xcc\x81", 0x301, 0},  // combining acute accent
  };
  for (const Case& c : cases) {
    const GeomChar ch = decode(c.bytes);
    EXPECT_TRUE(ch.valid()) << c.bytes;
    EXPECT_EQ(ch.len, len_of(c.bytes)) << c.bytes;
    EXPECT_EQ(ch.code, c.code) << c.bytes;
    EXPECT_EQ(ch.cells, c.cells) << c.bytes;
  }
  // Bytes after a whole sequence are not taken.
  EXPECT_EQ(decode("\xc3\xa9z").len, 2);
}

TEST(TextGeomUtf8, RejectsOverlongSurrogatesAndOutOfRangeForms) {
  const std::string bad[] = {
      "\xc0\x80",
      "\xc1\xbf",  // overlong two-byte forms
      "\xe0\x80\x80",
      "\xe0\x9f\xbf",  // overlong three-byte forms
      "\xf0\x80\x80\x80",
      "\xf0\x8f\xbf\xbf",  // overlong four-byte forms
      "\xed\xa0\x80",
      "\xed\xbf\xbf",  // surrogates
      "\xf4\x90\x80\x80",
      "\xf5\x80\x80\x80",  // past U+10FFFF
      "\xf8\x88\x80\x80",
      "\xff",
      "\xfe",
      "\x80",
      "\xbf",  // continuation bytes alone
      "\xe6\x97",
      "\xe6",  // cut short by the end
      "\xe6\x97"
      "A",
      "\xc3"
      "\xc3\xa9",  // cut short by another byte
  };
  for (const std::string& s : bad) {
    const GeomChar ch = decode(s);
    EXPECT_FALSE(ch.valid()) << testing::PrintToString(s);
    EXPECT_EQ(ch.len, 1) << "an invalid sequence is taken a byte at a time";
    EXPECT_EQ(ch.cells, 1);
  }
  EXPECT_TRUE(GeomValidUtf8("h\xc3\xa9llo", "h\xc3\xa9llo" + 6));
  const std::string cut = "ab\xf0\x9f\x98";
  EXPECT_TRUE(GeomValidUtf8(cut.data(), cut.data() + cut.size())) << "a cut tail is allowed";
  const std::string broken = "ab\xf0\x9f\x98z";
  EXPECT_FALSE(GeomValidUtf8(broken.data(), broken.data() + broken.size()));
  const std::string latin1 = "caf\xe9 au lait";
  EXPECT_FALSE(GeomValidUtf8(latin1.data(), latin1.data() + latin1.size()));
}

// The drawing loop's inline decoder reads every lead byte with every
// second byte, and a lead byte alone, as the full decoder does.
TEST(TextGeomUtf8, TheQuickDecoderAgreesWithTheFullOne) {
  for (int lead = 0x80; lead < 0x100; ++lead) {
    for (int next = -1; next < 0x100; ++next) {
      std::string s(1, static_cast<char>(lead));
      if (next >= 0) s += static_cast<char>(next);
      const GeomChar full = decode(s);
      const GeomChar quick = GeomDecodeUtf8Quick(s.data(), s.data() + s.size());
      ASSERT_EQ(std::tie(quick.len, quick.cells, quick.code),
                std::tie(full.len, full.cells, full.code))
          << testing::PrintToString(s);
    }
  }
}

TEST(TextGeomUtf8, FindsASequenceCutByTheEndOfAPiece) {
  auto cut = [](const std::string& s) { return GeomCutSequence(s.data(), s.data() + s.size()); };
  EXPECT_EQ(cut("ab\xe6"), 1);
  EXPECT_EQ(cut("ab\xe6\x97"), 2);
  EXPECT_EQ(cut("ab\xf0\x9f\x98"), 3);
  EXPECT_EQ(cut("ab\xe6\x97\xa5"), 0) << "complete";
  EXPECT_EQ(cut("ab"), 0);
  EXPECT_EQ(cut(""), 0);
  EXPECT_EQ(cut("\x97\xa5"), 0) << "continuation bytes without a lead";
  EXPECT_EQ(cut("a\xc0"), 0) << "a lead byte that never starts a valid sequence";
  EXPECT_EQ(cut("a\xed\xa0"), 0) << "the start of a surrogate";
  EXPECT_EQ(cut("a\xe0\x80"), 0) << "the start of an overlong form";
  EXPECT_EQ(cut("a\xe0"), 1);
  EXPECT_EQ(cut("a\xf4"), 1);
}

TEST(TextGeomUtf8, ColumnsCountCellsNotBytes) {
  const std::string s = "h\xc3\xa9llo w\xc3\xb6rld";  // héllo wörld
  EXPECT_EQ(width(s), 11);
  EXPECT_EQ(width(s, kBytes), 13) << "read as bytes every byte is a cell";
  EXPECT_EQ(col_of(s, 3), 2);
  EXPECT_EQ(col_of(s, 2), 1) << "a byte inside a character stands at its column";
  EXPECT_EQ(byte_at(s, 2, GeomSide::kLeft), 3);
  // Wide characters take two cells each.
  const std::string cjk = "\xe6\x97\xa5\xe6\x9c\xac!";  // 日本!
  EXPECT_EQ(width(cjk), 5);
  EXPECT_EQ(col_of(cjk, 3), 2);
  EXPECT_EQ(col_of(cjk, 6), 4);
  EXPECT_EQ(byte_at(cjk, 1, GeomSide::kLeft), 0);
  EXPECT_EQ(byte_at(cjk, 1, GeomSide::kRight), 3) << "the right half goes after the character";
  EXPECT_EQ(byte_at(cjk, 1, GeomSide::kNearest), 3);
  EXPECT_EQ(byte_at(cjk, 2, GeomSide::kNearest), 3);
  // A combining mark takes no cell and goes with the character before it.
  const std::string accent = "e\xcc\x81x";  // e + U+0301, x
  EXPECT_EQ(width(accent), 2);
  EXPECT_EQ(col_of(accent, 3), 1);
  EXPECT_EQ(byte_at(accent, 1, GeomSide::kLeft), 3);
  EXPECT_EQ(byte_at(accent, 0, GeomSide::kRight), 0);
  EXPECT_EQ(byte_at(accent, 1, GeomSide::kRight), 3);
}

TEST(TextGeomUtf8, TabsAfterWideAndCombiningCharactersStopOnCells) {
  EXPECT_EQ(col_of("\xe6\x97\xa5\tx", 4), 8);
  EXPECT_EQ(col_of("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\tx", 10), 8);
  const GeomRule four{4, GeomEscapes::kControlDel, true};
  EXPECT_EQ(col_of("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\tx", 10, four), 8)
      << "six cells, then a tab to the stop at 8";
  EXPECT_EQ(col_of("e\xcc\x81\xcc\x81\tx", 6, four), 4) << "marks do not move the tab";
  EXPECT_EQ(col_of("\xe6\x97\xa5\x01\tx", 5), 8) << "an escape after a wide character";
  EXPECT_EQ(col_of("\xc3\xa9\xc3\xa9\xc3\xa9\t", 7), 8);
}

TEST(TextGeomUtf8, TruncatedSequencesAtTheLineEndAreOneCellPerByte) {
  const std::string s = "ab\xe6\x97";
  EXPECT_EQ(width(s), 4);
  EXPECT_EQ(col_of(s, 3), 3);
  EXPECT_EQ(next(s, 2), 3);
  EXPECT_EQ(prev(s, 4), 3);
  GeomCells cells;
  GeomLineCells(s.data(), len_of(s), DisplayCol(INT32_MAX), kUtf8, &cells);
  ASSERT_EQ(cells.count(), 4);
  EXPECT_EQ(cells.kinds[2], GeomCellKind::kEscape);
  EXPECT_EQ(cells.kinds[3], GeomCellKind::kEscape);
  EXPECT_EQ(cells.source, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(cells.glyphs, "ab\xef\xbf\xbd\xef\xbf\xbd") << "each byte shows the replacement";
  EXPECT_EQ(GeomGlyphCells(cells.glyphs), 4);
}

TEST(TextGeomUtf8, StepsOverWholeCharacters) {
  const std::string s = "a\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80z";  // a é 日 😀 z
  std::vector<int32_t> forward;
  for (int32_t b = 0; b < len_of(s); b = next(s, b)) forward.push_back(b);
  EXPECT_EQ(forward, (std::vector<int32_t>{0, 1, 3, 6, 10}));
  std::vector<int32_t> back;
  for (int32_t b = len_of(s); b > 0; b = prev(s, b)) back.push_back(b);
  EXPECT_EQ(back, (std::vector<int32_t>{11, 10, 6, 3, 1}));
  // From inside a character, a step goes to its end or its start.
  EXPECT_EQ(next(s, 4), 6);
  EXPECT_EQ(prev(s, 5), 3);
  // A base and its combining marks are one step; invalid bytes one each.
  const std::string mixed = "e\xcc\x81\xcc\xa7\x80\xffx";
  EXPECT_EQ(next(mixed, 0), 5);
  EXPECT_EQ(prev(mixed, 5), 0);
  EXPECT_EQ(next(mixed, 5), 6);
  EXPECT_EQ(prev(mixed, 7), 6);
  EXPECT_EQ(prev(mixed, 6), 5);
  EXPECT_EQ(prev("\xcc\x81", 2), 0) << "a mark at the line start is a character of its own";
  // Read as bytes, and outside the line, every step is one byte.
  EXPECT_EQ(next(s, 1, kBytes), 2);
  EXPECT_EQ(prev(s, 3, kBytes), 2);
  EXPECT_EQ(next(s, 11), 12);
  EXPECT_EQ(prev(s, 0), -1);
}

TEST(TextGeomUtf8, CellsForDrawing) {
  // 日 é U+0301 \xff x
  const std::string s =
      "\xe6\x97\xa5\xc3\xa9\xcc\x81\xff"
      "x";
  GeomCells cells;
  GeomLineCells(s.data(), len_of(s), DisplayCol(INT32_MAX), kUtf8, &cells);
  ASSERT_EQ(cells.count(), 5);
  EXPECT_EQ(cells.source, (std::vector<int32_t>{0, 0, 3, 7, 8}));
  EXPECT_EQ(cells.Glyphs(0, 1), "\xe6\x97\xa5") << "the wide character belongs to its first cell";
  EXPECT_EQ(cells.Glyphs(1, 2), "");
  EXPECT_EQ(cells.Glyphs(2, 3), "\xc3\xa9\xcc\x81") << "the mark is drawn with the cell before";
  EXPECT_EQ(cells.Glyphs(3, 4), "\xef\xbf\xbd");
  EXPECT_EQ(cells.kinds[3], GeomCellKind::kEscape);
  EXPECT_EQ(cells.Glyphs(0, 5), cells.glyphs);
  EXPECT_EQ(GeomGlyphCells(cells.glyphs), cells.count());
  // A C1 control is valid UTF-8 but shown escaped, in one cell.
  GeomLineCells("\xc2\x85", 2, DisplayCol(INT32_MAX), kUtf8, &cells);
  ASSERT_EQ(cells.count(), 1);
  EXPECT_EQ(cells.kinds[0], GeomCellKind::kEscape);
  // A wide character at the limit is kept whole.
  GeomLineCells(s.data(), len_of(s), DisplayCol(1), kUtf8, &cells);
  EXPECT_EQ(cells.count(), 2);
  // Read as bytes, the same line is eight Latin-1 cells.
  GeomLineCells(s.data(), len_of(s), DisplayCol(INT32_MAX), kBytes, &cells);
  EXPECT_EQ(cells.count(), 9);
  EXPECT_EQ(cells.Glyphs(0, 1), "\xc3\xa6");
}

// Random lines of ASCII, two-, three- and four-byte characters, wide ones,
// marks, tabs, control bytes and invalid bytes.
std::string random_line(std::mt19937& rng, int n) {
  static const char* const kPool[] = {"a",        " ",        "\t",           "\x01",
                                      "\x7f",     "\xc3\xa9", "\xe6\x97\xa5", "\xf0\x9f\x98\x80",
                                      "\xcc\x81", "\xff",     "\x80",         "\xe6\x97"};
  std::uniform_int_distribution<size_t> pick(0, std::size(kPool) - 1);
  std::string s = "x";
  for (int i = 0; i < n; ++i) s += kPool[pick(rng)];
  return s;
}

TEST(TextGeomUtf8, ColumnsAndCharacterBoundariesAgree) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    const std::string s = random_line(rng, round % 40);
    const int32_t len = len_of(s);
    int32_t prev_col = -1;
    std::vector<int32_t> bounds;
    for (int32_t b = 0; b <= len; b = next(s, b)) {
      bounds.push_back(b);
      const int32_t c = col_of(s, b);
      ASSERT_GT(c, prev_col) << "every character takes a cell: " << testing::PrintToString(s);
      prev_col = c;
      ASSERT_EQ(byte_at(s, c, GeomSide::kLeft), b) << testing::PrintToString(s) << " at " << b;
    }
    ASSERT_EQ(bounds.back(), len);
    // Stepping back visits the same boundaries.
    std::vector<int32_t> back;
    for (int32_t b = len; b >= 0; b = prev(s, b)) back.insert(back.begin(), b);
    ASSERT_EQ(back, bounds) << testing::PrintToString(s);
    // The drawn cells agree with the width.
    GeomCells cells;
    GeomLineCells(s.data(), len, DisplayCol(INT32_MAX), kUtf8, &cells);
    ASSERT_EQ(cells.count(), width(s));
    ASSERT_EQ(GeomGlyphCells(cells.glyphs), cells.count() - 0) << testing::PrintToString(s);
    // Measured in two pieces cut anywhere but inside a character, the
    // width is the same.
    const int32_t cut = bounds[rng() % bounds.size()];
    DisplayCol at = GeomWidthFrom(DisplayCol(0), s.data(), cut, kUtf8);
    at = GeomWidthFrom(at, s.data() + cut, len - cut, kUtf8);
    ASSERT_EQ(at.v, width(s));
  }
}

TEST(TextGeomUtf8, TheOptionAndAFilesByteModeChooseTheReading) {
  const bool saved = vfUtf8;
  File f{};
  vfUtf8 = true;
  EXPECT_TRUE(GeomDisplayRule(&f).utf8);
  EXPECT_TRUE(GeomStoreRule(nullptr).utf8);
  f.byteMode = 1;
  EXPECT_FALSE(GeomDisplayRule(&f).utf8);
  EXPECT_FALSE(GeomTabsOnlyRule(&f).utf8);
  f.byteMode = 0;
  vfUtf8 = false;
  EXPECT_FALSE(GeomDisplayRule(&f).utf8);
  EXPECT_FALSE(GeomDisplayRule().utf8);
  vfUtf8 = saved;
}

TEST(TextGeomUtf8, WidthTableEdges) {
  // Around the combining marks, Hangul initial (wide) and medial (none)
  // jamo, the zero-width space, ideographs and syllables, halfwidth
  // katakana, the last wide and the last code point.
  const std::pair<char32_t, int> edges[] = {
      {U'a', 1},   {0x2ff, 1},  {0x300, 0},  {0x36f, 0},  {0x370, 1},   {0x1100, 2},   {0x1160, 0},
      {0x200b, 0}, {0x3000, 2}, {0xac00, 2}, {0xff61, 1}, {0x2fffd, 2}, {0x10ffff, 1},
  };
  for (auto [code, cells] : edges)
    EXPECT_EQ(GeomCodeCells(code), cells) << std::hex << static_cast<uint32_t>(code);
  std::string out;
  for (char32_t c : {U'a', char32_t{0xe9}, char32_t{0x65e5}, char32_t{0x1f600}}) {
    out.clear();
    GeomAppendUtf8(c, &out);
    EXPECT_EQ(decode(out).code, c);
    EXPECT_EQ(decode(out).len, len_of(out));
  }
}

}  // namespace
