#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "config_fixture.h"
#include "shared/indgen/indgen.h"
#include "support/temp_dir.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/config/configsave.h"
#include "windlib/config/editsettings.h"
#include "windlib/wdisplay.h"
#include "windlib/xswitch.h"

namespace {

class ConfigFileTest : public oetest::ConfigTest {
 protected:
  std::string Dir(const std::string& name) {
    std::string p = dir.file(name);
    mkdir(p.c_str(), 0755);
    return p;
  }
  oetest::TempDir dir;
};

TEST_F(ConfigFileTest, ReadsEveryLineAndCountsNothingForGoodOnes) {
  std::string p =
      dir.write("a.cfg", "# comment\n\ntabsize: 4\r\nEditorBackups on\neditincrfrequency=2");
  EXPECT_TRUE(cfg_ReadFile(p.c_str(), true));
  EXPECT_EQ(cfgTabSize, 4);
  EXPECT_TRUE(vfEditorBackups);
  EXPECT_EQ(cfgEditIncrFrequency, 2) << "a last line without a line end counts";
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigFileTest, FiftyErrorsAbortTheFile) {
  std::string text;
  for (int i = 0; i < 49; ++i) text += "bogus" + std::to_string(i) + "\n";
  std::string p = dir.write("49.cfg", text + "tabsize 3\n");
  EXPECT_TRUE(cfg_ReadFile(p.c_str(), true)) << "49 errors are not too many";
  EXPECT_EQ(cfgTabSize, 3);
  EXPECT_EQ(messages.find("Too many errors"), std::string::npos);

  messages.clear();
  p = dir.write("50.cfg", text + "bogus49\ntabsize 5\n");
  EXPECT_FALSE(cfg_ReadFile(p.c_str(), true));
  EXPECT_EQ(cfgTabSize, 3) << "lines after the 50th error are not read";
  const std::string tail = "Unknown configuration option: bogus49 \nToo many errors, aborting.\n";
  ASSERT_GE(messages.size(), tail.size());
  EXPECT_EQ(messages.substr(messages.size() - tail.size()), tail);
}

TEST_F(ConfigFileTest, BinaryFilesAndVeryLongLinesAreOnlyReported) {
  std::string binary;
  // 80 lines of every byte value, NUL and CR among them.
  for (int i = 0; i < 80 * 64; ++i)
    binary += i % 64 == 63 ? '\n' : static_cast<char>((i * 37) % 256);
  std::string p = dir.write("bin.cfg", binary);
  EXPECT_FALSE(cfg_ReadFile(p.c_str(), true));
  EXPECT_NE(messages.find("Too many errors, aborting.\n"), std::string::npos);

  messages.clear();
  std::string long_value(200000, 'x');
  p = dir.write("long.cfg", "status.srch " + long_value + "\ntabsize 6\n");
  EXPECT_TRUE(cfg_ReadFile(p.c_str(), true));
  EXPECT_EQ(cfg_TextOption("status.srch"), long_value);
  EXPECT_EQ(cfgTabSize, 6);
}

TEST_F(ConfigFileTest, MissingUnreadableAndDirectoriesAreNotRead) {
  EXPECT_FALSE(cfg_ReadFile(dir.file("none.cfg").c_str(), true));
  EXPECT_FALSE(cfg_ReadFile(Dir("adir").c_str(), true));
  if (geteuid() != 0) {
    std::string p = dir.write("locked.cfg", "tabsize 2\n");
    chmod(p.c_str(), 0);
    EXPECT_FALSE(cfg_ReadFile(p.c_str(), true));
  }
  EXPECT_EQ(cfgTabSize, 8);
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigFileTest, TraceNamesTheFile) {
  debugFlag[xsConfigTrace] = 1;
  std::string p = dir.write("t.cfg", "tabsize 2\n");
  EXPECT_TRUE(cfg_ReadFile(p.c_str(), true));
  EXPECT_EQ(messages, "Reading Configuration File: " + p + "\n");
}

TEST_F(ConfigFileTest, FileNamesFollowTheSingleFileSwitch) {
  std::string d = Dir("site");
  EXPECT_EQ(cfg_CreateConfigFilename(d.c_str(), "oe", true, true), d + "/oe.cfg");
  EXPECT_EQ(cfg_CreateConfigFilename(d.c_str(), "oe", false, true), d + "/kvx.cfg");
  dir.write("site/kvx.cfg", "");
  EXPECT_EQ(cfg_CreateConfigFilename(d.c_str(), "oe", true, true), d + "/kvx.cfg");
  Dir("site/override");
  dir.write("site/override/oe.cfg", "");
  EXPECT_EQ(cfg_CreateConfigFilename(d.c_str(), "oe", true, true), d + "/override/oe.cfg");
  EXPECT_EQ(cfg_CreateConfigFilename(d.c_str(), "oe", true, false), d + "/kvx.cfg");
  debugFlag[xsUseSingleConfigFile] = 0;
  EXPECT_EQ(cfg_CreateConfigFilename(d.c_str(), "tool.exe", true, true), d + "/tool.cfg");
  EXPECT_EQ(cfg_CreateConfigFilename((d + "/").c_str(), "oe", true, true), d + "/oe.cfg");
}

TEST_F(ConfigFileTest, DataFilesAreFoundUserSiteThenDefaults) {
  cfg_SetUserConfigDir(Dir("user").c_str());
  std::string site = cfg_GetSiteConfigDir();
  std::string defaults = cfg_GetSiteDefaultConfigDir();
  // The program's own directories are beside the test binary; only the
  // user directory is ours, so a name found there must win.
  dir.write("user/data.txt", "u");
  EXPECT_EQ(cfg_SearchFileInConfigDirs("data.txt", R_OK), dir.file("user/data.txt"));
  debugFlag[xsDashRunFixes] = 1;
  EXPECT_EQ(cfg_SearchFileInConfigDirs("data.txt", R_OK), "") << "dashRunFixes skips user files";
  debugFlag[xsDashRunFixes] = 0;
  EXPECT_EQ(cfg_SearchFileInConfigDirs(dir.file("user/data.txt").c_str(), R_OK),
            dir.file("user/data.txt"));
  EXPECT_EQ(cfg_SearchFileInConfigDirs(dir.file("user").c_str(), R_OK), "") << "a directory";
  EXPECT_EQ(cfg_SearchFileInConfigDirs("none.txt", R_OK), "");
  EXPECT_EQ(cfg_SearchFileInConfigDirs("", R_OK), "");
  EXPECT_NE(site, defaults);
}

TEST_F(ConfigFileTest, ConfigureLinesAndFilesThroughOptions) {
  std::string p = dir.write("more.cfg", "tabsize 7\n");
  cfg_ConfigFromOtherFile = false;
  EXPECT_EQ(cfg_ScanLine("configurefile " + p, false, false), 1);
  EXPECT_EQ(cfgTabSize, 7);
  EXPECT_TRUE(cfg_ConfigFromOtherFile) << "saving everything now warns that it masks this file";
  cfg_ConfigFromOtherFile = false;
  EXPECT_EQ(cfg_ScanLine("configure editindent 2", false, false), 1);
  EXPECT_EQ(cfgEditIndent, 2);
  EXPECT_EQ(cfg_ScanLine("configurefile " + dir.file("none.cfg"), false, false), 0);
  EXPECT_EQ(messages, "Can't open file: " + dir.file("none.cfg") + "\n");
  messages.clear();
  std::string self = dir.file("self.cfg");
  dir.write("self.cfg", "tabsize 9\nconfigurefile " + self + "\n");
  EXPECT_EQ(cfg_ScanLine("configurefile " + self, false, false), 1);
  EXPECT_EQ(cfgTabSize, 9);
  EXPECT_EQ(messages, "Configuration files nested too deeply at " + self + "\n")
      << "a file that reads itself stops once";
  messages.clear();
  std::string endless;
  for (int i = 0; i < 100000; ++i) endless += "configure ";
  EXPECT_EQ(cfg_ScanLine(endless + "tabsize 4", false, false), 0);
  EXPECT_EQ(cfgTabSize, 9) << "a line nesting too deeply does nothing";
  EXPECT_EQ(messages.find("Configuration files nested too deeply at configure "), 0u);
  messages.clear();
  std::string user = Dir("elsewhere");
  EXPECT_EQ(cfg_ScanLine("configdir " + user, true, false), 1);
  EXPECT_EQ(std::string(cfg_GetUserConfigDir(false)), user);
  EXPECT_EQ(cfg_ScanLine("configdir", true, false), 0);
  EXPECT_EQ(std::string(cfg_GetUserConfigDir(false)), user);
}

// The site directory is "config" beside the program: for the test program
// the tests directory of the build. Test processes run in parallel, so the
// scenarios that need a site file share this one test.
TEST_F(ConfigFileTest, StartupReadsSiteThenUserFile) {
  const std::string site = cfg_GetSiteConfigDir();
  const std::string clear = "rm -rf '" + site + "'";
  auto fresh = [&] {
    ASSERT_EQ(system(clear.c_str()), 0);
    ASSERT_EQ(mkdir(site.c_str(), 0755), 0);
    ASSERT_EQ(system(("rm -rf '" + dir.file("user") + "'").c_str()), 0);
    cfg_SetUserConfigDir(Dir("user").c_str());
    cfg_ResetAllOptions();
    InitDebugFlag();
    messages.clear();
  };
  auto site_file = [&](const std::string& name, const std::string& text) {
    std::ofstream(site + "/" + name) << text;
  };
  _ConfigOption* tabsize = cfg_FindOption("tabsize");

  fresh();
  site_file("oe.cfg", "tabsize 3\neditindent 6\n");
  dir.write("user/oe.cfg", "tabsize 5\n");
  shr_ReadConfigFiles("oe");
  EXPECT_EQ(cfgTabSize, 5) << "the user file wins";
  EXPECT_EQ(cfgEditIndent, 6);
  EXPECT_EQ(tabsize->remembered[cfgLevelSite], "3") << "level 0 is remembered after the site file";

  fresh();
  site_file("oe.cfg", "tabsize 3\n");
  mkdir((site + "/override").c_str(), 0755);
  site_file("override/oe.cfg", "tabsize 9\n");
  shr_ReadConfigFiles("oe");
  EXPECT_EQ(cfgTabSize, 9) << "an override file replaces the site file";

  fresh();
  site_file("kvx.cfg", "tabsize 2\n");
  site_file("oe.cfg", "tabsize 3\n");
  shr_ReadConfigFiles("oe");
  EXPECT_EQ(cfgTabSize, 2) << "the shared file serves every tool";

  fresh();
  site_file("oe.cfg", "tabsize 3\n");
  dir.write("user/oe.cfg", "tabsize 5\n");
  debugFlag[xsDashRunFixes] = 1;
  shr_ReadConfigFiles("oe");
  EXPECT_EQ(cfgTabSize, 8) << "dashRunFixes reads nothing";
  EXPECT_FALSE(tabsize->rememberedSet[cfgLevelSite]);

  fresh();
  site_file("oe.cfg", "tabsize 3\n");
  chmod(dir.write("user/oe.cfg", "tabsize 5\n").c_str(), 0);
  shr_ReadConfigFiles("oe");
  if (geteuid() != 0) {
    EXPECT_EQ(cfgTabSize, 3) << "an unreadable user file is skipped";
  }
  EXPECT_EQ(messages, "");

  EXPECT_EQ(system(clear.c_str()), 0);
}

}  // namespace
