#include "windlib/file/tempregistry.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "shared/indgen/indgen.h"

namespace {
// A plain array of owned paths, each with a descriptor that keeps the
// file's data reachable even when a cleaner of temporary directories
// removes its name. A signal handler walks the array without allocating:
// an entry is complete before the count covers it, and leaves the count
// before its path is freed.
struct Entry {
  char* path;
  int keeper;  // -1 when no descriptor could be had
};
Entry* entries = nullptr;
volatile sig_atomic_t count = 0;
int capacity = 0;

void fence() { std::atomic_signal_fence(std::memory_order_seq_cst); }

// One descriptor per open file: let the process have as many as it may.
void raise_descriptor_limit() {
  static bool raised = false;
  if (raised) return;
  raised = true;
  struct rlimit rl;
  if (getrlimit(RLIMIT_NOFILE, &rl) == 0 && rl.rlim_cur < rl.rlim_max) {
    rl.rlim_cur = rl.rlim_max;
    setrlimit(RLIMIT_NOFILE, &rl);
  }
}

int find(const char* path) {
  for (int i = 0; i < count; ++i)
    if (std::strcmp(entries[i].path, path) == 0) return i;
  return -1;
}
}  // namespace

void TempRegistryAdd(const char* path) {
  raise_descriptor_limit();
  if (count == capacity) {
    int grown = capacity ? capacity * 2 : 16;
    auto* bigger = static_cast<Entry*>(gen_alloc(grown, sizeof(Entry)));
    for (int i = 0; i < count; ++i) bigger[i] = entries[i];
    Entry* old = entries;
    entries = bigger;
    fence();
    gen_free(old);
    capacity = grown;
  }
  entries[count] = Entry{gen_copy(path), open(path, O_RDWR | O_CLOEXEC)};
  fence();
  count = count + 1;
}

void TempRegistryRemove(const char* path) {
  int at = find(path);
  if (at < 0) return;
  Entry gone = entries[at];
  entries[at] = entries[count - 1];
  fence();
  count = count - 1;
  fence();
  if (gone.keeper >= 0) close(gone.keeper);
  gen_free(gone.path);
}

int TempRegistryOpen(const char* path) {
  int at = find(path);
  if (at < 0 || entries[at].keeper < 0) return -1;
  return fcntl(entries[at].keeper, F_DUPFD_CLOEXEC, 0);
}

void TempRegistryUnlinkAll() {
  for (int i = 0; i < count; ++i) unlink(entries[i].path);
}

void TempRegistryDeleteAll() {
  while (count > 0) {
    unlink(entries[count - 1].path);
    TempRegistryRemove(entries[count - 1].path);
  }
}

int TempRegistryCount() { return count; }
