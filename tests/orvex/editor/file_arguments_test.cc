#include "orvex/editor/file_arguments.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "support/temp_dir.h"
#include "windlib/config/editsettings.h"
#include "windlib/wdisplay.h"

namespace {

// Records what pass 3 asks for.
class Recorder : public ArgumentActions {
 public:
  std::vector<std::string> calls;
  bool tagKnown = true;
  bool browsersAvailable = true;
  bool OpenHistory(const std::string& f) override {
    return log("history " + f) && browsersAvailable;
  }
  bool OpenCheckoutBrowser(const std::string* files) override {
    return log("checkout " + (files ? *files : std::string("-"))) && browsersAvailable;
  }
  bool OpenDiff(const DiffRequest& r) override {
    return log("diff " + r.file1 + "@" + r.rev1 + " " +
               (r.hasFile2 ? r.file2 + "@" + r.rev2 : "-"));
  }
  bool OpenTag(const std::string& n) override {
    log("tag " + n);
    return tagKnown;
  }
  bool OpenFile(const std::string& f, unsigned long line, bool new_window) override {
    return log((new_window ? "new " : "open ") + f + ":" + std::to_string(line));
  }
  bool OpenDirectory(const std::string& d) override { return log("dir " + d); }
  bool OpenWithHexEditor(const std::string& f) override { return log("hex " + f); }

 private:
  bool log(const std::string& s) {
    calls.push_back(s);
    return true;
  }
};

struct Pass3 {
  Recorder actions;
  StartupState state;
  std::string out, err;
  bool result = true;
};

Pass3 run(std::vector<std::string> args, bool browsers = true, bool tags = true) {
  Pass3 p;
  p.actions.browsersAvailable = browsers;
  p.actions.tagKnown = tags;
  args.insert(args.begin(), "oe");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  p.result = ProcessFileArguments(static_cast<int>(argv.size()), argv.data(), p.state, p.actions);
  p.out = testing::internal::GetCapturedStdout();
  p.err = testing::internal::GetCapturedStderr();
  return p;
}

class FileArguments : public ::testing::Test {
 protected:
  void SetUp() override {
    gen_init("oe", 0);
    a = dir.write("a.c", "int a;\n");
    b = dir.write("b.c", "int b;\n");
    c = dir.write("c.c", "int c;\n");
  }
  void TearDown() override { WSetScriptedResponder(nullptr); }
  oetest::TempDir dir;
  std::string a, b, c;
};

TEST_F(FileArguments, LineNumbersBeforeAndAfterFilesTwiceAndBad) {
  auto p = run({a, "+10", b});
  EXPECT_EQ(p.actions.calls, (std::vector<std::string>{"open " + a + ":10", "open " + b + ":0"}));
  p = run({"+10", a});
  EXPECT_EQ(p.actions.calls, std::vector<std::string>{"open " + a + ":10"});
  EXPECT_TRUE(p.state.somethingOpened);
  p = run({"+5", "+6", a});
  EXPECT_EQ(p.out, "Line number specified twice\n");
  EXPECT_EQ(p.actions.calls, std::vector<std::string>{"open " + a + ":6"});
  p = run({"+12x", a});
  EXPECT_EQ(p.out, "Bad line number +12x\n");
  EXPECT_EQ(p.actions.calls, std::vector<std::string>{"open " + a + ":12"});
  p = run({"+0x10", a, "+010", b});
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(p.actions.calls, (std::vector<std::string>{"open " + a + ":16", "open " + b + ":8"}));
}

TEST_F(FileArguments, NewAndReuseModesAndUnknownArgumentsReportedOnStdout) {
  auto p = run({"-new", a, b, "-reuse", c});
  EXPECT_EQ(p.actions.calls,
            (std::vector<std::string>{"new " + a + ":0", "new " + b + ":0", "open " + c + ":0"}));
  p = run({"-run", "-nosplash", "-Xfoo", "", a});
  EXPECT_EQ(p.out, "Unknown argument -run\nUnknown argument -nosplash\n");
  EXPECT_EQ(p.actions.calls, std::vector<std::string>{"open " + a + ":0"});
}

TEST_F(FileArguments, UsagePrintsOnStderrAndStops) {
  auto p = run({"+1", "-usage", a});
  EXPECT_FALSE(p.result);
  EXPECT_EQ(p.err, UsageText("oe"));
  EXPECT_TRUE(p.actions.calls.empty());
  EXPECT_EQ(UsageText("oe").substr(0, 32), "Usage: oe [options] files\nOption");
  EXPECT_FALSE(run({"-h"}).result);
}

TEST_F(FileArguments, TagCases) {
  auto p = run({"-tag"});
  EXPECT_TRUE(p.actions.calls.empty());
  p = run({"+3", "-tag", "foo", a});
  EXPECT_EQ(p.out, "Line number specified for tag\n");
  EXPECT_EQ(p.actions.calls, (std::vector<std::string>{"tag foo", "open " + a + ":0"}));
  p = run({"-tag", "nope"}, true, false);
  EXPECT_EQ(p.out, "Unknown tag \"nope\"\n");
  EXPECT_FALSE(p.state.somethingOpened);
}

TEST_F(FileArguments, DiffForms) {
  EXPECT_EQ(run({"-diff", a, b}).actions.calls,
            std::vector<std::string>{"diff " + a + "@ " + b + "@"});
  EXPECT_EQ(run({"-diff", a, "-v1.3"}).actions.calls,
            std::vector<std::string>{"diff " + a + "@1.3 " + a + "@"});
  EXPECT_EQ(run({"-diff", a, "-v", "1.3", b}).actions.calls,
            std::vector<std::string>{"diff " + a + "@1.3 " + b + "@"});
  EXPECT_EQ(run({"-diff", a, b, c}).actions.calls,
            std::vector<std::string>{"diff " + a + "@ " + b + "@" + c});
  EXPECT_EQ(run({"-diff", a, b, "-v2.1", c}).actions.calls,
            (std::vector<std::string>{"diff " + a + "@ " + b + "@2.1", "open " + c + ":0"}));
  EXPECT_EQ(run({"-diff", a}).actions.calls, std::vector<std::string>{"diff " + a + "@ -"});
}

TEST_F(FileArguments, DiffWithDirectoryAndErrors) {
  std::string sub = dir.file("sub");
  mkdir(sub.c_str(), 0755);
  dir.write("sub/a.c", "x\n");
  auto p = run({"-diff", a, sub});
  EXPECT_EQ(p.actions.calls, std::vector<std::string>{"diff " + a + "@ " + sub + "/a.c@"});

  p = run({"-diff", sub, a});
  EXPECT_TRUE(p.actions.calls.empty());
  EXPECT_NE(p.err.find("warning: File given to diff is a directory: " + sub), std::string::npos);
  EXPECT_TRUE(p.state.somethingOpened);

  p = run({"-diff", dir.file("missing.c"), a});
  EXPECT_NE(p.err.find("Cannot open file for reading: " + dir.file("missing.c")),
            std::string::npos);

  p = run({"-diff", b, dir.path()});  // dir/b.c exists
  EXPECT_EQ(p.actions.calls.size(), 1u);
  p = run({"-diff", c, sub});  // sub/c.c does not
  EXPECT_NE(p.err.find("File given to diff is a directory: " + sub + "/c.c"), std::string::npos);

  p = run({"-diff", a, dir.file("nothere.c")});
  EXPECT_NE(p.err.find("Cannot open file for reading: " + dir.file("nothere.c")),
            std::string::npos);
  // A revision means the file need not be readable on disk.
  p = run({"-diff", a, dir.file("nothere.c"), "1.2"});
  EXPECT_EQ(p.actions.calls.size(), 1u);
}

TEST_F(FileArguments, HistoryModeAndDirectories) {
  auto p = run({"+4", "-showhistory", a, dir.path()});
  EXPECT_EQ(p.actions.calls, (std::vector<std::string>{"history " + a, "dir " + dir.path()}));
  EXPECT_EQ(p.state.pendingLine, 4u) << "history keeps the pending line";
  p = run({"-checkoutbrowser", "-checkoutbrowserfiles", "x y", "-checkoutbrowserfiles"});
  EXPECT_EQ(p.actions.calls, (std::vector<std::string>{"checkout -", "checkout x y"}));
  EXPECT_EQ(p.out, "Unknown argument -checkoutbrowserfiles\n");
}

// A browser that cannot be shown has answered with its message: start-up
// must not go on to the file chooser as if nothing had been asked for.
TEST_F(FileArguments, BrowserRequestsCountAsOpenedEvenWhenNoBrowserShows) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"-showhistory", a},
                                                                {"-historybrowser", a, b},
                                                                {"-checkoutbrowser"},
                                                                {"-checkoutbrowserfiles", "x y"}}) {
    auto p = run(args, false);
    EXPECT_TRUE(p.state.somethingOpened) << args[0];
    EXPECT_FALSE(p.actions.calls.empty()) << args[0];
  }
  EXPECT_FALSE(run({"-showhistory"}, false).state.somethingOpened)
      << "history mode without a file asks for nothing";
  EXPECT_FALSE(run({"-checkoutbrowserfiles"}, false).state.somethingOpened);
}

TEST_F(FileArguments, BinaryFilesAsk) {
  std::string tab = dir.write("tab.txt", "\t\n\t\n");
  std::string zero = dir.write("zero.bin", std::string("ab\0cd", 5));
  std::string high = dir.write("high.bin", "caf\xe9");
  std::string utf8 = dir.write("utf8.txt", "caf\xc3\xa9 \xe6\x97\xa5");
  std::string cut = dir.write("cut.txt", std::string(98, 'x') + "\xe6\x97\xa5");
  std::string c1 = dir.write("c1.bin", "\xc2\x85");
  std::string late = dir.write("late.bin", std::string(100, 'x') + std::string(1, '\0'));
  EXPECT_FALSE(IsFileBinary(tab));
  EXPECT_TRUE(IsFileBinary(zero));
  EXPECT_TRUE(IsFileBinary(high)) << "Latin-1 is not UTF-8";
  const bool saved = vfUtf8;
  vfUtf8 = true;
  EXPECT_FALSE(IsFileBinary(utf8)) << "UTF-8 characters are text";
  EXPECT_FALSE(IsFileBinary(cut)) << "a character cut by the 100 bytes read";
  EXPECT_TRUE(IsFileBinary(c1)) << "a C1 control character";
  EXPECT_TRUE(IsFileBinary(high));
  vfUtf8 = false;
  EXPECT_TRUE(IsFileBinary(utf8)) << "read as bytes, every byte above 127 is binary";
  vfUtf8 = saved;
  EXPECT_FALSE(IsFileBinary(late)) << "only the first 100 bytes count";
  EXPECT_FALSE(IsFileBinary(dir.file("missing")));

  std::vector<std::string> asked;
  int answer = 0;
  WSetScriptedResponder([&](const WAskRequest& r) {
    asked.push_back(r.title + "|" + r.text + "|" + r.buttons[0] + "," + r.buttons[1] + "," +
                    r.buttons[2]);
    return WAskReply{answer, ""};
  });
  auto p = run({zero, tab});
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "Choose Editor|File " + zero +
                          " appears to be binary. What would you like to do?|Hex Edit,Edit,Cancel");
  EXPECT_EQ(p.actions.calls, (std::vector<std::string>{"hex " + zero, "open " + tab + ":0"}));
  answer = 1;
  EXPECT_EQ(run({zero}).actions.calls, std::vector<std::string>{"open " + zero + ":0"});
  answer = 2;
  EXPECT_TRUE(run({zero}).actions.calls.empty());
}

}  // namespace
