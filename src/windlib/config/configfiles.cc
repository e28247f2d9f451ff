// Configuration files: their names, reading them line by line, and the
// start-up reading sequence.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "shared/indgen/indgen.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/config/configsave.h"
#include "windlib/wdisplay.h"
#include "windlib/xswitch.h"

namespace {

constexpr int kMaxErrors = 50;

std::string join(const char* dir, const std::string& leaf) {
  std::string out = dir ? dir : "";
  if (!out.empty() && out.back() != '/') out += '/';
  return out + leaf;
}

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool accessible_file(const std::string& path, int mode) {
  struct stat st;
  return access(path.c_str(), mode) == 0 && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// The file name with its suffix (after the last "." of the last component)
// replaced by ".cfg".
std::string with_cfg_suffix(const char* name) {
  std::string n = name;
  size_t slash = n.rfind('/');
  size_t dot = n.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) n.erase(dot);
  return n + ".cfg";
}

// Tells the user about a configuration file of the old layout that is no
// longer read.
void old_new_cfg_report(const std::string& old_path, const std::string& new_path,
                        const char* description) {
  wAlert("", std::string("No ") + description +
                 " was found in the expected location,\nbut an old one seems to exist at " +
                 old_path + ".\nYou may wish to copy this old file to " + new_path +
                 "\nso that it will be used, but it may not work exactly as it did\nwith the "
                 "old version of orvex.");
}

void read_one(const char* dir, const char* name, const std::string& old_path,
              const char* description) {
  if (!dir) return;
  std::string path = cfg_CreateConfigFilename(dir, name, true, true);
  if (!exists(path) && !old_path.empty() && exists(old_path))
    old_new_cfg_report(old_path, path, description);
  cfg_ReadFile(path.c_str(), true);
}

}  // namespace

bool cfg_ReadFile(const char* path, bool from_file) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path, "rb"), std::fclose);
  if (!f) return false;
  struct stat st;
  if (fstat(fileno(f.get()), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (debugFlag[xsConfigTrace]) mprintf("Reading Configuration File: %s\n", path);
  char* line = nullptr;
  size_t capacity = 0;
  int errors = 0;
  bool ok = true;
  ssize_t n;
  while ((n = getline(&line, &capacity, f.get())) >= 0) {
    if (cfg_ScanLine(std::string_view(line, n), from_file, false) == 1) continue;
    if (++errors >= kMaxErrors) {
      mprintf("Too many errors, aborting.\n");
      ok = false;
      break;
    }
  }
  std::free(line);
  return ok;
}

std::string cfg_CreateConfigFilename(const char* directory, const char* name, bool allow_per_tool,
                                     bool allow_override) {
  if (!debugFlag[xsUseSingleConfigFile]) return join(directory, with_cfg_suffix(name));
  std::string leaf = std::string(name) + ".cfg";
  if (allow_override) {
    std::string over = join(directory, "override/" + leaf);
    if (exists(over)) return over;
  }
  std::string single = join(directory, "kvx.cfg");
  if (!allow_per_tool || exists(single)) return single;
  return join(directory, leaf);
}

std::string cfg_SearchFileInConfigDirs(const char* name, int mode) {
  if (!name || !*name) return {};
  if (name[0] == '/') return accessible_file(name, mode) ? name : std::string();
  const char* dirs[] = {nullptr, nullptr, cfg_GetSiteDefaultConfigDir()};
  if (!debugFlag[xsDashRunFixes]) {
    dirs[0] = cfg_GetUserConfigDir(false);
    dirs[1] = cfg_GetSiteConfigDir();
  }
  for (const char* dir : dirs) {
    if (!dir) continue;
    std::string path = join(dir, name);
    if (accessible_file(path, mode)) return path;
  }
  return {};
}

void shr_ReadConfigFiles(const char* name) {
  if (debugFlag[xsDashRunFixes]) return;
  bool main_tool = std::strcmp(name, "orvex") == 0;
  std::string old_site, old_user;
  if (main_tool) {
    old_site = join(gen_progdir(), "site.orvexcfg");
    if (const char* home = gen_getenv("HOME", nullptr)) old_user = join(home, ".orvexcfg");
  }
  read_one(cfg_GetSiteConfigDir(), name, old_site, "global .cfg file");
  cfg_RememberCurrentSettings(cfgLevelSite);
  read_one(cfg_GetUserConfigDir(false), name, old_user, "user .cfg file");
  // The configuration service (lines set by other running tools) is not
  // part of this program; with it absent the files are all there is.
}
