#include "shared/libcxxutil/string_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each row is "text -> value, characters used".
TEST(StringParserTest, NumbersFollowStrtoulBaseZeroOn32Bits) {
  // "0x" without a hexadecimal digit converts only the 0.
  for (const std::string row :
       {"0x1F -> 31,4", "017 -> 15,3", "10K -> 10,2", "0xg -> 0,1", "4294967295 -> 4294967295,10",
        "4294967296 -> 4294967295,10", "99999999999999999999999 -> 4294967295,23",
        "-1 -> 4294967295,2", "-5 -> 4294967291,2", " \t+7 -> 7,4", "f -> 0,0", "- -> 0,0",
        " -> 0,0"}) {
    const size_t arrow = row.find(" -> "), comma = row.rfind(',');
    size_t used = 99;
    EXPECT_EQ(string_parser::to_uint32(row.substr(0, arrow), &used),
              std::stoul(row.substr(arrow + 4)))
        << row;
    EXPECT_EQ(used, std::stoul(row.substr(comma + 1))) << row;
  }
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
