// The pattern matcher: trying a compiled pattern at the candidate columns
// of a line, and the plain-text scans.
#include "windlib/file/srchmatch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "windlib/file/filesearch.h"

namespace {

using Elem = SrchPattern::Elem;
using Seq = SrchPattern::Seq;

// A regular expression saves at most this many repetition states per
// candidate; one more makes the candidate fail.
constexpr size_t kMaxStates = 200;
// Groups open at once while matching (nested, or one after another in a
// sequence, since what follows a group is matched from inside it) beyond
// this make the candidate fail.
constexpr int kMaxDepth = 1000;
// So do wildcard continuations nested deeper than this.
constexpr int kMaxContinuations = 200;
// Backtracking steps the candidates of one line may take together; past
// them the remaining candidates fail. Patterns of many stars or of starred
// alternatives could otherwise try combinations for hours.
constexpr long kMaxSteps = 1000000;

struct Cur {
  int32_t line;
  int32_t pos;
  bool operator==(const Cur&) const = default;
};

class Matcher {
 public:
  Matcher(const SrchPattern& p, SrchLines& lines) : p_(p), lines_(lines) {}

  int32_t find(int32_t col, bool forward, SrchEnd* end, const SrchContext* ctx) {
    const std::string_view* v0 = at(0);
    if (!v0) return -1;
    if (p_.mode != SrchPattern::kRegex && p_.text.empty()) return -1;
    const int32_t len = static_cast<int32_t>(v0->size());
    col = std::min(col, len);
    if (col < 0) return -1;
    const int32_t shift = ctx ? ctx->shift : 0;
    int32_t lo = 0, hi = len;
    if (p_.lineStart && !p_.continuation) {
      // Only the candidate that is column 0 of the real line.
      lo = hi = -shift;
      if (lo < 0 || lo > len) return -1;
    }
    if (p_.mode == SrchPattern::kPlain) {
      if (!p_.hasLineBreak) return find_plain(col, forward, lo, hi, end, ctx);
      // The part before the first line break must end the line: one
      // candidate.
      const int32_t only = len - static_cast<int32_t>(p_.text.find('\n'));
      lo = std::max(lo, only);
      hi = std::min(hi, only);
    }
    if (p_.hasFirst) hi = std::min(hi, len - 1);  // a match needs a character
    if (forward) {
      for (int32_t c = std::max(col, lo); c <= hi; ++c) {
        lead_run_end_ = -1;
        if (may_start(c) && try_candidate(c, col, end, ctx)) return c;
        // When the pattern begins with a starred character, ".", or class
        // that ran from c to lead_run_end_ and nothing matched from c, the
        // candidates up to that end try only what c tried (with more room
        // for saved states), so they fail too.
        if (lead_run_end_ > c && !overflow_) c = lead_run_end_;
      }
    } else {
      for (int32_t c = std::min(col, hi); c >= lo; --c)
        if (may_start(c) && try_candidate(c, col, end, ctx)) return c;
    }
    return -1;
  }

 private:
  const std::string_view* at(int32_t k) {
    if (k != k_) {
      k_ = k;
      ok_ = k >= 0 && lines_.get(k, &v_);
    }
    return ok_ ? &v_ : nullptr;
  }

  int32_t size_of(int32_t k) {
    const std::string_view* v = at(k);
    return v ? static_cast<int32_t>(v->size()) : -1;
  }

  // A plain single-line pattern: scan for it, then check the anchors.
  int32_t find_plain(int32_t col, bool forward, int32_t lo, int32_t hi, SrchEnd* end,
                     const SrchContext* ctx) {
    const size_t m = p_.text.size();
    int32_t c = forward ? std::max(col, lo) : std::min(col, hi);
    while (c >= lo && c <= hi) {
      std::string_view v = *at(0);
      const char* h;
      if (forward) {
        h = SrchScanPlain(v.data() + c, v.size() - static_cast<size_t>(c), p_.text, p_.fold);
      } else {
        h = SrchScanPlainBack(v.data(), v.size(), static_cast<size_t>(c), p_.text, p_.fold);
      }
      if (!h) return -1;
      c = static_cast<int32_t>(h - v.data());
      if (c < lo || c > hi) return -1;
      SrchEnd e{0, c + static_cast<int32_t>(m)};
      if (start_ok(c, col, ctx) && end_ok(e)) {
        *end = e;
        return c;
      }
      c += forward ? 1 : -1;
    }
    return -1;
  }

  bool may_start(int32_t c) {
    return !p_.hasFirst || p_.first[static_cast<unsigned char>((*at(0))[static_cast<size_t>(c)])];
  }

  bool try_candidate(int32_t c, int32_t first, SrchEnd* end, const SrchContext* ctx) {
    if (!start_ok(c, first, ctx)) return false;
    Cur e{};
    bool ok = false;
    switch (p_.mode) {
      case SrchPattern::kPlain:
        ok = literal_at(Cur{0, c}, &e);
        break;
      case SrchPattern::kWild:
        ok = wild_at(0, Cur{0, c}, &e, 0);
        break;
      case SrchPattern::kRegex:
        stack_.clear();
        overflow_ = steps_ > kMaxSteps;
        depth_ = 0;
        ok = alternatives(0, Cur{0, c}, &e, nullptr);
        // A search cut short by the limits proved nothing about the places
        // it reached.
        if (overflow_) forget_reached();
        if (ok) lead_run_end_ = -1;
        break;
    }
    if (!ok) return false;
    SrchEnd se{e.line, e.pos};
    if (!end_ok(se)) return false;
    *end = se;
    return true;
  }

  bool start_ok(int32_t c, int32_t first, const SrchContext* ctx) {
    if (!p_.wordStart || p_.continuation) return true;
    int prev;
    if (ctx && c == first)
      prev = ctx->prev;
    else if (c > 0)
      prev = static_cast<unsigned char>((*at(0))[static_cast<size_t>(c - 1)]);
    else
      prev = -1;
    return prev < 0 || !SrchWordChar(static_cast<unsigned char>(prev));
  }

  bool end_ok(SrchEnd e) {
    if (!p_.wordEnd && !p_.lineEnd) return true;
    const std::string_view* v = at(e.lines);
    if (!v) return false;
    const int32_t len = static_cast<int32_t>(v->size());
    if (p_.lineEnd && e.col != len) return false;
    if (p_.wordEnd && e.col < len && SrchWordChar(static_cast<unsigned char>((*v)[e.col])))
      return false;
    return true;
  }

  // One character of the text against a pattern character (folded when
  // the pattern is).
  bool same(unsigned char t, unsigned char pc) const { return (p_.fold ? SrchFold(t) : t) == pc; }

  // A line break of the pattern: the end of the line, going on at the start
  // of the next.
  bool line_break(Cur* c) {
    if (c->pos != size_of(c->line) || !at(c->line + 1)) return false;
    ++c->line;
    c->pos = 0;
    return true;
  }

  bool literal_at(Cur c, Cur* end) {
    for (unsigned char pc : p_.text) {
      if (pc == '\n') {
        if (!line_break(&c)) return false;
        continue;
      }
      const std::string_view* v = at(c.line);
      if (c.pos >= static_cast<int32_t>(v->size()) ||
          !same(static_cast<unsigned char>((*v)[static_cast<size_t>(c.pos)]), pc))
        return false;
      ++c.pos;
    }
    *end = c;
    return true;
  }

  // Wildcards from pattern index pi at c.
  bool wild_at(size_t pi, Cur c, Cur* end, int depth) {
    const std::string& t = p_.text;
    for (; pi < t.size(); ++pi) {
      unsigned char pc = static_cast<unsigned char>(t[pi]);
      if (pc == '*') {
        while (pi < t.size() && t[pi] == '*') ++pi;
        if (pi == t.size()) {
          // A final star runs to the end of the line.
          c.pos = size_of(c.line);
          break;
        }
        return continuation(pi, c, end, depth + 1);
      }
      if (pc == '\n') {
        if (!line_break(&c)) return false;
        continue;
      }
      const std::string_view* v = at(c.line);
      if (c.pos >= static_cast<int32_t>(v->size())) return false;
      if (pc != '?' && !same(static_cast<unsigned char>((*v)[static_cast<size_t>(c.pos)]), pc))
        return false;
      ++c.pos;
    }
    *end = c;
    return true;
  }

  // A star inside a wildcard pattern: the rest is searched for from c on
  // the same line, and the first place where it matches (with the end
  // anchors) ends the run of the star.
  bool continuation(size_t pi, Cur c, Cur* end, int depth) {
    if (depth > kMaxContinuations) return false;
    // A search for the rest that failed from a column fails from every
    // later column of the same line too.
    if (memo_.empty()) memo_.assign(p_.text.size() + 1, Cur{-1, 0});
    Cur& failed = memo_[pi];
    if (failed.line == c.line && failed.pos <= c.pos) return false;
    const int32_t len = size_of(c.line);
    for (int32_t col = c.pos; col <= len; ++col) {
      Cur e{};
      if (wild_at(pi, Cur{c.line, col}, &e, depth) && end_ok(SrchEnd{e.line, e.pos})) {
        *end = e;
        return true;
      }
    }
    if (failed.line != c.line || failed.pos > c.pos) failed = c;
    return false;
  }

  // ---- Regular expressions ----------------------------------------------------------

  struct State {
    Cur cur;
    uint32_t next;  // the element after the star
  };

  // What is matched after the end of a group's alternative: the rest of
  // the sequence holding the group, then what follows that sequence; or,
  // for a starred group, a further repetition first.
  struct Rest {
    const Seq* s;     // none: the match ends here
    size_t i;         // the next element of *s; a repetition: the starred group
    bool repetition;  // the group s[i] just matched once more, from `from`
    Cur from;
    const Rest* outer;             // what follows *s
    mutable bool matched = false;  // a repetition matched something
  };

  // A character, ".", a class or a line break, once.
  bool one(const Elem& e, Cur c, Cur* next) {
    if (e.kind == Elem::kLineBreak) {
      if (!line_break(&c)) return false;
      *next = c;
      return true;
    }
    const std::string_view* v = at(c.line);
    if (c.pos >= static_cast<int32_t>(v->size())) return false;
    unsigned char t = static_cast<unsigned char>((*v)[static_cast<size_t>(c.pos)]);
    bool ok = e.kind == Elem::kAny || (e.kind == Elem::kChar && same(t, e.ch)) ||
              (e.kind == Elem::kClass && p_.classes[static_cast<size_t>(e.index)][t]);
    if (!ok) return false;
    *next = Cur{c.line, c.pos + 1};
    return true;
  }

  // Goes on after the end of a group's alternative at c.
  bool finish(const Rest* k, Cur c, Cur* end) {
    if (!k) {
      *end = c;
      return true;
    }
    if (!k->repetition) return seq(*k->s, k->i, c, end, k->outer);
    // A repetition that matches nothing ends the run, so that a group able
    // to match the empty string does not repeat for ever.
    if (c == k->from) return false;
    k->matched = true;
    if (failed_before(*k->s, k->i, c, true)) return false;
    if (stack_.size() >= kMaxStates) {
      overflow_ = true;
      return false;
    }
    stack_.push_back(State{c, static_cast<uint32_t>(k->i + 1)});
    bool ok = repeat(*k->s, k->i, c, end, k->outer, false);
    if (!ok) stack_.pop_back();
    return ok;
  }

  // The alternatives of group g in order, each followed by k: the first
  // that leads to a match wins.
  bool alternatives(int32_t g, Cur c, Cur* end, const Rest* k) {
    for (const Seq& alt : p_.groups[static_cast<size_t>(g)]) {
      if (seq(alt, 0, c, end, k)) return true;
      if (overflow_ || !step()) break;
    }
    return false;
  }

  // A group that is not starred, then what follows it.
  bool group(const Seq& s, size_t i, Cur c, Cur* end, const Rest* k) {
    if (!enter()) return false;
    Rest rest{&s, i + 1, false, Cur{}, k};
    bool ok = alternatives(s[i].index, c, end, &rest);
    --depth_;
    return ok;
  }

  // A starred group at c: one more repetition if it leads to a match
  // (each saves the state after it), else what follows the star, at c. No
  // repetition at all is taken only when the group does not match where
  // the star begins.
  bool repeat(const Seq& s, size_t i, Cur c, Cur* end, const Rest* k, bool first) {
    if (!enter()) return false;
    Rest again{&s, i, true, c, k};
    bool ok = alternatives(s[i].index, c, end, &again);
    if (!ok && !overflow_ && !(first && again.matched)) ok = seq(s, i + 1, c, end, k);
    --depth_;
    return ok;
  }

  bool enter() {
    if (++depth_ > kMaxDepth) overflow_ = true;
    if (overflow_) --depth_;
    return !overflow_;
  }

  // Counts a backtracking step; false (and the candidate fails) past the
  // limit.
  bool step() {
    if (++steps_ > kMaxSteps) overflow_ = true;
    return !overflow_;
  }

  // Elements i... of a sequence, then `k`, depth first: each further
  // repetition of a starred element saves the state after it; a failure
  // resumes the newest state.
  bool seq(const Seq& s, size_t i, Cur c, Cur* end, const Rest* k) {
    const size_t base = stack_.size();
    for (;;) {
      if (overflow_) break;
      bool ok = false;
      if (i == s.size()) {
        ok = finish(k, c, end);
      } else if (s[i].kind == Elem::kGroup) {
        ok = s[i].star ? repeat(s, i, c, end, k, true) : group(s, i, c, end, k);
      } else if (!s[i].star) {
        Cur nx{};
        if (one(s[i], c, &nx)) {
          c = nx;
          ++i;
          continue;
        }
      } else {
        if (!failed_before(s, i, c)) {
          const bool lead = i == 0 && !k && base == 0 && p_.groups[0].size() == 1 &&
                            s[0].kind != Elem::kLineBreak && c.line == 0;
          Cur nx{};
          while (!overflow_ && one(s[i], c, &nx)) {
            c = nx;
            if (stack_.size() >= kMaxStates) {
              overflow_ = true;
              break;
            }
            stack_.push_back(State{c, static_cast<uint32_t>(i + 1)});
          }
          if (lead) lead_run_end_ = c.pos;
          ++i;
          continue;
        }
      }
      if (ok) {
        stack_.resize(base);
        return true;
      }
      if (overflow_ || stack_.size() == base || !step()) break;
      c = stack_.back().cur;
      i = stack_.back().next;
      stack_.pop_back();
    }
    stack_.resize(base);
    return false;
  }

  // Remembers where a starred element of a top-level alternative was
  // reached on line 0 and with how many saved states. Reaching the same
  // place again means that everything tried from there the first time failed
  // (a match would have ended the search), so with as much room for states
  // or more it fails again: this keeps patterns of many stars from trying
  // every way to share a text among them. Only the top-level alternatives
  // have nothing after them; inside a group, failing there may be the
  // fault of what follows the group, so the marks would not mean failure.
  // `repetition`: the place is a further repetition of the starred group
  // s[i], rather than reaching element i.
  bool failed_before(const Seq& s, size_t i, Cur c, bool repetition = false) {
    const std::vector<Seq>& top = p_.groups[0];
    if (c.line != 0 || &s < top.data() || &s >= top.data() + top.size()) return false;
    const size_t alt = static_cast<size_t>(&s - top.data());
    const size_t now = stack_.size() + 1;  // 0 in the table: never reached
    if (table_cols_ == 0) make_table();
    if (table_cols_ != SIZE_MAX) {
      uint16_t& slot = table_[(place_base_[alt] + 2 * i + (repetition ? 1 : 0)) * table_cols_ +
                              static_cast<size_t>(c.pos)];
      if (slot != 0 && now <= slot) return true;
      slot = static_cast<uint16_t>(std::max<size_t>(slot, now));
      return false;
    }
    if (alt >= 0xffff || i >= 0x7fff) return false;
    const uint64_t place = static_cast<uint64_t>(i) << 1 | (repetition ? 1 : 0);
    const uint64_t key =
        static_cast<uint64_t>(alt) << 48 | place << 32 | static_cast<uint32_t>(c.pos);
    auto [it, fresh] = reached_.try_emplace(key, now);
    if (!fresh && now <= it->second) return true;
    it->second = std::max(it->second, now);
    return false;
  }

  // The marks of failed_before for line 0 in a table of places (two per
  // element of each top-level alternative) by column, unless that would be
  // large; then in a map.
  void make_table() {
    size_t places = 0;
    for (const Seq& alt : p_.groups[0]) {
      place_base_.push_back(places);
      places += 2 * (alt.size() + 1);
    }
    const size_t cols = at(0)->size() + 1;
    if (places * cols > (size_t{1} << 22)) {
      table_cols_ = SIZE_MAX;  // use the map
      return;
    }
    table_.assign(places * cols, 0);
    table_cols_ = cols;
  }

  void forget_reached() {
    reached_.clear();
    std::fill(table_.begin(), table_.end(), 0);
  }

  const SrchPattern& p_;
  SrchLines& lines_;
  std::unordered_map<uint64_t, size_t> reached_;
  std::vector<uint16_t> table_;
  std::vector<size_t> place_base_;
  size_t table_cols_ = 0;  // 0: no table yet; SIZE_MAX: the map instead
  int32_t lead_run_end_ = -1;
  int32_t k_ = -1;
  bool ok_ = false;
  std::string_view v_;
  std::vector<Cur> memo_;  // wildcards: per pattern index, where a continuation failed
  std::vector<State> stack_;
  bool overflow_ = false;
  long steps_ = 0;
  int depth_ = 0;
};

}  // namespace

int32_t SrchFindInLine(const SrchPattern& p, SrchLines& lines, int32_t col, bool forward,
                       SrchEnd* end, const SrchContext* context) {
  if (p.malformed) return -1;
  Matcher m(p, lines);
  return m.find(col, forward, end, context);
}

namespace {
bool same_folded(const char* text, std::string_view pattern) {
  for (size_t i = 0; i < pattern.size(); ++i)
    if (SrchFold(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(pattern[i]))
      return false;
  return true;
}
}  // namespace

const char* SrchScanPlain(const char* hay, size_t n, std::string_view pattern, bool fold) {
  const size_t m = pattern.size();
  if (m == 0) return hay;
  if (m > n) return nullptr;
  if (!fold) return static_cast<const char*>(memmem(hay, n, pattern.data(), m));
  const unsigned char lo = static_cast<unsigned char>(pattern[0]);
  const bool letter = lo >= 'a' && lo <= 'z';
  const unsigned char up = letter ? static_cast<unsigned char>(lo - 32) : lo;
  const char* last = hay + (n - m);  // the last place a match may start
  const char* at = hay;
  // The next place of each case of the first letter, found by memchr and
  // kept until the scan passes it.
  const char* next_lo = nullptr;
  const char* next_up = nullptr;
  bool lo_done = false, up_done = !letter;
  while (at <= last) {
    size_t span = static_cast<size_t>(last - at) + 1;
    if (!lo_done && (!next_lo || next_lo < at)) {
      next_lo = static_cast<const char*>(std::memchr(at, lo, span));
      if (!next_lo) lo_done = true;
    }
    if (!up_done && (!next_up || next_up < at)) {
      next_up = static_cast<const char*>(std::memchr(at, up, span));
      if (!next_up) up_done = true;
    }
    const char* cand = nullptr;
    if (!lo_done) cand = next_lo;
    if (!up_done && (!cand || next_up < cand)) cand = next_up;
    if (!cand) return nullptr;
    if (same_folded(cand + 1, pattern.substr(1))) return cand;
    at = cand + 1;
  }
  return nullptr;
}

const char* SrchScanPlainBack(const char* hay, size_t n, size_t last_start,
                              std::string_view pattern, bool fold) {
  const size_t m = pattern.size();
  if (m > n) return nullptr;
  size_t c = std::min(last_start, n - m);
  if (m == 0) return hay + c;
  const unsigned char first = static_cast<unsigned char>(pattern[0]);
  for (;;) {
    if (!fold) {
      const void* h = memrchr(hay, first, c + 1);
      if (!h) return nullptr;
      c = static_cast<size_t>(static_cast<const char*>(h) - hay);
      if (std::memcmp(hay + c, pattern.data(), m) == 0) return hay + c;
    } else if (same_folded(hay + c, pattern)) {
      return hay + c;
    }
    if (c == 0) return nullptr;
    --c;
  }
}
