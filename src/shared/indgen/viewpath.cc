// View paths: a relative file name that does not exist is looked up under
// the alternative source roots listed in NVPATH (colon separated).
#include "shared/indgen/indgen.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {
std::vector<std::string> roots;
}

void gen_viewpathing_init(int flags) {
  roots.clear();
  if (flags < 0 || gen_getenv("KVX_VP_OFF", nullptr)) return;
  const char* list = gen_getenv("NVPATH", nullptr);
  if (!list) return;
  std::string all = list;
  size_t at = 0;
  while (at <= all.size()) {
    size_t colon = all.find(':', at);
    if (colon == std::string::npos) colon = all.size();
    if (colon > at) roots.push_back(all.substr(at, colon - at));
    at = colon + 1;
  }
  if (gen_getenv("KVX_VP_DEBUG", nullptr))
    for (const auto& r : roots) gen_info("view path root %s", r.c_str());
}

char* gen_viewpath_lookup(const char* path) {
  if (!path) return nullptr;
  struct stat st;
  if (path[0] == '/' || roots.empty() || stat(path, &st) == 0) return gen_copy(path);
  for (const auto& root : roots) {
    char* candidate = gen_sconcat(root.c_str(), path);
    if (stat(candidate, &st) == 0) return candidate;
    gen_free(candidate);
  }
  return gen_copy(path);
}
