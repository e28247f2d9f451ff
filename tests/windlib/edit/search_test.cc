// Incremental search, the goto-line mode and the Searcher dialog, driven
// through keys and commands of real views without a display.
#include <string>

#include "edit_fixture.h"
#include "windlib/edit/editsearch.h"
#include "windlib/edit/editsearcher.h"
#include "windlib/handles.h"
#include "windlib/x11/wkeys.h"

namespace oetest {
namespace {

class SearchTest : public EditTest {
 protected:
  void TearDown() override {
    vfSmartCase = false;
    vfReturnOnEscape = false;
    EditTest::TearDown();
  }
  using EditTest::View;
  Edit* View(const std::string& content) { return EditTest::View("s.c", content); }
  // A view with a forward incremental search for `typed` under way.
  Edit* Searching(const std::string& content, const std::string& typed) {
    Edit* e = View(content);
    CtrlF(e);
    Type(e, typed);
    return e;
  }
  static void CtrlF(Edit* e) { Key(e, 'f', WModControl, "\x06"); }
  static void CtrlB(Edit* e) { Key(e, 'b', WModControl, "\x02"); }
  static void CtrlG(Edit* e) { Key(e, 'g', WModControl, "\x07"); }
  static void Return(Edit* e) { Key(e, WK_Return, 0, "\r"); }
  static void Escape(Edit* e) { Key(e, WK_Escape, 0, "\x1b"); }
  static void Backspace(Edit* e) { Key(e, WK_BackSpace, 0, "\b"); }
  // The selection as "line:col-line:col".
  static std::string Sel(Edit* e) {
    TextRange r = EditSelectionRange(e).normalized();
    return std::to_string(r.begin.line) + ":" + std::to_string(r.begin.col) + "-" +
           std::to_string(r.end.line) + ":" + std::to_string(r.end.col);
  }
  static bool Cond(Edit* e, const std::string& cond) { return Edit_CondStrToCond(e, cond) == 1; }
};

TEST(GotoLineNumber, RelativeHexOctalAndTheEnd) {
  // A leading zero is octal, beyond either end is that end, a slash may follow.
  struct Case {
    const char* text;
    int32_t current, expected;
  } cases[] = {{"+3", 10, 13}, {"-4", 10, 6}, {"0x10", 1, 16},
               {"010", 1, 8},  {"99", 1, 21}, {"99999999999999999999", 1, 21},
               {"-50", 10, 1}, {"0", 5, 1},   {"EOF", 5, 21},
               {"7/", 1, 7}};
  for (const Case& c : cases) {
    int32_t line = 0;
    ASSERT_TRUE(EditGotoLineNumber(c.text, c.current, 20, &line)) << c.text;
    EXPECT_EQ(line, c.expected) << c.text;
  }
}

TEST(GotoLineNumber, RejectsWhatIsNoNumber) {
  int32_t line = 42;
  for (const char* bad : {"abc", "", "+", "-", "12x", "0x", "09", " 5", "+ 3", "5 ", "eof", "--2"})
    EXPECT_FALSE(EditGotoLineNumber(bad, 10, 20, &line)) << '"' << bad << '"';
  EXPECT_EQ(line, 42) << "a rejected text leaves the line alone";
}

TEST_F(SearchTest, GotoLineModeShowsTheTextAndGoesThereOnReturn) {
  const std::string text = Numbered(20);
  Edit* e = View(text);
  CtrlG(e);
  EXPECT_TRUE(Cond(e, "searching"));
  Type(e, "0x1");
  EXPECT_EQ(e->message, "Goto Line: 0x1");
  Type(e, "x");
  Backspace(e);
  Type(e, "0");
  EXPECT_EQ(e->message, "Goto Line: 0x10");
  EXPECT_EQ(Text(e), text) << "typing in the goto-line mode must not edit";
  Return(e);
  EXPECT_EQ(e->caretLine, 16);
  EXPECT_FALSE(Cond(e, "searching"));
}

TEST_F(SearchTest, EscapeAbandonsTheGotoLineMode) {
  Edit* e = View("a\nb\nc\n");
  CtrlG(e);
  Type(e, "3");
  Escape(e);
  EXPECT_EQ(e->caretLine, 1);
  EXPECT_EQ(e->message, "Goto Line aborted");
  EXPECT_FALSE(Cond(e, "searching"));
  // A moving command abandons it too, and then moves.
  CtrlG(e);
  Type(e, "3");
  EditCli(e, "Down");
  EXPECT_EQ(e->caretLine, 2);
  EXPECT_EQ(e->message, "Goto Line aborted");
}

TEST_F(SearchTest, ASearchAndTheGotoLineModeReplaceEachOther) {
  Edit* e = View("l1\nl2 x\nl3\n");
  CtrlG(e);
  Type(e, "3");
  CtrlF(e);
  EXPECT_TRUE(Cond(e, "searching"));
  EXPECT_EQ(e->message, "Srch:");
  Type(e, "x");
  EXPECT_EQ(Sel(e), "2:3-2:4") << "typing goes to the new search";
  CtrlG(e);
  EXPECT_TRUE(Cond(e, "searching"));
  Type(e, "3");
  Return(e);
  EXPECT_EQ(e->caretLine, 3);
  EXPECT_EQ(Text(e), "l1\nl2 x\nl3\n");
}

TEST_F(SearchTest, TypingGrowsTheMatchInPlace) {
  Edit* e = View("abc abd abde\n");
  CtrlF(e);
  EXPECT_TRUE(Cond(e, "searching"));
  EXPECT_TRUE(Cond(e, "fsearch"));
  EXPECT_FALSE(Cond(e, "bsearch"));
  EXPECT_EQ(e->message, "Srch:");
  Type(e, "ab");
  EXPECT_EQ(Sel(e), "1:0-1:2");
  EXPECT_EQ(e->message, "Srch: ab");
  Type(e, "d");
  EXPECT_EQ(Sel(e), "1:4-1:7") << "the match grows from where it stands";
  Type(e, "e");
  EXPECT_EQ(Sel(e), "1:8-1:12");
  EXPECT_EQ(Text(e), "abc abd abde\n");
  EXPECT_EQ(EditLastSearch(), "abde");
}

TEST_F(SearchTest, BackspaceAfterAFailedStepStepsBack) {
  Edit* e = Searching("abc abd\n", "ab");
  ASSERT_EQ(Sel(e), "1:0-1:2");
  Type(e, "x");
  EXPECT_EQ(e->message, "Srch: abx: Failed");
  EXPECT_EQ(Sel(e), "1:0-1:2") << "a failed step leaves the selection";
  EXPECT_TRUE(Cond(e, "wrapsearch"));
  Type(e, "y");
  EXPECT_EQ(e->message, "Srch: abxy: Failed");
  Backspace(e);
  EXPECT_EQ(e->message, "Srch: abx: Failed") << "still failing with one character less";
  EXPECT_TRUE(e->sel[0].empty());
  Backspace(e);
  EXPECT_EQ(Sel(e), "1:0-1:2");
  EXPECT_EQ(e->message, "Srch: ab");
  EXPECT_FALSE(Cond(e, "wrapsearch"));
  // Stepping back over a grown match returns to where it stood.
  Type(e, "d");
  ASSERT_EQ(Sel(e), "1:4-1:7");
  Backspace(e);
  EXPECT_EQ(Sel(e), "1:0-1:2");
  EXPECT_EQ(Text(e), "abc abd\n") << "Backspace during a search must not delete text";
}

TEST_F(SearchTest, RepeatingWrapsAfterAFailure) {
  Edit* e = Searching("x foo\nfoo y\n", "foo");
  EXPECT_EQ(Sel(e), "1:2-1:5");
  CtrlF(e);
  EXPECT_EQ(Sel(e), "2:0-2:3");
  CtrlF(e);
  EXPECT_EQ(Sel(e), "2:0-2:3");
  EXPECT_EQ(e->message, "Srch: foo: Failed");
  EXPECT_TRUE(Cond(e, "wrapsearch"));
  CtrlF(e);
  EXPECT_EQ(Sel(e), "1:2-1:5") << "after a failure the search starts at the first line";
  EXPECT_FALSE(Cond(e, "wrapsearch"));
}

TEST_F(SearchTest, AFreshRepeatUsesTheLastSearchString) {
  Edit* e = Searching("one two\ntwo one\n", "two");
  Return(e);
  EXPECT_EQ(e->message, "Search aborted");
  // Another view has no string of its own yet: it repeats the last one.
  Edit* other = View("t.c", "x two\n");
  CtrlF(other);
  EXPECT_TRUE(other->sel[0].empty()) << "starting does not search";
  CtrlF(other);
  EXPECT_EQ(Sel(other), "1:2-1:5");
  EXPECT_EQ(other->message, "Srch:") << "the label alone while the string is fresh";
  // Typing into a fresh search starts a new string.
  Type(other, "t");
  EXPECT_EQ(other->message, "Srch: t");
  EXPECT_EQ(Sel(other), "1:2-1:3");
}

TEST_F(SearchTest, SmartCaseFollowsCapitals) {
  Edit* e = View("foo Foo\n");
  vfSmartCase = true;
  EditSearchState(e)->set(ssIgnoreCase, true);
  CtrlF(e);
  Type(e, "Foo");
  EXPECT_EQ(Sel(e), "1:4-1:7") << "a capital makes the search exact";
  Escape(e);
  EditCli(e, "SOF");
  CtrlF(e);
  Type(e, "foo");
  EXPECT_EQ(Sel(e), "1:0-1:3");
  CtrlF(e);
  EXPECT_EQ(Sel(e), "1:4-1:7") << "no capital: case is ignored";
  Escape(e);
  vfSmartCase = false;
  EditSearchState(e)->set(ssIgnoreCase, false);
  EditCli(e, "SOF");
  CtrlF(e);
  Type(e, "foo");
  CtrlF(e);
  EXPECT_EQ(e->message, "Srch: foo: Failed") << "exact case finds only the first";
}

TEST_F(SearchTest, EscapeEndsQuietlyOrReturnsWhereItBegan) {
  Edit* e = View("alpha beta\nxx\n");
  EditCli(e, "Down");
  CtrlB(e);
  Type(e, "beta");
  EXPECT_EQ(Sel(e), "1:6-1:10");
  Escape(e);
  EXPECT_EQ(Sel(e), "1:6-1:10") << "Escape keeps the match selected";
  EXPECT_EQ(e->message, "");
  EXPECT_FALSE(Cond(e, "searching"));
  vfReturnOnEscape = true;
  EditCli(e, "SOF");
  CtrlF(e);
  Type(e, "beta");
  EXPECT_EQ(Sel(e), "1:6-1:10");
  Escape(e);
  EXPECT_EQ(e->caretLine, 1);
  EXPECT_EQ(e->caretColumn, 0);
  EXPECT_TRUE(e->sel[0].empty());
}

TEST_F(SearchTest, TabJoinsTheStringAndTruncateEmptiesIt) {
  Edit* e = Searching("a\tb ab\n", "a");
  Key(e, WK_Tab, 0, "\t");
  EXPECT_EQ(Sel(e), "1:0-1:2");
  EXPECT_EQ(Text(e), "a\tb ab\n");
  Key(e, 'u', WModControl, "\x15");
  EXPECT_EQ(e->message, "Srch:");
  EXPECT_TRUE(Cond(e, "searching"));
  Type(e, "ab");
  EXPECT_EQ(Sel(e), "1:4-1:6");
}

TEST_F(SearchTest, MovingOrEditingStopsTheSearch) {
  Edit* e = Searching("abc\nabc\n", "b");
  EditCli(e, "Down");
  EXPECT_FALSE(Cond(e, "searching"));
  EXPECT_EQ(e->caretLine, 2);
  EditCli(e, "SOF");
  CtrlF(e);
  Type(e, "c");
  EditCli(e, "JoinLines");
  EXPECT_FALSE(Cond(e, "searching"));
  EXPECT_EQ(Text(e), "abc abc\n");
}

TEST_F(SearchTest, OtherMatchesOnTheRowsShownAreMarkedWhileSearching) {
  Edit* e = Searching("ab xab\nab\nnone\n", "ab");
  ASSERT_EQ(e->searchMatches.size(), 3u);
  EXPECT_EQ(e->searchMatches[1].begin, (TextPos{1, 4}));
  EXPECT_EQ(e->searchMatches[2].end, (TextPos{2, 2}));
  Return(e);
  EXPECT_TRUE(e->searchMatches.empty()) << "the marks go with the search";
}

TEST_F(SearchTest, RequestsWhileASearchRunsAreCountedNotRun) {
  Edit* e = Searching("abc abc\n", "b");
  _SearchAble* s = EditSearchState(e);
  s->set(ssRunning, true);  // as while the matcher serves events
  Type(e, "c");
  Backspace(e);
  EXPECT_EQ(s->string, "b") << "the string stays while it is searched for";
  EXPECT_EQ(e->message, "Already searching");
  CtrlF(e);
  EXPECT_EQ(s->pending, 1);
  s->set(ssRunning, false);
  CtrlF(e);
  EXPECT_EQ(Sel(e), "1:5-1:6");
  EXPECT_EQ(s->pending, 0);
}

TEST_F(SearchTest, GotoAsksForTheLine) {
  Edit* e = View(Numbered(20));
  std::string asked;
  WSetScriptedResponder([&](const WAskRequest& r) {
    asked = r.text + "|" + r.defaultText;
    return WAskReply{0, " 0x10 "};
  });
  EditCli(e, "Goto");
  EXPECT_EQ(asked, "Goto Line:|1");
  EXPECT_EQ(e->caretLine, 16);
  WSetScriptedResponder([](const WAskRequest&) { return WAskReply{1, ""}; });
  EditCli(e, "Goto");
  EXPECT_EQ(e->caretLine, 16);
  EXPECT_EQ(e->message, "Goto Line aborted");
}

TEST_F(SearchTest, TheStatusNamesTheKindOfSearchAndShowsFortyBytes) {
  Edit* e = View("x\n");
  _SearchAble* s = EditSearchState(e);
  s->string = std::string(45, 'a');
  s->set(ssFresh, false);
  EXPECT_EQ(EditSearchStatus(e, false), "Srch: " + std::string(40, 'a'));
  s->string = "w";
  s->set(ssRegex | ssWordEnd | ssLineEnd, true);
  EXPECT_EQ(EditSearchStatus(e, false), "Srch: w") << "regex and end anchors are the dialog's";
  EXPECT_EQ(EditSearchStatus(e, true), "RESearch: w");
  s->set(ssIgnoreCase, false);
  EXPECT_EQ(SearchFlags(s, false), 0x1) << "exact case, and no regex or end anchors";
  s->set(ssIgnoreCase, true);
  EXPECT_EQ(SearchFlags(s, true), 0x4 | 0x10 | 0x40);
  s->set(ssRegex, false);
  EXPECT_EQ(EditSearchStatus(e, true), "WordSearch: w");
  s->set(ssWordEnd, false);
  EXPECT_EQ(EditSearchStatus(e, true), "LineSearch: w");
  s->set(ssWildcard, true);
  EXPECT_EQ(EditSearchStatus(e, false), "WildSearch: w");
  s->set(ssWildcard | ssLineEnd, false);
  s->set(ssLineStart | ssFailed, true);
  EXPECT_EQ(EditSearchStatus(e, false), "LineSearch: w: Failed");
  EXPECT_EQ(SearchFlags(s, false), 0x20);
}

TEST_F(SearchTest, CloseStopsASearchBeforeItClosesTheWindow) {
  Edit* e = View("abc\n");
  HandleRef alive(30, e);
  CtrlF(e);
  Type(e, "b");
  EditCli(e, "Close");
  ASSERT_TRUE(alive.alive()) << "the first Close only ends the search";
  EXPECT_FALSE(Cond(e, "searching"));
  EXPECT_EQ(Sel(e), "1:1-1:2");
  EditCli(e, "Close");
  WReapDestroyed();
  EXPECT_FALSE(alive.alive());
}

TEST_F(SearchTest, EscapeAmongTheEventsAbortsALongSearch) {
  std::string text;
  for (int i = 0; i < 4000; ++i) text += "a line of text without the string looked for\n";
  text += "needle\n";
  Edit* e = View(text);
  CtrlF(e);
  WPostEvent(e->text, WKeyEvent(WK_Escape, 0, "\x1b"));
  EditCli(e, "\"needle\"");
  EXPECT_EQ(e->message, "Search aborted");
  EXPECT_FALSE(Cond(e, "searching"));
  EXPECT_TRUE(e->sel[0].empty()) << "an aborted search moves nothing";
  CtrlF(e);
  CtrlF(e);
  EXPECT_EQ(Sel(e), "4001:0-4001:6") << "the next search runs to the end";
}

TEST_F(SearchTest, TheSearcherReplacesAllAsOneUndoStep) {
  Edit* e = View("cat dog cat\ncat\n");
  EditCli(e, "Down");
  SearcherWindow* w = EditSearch(e);
  EXPECT_EQ(w->title(), "Searcher for " + std::string(e->file->name));
  w->searchField()->SetText("cat");
  w->replaceField()->SetText("cow");
  w->Press(SearcherWindow::kReplaceAll);
  EXPECT_EQ(Text(e), "cow dog cow\ncow\n");
  EXPECT_EQ(e->caretLine, 2) << "the selection goes back where it was";
  EXPECT_EQ(e->message, "");
  w->Press(SearcherWindow::kUndo);
  EXPECT_EQ(Text(e), "cat dog cat\ncat\n");
  w->searchField()->SetText("emu");
  w->Press(SearcherWindow::kReplaceAll);
  EXPECT_EQ(Text(e), "cat dog cat\ncat\n");
  EXPECT_EQ(e->message, "Srch: emu: Failed");
  EXPECT_EQ(w->messageLine(), e->message) << "the dialog mirrors the status";
}

TEST_F(SearchTest, TheSearcherFindsAndReplacesInBothDirections) {
  Edit* e = View("one two one two\n");
  SearcherWindow* w = EditSearch(e);
  w->searchField()->SetText("two");
  w->replaceField()->SetText("2");
  w->Press(SearcherWindow::kFindThenReplace);
  EXPECT_EQ(Text(e), "one 2 one two\n");
  w->Press(SearcherWindow::kFind);
  EXPECT_EQ(Sel(e), "1:10-1:13");
  w->Press(SearcherWindow::kReplace);
  EXPECT_EQ(Text(e), "one 2 one 2\n");
  // Backward: the cursor goes before the replaced text.
  w->option(SearcherWindow::kDirection)->Activate();
  w->searchField()->SetText("one");
  w->replaceField()->SetText("1");
  w->Press(SearcherWindow::kFindThenReplace);
  EXPECT_EQ(Text(e), "one 2 1 2\n");
  EXPECT_EQ(e->caretColumn, 6);
  w->Press(SearcherWindow::kReplaceThenFind);
  EXPECT_EQ(Text(e), "one 2 11 2\n") << "Replace Then Find replaces the empty selection first";
  EXPECT_EQ(Sel(e), "1:0-1:3");
  w->Press(SearcherWindow::kReplace);
  EXPECT_EQ(Text(e), "1 2 11 2\n");
  w->Press(SearcherWindow::kFindThenReplace);
  EXPECT_EQ(Text(e), "1 2 11 2\n") << "nothing found: nothing replaced";
  EXPECT_EQ(e->message, "Srch: one: Failed");
}

TEST_F(SearchTest, TheSearcherKeepsItsOptionsInTheViewsState) {
  Edit* e = View("a_word word wordy\n");
  SearcherWindow* w = EditSearch(e);
  EXPECT_EQ(EditSearch(e), w) << "one Searcher per view";
  w->option(SearcherWindow::kWordStart)->Activate();
  w->option(SearcherWindow::kWordEnd)->Activate();
  EXPECT_EQ(w->option(SearcherWindow::kWordStart)->label(), "[x] StartsWord");
  w->searchField()->SetText("word");
  w->Press(SearcherWindow::kFind);
  EXPECT_EQ(Sel(e), "1:7-1:11");
  EXPECT_EQ(e->message, "WordSearch: word");
  w->Press(SearcherWindow::kFind);
  EXPECT_EQ(e->message, "WordSearch: word: Failed");
  w->option(SearcherWindow::kMode)->Activate();
  w->option(SearcherWindow::kMode)->Activate();
  EXPECT_EQ(w->option(SearcherWindow::kMode)->label(), "Search Type: RegExprs");
  w->Press(SearcherWindow::kClose);
  WReapDestroyed();
  EXPECT_EQ(EditSearchState(e)->searcher, nullptr);
  EXPECT_TRUE(EditSearchState(e)->has(ssRegex));
  EXPECT_TRUE(EditSearchState(e)->has(ssWordStart));
}

TEST_F(SearchTest, TheSearchersRegularExpressionsAndTheirErrors) {
  Edit* e = View("xyz a1c\n");
  SearcherWindow* w = EditSearch(e);
  w->option(SearcherWindow::kMode)->Activate();
  w->option(SearcherWindow::kMode)->Activate();
  ASSERT_TRUE(EditSearchState(e)->has(ssRegex));
  w->searchField()->SetText("a.c");
  w->Press(SearcherWindow::kFind);
  EXPECT_EQ(Sel(e), "1:4-1:7");
  EXPECT_EQ(e->message, "RESearch: a.c");
  EditCli(e, "SOF");
  w->searchField()->SetText("a.)");
  w->Press(SearcherWindow::kFind);
  EXPECT_TRUE(e->sel[0].empty()) << "a malformed pattern moves nothing";
  EXPECT_EQ(e->caretColumn, 0);
  bool reported = false;
  for (const std::string& q : questions)
    reported = reported || q.find("Badly formed regular expression: No '('") != std::string::npos;
  EXPECT_TRUE(reported);
}

TEST_F(SearchTest, TheSearcherRefusesToReplaceInAReadOnlyFile) {
  Edit* e = View("cat\n");
  EditCli(e, "ToggleReadOnly");
  SearcherWindow* w = EditSearch(e);
  w->searchField()->SetText("cat");
  w->replaceField()->SetText("dog");
  w->Press(SearcherWindow::kReplaceAll);
  w->Press(SearcherWindow::kFindThenReplace);
  EXPECT_EQ(Text(e), "cat\n");
  EXPECT_EQ(e->message, "Window is read only");
}

}  // namespace
}  // namespace oetest
