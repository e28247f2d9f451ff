// The configuration option registry: every user setting is one named option
// in one of 11 tables, set from configuration lines ("key value") read from
// files, typed in dialogs or received from other tools.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum CfgType : int {
  cfgBoolean = 0,
  cfgInteger = 1,
  cfgChoice = 2,
  cfgColor = 3,
  cfgString = 4,
  cfgSize = 5,
  cfgFunction = 6,
};

// The levels at which current values are remembered for comparison.
enum ConfigLevel : int {
  cfgLevelSite = 0,  // after the site file
  cfgLevelUser = 2,  // after reading or saving the user file
};
constexpr int kConfigLevels = 3;

// Bits an option ors into AnyRefreshes when it is set: what the GUI must
// redraw or rebuild.
enum CfgRefresh : uint32_t {
  cfgRefreshText = 0x1,      // the text of every editor window
  cfgRefreshLayout = 0x2,    // window sizes, margins and scroll bars
  cfgRefreshColors = 0x4,    // pixels and images
  cfgRefreshTimers = 0x8,    // journal and blink timers
  cfgRefreshButtons = 0x10,  // button and label texts
};
extern uint32_t AnyRefreshes;

struct _MinMax {
  int32_t min;
  int32_t max;
};

struct _ChoiceValues {
  const char* name;     // stored name (configuration files)
  const char* display;  // display name (dialogs)
  int32_t value;
  const char* const* aliases = nullptr;  // deprecated names, ended by none
};

// A window size; -1 for either part means unset.
struct _WindowSize {
  int32_t width = -1;
  int32_t height = -1;
};

struct _ConfigOption;

// Receives a new value instead of the variable being written: booleans,
// integers and choices in `number`, the other types in `text`. Returns 1
// when the value was taken; 0 when it is invalid (the caller reports the
// invalid setting); below 0 when it failed and the setter said why.
using CfgSetter = int (*)(_ConfigOption* option, const char* text, int32_t number);

struct _ConfigOption {
  const char* name = nullptr;  // none ends a table
  CfgType type = cfgBoolean;
  // The variable holding the value: bool for booleans, int for integers and
  // choices, std::string for strings and colours (empty: none), _WindowSize
  // for sizes. None: the option keeps its value in `own` below.
  void* value = nullptr;
  uint32_t refreshes = 0;
  bool broadcast = false;
  CfgSetter setter = nullptr;
  int32_t defaultNumber = 0;               // booleans, integers, choices
  const char* defaultText = nullptr;       // strings and colours
  const _MinMax* minMax = nullptr;         // integers
  const _ChoiceValues* choices = nullptr;  // choices, ended by a record with no name
  unsigned long* pixel = nullptr;          // colours: the allocated pixel, when any

  std::string remembered[kConfigLevels];  // cfg_ConvertToString texts per level
  bool rememberedSet[kConfigLevels] = {};
  bool changed = false;
  int32_t index = -1;  // table number * 65536 + position, filled when found

  struct {
    bool b = false;
    int i = 0;
    std::string s;
    _WindowSize size;
  } own;

  bool& Bool() { return value ? *static_cast<bool*>(value) : own.b; }
  int& Int() { return value ? *static_cast<int*>(value) : own.i; }
  std::string& Text() { return value ? *static_cast<std::string*>(value) : own.s; }
  _WindowSize& Size() { return value ? *static_cast<_WindowSize*>(value) : own.size; }
};

constexpr int kConfigTables = 11;
// The tables in search order, each ended by a record with no name:
// size_options, color_options, editor_options, debugger_options,
// gui_options, misc_options, then five small tables of services and other
// tools (among them vc_service_options and editor_service_options).
_ConfigOption* cfg_Table(int number);
const char* cfg_TableName(int number);

// Calls `fn` on every option in search order.
template <class Fn>
void cfg_ForEachOption(Fn&& fn) {
  for (int t = 0; t < kConfigTables; ++t)
    for (_ConfigOption* o = cfg_Table(t); o->name; ++o) fn(*o);
}

// The first option named `name` (ignoring case), or none; fills its index.
_ConfigOption* cfg_FindOption(std::string_view name);

// Applies one configuration line. `from_file`: read from a configuration
// file (not typed); `quiet`: no reports for valid values. Returns 1 when
// the line was handled (blank and comment lines too), 0 otherwise.
int cfg_ScanLine(std::string_view line, bool from_file, bool quiet);
// Sets `option` from a value text as a configuration line would.
int cfg_SetOption(_ConfigOption* option, std::string_view value, bool quiet);

// Reads a configuration file line by line; false when it cannot be opened
// or had too many errors.
bool cfg_ReadFile(const char* path, bool from_file);

// The current text of a string option; "" when it is none or unknown.
std::string_view cfg_TextOption(std::string_view name);
// The current value of an option as configuration text (see
// cfg_ConvertToString): "true"/"false", decimal, stored choice name, text,
// "WxH".
std::string cfg_ValueText(_ConfigOption& option);

// Gives every option its default, filling in only values still unset.
void cfg_SetEverythingToDefaults();
// Puts every option back to its default and forgets remembered values
// (tests, and the start of a fresh configuration).
void cfg_ResetAllOptions();

// The configuration file for a tool in a directory (the UseSingleConfigFile
// switch chooses "kvx.cfg" or one file per tool; "override/" wins).
std::string cfg_CreateConfigFilename(const char* directory, const char* name, bool allow_per_tool,
                                     bool allow_override);
// A data file by relative name: user, site, then site default directory;
// an absolute name as it is. Empty when none is accessible in `mode`.
std::string cfg_SearchFileInConfigDirs(const char* name, int mode);
// The start-up reading sequence for tool `name` ("oe", "orvex").
void shr_ReadConfigFiles(const char* name);

// Hooks the layers above install. Lines whose key is no option go to the
// GUI's configuration lines (bindings, menus); 1 when taken there.
extern int (*cfg_GuiConfigLineHook)(const char* key, const char* value);
// Colour values: checks and allocates on a colour display; 1 when taken.
// Without it (no display) the text is stored.
extern int (*cfg_ColorHook)(_ConfigOption* option, const char* text);
// Installs the setter of a function option whose feature lives above this
// layer (key bindings, menus, geometry). False when there is no such option.
bool cfg_SetOptionSetter(std::string_view name, CfgSetter setter);
