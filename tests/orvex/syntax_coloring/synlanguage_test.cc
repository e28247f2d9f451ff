#include "orvex/syntax_coloring/synlanguage.h"

#include <array>
#include <tuple>

#include "orvex/syntax_coloring/syn_fixture.h"
#include "orvex/syntax_coloring/synmessages.h"

namespace oetest {
namespace {

class SynLanguageTest : public SynTest {
 protected:
  std::unique_ptr<synLanguage> Load(const std::string& sections) {
    path = Definition("lang.ksc", sections);
    return synLanguage::Load(path.c_str());
  }
  // For each of `chars`, "1" when `table` marks it, else "0".
  static std::string Marks(const std::array<bool, 256>& table, const std::string& chars) {
    std::string out;
    for (char c : chars) out += table[static_cast<unsigned char>(c)] ? '1' : '0';
    return out;
  }
  std::string path;
};

constexpr const char* kName = "general { name = \"Toy\" }\n";

TEST_F(SynLanguageTest, DefaultsOfAMinimalDefinition) {
  auto lang = Load(kName);
  ASSERT_TRUE(lang);
  EXPECT_EQ(lang->name, "Toy");
  // Escape, case, integers, floats, best match, completion and its numbers.
  EXPECT_EQ(std::tuple(lang->escape, lang->caseSensitive, lang->integerOn, lang->floatOn,
                       lang->matchBest, lang->autocomplete, lang->maxMatch, lang->minStringLength),
            std::tuple(-1, true, false, false, true, true, 10, 1));
  EXPECT_EQ(std::tuple(lang->nameValueSeparator, lang->kind, lang->preprocessorChar,
                       lang->tokenBufferSize),
            std::tuple(';', synKindOther, 0, 1));
  EXPECT_EQ(Marks(lang->separators, std::string("\0\n\r ", 4)), "1110");
  EXPECT_TRUE(messages().empty()) << AllMessages();
  EXPECT_EQ(bells(), 0);
}

TEST_F(SynLanguageTest, DelimiterPairLimits) {
  auto lang = Load(std::string(kName) +
                   "string { a { begin = \"\\\"\"; end = \"\\\"\" }\n"
                   "  b { begin = \"'\"; end = \"'\"; span_line = yes }\n"
                   "  c { begin = \"`\"; end = \"`\" } }\n"
                   "block { a { begin = \"(\"; end = \")\" }\n b { begin = \"[\"; end = \"]\" }\n"
                   "  c { begin = \"{\"; end = \"}\"; span_line = no } }\n");
  ASSERT_TRUE(lang);
  ASSERT_EQ(lang->strings.size(), 2u);
  EXPECT_EQ(lang->strings[0].begin, "\"");
  EXPECT_EQ(lang->strings[1].beginLen, 1);
  ASSERT_EQ(lang->blocks.size(), 3u);
  // Strings span lines only when asked, blocks unless told not to.
  EXPECT_EQ((std::vector<bool>{lang->strings[0].spanLine, lang->strings[1].spanLine,
                               lang->blocks[0].spanLine, lang->blocks[2].spanLine}),
            (std::vector<bool>{false, true, true, false}));
  EXPECT_EQ(lang->warningCount, 1);
  EXPECT_NE(AllMessages().find("Warning: More than 2 pairs of constant string delimiters \nare "
                               "defined in file \n\t" +
                               path + "\n"),
            std::string::npos)
      << AllMessages();
}

TEST_F(SynLanguageTest, PreprocessorCharacterRule) {
  auto hash = Load(std::string(kName) +
                   "general { separator = \"#%( \" }\n"
                   "preprocessor { name = { \"#include\", \"defined\", \"#if\" } }\n");
  ASSERT_TRUE(hash);
  EXPECT_EQ(hash->preprocessorChar, '#');
  EXPECT_EQ(Marks(hash->separators, "#%") + Marks(hash->pureSeparators, "#"), "010");

  auto mixed = Load(std::string(kName) +
                    "general { separator = \"#%( \" }\n"
                    "preprocessor { name = { \"#include\", \"defined\", \"#if\", \"%macro\" } }\n");
  ASSERT_TRUE(mixed);
  EXPECT_EQ(mixed->preprocessorChar, 0);
  EXPECT_EQ(Marks(mixed->separators, "#%"), "11");

  auto letters = Load(std::string(kName) + "preprocessor { name = { \"defined\" } }\n");
  ASSERT_TRUE(letters);
  EXPECT_EQ(letters->preprocessorChar, 0);
}

TEST_F(SynLanguageTest, NoneColourIsNoColourWithoutWarning) {
  auto lang = Load(std::string(kName) +
                   "keyword { name = { \"if\" }; color = \"none\" }\n"
                   "comment { color = \"#ff0000\" }\n"
                   "line_comment { color = \"dark green\"; a = \"--\" }\n");
  ASSERT_TRUE(lang);
  EXPECT_EQ(lang->keywordColor, "");
  EXPECT_EQ(lang->commentColor, "#ff0000");
  EXPECT_EQ(lang->lineCommentColor, "dark green");
  EXPECT_TRUE(messages().empty()) << AllMessages();
}

TEST_F(SynLanguageTest, BadColourIsReportedAndIgnored) {
  auto lang = Load(std::string(kName) + "keyword { color = \"#12345\" }\nstring { color = 3 }\n");
  ASSERT_TRUE(lang);
  EXPECT_EQ(lang->keywordColor, "");
  EXPECT_NE(AllMessages().find("Invalid color setting for keyword in file \n\t" + path + ".\n"),
            std::string::npos);
  EXPECT_NE(AllMessages().find("Invalid color setting for string in file"), std::string::npos);
  EXPECT_EQ(lang->warningCount, 2);
}

TEST_F(SynLanguageTest, NamelessDefinitionIsDiscarded) {
  auto lang = Load("general { description = \"valid otherwise\" }\nkeyword { name = { \"a\" } }\n");
  EXPECT_FALSE(lang);
  EXPECT_EQ(bells(), 1);
  EXPECT_NE(AllMessages().find("may be in the old format:\n" + path + "\n"), std::string::npos);
}

TEST_F(SynLanguageTest, StructuralWarningsAndOldFormatNotice) {
  path = Write("old.ksc",
               "version = 1\nstray = 2\n"
               "language {\n"
               "  general { name = \"Old\"; colour = \"red\"; sub { x = 1 } }\n"
               "  keyword { name = { \"if\" } }\n"
               "  string { a { begin = \"'\"; end = \"'\"; extra = 1; deeper { y = 2 } }\n"
               "           b { begin = \"x\" } }\n"
               "  line_comment { start = 5 }\n"
               "  autocomplete { match = \"most\" }\n"
               "  unknown_section { a = 1 }\n"
               "}\n"
               "other { a = 1 }\n");
  auto lang = synLanguage::Load(path.c_str());
  ASSERT_TRUE(lang);
  const std::string all = AllMessages();
  for (const std::string& text : {
           "Warning: Invalid attribute stray in file:\n\t" + path + "\n",
           "Warning: More than one attribute tree is defined in file \n\t" + path + "\n",
           std::string("We only consider the one defining language, other attribute tree(s) is "
                       "ignored.\n"),
           "Warning: Invalid attribute general.colour in file:\n\t" + path + "\n",
           "Warning: Invalid attribute tree(s) of general is ignored in file:\n\t" + path + "\n",
           "Warning: Invalid attribute string.a.extra in file:\n\t" + path + "\n",
           "Warning: Invalid attribute tree(s) of string.a is ignored in file:\n\t" + path + "\n",
           "Warning: Incomplete definition is ignored for \"string.b\" in file \n\t" + path + ".\n",
           "Warning: Invalid attribute value for line_comment.start in file:\n\t" + path + "\n",
           "Unknown configuration option value \"autocomplete.match = most\" in file \n\t" + path +
               ".\n",
       })
    EXPECT_NE(all.find(text), std::string::npos) << text << "\n--- in ---\n" << all;
  EXPECT_EQ(all.find("unknown_section"), std::string::npos);
  EXPECT_EQ(lang->warningCount, 9);
  EXPECT_EQ(bells(), 1);
  EXPECT_NE(all.find("The following language definition file may be in the old format:\n" + path +
                     "\n\nIf so, please update all the language definition files in your\nORVEX "
                     "site configuration directory and your local configuration directory.\n\n"
                     "For the new language definition syntax, please refer to: \n"),
            std::string::npos);
  ASSERT_EQ(lang->strings.size(), 1u);
  EXPECT_TRUE(lang->matchBest);
}

TEST_F(SynLanguageTest, MissingLanguageTreeAndUnreadableFilesFail) {
  path = Write("none.ksc", "general { name = \"X\" }\n");
  EXPECT_FALSE(synLanguage::Load(path.c_str()));
  EXPECT_NE(AllMessages().find("Error: No attribute tree is defined for language in file:\n\t" +
                               path + "\n"),
            std::string::npos);
  EXPECT_FALSE(synLanguage::Load(files.file("absent.ksc").c_str()));
  path = Write("garbage.ksc", "language { general { name = \"X\" \n = = = }\n");
  EXPECT_FALSE(synLanguage::Load(path.c_str()));
}

TEST_F(SynLanguageTest, SortedListsFollowTheCaseRules) {
  auto lang = Load(
      "general { name = \"Toy\"; case_sensitive = no; extension = { \"b\", \"A\", \"a\" } }\n"
      "keyword { name = { \"while\", \"Begin\", \"end\", \"ALPHA\" } }\n"
      "preprocessor { name = { \"#b\", \"#B\", \"#a\" }; case_sensitive = yes }\n"
      "integer { decimal_suffix = { \"U\", \"l\" }; case_sensitive = yes }\n"
      "customized { pattern = { \"zeta\", \"*_t\", \"Alpha\", \"x?\" } }\n");
  ASSERT_TRUE(lang);
  EXPECT_EQ(lang->extensions, (std::vector<std::string>{"A", "a", "b"}));
  EXPECT_EQ(lang->keywords, (std::vector<std::string>{"ALPHA", "Begin", "end", "while"}));
  EXPECT_EQ(lang->preprocessorWords, (std::vector<std::string>{"#B", "#a", "#b"}));
  EXPECT_EQ(lang->decimalSuffixes, (std::vector<std::string>{"U", "l"}));
  EXPECT_EQ(lang->customized.words, (std::vector<std::string>{"Alpha", "zeta"}));
  EXPECT_EQ(lang->customized.patterns, (std::vector<std::string>{"*_t", "x?"}));
  EXPECT_TRUE(lang->IsKeyword("BEGIN"));
  EXPECT_TRUE(lang->IsKeyword("alpha"));
  EXPECT_FALSE(lang->IsKeyword("beg"));
  EXPECT_TRUE(lang->IsPreprocessorWord("#B"));
  EXPECT_FALSE(lang->IsPreprocessorWord("#A"));
  EXPECT_TRUE(lang->IsCustomizedWord("ZETA"));
  EXPECT_FALSE(lang->IsCustomizedWord("x1"));
  EXPECT_EQ(lang->tokenBufferSize, 6);  // "ALPHA", "Begin", "while": 5
}

TEST_F(SynLanguageTest, SeparatorTables) {
  const std::string sections = std::string(kName) +
                               "general { separator = \" ;/*(\" }\n"
                               "comment { c { begin = \"/*\"; end = \"*/\" } }\n"
                               "line_comment { a = \"--\" }\n"
                               "block { b { begin = \"(\"; end = \")\" } }\n";
  auto lang = Load(sections);
  ASSERT_TRUE(lang);
  EXPECT_EQ(Marks(lang->separators, ";/(-"), "1110");
  // "/" is in a comment delimiter, "(" in a block delimiter: not pure.
  EXPECT_EQ(Marks(lang->pureSeparators, "; /("), "1100");

  synExtendedSeparators = true;
  auto extended = Load(sections);
  synExtendedSeparators = false;
  ASSERT_TRUE(extended);
  // "-" from the line-comment string; block delimiters do not count.
  EXPECT_EQ(Marks(extended->separators, "-)") + Marks(extended->pureSeparators, "-"), "100");
}

TEST_F(SynLanguageTest, CompletionTree) {
  auto lang = Load(
      "general { name = \"Toy\"; case_sensitive = no }\n"
      "keyword { name = { \"while\", \"When\" } }\n"
      "preprocessor { name = { \"#wx\" }; autocomplete = no }\n"
      "customized { pattern = { \"whatever\", \"w*\" } }\n"
      "autocomplete { name = { \"wrap|wrap(a, b)\", \"WHILE\" }; name_value_separator = \"|\";"
      " match = \"first\"; max_match = 4; min_string_length = 2 }\n");
  ASSERT_TRUE(lang);
  EXPECT_FALSE(lang->matchBest);
  EXPECT_EQ(lang->maxMatch, 4);
  EXPECT_EQ(lang->minStringLength, 2);
  std::vector<std::string> names;
  for (const auto& e : lang->completion.Entries()) names.push_back(e.name + "=" + e.value);
  EXPECT_EQ(names, (std::vector<std::string>{
                       "whatever=", "When=", "while=", "WHILE=", "wrap=wrap(a, b)"}));
  auto found = lang->completion.WithPrefix("WH");
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0]->name, "whatever");
  EXPECT_TRUE(lang->completion.WithPrefix("x").empty());
}

TEST_F(SynLanguageTest, KindsByName) {
  std::vector<int> kinds;
  for (const char* name : {"C", "C++", "CPP", "Ada", "Pascal", "Fortran", "Java", "KVX-RTK-CONFIG",
                           "Perl", "c", "Python"})
    kinds.push_back(syn_KindOfName(name));
  EXPECT_EQ(kinds, (std::vector<int>{synKindC, synKindCPP, synKindCPP, synKindAda, synKindPascal,
                                     synKindFortran, synKindJava, synKindRtkConfig, synKindPerl,
                                     synKindOther, synKindOther}));
}

TEST_F(SynLanguageTest, ExtraItemsKeepOnlyCustomizedWords) {
  path = Write("kern_cust.ksc",
               "language { customized { color = \"red\"; pattern = { \"task_*\", \"semTake\" } }\n"
               " keyword { name = { \"ignored\" } } }\n");
  auto info = synLanguage::LoadSyntaxInfo(path.c_str(), synLanguage::kExtraItemsOnly);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->items.color, "red");
  EXPECT_EQ(info->items.words, (std::vector<std::string>{"semTake"}));
  EXPECT_EQ(info->items.patterns, (std::vector<std::string>{"task_*"}));
  EXPECT_EQ(bells(), 0);  // no name, but an extra-items load gives no notice
  EXPECT_FALSE(synLanguage::LoadSyntaxInfo(path.c_str(), 1));
}

}  // namespace
}  // namespace oetest

namespace oetest {
namespace {

TEST(SynColorTextTest, FormsWithoutADisplay) {
  for (const char* good :
       {"none", "#fff", "#00ff00", "#0000ffff0000", "rgb:f/ff/fff", "dark green", "Blue2"})
    EXPECT_TRUE(syn_ColorTextLooksValid(good)) << good;
  for (const char* bad : {"", "#ff", "#gggggg", "#1234567890abc", "rgb:1/2", "rgb:12345/1/1",
                          "rgb:1/2/", "2blue", "red!", " red"})
    EXPECT_FALSE(syn_ColorTextLooksValid(bad)) << bad;
  EXPECT_FALSE(syn_ColorTextLooksValid(nullptr));
}

}  // namespace
}  // namespace oetest
