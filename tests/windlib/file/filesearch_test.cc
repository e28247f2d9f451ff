// Searching files: where FileFind starts and goes in each direction, how
// it crosses line ends and the cache window, aborting, and the line-level
// entries.
#include "windlib/file/filesearch.h"
#include "windlib/file/undo.h"

#include <climits>
#include <string>

#include "file_fixture.h"

namespace {

using oetest::FileTest;

struct Found {
  int result = 0;
  int32_t line = 0, col = 0, endLine = 0, endCol = 0;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f) {
  return os << "{" << f.result << " " << f.line << ":" << f.col << "-" << f.endLine << ":"
            << f.endCol << "}";
}

Found Find(File* f, int32_t line, int32_t col, int dir, const std::string& pat, int flags,
           bool from_edge = false, const SrchAbort* abort = nullptr) {
  Found r;
  r.line = line;
  r.col = col;
  r.result = FileFind(f, nullptr, 0, &r.line, &r.col, &r.endLine, &r.endCol, dir, from_edge,
                      pat.data(), static_cast<int32_t>(pat.size()), flags, abort);
  if (r.result != 1) r.line = r.col = 0;
  return r;
}

constexpr int kCase = kSrchCase;

TEST_F(FileTest, FindsPlainTextForwardFromTheStartAndThenOnLaterLines) {
  File* f = Load("a", "abc abc\nxx abc\n");
  EXPECT_EQ(Find(f, 1, 0, 1, "abc", kCase), (Found{1, 1, 0, 1, 3}));
  EXPECT_EQ(Find(f, 1, 1, 1, "abc", kCase), (Found{1, 1, 4, 1, 7}));
  EXPECT_EQ(Find(f, 1, 5, 1, "abc", kCase), (Found{1, 2, 3, 2, 6}));
  EXPECT_EQ(Find(f, 2, 4, 1, "abc", kCase).result, 0);
  EXPECT_EQ(Find(f, 2, 4, 1, "abc", kCase, true), (Found{1, 1, 0, 1, 3}));
}

TEST_F(FileTest, BackwardStartsAPatternLengthBeforeTheColumnThenEarlierLinesFromTheirEnds) {
  File* f = Load("a", "abc abc\nxx abc\n");
  // From column 6 of line 2 the first candidate is column 4: the match at
  // column 3 ends after column 5.
  EXPECT_EQ(Find(f, 2, 6, 0, "abc", kCase), (Found{1, 2, 3, 2, 6}));
  EXPECT_EQ(Find(f, 2, 5, 0, "abc", kCase), (Found{1, 2, 3, 2, 6}));
  EXPECT_EQ(Find(f, 2, 4, 0, "abc", kCase), (Found{1, 1, 4, 1, 7}));
  EXPECT_EQ(Find(f, 1, 3, 0, "abc", kCase), (Found{1, 1, 0, 1, 3}));
  EXPECT_EQ(Find(f, 1, 2, 0, "abc", kCase), (Found{1, 1, 0, 1, 3}));
  EXPECT_EQ(Find(f, 1, 1, 0, "abc", kCase).result, 0);
  // Column 0 of line 1 from the edge: the end of the last line.
  EXPECT_EQ(Find(f, 1, 0, 0, "abc", kCase, true), (Found{1, 2, 3, 2, 6}));
  EXPECT_EQ(Find(f, 1, 0, 0, "abc", kCase).result, 0);
}

TEST_F(FileTest, CaseFoldingMapsOnlyAsciiLetters) {
  File* f = Load("a", "x \xc3\x84pfel ABC\n");
  EXPECT_EQ(Find(f, 1, 0, 1, "abc", 0), (Found{1, 1, 9, 1, 12}));
  EXPECT_EQ(Find(f, 1, 0, 1, "abc", kCase).result, 0);
  EXPECT_EQ(Find(f, 1, 0, 1, "\xc3\xa4pfel", 0).result, 0);
  EXPECT_EQ(Find(f, 1, 0, 1, "\xc3\x84PFEL", 0), (Found{1, 1, 2, 1, 8}));
}

TEST_F(FileTest, LineBreakInPatternMatchesOnlyWhereTheFirstPartEndsALine) {
  File* f = Load("a", "ab\nabc\ncd\nab\ncdx\n");
  EXPECT_EQ(Find(f, 1, 0, 1, "ab\ncd", kCase), (Found{1, 4, 0, 5, 2}));
  EXPECT_EQ(Find(f, 1, 0, 1, "c\ncd", kCase), (Found{1, 2, 2, 3, 2}));
  EXPECT_EQ(Find(f, 5, 0, 0, "ab\ncd", kCase), (Found{1, 4, 0, 5, 2}));
  EXPECT_EQ(Find(f, 4, 2, 0, "ab\ncd", kCase).result, 0);
  EXPECT_EQ(Find(f, 1, 0, 1, "cdx\n", kCase).result, 0) << "no line after the last";
}

TEST_F(FileTest, StartPositionsOutsideTheTextAreClamped) {
  File* f = Load("a", "ab\nab\n");
  EXPECT_EQ(Find(f, 1, 99, 1, "ab", kCase), (Found{1, 2, 0, 2, 2})) << "past a line's end";
  EXPECT_EQ(Find(f, 0, 0, 1, "ab", kCase), (Found{1, 1, 0, 1, 2}));
  EXPECT_EQ(Find(f, 3, 0, 1, "ab", kCase).result, 0) << "the end of the text";
  EXPECT_EQ(Find(f, 3, 0, 0, "ab", kCase), (Found{1, 2, 0, 2, 2}));
  EXPECT_EQ(Find(f, 2, INT32_MIN, 0, "ab", kCase), (Found{1, 1, 0, 1, 2}));
  EXPECT_EQ(Find(f, 1, INT32_MAX, 0, "ab", kCase), (Found{1, 1, 0, 1, 2}));
  EXPECT_EQ(Find(f, 1, 0, 1, "", kCase).result, 0) << "an empty pattern finds nothing";
  File* empty = Load("e", "");
  EXPECT_EQ(Find(empty, 1, 0, 1, "a", kCase).result, 0);
  EXPECT_EQ(Find(empty, 1, 0, 0, "^", kSrchRegex, true).result, 0);
}

TEST_F(FileTest, ChangedLinesAmongLinesInTheCopyAreSearchedInTheirNewText) {
  std::string content;
  for (int i = 0; i < 3000; ++i) content += "filler line " + std::to_string(i) + "\n";
  File* f = Load("a", content);
  // Line 1500 changes: its old text in the copy no longer counts.
  FileChange(f, nullptr, 0, 1500, 0, 1500, 6, "needle", 6, false);
  FileChange(f, nullptr, 0, 2500, 0, 2500, 0, "x", 1, false);
  EXPECT_EQ(Find(f, 1, 0, 1, "needle line 1499", kCase), (Found{1, 1500, 0, 1500, 16}));
  EXPECT_EQ(Find(f, 1, 0, 1, "filler line 1499", kCase).result, 0);
  EXPECT_EQ(Find(f, 1, 0, 1, "xfiller", kCase), (Found{1, 2500, 0, 2500, 7}));
  EXPECT_EQ(Find(f, 3000, 0, 0, "needle", kCase), (Found{1, 1500, 0, 1500, 6}));
  EXPECT_EQ(Find(f, 1, 0, 1, "line 2999", kCase), (Found{1, 3000, 7, 3000, 16}));
}

}  // namespace
