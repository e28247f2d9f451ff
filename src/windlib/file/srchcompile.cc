// Compiling a search pattern: choosing its mode, taking the anchors off a
// regular expression and parsing it into groups of alternatives.
#include <bitset>
#include <string_view>

#include "windlib/file/filesearch.h"
#include "windlib/file/srchmatch.h"

namespace {

using Elem = SrchPattern::Elem;
using Seq = SrchPattern::Seq;

bool has_any_of(std::string_view s, const char* set) {
  return s.find_first_of(set) != std::string_view::npos;
}

// A trailing character is an anchor unless a backslash escapes it.
bool escaped_at(std::string_view s, size_t i) {
  size_t n = 0;
  while (i > n && s[i - n - 1] == '\\') ++n;
  return n % 2 == 1;
}

int parse_class(std::string_view s, size_t* i, SrchPattern* p) {
  std::bitset<256> set;
  size_t j = *i + 1;
  bool negate = j < s.size() && s[j] == '^';
  if (negate) ++j;
  bool first = true;
  while (j < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[j]);
    if (c == ']' && !first) {
      ++j;
      break;
    }
    first = false;
    if (j + 2 < s.size() && s[j + 1] == '-' && s[j + 2] != ']') {
      unsigned char hi = static_cast<unsigned char>(s[j + 2]);
      for (int k = c; k <= hi; ++k) set.set(static_cast<size_t>(k));
      j += 3;
    } else {
      set.set(c);
      ++j;
    }
  }
  if (negate) set.flip();
  *i = j;
  p->classes.push_back(set);
  return static_cast<int>(p->classes.size() - 1);
}

// Builds the groups of a regular expression (anchors already removed).
// Returns false for a ")" that closes no group.
bool parse_regex(std::string_view s, SrchPattern* p) {
  p->groups.assign(1, std::vector<Seq>(1));
  std::vector<int32_t> open{0};
  size_t i = 0;
  while (i < s.size()) {
    int32_t g = open.back();
    Seq& seq = p->groups[static_cast<size_t>(g)].back();
    unsigned char c = static_cast<unsigned char>(s[i]);
    Elem e;
    switch (c) {
      case '|':
        p->groups[static_cast<size_t>(g)].emplace_back();
        ++i;
        continue;
      case ')':
        if (open.size() == 1) return false;
        open.pop_back();
        ++i;
        if (i < s.size() && s[i] == '*') {
          p->groups[static_cast<size_t>(open.back())].back().back().star = true;
          ++i;
        }
        continue;
      case '(': {
        e.kind = Elem::kGroup;
        e.index = static_cast<int32_t>(p->groups.size());
        seq.push_back(e);  // `seq` is not used again: the push below may move it
        p->groups.emplace_back(1);
        open.push_back(e.index);
        ++i;
        continue;
      }
      case '*':
        // A star after a starred element adds nothing; one with no element
        // before it stands for itself.
        if (!seq.empty() && seq.back().star) {
          ++i;
          continue;
        }
        e.ch = '*';
        ++i;
        break;
      case '.':
        e.kind = Elem::kAny;
        ++i;
        break;
      case '[':
        e.kind = Elem::kClass;
        e.index = parse_class(s, &i, p);
        break;
      case '\\':
        if (i + 1 < s.size()) {
          e.ch = static_cast<unsigned char>(s[i + 1]);
          i += 2;
        } else {
          e.ch = '\\';
          ++i;
        }
        break;
      case '\n':
        e.kind = Elem::kLineBreak;
        ++i;
        break;
      default:
        e.ch = c;
        ++i;
        break;
    }
    if (e.kind == Elem::kChar && p->fold) e.ch = SrchFold(e.ch);
    if (i < s.size() && s[i] == '*') {
      e.star = true;
      ++i;
    }
    seq.push_back(e);
  }
  return true;
}

void add_char(unsigned char c, bool fold, std::bitset<256>* set) {
  set->set(c);
  if (fold && c >= 'a' && c <= 'z') set->set(static_cast<size_t>(c - 32));
}

// The characters every match of group g starts with; false when a match
// may start otherwise (empty, at a line end, or with any character).
bool first_chars(const SrchPattern& p, int32_t g, int depth, std::bitset<256>* set) {
  if (depth > 8) return false;
  for (const Seq& alt : p.groups[static_cast<size_t>(g)]) {
    if (alt.empty() || alt[0].star) return false;
    const Elem& e = alt[0];
    switch (e.kind) {
      case Elem::kChar:
        add_char(e.ch, p.fold, set);
        break;
      case Elem::kClass:
        *set |= p.classes[static_cast<size_t>(e.index)];
        break;
      case Elem::kGroup:
        if (!first_chars(p, e.index, depth + 1, set)) return false;
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

int SrchCompile(const char* pattern, int32_t length, int flags, SrchPattern* out) {
  *out = SrchPattern{};
  std::string_view s(pattern ? pattern : "",
                     pattern && length > 0 ? static_cast<size_t>(length) : 0);
  out->fold = !(flags & kSrchCase);
  out->wordStart = flags & kSrchWordStart;
  out->wordEnd = flags & kSrchWordEnd;
  out->lineStart = flags & kSrchLineStart;
  out->lineEnd = flags & kSrchLineEnd;
  out->continuation = flags & kSrchInternal;
  if ((flags & kSrchRegex) && has_any_of(s, "\\.$^[*(|<>")) {
    out->mode = SrchPattern::kRegex;
    if (!s.empty() && (s.front() == '<' || s.front() == '^')) {
      (s.front() == '<' ? out->wordStart : out->lineStart) = true;
      s.remove_prefix(1);
    }
    if (!s.empty() && (s.back() == '>' || s.back() == '$') && !escaped_at(s, s.size() - 1)) {
      (s.back() == '>' ? out->wordEnd : out->lineEnd) = true;
      s.remove_suffix(1);
    }
    out->hasLineBreak = s.find('\n') != std::string_view::npos;
    if (!parse_regex(s, out)) {
      out->malformed = true;
      out->groups.clear();
      return kSrchMalformed;
    }
    out->hasFirst = first_chars(*out, 0, 0, &out->first) && !out->first.all();
    if (!out->hasFirst) out->first.reset();
    return 1;
  }
  out->mode = (flags & kSrchWild) && has_any_of(s, "*?") ? SrchPattern::kWild : SrchPattern::kPlain;
  out->text.assign(s);
  if (out->fold)
    for (char& c : out->text) c = static_cast<char>(SrchFold(static_cast<unsigned char>(c)));
  out->hasLineBreak = s.find('\n') != std::string_view::npos;
  if (!out->text.empty()) {
    unsigned char c = static_cast<unsigned char>(out->text[0]);
    out->hasFirst = c != '\n' && (out->mode == SrchPattern::kPlain || (c != '*' && c != '?'));
    if (out->hasFirst) add_char(c, out->fold, &out->first);
  }
  return 1;
}
