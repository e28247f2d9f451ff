#include "windlib/edit/editmru.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"
#include "windlib/xswitch.h"

namespace {
constexpr size_t kMruSize = 10;
std::vector<std::string> mru;

std::string absolute(const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return name;
  std::string path = std::string(cwd) + "/" + name;
  // "./a" and "dir/../a" read better resolved.
  if (char* real = realpath(path.c_str(), nullptr)) {
    path = real;
    free(real);
  }
  return path;
}
}  // namespace

void EditMruAdd(File* file) {
  if (!file || !file->name || file->internal) return;
  std::string name = file->name;
  const std::string temp = gen_temp_dir(nullptr);
  bool in_temp = absolute(name).rfind(absolute(temp), 0) == 0;
  if (in_temp && !debugFlag[xsTmpFileToMru]) return;
  if (!in_temp || !debugFlag[xsTmpFileToMru]) name = absolute(name);
  mru.erase(std::remove(mru.begin(), mru.end(), name), mru.end());
  mru.insert(mru.begin(), name);
  if (mru.size() > kMruSize) mru.resize(kMruSize);
}

const std::vector<std::string>& EditMruList() { return mru; }
