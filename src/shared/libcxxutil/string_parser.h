// Character-level scanning shared by the attribute-tree tokenizer, the
// preprocessor and the expression evaluator: a cursor over a text that never
// reads past its end, plus the number, escape and quoting conventions of the
// attribute-tree format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class string_parser {
 public:
  explicit string_parser(std::string_view text) : text_(text) {}

  bool at_end() const { return pos_ >= text_.size(); }
  // The character `ahead` places after the cursor, or 0 beyond the end.
  char peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  size_t position() const { return pos_; }
  void set_position(size_t pos) { pos_ = pos < text_.size() ? pos : text_.size(); }
  void advance(size_t n = 1) { set_position(pos_ + n); }
  std::string_view text() const { return text_; }
  std::string_view rest() const { return text_.substr(pos_); }
  bool starts_with(std::string_view s) const { return rest().starts_with(s); }

  // Skips blanks and tabs.
  void skip_blanks();
  // A letter or "_" followed by letters, digits and "_"; empty when the
  // cursor is not on one.
  std::string_view scan_identifier();

  static bool is_identifier_start(int c);
  static bool is_identifier_char(int c);

  // The conversion of strtoul with base 0 on 32-bit unsigned values:
  // leading white space, an optional sign, "0x" for hexadecimal, a leading 0
  // for octal. A magnitude beyond 32 bits gives 4294967295; a minus sign
  // negates modulo 2^32. `used` receives the characters consumed, 0 when no
  // digit converts.
  static uint32_t to_uint32(std::string_view s, size_t* used);

  // Appends the decoding of one escape sequence whose backslash is at
  // `s[at]`; returns the index after the sequence. A backslash at the end
  // gives nothing.
  static size_t decode_escape(std::string_view s, size_t at, std::string* out);
  // Appends `raw` with its escapes decoded.
  static void decode_escapes(std::string_view raw, std::string* out);

  // Appends `s` in the quoted form of written attribute files: enclosed in
  // double quotes, with a backslash before each backslash, double quote and
  // single quote. Line ends are written as \n and \r and a "$" that would
  // start a macro reference as \$, so that reading the text back gives `s`.
  static void append_quoted(std::string* out, std::string_view s);
  // Appends `s` escaped for insertion into a quoted token: double quote,
  // single quote and backslash get a backslash, the control characters 7 to
  // 13 become their letter escapes.
  static void append_escaped(std::string* out, std::string_view s);
  // Each backslash, double quote and single quote gets a backslash; newline,
  // carriage return and tab become \n, \r and \t; bytes 1, 2 and 3 become a
  // backslash and their digit. No quotes are added.
  static void append_escapified(std::string* out, std::string_view s);

 private:
  std::string_view text_;
  size_t pos_ = 0;
};
