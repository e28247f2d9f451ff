#include "windlib/config/configsave.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "windlib/config/configdirs.h"
#include "windlib/config/replacefile.h"
#include "windlib/wdisplay.h"

const char* cfg_ToolName = "oe";
bool cfg_ConfigFromOtherFile = false;

namespace {
constexpr int kNeverSave = 2;
constexpr int kAskToSave = 0;

bool is_file(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// A string value as one quoted word: read back, it gives the same text
// (blanks, quotes and control characters included).
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// The value text a configuration line needs to set `o` to `value` (the
// text cfg_ConvertToString gives); false when no line can (an unset size
// or colour, a function).
bool line_value(const _ConfigOption& o, const std::string& value, std::string* out) {
  switch (o.type) {
    case cfgString:
      *out = quoted(value);
      return true;
    case cfgColor:
      *out = value;
      return !value.empty();
    case cfgSize:
      *out = value;
      return value != "-1x-1";
    case cfgFunction:
      return false;
    default:
      *out = value;
      return true;
  }
}

// The configuration file names the start-up reads, which the mask warning
// does not count as other files.
bool is_start_up_file(const std::string& path) {
  const char* dirs[] = {cfg_GetSiteConfigDir(), cfg_GetUserConfigDir(false)};
  for (const char* dir : dirs)
    if (dir && cfg_CreateConfigFilename(dir, cfg_ToolName, true, true) == path) return true;
  return false;
}

const char* const kMaskText =
    "A configuration file other than the default ones was read.\n"
    "Saving the entire configuration as the default masks later changes\n"
    "made to the other configuration files. A user configuration file that\n"
    "holds only the settings you want to change is recommended.";
}  // namespace

std::string cfg_ConvertToString(_ConfigOption* option) {
  return cfg_ValueText(*option);
}

void cfg_RememberCurrentSettings(int level) {
  if (level < 0 || level >= kConfigLevels) return;
  cfg_ForEachOption([level](_ConfigOption& o) {
    if (o.type == cfgFunction) return;
    o.remembered[level] = cfg_ConvertToString(&o);
    o.rememberedSet[level] = true;
  });
}

int cfg_CompareToCurrentSettings(int level) {
  if (level < 0 || level >= kConfigLevels) return 0;
  int changed = 0;
  cfg_ForEachOption([level, &changed](_ConfigOption& o) {
    if (o.type != cfgFunction && o.rememberedSet[level] &&
        o.remembered[level] != cfg_ConvertToString(&o))
      ++changed;
  });
  return changed;
}

int cfg_AskSaveConfig() {
  _ConfigOption* mode = cfg_FindOption("configsavemode");
  const int how = mode ? mode->Int() : kNeverSave;
  if (how == kNeverSave || cfg_CompareToCurrentSettings(cfgLevelUser) == 0) return 1;
  if (how == kAskToSave && !WYesNo("", "Save changes to default configuration?", true)) return 1;
  SaveAsDefaultConfig(cfg_ToolName);
  return 1;
}

std::string cfg_ConfigurationText() {
  std::string text;
  cfg_ForEachOption([&text](_ConfigOption& o) {
    std::string value;
    if (line_value(o, cfg_ConvertToString(&o), &value))
      text += std::string(o.name) + " " + value + "\n";
  });
  return text;
}

bool cfg_WriteConfigurationFile(const std::string& path) {
  return cfg_ReplaceFile(path, cfg_ConfigurationText());
}

int SaveAsDefaultConfig(const char* tool) {
  if (cfg_ConfigFromOtherFile &&
      wAlert("Mask config defaults?", kMaskText, {"Continue", "Cancel"}, 1) != 0)
    return 0;
  const char* dir = cfg_GetUserConfigDir(true);
  if (!dir) return 0;
  const std::string path = cfg_CreateConfigFilename(dir, tool ? tool : cfg_ToolName, false, false);
  if (is_file(path)) {
    if (!WYesNo("", "Overwrite file " + path + "?", true)) return 0;
  } else {
    mprintf("Creating default config file: %s\n", path.c_str());
  }
  if (!cfg_WriteConfigurationFile(path)) return 0;
  cfg_RememberCurrentSettings(cfgLevelUser);
  return 1;
}

int cfg_ConfigureFromFile(const std::string& path) {
  if (path.empty() || !is_file(path) || access(path.c_str(), R_OK) != 0) return 0;
  if (!is_start_up_file(path)) cfg_ConfigFromOtherFile = true;
  return cfg_ReadFile(path.c_str(), false) ? 1 : -1;
}

void cfg_SetAllToDefaults() {
  cfg_ForEachOption([](_ConfigOption& o) {
    std::string value;
    switch (o.type) {
      case cfgBoolean:
        value = o.defaultNumber ? "true" : "false";
        break;
      case cfgInteger:
        value = std::to_string(o.defaultNumber);
        break;
      case cfgChoice:
        for (const _ChoiceValues* c = o.choices; c && c->name; ++c)
          if (c->value == o.defaultNumber) value = c->name;
        break;
      case cfgString:
        value = quoted(o.defaultText ? o.defaultText : "");
        break;
      case cfgColor:
        if (o.defaultText) value = o.defaultText;
        break;
      case cfgSize:
        if (!o.setter) {
          o.Size() = {};
          AnyRefreshes |= o.refreshes;
        }
        return;
      case cfgFunction:
        return;
    }
    if (!value.empty()) cfg_SetOption(&o, value, true);
  });
}
