#include "edit_fixture.h"
#include "windlib/config/configoptions.h"
#include "windlib/config/configsave.h"

namespace {

using oetest::TempDir;

// Configuration commands in a view; every question is recorded and
// answered by the next scripted reply (button and text), else its default.
class ConfigCmdsTest : public oetest::EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    cfg_ResetAllOptions();
    WSetScriptedResponder([this](const WAskRequest& r) {
      questions.push_back(r.title + "|" + r.text);
      WAskReply reply{r.defaultButton, r.defaultText};
      if (!replies.empty()) {
        reply = replies.front();
        replies.erase(replies.begin());
      }
      return reply;
    });
    edit = View("a.c", "x\n");
  }
  void TearDown() override {
    cfg_ResetAllOptions();
    cfg_ConfigFromOtherFile = false;
    EditTest::TearDown();
  }
  std::vector<WAskReply> replies;
  Edit* edit = nullptr;
};

TEST_F(ConfigCmdsTest, TheLineIsTheArgumentUpToTheCommandsEnd) {
  EXPECT_EQ(EditCli(edit, "Configure printcommand \"lp -d a; b\"; Configure tabsize 2"), 1);
  EXPECT_EQ(cfg_TextOption("printcommand"), "lp -d a; b");
  EXPECT_EQ(cfgTabSize, 2);
  // A line given as one quoted string.
  EXPECT_EQ(EditCli(edit, "Configure \"tabsize 3\""), 1);
  EXPECT_EQ(cfgTabSize, 3);
  EXPECT_EQ(EditCli(edit, "{ Configure tabsize 5 }"), 1);
  EXPECT_EQ(cfgTabSize, 5);
  EXPECT_TRUE(questions.empty());
  // The views caught up with the change.
  EXPECT_EQ(AnyRefreshes, 0u);
}

TEST_F(ConfigCmdsTest, AnInvalidLineStopsTheCommandString) {
  EXPECT_NE(EditCli(edit, "Configure tabsize many; Configure wordwrap on"), 1);
  EXPECT_EQ(cfgTabSize, 8);
  EXPECT_FALSE(vfWordWrap);
}

TEST_F(ConfigCmdsTest, WithoutAnArgumentTheLineOrFileIsAskedFor) {
  replies = {WAskReply{0, "tabsize 6"}};
  EXPECT_EQ(EditCli(edit, "Configure"), 1);
  EXPECT_EQ(cfgTabSize, 6);
  replies = {WAskReply{1, "tabsize 7"}};  // cancelled
  EXPECT_EQ(EditCli(edit, "Configure"), 1);
  EXPECT_EQ(cfgTabSize, 6);

  const std::string path = files.write("more.cfg", "tabsize 4\n");
  replies = {WAskReply{0, path}};
  EXPECT_EQ(EditCli(edit, "ConfigureFile"), 1);
  EXPECT_EQ(cfgTabSize, 4);
  EXPECT_TRUE(cfg_ConfigFromOtherFile);
  EXPECT_EQ(questions, (std::vector<std::string>{"Configure|Configuration line?",
                                                 "Configure|Configuration line?",
                                                 "Configure|Configuration file?"}));
}

TEST_F(ConfigCmdsTest, AFileThatCannotBeOpenedIsReported) {
  EXPECT_NE(EditCli(edit, "ConfigureFile /no/such/file.cfg; Configure tabsize 2"), 1);
  EXPECT_EQ(edit->message, "Can't open file: /no/such/file.cfg");
  EXPECT_EQ(cfgTabSize, 8);
  EXPECT_NE(EditCli(edit, ("loadconfigfromfile " + files.path()).c_str()), 1);
  EXPECT_EQ(edit->message, "Can't open file: " + files.path());
}

TEST_F(ConfigCmdsTest, AConfigurationWrittenToAChosenFileReadsBack) {
  EditCli(edit, "Configure tabsize 3; Configure AIparenindentmode even");
  const std::string path = files.file("mine.cfg");
  replies = {WAskReply{0, path}};
  EXPECT_EQ(EditCli(edit, "saveconfigtofile"), 1);
  ASSERT_EQ(questions.size(), 1u);
  const std::string saved = TempDir::read(path);
  EXPECT_NE(saved.find("tabsize 3\n"), std::string::npos);

  EXPECT_EQ(EditCli(edit, "clearconfig"), 1);
  EXPECT_EQ(cfgTabSize, 8);
  EXPECT_EQ(cfg_ValueText(*cfg_FindOption("AIparenindentmode")), "IndentInTwo");
  EXPECT_EQ(EditCli(edit, ("loadconfigfromfile " + path).c_str()), 1);
  EXPECT_EQ(cfgTabSize, 3);
  EXPECT_EQ(cfg_ValueText(*cfg_FindOption("AIparenindentmode")), "EvenWithParen");

  // Over an existing file only when confirmed.
  EditCli(edit, "Configure tabsize 9");
  questions.clear();
  replies = {WAskReply{1, ""}};
  EXPECT_NE(EditCli(edit, ("saveconfigtofile " + path + "; Configure tabsize 1").c_str()), 1);
  EXPECT_EQ(questions, std::vector<std::string>{"|Overwrite file " + path + "?"});
  EXPECT_EQ(TempDir::read(path), saved);
  EXPECT_EQ(cfgTabSize, 9);
}

}  // namespace
