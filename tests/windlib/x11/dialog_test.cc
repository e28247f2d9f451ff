// Questions through WAsk with a scripted responder, and the dialogs
// themselves driven by posted events without a display.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wdialog.h"
#include "windlib/x11/wfilechooser.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wlist.h"

namespace {

void post_key(WWindow* w, uint32_t k, unsigned mods = 0, const std::string& text = "") {
  WPostEvent(w, WKeyEvent(k, mods, text));
}
void post_text(WWindow* w, const std::string& s) {
  for (char c : s) post_key(w, static_cast<unsigned char>(c), 0, std::string(1, c));
}

class ScriptedQuestions : public ::testing::Test {
 protected:
  void TearDown() override { WSetScriptedResponder(nullptr); }
  std::vector<WAskRequest> asked;
  void answer(std::vector<WAskReply> replies) {
    WSetScriptedResponder([this, replies, i = size_t(0)](const WAskRequest& r) mutable {
      asked.push_back(r);
      return i < replies.size() ? replies[i++] : WAskReply{};
    });
  }
};

TEST_F(ScriptedQuestions, AlertsYesNoPromptsAndChooserAskWithTheirRequests) {
  answer({{2, ""}, {1, ""}, {0, "typed"}, {1, "ignored"}, {0, "/tmp/chosen.c"}, {0, ""}});
  EXPECT_EQ(wAlert("Choose Editor", "File x appears to be binary. What would you like to do?",
                   {"Hex Edit", "Edit", "Cancel"}, 1),
            2);
  EXPECT_FALSE(WYesNo("Save", "Save changes?", true));
  std::string text = "unchanged";
  EXPECT_TRUE(WPrompt("Goto", "Line number:", "1", &text));
  EXPECT_EQ(text, "typed");
  EXPECT_FALSE(WPrompt("Goto", "Line number:", "1", &text));  // cancelled
  EXPECT_EQ(text, "typed");
  std::string path;
  EXPECT_TRUE(WChooseFile("Edit File", "/tmp", "*.c", "", &path));
  EXPECT_EQ(path, "/tmp/chosen.c");
  EXPECT_FALSE(WChooseFile("Edit File", "/tmp", "*.c", "", &path));  // OK with no name
  ASSERT_EQ(asked.size(), 6u);
  EXPECT_EQ(asked[0].kind, WAskKind::Alert);
  EXPECT_EQ(asked[0].buttons, (std::vector<std::string>{"Hex Edit", "Edit", "Cancel"}));
  EXPECT_EQ(asked[0].defaultButton, 1);
  EXPECT_EQ(asked[1].buttons, (std::vector<std::string>{"Yes", "No"}));
  EXPECT_EQ(asked[2].kind, WAskKind::Prompt);
  EXPECT_EQ(asked[2].defaultText, "1");
  EXPECT_EQ(asked[4].kind, WAskKind::FileChooser);
  EXPECT_EQ(asked[4].directory, "/tmp");
  EXPECT_EQ(asked[4].filter, "*.c");
}

// Tab moves the focus to the next button; Space presses the focused one.
TEST(AlertDialog, ReturnTakesTheDefaultEscapeTheLastAndAltTheMnemonic) {
  const struct {
    int default_button;
    std::vector<WEvent> keys;
    int answer;
  } cases[] = {
      {1, {WKeyEvent(WK_Return)}, 1},
      {0, {WKeyEvent(WK_Escape)}, 2},
      {0, {WKeyEvent('n', WModMeta, "n")}, 1},
      {0, {WKeyEvent(WK_Tab), WKeyEvent(' ', 0, " ")}, 1},
  };
  for (const auto& c : cases) {
    WAlertDialog d("Question", "Really?", {"&Yes", "&No", "Cancel"}, c.default_button);
    for (const WEvent& e : c.keys) WPostEvent(&d, e);
    EXPECT_EQ(d.RunModal(), c.answer) << WKeyName(c.keys[0].key);
  }
  WAlertDialog d("Question", "Really?", {"OK"}, 0);
  WEvent close;
  close.kind = WEventKind::CloseRequest;
  WPostEvent(&d, close);
  EXPECT_EQ(d.RunModal(), 0);
}

TEST(AlertDialog, LongTextWrapsAndTheButtonsFitInTheWindow) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "word" + std::to_string(i) + " ";
  WAlertDialog d("Long", text + "\nsecond paragraph", {"One", "Two", "Three", "Four"}, 0);
  EXPECT_GT(d.label()->Lines(d.label()->width()).size(), 3u);
  for (WWindow* c : d.client()->children())
    EXPECT_LE(c->geometry().right(), d.client()->width()) << "a control sticks out";
}

TEST(AlertDialog, WithNothingToAnswerItEndsWithTheCancelValue) {
  WAlertDialog d("Question", "Nobody answers", {"Yes", "No"}, 0);
  EXPECT_EQ(d.RunModal(), 1);
}

TEST(AlertDialog, APanicInsideTheDialogReturnsToItsOwnLoop) {
  WAlertDialog d("Question", "Survive?", {"Yes", "No"}, 0);
  int depth = ErrorCheckDepth();
  // The first button panics when pressed; the dialog goes on and takes Escape.
  d.buttonAt(0)->SetAction([] { ErrorJump(1); });
  post_key(&d, WK_Return);
  post_key(&d, WK_Escape);
  EXPECT_EQ(d.RunModal(), 1);
  EXPECT_EQ(ErrorCheckDepth(), depth);
}

TEST(PromptDialog, TypingReplacesTheSelectedDefaultAndReturnAccepts) {
  WPromptDialog d("Goto", "Line number:", "12");
  post_text(&d, "345");
  post_key(&d, WK_Return);
  EXPECT_EQ(d.RunModal(), 0);
  EXPECT_EQ(d.entry()->text(), "345");
  WPromptDialog end("Goto", "Line number:", "12");
  post_key(&end, WK_End);
  post_text(&end, "0");
  post_key(&end, WK_Escape);
  EXPECT_EQ(end.RunModal(), 1);
  EXPECT_EQ(end.entry()->text(), "120");
}

class FileChooser : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("b.c", "");
    dir.write("a.h", "");
    dir.write("notes.txt", "");
    dir.write(".hidden.c", "");
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    dir.write("sub/inner.c", "");
  }
  oetest::TempDir dir;
};

std::vector<std::string> rows(WFileChooserDialog& d) {
  return d.list()->items();
}

TEST_F(FileChooser, ListsDirectoriesFirstAndFiltersFiles) {
  WFileChooserDialog d("Edit File", dir.path(), "*.c *.h", "");
  EXPECT_EQ(rows(d), (std::vector<std::string>{"../", "sub/", "a.h", "b.c"}));
  // A pattern typed as the name becomes the filter.
  post_text(&d, "*.txt");
  post_key(&d, WK_Return);
  // A directory typed as the name is entered; a file name chooses it.
  post_text(&d, "sub");
  post_key(&d, WK_Return);
  post_text(&d, "new.c");
  post_key(&d, WK_Return);
  EXPECT_EQ(d.RunModal(), 0);
  EXPECT_EQ(d.filter(), "*.txt");
  EXPECT_EQ(d.directory(), dir.file("sub"));
  EXPECT_EQ(d.chosenPath(), dir.file("sub/new.c"));  // need not exist
}

TEST_F(FileChooser, DoubleClickOnRowsEntersDirectoriesAndChoosesFiles) {
  WFileChooserDialog d("Edit File", dir.file("sub"), "", "");
  ASSERT_EQ(rows(d), (std::vector<std::string>{"../", "inner.c"}));
  WList* list = d.list();
  int rh = list->rowHeight();
  // Row 0 is "..": back to the parent; then the row of "b.c".
  WPostEvent(list, WButtonEvent(WEventKind::ButtonDown, 1, 10, 1 + rh / 2, 2));
  WPostEvent(list, WButtonEvent(WEventKind::ButtonDown, 1, 10, 1 + 3 * rh + rh / 2, 2));
  EXPECT_EQ(d.RunModal(), 0);
  EXPECT_EQ(d.chosenPath(), dir.file("b.c"));
}

TEST_F(FileChooser, UnreadableDirectoryKeepsTheCurrentOneAndCancelChoosesNothing) {
  WFileChooserDialog d("Edit File", dir.path(), "", "");
  EXPECT_FALSE(d.ChangeDirectory(dir.file("missing")));
  EXPECT_EQ(d.directory(), dir.path());
  post_key(&d, WK_Escape);
  EXPECT_EQ(d.RunModal(), 1);
  EXPECT_EQ(d.chosenPath(), "");
}

// What WAsk does with a display, exercised without one: every request that
// nobody answers is cancelled the dialog's own way.
TEST(DialogAsker, AnswersEachKindOfRequestWithItsDialog) {
  WAskRequest alert, prompt, chooser;
  alert.kind = WAskKind::Alert;
  alert.buttons = {"Yes", "No", "Cancel"};
  EXPECT_EQ(WAskWithDialogs(alert).button, 2);
  prompt.kind = WAskKind::Prompt;
  prompt.defaultText = "abc";
  EXPECT_EQ(WAskWithDialogs(prompt).button, 1);
  chooser.kind = WAskKind::FileChooser;
  chooser.directory = "/";
  const WAskReply chosen = WAskWithDialogs(chooser);
  EXPECT_EQ(chosen.button, 1);
  EXPECT_EQ(chosen.text, "");
}

}  // namespace
