#include "shared/libcxxutil/string_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint32_t Convert(const std::string& s, size_t* used = nullptr) {
  size_t n = 0;
  uint32_t v = string_parser::to_uint32(s, &n);
  if (used) *used = n;
  return v;
}

TEST(StringParserTest, NumbersFollowStrtoulBaseZeroOn32Bits) {
  size_t used = 0;
  EXPECT_EQ(Convert("0x1F", &used), 31u);
  EXPECT_EQ(used, 4u);
  EXPECT_EQ(Convert("017"), 15u);
  EXPECT_EQ(Convert("10K", &used), 10u);
  EXPECT_EQ(used, 2u);
  // "0x" without a hexadecimal digit converts only the 0.
  EXPECT_EQ(Convert("0xg", &used), 0u);
  EXPECT_EQ(used, 1u);
  EXPECT_EQ(Convert("4294967295"), 4294967295u);
  EXPECT_EQ(Convert("4294967296"), 4294967295u);
  EXPECT_EQ(Convert("99999999999999999999999"), 4294967295u);
  EXPECT_EQ(Convert("-1"), 4294967295u);
  EXPECT_EQ(Convert("-5"), static_cast<uint32_t>(-5));
  EXPECT_EQ(Convert(" \t+7"), 7u);
  Convert("f", &used);
  EXPECT_EQ(used, 0u);
  Convert("-", &used);
  EXPECT_EQ(used, 0u);
  Convert("", &used);
  EXPECT_EQ(used, 0u);
}

std::string Decoded(const std::string& raw) {
  std::string out;
  string_parser::decode_escapes(raw, &out);
  return out;
}

TEST(StringParserTest, EscapesDecodeToTheirBytes) {
  EXPECT_EQ(Decoded("\\a\\b\\f\\n\\r\\t\\v"), "\a\b\f\n\r\t\v");
  EXPECT_EQ(Decoded("\\\\\\\"\\'\\?"), "\\\"'?");
  EXPECT_EQ(Decoded("\\x41\\x4a2"), "AJ2");
  EXPECT_EQ(Decoded("\\101\\0610\\3777"),
            "A10\xff"
            "7");
  // A digit from 4 up, like any other character, stands for itself.
  EXPECT_EQ(Decoded("\\4\\q\\$"), "4q$");
  EXPECT_EQ(Decoded("tail\\"), "tail");
  EXPECT_EQ(Decoded("\\x"), std::string(1, '\0'));
}

TEST(StringParserTest, QuotedFormReadsBackAndKeepsMacroSignsLiteral) {
  std::string out;
  string_parser::append_quoted(&out, "a\\b\"c'd");
  EXPECT_EQ(out, "\"a\\\\b\\\"c\\'d\"");
  out.clear();
  string_parser::append_quoted(&out, "two\nlines\r$X ${Y} $1 $");
  EXPECT_EQ(out, "\"two\\nlines\\r\\$X \\${Y} $1 $\"");
  out.clear();
  string_parser::append_escaped(&out, "q\"\x07\x0d|");
  EXPECT_EQ(out, "q\\\"\\a\\r|");
  out.clear();
  string_parser::append_escapified(&out, "\t\x01'x");
  EXPECT_EQ(out, "\\t\\1\\'x");
}

TEST(StringParserTest, CursorNeverReadsPastTheEnd) {
  string_parser p("  ab_1+");
  p.skip_blanks();
  EXPECT_EQ(p.scan_identifier(), "ab_1");
  EXPECT_EQ(p.peek(), '+');
  EXPECT_EQ(p.peek(5), '\0');
  p.advance(10);
  EXPECT_TRUE(p.at_end());
  EXPECT_EQ(p.scan_identifier(), "");
  string_parser digits("9x");
  EXPECT_EQ(digits.scan_identifier(), "");
}

}  // namespace
