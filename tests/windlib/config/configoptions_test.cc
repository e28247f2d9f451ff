#include "windlib/config/configoptions.h"

#include <gtest/gtest.h>

#include <string>

#include "config_fixture.h"
#include "windlib/config/editsettings.h"
#include "windlib/wdisplay.h"
#include "windlib/xswitch.h"

namespace {

// Every test starts from the shipped defaults and collects the reports.
class ConfigLineTest : public oetest::ConfigTest {
 protected:
  static int Line(const std::string& line) { return cfg_ScanLine(line, true, false); }
  static std::string Value(const char* name) { return cfg_ValueText(*cfg_FindOption(name)); }
};

// Each line must change the option from what the line before left.
TEST_F(ConfigLineTest, AcceptedSettingsAreStored) {
  struct Case {
    const char* line;
    const char* option;
    const char* value;
  } cases[] = {
      // Separators and capitals all name the same option.
      {"tabsize:4", "tabsize", "4"},
      {"tabsize=5", "tabsize", "5"},
      {"tabsize 4", "tabsize", "4"},
      {"TabSize: 5", "tabsize", "5"},
      {"  TABSIZE = 4\r\n", "tabsize", "4"},
      {"tabsize\t:=  5  ", "tabsize", "5"},
      // Integers take suffixes, hex, octal and "all", and clamp.
      {"editincrfrequency 2", "editincrfrequency", "2"},
      {"editincrfrequency 64K", "editincrfrequency", "3600"},
      {"editincrfrequency 0x10", "editincrfrequency", "16"},
      {"editincrfrequency 010", "editincrfrequency", "8"},
      {"editincrfrequency 1m", "editincrfrequency", "3600"},
      {"editincrfrequency 2", "editincrfrequency", "2"},
      {"editincrfrequency 99999999999999999999", "editincrfrequency", "3600"},
      {"tabsize all", "tabsize", "100"},
      {"editwidth -5", "editwidth", "-1"},
      {"tabsize 0", "tabsize", "0"},
      {"editindent 0", "editindent", "1"},
      // Booleans read their words in any case.
      {"editorbackups yes", "editorbackups", "true"},
      {"editorbackups=no", "editorbackups", "false"},
      {"editorbackups ON", "editorbackups", "true"},
      {"editorbackups=Off", "editorbackups", "false"},
      {"editorbackups 1", "editorbackups", "true"},
      {"editorbackups=0", "editorbackups", "false"},
      {"editorbackups True", "editorbackups", "true"},
      {"editorbackups=FALSE", "editorbackups", "false"},
      // Choices by name, display name and prefix.
      {"AIparenindentmode even", "AIparenindentmode", "EvenWithParen"},
      {"AIparenindentmode indentintwo", "AIparenindentmode", "IndentInTwo"},
      {"configsavemode Autosave Changes", "configsavemode", "IfChanged"},
      // Sizes are width by height.
      {"minwindowsize 300x200", "minwindowsize", "300x200"},
      // Strings take quoted words with escapes, or the whole text.
      {"status.srch \"Look \\\"for\\\":\\101\"", "status.srch", "Look \"for\":A"},
      {"ExtEditor_OtherArgumentFormat +%LINE %FILE0", "ExtEditor_OtherArgumentFormat",
       "+%LINE %FILE0"},
      // Colours store their text without a display.
      {"background #102030", "background", "#102030"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_NE(Value(c.option), c.value);
    EXPECT_EQ(Line(c.line), 1);
    EXPECT_EQ(Value(c.option), c.value);
  }
  EXPECT_EQ(messages, "");
}

// A refused line changes nothing and says why; blank, comment and
// conditional lines are taken silently.
TEST_F(ConfigLineTest, RefusedSettingsLeaveTheValueAndSayWhy) {
  struct Case {
    const char* line;
    int result;
    const char* option;
    const char* message;
  } cases[] = {
      {"", 1, nullptr, ""},
      {"   \t \r\n", 1, nullptr, ""},
      {"# tabsize 2", 1, "tabsize", ""},
      {"endif", 0, nullptr, ""},
      {"else", 0, nullptr, ""},
      {"elseif x", 0, nullptr, ""},
      {"elif", 0, nullptr, ""},
      {"nosuchoption 12 34", 0, nullptr, "Unknown configuration option: nosuchoption 12 34\n"},
      {"tabsize four", 0, "tabsize", "\"four\" is not a valid setting of tabsize.\n"},
      {"tabsize", 0, "tabsize",
       "NULL is not a valid setting for tabsize.\nCurrent setting of tabsize: 8\n"},
      {"editorbackups maybe", 0, "editorbackups",
       "\"maybe\" does not represent a boolean value. Use one of these:\n"
       "yes on 1 true no off 0 false\n"},
      {"rememberdirs Remember", 0, "rememberdirs",
       "\"Remember\" is ambiguous; could mean \"RememberAcross\" or \"RememberWithin\"\n"
       "Invalid setting: Remember\nValid settings:\n  RememberAcross\n  RememberWithin\n"
       "  RememberNever\n"},
      {"scrolllocation middle", 0, "scrolllocation",
       "\"middle\" is not valid; possible choices are \"Left\" and \"Right\"\n"
       "Invalid setting: middle\nValid settings:\n  Left\n  Right\n"},
      {"warppointer x", 0, "warppointer",
       "\"x\" is not valid; possible choices are \"Never\", \"IntoDialogue\", and "
       "\"In&OutDialogue\"\nInvalid setting: x\nValid settings:\n  Never\n  IntoDialogue\n"
       "  In&OutDialogue\n"},
      {"scrolllocation", 0, "scrolllocation",
       "Must give new setting\nValid settings:\n  Left\n  Right\n"
       "Current setting of scrolllocation: Left\n"},
      {"printcommand \"lpr -P x", 0, "printcommand",
       "\"\"lpr -P x\" is not a valid setting of printcommand.\n"},
      {"printcommand", 0, "printcommand",
       "NULL is not a valid setting for printcommand.\n"
       "Current setting of printcommand: lpr\n"},
      {"minwindowsize 300", 0, "minwindowsize",
       "\"300\" is not a valid setting of minwindowsize.\n"},
      {"minwindowsize 3x4x5", 0, "minwindowsize",
       "\"3x4x5\" is not a valid setting of minwindowsize.\n"},
      {"dialoguefile x.pd", 0, nullptr,
       "The configuration option dialoguefile is not available yet.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string before = c.option ? Value(c.option) : "";
    messages.clear();
    EXPECT_EQ(Line(c.line), c.result);
    if (c.option) {
      EXPECT_EQ(Value(c.option), before);
    }
    EXPECT_EQ(messages, c.message);
  }
  EXPECT_EQ(cfg_TextOption("printcommand"), "lpr");
}

TEST_F(ConfigLineTest, UnknownKeyGoesToTheGuiHookFirst) {
  static std::string seen;
  cfg_GuiConfigLineHook = [](const char* key, const char* value) {
    seen = std::string(key) + "|" + value;
    return 1;
  };
  EXPECT_EQ(Line("bindthing: a b"), 1);
  cfg_GuiConfigLineHook = nullptr;
  EXPECT_EQ(seen, "bindthing|a b");
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigLineTest, ABareBooleanTogglesAndSaysSoUnlessQuiet) {
  EXPECT_EQ(Line("editorbackups"), 1);
  EXPECT_TRUE(vfEditorBackups);
  EXPECT_EQ(messages, "Toggling editorbackups:  new value is On\n");
  messages.clear();
  EXPECT_EQ(Line("EditorBackups"), 1);
  EXPECT_FALSE(vfEditorBackups);
  EXPECT_EQ(messages, "Toggling editorbackups:  new value is Off\n");
  messages.clear();
  EXPECT_EQ(cfg_ScanLine("exactcase", false, true), 1);
  EXPECT_TRUE(vfExactCase);
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigLineTest, DisplayNameIsDeprecatedOnlyWithWarnings) {
  debugFlag[xsWarnings] = 1;
  EXPECT_EQ(Line("configsavemode Manually Save Only"), 1);
  EXPECT_EQ(Value("configsavemode"), "Never");
  EXPECT_EQ(messages, "\"Manually Save Only\" is deprecated; use \"Never\" instead\n");
}

TEST_F(ConfigLineTest, EmptyValueIsNullOnlyWhenAllowed) {
  EXPECT_EQ(Value("minwindowsize"), "-1x-1");
  EXPECT_EQ(cfg_TextOption("no.such.text"), "");
  EXPECT_EQ(cfg_TextOption("tabsize"), "") << "not a text option";
  debugFlag[xsDontAllowNullInConfigOptions] = 0;
  EXPECT_EQ(Line("printcommand"), 1);
  EXPECT_EQ(cfg_TextOption("printcommand"), "");
  EXPECT_EQ(messages, "Setting option printcommand to NULL.  Previous value: \"lpr\"\n");
  EXPECT_EQ(Line("minwindowsize 300x200"), 1);
  messages.clear();
  EXPECT_EQ(Line("minwindowsize"), 1);
  EXPECT_EQ(messages, "Setting minwindowsize to -1x-1.  Previous value: 300x200\n");
  EXPECT_EQ(Value("minwindowsize"), "-1x-1");
}

TEST_F(ConfigLineTest, AColourHookRefusesWhatIsNoColour) {
  EXPECT_EQ(cfg_TextOption("background"), "#ffffff");
  EXPECT_EQ(Line("background #102030"), 1);
  cfg_ColorHook = [](_ConfigOption*, const char* text) { return text[0] == '#' ? 1 : 0; };
  EXPECT_EQ(Line("background nocolour"), 0);
  cfg_ColorHook = nullptr;
  EXPECT_EQ(cfg_TextOption("background"), "#102030");
}

TEST_F(ConfigLineTest, FunctionOptionsCallTheirSetter) {
  static std::string given;
  ASSERT_TRUE(cfg_SetOptionSetter("dialoguefile", [](_ConfigOption*, const char* text, int32_t) {
    given = text;
    return 1;
  }));
  EXPECT_EQ(Line("dialoguefile: my file.pd"), 1);
  EXPECT_EQ(given, "my file.pd");
  cfg_SetOptionSetter("dialoguefile", nullptr);
  EXPECT_FALSE(cfg_SetOptionSetter("nosuch", nullptr));
}

TEST_F(ConfigLineTest, SettingOrsRefreshFlags) {
  AnyRefreshes = 0;
  EXPECT_EQ(Line("editsomesize 7"), 1);
  EXPECT_EQ(AnyRefreshes, 0u);
  EXPECT_EQ(Line("tabsize 3"), 1);
  EXPECT_NE(AnyRefreshes & cfgRefreshText, 0u);
  AnyRefreshes = 0;
  EXPECT_EQ(Line("tabsize bad"), 0);
  EXPECT_EQ(AnyRefreshes, 0u);
}

TEST_F(ConfigLineTest, BeepOffSilencesTheBell) {
  static int rung;
  rung = 0;
  WBellHook = [] { ++rung; };
  WBell();
  EXPECT_EQ(Line("beep off"), 1);
  WBell();
  EXPECT_EQ(Line("beep"), 1);
  WBell();
  WBellHook = nullptr;
  EXPECT_EQ(rung, 2);
}

TEST_F(ConfigLineTest, TablesAreOrderedAndNamesFound) {
  EXPECT_STREQ(cfg_TableName(0), "size_options");
  EXPECT_STREQ(cfg_TableName(2), "editor_options");
  EXPECT_STREQ(cfg_TableName(10), "editor_service_options");
  _ConfigOption* tab = cfg_FindOption("TABSIZE");
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->index / 65536, 2);
  EXPECT_EQ(&cfg_Table(2)[tab->index % 65536], tab);
  EXPECT_EQ(cfg_FindOption("versioncontroltype")->index / 65536, 9);
  EXPECT_EQ(cfg_FindOption(""), nullptr);
  int editor = 0;
  for (_ConfigOption* o = cfg_Table(2); o->name; ++o) ++editor;
  EXPECT_EQ(editor, 36);
  EXPECT_STREQ(cfg_Table(2)[0].name, "adaindentsize");
  EXPECT_STREQ(cfg_Table(2)[35].name, "allowovertypemode");
}

TEST_F(ConfigLineTest, DefaultsFillOnlyUnsetValues) {
  EXPECT_EQ(Line("tabsize 3"), 1);
  EXPECT_EQ(Line("editorbackups on"), 1);
  EXPECT_EQ(Line("status.srch Find:"), 1);
  cfg_SetEverythingToDefaults();
  EXPECT_EQ(cfgTabSize, 3);
  EXPECT_TRUE(vfEditorBackups);
  EXPECT_EQ(cfg_TextOption("status.srch"), "Find:");
  EXPECT_EQ(Value("rememberwindowpositions"), "true");
  EXPECT_EQ(Value("versioncontroltype"), "AutoDetect");
  EXPECT_EQ(cfg_TextOption("ExtEditor_ViArgumentFormat"), "+%LINE %FILE0 %FILES");
}

}  // namespace
