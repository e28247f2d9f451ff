// The editor's own pattern matcher: plain text, wildcards and a compact
// regular-expression dialect, each optionally anchored at word or line
// boundaries and case-folded, tried at the candidate columns of one line in
// either direction. A match may continue over line ends into the next lines.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lines a match may look at: line 0 is the line the candidates are on;
// later lines are asked for only when the pattern crosses a line end.
class SrchLines {
 public:
  virtual ~SrchLines() = default;
  // The text of line k, false past the last line. The view stays valid
  // until the next call with another k.
  virtual bool get(int32_t k, std::string_view* text) = 0;
};

// One line held as a string view, with no lines after it.
class SrchOneLine : public SrchLines {
 public:
  explicit SrchOneLine(std::string_view text) : text_(text) {}
  bool get(int32_t k, std::string_view* text) override {
    if (k != 0) return false;
    *text = text_;
    return true;
  }

 private:
  std::string_view text_;
};

// Lines held in memory (for tests and texts outside a file).
class SrchVectorLines : public SrchLines {
 public:
  SrchVectorLines(const std::vector<std::string>& lines, size_t first)
      : lines_(lines), first_(first) {}
  bool get(int32_t k, std::string_view* text) override {
    size_t i = first_ + static_cast<size_t>(k);
    if (k < 0 || i >= lines_.size()) return false;
    *text = lines_[i];
    return true;
  }

 private:
  const std::vector<std::string>& lines_;
  size_t first_;
};

// A compiled pattern.
struct SrchPattern {
  enum Mode : uint8_t { kPlain, kWild, kRegex };
  Mode mode = kPlain;
  bool fold = false;  // A-Z compare equal to a-z
  bool wordStart = false, wordEnd = false, lineStart = false, lineEnd = false;
  bool continuation = false;  // the start anchors are not checked
  bool malformed = false;
  bool hasLineBreak = false;
  std::string text;  // plain and wildcard patterns, folded when `fold`
  // Regular expressions: group 0 is the whole pattern; each group is a list
  // of alternatives, each a sequence of elements.
  struct Elem {
    enum Kind : uint8_t { kChar, kAny, kClass, kLineBreak, kGroup };
    Kind kind = kChar;
    bool star = false;
    unsigned char ch = 0;  // kChar, folded when `fold`
    int32_t index = 0;     // kClass: classes; kGroup: groups
  };
  using Seq = std::vector<Elem>;
  std::vector<std::vector<Seq>> groups;
  std::vector<std::bitset<256>> classes;
  // When every match starts with a character, the characters it may start
  // with: candidates at other characters are skipped.
  bool hasFirst = false;
  std::bitset<256> first;
};

// Compiles a pattern for the matcher flags (filesearch.h): picks the mode
// (the regular-expression flag is dropped when the pattern has none of its
// special characters, the wildcard flag without "*" or "?"), takes the
// anchors of a regular expression off it. Returns 1, or -2 for a malformed
// pattern (`malformed` set; the caller reports it).
int SrchCompile(const char* pattern, int32_t length, int flags, SrchPattern* out);

// Where a match ends: `lines` line breaks further down, at column `col`.
struct SrchEnd {
  int32_t lines = 0;
  int32_t col = 0;
};

// How the text before the scan's first candidate looks when it differs from
// line 0 (replacing in a line while it is being rebuilt): the candidate
// column plus `shift` is the real column, and `prev` is the character before
// the first candidate (-1: none, the line starts there).
struct SrchContext {
  int32_t shift = 0;
  int prev = -1;
};

// Tries the candidates of line 0 from `col`: forward col, col + 1, ... up to
// the line's length; backward col (at most the line's length), col - 1, ...
// 0. Returns the first column where the pattern matches and its anchors
// hold, with *end set; -1 when none does.
int32_t SrchFindInLine(const SrchPattern& p, SrchLines& lines, int32_t col, bool forward,
                       SrchEnd* end, const SrchContext* context = nullptr);

// Whether c is a word character: a letter, a digit or "_".
inline bool SrchWordChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
inline unsigned char SrchFold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// The first occurrence of the plain (single-line) pattern in [hay, hay + n),
// or nullptr; case-folded when `fold`, with the pattern already folded.
const char* SrchScanPlain(const char* hay, size_t n, std::string_view pattern, bool fold);
// The last occurrence starting at or before hay + last_start (inside
// [hay, hay + n)), or nullptr.
const char* SrchScanPlainBack(const char* hay, size_t n, size_t last_start,
                              std::string_view pattern, bool fold);
