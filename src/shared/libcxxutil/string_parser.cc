#include "shared/libcxxutil/string_parser.h"

#include "shared/indgen/indgen.h"

namespace {

int hex_value(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int digit_value(int c, int base) {
  int v = hex_value(c);
  return v >= 0 && v < base ? v : -1;
}

// Letter escapes of the control characters 7 to 13.
const char kControlLetters[] = "abtnvfr";

// The escapes every written form shares: a backslash before backslash,
// double quote and single quote; line ends as \n and \r. False when `c`
// needs none of them.
bool append_common_escape(std::string* out, char c) {
  switch (c) {
    case '\\':
    case '"':
    case '\'':
      *out += '\\';
      *out += c;
      return true;
    case '\n':
      *out += "\\n";
      return true;
    case '\r':
      *out += "\\r";
      return true;
    default:
      return false;
  }
}

}  // namespace

void string_parser::skip_blanks() {
  while (pos_ < text_.size() && gen_isblank(static_cast<unsigned char>(text_[pos_]))) ++pos_;
}

bool string_parser::is_identifier_start(int c) {
  return gen_isalpha(c) || c == '_';
}

bool string_parser::is_identifier_char(int c) {
  return gen_isalnum(c) || c == '_';
}

std::string_view string_parser::scan_identifier() {
  size_t start = pos_;
  if (pos_ < text_.size() && is_identifier_start(static_cast<unsigned char>(text_[pos_]))) {
    ++pos_;
    while (pos_ < text_.size() && is_identifier_char(static_cast<unsigned char>(text_[pos_])))
      ++pos_;
  }
  return text_.substr(start, pos_ - start);
}

uint32_t string_parser::to_uint32(std::string_view s, size_t* used) {
  size_t i = 0;
  while (i < s.size() && (gen_isspace(static_cast<unsigned char>(s[i])) || s[i] == '\v')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  int base = 10;
  if (i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
      hex_value(static_cast<unsigned char>(s[i + 2])) >= 0) {
    base = 16;
    i += 2;
  } else if (i < s.size() && s[i] == '0') {
    base = 8;
  }
  size_t digits_start = i;
  uint64_t value = 0;
  bool overflow = false;
  for (; i < s.size(); ++i) {
    int d = digit_value(static_cast<unsigned char>(s[i]), base);
    if (d < 0) break;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFull) {
      overflow = true;
      value = 0xFFFFFFFFull;
    }
  }
  if (i == digits_start) {
    if (used) *used = 0;
    return 0;
  }
  if (used) *used = i;
  if (overflow) return 0xFFFFFFFFu;
  uint32_t result = static_cast<uint32_t>(value);
  return negative ? 0u - result : result;
}

size_t string_parser::decode_escape(std::string_view s, size_t at, std::string* out) {
  size_t i = at + 1;
  if (i >= s.size()) return i;
  char c = s[i++];
  switch (c) {
    case 'a':
      *out += '\a';
      break;
    case 'b':
      *out += '\b';
      break;
    case 'f':
      *out += '\f';
      break;
    case 'n':
      *out += '\n';
      break;
    case 'r':
      *out += '\r';
      break;
    case 't':
      *out += '\t';
      break;
    case 'v':
      *out += '\v';
      break;
    case 'x': {
      int value = 0;
      for (int n = 0; n < 2 && i < s.size(); ++n, ++i) {
        int d = hex_value(static_cast<unsigned char>(s[i]));
        if (d < 0) break;
        value = value * 16 + d;
      }
      *out += static_cast<char>(value);
      break;
    }
    case '0':
    case '1':
    case '2':
    case '3': {
      int value = c - '0';
      for (int n = 0; n < 2 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++n, ++i)
        value = value * 8 + (s[i] - '0');
      *out += static_cast<char>(value);
      break;
    }
    default:
      // Backslash, quotes, question mark and every other character stand
      // for themselves.
      *out += c;
      break;
  }
  return i;
}

void string_parser::decode_escapes(std::string_view raw, std::string* out) {
  size_t i = 0;
  while (i < raw.size()) {
    size_t next = i;
    while (next < raw.size() && raw[next] != '\\') ++next;
    out->append(raw.substr(i, next - i));
    if (next >= raw.size()) break;
    i = decode_escape(raw, next, out);
  }
}

void string_parser::append_quoted(std::string* out, std::string_view s) {
  *out += '"';
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (append_common_escape(out, c)) continue;
    if (c == '$') {
      char next = i + 1 < s.size() ? s[i + 1] : '\0';
      if (next == '{' || is_identifier_start(static_cast<unsigned char>(next))) *out += '\\';
    }
    *out += c;
  }
  *out += '"';
}

void string_parser::append_escaped(std::string* out, std::string_view s) {
  for (char c : s) {
    if (c == '"' || c == '\'' || c == '\\') {
      *out += '\\';
      *out += c;
    } else if (c >= 7 && c <= 13) {
      *out += '\\';
      *out += kControlLetters[c - 7];
    } else {
      *out += c;
    }
  }
}

void string_parser::append_escapified(std::string* out, std::string_view s) {
  for (char c : s) {
    if (append_common_escape(out, c)) continue;
    if (c == '\t') {
      *out += "\\t";
    } else if (c >= 1 && c <= 3) {
      *out += '\\';
      *out += static_cast<char>('0' + c);
    } else {
      *out += c;
    }
  }
}
