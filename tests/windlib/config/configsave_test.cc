#include "windlib/config/configsave.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>

#include "support/temp_dir.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/editsettings.h"
#include "windlib/wdisplay.h"
#include "windlib/xswitch.h"

namespace {

std::string messages;
std::vector<std::string> asked;  // the text of every question, in order
std::vector<int> answers;        // the buttons given, in order; then the default

// Every option's value as configuration text, by name.
std::map<std::string, std::string> snapshot() {
  std::map<std::string, std::string> out;
  cfg_ForEachOption([&out](_ConfigOption& o) {
    if (o.type != cfgFunction && !out.count(o.name)) out[o.name] = cfg_ConvertToString(&o);
  });
  return out;
}

class ConfigSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_home_ = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", home_.path().c_str(), 1);
    cfg_ResetConfigDirs();
    InitDebugFlag();
    cfg_ResetAllOptions();
    cfg_ConfigFromOtherFile = false;
    messages.clear();
    asked.clear();
    answers.clear();
    mprintf_hook = [](const char* text) { messages += text; };
    WSetScriptedResponder([](const WAskRequest& r) {
      asked.push_back(r.title.empty() ? r.text : r.title + "|" + r.text);
      WAskReply reply;
      reply.button = r.defaultButton;
      if (!answers.empty()) {
        reply.button = answers.front();
        answers.erase(answers.begin());
      }
      return reply;
    });
  }
  void TearDown() override {
    WSetScriptedResponder(nullptr);
    mprintf_hook = nullptr;
    cfg_ResetAllOptions();
    cfg_ConfigFromOtherFile = false;
    setenv("HOME", old_home_.c_str(), 1);
    cfg_ResetConfigDirs();
  }
  static void Set(const char* line) { ASSERT_EQ(cfg_ScanLine(line, true, true), 1) << line; }
  static void SaveMode(const char* mode) { Set((std::string("configsavemode ") + mode).c_str()); }
  std::string user_file(const char* leaf = "kvx.cfg") const {
    return home_.file(std::string(".kvx/") + leaf);
  }
  bool exists(const std::string& path) const {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
  }

  oetest::TempDir home_;
  std::string old_home_;
};

TEST_F(ConfigSaveTest, TheSavedConfigurationReadsBackToEveryValue) {
  Set("tabsize 3");
  Set("editwidth -1");
  Set("wordwrap yes");
  Set("AIcharslikestarincomment \"#\"");
  Set("printcommand \"  lp \\\"quoted\\\" \\\\ \\n end\"");
  Set("ExtEditor_OtherPath =starts with a separator");
  Set("configsavemode IfChanged");
  Set("scrolllocation Right");
  Set("maxwindowsize 800x600");
  Set("background #102030");
  const auto saved = snapshot();
  ASSERT_EQ(saved.at("printcommand"), "  lp \"quoted\" \\ \n end");
  const std::string path = home_.file("all.cfg");
  ASSERT_TRUE(cfg_WriteConfigurationFile(path));

  cfg_ResetAllOptions();
  ASSERT_NE(snapshot(), saved);
  EXPECT_EQ(cfg_ConfigureFromFile(path), 1) << messages;
  const auto loaded = snapshot();
  for (const auto& [name, value] : saved) EXPECT_EQ(loaded.at(name), value) << name;
  EXPECT_EQ(cfgTabSize, 3);
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigSaveTest, ComparingCountsTheOptionsChangedSinceTheLevelWasRemembered) {
  EXPECT_EQ(cfg_CompareToCurrentSettings(cfgLevelUser), 0);
  Set("tabsize 2");
  // Nothing remembered at the level yet: nothing to compare with.
  EXPECT_EQ(cfg_CompareToCurrentSettings(cfgLevelUser), 0);
  cfg_RememberCurrentSettings(cfgLevelUser);
  Set("tabsize 6");
  Set("wordwrap on");
  EXPECT_EQ(cfg_CompareToCurrentSettings(cfgLevelUser), 2);
  EXPECT_EQ(cfg_CompareToCurrentSettings(cfgLevelSite), 0);
  Set("tabsize 2");
  EXPECT_EQ(cfg_CompareToCurrentSettings(cfgLevelUser), 1);
  EXPECT_EQ(cfg_CompareToCurrentSettings(7), 0);
}

TEST_F(ConfigSaveTest, AskIfChangedAsksOnlyWhenSomethingChanged) {
  SaveMode("AskIfChanged");
  cfg_RememberCurrentSettings(cfgLevelUser);
  EXPECT_EQ(cfg_AskSaveConfig(), 1);
  EXPECT_TRUE(asked.empty());

  Set("tabsize 4");
  answers = {1};  // No
  EXPECT_EQ(cfg_AskSaveConfig(), 1);
  EXPECT_EQ(asked, std::vector<std::string>{"Save changes to default configuration?"});
  EXPECT_FALSE(exists(user_file()));

  asked.clear();
  answers = {0};  // Yes
  EXPECT_EQ(cfg_AskSaveConfig(), 1);
  EXPECT_EQ(asked, std::vector<std::string>{"Save changes to default configuration?"});
  ASSERT_TRUE(exists(user_file()));
  EXPECT_NE(oetest::TempDir::read(user_file()).find("tabsize 4\n"), std::string::npos);
  // Saved: nothing differs any more.
  EXPECT_EQ(cfg_CompareToCurrentSettings(cfgLevelUser), 0);
  asked.clear();
  EXPECT_EQ(cfg_AskSaveConfig(), 1);
  EXPECT_TRUE(asked.empty());
}

TEST_F(ConfigSaveTest, NeverAndIfChangedSaveWithoutAsking) {
  cfg_RememberCurrentSettings(cfgLevelUser);
  Set("tabsize 7");
  EXPECT_EQ(cfg_AskSaveConfig(), 1) << "the default, Never";
  EXPECT_FALSE(exists(user_file()));
  SaveMode("IfChanged");
  EXPECT_EQ(cfg_AskSaveConfig(), 1);
  EXPECT_TRUE(asked.empty());
  EXPECT_NE(oetest::TempDir::read(user_file()).find("tabsize 7\n"), std::string::npos);
  EXPECT_EQ(messages, "Creating default config file: " + user_file() + "\n");
}

TEST_F(ConfigSaveTest, ANewFileIsAnnouncedAndAnExistingOneMustBeConfirmed) {
  Set("tabsize 4");
  EXPECT_EQ(SaveAsDefaultConfig("oe"), 1);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(messages, "Creating default config file: " + user_file() + "\n");

  Set("tabsize 5");
  const std::string before = oetest::TempDir::read(user_file());
  answers = {1};
  EXPECT_EQ(SaveAsDefaultConfig("oe"), 0);
  EXPECT_EQ(asked, std::vector<std::string>{"Overwrite file " + user_file() + "?"});
  EXPECT_EQ(oetest::TempDir::read(user_file()), before);
  EXPECT_EQ(cfg_CompareToCurrentSettings(cfgLevelUser), 1);

  answers = {0};
  EXPECT_EQ(SaveAsDefaultConfig("oe"), 1);
  EXPECT_NE(oetest::TempDir::read(user_file()).find("tabsize 5\n"), std::string::npos);
}

TEST_F(ConfigSaveTest, AfterReadingAnotherFileSavingWarnsThatItMasksThatFile) {
  const std::string other = home_.write("team.cfg", "tabsize 6\n");
  EXPECT_EQ(cfg_ConfigureFromFile(other), 1);
  EXPECT_TRUE(cfg_ConfigFromOtherFile);
  EXPECT_EQ(cfgTabSize, 6);

  answers = {1};  // Cancel
  EXPECT_EQ(SaveAsDefaultConfig("oe"), 0);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].rfind("Mask config defaults?|", 0), 0u) << asked[0];
  EXPECT_FALSE(exists(user_file()));

  asked.clear();
  answers = {0};  // Continue
  EXPECT_EQ(SaveAsDefaultConfig("oe"), 1);
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_TRUE(exists(user_file()));
  // The user's own file is not another file.
  cfg_ConfigFromOtherFile = false;
  EXPECT_EQ(cfg_ConfigureFromFile(user_file()), 1);
  EXPECT_FALSE(cfg_ConfigFromOtherFile);
}

TEST_F(ConfigSaveTest, AFileThatCannotBeReadIsNotOpened) {
  EXPECT_EQ(cfg_ConfigureFromFile(home_.file("missing.cfg")), 0);
  EXPECT_EQ(cfg_ConfigureFromFile(home_.path()), 0);
  EXPECT_EQ(cfg_ConfigureFromFile(""), 0);
  EXPECT_FALSE(cfg_ConfigFromOtherFile);
  std::string many;
  for (int i = 0; i < 60; ++i) many += "nosuchoption " + std::to_string(i) + "\n";
  EXPECT_EQ(cfg_ConfigureFromFile(home_.write("bad.cfg", many)), -1);
}

TEST_F(ConfigSaveTest, ClearingPutsEveryOptionBackToItsDefault) {
  const auto defaults = snapshot();
  cfg_RememberCurrentSettings(cfgLevelUser);
  Set("tabsize 3");
  Set("cppCommentsInC off");
  Set("AIparenindentmode EvenWithParen");
  Set("printcommand \"\"");
  Set("minviewsize 10x10");
  Set("configsavemode AskIfChanged");
  cfg_SetAllToDefaults();
  EXPECT_EQ(snapshot(), defaults);
  EXPECT_EQ(cfgTabSize, 8);
  // The remembered values stay, so the change back is one to save.
  Set("tabsize 3");
  EXPECT_EQ(cfg_CompareToCurrentSettings(cfgLevelUser), 1);
}

}  // namespace
