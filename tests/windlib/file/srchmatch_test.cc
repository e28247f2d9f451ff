// The pattern matcher on lines held in memory: choosing the mode, plain
// text, wildcards, the regular-expression dialect, anchors, both
// directions.
#include "windlib/file/srchmatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windlib/file/filesearch.h"

namespace {

using Lines = std::vector<std::string>;

struct R {
  int32_t col = -1;
  int32_t lines = 0;
  int32_t end = 0;
  bool operator==(const R&) const = default;
};

std::ostream& operator<<(std::ostream& os, const R& r) {
  return os << "{" << r.col << " +" << r.lines << " " << r.end << "}";
}

constexpr R kNone{-1, 0, 0};
constexpr R kBad{-2, 0, 0};

R Match(const Lines& text, int32_t col, bool forward, const std::string& pat, int flags) {
  SrchPattern p;
  if (SrchCompile(pat.data(), static_cast<int32_t>(pat.size()), flags, &p) != 1) return kBad;
  SrchVectorLines src(text, 0);
  SrchEnd e;
  int32_t c = SrchFindInLine(p, src, col, forward, &e);
  if (c < 0) return kNone;
  return R{c, e.lines, e.col};
}

R Fwd(const std::string& line, const std::string& pat, int flags, int32_t col = 0) {
  return Match(Lines{line}, col, true, pat, flags);
}
R Back(const std::string& line, const std::string& pat, int flags, int32_t col) {
  return Match(Lines{line}, col, false, pat, flags);
}

constexpr int C = kSrchCase;
constexpr int W = kSrchWild;
constexpr int X = kSrchRegex;

TEST(SrchMatch, ModeFlagsAreDroppedWithoutTheirSpecialCharacters) {
  SrchPattern p;
  SrchCompile("abc", 3, X | C, &p);
  EXPECT_EQ(p.mode, SrchPattern::kPlain);
  SrchCompile("a)", 2, X | C, &p);  // ")" alone is no reason for the dialect
  EXPECT_EQ(p.mode, SrchPattern::kPlain);
  SrchCompile("a.c", 3, W | C, &p);
  EXPECT_EQ(p.mode, SrchPattern::kPlain);
  SrchCompile("a?c", 3, W | C, &p);
  EXPECT_EQ(p.mode, SrchPattern::kWild);
  SrchCompile("a.c", 3, X | W | C, &p);
  EXPECT_EQ(p.mode, SrchPattern::kRegex);
  // A plain "." is a dot, a regex "." any character.
  EXPECT_EQ(Fwd("abc a.c", "a.c", W | C), (R{4, 0, 7}));
  EXPECT_EQ(Fwd("abc a.c", "a.c", X | C), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("x a) y", "a)", X | C), (R{2, 0, 4}));
}

TEST(SrchMatch, PlainTextCandidatesInBothDirections) {
  EXPECT_EQ(Fwd("abab", "ab", C), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("abab", "ab", C, 1), (R{2, 0, 4}));
  EXPECT_EQ(Fwd("abab", "ab", C, 3), kNone);
  EXPECT_EQ(Fwd("abab", "ab", C, 99), kNone);
  EXPECT_EQ(Back("abab", "ab", C, 99), (R{2, 0, 4}));
  EXPECT_EQ(Back("abab", "ab", C, 1), (R{0, 0, 2}));
  EXPECT_EQ(Back("abab", "ab", C, 0), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("", "a", C), kNone);
  EXPECT_EQ(Fwd("abc", "", C), kNone) << "an empty plain pattern finds nothing";
  // Case folding is A-Z only, both ways.
  EXPECT_EQ(Fwd("xAbC", "abc", 0), (R{1, 0, 4}));
  EXPECT_EQ(Fwd("xabc", "ABC", 0), (R{1, 0, 4}));
  EXPECT_EQ(Fwd("x[", "{", 0), kNone);
  EXPECT_EQ(Back("aBcabC", "ABC", 0, 5), (R{3, 0, 6}));
}

TEST(SrchMatch, AnchorsAroundPlainText) {
  const int WS = kSrchWordStart, WE = kSrchWordEnd, LS = kSrchLineStart, LE = kSrchLineEnd;
  EXPECT_EQ(Fwd("xfoo foo", "foo", C | WS), (R{5, 0, 8}));
  EXPECT_EQ(Fwd("_foo -foo", "foo", C | WS), (R{6, 0, 9}));
  EXPECT_EQ(Fwd("foo1 foo-", "foo", C | WE), (R{5, 0, 8}));
  EXPECT_EQ(Fwd("foo foo", "foo", C | LS), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("foo foo", "foo", C | LS, 1), kNone) << "after column 0 the line has no match";
  EXPECT_EQ(Back("foo foo", "foo", C | LS, 6), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("foo foo", "foo", C | LE), (R{4, 0, 7}));
  EXPECT_EQ(Fwd("foo fooo", "foo", C | LE), kNone);
  // A wildcard continuation starts inside a match: no start anchors.
  EXPECT_EQ(Fwd("xfoo", "foo", C | WS | LS | kSrchInternal), (R{1, 0, 4}));
  EXPECT_EQ(Fwd("xfoo", "foo", C | WE | LE | kSrchInternal), (R{1, 0, 4}));
  EXPECT_EQ(Fwd("xfoox", "foo", C | LE | kSrchInternal), kNone);
  // A word anchor looks only at the neighbour, not at the match.
  EXPECT_EQ(Fwd("a-b", "-", C | WS | WE), kNone);
  EXPECT_EQ(Fwd("a - b", "-", C | WS | WE), (R{2, 0, 3}));
}

TEST(SrchMatch, LineBreaksContinueOnTheNextLine) {
  Lines t{"ab", "abc", "cd", "ab", "cdx"};
  EXPECT_EQ(Match(t, 0, true, "ab\ncd", C), kNone) << "line 1 goes on with abc";
  EXPECT_EQ(Match(Lines(t.begin() + 3, t.end()), 0, true, "ab\ncd", C), (R{0, 1, 2}));
  EXPECT_EQ(Match(Lines{"xab", "", "cd"}, 0, true, "ab\n\ncd", C), (R{1, 2, 2}));
  EXPECT_EQ(Match(Lines{"ab"}, 0, true, "ab\n", C), kNone) << "no line follows";
  EXPECT_EQ(Match(Lines{"ab", ""}, 0, true, "ab\n", C), (R{0, 1, 0}));
  EXPECT_EQ(Match(Lines{"a", "b"}, 0, true, "a\nb", C | kSrchLineEnd | kSrchWordEnd), (R{0, 1, 1}));
  EXPECT_EQ(Match(Lines{"a", "bc"}, 0, true, "a\nb", C | kSrchWordEnd), kNone);
  EXPECT_EQ(Match(Lines{"xa", "by"}, 0, true, "a\nb", W | C), (R{1, 1, 1}));
  EXPECT_EQ(Match(Lines{"xa", "by"}, 0, true, "?\nb", W | C), (R{1, 1, 1}));
  EXPECT_EQ(Match(Lines{"xa", "by"}, 0, true, "x.\nb", X | C), (R{0, 1, 1}));
  EXPECT_EQ(Match(Lines{"xa", "by"}, 0, true, "x.\nb.$", X | C), (R{0, 1, 2}));
}

TEST(SrchMatch, WildcardsQuestionMarkAndStar) {
  EXPECT_EQ(Fwd("abc adc", "a?c", W | C, 1), (R{4, 0, 7}));
  EXPECT_EQ(Fwd("ab", "a??", W | C), kNone);
  // A final star runs to the end of the line.
  EXPECT_EQ(Fwd("xx abc def", "ab*", W | C), (R{3, 0, 10}));
  EXPECT_EQ(Fwd("xx", "*", W | C, 1), (R{1, 0, 2}));
  // Otherwise the first place where the rest matches ends the run.
  EXPECT_EQ(Fwd("a1c2c3", "a*c", W | C), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("a1c2c3", "a*c?", W | C), (R{0, 0, 4}));
  EXPECT_EQ(Fwd("abc", "a*x", W | C), kNone);
  EXPECT_EQ(Fwd("a**b", "a**b", W | C), (R{0, 0, 4}));
  EXPECT_EQ(Fwd("aXb", "A*B", W), (R{0, 0, 3}));
  // The rest is looked for with the end anchors: the line end or word end
  // decides where the run stops.
  EXPECT_EQ(Fwd("axbyb", "a*b", W | C | kSrchLineEnd), (R{0, 0, 5}));
  EXPECT_EQ(Fwd("axbb yb", "a*b", W | C | kSrchWordEnd), (R{0, 0, 4}));
  // Word start is checked where the match starts, not where the rest does.
  EXPECT_EQ(Fwd("ab xb", "a*b", W | C | kSrchWordStart), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("xab", "a*b", W | C | kSrchWordStart), kNone);
  // Backward: the latest candidate first.
  EXPECT_EQ(Back("a1c a2c", "a?c", W | C, 99), (R{4, 0, 7}));
  EXPECT_EQ(Back("a1c a2c", "a?c", W | C, 3), (R{0, 0, 3}));
}

TEST(SrchMatch, WildcardStarsDoNotExplode) {
  std::string text(3000, 'a');
  std::string pat;
  for (int i = 0; i < 40; ++i) pat += "*a";
  pat += "*b";
  EXPECT_EQ(Fwd(text, pat, W | C), kNone);
  EXPECT_EQ(Fwd(text + "b", pat, W | C), (R{0, 0, 3001}));
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "?*";
  EXPECT_EQ(Fwd(text, deep, W | C), kNone) << "continuations nested too deep fail cleanly";
}

TEST(SrchMatch, RegexAnchorsAreTakenOffThePattern) {
  EXPECT_EQ(Fwd("ab ab", "^ab", X | C, 1), kNone);
  EXPECT_EQ(Fwd("ab ab", "^ab", X | C), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("ab abx", "ab$", X | C), kNone);
  EXPECT_EQ(Fwd("ab ab", "ab$", X | C), (R{3, 0, 5}));
  EXPECT_EQ(Fwd("a$b a$", "a\\$", X | C), (R{0, 0, 2})) << "an escaped $ is a character";
  // A word wrapped in < > stands alone: not before a letter, not after "_".
  EXPECT_EQ(Fwd("_word words word", "<word>", X | C), (R{12, 0, 16}));
  EXPECT_EQ(Fwd("_word words", "<word>", X | C), kNone);
  EXPECT_EQ(Fwd("word_", "<word>", X | C), kNone);
  // What is left empty matches the empty string at the first candidate.
  EXPECT_EQ(Fwd("abc", "^", X | C), (R{0, 0, 0}));
  EXPECT_EQ(Fwd("abc", "^", X | C, 1), kNone);
  EXPECT_EQ(Fwd("abc", "$", X | C), (R{3, 0, 3}));
  EXPECT_EQ(Fwd("", "^$", X | C), (R{0, 0, 0}));
  EXPECT_EQ(Fwd("x", "^$", X | C), kNone);
  EXPECT_EQ(Fwd("a-b", "<", X | C, 1), (R{2, 0, 2}));
}

TEST(SrchMatch, RegexElements) {
  EXPECT_EQ(Fwd("a.b axb", "a\\.b", X | C, 1), kNone);
  EXPECT_EQ(Fwd("a.b axb", "a\\.b", X | C), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("xA", "\\a", X), (R{1, 0, 2})) << "an escaped letter folds";
  EXPECT_EQ(Fwd("xa", "\\A", X | C), kNone);
  EXPECT_EQ(Fwd("ab\\", "b\\", X | C), (R{1, 0, 3})) << "a final backslash is itself";
  EXPECT_EQ(Fwd("ab", "a.", X | C), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("a", "a.", X | C), kNone) << "no character at the line end";
  // Classes: ranges, negation, "]" first, unterminated.
  EXPECT_EQ(Fwd("x5y", "[0-9]", X | C), (R{1, 0, 2}));
  EXPECT_EQ(Fwd("ab]", "[]x]", X | C), (R{2, 0, 3}));
  EXPECT_EQ(Fwd("abc", "[^ab]", X | C), (R{2, 0, 3}));
  EXPECT_EQ(Fwd("a", "a[^b]", X | C), kNone) << "a negated class needs a character";
  EXPECT_EQ(Fwd("x-y", "[a-]", X | C), (R{1, 0, 2}));
  EXPECT_EQ(Fwd("zzb", "[ab", X | C), (R{2, 0, 3}));
  EXPECT_EQ(Fwd("zz[", "[", X | C), kNone) << "an empty unterminated class matches nothing";
  // Case: a class compares without folding, a letter with.
  EXPECT_EQ(Fwd("ABC", "[a-z]", X), kNone);
  EXPECT_EQ(Fwd("ABC", "[a-z]", X | W), kNone);
  EXPECT_EQ(Fwd("ABC", "b", X), (R{1, 0, 2}));
  EXPECT_EQ(Fwd("ABC", "b", 0), (R{1, 0, 2}));
  EXPECT_EQ(Fwd("aBC", "[A-Z]", X), (R{1, 0, 2}));
}

TEST(SrchMatch, RegexStarIsGreedyAndSavesNoStateForZeroRepetitions) {
  EXPECT_EQ(Fwd("abc", "x*", X | C), (R{0, 0, 0})) << "empty where no x stands";
  EXPECT_EQ(Fwd("xxxy", "x*", X | C), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("aaab", "a*ab", X | C), (R{0, 0, 4}));
  EXPECT_EQ(Fwd("a1b2b", "a.*b", X | C), (R{0, 0, 5}));
  EXPECT_EQ(Fwd("a1b2b", "a[0-9b]*2", X | C), (R{0, 0, 4}));
  // After one repetition, zero is never tried again: "a*a" cannot match a
  // lone "a", and over "aa" it takes one each.
  EXPECT_EQ(Fwd("a", "a*a", X | C), kNone);
  EXPECT_EQ(Fwd("aa", "a*a", X | C), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("ba", "a*b", X | C), (R{0, 0, 1}));
  EXPECT_EQ(Fwd("..x", "\\.*x", X | C), (R{0, 0, 3}));
  EXPECT_EQ(Back("aaa", "a*", X | C, 3), (R{3, 0, 3}));
  EXPECT_EQ(Back("aaa", "a*", X | C, 1), (R{1, 0, 3}));
}

TEST(SrchMatch, TwoHundredSavedStatesAndNotOneMore) {
  const std::string a200(200, 'a');
  EXPECT_EQ(Fwd(a200 + "b", "a*b", X | C), (R{0, 0, 201}));
  // The 201st saved state fails the candidate; the next candidate has 200.
  EXPECT_EQ(Fwd("a" + a200 + "b", "a*b", X | C), (R{1, 0, 202}));
  EXPECT_EQ(Fwd("a" + a200, "a*", X | C), (R{1, 0, 201}));
  // States of two stars count together.
  EXPECT_EQ(Fwd(std::string(100, 'a') + std::string(100, 'b') + "c", "a*b*c", X | C),
            (R{0, 0, 201}));
  EXPECT_EQ(Fwd(std::string(100, 'a') + std::string(101, 'b') + "c", "a*b*c", X | C),
            (R{1, 0, 202}));
  // Group repetitions count as states too.
  std::string ab201;
  for (int i = 0; i < 201; ++i) ab201 += "ab";
  EXPECT_EQ(Fwd(ab201 + "c", "(ab)*c", X | C), (R{2, 0, 403}));
}

TEST(SrchMatch, GroupsAndAlternation) {
  EXPECT_EQ(Fwd("a dog", "cat|dog", X | C), (R{2, 0, 5}));
  EXPECT_EQ(Fwd("catdog", "dog|cat", X | C), (R{0, 0, 3})) << "the candidate decides first";
  EXPECT_EQ(Fwd("abab ababc", "(ab)*c", X | C), (R{5, 0, 10}));
  EXPECT_EQ(Fwd("xc", "(ab)*c", X | C), (R{1, 0, 2}));
  // The first alternative that leads to a match wins.
  EXPECT_EQ(Fwd("cats", "(ca|cat)s", X | C), (R{0, 0, 4}));
  EXPECT_EQ(Fwd("cats", "(cat|ca)", X | C), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("cats", "(ca|cat)", X | C), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("xaby", "x(a|ab)y", X | C), (R{0, 0, 4}));
  EXPECT_EQ(Fwd("ab", "(a|b)*", X | C), (R{0, 0, 2}));
  // Matching goes back into a group when what follows fails: into its
  // stars and into the alternatives of each repetition.
  EXPECT_EQ(Fwd("aab", "(a*)ab", X | C), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("aab", "(ab|a)*b", X | C), (R{0, 0, 3}));
  EXPECT_EQ(Fwd("abcd", "((a|ab)(c|bcd))d", X | C), (R{0, 0, 4}));
  // A starred group that matched takes no zero repetitions either.
  EXPECT_EQ(Fwd("a", "(a)*a", X | C), kNone);
  EXPECT_EQ(Fwd("aa", "(a)*a", X | C), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("abc", "a(x|)bc", X | C), (R{0, 0, 3})) << "an empty alternative";
  EXPECT_EQ(Fwd("abc", "(x*)*c", X | C), (R{2, 0, 3})) << "an empty group ends its repetition";
  EXPECT_EQ(Fwd("((a", "((a", X | C), (R{2, 0, 3})) << "unclosed groups end with the pattern";
  EXPECT_EQ(Fwd("a(b)", "a\\(b\\)", X | C), (R{0, 0, 4}));
}

TEST(SrchMatch, GroupClosedButNeverOpenedIsMalformed) {
  EXPECT_EQ(Fwd("a)", "a.)", X | C), kBad);
  EXPECT_EQ(Fwd("a)", "(a))", X | C), kBad);
  EXPECT_EQ(Fwd("a)", "a|)", X | C), kBad);
  EXPECT_EQ(Fwd("a)", "a\\)", X | C), (R{0, 0, 2}));
  EXPECT_EQ(Fwd("a)", "[)]", X | C), (R{1, 0, 2}));
  SrchPattern p;
  EXPECT_EQ(SrchCompile(")*", 2, X, &p), kSrchMalformed);
  EXPECT_TRUE(p.malformed);
  SrchVectorLines src(Lines{")"}, 0);
  SrchEnd e;
  EXPECT_EQ(SrchFindInLine(p, src, 0, true, &e), -1) << "a malformed pattern never matches";
}

TEST(SrchMatch, NestedGroupsAndManyStarsFailCleanly) {
  std::string deep(1200, '(');
  deep += "a";
  EXPECT_EQ(Fwd("a", deep, X | C), kNone) << "groups nested too deep fail the candidate";
  EXPECT_EQ(Fwd("a", std::string(50, '(') + "a" + std::string(50, ')'), X | C), (R{0, 0, 1}));
  std::string row;
  for (int i = 0; i < 300; ++i) row += "(a)";
  EXPECT_EQ(Fwd(std::string(300, 'a'), row, X | C), (R{0, 0, 300})) << "groups one after another";
  std::string stars;
  for (int i = 0; i < 12; ++i) stars += "a*";
  EXPECT_EQ(Fwd(std::string(150, 'a'), stars + "b", X | C), kNone);
}

TEST(SrchMatch, ReplacementContextGivesTheRealColumnAndTheCharacterBefore) {
  SrchPattern p;
  SrchCompile("ab", 2, C | kSrchWordStart | kSrchLineStart, &p);
  SrchOneLine one("xab");
  SrchEnd e;
  EXPECT_EQ(SrchFindInLine(p, one, 1, true, &e), -1);
  SrchContext ctx{-1, -1};  // the "x" was replaced by nothing
  EXPECT_EQ(SrchFindInLine(p, one, 1, true, &e, &ctx), 1);
  ctx = SrchContext{-1, 'y'};
  EXPECT_EQ(SrchFindInLine(p, one, 1, true, &e, &ctx), -1);
}

TEST(SrchMatch, ScanPlainFindsEitherCaseOfTheFirstLetter) {
  std::string hay = "xxAbxaBxab";
  EXPECT_EQ(SrchScanPlain(hay.data(), hay.size(), "ab", true), hay.data() + 2);
  EXPECT_EQ(SrchScanPlain(hay.data() + 3, hay.size() - 3, "ab", true), hay.data() + 5);
  EXPECT_EQ(SrchScanPlain(hay.data(), hay.size(), "ab", false), hay.data() + 8);
  EXPECT_EQ(SrchScanPlain(hay.data(), hay.size(), "b", true), hay.data() + 3);
  EXPECT_EQ(SrchScanPlain(hay.data(), 9, "ab", false), nullptr) << "stays inside its length";
  EXPECT_EQ(SrchScanPlainBack(hay.data(), hay.size(), 99, "ab", true), hay.data() + 8);
  EXPECT_EQ(SrchScanPlainBack(hay.data(), hay.size(), 7, "ab", true), hay.data() + 5);
  EXPECT_EQ(SrchScanPlainBack(hay.data(), hay.size(), 1, "ab", true), nullptr);
}

}  // namespace
