#include "orvex/editor/oe_output.h"

#include <gtest/gtest.h>

#include <string>

#include "shared/indgen/indgen.h"
#include "windlib/edit/editdlgoutput.h"
#include "windlib/edit/editoutput.h"
#include "windlib/wdisplay.h"
#include "windlib/xswitch.h"

namespace {

// The editor's routing from installation to shutdown, in one process-wide
// sequence (the early-exit copy happens once per process).
TEST(EditorOutput, CachesDuringStartUpSpewsOnceThenPrintsAndShutsDown) {
  gen_init("oe", 0);
  InitDebugFlag();
  OeOutputInstall();
  auto* top = dynamic_cast<EditorOutputGrabber*>(outputManager->PeekGrabber());
  ASSERT_NE(top, nullptr) << "the message window takes messages first";
  EXPECT_NE(GetTopmostGrabberOfType<EditDlgOutputGrabber>(outputManager), nullptr);
  EXPECT_EQ(outputManager->GrabberCount(), 2);

  testing::internal::CaptureStderr();
  OutputMessage(GEN_LEVEL_WARNING, "Ignoring unknown option \"%s\"", "x");
  gen_warning("a start-up diagnostic stays on the terminal");
  std::string during = testing::internal::GetCapturedStderr();
  EXPECT_EQ(during, "oe: warning: a start-up diagnostic stays on the terminal\n");
  EXPECT_EQ(top->Cache(), std::vector<std::string>{"oe: warning: Ignoring unknown option \"x\"\n"});

  testing::internal::CaptureStderr();
  OeOutputSpewOnEarlyExit();
  OeOutputSpewOnEarlyExit();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "oe: warning: Ignoring unknown option \"x\"\n");

  // Start-up ends without a display: messages, diagnostics included, are
  // printed on standard output; fatal ones still go to the terminal's error.
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  OeOutputStartUpDone();
  gen_warning("after start-up");
  gen_message(GEN_LEVEL_FATAL, "the end");
  std::string err = testing::internal::GetCapturedStderr();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("oe: warning: Ignoring unknown option \"x\"\n"), 0u) << out;
  EXPECT_NE(out.find("oe: warning: after start-up\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("the end"), std::string::npos);
  EXPECT_EQ(err, "oe: fatal: the end\n");

  OeOutputShutdown();
  EXPECT_EQ(outputManager->GrabberCount(), 0);
  testing::internal::CaptureStderr();
  gen_warning("at exit");
  mprintf("plain\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "oe: warning: at exit\nplain\n");

  OutputSetManager(nullptr);
  gen_exit = gen_default_exit;
  EditorOutputGrabber::ResetForTests();
  EditDlgOutputGrabber::ResetForTests();
}

}  // namespace
