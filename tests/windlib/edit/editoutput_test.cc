#include "windlib/edit/editoutput.h"

#include <gtest/gtest.h>

#include <string>

#include "edit_fixture.h"
#include "windlib/edit/editcmd.h"
#include "windlib/outputmanager.h"

namespace oetest {
namespace {

class MessageWindow : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    EditorOutputGrabber::ResetForTests();
    OutputSetManager(&manager);
    grabber = EditorOutputGrabber::MakeEditorOutputGrabber(nullptr);
    manager.PushGrabber(grabber);
  }
  void TearDown() override {
    manager.PopAllGrabbers();
    OutputSetManager(nullptr);
    EditorOutputGrabber::ResetForTests();
    wDisplayActive = false;
    EditTest::TearDown();
  }
  // Start-up's end, with a display that windows could be shown on.
  void Initialise() {
    wDisplayActive = true;
    EditorOutputGrabber::OrvexIsInitialized();
  }
  // The view of the message window, after the pending batch went in.
  Edit* Shown() {
    grabber->Flush();
    return grabber->View();
  }

  OutputManager manager;
  EditorOutputGrabber* grabber = nullptr;
};

TEST_F(MessageWindow, BeforeStartUpEndsMessagesAreOnlyCachedAndCanBeSpewed) {
  manager.PrintOutput("first\n");
  manager.PrintOutput("");
  mprintf("second %d\n", 2);
  EXPECT_EQ(grabber->View(), nullptr);
  EXPECT_TRUE(app.getWindowList().empty());
  EXPECT_EQ(grabber->Cache(), (std::vector<std::string>{"first\n", "second 2\n"}));

  testing::internal::CaptureStderr();
  EditorOutputGrabber::SpewCacheToStderr();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "first\nsecond 2\n");
}

TEST_F(MessageWindow, StartUpsEndShowsTheCacheThenAppendsEveryMessage) {
  manager.PrintOutput("early\n");
  Initialise();
  Edit* e = Shown();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->window->title(), "Messages from \"oe\"");
  EXPECT_EQ(e->window->geometry().x, 10);
  EXPECT_EQ(e->window->geometry().y, 10);
  EXPECT_TRUE(grabber->Cache().empty());

  // The user's caret elsewhere does not move where messages go.
  EditMoveCaret(e, 1, 0, false);
  manager.PrintOutput("later\n");
  manager.PrintOutput("partial ");
  manager.PrintOutput("line\n");
  EXPECT_EQ(Text(Shown()), "early\nlater\npartial line\n");
  EXPECT_EQ(e->file->undo, nullptr) << "messages leave nothing to undo";

  // Spewing is for early exits only.
  testing::internal::CaptureStderr();
  EditorOutputGrabber::SpewCacheToStderr();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(MessageWindow, AWindowClosedByTheUserComesBackWithTheNextMessage) {
  Initialise();
  manager.PrintOutput("one\n");
  Edit* e = Shown();
  ASSERT_NE(e, nullptr);
  manager.PrintOutput("waiting\n");  // still in the batch when the window goes
  EXPECT_TRUE(e->window->Close());
  WReapDestroyed();
  EXPECT_EQ(grabber->View(), nullptr);

  manager.PrintOutput("two\n");
  Edit* again = Shown();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Text(again), "waiting\ntwo\n");
}

TEST_F(MessageWindow, MessagesGoInAsOneBatchAtTheNextIdleMoment) {
  Initialise();
  size_t windows = app.getWindowList().size();
  manager.PrintOutput("a\n");
  // Handling a message never touches the display (it may come from the X
  // error handler): no window yet.
  EXPECT_EQ(app.getWindowList().size(), windows);
  EXPECT_EQ(grabber->View(), nullptr);
  getIdleNotifier()->notifyIdle(false);
  Edit* e = grabber->View();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(Text(e), "a\n");

  for (int i = 0; i < 1000; ++i) manager.PrintOutput("b\n");
  EXPECT_EQ(e->file->nLines, 1);
  getIdleNotifier()->notifyIdle(false);
  EXPECT_EQ(e->file->nLines, 1001);
}

TEST_F(MessageWindow, WhatNoWindowShowedGoesToStandardErrorAtTheEnd) {
  Initialise();
  manager.PrintOutput("shown\n");
  Edit* e = Shown();
  ASSERT_NE(e, nullptr);
  manager.PrintOutput("never shown\n");
  testing::internal::CaptureStderr();
  EditorOutputGrabber::SpewUnshownToStderr();
  EditorOutputGrabber::SpewUnshownToStderr();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "never shown\n");
  getIdleNotifier()->notifyIdle(false);
  EXPECT_EQ(Text(e), "shown\n");
}

TEST_F(MessageWindow, WithoutADisplayMessagesGoToStandardOutput) {
  manager.PrintOutput("cached\n");
  testing::internal::CaptureStdout();
  EditorOutputGrabber::OrvexIsInitialized();  // no display
  manager.PrintOutput("direct\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "cached\ndirect\n");
  EXPECT_FALSE(EditorOutputGrabber::IsInitialized());
  EXPECT_TRUE(app.getWindowList().empty());
}

TEST_F(MessageWindow, ADisplayThatIsGoneLeavesMessagesToTheGrabbersBelow) {
  testing::internal::CaptureStderr();
  Initialise();
  manager.PrintOutput("shown\n");
  Edit* e = Shown();
  ASSERT_NE(e, nullptr);
  wDisplayActive = false;  // closed at exit
  manager.PrintOutput("at exit\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "at exit\n");
  EXPECT_EQ(Text(e), "shown\n");
}

TEST_F(MessageWindow, FileMessagesThatNoViewShowsReachTheMessageOutput) {
  Initialise();
  EditOrphanMessages orphans;
  FilesAddObserver(&orphans);
  File* shown = Open("shown.c", "x\n");
  EditWindow* w = Window(shown);
  File* alone = Open("alone.c", "y\n");
  File_DisplayMsg(shown, "for the view");
  File_DisplayMsg(alone, "for nobody");
  File_DisplayMsg(nullptr, "");
  FilesRemoveObserver(&orphans);
  EXPECT_EQ(w->edit()->message, "for the view");
  EXPECT_EQ(Text(Shown()), "for nobody\n");
}

}  // namespace
}  // namespace oetest
