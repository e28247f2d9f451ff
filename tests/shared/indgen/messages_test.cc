#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "shared/indgen/indgen.h"

namespace {

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gen_init("/usr/local/bin/oe//", 0);
    gen_dirivo_error_msgs = 0;
  }
};

std::string captured(void (*emit)()) {
  testing::internal::CaptureStderr();
  emit();
  return testing::internal::GetCapturedStderr();
}

// The program name in the prefixes is the base name without trailing slashes.
TEST_F(MessagesTest, LevelsCarryTheirPrefixesAndOneNewline) {
  EXPECT_STREQ(gen_progname, "oe");
  EXPECT_STREQ(gen_execname, "/usr/local/bin/oe//");
  EXPECT_EQ(captured([] { gen_warning("disk %d%%", 90); }), "oe: warning: disk 90%\n");
  EXPECT_EQ(captured([] { gen_error("bad\n"); }), "oe: error: bad\n");
  EXPECT_EQ(captured([] { gen_info("x"); }), "oe: info: x\n");
  EXPECT_EQ(captured([] { gen_printf("plain"); }), "plain\n");
  gen_dirivo_error_msgs = 1;
  EXPECT_EQ(captured([] { gen_warning("w"); }), "oe: WARNING: w\n");
  EXPECT_EQ(captured([] { gen_message(1, "d"); }), "oe: ERROR: DISASTER: d\n");
}

TEST_F(MessagesTest, CountsMessagesPerLevelAndErrorsTogether) {
  int warnings = gen_error_count[4], errors = gen_error_count[3], any = gen_any_error;
  captured([] {
    gen_warning("a");
    gen_error("b");
    gen_error("c");
  });
  EXPECT_EQ(gen_error_count[4], warnings + 1);
  EXPECT_EQ(gen_error_count[3], errors + 2);
  EXPECT_EQ(gen_any_error, any + 2);
}

TEST_F(MessagesTest, ErrnoSuffixIsAppendedOnceAndCleared) {
  std::string out = captured([] {
    errno = ENOENT;
    gen_perror("open %s", "f");
  });
  EXPECT_EQ(out, "oe: error: open f: No such file or directory\n");
  EXPECT_EQ(errno, 0);
  out = captured([] {
    errno = 0;
    gen_perror("nothing");
  });
  EXPECT_EQ(out, "oe: error: nothing\n");
}

TEST_F(MessagesTest, LongMessagesAreNotTruncated) {
  std::string text(5000, 'x');
  testing::internal::CaptureStderr();
  gen_warning("%s", text.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "oe: warning: " + text + "\n");
}

TEST_F(MessagesTest, ErrorExitUsesLevelZeroForStatusZero) {
  EXPECT_EXIT(gen_errorexit(0, "done"), testing::ExitedWithCode(0), "^oe: done\n$");
  EXPECT_EXIT(gen_errorexit(4, "broken"), testing::ExitedWithCode(4), "oe: fatal: broken");
}

TEST_F(MessagesTest, AssertionLineNamesConditionPathAndProgram) {
  EXPECT_EXIT(__Assert(0, "x>0", "src/windlib/orvexjmp.cc", 12, 0), testing::ExitedWithCode(1),
              "^Assertion \\(x>0\\) failed in 'src/windlib/orvexjmp' on line 12 in oe\n$");
  EXPECT_EXIT(__Assert(0, "y", "a.cc", 3, 7), testing::ExitedWithCode(1),
              "Assertion \\(y\\) \\[7\\] failed in 'a' on line 3 in oe");
  __Assert(1, "true", "a.cc", 1, 0);  // a holding condition does nothing
}

TEST_F(MessagesTest, VersionAcceptsOnlyValuesBelowNine) {
  EXPECT_EQ(gen_set_version(8), 1);
  EXPECT_EQ(gen_get_version(), 8);
  testing::internal::CaptureStderr();
  EXPECT_EQ(gen_set_version(9), 0);
  EXPECT_NE(
      testing::internal::GetCapturedStderr().find("Attempt to set version to an illegal value"),
      std::string::npos);
  EXPECT_EQ(gen_get_version(), 8);
}

TEST_F(MessagesTest, SignalTrapsSayHaltedAndExitTwoButSigtermIsSilent) {
  EXPECT_EXIT(raise(SIGINT), testing::ExitedWithCode(2), "oe: error: Halted");
  EXPECT_EXIT(raise(SIGHUP), testing::ExitedWithCode(2), "Interrupt \\(1\\)");
  EXPECT_EXIT(raise(SIGPIPE), testing::ExitedWithCode(2), "Halted by a SIGPIPE.");
  EXPECT_EXIT(raise(SIGTERM), testing::ExitedWithCode(2), "^$");
}

}  // namespace
