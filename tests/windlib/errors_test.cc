#include "windlib/errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windlib/gapplication.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"

// The empty format is the case under test.
#pragma GCC diagnostic ignored "-Wformat-zero-length"

namespace {

class ErrorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OrvexClearLastError();
    wDisplayActive = false;
    mprintf_hook = [](const char* text) { output() += text; };
    output().clear();
  }
  void TearDown() override {
    mprintf_hook = nullptr;
    WSetScriptedResponder(nullptr);
    wDisplayActive = false;
  }
  static std::string& output() {
    static std::string out;
    return out;
  }
};

TEST_F(ErrorsTest, CodesAboveOneStayUntilCleared) {
  EXPECT_EQ(err_CmdSyntax("syntax"), 0);
  EXPECT_EQ(err_Failure("later"), 0);
  EXPECT_EQ(OrvexGetLastError(), errCmdSyntax);
  OrvexClearLastError();
  err_Failure("first");
  err_CmdSyntax("second");
  EXPECT_EQ(OrvexGetLastError(), errCmdSyntax);
}

TEST_F(ErrorsTest, WithoutDisplayMessagesGoToMessageOutputWithNewline) {
  EXPECT_EQ(err_Failure("x"), 0);
  EXPECT_EQ(output(), "x\n");
  err_Failure("y\n");
  EXPECT_EQ(output(), "x\ny\n");
  EXPECT_EQ(err_Success("ok %d", 1), 1);
  EXPECT_EQ(output(), "x\ny\nok 1\n");
}

TEST_F(ErrorsTest, EmptyFormatSetsCodeAndShowsNothingAndUnimplementedHasADefaultText) {
  err_Failure("");
  EXPECT_EQ(OrvexGetLastError(), errFailure);
  EXPECT_EQ(output(), "");
  EXPECT_EQ(err_Unimplemented(nullptr), 0);
  EXPECT_EQ(output(), "unimplemented functionality\n");
}

TEST_F(ErrorsTest, WithDisplayMessagesBecomeAlerts) {
  std::vector<std::string> alerts;
  WSetScriptedResponder([&](const WAskRequest& r) {
    alerts.push_back(r.text);
    return WAskReply{};
  });
  wDisplayActive = true;
  err_Failure("shown %s", "here");
  EXPECT_EQ(alerts, std::vector<std::string>{"shown here"});
  EXPECT_EQ(output(), "");
}

TEST_F(ErrorsTest, SeverityAndCheckAndClear) {
  err_SevereFailure("bad");
  EXPECT_EQ(OrvexGetLastError(), errSevereFailure);
  EXPECT_EQ(err_GetSeverity(), 2);
  int32_t severity = -1;
  EXPECT_FALSE(err_CheckAndClear(errFailure, &severity));
  EXPECT_TRUE(err_CheckAndClear(errSevereFailure, &severity));
  EXPECT_EQ(severity, 2);
  EXPECT_EQ(OrvexGetLastError(), 0);
  EXPECT_EQ(err_GetSeverity(), 0);
}

TEST_F(ErrorsTest, MuteHooksSurroundFailureReportsOnly) {
  static int depth = 0;
  static std::vector<int> seen;
  setMuteLevel = [] { ++depth; };
  resetMuteLevel = [] { --depth; };
  mprintf_hook = [](const char*) { seen.push_back(depth); };
  err_Failure("a");
  err_Success("b");
  setMuteLevel = resetMuteLevel = nullptr;
  EXPECT_EQ(seen, (std::vector<int>{1, 0}));
}

TEST(RecoveryPoints, PanicUnwindsToInnermostPointAndRunsDestructors) {
  int destroyed = 0;
  struct Guard {
    int* n;
    ~Guard() { ++*n; }
  };
  int outer_result = -1, inner_result = -1;
  bool after_inner = false;
  outer_result = WithRecoveryPoint([&] {
    inner_result = WithRecoveryPoint([&] {
      Guard g{&destroyed};
      ErrorJump(5);
    });
    after_inner = true;  // the outer work goes on
  });
  EXPECT_EQ(inner_result, 5);
  EXPECT_EQ(outer_result, 0);
  EXPECT_TRUE(after_inner);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(ErrorCheckDepth(), -1);
}

TEST(RecoveryPoints, UnbalancedEndIsAnAssertion) {
  EXPECT_EXIT(EndErrorCheck(), testing::ExitedWithCode(1), "error_depth >= 0");
}

class Window : public WTopLevel {
 public:
  Window(std::vector<std::string>* log, std::string name, bool refuse)
      : log_(log), name_(std::move(name)), refuse_(refuse) {}
  bool Close() override {
    log_->push_back("close " + name_);
    if (refuse_) return false;
    ApplicationInstance->cwRemoveList(this);
    return true;
  }
  void ShowMessage(const std::string& text) override { log_->push_back(name_ + ": " + text); }

 private:
  std::vector<std::string>* log_;
  std::string name_;
  bool refuse_;
};

TEST(Application, DestroyAllStopsAtTheFirstRefusal) {
  GUIApplication app;
  ApplicationInstance = &app;
  std::vector<std::string> log;
  Window a(&log, "a", false), b(&log, "b", true), c(&log, "c", false);
  app.cwInsertList(&a);
  app.cwInsertList(&b);
  app.cwInsertList(&c);
  app.cwInsertList(&a);  // once only
  EXPECT_FALSE(app.cwDestroyAll());
  EXPECT_EQ(log, (std::vector<std::string>{"close a", "close b"}));
  EXPECT_EQ(app.cwGetList(), &b);
  ApplicationInstance = nullptr;
}

TEST(Application, PanicReachesEveryWindowAndTheRecoveryPoint) {
  GUIApplication app;
  ApplicationInstance = &app;
  std::vector<std::string> log;
  Window a(&log, "a", false);
  app.cwInsertList(&a);
  WSetScriptedResponder([&](const WAskRequest& r) {
    log.push_back("alert " + r.text);
    return WAskReply{};
  });
  testing::internal::CaptureStderr();
  int result = WithRecoveryPoint([&] { app.Panic("broken %d", 3); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "broken 3\n");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"alert broken 3", "a: broken 3"}));
  WSetScriptedResponder(nullptr);
  ApplicationInstance = nullptr;
}

}  // namespace
