// Plain and wildcard searches against a straightforward reference on random
// texts and patterns: line by line in both directions, and over a file
// large enough for several cache windows, with changed lines among lines
// still in the temporary copy.
#include <algorithm>
#include <cctype>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "file_fixture.h"
#include "windlib/file/filesearch.h"
#include "windlib/file/srchmatch.h"
#include "windlib/file/undo.h"

namespace {

using oetest::FileTest;

// ---- The reference: the rules written down as plainly as possible. --------------

struct Ref {
  std::string pat;
  bool wild, fold, ws, we, ls, le;

  explicit Ref(const std::string& p, int flags)
      : pat(p),
        wild((flags & kSrchWild) && p.find_first_of("*?") != std::string::npos),
        fold(!(flags & kSrchCase)),
        ws(flags & kSrchWordStart),
        we(flags & kSrchWordEnd),
        ls(flags & kSrchLineStart),
        le(flags & kSrchLineEnd) {}

  static char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
  static bool word(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

  bool end_ok(const std::string& s, int e) const {
    if (le && e != static_cast<int>(s.size())) return false;
    if (we && e < static_cast<int>(s.size()) && word(s[static_cast<size_t>(e)])) return false;
    return true;
  }

  // The end of a match of pat[pi...] at pos, or -1.
  int at(const std::string& s, size_t pi, int pos) const {
    for (; pi < pat.size(); ++pi) {
      char p = pat[pi];
      if (wild && p == '*') {
        if (pat.find_first_not_of('*', pi) == std::string::npos) return static_cast<int>(s.size());
        for (int q = pos; q <= static_cast<int>(s.size()); ++q) {
          int e = at(s, pi + 1, q);
          if (e >= 0 && end_ok(s, e)) return e;
        }
        return -1;
      }
      if (pos >= static_cast<int>(s.size())) return -1;
      char t = s[static_cast<size_t>(pos)];
      if (!(wild && p == '?') && (fold ? lower(t) != lower(p) : t != p)) return -1;
      ++pos;
    }
    return pos;
  }

  bool candidate(const std::string& s, int c, int* end) const {
    if (ls && c != 0) return false;
    if (ws && c > 0 && word(s[static_cast<size_t>(c - 1)])) return false;
    int e = at(s, 0, c);
    if (e < 0 || !end_ok(s, e)) return false;
    *end = e;
    return true;
  }

  int find(const std::string& s, int col, bool forward, int* end) const {
    if (pat.empty()) return -1;
    const int n = static_cast<int>(s.size());
    col = std::min(col, n);
    if (forward) {
      for (int c = col; c <= n; ++c)
        if (candidate(s, c, end)) return c;
    } else {
      for (int c = col; c >= 0; --c)
        if (candidate(s, c, end)) return c;
    }
    return -1;
  }
};

std::string random_string(std::mt19937& rng, const std::string& alphabet, int max_len) {
  int len = std::uniform_int_distribution<int>(0, max_len)(rng);
  std::string s;
  for (int i = 0; i < len; ++i)
    s += alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)];
  return s;
}

int random_flags(std::mt19937& rng) {
  int flags = 0;
  for (int bit : {kSrchCase, kSrchWild, kSrchWordStart, kSrchWordEnd, kSrchLineStart, kSrchLineEnd})
    if (rng() % 3 == 0) flags |= bit;
  return flags;
}

std::string random_pattern(std::mt19937& rng) {
  std::string p = random_string(rng, "abAB_ *?", 4);
  if (p.empty()) p = "a";
  return p;
}

// The column SrchFindInLine finds in one line, or -2 when `pat` does not
// compile.
int FindInLine(std::string_view text, const std::string& pat, int flags, int col, bool forward,
               SrchEnd* e) {
  SrchPattern p;
  if (SrchCompile(pat.data(), static_cast<int32_t>(pat.size()), flags, &p) != 1) return -2;
  SrchOneLine one(text);
  return SrchFindInLine(p, one, col, forward, e);
}

TEST(SrchDiff, LineSearchesAgreeWithTheReference) {
  std::mt19937 rng(20261205);
  int found = 0;
  for (int i = 0; i < 20000; ++i) {
    const std::string text = random_string(rng, "abAB_ -*?", 14);
    const std::string pat = random_pattern(rng);
    const int flags = random_flags(rng);
    const bool forward = rng() % 2;
    const int col = std::uniform_int_distribution<int>(0, 16)(rng);
    Ref ref(pat, flags);
    int ref_end = 0;
    int want = ref.find(text, col, forward, &ref_end);
    SrchEnd e;
    int got = FindInLine(text, pat, flags, col, forward, &e);
    ASSERT_EQ(got, want) << "text '" << text << "' pattern '" << pat << "' flags " << flags
                         << (forward ? " forward" : " backward") << " from " << col;
    if (got >= 0) {
      ++found;
      ASSERT_EQ(e.lines, 0);
      ASSERT_EQ(e.col, ref_end) << "text '" << text << "' pattern '" << pat << "'";
    }
  }
  EXPECT_GT(found, 1000) << "the cases should find something often";
}

class SrchDiffFile : public FileTest {};

TEST_F(SrchDiffFile, FileSearchesAgreeWithTheReference) {
  std::mt19937 rng(7);
  std::vector<std::string> lines;
  std::string content;
  for (int i = 0; i < 6000; ++i) {
    // Mostly letters the patterns do not use, so that matches are sparse
    // and scans cross several windows.
    std::string line = random_string(rng, "cdefghijklmnopqrstuvwxyz      ", 24);
    if (rng() % 40 == 0) line += random_string(rng, "abAB_ ", 6);
    lines.push_back(line);
    content += line + "\n";
  }
  File* f = Load("big", content);
  ASSERT_EQ(f->nLines, 6000);
  ASSERT_LT(f->cacheAlloc, static_cast<int32_t>(content.size()) / 2);
  // Changed lines among the lines still in the temporary copy.
  for (int n = 1; n <= 6000; n += 97) {
    std::string add = random_string(rng, "abAB_", 3);
    FileChange(f, nullptr, 0, n, 0, n, 0, add.data(), static_cast<int32_t>(add.size()), false);
    lines[static_cast<size_t>(n - 1)].insert(0, add);
  }
  int found = 0;
  for (int i = 0; i < 600; ++i) {
    const std::string pat = random_pattern(rng);
    const int flags = random_flags(rng);
    const bool forward = rng() % 2;
    const bool edge = rng() % 8 == 0;
    int32_t line = std::uniform_int_distribution<int32_t>(1, 6000)(rng);
    int32_t col = std::uniform_int_distribution<int32_t>(0, 30)(rng);
    // The reference walk.
    Ref ref(pat, flags);
    int want_line = 0, want_col = -1, want_end = 0;
    if (forward) {
      for (int n = edge ? 1 : line, c = edge ? 0 : col; n <= 6000; ++n, c = 0) {
        want_col = ref.find(lines[static_cast<size_t>(n - 1)], c, true, &want_end);
        if (want_col >= 0) {
          want_line = n;
          break;
        }
      }
    } else {
      int c = edge ? INT_MAX : col - static_cast<int>(pat.size()) + 1;
      for (int n = edge ? 6000 : line; n >= 1; --n, c = INT_MAX) {
        if (c < 0) continue;
        want_col = ref.find(lines[static_cast<size_t>(n - 1)], c, false, &want_end);
        if (want_col >= 0) {
          want_line = n;
          break;
        }
      }
    }
    int32_t l = line, c = col, el = 0, ec = 0;
    int r = FileFind(f, nullptr, 0, &l, &c, &el, &ec, forward ? 1 : -1, edge, pat.data(),
                     static_cast<int32_t>(pat.size()), flags);
    ASSERT_EQ(r, want_line ? 1 : 0) << "pattern '" << pat << "' flags " << flags << " from " << line
                                    << ":" << col << (forward ? " forward" : " backward");
    if (r == 1) {
      ++found;
      ASSERT_EQ(l, want_line) << "pattern '" << pat << "' flags " << flags;
      ASSERT_EQ(c, want_col) << "pattern '" << pat << "' flags " << flags;
      ASSERT_EQ(el, want_line);
      ASSERT_EQ(ec, want_end);
    }
  }
  EXPECT_GT(found, 200);
}

// A plain search written as a regular expression finds the same: each
// character escaped, alone, in a group, or beside an alternative that
// cannot match.
TEST(SrchDiff, ModesAgreeOnEquivalentPatterns) {
  std::mt19937 rng(99);
  int found = 0;
  for (int i = 0; i < 5000; ++i) {
    const std::string text = random_string(rng, "abAB_ -.", 14);
    std::string pat = random_string(rng, "abAB_ -.", 3);
    if (pat.empty()) pat = "a";
    const int anchors = random_flags(rng) & ~kSrchWild;
    const int col = std::uniform_int_distribution<int>(0, 15)(rng);
    const bool fwd = rng() % 2;
    SrchEnd want_end, e;
    const int want = FindInLine(text, pat, anchors, col, fwd, &want_end);
    ASSERT_NE(want, -2) << pat;
    found += want >= 0;
    std::string escaped;
    for (char c : pat) escaped += std::string("\\") + c;
    for (const std::string& regex :
         {escaped, "(" + escaped + ")", "(zz|" + escaped + ")", "zz|" + escaped}) {
      int got = FindInLine(text, regex, anchors | kSrchRegex, col, fwd, &e);
      ASSERT_EQ(got, want) << "text '" << text << "' regex '" << regex << "' flags " << anchors
                           << (fwd ? " forward" : " backward") << " from " << col;
      if (got >= 0) {
        ASSERT_EQ(e.col, want_end.col) << regex;
      }
    }
  }
  EXPECT_GT(found, 300);
}

// Plain patterns with line breaks against the file's text joined by line
// ends: the first place in that text from the start position, forward.
TEST_F(SrchDiffFile, LineSpanningPlainSearchesAgreeWithTheJoinedText) {
  std::mt19937 rng(5);
  for (int round = 0; round < 20; ++round) {
    std::string joined;
    for (int i = 0; i < 40; ++i) joined += random_string(rng, "abA", 4) + (i < 39 ? "\n" : "");
    File* f = Load("f" + std::to_string(round), joined + "\n");
    std::vector<size_t> line_start{0};
    for (size_t i = 0; i < joined.size(); ++i)
      if (joined[i] == '\n') line_start.push_back(i + 1);
    for (int i = 0; i < 50; ++i) {
      std::string pat = random_string(rng, "ab\n\n", 5);
      if (pat.find('\n') == std::string::npos) pat += "\na";
      const bool fold = rng() % 2;
      const int32_t line = std::uniform_int_distribution<int32_t>(1, 40)(rng);
      std::string hay = joined, needle = pat;
      if (fold)
        for (std::string* s : {&hay, &needle})
          for (char& c : *s) c = Ref::lower(c);
      size_t from = line_start[static_cast<size_t>(line - 1)];
      size_t at = hay.find(needle, from);
      int32_t l = line, c = 0, el = 0, ec = 0;
      int r = FileFind(f, nullptr, 0, &l, &c, &el, &ec, 1, false, pat.data(),
                       static_cast<int32_t>(pat.size()), fold ? 0 : kSrchCase);
      ASSERT_EQ(r, at == std::string::npos ? 0 : 1) << "pattern '" << pat << "'";
      if (r != 1) continue;
      size_t n = static_cast<size_t>(std::upper_bound(line_start.begin(), line_start.end(), at) -
                                     line_start.begin());
      ASSERT_EQ(l, static_cast<int32_t>(n)) << "pattern '" << pat << "'";
      ASSERT_EQ(c, static_cast<int32_t>(at - line_start[n - 1]));
      size_t end = at + pat.size();
      size_t en = static_cast<size_t>(std::upper_bound(line_start.begin(), line_start.end(), end) -
                                      line_start.begin());
      ASSERT_EQ(el, static_cast<int32_t>(en));
      ASSERT_EQ(ec, static_cast<int32_t>(end - line_start[en - 1]));
    }
  }
}

// A regular-expression search finds the first column (forward) or the last
// (backward) where the pattern matches: each column tried on its own (the
// text from there, with the pattern anchored at its start) agrees. Patterns
// that begin with a starred element let the search skip columns; this
// checks none is skipped wrongly.
TEST(SrchDiff, RegexSearchFindsTheNearestColumnThatMatches) {
  std::mt19937 rng(11);
  const std::vector<std::string> leads{"a*", "b*", ".*", "[ab]*", "[^a]*", "(ab)*", "c"};
  const std::vector<std::string> rests{"a", "b", "c", "ab", "b*c", "a.c", "(a|bc)", "c*a", ""};
  int found = 0;
  for (int i = 0; i < 4000; ++i) {
    const std::string text = random_string(rng, "aabbc", 16);
    const std::string pat = leads[rng() % leads.size()] + rests[rng() % rests.size()] +
                            (rng() % 4 == 0 ? "|" + rests[rng() % rests.size()] : "");
    const int flags = kSrchRegex | kSrchCase | (rng() % 3 == 0 ? kSrchLineEnd : 0);
    const int col = std::uniform_int_distribution<int>(0, 8)(rng);
    const bool forward = rng() % 3 != 0;
    SrchEnd e;
    const int got = FindInLine(text, pat, flags, col, forward, &e);
    int want = -1;
    SrchEnd want_end;
    const std::string at_start = "^(" + pat + ")";
    for (int c = std::min<int>(col, static_cast<int>(text.size()));
         c >= 0 && c <= static_cast<int>(text.size()) && want < 0; c += forward ? 1 : -1) {
      const std::string_view rest = std::string_view(text).substr(static_cast<size_t>(c));
      if (FindInLine(rest, at_start, flags, 0, true, &want_end) == 0) {
        want = c;
        want_end.col += c;
      }
    }
    ASSERT_EQ(got, want) << "text '" << text << "' pattern '" << pat << "' from " << col
                         << (forward ? " forward" : " backward");
    if (got >= 0) {
      ++found;
      ASSERT_EQ(e.col, want_end.col) << "text '" << text << "' pattern '" << pat << "'";
    }
  }
  EXPECT_GT(found, 1000);
}

}  // namespace
