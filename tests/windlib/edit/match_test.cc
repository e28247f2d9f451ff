// Matching delimiters: brackets, the preprocessor group and begin / end,
// from either end of a pair.
#include <string>

#include "edit_fixture.h"
#include "windlib/edit/editmatch.h"
#include "windlib/edit/editsearch.h"
#include "windlib/x11/wkeys.h"

namespace oetest {
namespace {

class MatchTest : public EditTest {
 protected:
  // The match of the delimiter near (line, col) as "line:col-line:col",
  // "none" or "interrupted".
  std::string MatchAt(Edit* e, int32_t line, int32_t col, const EditMatchLanguage& lang = {}) {
    TextRange token, match;
    int r = EditFindMatch(e, lang, TextPos{line, col}, &token, &match);
    if (r == 0) return "none";
    if (r < 0) return "interrupted";
    return std::to_string(match.begin.line) + ":" + std::to_string(match.begin.col) + "-" +
           std::to_string(match.end.line) + ":" + std::to_string(match.end.col);
  }
  // A bracket on line 1 whose closer is 4000 lines further down.
  static std::string LongPair() {
    return "f(\n" + Numbered(4000, "a line of text that holds no closer at all ") + ")\n";
  }
};

TEST_F(MatchTest, PreprocessorGroupsNestAndTakeBlanksAfterTheHash) {
  Edit* e = View("p.c",
                 "#if A\n"           // 1
                 "#  ifdef B\n"      // 2
                 "x(\n"              // 3
                 "#\tendif\n"        // 4
                 "#ifndef C\n"       // 5
                 "#endif /* C */\n"  // 6
                 "#endif\n");        // 7
  EXPECT_EQ(MatchAt(e, 1, 0), "7:0-7:6");
  EXPECT_EQ(MatchAt(e, 1, 3), "7:0-7:6") << "the caret at the end of the token";
  EXPECT_EQ(MatchAt(e, 2, 4), "4:0-4:7") << "an unmatched bracket inside does not count";
  EXPECT_EQ(MatchAt(e, 4, 7), "2:0-2:8") << "backward from the closer";
  EXPECT_EQ(MatchAt(e, 6, 0), "5:0-5:7");
  EXPECT_EQ(MatchAt(e, 7, 0), "1:0-1:3");
  EXPECT_EQ(MatchAt(e, 3, 2), "none") << "an opener without a closer matches nothing";
}

TEST_F(MatchTest, TokensNeedTheirBoundaries) {
  Edit* e = View("b.c",
                 "#iffy\n"
                 "#if X\n"
                 "#endifx\n"
                 "#endif\n");
  EXPECT_EQ(MatchAt(e, 1, 1), "none") << "#iffy is no #if";
  EXPECT_EQ(MatchAt(e, 2, 0), "4:0-4:6") << "#endifx is no #endif";
}

TEST_F(MatchTest, BracketsOfOtherKindsAreMatchedFirst) {
  Edit* e = View("k.c", "f(a[i)], {b})\ng([x], {y})\n");
  EXPECT_EQ(MatchAt(e, 1, 2), "1:12-1:13") << "[ ... ] is matched first, hiding its )";
  EXPECT_EQ(MatchAt(e, 1, 11), "1:9-1:10");
  EXPECT_EQ(MatchAt(e, 2, 11), "2:1-2:2");
  EXPECT_EQ(MatchAt(e, 2, 5), "2:2-2:3");
}

TEST_F(MatchTest, BeginAndEndForLanguagesWithWordBlocks) {
  Edit* e = View("a.adb",
                 "BEGIN\n"
                 "  beginning; begin x; End;\n"
                 "  ending;\n"
                 "end;\n");
  EditMatchLanguage ada;
  ada.beginEnd = true;
  ada.caseInsensitive = true;
  EXPECT_EQ(MatchAt(e, 1, 0, ada), "4:0-4:3");
  EXPECT_EQ(MatchAt(e, 2, 14, ada), "2:22-2:25");
  EXPECT_EQ(MatchAt(e, 4, 3, ada), "1:0-1:5");
  EXPECT_EQ(MatchAt(e, 1, 0), "none") << "C-like languages have no word blocks";
  EditMatchLanguage exact = ada;
  exact.caseInsensitive = false;
  EXPECT_EQ(MatchAt(e, 2, 14, exact), "4:0-4:3") << "End is no end when case counts";
}

TEST_F(MatchTest, TheLanguagePreprocessorCharacterReplacesTheHash) {
  Edit* e = View("m.s", "%if X\n#endif\n%endif\n");
  EditMatchLanguage lang;
  lang.preprocessor = '%';
  EXPECT_EQ(MatchAt(e, 1, 0, lang), "3:0-3:6");
}

TEST_F(MatchTest, ALongScanServesEventsAndGivesUpWhenInterrupted) {
  Edit* e = View("long.c", LongPair());
  EXPECT_EQ(MatchAt(e, 1, 2), "4002:0-4002:1") << "nothing interrupts: the scan goes to the end";
  // The user's Escape waits among the events while the scan runs.
  WPostEvent(e->text, WKeyEvent(WK_Escape, 0, "\x1b"));
  EXPECT_EQ(MatchAt(e, 1, 2), "interrupted");
  EXPECT_EQ(MatchAt(e, 1, 2), "4002:0-4002:1") << "the next scan is not interrupted";
}

TEST_F(MatchTest, TextDeletedWhileTheScanServesEventsEndsTheScanSafely) {
  File* f = Open("gone.c", LongPair());
  Edit* scanning = Window(f)->edit();
  Edit* other = Window(f)->edit();
  // Another view of the file deletes everything while the scan runs.
  WPostEvent(other->text, WKeyEvent('a', WModControl, "\x01"));
  WPostEvent(other->text, WKeyEvent(WK_Delete, 0, ""));
  EXPECT_EQ(MatchAt(scanning, 1, 2), "none");
  EXPECT_EQ(Text(f), "") << "the other view deleted the text";
}

TEST_F(MatchTest, SelectToMatchCoversBothTokens) {
  Edit* e = View("s.c", "#ifdef A\nint x;\n#endif\n");
  EditCli(e, "LineD 3; EOL; SelectToMatch");
  EXPECT_EQ(EditSelectionText(e), "#ifdef A\nint x;\n#endif");
  EditCli(e, "SOF; SelectMatch");
  EXPECT_EQ(EditSelectionText(e), "#endif");
}

}  // namespace
}  // namespace oetest
