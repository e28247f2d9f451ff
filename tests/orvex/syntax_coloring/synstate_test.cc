// The line scanner: elements and their extents, the states lines leave for
// the next ones, dead code of conditional directives, and colours.
#include "orvex/syntax_coloring/synstate.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "orvex/syntax_coloring/synextra.h"
#include "orvex/syntax_coloring/synfile.h"
#include "orvex/syntax_coloring/synlanguage.h"
#include "shared/indgen/indgen.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wcolorlist.h"

namespace oetest {
namespace {

const std::string kShipped = std::string(OE_SOURCE_DIR) + "/data/syntax_coloring/";

std::unique_ptr<synLanguage> Shipped(const std::string& file) {
  gen_init("oe", 0);
  return synLanguage::Load((kShipped + file).c_str());
}

// A language put together in place, with its tables derived.
synLanguage& Ready(synLanguage& l) {
  l.GetListsReadyForUse();
  l.GetOtherStuffReadyForUse();
  return l;
}

synClosingItem Pair(const std::string& b, const std::string& e, bool span) {
  return synClosingItem{b, e, static_cast<int32_t>(b.size()), static_cast<int32_t>(e.size()), span};
}

void collect(const synLanguage*, void* ctx, const char* text, int32_t start, int32_t length,
             uint32_t state) {
  auto* out = static_cast<std::string*>(ctx);
  const std::string names = GetNameForSynstate(state);
  *out += "[" + std::string(text + start, static_cast<size_t>(length)) + "]" +
          (names.empty() ? "" : names) + " ";
}

// The runs of one line as "[text]NAMES", plain text without names.
std::string Runs(const synLanguage& l, const std::string& line, uint32_t state = 0,
                 uint32_t pstate = 0, const ExtraSyntaxInfo* extra = nullptr) {
  std::string out;
  l.CalculateTextSynstate(state, pstate, line.data(), 0, static_cast<int32_t>(line.size()),
                          static_cast<int32_t>(line.size()), false, collect, &out, extra);
  if (!out.empty()) out.pop_back();
  return out;
}

// The start state of every line of `text` (lines parted by "\n") and the
// state after the last, each by its names ("-" for null), joined by "|".
std::string Starts(const synLanguage& l, const std::string& text) {
  std::string out;
  uint32_t state = 0, pstate = 0;
  for (size_t from = 0, end = 0; end != std::string::npos; from = end + 1) {
    end = text.find('\n', from);
    const std::string s = text.substr(from, end == std::string::npos ? end : end - from);
    const std::string names = GetNameForSynstate(state);
    out += (names.empty() ? "-" : names) + "|";
    l.QuickLineParser(&state, pstate, s.data(), static_cast<int32_t>(s.size()), &pstate, "t",
                      nullptr);
  }
  const std::string names = GetNameForSynstate(state);
  return out + (names.empty() ? "-" : names);
}

class ScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c = Shipped("c.ksc");
    ASSERT_TRUE(c);
    syn_Switches() = synColorSwitches{};
  }
  void TearDown() override { syn_Switches() = synColorSwitches{}; }
  std::unique_ptr<synLanguage> c;
};

TEST_F(ScanTest, CElementsAndTheirExtents) {
  EXPECT_EQ(Runs(*c, "int x = 0x1Ful + 12 + 1.5e-3f; // done"),
            "[int]KEY_WORD [ x = ] [0x1Ful]INTEGER [ + ] [12]INTEGER [ + ] [1.5e-3f]FLOAT [; ] "
            "[// done]LINE_COMMENT");
  // A string with an escaped quote, a character, a comment closed in the line.
  EXPECT_EQ(Runs(*c, R"(s = "a\"b" + 'c' /* x */ y;)"),
            R"([s = ] ["a\"b"]STRING [ + ] ['c']CHARACTER [ ] [/* x */]COMMENT [ y;])");
  // Digits that run into letters are no number; customized words and patterns.
  EXPECT_EQ(Runs(*c, "12ab NULL size_t"), "[12ab ] [NULL]CUSTOMIZED [ ] [size_t]CUSTOMIZED");
  // A directive word after blanks is one preprocessor run.
  EXPECT_EQ(Runs(*c, "  #  include <x.h>"), "[  ] [#  include]PREPROCESSOR [ <x.h>]");
  // Not at the start of its line, "#if" is no directive word.
  EXPECT_EQ(Runs(*c, "x #if"), "[x #if]");
}

TEST_F(ScanTest, KeywordsNextToMemberAccessAreNotKeywords) {
  EXPECT_EQ(Runs(*c, "s.int = p->if + for.x + while"),
            "[s.int = p->if + for.x + ] [while]KEY_WORD");
  EXPECT_EQ(Runs(*c, "s.NULL"), "[s.NULL]");
  // Other languages keep keywords after a dot.
  auto java = Shipped("java.ksc");
  ASSERT_TRUE(java);
  EXPECT_NE(Runs(*java, "a.class").find("KEY_WORD"), std::string::npos) << Runs(*java, "a.class");
}

TEST_F(ScanTest, BlockCommentsSpanLinesAndCloseByTheFirstEnd) {
  EXPECT_EQ(Starts(*c, "a /* open\nstill\nend */ b\nc"), "-|COMMENT|COMMENT|-|-");
  EXPECT_EQ(Runs(*c, "end */ int /* again", synComment),
            "[end */]COMMENT [ ] [int]KEY_WORD [ ] [/* again]COMMENT");
  EXPECT_EQ(Runs(*c, "no end here", synComment), "[no end here]COMMENT");
  // Comments do not nest.
  EXPECT_EQ(Starts(*c, "/* a /* b */ c"), "-|-");
}

TEST_F(ScanTest, UnclosedStringsEndWithTheirLineUnlessTheyMaySpan) {
  // C strings may not span lines: the next line starts in the null state.
  EXPECT_EQ(Starts(*c, "s = \"open\nint x;"), "-|-|-");
  EXPECT_EQ(Runs(*c, "s = \"open"), "[s = ] [\"open]STRING");
  // Ending with the escape continues the string, and the next line finishes it.
  EXPECT_EQ(Starts(*c, "s = \"open\\\nmore\" int\nx"), "-|STRING|-|-");
  EXPECT_EQ(Runs(*c, "more\" int", synString), "[more\"]STRING [ ] [int]KEY_WORD");
  // A pair that spans lines continues without the escape.
  synLanguage l("Spanning");
  l.strings.push_back(Pair("<<", ">>", true));
  l.strings.push_back(Pair("\"", "\"", false));
  l.separatorChars = " ";
  Ready(l);
  EXPECT_EQ(Starts(l, "a << b\nc\nd >> e"), "-|STRING|STRING|-");
  // The second pair has its own bit and does not span.
  EXPECT_EQ(Runs(l, "x \"y"), "[x ] [\"y]STRING");
  uint32_t state = 0, pstate = 0;
  l.QuickLineParser(&state, 0, "a << b", 6, &pstate, "t", nullptr);
  EXPECT_EQ(state, synString);
  state = 0;
  const std::string second = "x \"y\\";
  l.QuickLineParser(&state, 0, second.data(), static_cast<int32_t>(second.size()), &pstate, "t",
                    nullptr);
  // No escape character in this language: the line end closes the string.
  EXPECT_EQ(state, synNull);
}

TEST_F(ScanTest, LineCommentEndingInTheEscapeContinues) {
  EXPECT_EQ(Starts(*c, "// one \\\ntwo\nthree"), "-|LINE_COMMENT|-|-");
  EXPECT_EQ(Runs(*c, "two", synLineComment), "[two]LINE_COMMENT");
  // Without "//" comments in C the line is code.
  syn_Switches().cppCommentsInC = false;
  EXPECT_EQ(Runs(*c, "a // int"), "[a // ] [int]KEY_WORD");
  auto cpp = Shipped("cpp.ksc");
  ASSERT_TRUE(cpp);
  EXPECT_EQ(Runs(*cpp, "a // int"), "[a ] [// int]LINE_COMMENT");
}

TEST_F(ScanTest, ConditionalDirectivesMakeDeadCode) {
  EXPECT_EQ(Starts(*c, "#if 0\ndead\n#else\nlive\n#endif\nafter"), "-|DEAD_CODE|DEAD_CODE|-|-|-|-");
  // A nested opening directive and its endif keep the dead code.
  EXPECT_EQ(Starts(*c, "#if 0x0\n#ifdef X\na\n#else\n#endif\nb\n#endif\nc"),
            "-|DEAD_CODE|DEAD_CODE|DEAD_CODE|DEAD_CODE|DEAD_CODE|DEAD_CODE|-|-");
  // "#elif" ending dead code is read again as live: another zero stays dead.
  EXPECT_EQ(Starts(*c, "#if 0\na\n#elif 0\nb\n#elif X\nc\n#endif"),
            "-|DEAD_CODE|DEAD_CODE|DEAD_CODE|DEAD_CODE|-|-|-");
  // Not a number, or "#ifdef": no dead code.
  EXPECT_EQ(Starts(*c, "#if 0x\na"), "-|-|-");
  EXPECT_EQ(Starts(*c, "#ifdef 0\na"), "-|-|-");
  // "#elseif" is no "#else".
  EXPECT_EQ(Starts(*c, "#if 0\n#elseif\na\n#endif"), "-|DEAD_CODE|DEAD_CODE|DEAD_CODE|-");
  // A dead line is one dead-code run, directives included.
  EXPECT_EQ(Runs(*c, "int x; /* y", synDeadCode), "[int x; /* y]DEAD_CODE");
  // "#if 1" makes its other branches dead.
  EXPECT_EQ(Starts(*c, "#if 1\n#if X\n#else\n#endif\na\n#elif Y\nb\n#else\nc\n#endif\nd"),
            "-|-|-|-|-|-|DEAD_CODE|DEAD_CODE|DEAD_CODE|DEAD_CODE|-|-");
}

// Directives inside comments in dead code do not count, unless the language
// takes dead lines as they stand.
TEST_F(ScanTest, DirectivesInsideCommentsInDeadCode) {
  EXPECT_EQ(Starts(*c, "#if 0\n/*\n#endif\n*/\n#endif\nx"),
            "-|DEAD_CODE|DEAD_CODE COMMENT|DEAD_CODE COMMENT|DEAD_CODE|-|-");
  c->pascalStylePriority = true;
  // The comment opened in dead code is not followed: the endif counts.
  EXPECT_EQ(Starts(*c, "#if 0\n/*\n#endif\nx"), "-|DEAD_CODE|DEAD_CODE|-|-");
}

TEST_F(ScanTest, AdaPerlAndFortranSpecialCharacters) {
  auto ada = Shipped("ada.ksc");
  ASSERT_TRUE(ada);
  const std::string first = Runs(*ada, "X'First + 'a' + 16#FF# + 1_000");
  // The only character literal is 'a'.
  EXPECT_EQ(first.find("CHARACTER"), first.find("['a']CHARACTER") + 5) << first;
  EXPECT_NE(first.find("['a']CHARACTER"), std::string::npos) << first;
  EXPECT_NE(first.find("[16#FF#]INTEGER"), std::string::npos) << first;
  EXPECT_NE(first.find("[1_000]INTEGER"), std::string::npos) << first;
  EXPECT_EQ(Starts(*ada, "X'First\ny"), "-|-|-");
  // Dollar signs in scripts start neither comments nor strings.
  auto perl = Shipped("perl.ksc");
  ASSERT_TRUE(perl);
  EXPECT_EQ(Runs(*perl, "$# $\" x"), "[$# $\" x]");
  EXPECT_EQ(Runs(*perl, "$\" x"), "[$\" x]");
  EXPECT_NE(Runs(*perl, "x # c").find("LINE_COMMENT"), std::string::npos);
  // Fortran comment lines, and no number inside a trailing comment.
  auto f = Shipped("fortran.ksc");
  ASSERT_TRUE(f);
  EXPECT_EQ(Runs(*f, "C comment"), "[C comment]LINE_COMMENT");
  EXPECT_EQ(Runs(*f, "      x = 1 ! tail").find("INTEGER"), std::string::npos);
  EXPECT_NE(Runs(*f, "      x = 1 ! tail").find("[! tail]LINE_COMMENT"), std::string::npos);
}

TEST_F(ScanTest, ColumnAndLineEndMarkers) {
  synLanguage l("Marked");
  l.strings.push_back(Pair("\x01=begin", "\x01=end", true));
  l.blocks.push_back(Pair("@@\x02", "\x01@@", true));
  l.lineComments.push_back("\x01*");
  l.separatorChars = " ";
  Ready(l);
  // Only at column 0.
  EXPECT_EQ(Runs(l, " =begin"), "[ =begin]");
  EXPECT_EQ(Starts(l, "=begin\nx =end\n=end y\nz"), "-|STRING|STRING|-|-");
  EXPECT_EQ(Runs(l, "=end y", synString), "[=end]STRING [ y]");
  // Only where it ends the line.
  EXPECT_EQ(Runs(l, "a @@ b"), "[a @@ b]");
  EXPECT_EQ(Starts(l, "a @@\nb @@\n@@ c"), "-|BLOCK|BLOCK|-");
  EXPECT_EQ(Runs(l, "* c"), "[* c]LINE_COMMENT");
  EXPECT_EQ(Runs(l, "x * c"), "[x * c]");
}

TEST_F(ScanTest, ExtraItemsOfTheFileAreCustomized) {
  ExtraSyntaxInfo extra;
  extra.items.words = {"tk_start"};
  extra.items.patterns = {"os_*"};
  EXPECT_EQ(Runs(*c, "tk_start os_wait other", 0, 0, &extra),
            "[tk_start]CUSTOMIZED [ ] [os_wait]CUSTOMIZED [ other]");
}

TEST_F(ScanTest, NamesAndPureStatus) {
  EXPECT_EQ(GetNameForSynstate(0), "");
  EXPECT_EQ(GetNameForSynstate(synComment | synDeadCode), "DEAD_CODE COMMENT");
  EXPECT_EQ(GetNameForSynstate(synString2 | synKeyword | synFloat), "STRING KEY_WORD FLOAT");
  EXPECT_EQ(GetPureSyntaxStatus(synComment | synDeadCode), synDeadCode);
  EXPECT_EQ(GetPureSyntaxStatus(synChar2 | synComment), synChar2);
  EXPECT_EQ(GetPureSyntaxStatus(synBlock | synCustomized), synCustomized);
  EXPECT_EQ(GetPureSyntaxStatus(synPreprocessor), synNull);
  EXPECT_TRUE(IsValidForHeadFile(synBlock | synKeyword));
  EXPECT_FALSE(IsValidForParenthesisMatching(synBlock));
  EXPECT_FALSE(IsValidForHeadFile(synChar2));
}

std::string Hex(uint32_t pixel) {
  char text[16];
  snprintf(text, sizeof text, "%06x", pixel);
  return text;
}

// The colour of a state, or "plain" when it has none.
std::string Colour(const synLanguage& l, uint32_t state) {
  uint32_t pixel = 0;
  return l.GetColorForStatus(state, &pixel) ? Hex(pixel) : "plain";
}

TEST_F(ScanTest, ColoursOfStates) {
  EXPECT_EQ(Colour(*c, synKeyword), "0000ff");
  // Line comments take the language's line-comment colour, block comments
  // their own; a string inside a comment is drawn as a string.
  synLanguage own("Own");
  own.lineCommentColor = "#102030";
  own.commentColor = "#405060";
  Ready(own);
  EXPECT_EQ(Colour(own, synLineComment), "102030");
  EXPECT_EQ(Colour(own, synComment), "405060");
  EXPECT_EQ(Colour(own, synComment | synString), Hex(string_fg));
  // Dead code has no colour of the language: the class default.
  EXPECT_EQ(Colour(*c, synDeadCode | synComment), Hex(deadcode_fg));
  // Without a language colour, blocks take the customized default.
  synLanguage plain("Plain");
  Ready(plain);
  EXPECT_EQ(Colour(plain, synBlock), Hex(customized_fg));
  EXPECT_EQ(Colour(plain, synFloat), Hex(integer_fg));
  // Selected runs, a class switched off and colouring off are plain.
  EXPECT_EQ(Colour(*c, synKeyword | synSelected), "plain");
  EXPECT_EQ(Colour(*c, synNull), "plain");
  syn_Switches().keywords = false;
  EXPECT_EQ(Colour(*c, synKeyword), "plain");
  EXPECT_NE(Colour(*c, synString), "plain");
  syn_Switches().colorSyntax = false;
  EXPECT_EQ(Colour(*c, synString), "plain");
}

TEST_F(ScanTest, StateAtAColumn) {
  const std::string line = "a \"bc\" /* d";
  const auto len = static_cast<int32_t>(line.size());
  std::vector<uint32_t> states;
  for (int32_t col : {0, 3, 5, 6, 9, len})
    states.push_back(syn_SynstateAt(0, 0, line.data(), len, col, c.get(), nullptr));
  // The line end is inside the comment left open.
  EXPECT_EQ(states, (std::vector<uint32_t>{synNull, synString, synString, synNull, synComment,
                                           synComment}));
  EXPECT_EQ(syn_SynstateAt(synDeadCode, 0, line.data(), len, 0, c.get(), nullptr), synDeadCode);
}

TEST_F(ScanTest, WhichLanguagesCarryStates) {
  EXPECT_TRUE(c->NeedQuickLineParser());
  synLanguage words("Words");
  words.keywords = {"a"};
  words.strings.push_back(Pair("\"", "\"", false));
  Ready(words);
  EXPECT_FALSE(words.NeedQuickLineParser());
  synLanguage escaped("Escaped");
  escaped.lineComments = {"#"};
  escaped.escape = '\\';
  escaped.separatorChars = " ";
  Ready(escaped);
  EXPECT_TRUE(escaped.NeedQuickLineParser());
}

// Lines of the characters that matter to C: the runs tile each line, the
// state at every column agrees with the run covering it, and the quick
// parser sees the same block comment left open as the full scan.
TEST_F(ScanTest, RandomLinesAreTiledAndBothScansAgree) {
  synLanguage marked("Marked");
  marked.strings.push_back(Pair("\x01", "\x02", true));
  marked.comments.push_back(Pair("\x01", "*/", true));
  marked.separatorChars = " ";
  Ready(marked);
  const std::string alphabet = "/*\"'\\ #ifa0.x\t->1e+;\x01\x02";
  std::mt19937 random(7);
  for (const synLanguage* l : std::vector<const synLanguage*>{c.get(), &marked}) {
    for (int round = 0; round < 3000; ++round) {
      std::string line;
      const size_t len = random() % 24;
      for (size_t k = 0; k < len; ++k) line += alphabet[random() % alphabet.size()];
      const uint32_t start = (round % 3 == 0) ? synComment : (round % 3 == 1) ? synString : 0;
      struct Tiling {
        int32_t next = 0;
        bool gap = false;
        std::vector<std::pair<int32_t, uint32_t>> runs;
      } tiling;
      const auto n = static_cast<int32_t>(line.size());
      const uint32_t open = l->CalculateTextSynstate(
          start, 0, line.data(), 0, n, n, false,
          [](const synLanguage*, void* ctx, const char*, int32_t at, int32_t length,
             uint32_t state) {
            auto* t = static_cast<Tiling*>(ctx);
            if (at != t->next || length <= 0) t->gap = true;
            t->next = at + length;
            for (int32_t k = 0; k < length; ++k) t->runs.push_back({at + k, state});
          },
          &tiling, nullptr);
      ASSERT_FALSE(tiling.gap) << l->name << " '" << line << "'";
      ASSERT_EQ(tiling.next, n) << l->name << " '" << line << "'";
      for (int32_t col = 0; col < n; ++col)
        ASSERT_EQ(syn_SynstateAt(start, 0, line.data(), n, col, l, nullptr),
                  tiling.runs[static_cast<size_t>(col)].second)
            << l->name << " '" << line << "' column " << col;
      if (line.find('#') != std::string::npos) continue;  // directives end states their own way
      uint32_t quick = start, pstate = 0;
      l->QuickLineParser(&quick, 0, line.data(), n, &pstate, "t", nullptr);
      EXPECT_EQ((quick & synComment) != 0, (open & synComment) != 0)
          << l->name << " '" << line << "'";
    }
  }
}

}  // namespace
}  // namespace oetest
