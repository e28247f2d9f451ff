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

TEST_F(ConfigLineTest, SeparatorsAndCapitalsAllNameTheSameOption) {
  for (const char* line : {"tabsize:4", "tabsize=4", "tabsize 4", "TabSize: 4", "  TABSIZE = 4\r\n",
                           "tabsize\t:=  4  "}) {
    cfgTabSize = 8;
    EXPECT_EQ(Line(line), 1) << line;
    EXPECT_EQ(cfgTabSize, 4) << line;
  }
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigLineTest, BlankCommentAndConditionalLines) {
  EXPECT_EQ(Line(""), 1);
  EXPECT_EQ(Line("   \t \r\n"), 1);
  EXPECT_EQ(Line("# tabsize 2"), 1);
  EXPECT_EQ(cfgTabSize, 8);
  for (const char* key : {"endif", "else", "elseif x", "elif"}) EXPECT_EQ(Line(key), 0) << key;
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigLineTest, UnknownKeyGoesToTheGuiHookThenIsReported) {
  EXPECT_EQ(Line("nosuchoption 12 34"), 0);
  EXPECT_EQ(messages, "Unknown configuration option: nosuchoption 12 34\n");

  static std::string seen;
  cfg_GuiConfigLineHook = [](const char* key, const char* value) {
    seen = std::string(key) + "|" + value;
    return 1;
  };
  messages.clear();
  EXPECT_EQ(Line("bindthing: a b"), 1);
  cfg_GuiConfigLineHook = nullptr;
  EXPECT_EQ(seen, "bindthing|a b");
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigLineTest, IntegersTakeSuffixesAllAndClamp) {
  _ConfigOption* freq = cfg_FindOption("editincrfrequency");
  EXPECT_EQ(cfg_SetOption(freq, "64K", true), 1);
  EXPECT_EQ(cfgEditIncrFrequency, 3600);  // 65536 clamped
  EXPECT_EQ(Line("editincrfrequency 2"), 1);
  EXPECT_EQ(cfgEditIncrFrequency, 2);
  EXPECT_EQ(Line("editincrfrequency 0x10"), 1);
  EXPECT_EQ(cfgEditIncrFrequency, 16);
  EXPECT_EQ(Line("editincrfrequency 010"), 1);
  EXPECT_EQ(cfgEditIncrFrequency, 8);
  EXPECT_EQ(Line("editincrfrequency 1m"), 1);
  EXPECT_EQ(cfgEditIncrFrequency, 3600);
  EXPECT_EQ(Line("editincrfrequency 99999999999999999999"), 1);
  EXPECT_EQ(cfgEditIncrFrequency, 3600);
  EXPECT_EQ(Line("tabsize all"), 1);
  EXPECT_EQ(cfgTabSize, 100);
  EXPECT_EQ(Line("editwidth -5"), 1);
  EXPECT_EQ(Value("editwidth"), "-1");
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigLineTest, ZeroTabSizeIsAcceptedAndZeroIndentClamps) {
  EXPECT_EQ(Line("tabsize 0"), 1);
  EXPECT_EQ(cfgTabSize, 0);
  EXPECT_EQ(Line("editindent 0"), 1);
  EXPECT_EQ(cfgEditIndent, 1);
}

TEST_F(ConfigLineTest, IntegerWithoutDigitsIsInvalid) {
  EXPECT_EQ(Line("tabsize four"), 0);
  EXPECT_EQ(cfgTabSize, 8);
  EXPECT_EQ(messages, "\"four\" is not a valid setting of tabsize.\n");
  messages.clear();
  EXPECT_EQ(Line("tabsize"), 0);
  EXPECT_EQ(messages, "NULL is not a valid setting for tabsize.\nCurrent setting of tabsize: 8\n");
}

TEST_F(ConfigLineTest, BooleansToggleAndReadTheirWords) {
  EXPECT_EQ(Line("editorbackups"), 1);
  EXPECT_TRUE(vfEditorBackups);
  EXPECT_EQ(messages, "Toggling editorbackups:  new value is On\n");
  messages.clear();
  EXPECT_EQ(Line("EditorBackups"), 1);
  EXPECT_FALSE(vfEditorBackups);
  EXPECT_EQ(messages, "Toggling editorbackups:  new value is Off\n");
  messages.clear();
  for (const char* on : {"yes", "ON", "1", "True"}) {
    vfEditorBackups = false;
    EXPECT_EQ(Line(std::string("editorbackups ") + on), 1);
    EXPECT_TRUE(vfEditorBackups) << on;
  }
  for (const char* off : {"no", "Off", "0", "FALSE"}) {
    vfEditorBackups = true;
    EXPECT_EQ(Line(std::string("editorbackups=") + off), 1);
    EXPECT_FALSE(vfEditorBackups) << off;
  }
  EXPECT_EQ(messages, "");
  EXPECT_EQ(Line("editorbackups maybe"), 0);
  EXPECT_FALSE(vfEditorBackups);
  EXPECT_EQ(messages,
            "\"maybe\" does not represent a boolean value. Use one of these:\n"
            "yes on 1 true no off 0 false\n");
}

TEST_F(ConfigLineTest, QuietToggleSaysNothing) {
  EXPECT_EQ(cfg_ScanLine("exactcase", false, true), 1);
  EXPECT_TRUE(vfExactCase);
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigLineTest, ChoicesByNameDisplayNameAndPrefix) {
  EXPECT_EQ(Value("AIparenindentmode"), "IndentInTwo");
  EXPECT_EQ(Line("AIparenindentmode even"), 1);
  EXPECT_EQ(Value("AIparenindentmode"), "EvenWithParen");
  EXPECT_EQ(Line("AIparenindentmode indentintwo"), 1);
  EXPECT_EQ(Value("AIparenindentmode"), "IndentInTwo");
  EXPECT_EQ(Line("configsavemode Autosave Changes"), 1);
  EXPECT_EQ(Value("configsavemode"), "IfChanged");
  EXPECT_EQ(messages, "");
}

TEST_F(ConfigLineTest, DisplayNameIsDeprecatedOnlyWithWarnings) {
  debugFlag[xsWarnings] = 1;
  EXPECT_EQ(Line("configsavemode Manually Save Only"), 1);
  EXPECT_EQ(Value("configsavemode"), "Never");
  EXPECT_EQ(messages, "\"Manually Save Only\" is deprecated; use \"Never\" instead\n");
}

TEST_F(ConfigLineTest, AmbiguousChoiceNamesBoth) {
  EXPECT_EQ(Line("rememberdirs Remember"), 0);
  EXPECT_EQ(Value("rememberdirs"), "RememberWithin");
  EXPECT_EQ(messages,
            "\"Remember\" is ambiguous; could mean \"RememberAcross\" or \"RememberWithin\"\n"
            "Invalid setting: Remember\nValid settings:\n  RememberAcross\n  RememberWithin\n"
            "  RememberNever\n");
}

TEST_F(ConfigLineTest, InvalidAndEmptyChoice) {
  EXPECT_EQ(Line("scrolllocation middle"), 0);
  EXPECT_EQ(messages,
            "\"middle\" is not valid; possible choices are \"Left\" and \"Right\"\n"
            "Invalid setting: middle\nValid settings:\n  Left\n  Right\n");
  messages.clear();
  EXPECT_EQ(Line("warppointer x"), 0);
  EXPECT_NE(messages.find("possible choices are \"Never\", \"IntoDialogue\", and "
                          "\"In&OutDialogue\"\n"),
            std::string::npos)
      << messages;
  messages.clear();
  EXPECT_EQ(Line("scrolllocation"), 0);
  EXPECT_EQ(messages,
            "Must give new setting\nValid settings:\n  Left\n  Right\n"
            "Current setting of scrolllocation: Left\n");
}

TEST_F(ConfigLineTest, StringsTakeQuotedWordsAndWholeText) {
  EXPECT_EQ(cfg_TextOption("status.srch"), "Srch:");
  EXPECT_EQ(Line("status.srch \"Look \\\"for\\\":\\101\""), 1);
  EXPECT_EQ(cfg_TextOption("status.srch"), "Look \"for\":A");
  EXPECT_EQ(Line("ExtEditor_OtherArgumentFormat +%LINE %FILE0"), 1);
  EXPECT_EQ(cfg_TextOption("ExtEditor_OtherArgumentFormat"), "+%LINE %FILE0");
  EXPECT_EQ(Line("printcommand \"lpr -P x"), 0);
  EXPECT_EQ(cfg_TextOption("printcommand"), "lpr");
  EXPECT_EQ(cfg_TextOption("no.such.text"), "");
  EXPECT_EQ(cfg_TextOption("tabsize"), "");
}

TEST_F(ConfigLineTest, EmptyStringIsNullOnlyWhenAllowed) {
  EXPECT_EQ(Line("printcommand"), 0);
  EXPECT_EQ(cfg_TextOption("printcommand"), "lpr");
  EXPECT_EQ(messages,
            "NULL is not a valid setting for printcommand.\n"
            "Current setting of printcommand: lpr\n");
  messages.clear();
  debugFlag[xsDontAllowNullInConfigOptions] = 0;
  EXPECT_EQ(Line("printcommand"), 1);
  EXPECT_EQ(cfg_TextOption("printcommand"), "");
  EXPECT_EQ(messages, "Setting option printcommand to NULL.  Previous value: \"lpr\"\n");
}

TEST_F(ConfigLineTest, SizesAreWidthByHeight) {
  EXPECT_EQ(Value("minwindowsize"), "-1x-1");
  EXPECT_EQ(Line("minwindowsize 300x200"), 1);
  EXPECT_EQ(Value("minwindowsize"), "300x200");
  EXPECT_EQ(Line("minwindowsize 300"), 0);
  EXPECT_EQ(Line("minwindowsize 3x4x5"), 0);
  EXPECT_EQ(Value("minwindowsize"), "300x200");
  debugFlag[xsDontAllowNullInConfigOptions] = 0;
  messages.clear();
  EXPECT_EQ(Line("minwindowsize"), 1);
  EXPECT_EQ(messages, "Setting minwindowsize to -1x-1.  Previous value: 300x200\n");
  EXPECT_EQ(Value("minwindowsize"), "-1x-1");
}

TEST_F(ConfigLineTest, ColoursStoreTheirTextWithoutADisplay) {
  EXPECT_EQ(cfg_TextOption("background"), "#ffffff");
  EXPECT_EQ(Line("background #102030"), 1);
  EXPECT_EQ(cfg_TextOption("background"), "#102030");
  cfg_ColorHook = [](_ConfigOption*, const char* text) { return text[0] == '#' ? 1 : 0; };
  EXPECT_EQ(Line("background nocolour"), 0);
  cfg_ColorHook = nullptr;
  EXPECT_EQ(cfg_TextOption("background"), "#102030");
}

TEST_F(ConfigLineTest, FunctionOptionsNeedTheirFeature) {
  EXPECT_EQ(Line("dialoguefile x.pd"), 0);
  EXPECT_EQ(messages, "The configuration option dialoguefile is not available yet.\n");
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
