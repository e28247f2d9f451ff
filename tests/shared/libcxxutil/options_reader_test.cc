// Reading attribute-tree statements: scopes, values, errors and their
// positions, physical and logical lines, macros in tokens and strings.
#include <gtest/gtest.h>

#include <string>

#include "shared/libcxxutil/reader_fixture.h"

namespace {

using oetest::ReaderTest;

TEST_F(ReaderTest, BracesAndDottedPathsBuildTheSameTree) {
  ASSERT_TRUE(
      Read("lang {\n  general { name = \"C\" }\n  keyword.color = \"red\"\n}\n"
           "lang.general.case_sensitive = yes\n"));
  EXPECT_EQ(Values({"lang.general.name", "lang.general.case_sensitive", "lang.keyword.color"}),
            "'C'|1|'red'");
  EXPECT_EQ(db_->count_child_trees(false), 1);
  EXPECT_TRUE(messages_.empty()) << messages_.all();
  EXPECT_FALSE(db_->got_file_open_or_parse_error());
}

// A value may follow on the next line after "="; that line is a new line,
// so what follows it lands on the scope.
TEST_F(ReaderTest, DottedPrefixLastsUntilTheLineEnds) {
  ASSERT_TRUE(Read("a.b = 1; c = 2\na.d = 3\ne = 4\nx.k =\n  5 y = 6\n"));
  EXPECT_EQ(Values({"a.b", "a.c", "a.d", "e", "a.e", "x.k", "y", "x.y"}), "1|2|3|4|-|5|6|-");
}

TEST_F(ReaderTest, NumbersAndBooleanWords) {
  ASSERT_TRUE(
      Read("a = yes\nb = yesterday\nc = NO\nd = none\ne = On\nf = off\ng = False\n"
           "h = TRUEly\ni = 0x10\nj = 010\nk = - 5\nl = -5\nm = 4294967295\n"
           "n = 10K\n"));
  const char* keys = "abcdefghijklmn";
  int32_t expected[] = {1, 1, 0, 0, 1, 0, 0, 1, 16, 8, -5, -5, -1, 10};
  for (int i = 0; keys[i]; ++i) {
    std::string key(1, keys[i]);
    ut_attribute_tree_attribute* a = db_->find_attribute(key.c_str());
    ASSERT_NE(a, nullptr) << key;
    EXPECT_EQ(a->type(), ut_attribute_type_int32) << key;
    EXPECT_EQ(a->int32(), expected[i]) << key;
  }
}

TEST_F(ReaderTest, MemorySizeSuffixesOnlyInShortcutMode) {
  db_->set_memory_size_shortcut_mode(true);
  ASSERT_TRUE(Read("a = 10K\nb = 2m\nc = 3\nd = 0x10kb\n"));
  EXPECT_EQ(Values({"a", "b", "c", "d"}), "10240|2097152|3|16384");
}

TEST_F(ReaderTest, QuotedStringsDecodeEscapesAndAppend) {
  ASSERT_TRUE(
      Read("s = \"tab\\there \\\"q\\\" \\x41\\101 # not a comment\"\n"
           "\"odd key\" = \"v\"   # a comment\n"
           "t = \"ab\"\nt += \"cd\"\nu = 7\nu += \"x\"\nv += \"new\"\n"
           "w = \"open to the end\n"));
  EXPECT_EQ(Values({"s", "odd key", "t", "u", "v", "w"}),
            "'tab\there \"q\" AA # not a comment'|'v'|'abcd'|'x'|'new'|'open to the end'");
}

TEST_F(ReaderTest, ReassignmentReplacesInPlace) {
  ASSERT_TRUE(Read("a = 1\nb = 2\na = \"one\"\n"));
  ut_attribute_tree_attribute* first = db_->get_first_attribute();
  EXPECT_EQ(first->key(), "a");
  EXPECT_STREQ(first->str(), "one");
  EXPECT_EQ(db_->get_num_attributes(), 2);
}

TEST_F(ReaderTest, StringListsAndTheirAppends) {
  ASSERT_TRUE(
      Read("l = { \"a\", \"b\" }\nl += { \"c\" }\nm = \"x\"\nm += { \"y\" }\n"
           "e = { }\nj = { \"p\", \\\n \"q\" }\n"));
  ASSERT_NE(db_->find_attribute("e"), nullptr);
  EXPECT_EQ(db_->find_attribute("e")->type(), ut_attribute_type_str_list);
  EXPECT_EQ(Values({"l", "m", "e", "j"}), "[a][b][c]|[y]||[p][q]");
}

TEST_F(ReaderTest, NumberListsWhenAllowed) {
  db_->set_allow_int32_lists(true);
  ASSERT_TRUE(Read("n = { 1, 0x10, -3 }\nn += { 4 }\nn += 5\ns = { \"a\" }\nk += 9\n"));
  EXPECT_EQ(Values({"n", "s", "k"}), "(1)(16)(-3)(4)(5)|[a]|(9)");
  EXPECT_TRUE(messages_.empty()) << messages_.all();
}

TEST_F(ReaderTest, CompatibilityModeKeepsValuesAsText) {
  db_->set_compatibility_mode(true);
  ASSERT_TRUE(Read("a.b=12\na.c={\nd=\"q\"\ne=-5\nf=yes\n"));
  EXPECT_EQ(Values({"a.b", "a.c", "d", "e", "f"}), "'12'|'{'|'q'|'-5'|'yes'");
}

TEST_F(ReaderTest, BraceScopesNestAndCloseToTheNearestOpenOne) {
  ASSERT_TRUE(Read("a {\n  b.c {\n    x = 1\n  }\n  y = 2\n  { u = 3 }\n  { u = 4 }\n}\nz = 5\n"));
  ut_attribute_tree* a = db_->find_child_tree("a");
  EXPECT_EQ(Values({"a.b.c.x", "a.y", "z"}), "1|2|5");
  // "{" after no name opens a new unnamed child each time.
  EXPECT_EQ(a->count_child_trees(false), 3);
  ut_attribute_tree* unnamed = a->get_first_child(false)->get_next_child(false);
  EXPECT_STREQ(unnamed->get_name(), "");
  EXPECT_EQ(unnamed->get_optional_int32_attribute("u", -1), 3);
  EXPECT_EQ(unnamed->get_next_child(false)->get_optional_int32_attribute("u", -1), 4);
  // No node keeps the reader's open-scope mark.
  EXPECT_EQ(a->get_flags() & ut_attribute_tree::kFlagOpenScope, 0);
}

TEST_F(ReaderTest, ReadingIntoANodeAddsToEarlierReads) {
  ut_attribute_tree* target = db_->add_child_tree("target");
  ASSERT_TRUE(db_->read_from_file_name_into_node(
      dir_.write("a.odb", "k = 1\nn { m = 2 }\n").c_str(), target));
  ASSERT_TRUE(
      db_->read_from_file_name_into_node(dir_.write("b.odb", "k = 3\nn.o = 4\n").c_str(), target));
  EXPECT_EQ(Values({"target.k", "target.n.m", "target.n.o"}), "3|2|4");
  EXPECT_EQ(db_->get_opened_files_list().count(), 2);
  EXPECT_TRUE(messages_.empty()) << messages_.all();
}

TEST_F(ReaderTest, ParseErrorsGiveTheirTextsAndStopTheRead) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  } cases[] = {
      {"a = 1\nname\n= 2\n", 2, "unexpected end of file"},
      {"l = {\n\"a\" }\n", 1, "unexpected end of line"},
      {"l = { \"a\",\n\"b\" }\n", 1, "unexpected end of line"},
      {"l = { \"a\" \"b\" }\n", 1, "expected '}'"},
      {"l = { \"a\"\n", 1, "expected '}'"},
      {"l = { 1 }\n", 1, "expected a quoted string"},
      {"\n\n= 4\n", 3, "empty attribute name"},
      {"a = f\n", 1, ""},
      {"a = -\n5\n", 1, "unexpected end of line"},
      {"a += 5\n", 1, ""},
      {" %if 1\n", 1, "unknown operator sequence \"%\" "},
      {"a -= 1\n", 1, "unknown operator sequence \"-=\" "},
      {"a b = 1\n", 1, "unknown operator sequence \"b\" "},
      {"x = 1\n}\n", 2, "unmatched '}'"},
  };
  for (const Case& c : cases) {
    Reset();
    EXPECT_FALSE(Read(c.text)) << c.text;
    EXPECT_TRUE(db_->got_file_open_or_parse_error());
    EXPECT_EQ(messages_.all(),
              "error: " + At("in.odb", c.line) + ": parse error: " + c.message + "\n")
        << c.text;
  }
}

TEST_F(ReaderTest, MissingValueAtTheEndOfInputHasNoPosition) {
  EXPECT_FALSE(Read("a = 1\nb =\n"));
  EXPECT_EQ(messages_.all(), "error: : parse error: empty attribute value\n");
}

TEST_F(ReaderTest, WhatWasReadBeforeAnErrorStays) {
  EXPECT_FALSE(Read("a = 1\nn { b = 2\nc = ?\nd = 4\n}\n"));
  EXPECT_EQ(Values({"a", "n.b", "n.d"}), "1|2|-");
  EXPECT_EQ(db_->find_child_tree("n")->get_flags() & ut_attribute_tree::kFlagOpenScope, 0);
}

TEST_F(ReaderTest, LinesEndAtLfOrCrWithTheNextByteAndJoinAfterABackslash) {
  ASSERT_TRUE(Read("a = 1\r\nb = \\\n  2\nc = \"x\\\ny\"\rXd = 4\r\ne = 5"));
  EXPECT_EQ(Values({"a", "b", "c", "d", "Xd", "e"}), "1|2|'xy'|4|-|5");
  // Line numbers count physical lines; a logical line is reported by its
  // first one.
  Reset();
  EXPECT_FALSE(Read("a = \\\n1\nb = \\\n\\\n?\n"));
  EXPECT_EQ(messages_.all(), "error: " + At("in.odb", 3) + ": parse error: \n");
}

TEST_F(ReaderTest, AnEmptyInputReadsAsNothing) {
  ASSERT_TRUE(Read(""));
  EXPECT_EQ(db_->get_num_attributes(), 0);
}

TEST_F(ReaderTest, MacrosExpandInTokensAndInStrings) {
  db_->add_macro("NAME", "key");
  db_->add_macro("VAL=\"v\"");
  db_->add_int32_macro("NUM", -3);
  db_->add_macro("Q", "say \"hi\"\\ now\t1");
  db_->add_macro("DIR", "NAME/sub");
  db_->add_macro("EMPTY");
  ASSERT_TRUE(
      Read("${NAME} = ${VAL}\nn = ${NUM}\nq = \"<$Q>\"\nd = \"${DIR} 0x1NAME\"\n"
           "u = \"$UNDEF ${EMPTY}|\"\ne = \"\\$NAME $ $1\"\n"));
  // Identifiers in a value that name macros expand in turn ("d"); numbers do not.
  EXPECT_EQ(Values({"key", "n", "q", "d", "u", "e"}),
            "'v'|-3|'<say \"hi\"\\ now\t1>'|'key/sub 0x1NAME'|'$UNDEF |'|'$NAME $ $1'");
  EXPECT_TRUE(messages_.empty()) << messages_.all();
}

TEST_F(ReaderTest, UndefinedBracedMacrosAreReportedAndLeaveTheirName) {
  ASSERT_TRUE(Read("s = \"a${NOPE}b\"\nt = \"${NOPE\"\n"));
  EXPECT_EQ(Values({"s", "t"}), "'aNOPEb'|'${NOPE'");
  EXPECT_EQ(messages_.all(), "error: macro not defined(NOPE) ...\n");
  messages_.clear();
  EXPECT_FALSE(Read("${MISSING} = 1\nx = ${On}\n${MISSING}\n"));
  // The token is the name itself, as a key and as a value.
  EXPECT_EQ(Values({"MISSING", "x"}), "1|1");
  EXPECT_EQ(messages_.lines().front(), "error: macro not defined(MISSING) ...");
}

TEST_F(ReaderTest, SelfReferringMacrosReportRecursion) {
  db_->add_macro("X", "${X}");
  db_->add_macro("Y", "pre Y post");
  EXPECT_FALSE(Read("a = ${X}\n"));
  EXPECT_EQ(messages_.lines().front(),
            "error: " + At("in.odb", 1) + ": error: macro recursion detected for: \"X\"");
  Reset();
  db_->add_macro("Y", "pre Y post");
  messages_.clear();
  ASSERT_TRUE(Read("b = \"$Y\"\n"));
  EXPECT_STREQ(db_->get_str_attribute("b", nullptr), "pre Y post");
  EXPECT_EQ(messages_.all(),
            "error: " + At("in.odb", 1) + ": error: macro recursion detected for: \"Y\"\n");
}

TEST_F(ReaderTest, RunawayExpansionStopsTheReadWithAMessage) {
  // Each level doubles: 2^40 copies if nothing stopped it.
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += "%define M" + std::to_string(i) + " ${M" + std::to_string(i + 1) + "} ${M" +
            std::to_string(i + 1) + "}\n";
  text += "%define M40\nv = ${M0}\n";
  EXPECT_FALSE(Read(text));
  ASSERT_FALSE(messages_.empty());
  EXPECT_NE(messages_.lines().back().find("parse error: macro expansion of one line exceeds"),
            std::string::npos)
      << messages_.all();
  Reset();
  std::string quoted;
  for (int i = 0; i < 40; ++i)
    quoted += "%define Q" + std::to_string(i) + " Q" + std::to_string(i + 1) + " Q" +
              std::to_string(i + 1) + "\n";
  EXPECT_FALSE(Read(quoted + "s = \"$Q0\"\n"));
  EXPECT_NE(messages_.all().find("parse error: macro expansion of one line exceeds"),
            std::string::npos);
}

TEST_F(ReaderTest, DeepNestingStopsWithAMessage) {
  const std::string message = ": parse error: nodes nested deeper than 1000 levels\n";
  EXPECT_FALSE(Read(std::string(5000, '{')));
  EXPECT_EQ(messages_.all(), "error: " + At("in.odb", 1) + message);
  Reset();
  std::string dots;
  for (int i = 0; i < 5000; ++i) dots += "a.";
  EXPECT_FALSE(Read("\n" + dots + "x = 1\n"));
  EXPECT_EQ(messages_.all(), "error: " + At("in.odb", 2) + message);
  // Exactly the limit is fine.
  Reset();
  EXPECT_TRUE(Read(std::string(1000, '{') + std::string(1000, '}')));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ReaderTest, PathNamesCarryTheFileOfASingleFileDatabase) {
  ASSERT_TRUE(Read("a.b.c.d = 1\n"));
  ut_attribute_tree* c = db_->find_child_child_child_tree("a", "b", "c");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->get_path_name(false), "a.b.c");
  EXPECT_EQ(c->get_path_name(true), Path("in.odb") + ":a.b.c");
  c->get_str_attribute("name", nullptr);
  EXPECT_EQ(messages_.all(), "warning: \"" + Path("in.odb") +
                                 ":a.b.c\": is missing required str attribute \"name\"\n");
  ASSERT_TRUE(db_->read_from_file_name(dir_.write("second.odb", "").c_str()));
  EXPECT_EQ(c->get_path_name(true), "a.b.c");
}

TEST_F(ReaderTest, AFileThatCannotBeOpenedFailsSilently) {
  EXPECT_FALSE(db_->read_from_file_name(Path("missing.odb").c_str()));
  EXPECT_TRUE(db_->got_file_open_or_parse_error());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(db_->get_opened_files_list().count(), 0);
}

}  // namespace
