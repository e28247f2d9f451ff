#include "orvex/editor/early_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "shared/indgen/indgen.h"
#include "windlib/config/configdirs.h"
#include "windlib/outputmanager.h"
#include "windlib/xswitch.h"

int ISDN_mode = 0;

namespace {
// "oe" becomes "oe.xsw"; a suffix of the program name is replaced.
std::string switch_file_name() {
  std::string name = gen_progname ? gen_progname : "oe";
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name + ".xsw";
}

void remove_args(int* argc, char** argv, int at, int n) {
  for (int i = at; i + n <= *argc; ++i) argv[i] = argv[i + n];
  *argc -= n;
}

// -X / -Z with a switch name or number.
void set_switch_option(const char* arg, bool on) {
  int index = XSwitchIndex(arg + 2);
  if (index < 0) {
    gen_warning("Ignoring unknown switch \"-%s\"", arg + 1);
    return;
  }
  setXSwitch(index, on);
}
}  // namespace

bool ReadSwitchFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    size_t at = 0;
    while (at < line.size() && gen_isspace(static_cast<unsigned char>(line[at]))) ++at;
    if (at == line.size() || line[at] == '#') continue;
    size_t end = at;
    while (end < line.size() && !gen_isspace(static_cast<unsigned char>(line[end]))) ++end;
    std::string name = line.substr(at, end - at);
    while (end < line.size() && gen_isspace(static_cast<unsigned char>(line[end]))) ++end;
    if (end == line.size()) continue;  // no value: ignored
    int index = XSwitchIndex(name.c_str());
    if (index < 0) {
      OutputMessage(GEN_LEVEL_WARNING, "Ignoring unknown option \"%s\" in \"%s\"", name.c_str(),
                    path.c_str());
      continue;
    }
    long value = std::strtol(line.c_str() + end, nullptr, 10);
    setXSwitch(index, value != 0);
  }
  return true;
}

void ConstrainXSwitches() {
  if (debugFlag[xsServiceRouter]) return;
  debugFlag[xsDiffViewer] = 0;
  debugFlag[xsZedozozor] = 0;
  debugFlag[xsUseHelpService] = 0;
}

int init_prior_to_gui(int* argc, char** argv, StartupState& state) {
  state.splash = getenv("NOSPLASH") == nullptr;
  InitDebugFlag();

  // Later files override earlier ones; the command line overrides them all.
  const std::string leaf = switch_file_name();
  const char* dirs[] = {gen_progdir(), cfg_GetSiteDefaultConfigDir(), cfg_GetSiteConfigDir(),
                        cfg_GetUserConfigDir(false)};
  for (const char* dir : dirs) {
    if (!dir) continue;
    char* path = gen_sconcat(dir, leaf.c_str());
    ReadSwitchFile(path);
    gen_free(path);
  }

  int i = 1;
  while (i < *argc) {
    const char* arg = argv[i];
    if (arg[0] != '-') {
      ++i;
      continue;
    }
    if (std::strcmp(arg, "-run") == 0 || std::strcmp(arg, "-rungui") == 0) break;
    int consumed = 1;
    if (arg[1] == 'X') {
      set_switch_option(arg, true);
    } else if (arg[1] == 'Z') {
      set_switch_option(arg, false);
    } else if (std::strcmp(arg, "-console") == 0) {
      state.console = true;
      gen_warning("No console mode available on UNIX yet\n");
    } else if (std::strcmp(arg, "-configdir") == 0) {
      if (i + 1 < *argc) {
        state.configDir = argv[i + 1];
        cfg_SetUserConfigDir(argv[i + 1]);
        consumed = 2;
      }
    } else if (std::strcmp(arg, "-wmhints") == 0) {
      state.wmHints = true;
    } else if (std::strncmp(arg, "-isdn", 5) == 0 &&
               (arg[5] == 0 || (gen_isdigit(arg[5]) && arg[6] == 0))) {
      ISDN_mode = arg[5] ? arg[5] - '0' : 1;
    } else if (std::strcmp(arg, "-noicons") == 0) {
      ISDN_mode = 9;
    } else if (std::strcmp(arg, "-nosplash") == 0) {
      state.splash = false;
    } else if (std::strcmp(arg, "-splash") == 0) {
      state.splash = true;
    } else if (std::strcmp(arg, "-nocfg") == 0) {
      state.noCfg = true;
    } else {
      consumed = 0;
    }
    if (consumed) remove_args(argc, argv, i, consumed);
    else ++i;
  }

  // Version control and the options database start here once they exist.
  ConstrainXSwitches();
  return 1;
}
