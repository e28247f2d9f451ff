// Replacing in files: one match, every match as one undo step, the
// positions returned, malformed patterns, interrupting, and replace-all on
// a text.
#include <random>
#include <string>

#include "file_fixture.h"
#include "windlib/file/filesearch.h"
#include "windlib/file/undo.h"

namespace {

using oetest::FileTest;
using Strings = std::vector<std::string>;

int ReplaceAll(File* f, const std::string& pat, const std::string& repl, int flags,
               int32_t* first = nullptr, TextPos* end = nullptr, const SrchAbort* abort = nullptr) {
  int32_t line = -7, col = -7, lowest = -7;
  int r = FileReplaceAll(f, &line, &col, pat.data(), static_cast<int32_t>(pat.size()), repl.data(),
                         static_cast<int32_t>(repl.size()), flags, &lowest, abort);
  if (first) *first = lowest;
  if (end) *end = TextPos{line, col};
  return r;
}

int Records(Undo* u) {
  int n = 0;
  for (; u; u = u->next) ++n;
  return n;
}

constexpr int C = kSrchCase;

TEST_F(FileTest, ReplaceAllIsOneUndoStepThatRestoresEveryByte) {
  const std::string original = "foo x foo\nbar\n\tFOO foofoo\r\nlast foo";
  File* f = Load("a", original);
  const std::string before = Text(f);
  int32_t first = 0;
  TextPos end;
  EXPECT_EQ(ReplaceAll(f, "foo", "quux", 0, &first, &end), 1);
  EXPECT_EQ(Text(f), "quux x quux\nbar\n\tquux quuxquux\nlast quux\n");
  EXPECT_EQ(first, 1);
  EXPECT_EQ(end, (TextPos{4, 9}));
  EXPECT_EQ(Records(f->undo), 1);
  EXPECT_TRUE(UndoIsGroup(f->undo));
  EXPECT_GE(FileUndo(f, nullptr, 0), 1);
  EXPECT_EQ(Text(f), before);
  EXPECT_EQ(FileUndo(f, nullptr, 0), -100) << "nothing else to undo";
  EXPECT_GE(FileRedo(f, nullptr, 0), 1);
  EXPECT_EQ(Text(f), "quux x quux\nbar\n\tquux quuxquux\nlast quux\n");
}

TEST_F(FileTest, ReplaceAllReportsTheLowestChangedLineAndNothingWhenNothingMatches) {
  File* f = Load("a", "a\nb\nc x\nd x\n");
  int32_t first = 0;
  EXPECT_EQ(ReplaceAll(f, "x", "y", C, &first), 1);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(ReplaceAll(f, "x", "y", C, &first), 0);
  EXPECT_EQ(first, -7) << "untouched when nothing was replaced";
  EXPECT_EQ(Records(f->undo), 1) << "no empty group";
}

TEST_F(FileTest, ReplaceAllGoesOnAfterTheInsertedText) {
  File* f = Load("a", "aaa\n");
  // The replacement holds the pattern: no endless loop.
  EXPECT_EQ(ReplaceAll(f, "a", "aa", C), 1);
  EXPECT_EQ(Text(f), "aaaaaa\n");
  // A word-start anchor sees the replacement before the next candidate.
  File* g = Load("b", "aa ab\n");
  EXPECT_EQ(ReplaceAll(g, "a", "-", C | kSrchWordStart), 1);
  EXPECT_EQ(Text(g), "-- -b\n");
  File* h = Load("c", "aa\n");
  EXPECT_EQ(ReplaceAll(h, "a", "x", C | kSrchWordStart), 1);
  EXPECT_EQ(Text(h), "xa\n");
  // Empty matches: one replacement at each place, the text kept.
  File* e = Load("d", "ab\n\nc\n");
  EXPECT_EQ(ReplaceAll(e, "x*", "-", C | kSrchRegex), 1);
  EXPECT_EQ(Text(e), "-a-b-\n-\n-c-\n");
  // A line-start anchor holds at the real column 0: after an empty
  // replacement the next search starts there again.
  File* s = Load("e", "aaab\naa\n");
  EXPECT_EQ(ReplaceAll(s, "a", "", C | kSrchLineStart), 1);
  EXPECT_EQ(Text(s), "b\n\n");
  File* t = Load("f", "aaa\n");
  EXPECT_EQ(ReplaceAll(t, "a", "x", C | kSrchLineStart), 1);
  EXPECT_EQ(Text(t), "xaa\n");
}

TEST_F(FileTest, ReplaceAllAcrossLineBreaks) {
  File* f = Load("a", "ab\ncd ab\ncd\nab\n");
  EXPECT_EQ(ReplaceAll(f, "ab\ncd", "X", C), 1);
  EXPECT_EQ(Text(f), "X X\nab\n");
  File* g = Load("b", "a,b,c\nd\n");
  TextPos end;
  EXPECT_EQ(ReplaceAll(g, ",", "\n", C, nullptr, &end), 1);
  EXPECT_EQ(Text(g), "a\nb\nc\nd\n");
  EXPECT_EQ(end, (TextPos{3, 0}));
  EXPECT_EQ(Records(g->undo), 1);
  FileUndo(g, nullptr, 0);
  EXPECT_EQ(Text(g), "a,b,c\nd\n");
}

TEST_F(FileTest, ReplaceAllWithAMalformedPatternChangesNothing) {
  File* f = Load("a", "a)b\n");
  EXPECT_EQ(ReplaceAll(f, "a.)", "x", C | kSrchRegex), -1);
  EXPECT_EQ(Text(f), "a)b\n");
  EXPECT_EQ(f->undo, nullptr);
  EXPECT_FALSE(f->modified);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("Badly formed regular expression: No '('"), std::string::npos);
}

// ReplaceAll does what replacing one match after another does: a search
// forward from the end of each replacement (one further after an empty
// match), on random texts and patterns of every mode.
TEST_F(FileTest, ReplaceAllAgreesWithReplacingOneMatchAfterAnother) {
  std::mt19937 rng(42);
  auto pick = [&](const std::string& alphabet, int max) {
    std::string s;
    int n = std::uniform_int_distribution<int>(0, max)(rng);
    for (int i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int i = 0; i < 300; ++i) {
    std::string content;
    for (int n = 0; n < 6; ++n) content += pick("abAB_ -", 10) + "\n";
    std::string pat = pick("abA_ *?.", 3);
    if (pat.empty()) pat = "a";
    const std::string repl = pick("ab-_", 2);
    int flags = static_cast<int>(rng() % 128);
    File* all = Load("all" + std::to_string(i), content);
    File* one = Load("one" + std::to_string(i), content);
    int r = ReplaceAll(all, pat, repl, flags);
    int32_t line = 1, col = 0;
    int count = 0;
    for (;;) {
      int32_t el = 0, ec = 0, l = line, c = col;
      int found = FileFind(one, nullptr, 0, &l, &c, &el, &ec, 1, false, pat.data(),
                           static_cast<int32_t>(pat.size()), flags);
      if (found != 1) break;
      ++count;
      FileChange(one, nullptr, 0, l, c, el, ec, repl.data(), static_cast<int32_t>(repl.size()),
                 false);
      line = l;
      col = c + static_cast<int32_t>(repl.size());
      if (el == l && ec == c) {
        Line* at = FileLine(one, line, nullptr, 0);
        if (col < at->len) {
          ++col;
        } else {
          ++line;
          col = 0;
        }
      }
      ASSERT_LT(count, 1000);
    }
    ASSERT_EQ(r, count > 0 ? 1 : 0) << "pattern '" << pat << "' flags " << flags;
    ASSERT_EQ(Text(all), Text(one)) << "pattern '" << pat << "' -> '" << repl << "' flags " << flags
                                    << " in '" << content << "'";
    if (r == 1) {
      FileUndo(all, nullptr, 0);
      ASSERT_EQ(Text(all), content);
    }
    FileFree(all);
    FileFree(one);
  }
}

TEST_F(FileTest, ReplaceAllOverManyWindowsKeepsLinesNotChangedInTheCopy) {
  std::string content;
  for (int i = 0; i < 5000; ++i)
    content +=
        (i % 50 == 7 ? "call target(x); target" : "other text line") + std::to_string(i) + "\n";
  File* f = Load("big", content);
  int32_t first = 0;
  EXPECT_EQ(ReplaceAll(f, "target", "t", C, &first), 1);
  EXPECT_EQ(first, 8);
  int changed = 0;
  for (Line* l = f->first; l; l = l->next) changed += !LineInFile(l);
  EXPECT_EQ(changed, 100) << "only lines with a match get their own text";
  std::string want = content;
  for (size_t at = 0; (at = want.find("target", at)) != std::string::npos;)
    want.replace(at, 6, "t");
  EXPECT_EQ(Text(f), want);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Text(f), content);
}

// ---- Replacing one match --------------------------------------------------------------

TEST_F(FileTest, ReplaceInALineStillInTheTemporaryCopy) {
  File* f = Load("a", "one\ntwo two\nthree\n");
  ASSERT_TRUE(LineInFile(f->first->next));
  int32_t line = 1, col = 0;
  TextRange replaced;
  EXPECT_EQ(FileReplace(f, nullptr, 0, &line, &col, 1, false, "two", 3, "2", 1, C, &replaced), 1);
  EXPECT_EQ(Text(f), "one\n2 two\nthree\n");
  EXPECT_EQ((TextPos{line, col}), (TextPos{2, 1})) << "forward: after the replacement";
  EXPECT_EQ(replaced.begin, (TextPos{2, 0}));
  EXPECT_EQ(replaced.end, (TextPos{2, 1}));
  EXPECT_TRUE(LineInFile(f->first)) << "other lines stay in the copy";
  EXPECT_TRUE(LineInFile(f->last));
  // Backward: the position returned is the start of the replacement.
  line = 3;
  col = 0;
  EXPECT_EQ(FileReplace(f, nullptr, 0, &line, &col, -1, false, "two", 3, "II\nI", 4, C, &replaced),
            1);
  EXPECT_EQ(Text(f), "one\n2 II\nI\nthree\n");
  EXPECT_EQ((TextPos{line, col}), (TextPos{2, 2}));
  EXPECT_EQ(replaced.begin, (TextPos{2, 2}));
  EXPECT_EQ(replaced.end, (TextPos{3, 1}));
  line = 1;
  col = 0;
  EXPECT_EQ(FileReplace(f, nullptr, 0, &line, &col, 1, false, "zzz", 3, "x", 1, C), 0);
  EXPECT_EQ((TextPos{line, col}), (TextPos{1, 0})) << "nothing moves when nothing is found";
}

TEST_F(FileTest, EachReplaceIsItsOwnUndoStep) {
  File* f = Load("a", "ab ab\n");
  FileChange(f, nullptr, 0, 1, 5, 1, 5, "!", 1, true);  // typing, still open
  int32_t line = 1, col = 0;
  ASSERT_EQ(FileReplace(f, nullptr, 0, &line, &col, 1, false, "ab", 2, "X", 1, C), 1);
  FileChange(f, nullptr, 0, 1, 1, 1, 1, "?", 1, true);  // typed right after it
  EXPECT_EQ(Text(f), "X? ab!\n");
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Text(f), "X ab!\n");
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Text(f), "ab ab!\n");
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Text(f), "ab ab\n");
}

TEST_F(FileTest, MalformedPatternIsReportedAndNothingMoves) {
  File* f = Load("a", "a)\n");
  int32_t line = 1, col = 1, el = 9, ec = 9;
  EXPECT_EQ(FileFind(f, nullptr, 0, &line, &col, &el, &ec, 1, false, "(a))", 4, kSrchRegex), -1);
  EXPECT_EQ((TextPos{line, col}), (TextPos{1, 1}));
  EXPECT_EQ(FileReplace(f, nullptr, 0, &line, &col, 1, false, ")", 1, "x", 1, kSrchRegex), 1)
      << "a lone \")\" is plain text";
  int32_t spanned = 0, end = 0;
  EXPECT_EQ(FMatchesHere(f, f->first, 0, "x|)", 3, &spanned, &end, kSrchRegex), kSrchMalformed);
  EXPECT_EQ(BMatchesHere(f, f->first, 2, "x|)", 3, &spanned, &end, kSrchRegex), kSrchMalformed);
  EXPECT_EQ(reports.size(), 3u);
  EXPECT_EQ(Text(f), "ax\n");
}

TEST_F(FileTest, MatchesHereSearchesOneLineInEachDirection) {
  File* f = Load("a", "xab ab\ncd\nab\n");
  int32_t spanned = -1, end = -1;
  EXPECT_EQ(FMatchesHere(f, f->first, 2, "ab", 2, &spanned, &end, C), 4);
  EXPECT_EQ(end, 6);
  EXPECT_EQ(FMatchesHere(f, f->first, 5, "ab", 2, &spanned, &end, C), kSrchNone) << "one line only";
  EXPECT_EQ(BMatchesHere(f, f->first, 3, "ab", 2, &spanned, &end, C), 1);
  EXPECT_EQ(BMatchesHere(f, f->first, 0, "ab", 2, &spanned, &end, C), kSrchNone);
  EXPECT_EQ(FMatchesHere(f, f->first, 0, "ab\ncd", 5, &spanned, &end, C), 4);
  EXPECT_EQ(spanned, 1);
  EXPECT_EQ(end, 2);
}

// ---- Interrupting ----------------------------------------------------------------

struct Poller {
  int calls = 0;
  int abortAt = -1;  // the call that reports an abort
  File* shrink = nullptr;
  static bool Poll(void* arg) {
    auto* p = static_cast<Poller*>(arg);
    ++p->calls;
    if (p->shrink && p->calls == 1) {
      // Events processed during the search deleted most of the file.
      FileChange(p->shrink, nullptr, 0, 2, 0, p->shrink->nLines + 1, 0, "", 0, false);
    }
    return p->calls == p->abortAt;
  }
};

TEST_F(FileTest, LongSearchesPollForAnAbortEveryCacheCapacity) {
  std::string content;
  for (int i = 0; i < 20000; ++i) content += "some line of text " + std::to_string(i) + "\n";
  File* f = Load("big", content);
  const int64_t size = static_cast<int64_t>(content.size());
  for (int flags : {C, 0, kSrchWild, kSrchRegex | C}) {
    for (int dir : {1, -1}) {
      Poller p;
      SrchAbort hook{&Poller::Poll, &p};
      int32_t l = 1, c = 0, el, ec;
      EXPECT_EQ(FileFind(f, nullptr, 0, &l, &c, &el, &ec, dir, dir < 0, "zz*q", 4, flags, &hook),
                0);
      EXPECT_GE(p.calls, size / f->cacheAlloc - 2) << flags;
      EXPECT_LE(p.calls, size / f->cacheAlloc + 1) << flags;
      Poller q{0, 3};
      SrchAbort stop{&Poller::Poll, &q};
      EXPECT_EQ(FileFind(f, nullptr, 0, &l, &c, &el, &ec, dir, dir < 0, "zz*q", 4, flags, &stop),
                -1);
      EXPECT_EQ(q.calls, 3);
    }
  }
}

TEST_F(FileTest, SearchSurvivesTheFileShrinkingWhileItPolls) {
  std::string content;
  for (int i = 0; i < 20000; ++i) content += "line " + std::to_string(i) + "\n";
  File* f = Load("big", content);
  Poller p;
  p.shrink = f;
  SrchAbort hook{&Poller::Poll, &p};
  int32_t l = 1, c = 0, el, ec;
  EXPECT_EQ(FileFind(f, nullptr, 0, &l, &c, &el, &ec, 1, false, "line 19999", 10, C, &hook), 0);
  EXPECT_EQ(f->nLines, 1);
}

TEST_F(FileTest, AbortedReplaceAllKeepsWhatItDidAsOneUndoStep) {
  std::string content;
  for (int i = 0; i < 20000; ++i) content += "x" + std::to_string(i) + "\n";
  File* f = Load("big", content);
  Poller p{0, 2};
  SrchAbort hook{&Poller::Poll, &p};
  EXPECT_EQ(ReplaceAll(f, "x", "y", C, nullptr, nullptr, &hook), -1);
  const std::string now = Text(f);
  EXPECT_EQ(now.substr(0, 3), "y0\n");
  EXPECT_NE(now.find("\nx19999\n"), std::string::npos);
  EXPECT_EQ(Records(f->undo), 1);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Text(f), content);
}

TEST_F(FileTest, ReplaceAllCutShortByAPanicStillUndoesAsOneStep) {
  std::string content;
  for (int i = 0; i < 20000; ++i) content += "x" + std::to_string(i) + "\n";
  File* f = Load("big", content);
  gFileCacheFillsBeforeFailure = 3;
  bool panicked = WithRecoveryPoint([&] { ReplaceAll(f, "x", "yy", C); }) != 0;
  gFileCacheFillsBeforeFailure = -1;
  ASSERT_TRUE(panicked);
  EXPECT_EQ(Text(f).substr(0, 4), "yy0\n");
  EXPECT_EQ(Records(f->undo), 1);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Text(f), content);
}

// ---- Replace-all on a text ---------------------------------------------------------

TEST(SrchReplaceAll, ReplacesEveryOccurrenceLeftToRight) {
  const std::string t = "aaa-b-aa";
  EXPECT_EQ(Srch_ReplaceAll(t.data(), t.data() + t.size(), "aa", "x"), "xa-b-x");
  EXPECT_EQ(Srch_ReplaceAll(t.data(), t.data() + t.size(), "-", ""), "aaabaa");
  EXPECT_EQ(Srch_ReplaceAll(t.data(), t.data() + t.size(), "", "z"), t);
  EXPECT_EQ(Srch_ReplaceAll(t.data(), t.data() + 4, "a", "AA"), "AAAAAA-");
  EXPECT_EQ(Srch_ReplaceAll(t.data(), t.data(), "a", "b"), "");
  const std::string nul("a\0a", 3);
  EXPECT_EQ(Srch_ReplaceAll(nul.data(), nul.data() + 3, "a", "b"), std::string("b\0b", 3));
}

}  // namespace
