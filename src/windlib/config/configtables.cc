// The 11 option tables with their names, types, defaults, ranges, choices
// and refresh flags. Options that no code of this program reads yet keep
// their value in their own record, so shared configuration files naming
// them are accepted and their values saved back.
#include <unistd.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "windlib/config/aindentsettings.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/config/configsave.h"
#include "windlib/config/editsettings.h"
#include "windlib/config/settingsmanager.h"
#include "windlib/wdisplay.h"

namespace {

using Table = std::vector<_ConfigOption>;

_ConfigOption make(const char* name, CfgType type, void* var, uint32_t refresh) {
  _ConfigOption o;
  o.name = name;
  o.type = type;
  o.value = var;
  o.refreshes = refresh;
  return o;
}

_ConfigOption B(const char* name, bool* var, bool def, uint32_t refresh = 0) {
  _ConfigOption o = make(name, cfgBoolean, var, refresh);
  o.defaultNumber = def;
  return o;
}

_ConfigOption I(const char* name, int* var, int def, const _MinMax* range, uint32_t refresh = 0) {
  _ConfigOption o = make(name, cfgInteger, var, refresh);
  o.defaultNumber = def;
  o.minMax = range;
  return o;
}

_ConfigOption C(const char* name, int* var, int def, const _ChoiceValues* choices,
                uint32_t refresh = 0) {
  _ConfigOption o = make(name, cfgChoice, var, refresh);
  o.defaultNumber = def;
  o.choices = choices;
  return o;
}

_ConfigOption S(const char* name, std::string* var, const char* def, uint32_t refresh = 0) {
  _ConfigOption o = make(name, cfgString, var, refresh);
  o.defaultText = def;
  return o;
}

_ConfigOption Col(const char* name, const char* def, bool broadcast = true) {
  _ConfigOption o = make(name, cfgColor, nullptr, cfgRefreshColors);
  o.defaultText = def;
  o.broadcast = broadcast;
  return o;
}

_ConfigOption Z(const char* name) {
  return make(name, cfgSize, nullptr, cfgRefreshLayout);
}
_ConfigOption F(const char* name, CfgSetter setter = nullptr) {
  _ConfigOption o = make(name, cfgFunction, nullptr, 0);
  o.setter = setter;
  return o;
}

// "configdir": the user configuration directory from now on.
int set_config_dir(_ConfigOption*, const char* text, int32_t) {
  if (!*text) return 0;
  cfg_SetUserConfigDir(text);
  return 1;
}

// Lines and files that configure further lines and files nest at most this
// deep, so that a file reading itself stops instead of exhausting the stack.
constexpr int kMaxNesting = 16;
int nesting = 0;

bool too_deep(const std::string& what) {
  if (nesting < kMaxNesting) return false;
  mprintf("Configuration files nested too deeply at %.256s\n", what.c_str());
  return true;
}

// "configure": one more configuration line.
int configure_line(_ConfigOption*, const char* text, int32_t) {
  if (too_deep(text)) return -1;
  ++nesting;
  int handled = cfg_ScanLine(text, false, false);
  --nesting;
  return handled == 1 ? 1 : -1;
}

// "configurefile": a configuration file, by name or from the configuration
// directories.
int configure_file(_ConfigOption*, const char* text, int32_t) {
  std::string path = cfg_SearchFileInConfigDirs(text, R_OK);
  if (path.empty()) {
    mprintf("Can't open file: %s\n", text);
    return -1;
  }
  if (too_deep(path)) return -1;
  ++nesting;
  // Read as the configure command reads: saving everything later would
  // mask this file's changes, and the save warns about that.
  int read = cfg_ConfigureFromFile(path);
  --nesting;
  if (read == 0) mprintf("Can't open file: %s\n", path.c_str());
  return read == 1 ? 1 : -1;
}

// Ranges.
constexpr _MinMax k1to100{1, 100};
constexpr _MinMax k0to100{0, 100};
constexpr _MinMax k1to1000{1, 1000};
constexpr _MinMax k0to1000{0, 1000};
constexpr _MinMax kMinus1to300{-1, 300};
constexpr _MinMax k1to3600{1, 3600};
constexpr _MinMax k5to100{5, 100};
constexpr _MinMax kAnyInt{INT32_MIN, INT32_MAX};

// Choices.
const _ChoiceValues kParenModes[] = {{"EvenWithParen", "Even with parentheses", 0},
                                     {"IndentInTwo", "Indent in two", 1},
                                     {nullptr, nullptr, 0}};
const _ChoiceValues kLeftRight[] = {{"Left", "Left", 0}, {"Right", "Right", 1}, {}};
const _ChoiceValues kTopBottom[] = {{"Top", "Top", 0}, {"Bottom", "Bottom", 1}, {}};
const _ChoiceValues kWarpPointer[] = {{"Never", "Never", 0},
                                      {"IntoDialogue", "Into Dialogue", 1},
                                      {"In&OutDialogue", "Into and Out of Dialogue", 2},
                                      {}};
const _ChoiceValues kRememberDirs[] = {{"RememberAcross", "Remember Across", 0},
                                       {"RememberWithin", "Remember Within", 1},
                                       {"RememberNever", "Remember Never", 2},
                                       {}};
const _ChoiceValues kConfigSaveModes[] = {{"AskIfChanged", "Ask To Save Changes", 0},
                                          {"IfChanged", "Autosave Changes", 1},
                                          {"Never", "Manually Save Only", 2},
                                          {}};
const _ChoiceValues kBackgroundModes[] = {{"Off", "Do Not Color", 0},
                                          {"Offset", "Use Color Offsets", 1},
                                          {"Preset", "Use Preset Colors", 2},
                                          {}};
const _ChoiceValues kVcTypes[] = {{"AutoDetect", "Auto Detect", 5},
                                  {"Disable", "Disable", 9},
                                  {"CVS", "CVS", 1},
                                  {"OVC", "OVC", 0},
                                  {"RCS", "RCS", 4},
                                  {"ClearCase", "ClearCase", 2},
                                  {"Custom", "Custom", 7},
                                  {}};

constexpr uint32_t kText = cfgRefreshText;
constexpr uint32_t kLayout = cfgRefreshLayout;

Table size_options() {
  return {Z("minviewsize"),   Z("maxviewsize"),   Z("minwindowsize"),
          Z("maxwindowsize"), Z("firstposition"), Z("builderposition")};
}

Table color_options() {
  Table t = {Col("background", "#ffffff"),       Col("foreground", "#000000"),
             Col("controlcolor", "#c0c0c0"),     Col("select", "#000080"),
             Col("comment", "#008000"),          Col("deadcode", "#808080"),
             Col("keyword", "#0000ff"),          Col("string", "#800000"),
             Col("number", "#e000e0"),           Col("character", "#c000c0"),
             Col("customized", "#008080", false)};
  // Colours of the other tools of the environment.
  for (const char* name : {"assembly",      "breakcolor",
                           "pointercolor",  "bdotcolor",
                           "nobuild",       "program",
                           "subprogram",    "source",
                           "header",        "documentation",
                           "library",       "object",
                           "singlelibrary", "script",
                           "other",         "TBbackground",
                           "TBforeground",  "TBselect",
                           "TBline",        "fileRelLineBG",
                           "procRelLineBG", "startedConnectionFG",
                           "diffHighlight"})
    t.push_back(Col(name, nullptr));
  t.push_back(B("useFileRelLineBG", nullptr, false, cfgRefreshColors));
  t.push_back(B("useProcRelLineBG", nullptr, false, cfgRefreshColors));
  return t;
}

Table editor_options() {
  return {
      I("adaindentsize", &cfgAdaIndentSize, 3, &k1to100),
      I("adacontinuationsize", &cfgAdaContinuationSize, 2, &k1to100),
      B("wordwrap", &vfWordWrap, false),
      I("wrapcolumn", &cfgWrapColumn, 79, &k1to1000),
      I("wrapindent", &cfgWrapIndent, 2, &k1to100),
      I("fillparagraphcolumn", &cfgFillParagraphColumn, 79, &k1to1000),
      I("editindent", &cfgEditIndent, 4, &k1to100, kText),
      I("tabsize", &cfgTabSize, 8, &k0to100, kText),
      I("editwidth", &cfgEditWidth, 80, &kMinus1to300, kLayout),
      I("editheight", &cfgEditHeight, 32, &kMinus1to300, kLayout),
      I("editincrfrequency", &cfgEditIncrFrequency, 120, &k1to3600, cfgRefreshTimers),
      I("editparenmatch", nullptr, 10, &k0to1000, kText),
      I("editsomesize", &cfgEditSomeSize, 5, &k1to100),
      B("cppCommentsInC", nullptr, true, kText),
      B("editorbackups", &vfEditorBackups, false),
      B("exactcase", &vfExactCase, false),
      B("editprint2column", nullptr, true),
      B("draganddrop", &vfDragAndDrop, false),
      B("tabsarespaces", &vfTabsAreSpaces, false),
      B("preventautocheckout", nullptr, false),
      B("rememberwindowpositions", &vfRememberWindowPositions, true),
      B("closebuttonontitlebar", nullptr, false, kLayout),
      B("openfilesinnewbuffers", &vfOpenFilesInNewBuffers, false),
      B("autoGrabHeadFiles", nullptr, false),
      B("AIimplicitindent", &aIndent_implicitAIndentOn, true),
      B("AIimplicitindentincomments", &aIndent_implicitAIndentInComments, true),
      C("AIparenindentmode", &aIndent_c_parenIndentMode, 1, kParenModes),
      C("AIadaparenindentmode", &aIndent_ada_parenIndentMode, 0, kParenModes),
      B("AIswitchintwo", &aIndent_switchInTwo, true),
      B("AItouchcomments", &aIndent_touchComments, false),
      B("AIcommentsstayflushleft", &aIndent_commentsStayFlushLeft, true),
      S("AIcharslikestarincomment", &aIndent_charsLikeStarInsideComment, "-"),
      B("usealternateeditor", nullptr, false),
      I("SelectionMarginWidth", &cfgSelectionMarginWidth, 13, &k0to100, kLayout),
      B("allowmiddleclick", &vfAllowMiddleClick, false),
      B("allowovertypemode", &vfAllowOvertypeMode, false),
  };
}

Table debugger_options() {
  return {C("backgroundmode", nullptr, 1, kBackgroundModes, cfgRefreshColors)};
}

Table gui_options() {
  Table t = {
      B("colorsyntax", nullptr, true, kText),
      B("autocomplete", nullptr, true),
      B("tooltips", nullptr, true),
      B("blinkingcursor", &vfBlinkingCursor, true, cfgRefreshTimers),
      B("iconifiedbuttons", nullptr, true, cfgRefreshButtons),
      I("scrollbarwidth", &cfgScrollBarWidth, 19, &k5to100, kLayout),
      C("scrolllocation", &cfgScrollLocation, 0, kLeftRight, kLayout),
      C("scrollhlocation", &cfgScrollHLocation, 1, kTopBottom, kLayout),
      C("warppointer", nullptr, 1, kWarpPointer),
      C("rememberdirs", nullptr, 1, kRememberDirs),
      B("showversioncontrol", nullptr, false, kLayout),
      I("menudelay", nullptr, 25, &k0to1000),
      I("ignoremotion", &cfgIgnoreMotion, 4, &k0to100),
      I("linesnonoverlapped", nullptr, 4, &k1to100),
      S("font", &cfgFont, nullptr, kLayout),
      S("buttonfont", &cfgButtonFont, nullptr, kLayout),
      S("kanjifont", nullptr, nullptr, kLayout),
      S("tempFileDir", &cfgTempFileDir, nullptr),
      B("autoediterrors", nullptr, true),
      B("autoeditwarnings", nullptr, false),
  };
  // Settings of the debugger and the builder.
  for (const char* name : {"alwaysuseoetofixbuilderrors",
                           "keeploaders",
                           "nodecoration",
                           "takefocus",
                           "showprogress",
                           "PromptQuitDebugger",
                           "synchronous",
                           "moon",
                           "colorbuilder",
                           "usewmpositioning",
                           "usewmhinting",
                           "blackwhite",
                           "sjiscode",
                           "kanjiconv",
                           "CheckBookEditor",
                           "genfilesdirset",
                           "sourcefilesdirset",
                           "buildfilesdirset",
                           "execfilesdirset",
                           "debugserversdirset",
                           "clipmanlaunch"})
    t.push_back(
        B(name, std::string_view(name) == "showprogress" ? &vfShowProgress : nullptr, false));
  for (const char* name : {"genfilesdir", "sourcefilesdir", "buildfilesdir", "execfilesdir",
                           "debugserversdir", "clipmanpath"})
    t.push_back(S(name, nullptr, nullptr));
  return t;
}

// Replaceable texts of the editing, search and merge windows.
const char* const kTexts[][2] = {
    {"button.file1", "File1"},
    {"button.file2", "File2"},
    {"button.base", "Base"},
    {"button.abort", "Abort"},
    {"button.proceed", "Skip"},
    {"button.auto", "Automatic"},
    {"button.merge", "Merge"},
    {"button.12", "1 & 2"},
    {"button.1base", "1 & Base"},
    {"button.2base", "2 & Base"},
    {"button.both", "Both"},
    {"button.bothcontrol", "ChangeBar..."},
    {"button.setcb", "SetChangeBars"},
    {"button.edit", "Edit"},
    {"button.startsword", "StartsWord"},
    {"button.endsword", "EndsWord"},
    {"button.startsline", "StartsLine"},
    {"button.endsline", "EndsLine"},
    {"button.searchtype", "Search Type:"},
    {"button.normal", "Normal"},
    {"button.wildcards", "WildCards"},
    {"button.re", "RegExprs"},
    {"button.find", "Find:"},
    {"button.replace", "Replace:"},
    {"button.rplthenfind", "Replace Then Find"},
    {"button.findthenrpl", "Find Then Replace"},
    {"button.allrpl", "Replace All"},
    {"button.undo", "Undo"},
    {"button.case", "Case:"},
    {"button.forward", "Forward"},
    {"button.backward", "Backward"},
    {"button.exact", "Exact"},
    {"button.either", "Either"},
    {"label.copyfrom", "Copy from:"},
    {"label.sync", "This many lines must match to resync:"},
    {"label.sync2", "Match#"},
    {"label.before", "Before:"},
    {"label.between", "Between:"},
    {"label.after", "After:"},
    {"label.precedes", "%s precedes %s"},
    {"label.insert", "Insert before lines from %s"},
    {"msg.merge", "Merge what versions of this file?"},
    {"msg.prefix", "Change Bar Controller"},
    {"status.srchabrt", "Search aborted"},
    {"status.srchsrch", "Already searching"},
    {"status.srchre", "RESearch:"},
    {"status.srchwild", "WildSearch:"},
    {"status.srchline", "LineSearch:"},
    {"status.srchword", "WordSearch:"},
    {"status.failed", ": Failed"},
    {"status.readonly", "Window is read only"},
    {"status.csrch", "CSrch:"},
    {"status.ssrch", "SSrch:"},
    {"status.srch", "Srch:"},
    {"status.replacing", "Replacing:"},
    {"status.file", "File:"},
    {"button.ok", "OK"},
    {"button.cancel", "Cancel"},
    {"button.yes", "Yes"},
    {"button.no", "No"},
    {"button.all", "All"},
    {"button.none", "None"},
    {"button.close", "Close"},
    {"button.help", "Help"},
};

Table misc_options() {
  Table t = {
      S("printcommand", nullptr, "lpr"),
      B("beep", &vfBeep, true),
      C("configsavemode", nullptr, 2, kConfigSaveModes),
  };
  t.push_back(F("configdir", set_config_dir));
  t.push_back(F("configure", configure_line));
  t.push_back(F("configurefile", configure_file));
  // The key and mouse setters come from the edit layer (EditConfigInit).
  for (const char* name : {"geometry", "icongeometry", "iconify", "key", "keybind", "clearkeys",
                           "mouse", "clearmice", "menu", "clearmenus", "button", "editbutton",
                           "cleareditbuttons", "clearbuttons", "dialoguefile"})
    t.push_back(F(name));
  for (const auto& text : kTexts) t.push_back(S(text[0], nullptr, text[1], cfgRefreshButtons));
  // The debugger's settings.
  for (const char* name :
       {"autodebug", "autorecord", "hovervalues", "clickpause", "exprcasesensitivity"})
    t.push_back(B(name, nullptr, false));
  for (const char* name : {"viewdef", "saveEvents", "restoreEvents"})
    t.push_back(S(name, nullptr, nullptr));
  // Text is read as UTF-8; off, every byte is one cell.
  t.push_back(B("utf8", &vfUtf8, true, kText));
  return t;
}

Table help_options() {
  Table t;
  for (const char* name :
       {"browserCommand", "onlineHelpMethod", "helpBrowser", "helpNonGuiBrowser"})
    t.push_back(S(name, nullptr, nullptr));
  for (const char* name : {"browserUseRemote", "helpInNewWindow", "helpNoRemoteCommand",
                           "helpNoJava", "helpNoFrame", "helpContextDisambiguates"})
    t.push_back(B(name, nullptr, false));
  t.push_back(I("helpPortNumber", nullptr, 0, &kAnyInt));
  t.push_back(I("helpNumPortsToScan", nullptr, 0, &kAnyInt));
  return t;
}

Table vc_service_options() {
  Table t = {
      B("dontusevc", nullptr, false),
      C("versioncontroltype", nullptr, 5, kVcTypes),
      S("Versctrl_CVSPath", nullptr, "cvs"),
      B("Versctrl_OVCAutoCheckout", nullptr, false),
      S("Versctrl_RCSPath", nullptr, "rcs"),
      B("Versctrl_RCSAutoCheckout", nullptr, false),
      S("Versctrl_ClearCasePath", nullptr, "cleartool"),
      B("Versctrl_ClearCaseAutoCheckout", nullptr, false),
      S("Versctrl_SourceSafePath", nullptr, "ss"),
      S("Versctrl_SourceSafeUsername", nullptr, ""),
      S("Versctrl_SourceSafeDatabase", nullptr, ""),
      S("Versctrl_SourceSafeRoot", nullptr, ""),
      B("Versctrl_SourceSafeAutoCheckout", nullptr, false),
      B("Versctrl_PVCSAutoCheckout", nullptr, false),
      S("Versctrl_PVCSDatabase", nullptr, ""),
      S("Versctrl_PVCSRoot", nullptr, ""),
      S("Versctrl_CustomPath", nullptr, ""),
      B("Versctrl_CustomAutoCheckout", nullptr, false),
  };
  for (const char* name : {"vc_undervc", "vc_co", "vc_get", "vc_unco", "vc_ci", "vc_create",
                           "vc_show", "vc_who", "vc_prevver"})
    t.push_back(S(name, nullptr, ""));
  for (const char* name : {"vc_command", "vc_diff", "vc_when", "vc_cinocomments"})
    t.push_back(S(name, nullptr, nullptr));
  return t;
}

Table editor_service_options() {
  return {
      S("editor", nullptr, "oe"),
      S("editorLaunch", nullptr, nullptr),
      B("usextermforalternateeditor", nullptr, false),
      S("ExtEditor_Choice", nullptr, "Orvex Editor"),
      S("ExtEditor_EmacsPath", nullptr, "emacs"),
      B("ExtEditor_EmacsUseXTerm", nullptr, false),
      S("ExtEditor_EmacsArgumentFormat", nullptr, "+%LINE %FILE0 %FILES"),
      S("ExtEditor_ViPath", nullptr, "vi"),
      B("ExtEditor_ViUseXTerm", nullptr, true),
      S("ExtEditor_ViArgumentFormat", nullptr, "+%LINE %FILE0 %FILES"),
      S("ExtEditor_OtherPath", nullptr, ""),
      B("ExtEditor_OtherUseXTerm", nullptr, false),
      S("ExtEditor_OtherArgumentFormat", nullptr, "+%LINE %FILE0 %FILES"),
  };
}

Table builder_options() {
  return {};
}
Table connection_options() {
  return {};
}

struct Registry {
  std::array<Table, kConfigTables> tables;
  Registry() {
    tables = {size_options(),       color_options(),         editor_options(),
              debugger_options(),   gui_options(),           misc_options(),
              help_options(),       builder_options(),       connection_options(),
              vc_service_options(), editor_service_options()};
    // Each table ends with a record with no name.
    for (Table& t : tables) t.emplace_back();
  }
};

Registry& registry() {
  static Registry r;
  return r;
}

const char* const kTableNames[kConfigTables] = {
    "size_options",       "color_options",      "editor_options",        "debugger_options",
    "gui_options",        "misc_options",       "help_options",          "builder_options",
    "connection_options", "vc_service_options", "editor_service_options"};

}  // namespace

_ConfigOption* cfg_Table(int number) {
  return registry().tables.at(number).data();
}

const char* cfg_TableName(int number) {
  return kTableNames[number];
}
