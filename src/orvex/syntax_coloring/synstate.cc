// The line scanner of the colouring: which lexical element starts where, how
// far it reaches, the state a line leaves for the next one, the dead code of
// conditional directives, and the colour of each state.
#include "orvex/syntax_coloring/synstate.h"

#include <fnmatch.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "orvex/syntax_coloring/synlanguage.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wcolorlist.h"

namespace {
// The elements that may stay open to the end of a line.
constexpr uint32_t kOpenBits = synComment | synAnyString | synAnyChar | synLineComment | synBlock;

bool same_text(const char* t, std::string_view w, bool case_sensitive) {
  return case_sensitive ? std::memcmp(t, w.data(), w.size()) == 0
                        : strncasecmp(t, w.data(), w.size()) == 0;
}

// A delimiter text without its markers: a first byte 0x01 ties it to column
// 0, a last byte 0x02 to the end of the line.
struct Marked {
  std::string_view text;
  bool col0 = false;
  bool eol = false;
};

Marked marked(const std::string& s) {
  Marked m{s};
  if (!m.text.empty() && m.text.front() == '\x01') {
    m.col0 = true;
    m.text.remove_prefix(1);
  }
  if (!m.text.empty() && m.text.back() == '\x02') {
    m.eol = true;
    m.text.remove_suffix(1);
  }
  return m;
}

// Whether `m` stands at byte i of a line of `len` bytes.
bool marked_at(const Marked& m, const char* t, int32_t i, int32_t len, bool case_sensitive) {
  if (m.col0 && i != 0) return false;
  const auto n = static_cast<int32_t>(m.text.size());
  if (i + n > len || (m.eol && i + n != len)) return false;
  if (n == 0) return m.col0 || m.eol;
  return same_text(t + i, m.text, case_sensitive);
}

// Escape characters directly before byte p, counting back no further than
// `floor`.
int32_t escapes_before(const char* t, int32_t p, int32_t floor, int escape) {
  int32_t n = 0;
  while (p - n - 1 >= floor && static_cast<unsigned char>(t[p - n - 1]) == escape) ++n;
  return n;
}

// Where `m` next occurs at or after `from` and is not escaped (an odd number
// of escapes before it); -1 when it does not.
int32_t find_end(const Marked& m, const char* t, int32_t from, int32_t len, int escape) {
  const auto n = static_cast<int32_t>(m.text.size());
  auto counts = [&](int32_t p) {
    return escape < 0 || escapes_before(t, p, from, escape) % 2 == 0;
  };
  if (m.col0) return from == 0 && marked_at(m, t, 0, len, true) ? 0 : -1;
  if (m.eol) {
    const int32_t p = len - n;
    return p >= from && marked_at(m, t, p, len, true) && counts(p) ? p : -1;
  }
  if (n == 0) return -1;
  int32_t p = from;
  while (p + n <= len) {
    const void* hit = memmem(t + p, static_cast<size_t>(len - p), m.text.data(), m.text.size());
    if (!hit) return -1;
    p = static_cast<int32_t>(static_cast<const char*>(hit) - t);
    if (counts(p)) return p;
    ++p;
  }
  return -1;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

int32_t first_non_blank(const char* t, int32_t len) {
  int32_t i = 0;
  while (i < len && is_blank(t[i])) ++i;
  return i;
}

int compare(std::string_view a, std::string_view b, bool case_sensitive) {
  const size_t n = std::min(a.size(), b.size());
  const int r =
      case_sensitive ? std::memcmp(a.data(), b.data(), n) : strncasecmp(a.data(), b.data(), n);
  if (r != 0 || a.size() == b.size()) return r;
  return a.size() < b.size() ? -1 : 1;
}

// Whether `text` is a prefix of one of the sorted `suffixes`.
bool prefix_of_suffix(const std::vector<std::string>& suffixes, std::string_view text,
                      bool case_sensitive) {
  if (text.empty()) return true;
  for (const std::string& s : suffixes)
    if (s.size() >= text.size() && same_text(s.data(), text, case_sensitive)) return true;
  return false;
}

// The language's own words are looked up by bisection; the few words of
// extra items one by one.
bool matches_items(const synLanguage& lang, const synCustomizedItems& items,
                   const std::string& word, bool case_sensitive, bool own) {
  if (own ? lang.IsCustomizedWord(word)
          : std::any_of(items.words.begin(), items.words.end(), [&](const std::string& w) {
              return compare(w, word, case_sensitive) == 0;
            }))
    return true;
  const int flags = case_sensitive ? 0 : FNM_CASEFOLD;
  for (const std::string& p : items.patterns)
    if (fnmatch(p.c_str(), word.c_str(), flags) == 0) return true;
  return false;
}

uint32_t string_bit(int pair) {
  return pair == 0 ? synString : synString2;
}
uint32_t char_bit(int pair) {
  return pair == 0 ? synChar : synChar2;
}

// A conditional directive line.
struct Directive {
  bool is = false;
  bool opening = false;  // a word beginning with "if"
  bool endif = false;
  bool isElse = false;
  bool isElif = false;
  bool ifZero = false;  // "if" or "elif" with a number whose value is 0
  bool ifOne = false;   // "if" with a number whose value is not 0
};

// The number after an "if" or "elif": 0, 1 for any other value, -1 when
// none stands there.
int directive_number(const char* t, int32_t i, int32_t len) {
  if (i >= len || !is_blank(t[i])) return -1;
  while (i < len && is_blank(t[i])) ++i;
  bool nonzero = false;
  int32_t digits = 0;
  if (i + 2 < len && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X') &&
      isxdigit(static_cast<unsigned char>(t[i + 2]))) {
    for (i += 2; i < len && isxdigit(static_cast<unsigned char>(t[i])); ++i, ++digits)
      nonzero = nonzero || t[i] != '0';
  } else {
    for (; i < len && isdigit(static_cast<unsigned char>(t[i])); ++i, ++digits)
      nonzero = nonzero || t[i] != '0';
  }
  if (digits == 0) return -1;
  if (i < len && !is_blank(t[i]) && t[i] != '/') return -1;
  return nonzero ? 1 : 0;
}

Directive directive_of(const synLanguage& lang, const char* t, int32_t len) {
  Directive d;
  if (lang.preprocessorChar == 0) return d;
  int32_t i = first_non_blank(t, len);
  if (i >= len || static_cast<unsigned char>(t[i]) != lang.preprocessorChar) return d;
  ++i;
  while (i < len && is_blank(t[i])) ++i;
  const int32_t w = i;
  while (i < len && (isalnum(static_cast<unsigned char>(t[i])) || t[i] == '_')) ++i;
  const std::string_view word(t + w, static_cast<size_t>(i - w));
  const bool cs = lang.preprocessorCaseSensitive;
  auto is = [&](std::string_view name) { return compare(word, name, cs) == 0; };
  d.is = true;
  d.opening = word.size() >= 2 && same_text(word.data(), "if", cs);
  d.endif = is("endif");
  d.isElse = is("else") && (i == len || is_blank(t[i]) || t[i] == '/');
  d.isElif = is("elif");
  if (is("if") || d.isElif) {
    const int n = directive_number(t, i, len);
    d.ifZero = n == 0;
    d.ifOne = n == 1 && !d.isElif;
  }
  return d;
}

// One line being scanned.
class Scanner {
 public:
  Scanner(const synLanguage& lang, const char* t, int32_t len, const ExtraSyntaxInfo* extra)
      : l_(lang), t_(t), len_(len), extra_(extra) {
    PrepareTables(lang);
  }

  static void PrepareTables(const synLanguage& lang);

  // The element starting at i (0: none); its extent, pair, and whether it
  // stays open at the end of the line.
  uint32_t Find(int32_t i, bool quick, int32_t* n, int* pair, bool* open) const;
  // The end of the element open at the line start: 1 when it closes.
  int Finish(uint32_t state, int pair, int32_t from, int32_t* n) const;
  uint32_t CommentAt(int32_t i, int32_t* n, bool* open) const {
    return IsKind(synKindFortran) ? 0 : Comment(i, n, open);
  }
  bool LineCommentAt(int32_t i) const { return LineComment(i); }
  // Where the scan goes on when nothing starts at i.
  int32_t Skip(int32_t i) const { return sep(t_[i]) ? i + 1 : WordEnd(i); }

 private:
  bool sep(char c) const { return l_.separators[static_cast<unsigned char>(c)]; }
  int32_t WordEnd(int32_t i) const {
    while (i < len_ && !sep(t_[i])) ++i;
    return i;
  }
  bool IsKind(synLanguageKind k) const { return l_.kind == k; }
  bool CLike() const { return IsKind(synKindC) || IsKind(synKindCPP); }
  bool DollarBefore(int32_t i) const { return i > 0 && t_[i - 1] == '$'; }

  uint32_t Preprocessor(int32_t i, int32_t* n) const;
  uint32_t Pairs(const std::vector<synClosingItem>& pairs, int32_t i, int32_t* n, int* pair,
                 bool* open, bool isChar) const;
  uint32_t Comment(int32_t i, int32_t* n, bool* open) const;
  bool LineComment(int32_t i) const;
  bool MemberAccess(int32_t i, int32_t end) const;
  int32_t Integer(int32_t i) const;
  int32_t Float(int32_t i) const;
  int32_t AdaNumber(int32_t i, bool* isFloat) const;
  int32_t CommentEnd(int32_t from, int32_t* endLen) const;

  const synLanguage& l_;
  const char* t_;
  int32_t len_;
  const ExtraSyntaxInfo* extra_;
};

void Scanner::PrepareTables(const synLanguage& lang) {
  if (lang.scanTablesReady) return;
  std::array<bool, 256>& start = lang.elementStart;
  start.fill(false);
  auto add_text = [&](const std::string& s, bool case_sensitive) {
    Marked m = marked(s);
    if (m.text.empty()) return;
    const auto c = static_cast<unsigned char>(m.text.front());
    start[c] = true;
    if (!case_sensitive) start[tolower(c)] = start[toupper(c)] = true;
  };
  for (const synClosingItem& p : lang.blocks) add_text(p.begin, lang.caseSensitive);
  for (const synClosingItem& p : lang.comments) add_text(p.begin, true);
  for (const std::string& s : lang.lineComments) add_text(s, lang.caseSensitive);
  for (const synClosingItem& p : lang.strings) add_text(p.begin, lang.caseSensitive);
  for (const synClosingItem& p : lang.characters) add_text(p.begin, lang.caseSensitive);
  for (int c = '0'; c <= '9'; ++c) start[c] = true;
  start['.'] = true;
  if (lang.preprocessorChar) start[lang.preprocessorChar] = true;
  lang.scanTablesReady = true;
}

uint32_t Scanner::Preprocessor(int32_t i, int32_t* n) const {
  const auto c = static_cast<unsigned char>(t_[i]);
  if (l_.preprocessorChar && c == l_.preprocessorChar) {
    if (i != first_non_blank(t_, len_)) return 0;
    int32_t j = i + 1;
    while (j < len_ && is_blank(t_[j])) ++j;
    const int32_t end = WordEnd(j);
    if (end == j) return 0;
    std::string word(1, static_cast<char>(c));
    word.append(t_ + j, static_cast<size_t>(end - j));
    if (!l_.IsPreprocessorWord(word)) return 0;
    *n = end - i;
    return synPreprocessor;
  }
  if (sep(t_[i])) return 0;
  const int32_t end = WordEnd(i);
  if (!l_.IsPreprocessorWord(std::string_view(t_ + i, static_cast<size_t>(end - i)))) return 0;
  *n = end - i;
  return synPreprocessor;
}

uint32_t Scanner::Pairs(const std::vector<synClosingItem>& pairs, int32_t i, int32_t* n, int* pair,
                        bool* open, bool isChar) const {
  for (size_t p = 0; p < pairs.size(); ++p) {
    const Marked begin = marked(pairs[p].begin);
    if (!marked_at(begin, t_, i, len_, l_.caseSensitive)) continue;
    const int32_t after = i + static_cast<int32_t>(begin.text.size());
    const int32_t e = find_end(marked(pairs[p].end), t_, after, len_, l_.escape);
    const Marked end = marked(pairs[p].end);
    // An Ada character literal is one character between its delimiters.
    if (isChar && IsKind(synKindAda) &&
        (e < 0 || e + static_cast<int32_t>(end.text.size()) - i != 3))
      continue;
    *pair = static_cast<int>(p);
    *open = e < 0;
    *n = e < 0 ? len_ - i : e + static_cast<int32_t>(end.text.size()) - i;
    return 1;
  }
  return 0;
}

int32_t Scanner::CommentEnd(int32_t from, int32_t* endLen) const {
  for (const synClosingItem& p : l_.comments) {
    const Marked end = marked(p.end);
    const int32_t e = find_end(end, t_, from, len_, -1);
    if (e >= 0) {
      *endLen = static_cast<int32_t>(end.text.size());
      return e;
    }
  }
  return -1;
}

uint32_t Scanner::Comment(int32_t i, int32_t* n, bool* open) const {
  for (const synClosingItem& p : l_.comments) {
    const Marked begin = marked(p.begin);
    if (!marked_at(begin, t_, i, len_, true)) continue;
    int32_t endLen = 0;
    const int32_t e = CommentEnd(i + static_cast<int32_t>(begin.text.size()), &endLen);
    *open = e < 0;
    *n = e < 0 ? len_ - i : e + endLen - i;
    return synComment;
  }
  return 0;
}

bool Scanner::LineComment(int32_t i) const {
  if (l_.name == "C" && !syn_Switches().cppCommentsInC) return false;
  if (t_[i] == '#' && DollarBefore(i) &&
      (IsKind(synKindPerl) || l_.name == "bsh" || l_.name == "csh" || l_.name == "bash"))
    return false;
  for (const std::string& s : l_.lineComments)
    if (marked_at(marked(s), t_, i, len_, l_.caseSensitive)) return true;
  return false;
}

// In C and C++ a member name after "." or "->", or an object name before
// them, is neither keyword nor customized word.
bool Scanner::MemberAccess(int32_t i, int32_t end) const {
  if (!CLike()) return false;
  if (i >= 1 && t_[i - 1] == '.') return true;
  if (i >= 2 && t_[i - 2] == '-' && t_[i - 1] == '>') return true;
  if (end < len_ && t_[end] == '.') return true;
  return end + 1 < len_ && t_[end] == '-' && t_[end + 1] == '>';
}

// The length of the integer literal at i, 0 when none: it must end where
// its word ends, and a fraction or exponent makes it a float instead.
int32_t Scanner::Integer(int32_t i) const {
  if (!isdigit(static_cast<unsigned char>(t_[i]))) return 0;
  int32_t j = i;
  const std::vector<std::string>* suffixes = &l_.decimalSuffixes;
  if (l_.hexOn && t_[i] == '0' && i + 2 < len_ && (t_[i + 1] == 'x' || t_[i + 1] == 'X') &&
      isxdigit(static_cast<unsigned char>(t_[i + 2]))) {
    j = i + 2;
    while (j < len_ && isxdigit(static_cast<unsigned char>(t_[j]))) ++j;
    suffixes = &l_.hexSuffixes;
  } else {
    while (j < len_ && isdigit(static_cast<unsigned char>(t_[j]))) ++j;
    if (l_.floatOn && j < len_ && t_[j] == '.') return 0;
  }
  const int32_t end = WordEnd(j);
  if (!prefix_of_suffix(*suffixes, std::string_view(t_ + j, static_cast<size_t>(end - j)),
                        l_.integerCaseSensitive))
    return 0;
  return end - i;
}

int32_t Scanner::Float(int32_t i) const {
  auto digit = [&](int32_t k) { return k < len_ && isdigit(static_cast<unsigned char>(t_[k])); };
  int32_t j = i;
  if (!digit(j) && !(t_[j] == '.' && digit(j + 1))) return 0;
  while (digit(j)) ++j;
  if (j < len_ && t_[j] == '.') {
    ++j;
    while (digit(j)) ++j;
  }
  if (l_.scientific && j < len_ && (t_[j] == 'e' || t_[j] == 'E')) {
    int32_t k = j + 1;
    if (k < len_ && (t_[k] == '+' || t_[k] == '-')) ++k;
    if (digit(k)) {
      while (digit(k)) ++k;
      j = k;
    }
  }
  const int32_t end = WordEnd(j);
  if (!prefix_of_suffix(l_.floatSuffixes, std::string_view(t_ + j, static_cast<size_t>(end - j)),
                        l_.floatCaseSensitive))
    return 0;
  return end - i;
}

// Ada: digits with underscores, a based part between '#' signs, a fraction
// and an exponent.
int32_t Scanner::AdaNumber(int32_t i, bool* isFloat) const {
  auto run = [&](int32_t k, bool hex) {
    while (k < len_ && (t_[k] == '_' || (hex ? isxdigit(static_cast<unsigned char>(t_[k]))
                                             : isdigit(static_cast<unsigned char>(t_[k])))))
      ++k;
    return k;
  };
  if (!isdigit(static_cast<unsigned char>(t_[i]))) return 0;
  int32_t j = run(i, false);
  *isFloat = false;
  if (j < len_ && t_[j] == '#') {
    const int32_t k = run(j + 1, true);
    if (k > j + 1 && k < len_ && t_[k] == '#') j = k + 1;
  } else if (j + 1 < len_ && t_[j] == '.' && isdigit(static_cast<unsigned char>(t_[j + 1]))) {
    j = run(j + 1, false);
    *isFloat = true;
  }
  if (j < len_ && (t_[j] == 'e' || t_[j] == 'E')) {
    int32_t k = j + 1;
    if (k < len_ && (t_[k] == '+' || t_[k] == '-')) ++k;
    if (k < len_ && isdigit(static_cast<unsigned char>(t_[k]))) j = run(k, false);
  }
  return WordEnd(j) == j ? j - i : 0;
}

uint32_t Scanner::Find(int32_t i, bool quick, int32_t* n, int* pair, bool* open) const {
  *open = false;
  *pair = 0;
  const auto c = static_cast<unsigned char>(t_[i]);
  const bool word_start = !sep(t_[i]);
  if (!quick && !l_.preprocessorWords.empty() && (word_start || c == l_.preprocessorChar))
    if (uint32_t bits = Preprocessor(i, n)) return bits;
  // A Fortran line starting with a comment character is a comment.
  if (i == 0 && IsKind(synKindFortran) && std::strchr("cC*#!", c) && c) {
    *n = len_;
    *open = true;
    return synLineComment;
  }
  if (l_.elementStart[c]) {
    if (Pairs(l_.blocks, i, n, pair, open, false)) return synBlock;
    if (!IsKind(synKindFortran))
      if (Comment(i, n, open)) return synComment;
    if (LineComment(i)) {
      *n = len_ - i;
      *open = true;
      return synLineComment;
    }
    const bool perl_variable = IsKind(synKindPerl) && i > 0 &&
                               (t_[i - 1] == '$' || t_[i - 1] == '*') &&
                               (c == '"' || c == '\'' || c == '`');
    if (!perl_variable) {
      if (Pairs(l_.strings, i, n, pair, open, false)) return string_bit(*pair);
      if (Pairs(l_.characters, i, n, pair, open, true)) return char_bit(*pair);
    }
  }
  if (isdigit(c) || c == '.') {
    if (l_.integerOn && !IsKind(synKindFortran))
      if ((*n = Integer(i)) > 0) return synInteger;
    if (l_.floatOn && !IsKind(synKindFortran))
      if ((*n = Float(i)) > 0) return synFloat;
    if (IsKind(synKindAda)) {
      bool is_float = false;
      if ((*n = AdaNumber(i, &is_float)) > 0) return is_float ? synFloat : synInteger;
    }
  }
  if (quick || !word_start) return 0;
  const int32_t end = WordEnd(i);
  if (MemberAccess(i, end)) return 0;
  const std::string_view word(t_ + i, static_cast<size_t>(end - i));
  if (word.size() < static_cast<size_t>(l_.tokenBufferSize) && l_.IsKeyword(word)) {
    *n = end - i;
    return synKeyword;
  }
  const bool customized = !l_.customized.words.empty() || !l_.customized.patterns.empty();
  const bool extra = extra_ && (!extra_->items.words.empty() || !extra_->items.patterns.empty());
  if (customized || extra) {
    const std::string w(word);
    if ((customized && matches_items(l_, l_.customized, w, l_.caseSensitive, true)) ||
        (extra && matches_items(l_, extra_->items, w, l_.caseSensitive, false))) {
      *n = end - i;
      return synCustomized;
    }
  }
  return 0;
}

int Scanner::Finish(uint32_t state, int pair, int32_t from, int32_t* n) const {
  int32_t e = -1, endLen = 0;
  auto pair_end = [&](const std::vector<synClosingItem>& pairs) {
    if (pair < 0 || static_cast<size_t>(pair) >= pairs.size()) return;
    const Marked end = marked(pairs[static_cast<size_t>(pair)].end);
    e = find_end(end, t_, from, len_, l_.escape);
    endLen = static_cast<int32_t>(end.text.size());
  };
  if (state & synComment)
    e = CommentEnd(from, &endLen);
  else if (state & synAnyString)
    pair_end(l_.strings);
  else if (state & synAnyChar)
    pair_end(l_.characters);
  else if (state & synBlock)
    pair_end(l_.blocks);
  // A line comment, and anything else, runs to the end of the line.
  if (e < 0) {
    *n = len_ - from;
    return 0;
  }
  *n = e + endLen - from;
  return 1;
}

// Collects runs, merging equal neighbours unless every run is wanted, and
// clips them to [from, to).
class Runs {
 public:
  Runs(const synLanguage* lang, const char* text, int32_t from, int32_t to, bool every,
       synRunCallback cb, void* ctx)
      : lang_(lang), text_(text), from_(from), to_(to), every_(every), cb_(cb), ctx_(ctx) {}
  void Add(int32_t start, int32_t n, uint32_t state) {
    if (!cb_) return;
    const int32_t s = std::max(start, from_), e = std::min(start + n, to_);
    if (s >= e) return;
    if (len_ > 0 && !every_ && state == state_ && start_ + len_ == s) {
      len_ += e - s;
      return;
    }
    Flush();
    start_ = s;
    len_ = e - s;
    state_ = state;
  }
  void Flush() {
    if (cb_ && len_ > 0) cb_(lang_, ctx_, text_, start_, len_, state_);
    len_ = 0;
  }

 private:
  const synLanguage* lang_;
  const char* text_;
  int32_t from_, to_;
  bool every_;
  synRunCallback cb_;
  void* ctx_;
  int32_t start_ = 0, len_ = 0;
  uint32_t state_ = 0;
};

// Scans a live line from its start state up to `stop`; the bits open at the
// end and their pair.
uint32_t scan_line(const synLanguage& lang, uint32_t state, int pair, const char* t, int32_t len,
                   int32_t stop, bool quick, const ExtraSyntaxInfo* extra, Runs* runs,
                   int* openPair) {
  Scanner s(lang, t, len, extra);
  int32_t i = 0;
  *openPair = pair;
  if (state & kOpenBits) {
    int32_t n = 0;
    const int closed = s.Finish(state, pair, 0, &n);
    if (runs) runs->Add(0, n, state);
    if (!closed) return state & kOpenBits;
    i = n;
  }
  stop = std::min(stop, len);
  while (i < stop) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (quick && !lang.elementStart[c] && i != 0) {
      i = s.Skip(i);
      continue;
    }
    int32_t n = 0;
    int p = 0;
    bool open = false;
    uint32_t bits = s.Find(i, quick, &n, &p, &open);
    // An element of no extent (a delimiter that is only a marker) would not
    // move the scan on: it is no element.
    if (bits && n <= 0 && !open) bits = 0;
    if (bits) {
      if (runs) runs->Add(i, n, bits);
      i += n;
      if (open) {
        *openPair = p;
        return bits;
      }
      continue;
    }
    const int32_t j = s.Skip(i);
    if (runs) runs->Add(i, j - i, 0);
    i = j;
  }
  return 0;
}

// The state an element open at the end of a line leaves for the next line:
// block comments go on; strings, characters and blocks only when their pair
// spans lines, line comments never, unless the line ends with the escape.
uint32_t carry_to_next_line(const synLanguage& lang, uint32_t open, int pair, const char* t,
                            int32_t len) {
  if (!open || (open & synComment)) return open;
  if (lang.escape >= 0 && len > 0 && static_cast<unsigned char>(t[len - 1]) == lang.escape)
    return open;
  auto spans = [&](const std::vector<synClosingItem>& pairs) {
    return pair >= 0 && static_cast<size_t>(pair) < pairs.size() &&
           pairs[static_cast<size_t>(pair)].spanLine;
  };
  if ((open & synAnyString) && spans(lang.strings)) return open;
  if ((open & synAnyChar) && spans(lang.characters)) return open;
  if ((open & synBlock) && spans(lang.blocks)) return open;
  return 0;
}

// How a directive changes the nesting of conditionals.
enum class Nesting { kSame, kIn, kOut, kOutermostEnded };

// Follows an "if" in and an "endif" out; the "endif" of the outermost
// conditional also ends the live branch it may have been in.
Nesting follow_nesting(const Directive& d, uint32_t* depth, uint32_t* live) {
  if (d.opening) {
    ++*depth;
    return Nesting::kIn;
  }
  if (!d.endif) return Nesting::kSame;
  if (*depth <= 1) {
    *depth = 0;
    *live = 0;
    return Nesting::kOutermostEnded;
  }
  --*depth;
  return Nesting::kOut;
}

uint32_t with_pair(uint32_t pstate, uint32_t open, int pair) {
  pstate &= ~synPairMask;
  if (open) pstate |= (static_cast<uint32_t>(pair) << synPairShift) & synPairMask;
  return pstate;
}

// Block comments inside dead code, so that directives in them do not count:
// the comment bit when one is open at the end of the line. Strings are not
// followed there: a lone quote in text that is not compiled is common.
uint32_t dead_comments(const synLanguage& lang, uint32_t state, const char* t, int32_t len,
                       int* pair) {
  Scanner s(lang, t, len, nullptr);
  int32_t i = 0;
  *pair = 0;
  if (state & synComment) {
    int32_t n = 0;
    if (!s.Finish(synComment, 0, 0, &n)) return synComment;
    i = n;
  }
  while (i < len) {
    int32_t n = 0;
    bool open = false;
    if (!lang.elementStart[static_cast<unsigned char>(t[i])]) {
      ++i;
    } else if (s.CommentAt(i, &n, &open)) {
      if (open) return synComment;
      i += std::max(n, 1);
    } else if (s.LineCommentAt(i)) {
      return 0;
    } else {
      ++i;
    }
  }
  return 0;
}
}  // namespace

synColorSwitches& syn_Switches() {
  static synColorSwitches s;
  return s;
}

uint32_t GetPureSyntaxStatus(uint32_t s) {
  for (uint32_t bit : {synString, synString2, synChar, synChar2, synDeadCode, synComment,
                       synLineComment, synKeyword, synInteger, synFloat, synCustomized, synBlock})
    if (s & bit) return bit;
  return synNull;
}

std::string GetNameForSynstate(uint32_t s) {
  struct Name {
    uint32_t bits;
    const char* name;
  };
  static constexpr Name kNames[] = {
      {synDeadCode, "DEAD_CODE"},    {synAnyString, "STRING"},
      {synAnyChar, "CHARACTER"},     {synBlock, "BLOCK"},
      {synComment, "COMMENT"},       {synLineComment, "LINE_COMMENT"},
      {synKeyword, "KEY_WORD"},      {synPreprocessor, "PREPROCESSOR"},
      {synCustomized, "CUSTOMIZED"}, {synInteger, "INTEGER"},
      {synFloat, "FLOAT"},
  };
  std::string out;
  for (const Name& n : kNames) {
    if (!(s & n.bits)) continue;
    if (!out.empty()) out += ' ';
    out += n.name;
  }
  return out;
}

// ---- The language's scanning entries ----------------------------------------

bool synLanguage::NeedQuickLineParser() const {
  if (needQuickParser < 0) {
    auto any_spanning = [](const std::vector<synClosingItem>& pairs) {
      return std::any_of(pairs.begin(), pairs.end(),
                         [](const synClosingItem& p) { return p.spanLine; });
    };
    const bool pairs = !strings.empty() || !characters.empty() || !blocks.empty();
    needQuickParser = !preprocessorWords.empty() ||
                      (escape >= 0 && (!lineComments.empty() || pairs)) || !comments.empty() ||
                      any_spanning(strings) || any_spanning(characters) || any_spanning(blocks);
  }
  return needQuickParser != 0;
}

uint32_t synLanguage::FindSyntaxStatus(uint32_t* state, const char* text, int32_t position,
                                       int32_t end, int32_t* length, const ExtraSyntaxInfo* extra,
                                       int* pair) const {
  Scanner s(*this, text, end, extra);
  int32_t n = 0;
  int p = 0;
  bool open = false;
  const uint32_t bits = position < end ? s.Find(position, false, &n, &p, &open) : 0;
  *length = bits ? n : 0;
  if (pair) *pair = p;
  if (state) *state = open ? bits : synNull;
  return bits;
}

int synLanguage::FinishSyntaxStatus(uint32_t* state, int pair, const char* text, int32_t position,
                                    int32_t end, int32_t* length) const {
  Scanner s(*this, text, end, nullptr);
  const int closed = s.Finish(*state, pair, position, length);
  if (closed) *state = synNull;
  return closed;
}

uint32_t synLanguage::CalculateTextSynstate(uint32_t state, uint32_t pstate, const char* text,
                                            int32_t from, int32_t to, int32_t length, bool everyRun,
                                            synRunCallback callback, void* context,
                                            const ExtraSyntaxInfo* extra) const {
  Runs runs(this, text, from, to, everyRun, callback, context);
  if (state & synDeadCode) {
    runs.Add(0, length, state);
    runs.Flush();
    return state;
  }
  int pair = static_cast<int>((pstate & synPairMask) >> synPairShift);
  const uint32_t open = scan_line(*this, state, pair, text, length, to, false, extra, &runs, &pair);
  runs.Flush();
  return open;
}

void synLanguage::QuickLineParser(uint32_t* state, uint32_t pstate, const char* text,
                                  int32_t length, uint32_t* newPstate, const char* fileName,
                                  void* tagInfo) const {
  (void)fileName, (void)tagInfo;
  Scanner::PrepareTables(*this);
  const uint32_t start = *state;
  uint32_t depth = pstate & synDepthMask;
  uint32_t live = pstate & synLiveBranch;
  int pair = static_cast<int>((pstate & synPairMask) >> synPairShift);

  if (start & synDeadCode) {
    const bool in_comment = (start & synComment) != 0;
    const int32_t lead = first_non_blank(text, length);
    const bool directive_line =
        !in_comment && lead < length && static_cast<unsigned char>(text[lead]) == preprocessorChar;
    // Pascal-style priority: lines in dead code that are not directives are
    // dead as they stand.
    if (pascalStylePriority && !in_comment && !directive_line) {
      *newPstate = pstate;
      return;
    }
    bool dead = true;
    bool rescan_live = false;
    if (directive_line) {
      const Directive d = directive_of(*this, text, length);
      const Nesting n = follow_nesting(d, &depth, &live);
      if (n == Nesting::kOutermostEnded) {
        dead = false;
      } else if (n == Nesting::kSame && depth == 1 && !live && (d.isElse || d.isElif)) {
        depth = 0;
        dead = false;
        rescan_live = !d.isElse;
      }
    }
    if (rescan_live) {
      // An "elif" ending dead code is live text itself.
      *state = synNull;
      QuickLineParser(state, depth | live, text, length, newPstate, fileName, tagInfo);
      return;
    }
    int comment_pair = 0;
    const uint32_t comment = dead_comments(*this, start, text, length, &comment_pair);
    *state = (dead ? synDeadCode : synNull) | comment;
    *newPstate = with_pair(depth | live, comment, comment_pair);
    return;
  }

  const Directive d = start == synNull ? directive_of(*this, text, length) : Directive{};
  const uint32_t open =
      scan_line(*this, start, pair, text, length, length, true, nullptr, nullptr, &pair);
  uint32_t end = carry_to_next_line(*this, open, pair, text, length);
  if (d.is) {
    if (live) {
      if (follow_nesting(d, &depth, &live) == Nesting::kSame && (d.isElse || d.isElif) &&
          depth == 1)
        end |= synDeadCode;
    } else if (d.ifZero) {
      end |= synDeadCode;
      depth = 1;
    } else if (d.ifOne) {
      live = synLiveBranch;
      depth = 1;
    }
  }
  *state = end;
  *newPstate = with_pair(depth | live, end & ~synDeadCode, pair);
}

namespace {
// Element colours: their slot in the language's pixel cache.
enum Slot {
  kSlotString,
  kSlotChar,
  kSlotComment,
  kSlotLineComment,
  kSlotKeyword,
  kSlotPreprocessor,
  kSlotInteger,
  kSlotFloat,
  kSlotBlock,
  kSlotCustomized
};

// The language's own colour of an element (its colour text, cached in its
// slot), else the class default.
uint32_t element_pixel(const synLanguage& l, Slot s, const std::string& text, uint32_t fallback) {
  const uint16_t bit = static_cast<uint16_t>(1u << s);
  if (!(l.pixelsKnown & bit)) {
    WColor c = 0;
    if (!text.empty() && WParseColor(text, &c))
      l.pixels[s] = c;
    else
      l.pixelsNone |= bit;
    l.pixelsKnown |= bit;
  }
  return (l.pixelsNone & bit) ? fallback : l.pixels[s];
}
}  // namespace

bool synLanguage::GetColorForStatus(uint32_t state, uint32_t* pixel) const {
  const synColorSwitches& on = syn_Switches();
  if (!on.colorSyntax || (state & synSelected)) return false;
  // The elements in order of precedence: the first whose bits are in the
  // state decides, coloured when its switch is on.
  struct Element {
    uint32_t bits;
    bool enabled;
    Slot slot;
    const std::string* text;  // the language's own colour; null: the class default only
    uint32_t fallback;
  };
  const Element elements[] = {
      {synAnyString, on.strings, kSlotString, &stringColor, string_fg},
      {synAnyChar, on.characters, kSlotChar, &characterColor, character_fg},
      {synDeadCode, on.deadCode, kSlotString, nullptr, deadcode_fg},
      {synComment, on.comments, kSlotComment, &commentColor, comment_fg},
      {synLineComment, on.comments, kSlotLineComment, &lineCommentColor, comment_fg},
      {synKeyword, on.keywords, kSlotKeyword, &keywordColor, keyword_fg},
      {synPreprocessor, on.keywords, kSlotPreprocessor, &preprocessorColor, keyword_fg},
      {synInteger, on.numbers, kSlotInteger, &integerColor, integer_fg},
      {synFloat, on.numbers, kSlotFloat, &floatColor, integer_fg},
      {synBlock, on.customized, kSlotBlock, &blockColor, customized_fg},
      {synCustomized, on.customized, kSlotCustomized, &customized.color, customized_fg},
  };
  for (const Element& e : elements) {
    if (!(state & e.bits)) continue;
    if (!e.enabled) return false;
    *pixel = e.text ? element_pixel(*this, e.slot, *e.text, e.fallback) : e.fallback;
    return true;
  }
  return false;
}
