// Writing databases back: the two written forms and read-write-read round
// trips.
#include <gtest/gtest.h>

#include <string>

#include "shared/libcxxutil/reader_fixture.h"

namespace {

using oetest::ReaderTest;

TEST_F(ReaderTest, NormalFormNestsBracesWithFourSpaceIndents) {
  db_->add_str_attribute("title", "A \"quoted\" \\ 'value'");
  db_->add_int32_attribute("count", -12);
  ut_attribute_tree* lang = db_->add_child_tree("lang");
  lang->add_str_attribute("case_sensitive", nullptr);
  lang->append_str_list_attribute("names", "a");
  lang->append_str_list_attribute("names", "b c");
  lang->add_child_tree("odd name")->add_int32_attribute("x1", 1);
  lang->add_child_tree("empty");
  lang->append_int32_list_attribute("nums", 3);
  lang->append_int32_list_attribute("nums", -4);
  db_->add_child_tree("second")->add_str_attribute("line", "one\ntwo");
  EXPECT_EQ(db_->write_to_string(),
            "title = \"A \\\"quoted\\\" \\\\ \\'value\\'\"\n"
            "count = -12\n"
            "lang {\n"
            "    \"case_sensitive\" = \"\"\n"
            "    names = { \"a\", \"b c\" }\n"
            "    nums = { 3, -4 }\n"
            "    \"odd name\" {\n"
            "        x1 = 1\n"
            "    }\n"
            "    empty {\n"
            "    }\n"
            "}\n"
            "second {\n"
            "    line = \"one\\ntwo\"\n"
            "}\n");
}

TEST_F(ReaderTest, CompatibilityFormIsOneDottedLinePerAttribute) {
  db_->set_compatibility_mode(true);
  db_->add_str_attribute("top", "t");
  ut_attribute_tree* w = db_->add_child_tree("Windows");
  w->add_int32_attribute("abs_x", -5);
  w->append_str_list_attribute("l", "x");
  w->append_int32_list_attribute("n", 1);
  w->add_child_tree("odd name")->add_str_attribute("my key", "v");
  db_->add_child_tree("Other")->add_int32_attribute("y", 2);
  EXPECT_EQ(db_->write_to_string(),
            "top=\"t\"\n"
            "Windows.abs_x=-5\n"
            "Windows.l=...\n"
            "Windows.n=...\n"
            "Windows.odd name.my key=\"v\"\n"
            "Other.y=2\n");
}

TEST_F(ReaderTest, ReadWriteReadGivesTheSameTree) {
  db_->set_allow_int32_lists(true);
  const std::string source =
      "%define GREETING \"hello\"\n"
      "greeting = ${GREETING}\n"
      "a.b.c = 1 ; d = \"x\\ty\\n\"\n"
      "under_score = { \"p\", \"$HOME\", \"\\${X}\" }\n"
      "n = { 1, -2, 0x10 }\n"
      "e = { }\n"
      "\"sp ace\" { \"k k\" = no\n"
      "  { anon = 1 }\n"
      "  { anon = 2 }\n"
      "}\n"
      "s = \"\\\\ \\\" \\' \\r\\n end\"\n"
      "big = -2147483648\n";
  ASSERT_TRUE(Read(source));
  std::string first = db_->write_to_string();
  // Keys with "_" are quoted; "$" that would start a macro is escaped.
  EXPECT_NE(first.find("\"under_score\" = { \"p\", \"\\$HOME\", \"\\${X}\" }\n"), std::string::npos)
      << first;
  ASSERT_TRUE(db_->write_to_file_name(Path("out.odb").c_str()));
  EXPECT_EQ(oetest::TempDir::read(Path("out.odb")), first);
  Reset();
  db_->set_allow_int32_lists(true);
  ASSERT_TRUE(db_->read_from_file_name(Path("out.odb").c_str())) << messages_.all();
  EXPECT_EQ(db_->write_to_string(), first);
  EXPECT_EQ(Values({"under_score", "s"}), "[p][$HOME][${X}]|'\\ \" ' \r\n end'");
  EXPECT_TRUE(messages_.empty()) << messages_.all();
}

TEST_F(ReaderTest, AnInt32ListDoesNotReadBackWithoutInt32Lists) {
  db_->append_int32_list_attribute("n", 1);
  ASSERT_TRUE(db_->write_to_file_name(Path("out.odb").c_str()));
  Reset();
  EXPECT_FALSE(db_->read_from_file_name(Path("out.odb").c_str()));
  EXPECT_EQ(messages_.all(),
            "error: " + At("out.odb", 1) + ": parse error: expected a quoted string\n");
}

TEST_F(ReaderTest, CompatibilityFormReadsBackAsStrings) {
  db_->set_compatibility_mode(true);
  ut_attribute_tree* w = db_->add_child_tree("WindowPositionsTree")->add_child_tree("main");
  w->add_int32_attribute("abs_x", -5);
  w->add_int32_attribute("abs_w", 640);
  w->add_str_attribute("title", "a \"b\"");
  ASSERT_TRUE(db_->write_to_file_name(Path("settings.odb").c_str()));
  Reset();
  db_->set_compatibility_mode(true);
  ASSERT_TRUE(db_->read_from_file_name(Path("settings.odb").c_str())) << messages_.all();
  EXPECT_EQ(Values({"WindowPositionsTree.main.abs_x", "WindowPositionsTree.main.abs_w",
                    "WindowPositionsTree.main.title"}),
            "'-5'|'640'|'a \"b\"'");
  ut_attribute_tree* r = db_->find_child_child_tree("WindowPositionsTree", "main");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->get_attribute_as_int32("abs_x", 0), -5);
  EXPECT_EQ(r->get_attribute_as_int32("abs_w", 0), 640);
}

TEST_F(ReaderTest, WriteFailuresAreReported) {
  db_->add_int32_attribute("a", 1);
  EXPECT_FALSE(db_->write_to_file_name(Path("no/such/dir.odb").c_str()));
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(db_->write_to_file_name("/dev/full"));
  EXPECT_EQ(messages_.all(), "error: failed when writing /dev/full\n");
}

}  // namespace
