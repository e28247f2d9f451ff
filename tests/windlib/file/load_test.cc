#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "file_fixture.h"

namespace {

using oetest::FileTest;
using Strings = std::vector<std::string>;

// The lines a load makes and the line ends it settles on: CR LF when most
// lines end so (a tie counts as LF), uniform when all lines end alike.
TEST_F(FileTest, LinesAndLineEndsOfSmallFiles) {
  struct Case {
    std::string content;
    Strings lines;
    bool crlf, uniform;
  };
  const Case cases[] = {
      {"one\ntwo", {"one", "two"}, false, true},
      {"one\ntwo\n", {"one", "two"}, false, true},
      {"\n\n", {"", ""}, false, true},
      {"", {}, false, true},
      {"abc", {"abc"}, false, true},
      {"a\r\nb\r\nc\r\nd\n", {"a", "b", "c", "d"}, true, false},
      {"a\r\nb\r\nc\nd\n", {"a", "b", "c", "d"}, false, false},
      {"a\r\nb\r\n", {"a", "b"}, true, true},
      {"a\rb\r\r\nc\r", {"a\rb\r", "c\r"}, true, true},  // a lone CR is a character
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.content));
    File* f = Load("t" + std::to_string(++n), c.content);
    EXPECT_EQ(Lines(f), c.lines);
    EXPECT_EQ(f->nLines, static_cast<int32_t>(c.lines.size()));
    EXPECT_EQ(static_cast<bool>(f->crlf), c.crlf);
    EXPECT_EQ(static_cast<bool>(f->diskCrlf), c.crlf);
    EXPECT_EQ(static_cast<bool>(f->uniformEnds), c.uniform);
    int64_t size = 0;
    for (const std::string& l : c.lines) size += static_cast<int64_t>(l.size()) + (c.crlf ? 2 : 1);
    EXPECT_EQ(FileCurrentSize(f), size);
  }
}

TEST_F(FileTest, CrLfPairSplitBetweenReadPiecesIsOneLineEnd) {
  // The first piece is 32768 bytes: put the CR last in it.
  std::string first(32767, 'x');
  std::string content = first + "\r\nsecond\r\n" + std::string(40000, 'y') + "\r\n";
  File* f = Load("split", content);
  ASSERT_EQ(f->nLines, 3);
  EXPECT_EQ(Lines(f)[0], first);
  EXPECT_EQ(Lines(f)[1], "second");
  EXPECT_EQ(Lines(f)[2].size(), 40000u);
  EXPECT_TRUE(f->crlf);
  EXPECT_TRUE(f->uniformEnds);

  // A CR that ends a piece without an LF after it stays a character.
  File* g = Load("split2", first + "\rz\n");
  EXPECT_EQ(Lines(g), (Strings{first + "\rz"}));
}

TEST_F(FileTest, WalksAcrossManyWindowsForwardAndBackward) {
  std::string content;
  Strings expected;
  for (int i = 0; i < 20000; ++i) {
    std::string line(static_cast<size_t>(i * 7 % 97), static_cast<char>('a' + i % 26));
    if (i == 5000) line = std::string(70000, 'L');  // longer than any window
    expected.push_back(line);
    content += line + "\n";
  }
  File* f = Load("big", content);
  ASSERT_EQ(f->nLines, 20000);
  EXPECT_EQ(Lines(f), expected);
  int i = f->nLines - 1;
  for (Line* l = f->last; l; l = l->prev, --i) {
    ASSERT_EQ(std::string(FileLineText(f, l), l->len), expected[i]) << i;
  }
  EXPECT_LE(f->cacheAlloc, 70000 + 2048) << "the window grew only for the long line";
}

TEST_F(FileTest, WidthsCountTabsAndControlBytes) {
  File* f = Load("w", "abcdefg\tx\n\x01\n");
  Line* first = f->first;
  f->maxWidth = 0;
  FileSetMaxW(f, first);
  EXPECT_EQ(f->maxWidth, 17);  // 1 + 7 chars -> 8, tab -> 16, x -> 17
  File* g = Load("w2", "abcdefg\t\n");
  EXPECT_EQ(g->maxWidth, 16);
  File* h = Load("w3", "\x01\n");
  EXPECT_EQ(h->maxWidth, 3);
  int32_t c1 = 8, c2 = 7;
  FileLineCols(g, 1, 1, &c1, &c2);
  EXPECT_EQ(c1, 8);
  EXPECT_EQ(c2, 7);
  int32_t beyond = 12;
  FileLineCols(g, 1, 1, &beyond, nullptr);
  EXPECT_EQ(beyond, 12) << "8 columns, then four characters beyond the end";
  cfgTabSize = 4;
  int32_t tabbed = 8;
  FileLineCols(g, 1, 1, &tabbed, nullptr);
  EXPECT_EQ(tabbed, 8);
  cfgTabSize = 0;
  tabbed = 8;
  FileLineCols(g, 1, 1, &tabbed, nullptr);
  EXPECT_EQ(tabbed, 8) << "a tab size of 0 advances one column";
}

TEST_F(FileTest, MaxWidthComputedWhileLoadingMatchesARecount) {
  std::string content;
  for (int i = 0; i < 3000; ++i)
    content += std::string(static_cast<size_t>(i % 50), '\t') + "x\x02y\n";
  File* f = Load("mw", content);
  int32_t loaded = f->maxWidth;
  FileFindMaxWidth(f);
  EXPECT_EQ(loaded, f->maxWidth);
}

TEST_F(FileTest, LineLookupFromThreeStartingPoints) {
  std::string content;
  for (int i = 1; i <= 100; ++i) content += std::to_string(i) + "\n";
  File* f = Load("n", content);
  EXPECT_EQ(FileLine(f, 0, nullptr, 0), f->first);
  EXPECT_EQ(FileLine(f, -5, nullptr, 0), f->first);
  EXPECT_EQ(FileLine(f, 101, nullptr, 0), nullptr);
  EXPECT_EQ(FileLine(f, 100, nullptr, 0), f->last);
  Line* l40 = FileLine(f, 40, nullptr, 0);
  EXPECT_EQ(std::string(FileLineText(f, l40), l40->len), "40");
  for (int n : {1, 39, 40, 41, 70, 99, 100}) {
    Line* l = FileLine(f, n, l40, 40);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(std::string(FileLineText(f, l), l->len), std::to_string(n));
    EXPECT_EQ(FileLineno(f, l), n);
  }
  EXPECT_EQ(FileLineno(f, nullptr), 101);
  File* g = Load("other", "x\n");
  EXPECT_EQ(FileLineno(f, g->first), -1);
}

TEST_F(FileTest, LineChangeClampsAndInstanciates) {
  File* f = Load("c", "hello\nworld\n");
  Line* l = f->first;
  FileInstanciateLine(f, l);
  ASSERT_FALSE(LineInFile(l));
  LineChange(l, 3, 99, "p!", 2);
  EXPECT_STREQ(l->text.buf, "help!");
  LineChange(l, 50, 60, "?", 1);
  EXPECT_STREQ(l->text.buf, "help!?");
  LineChange(l, 0, 0, std::string(100, 'z').c_str(), 100);
  EXPECT_EQ(l->len, 106);
  EXPECT_LT(l->len, l->allocLen);
  EXPECT_EQ(l->text.buf[l->len], 0);
  FileMergeLines(f, l);
  EXPECT_EQ(f->nLines, 1);
  EXPECT_EQ(std::string(l->text.buf + 100), "help!?world");
}

TEST_F(FileTest, WritingAnInFileLineIsAnAssertion) {
  File* f = Load("a", "x\n");
  EXPECT_EXIT(LineChange(f->first, 0, 0, "y", 1), testing::ExitedWithCode(1),
              "Assertion \\(line->allocLen!=lnInFile\\) failed in '[^']*src/windlib/file/fileedit' "
              "on line");
}

TEST_F(FileTest, AppendStringsAndSize) {
  File* f = FileFInternal(nullptr);
  unlisted.push_back(f);
  FileAppendStrings(f, "a\tb\nc\n", 6);
  EXPECT_EQ(Lines(f), (Strings{"a\tb", "c"}));
  EXPECT_EQ(f->maxWidth, 9);  // 1, a: 2, tab: 8, b: 9
  EXPECT_EQ(FileCurrentSize(f), 6);
  f->crlf = 1;
  EXPECT_EQ(FileCurrentSize(f), 8);
  FileAppendStrings(f, "d\n\ne", 4);
  EXPECT_EQ(Lines(f), (Strings{"a\tb", "c", "d", "", "e"}));
}

TEST_F(FileTest, ReinitAfterTheDiskFileChangedReusesLineRecords) {
  File* f = Load("r", "aaa\nbbb\nccc\n");
  Line* first = f->first;
  Line* second = first->next;
  FileInstanciateLine(f, second);
  LineChange(second, 0, 3, "BBBB", 4);
  files.write("r", "aaa\nBBBB\nccc\ndd");  // what a save would have written, plus a line
  ASSERT_EQ(FileReinitTemp(f), 1);
  EXPECT_EQ(f->first, first);
  EXPECT_EQ(first->next, second);
  EXPECT_TRUE(LineInFile(second));
  EXPECT_EQ(Lines(f), (Strings{"aaa", "BBBB", "ccc", "dd"}));

  files.write("r", "one\n");  // fewer lines: the rest go
  ASSERT_EQ(FileReinitTemp(f), 1);
  EXPECT_EQ(Lines(f), (Strings{"one"}));
  EXPECT_EQ(f->nLines, 1);
}

TEST_F(FileTest, ReinitOfACrLfFileTurnsPairsIntoLineEnds) {
  File* f = Load("crlf", "a\r\nb\r\n");
  ASSERT_TRUE(f->crlf);
  files.write("crlf", "a\r\nbc\r\nd\r\n");
  ASSERT_EQ(FileReinitTemp(f), 1);
  EXPECT_EQ(Lines(f), (Strings{"a", "bc", "d"}));
}

TEST_F(FileTest, ReinitReportsAMissingDiskFile) {
  File* f = Load("gone", "x\n");
  unlink(files.file("gone").c_str());
  EXPECT_EQ(FileReinitTemp(f), 0);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "Cannot open file: " + files.file("gone"));
}

}  // namespace
