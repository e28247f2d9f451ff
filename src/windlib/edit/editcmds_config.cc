// Configuration commands: one configuration line or file applied from the
// editor ("Configure", "ConfigureFile"), and the commands shared with the
// configuration windows that save, clear, write and read the whole
// configuration.
#include <unistd.h>

#include <string>

#include "windlib/config/configsave.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editconfig.h"
#include "windlib/edit/editopen.h"
#include "windlib/wdisplay.h"

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// The running command's own argument: its text up to the ";" or "}" that
// ends it (outside double quotes), trimmed; a text that is one quoted
// string is taken without its quotes.
std::string argument(CmdInfo* ci) {
  const std::string all = ci->args ? ci->args : "";
  size_t end = 0;
  for (bool quoted = false; end < all.size(); ++end) {
    const char c = all[end];
    if (quoted && c == '\\' && end + 1 < all.size()) {
      ++end;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ';' || c == '}')) {
      break;
    }
  }
  std::string text = all.substr(0, end);
  while (!text.empty() && is_blank(text.back())) text.pop_back();
  size_t start = 0;
  while (start < text.size() && is_blank(text[start])) ++start;
  text.erase(0, start);
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return text;
  std::string inner;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '"') return text;  // more than one quoted string
    if (text[i] == '\\' && i + 2 < text.size()) ++i;
    inner += text[i];
  }
  return inner;
}

// The views catch up with what the options changed.
void apply_refreshes() {
  if (AnyRefreshes) EditApplyConfigRefreshes();
}

// Reads a configuration file; "Can't open file: %s" when there is none.
int read_file(Edit* e, const std::string& path) {
  const int read = cfg_ConfigureFromFile(path);
  apply_refreshes();
  if (read == 0) EditCmdError(e, "Can't open file: " + path);
  return read == 1 ? 1 : 0;
}

int CmdConfigure(void* object, CmdInfo* ci) {
  (void)object;
  std::string line = argument(ci);
  if (line.empty() && (!WPrompt("Configure", "Configuration line?", "", &line) || line.empty()))
    return 1;
  const int handled = cfg_ScanLine(line, false, false);
  apply_refreshes();
  return handled == 1 ? 1 : 0;
}

int CmdConfigureFile(void* object, CmdInfo* ci) {
  std::string path = argument(ci);
  if (path.empty() && (!WPrompt("Configure", "Configuration file?", "", &path) || path.empty()))
    return 1;
  return read_file(EditOf(object), path);
}

int CmdSaveConfig(void*, CmdInfo*) {
  return SaveAsDefaultConfig(cfg_ToolName);
}

int CmdClearConfig(void*, CmdInfo*) {
  cfg_SetAllToDefaults();
  apply_refreshes();
  return 1;
}

int CmdSaveConfigToFile(void* object, CmdInfo* ci) {
  std::string path = argument(ci);
  if (path.empty() && !EditChooseFile("Save Configuration", &path, kConfigFilePreset)) return 1;
  if (access(path.c_str(), F_OK) == 0 && !WYesNo("", "Overwrite file " + path + "?", true))
    return 0;
  if (cfg_WriteConfigurationFile(path)) return 1;
  EditCmdError(EditOf(object), "Can't write file: " + path);
  return 0;
}

int CmdLoadConfigFromFile(void* object, CmdInfo* ci) {
  std::string path = argument(ci);
  if (path.empty() && !EditChooseFile("Load Configuration", &path, kConfigFilePreset)) return 1;
  return read_file(EditOf(object), path);
}

const CmdEntry kCommands[] = {
    {"Configure", CmdConfigure, 0},
    {"ConfigureFile", CmdConfigureFile, 0},
};

const CmdEntry kConfigBasic[] = {
    {"saveconfig", CmdSaveConfig, 0},
    {"clearconfig", CmdClearConfig, 0},
    {"saveconfigtofile", CmdSaveConfigToFile, 0},
    {"loadconfigfromfile", CmdLoadConfigFromFile, 0},
};

}  // namespace

EditCmdSet EditConfigCmds() {
  return {kCommands, {}};
}

std::span<const CmdEntry> EditConfigBasicCmds() {
  return kConfigBasic;
}
