#include "windlib/config/configdirs.h"

#include <cerrno>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "shared/indgen/indgen.h"
#include "windlib/wdisplay.h"

namespace {
std::string user_dir;
bool user_dir_set = false;
std::string site_dir;
std::string site_default_dir;

std::string home_dir() {
  if (const char* home = gen_getenv("HOME", nullptr)) return home;
  if (struct passwd* pw = getpwuid(getuid())) return pw->pw_dir;
  return {};
}

std::string beside_program(const char* leaf) {
  char* path = gen_sconcat(gen_progdir(), leaf);
  std::string out = path;
  gen_free(path);
  return out;
}
}  // namespace

const char* cfg_GetUserConfigDir(bool create) {
  if (!user_dir_set) {
    std::string home = home_dir();
    if (home.empty()) return nullptr;
    user_dir = home + (home.back() == '/' ? "" : "/") + ".kvx";
    user_dir_set = true;
  }
  if (create) {
    struct stat st;
    if (stat(user_dir.c_str(), &st) != 0 && mkdir(user_dir.c_str(), 0755) != 0) {
      wAlert("", "Couldn't create user config directory: " + user_dir);
      return nullptr;
    }
  }
  return user_dir.c_str();
}

const char* cfg_GetSiteConfigDir() {
  if (site_dir.empty()) site_dir = beside_program("config");
  return site_dir.c_str();
}

const char* cfg_GetSiteDefaultConfigDir() {
  if (site_default_dir.empty()) site_default_dir = beside_program("defaults");
  return site_default_dir.c_str();
}

void cfg_SetUserConfigDir(const char* dir) {
  user_dir = dir ? dir : "";
  user_dir_set = dir != nullptr;
}

void cfg_ResetConfigDirs() {
  user_dir.clear();
  user_dir_set = false;
  site_dir.clear();
  site_default_dir.clear();
}
