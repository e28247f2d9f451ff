#include "windlib/file/tempregistry.h"

#include <cstring>
#include <unistd.h>

#include "shared/indgen/indgen.h"

namespace {
// A plain array of owned paths: a signal handler can walk it without
// allocating.
char** paths = nullptr;
int count = 0;
int capacity = 0;
}  // namespace

void TempRegistryAdd(const char* path) {
  if (count == capacity) {
    int grown = capacity ? capacity * 2 : 16;
    paths = static_cast<char**>(gen_realloc(paths, grown * static_cast<long>(sizeof(char*))));
    capacity = grown;
  }
  paths[count++] = gen_copy(path);
}

void TempRegistryRemove(const char* path) {
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(paths[i], path) == 0) {
      gen_free(paths[i]);
      paths[i] = paths[--count];
      return;
    }
  }
}

void TempRegistryUnlinkAll() {
  for (int i = 0; i < count; ++i) unlink(paths[i]);
}

void TempRegistryDeleteAll() {
  TempRegistryUnlinkAll();
  for (int i = 0; i < count; ++i) gen_free(paths[i]);
  count = 0;
}

int TempRegistryCount() { return count; }
