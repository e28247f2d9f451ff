// The "%" directives as the reader meets them: includes, conditions,
// definitions, messages, and the names and functions of conditions.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "shared/libcxxutil/reader_fixture.h"
#include "shared/libcxxutil/simple_preprocessor.h"
#include "shared/libcxxutil/ut_client_interface.h"
#include "shared/libcxxutil/ut_file_parser.h"

namespace {

using oetest::ReaderTest;

TEST_F(ReaderTest, ConditionsSelectLinesAndNestInsideExcludedRegions) {
  ASSERT_TRUE(
      Read("%if 0\n"
           "a = 1\n"
           "%if 1\n"
           "b = 1\n"
           "%else\n"
           "c = 1\n"
           "%endif\n"
           "%elif 8 - 2 - 1 == 7\n"
           "d = 1\n"
           "%elseif 1\n"
           "e = 1\n"
           "%else\n"
           "f = 1\n"
           "%endif\n"
           "%  if -1 > 0\n"
           "g = 1\n"
           "%endif\n"));
  EXPECT_EQ(Values({"a", "b", "c", "d", "e", "f", "g"}), "-|-|-|1|-|-|1");
  EXPECT_TRUE(messages_.empty()) << messages_.all();
}

TEST_F(ReaderTest, DefinitionsFeedConditionsAndTokens) {
  ASSERT_TRUE(
      Read("%define LEVEL 2   # the comment goes\n"
           "%define EXPR LEVEL + 1\n"
           "%define TEXT \"a # b\" # this goes\n"
           "%define FLAG\n"
           "%if EXPR == 3 && defined(FLAG) && !notempty(FLAG)\n"
           "ok = ${LEVEL}\n"
           "t = ${TEXT}\n"
           "%endif\n"
           "%undef LEVEL\n"
           "%if defined(LEVEL)\n"
           "bad = 1\n"
           "%endif\n"));
  EXPECT_EQ(Values({"ok", "t", "bad"}), "2|'a # b'|-");
  EXPECT_TRUE(messages_.empty()) << messages_.all();
}

TEST_F(ReaderTest, IfdefLooksUpItsArgumentWithTheLeadingBlank) {
  db_->add_macro("X", "1");
  db_->add_macro(" Y", "1");
  ASSERT_TRUE(Read("%ifdef X\nx = 1\n%endif\n%ifdef Y\ny = 1\n%endif\n"));
  EXPECT_EQ(Values({"x", "y"}), "-|1");
}

TEST_F(ReaderTest, BothOperandsAreEvaluatedSoUndefinedNamesAreReported) {
  ASSERT_TRUE(Read("%if defined(X)\n%endif\n"));
  EXPECT_TRUE(messages_.empty());
  ASSERT_TRUE(Read("%if defined(X) && X == 2\nx = 1\n%endif\n"));
  EXPECT_EQ(messages_.all(), "error: macro not defined(X) ...\n");
  EXPECT_FALSE(db_->has_attribute("x"));
  messages_.clear();
  // Inside an excluded region names are not looked up.
  ASSERT_TRUE(Read("%if 0\n%if X\n%endif\n%elif Y\n%endif\n"));
  EXPECT_EQ(messages_.all(), "error: macro not defined(Y) ...\n");
}

TEST_F(ReaderTest, MessagesAndMisplacedDirectives) {
  ASSERT_TRUE(
      Read("%info  hello   there  \n"
           "%echo e\n"
           "%warning w\n"
           "%error x\n"
           "%else\n"
           "%elif 1\n"
           "%endif\n"
           "%if 1\n%else\n%else\n%endif\n"
           "%bogus 1\n"
           "%include nothing\n"
           "%include \"\"\n"
           "%include \"open\n"
           "%define 9\n"
           "%\n"
           "%if 0\n%info hidden\n%bogus\n%endif\n"
           "a = 1\n"));
  EXPECT_EQ(messages_.all(),
            "info: hello   there\n"
            "info: e\n"
            "warning: w\n"
            "error: x\n"
            "error: unexpected directive: else\n"
            "error: unexpected directive: elif\n"
            "error: unexpected directive: endif\n"
            "error: unexpected directive: else\n"
            "error: illegal directive: \"%bogus 1\"\n"
            "error: illegal directive: \"%include nothing\"\n"
            "error: illegal directive: \"%include \"\"\"\n"
            "error: illegal directive: \"%include \"open\"\n"
            "error: illegal directive: \"%define 9\"\n"
            "error: illegal directive: \"%\"\n");
  EXPECT_EQ(db_->get_int32_attribute("a", 0), 1);
}

TEST_F(ReaderTest, FunctionArgumentCountsAndUnknownFunctions) {
  ASSERT_TRUE(
      Read("%if defined()\n%endif\n"
           "%if notempty(a b)\n%endif\n"
           "%if streq(a)\n%endif\n"
           "%if nosuch(a)\n%endif\n"));
  EXPECT_EQ(messages_.all(),
            "error: too few arguments defined\n"
            "error: too many arguments notempty\n"
            "error: too few arguments streq\n"
            "error: unknown function: nosuch\n");
}

TEST_F(ReaderTest, StreqComparesMacroValuesOrTexts) {
  db_->add_macro("OS", "linux");
  db_->add_macro("OTHER", "linux");
  ASSERT_TRUE(
      Read("%if streq(OS, solaris, \"linux\")\na = 1\n%endif\n"
           "%if streq(OS solaris OTHER)\nb = 1\n%endif\n"
           "%if streq(OS, OS2)\nc = 1\n%endif\n"
           "%if streq(UNDEF, x)\nd = 1\n%endif\n"));
  EXPECT_EQ(Values({"a", "b", "c", "d"}), "1|1|-|-");
  EXPECT_EQ(messages_.all(), "error: macro not defined(UNDEF) ...\n");
}

void RecordStreq(void* context, int count, const char* const* args) {
  auto* seen = static_cast<std::vector<std::string>*>(context);
  std::string call;
  for (int i = 0; i < count; ++i) call += (i ? "," : "") + std::string(args[i]);
  seen->push_back(call);
}

TEST_F(ReaderTest, StreqInterceptorSeesValuesEvenWhenQuiet) {
  std::vector<std::string> seen;
  ut_simple_preprocessor_interface::set_streq_interceptor(&seen, RecordStreq);
  db_->add_macro("OS", "linux");
  ASSERT_TRUE(Read("%if streq(OS, x)\n%elif streq(y, OS)\n%endif\n"));
  ut_simple_preprocessor_interface::set_streq_interceptor(nullptr, nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{"linux,x", "y,linux"}));
}

TEST_F(ReaderTest, MacroValuesThatAreExpressionsAreEvaluatedOnce) {
  db_->add_macro("A", "B + 1");
  db_->add_macro("B", "A");
  db_->add_macro("C", "0x10");
  ASSERT_TRUE(Read("%if C == 16\nc = 1\n%endif\n%if A\na = 1\n%endif\n"));
  EXPECT_EQ(Values({"c", "a"}), "1|1");
  EXPECT_EQ(messages_.all(), "error: macro recursion detected for: \"A\"\n");
}

TEST_F(ReaderTest, ExponentialMacroExpressionsStopWithAMessage) {
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += "%define E" + std::to_string(i) + " E" + std::to_string(i + 1) + " + E" +
            std::to_string(i + 1) + "\n";
  ASSERT_TRUE(Read(text + "%define E40 1\n%if E0\nx = 1\n%endif\ny = 1\n"));
  EXPECT_EQ(messages_.all(), "error: parse error: expression too complex\n");
  EXPECT_EQ(Values({"x", "y"}), "-|1");
}

TEST_F(ReaderTest, IncludesFollowTheIncludersDirectoryAndSetDir) {
  mkdir(Path("sub").c_str(), 0755);
  dir_.write("sub/inner.odb", "inner = \"${__DIR__}\"\n%include \"leaf.odb\"\n");
  dir_.write("sub/leaf.odb", "leaf = 1\n");
  dir_.write("abs.odb", "abs = 1\n");
  ASSERT_TRUE(Read("%include \"sub/inner.odb\"\nouter = \"${__DIR__}\"\n%include \"" +
                   Path("abs.odb") + "\"\n"));
  EXPECT_EQ(Values({"inner", "outer", "leaf", "abs"}),
            "'" + dir_.path() + "/sub'|'" + dir_.path() + "'|1|1");
  const ut_string_list& opened = db_->get_opened_files_list();
  ASSERT_EQ(opened.count(), 4);
  EXPECT_EQ(opened.get(0), Path("in.odb"));
  EXPECT_EQ(opened.get(1), Path("sub/inner.odb"));
  EXPECT_EQ(opened.get(2), Path("sub/leaf.odb"));
  EXPECT_EQ(opened.get(3), Path("abs.odb"));
  EXPECT_TRUE(messages_.empty()) << messages_.all();
}

TEST_F(ReaderTest, ScopesOpenedInAnIncludedFileMayCloseInTheIncluder) {
  dir_.write("cond.odb", "%if 0\n");
  ASSERT_TRUE(Read("%include \"cond.odb\"\nhidden = 1\n%endif\nshown = 1\n"));
  EXPECT_EQ(Values({"hidden", "shown"}), "-|1");
}

TEST_F(ReaderTest, AnIncludeThatCannotBeOpenedEndsTheInput) {
  dir_.write("mid.odb", "mid = 1\n%include \"gone.odb\"\nafter_in_mid = 1\n");
  EXPECT_TRUE(Read("first = 1\n%include \"mid.odb\"\nlast = 1\n"));
  EXPECT_EQ(Values({"first", "mid", "after_in_mid", "last"}), "1|1|-|-");
  EXPECT_TRUE(db_->got_file_open_or_parse_error());
  EXPECT_EQ(messages_.all(), "error: could not open \"" + Path("gone.odb") +
                                 "\" which was referenced at \"" + Path("mid.odb") + "\":2\n");
}

TEST_F(ReaderTest, AnIncludeCycleStopsWithAMessage) {
  dir_.write("loop.odb", "n += \"x\"\n%include \"loop.odb\"\n");
  EXPECT_TRUE(Read("%include \"loop.odb\"\n"));
  ASSERT_EQ(messages_.lines().size(), 1u);
  EXPECT_EQ(messages_.lines()[0].rfind("error: includes nested deeper than 64 files: \"", 0), 0u)
      << messages_.all();
  EXPECT_EQ(db_->get_opened_files_list().count(), ut_file_parser::kMaxOpenFiles);
  EXPECT_EQ(std::string(db_->get_str_attribute("n", "")).size(), 63u);
  // A guarded self-include is fine.
  Reset();
  dir_.write("guard.odb",
             "%if !defined(SEEN)\n%define SEEN\n%include \"guard.odb\"\n%endif\ng += \"x\"\n");
  ASSERT_TRUE(Read("%include \"guard.odb\"\n"));
  EXPECT_STREQ(db_->get_str_attribute("g", nullptr), "xx");
  EXPECT_TRUE(messages_.empty()) << messages_.all();
}

struct Filter {
  std::vector<std::string> asked;
  std::string env_value = "0x20";
};

bool FilterFile(void* context, const char* path, int depth) {
  auto* f = static_cast<Filter*>(context);
  f->asked.push_back(std::string(path) + "@" + std::to_string(depth));
  return std::string(path).find("skip") == std::string::npos;
}
const char* FilterLookup(void* context, const char* name) {
  auto* f = static_cast<Filter*>(context);
  if (std::string(name) == "FROM_CLIENT") return "from client";
  if (std::string(name) == "ENVNUM") return f->env_value.c_str();
  return nullptr;
}
bool FilterDefined(void*, const char* name) {
  return std::string(name) == "BARE";
}

TEST_F(ReaderTest, TheClientFiltersFilesAndAnswersLookups) {
  Filter filter;
  auto* client = new ut_client_interface(&filter, nullptr, FilterDefined, FilterLookup, FilterFile);
  db_ = std::make_unique<ut_options_database>("Filtered", client, true);
  dir_.write("keep.odb", "keep = \"${FROM_CLIENT}\"\n");
  dir_.write("skip.odb", "skipped = 1\n");
  ASSERT_TRUE(
      Read("%include \"keep.odb\"\n%include \"skip.odb\"\n"
           "%if env(ENVNUM) == 32 && defined(BARE) && !notempty(BARE) && !env(NONE)\n"
           "env = 1\n%endif\n"));
  EXPECT_EQ(Values({"keep", "skipped", "env"}), "'from client'|-|1");
  EXPECT_EQ(filter.asked, (std::vector<std::string>{Path("in.odb") + "@0", Path("keep.odb") + "@1",
                                                    Path("skip.odb") + "@1"}));
  // A file the client declines counts as read.
  EXPECT_TRUE(db_->read_from_file_name(Path("skip-me.odb").c_str()));
  EXPECT_FALSE(db_->got_file_open_or_parse_error());
}

TEST(PreprocessorTest, DirSubstitutionReplacesBracedThenBareNames) {
  ut_macro_map macros;
  macros.insert("_ORVEX_DIR", "/opt/oe");
  simple_preprocessor pre('%', &macros, nullptr);
  pre.add_define("__DIR__", "/here");
  EXPECT_EQ(pre.substitute_dir("${__ORVEX_DIR__}/a:${_ORVEX_DIR}/b:${__DIR__}/c:_ORVEX_DIR/d"),
            "/opt/oe/a:/opt/oe/b:/here/c:/opt/oe/d");
  EXPECT_EQ(pre.substitute_dir("${HOME}/x"), "${HOME}/x");
  ut_macro_map none;
  simple_preprocessor bare('%', &none, nullptr);
  EXPECT_EQ(bare.substitute_dir("_ORVEX_DIR"), gen_progdir());
}

TEST_F(ReaderTest, FileExistsSeesReadableFilesAfterDirSubstitution) {
  dir_.write("there.txt", "x");
  ASSERT_TRUE(
      Read("%if fileexists(\"${__DIR__}/there.txt\") && !file_exists(\"${__DIR__}\")\n"
           "yes = 1\n%endif\n"
           "%if file_exists(\"${__DIR__}/absent.txt\")\nno = 1\n%endif\n"));
  EXPECT_EQ(Values({"yes", "no"}), "1|-");
}

TEST_F(ReaderTest, AnIndentedDirectiveIsAStatement) {
  EXPECT_FALSE(Read(" %define X 1\n"));
  EXPECT_EQ(messages_.all(),
            "error: " + At("in.odb", 1) + ": parse error: unknown operator sequence \"%\" \n");
}

}  // namespace
