#include "windlib/edit/editdlgoutput.h"

#include <gtest/gtest.h>

#include <string>

#include "edit_fixture.h"
#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/outputmanager.h"
#include "windlib/x11/wtopwindow.h"

namespace oetest {
namespace {

class MessageDialog : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    EditDlgOutputGrabber::ResetForTests();
    OutputSetManager(&manager);
    grabber = EditDlgOutputGrabber::MakeEditDlgOutputGrabber(nullptr);
    manager.PushGrabber(grabber);
  }
  void TearDown() override {
    manager.PopAllGrabbers();
    OutputSetManager(nullptr);
    EditDlgOutputGrabber::ResetForTests();
    wDisplayActive = false;
    EditTest::TearDown();
  }
  void Initialise() {
    wDisplayActive = true;
    EditDlgOutputGrabber::OrvexIsInitialized();
  }
  void CloseDialog() {
    ASSERT_NE(grabber->Dialog(), nullptr);
    EXPECT_TRUE(grabber->Dialog()->Close());
    WReapDestroyed();
    EXPECT_EQ(grabber->Dialog(), nullptr);
  }

  OutputManager manager;
  EditDlgOutputGrabber* grabber = nullptr;
};

TEST_F(MessageDialog, CollectsUntilStartUpEndsThenShowsEverything) {
  manager.PrintOutput("early\n");
  manager.PrintOutput("");
  EXPECT_EQ(grabber->Dialog(), nullptr);
  EXPECT_EQ(EditDlgOutputGrabber::CachedOutput(), std::vector<std::string>{"early\n"});
  testing::internal::CaptureStderr();
  EditDlgOutputGrabber::SpewCacheToStderr();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "early\n");

  Initialise();
  ASSERT_NE(grabber->Dialog(), nullptr);
  EXPECT_EQ(grabber->Dialog()->title(), "Messages from oe");
  manager.PrintOutput("later\n");
  EXPECT_EQ(Text(grabber->View()), "early\n") << "filled at the next idle moment";
  getIdleNotifier()->notifyIdle(false);
  EXPECT_EQ(Text(grabber->View()), "early\nlater\n");
  EXPECT_EQ(EditDlgOutputGrabber::CachedOutput(), (std::vector<std::string>{"early\n", "later\n"}));

  // Closed by the user, it comes back with everything collected.
  CloseDialog();
  manager.PrintOutput("again\n");
  grabber->Flush();
  ASSERT_NE(grabber->View(), nullptr);
  EXPECT_EQ(Text(grabber->View()), "early\nlater\nagain\n");
}

TEST_F(MessageDialog, HiddenDialogsCollectAndShowOnRequest) {
  Initialise();
  EXPECT_EQ(grabber->Dialog(), nullptr) << "nothing to show yet";
  manager.PrintOutput("one\n");
  grabber->Flush();
  ASSERT_NE(grabber->Dialog(), nullptr);
  grabber->PressHideButton();
  EXPECT_TRUE(EditDlgOutputGrabber::DontBringItUp());
  CloseDialog();

  manager.PrintOutput("two\n");
  grabber->Flush();
  EXPECT_EQ(grabber->Dialog(), nullptr) << "hidden: the dialog stays away";
  EXPECT_EQ(EditDlgOutputGrabber::CachedOutput().size(), 2u);

  size_t windows = app.getWindowList().size();
  EditDlgOutputGrabber::ShowCachedWarningsInDlg();
  ASSERT_EQ(app.getWindowList().size(), windows + 1);
  auto* shown = dynamic_cast<WTopWindow*>(app.getWindowList().back());
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->title(), "Messages from oe");
  EXPECT_TRUE(EditDlgOutputGrabber::DontBringItUp()) << "the hide toggle is restored";
  manager.PrintOutput("three\n");
  grabber->Flush();
  EXPECT_EQ(grabber->Dialog(), nullptr);
  EXPECT_TRUE(shown->Close());
  WReapDestroyed();
}

TEST_F(MessageDialog, WithoutADisplayMessagesGoToStandardOutput) {
  testing::internal::CaptureStdout();
  EditDlgOutputGrabber::OrvexIsInitialized();
  manager.PrintOutput("plain\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "plain\n");
  EXPECT_EQ(grabber->Dialog(), nullptr);
}

}  // namespace
}  // namespace oetest
