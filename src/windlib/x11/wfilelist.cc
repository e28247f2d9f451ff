#include "windlib/x11/wfilelist.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "shared/indgen/indgen.h"

bool WFilterMatches(const std::string& filter, const std::string& name) {
  bool any = false;
  size_t i = 0;
  while (i < filter.size()) {
    size_t j = filter.find_first_of(" ,;\t", i);
    std::string pattern = filter.substr(i, j == std::string::npos ? std::string::npos : j - i);
    if (!pattern.empty()) {
      any = true;
      if (fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0) return true;
    }
    if (j == std::string::npos) break;
    i = j + 1;
  }
  return !any;
}

bool WHasWildcard(const std::string& text) {
  return text.find_first_of("*?[") != std::string::npos;
}

bool WListDirectory(const std::string& dir, const std::string& filter,
                    std::vector<WFileEntry>* entries, std::string* error) {
  entries->clear();
  DIR* d = opendir(dir.c_str());
  if (!d) {
    if (error) *error = std::string("Cannot read directory ") + dir + ": " + strerror(errno);
    return false;
  }
  bool show_hidden = !filter.empty() && filter[0] == '.';
  std::vector<WFileEntry> dirs, files;
  while (struct dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (name[0] == '.' && !show_hidden) continue;
    std::string full = dir == "/" ? "/" + name : dir + "/" + name;
    struct stat st;
    bool is_dir = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (is_dir)
      dirs.push_back(WFileEntry{name, true});
    else if (WFilterMatches(filter, name))
      files.push_back(WFileEntry{name, false});
  }
  closedir(d);
  auto by_name = [](const WFileEntry& a, const WFileEntry& b) { return a.name < b.name; };
  std::sort(dirs.begin(), dirs.end(), by_name);
  std::sort(files.begin(), files.end(), by_name);
  if (dir != "/") entries->push_back(WFileEntry{"..", true});
  entries->insert(entries->end(), dirs.begin(), dirs.end());
  entries->insert(entries->end(), files.begin(), files.end());
  return true;
}

std::string WResolvePath(const std::string& dir, const std::string& typed) {
  std::string path = typed;
  if (path == "~" || path.compare(0, 2, "~/") == 0) {
    const char* home = gen_getenv("HOME", "/");
    path = std::string(home) + path.substr(1);
  }
  if (path.empty() || path[0] != '/') path = (dir.empty() ? std::string(".") : dir) + "/" + path;
  if (path[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) path = std::string(cwd) + "/" + path;
  }
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}
