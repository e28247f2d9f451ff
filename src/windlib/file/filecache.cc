// Temporary copies: names, the five-descriptor cache and the windows of a
// temporary copy held in memory.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/tempregistry.h"

char* syn_cache = nullptr;
int32_t syn_cacheAlloc = 0, syn_cacheLen = 0;
int64_t syn_cacheBase = -1;
File* syn_stamp = nullptr;

namespace {
constexpr int kCachedFds = 5;
constexpr int32_t kMaxWindow = 32768;
const char kNameChars[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_@";
unsigned long name_counter = 0;

// Most recently used first.
const char* fd_names[kCachedFds];
int fd_values[kCachedFds] = {-1, -1, -1, -1, -1};

int64_t round_down(int64_t v, int64_t unit) { return v / unit * unit; }
int64_t round_up(int64_t v, int64_t unit) { return (v + unit - 1) / unit * unit; }

int32_t window_size(int64_t size) {
  int64_t rounded = round_up(size < 1 ? 1 : size, 8192);
  return static_cast<int32_t>(rounded > kMaxWindow ? kMaxWindow : rounded);
}

void forget_fd(int at) {
  for (int i = at; i + 1 < kCachedFds; ++i) {
    fd_names[i] = fd_names[i + 1];
    fd_values[i] = fd_values[i + 1];
  }
  fd_names[kCachedFds - 1] = nullptr;
  fd_values[kCachedFds - 1] = -1;
}

int find_fd(const char* name) {
  for (int i = 0; i < kCachedFds; ++i)
    if (fd_names[i] == name) return i;
  for (int i = 0; i < kCachedFds; ++i)
    if (fd_names[i] && std::strcmp(fd_names[i], name) == 0) return i;
  return -1;
}

struct Window {
  char*& buf;
  int32_t& alloc;
  int32_t& len;
  int64_t& base;
};
}  // namespace

int64_t gFileCacheFillsBeforeFailure = -1;

char* TempFileName() {
  std::string leaf = "S_XXXXXX";
  leaf[1] = kNameChars[name_counter % 64];
  ++name_counter;
  const char* dir = !cfgTempFileDir.empty() ? cfgTempFileDir.c_str() : gen_temp_dir(nullptr);
  char* path = gen_sconcat(dir, leaf.c_str());
  int fd = mkstemp(path);
  if (fd < 0) {
    gen_free(path);
    return nullptr;
  }
  close(fd);
  TempRegistryAdd(path);
  return path;
}

int CacheOpen(const char* name, bool rewind) {
  int at = find_fd(name);
  if (at < 0) {
    for (int i = 0; i < kCachedFds; ++i)
      if (!fd_names[i]) {
        at = i;
        break;
      }
    if (at < 0) {
      at = kCachedFds - 1;
      close(fd_values[at]);
    }
    // The registry's descriptor reaches the copy even after its name was
    // removed.
    int fd = TempRegistryOpen(name);
    if (fd < 0) fd = open(name, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      fd_names[at] = nullptr;
      fd_values[at] = -1;
      // Keep the free entries at the end.
      forget_fd(at);
      return -1;
    }
    fd_names[at] = name;
    fd_values[at] = fd;
  }
  const char* n = fd_names[at];
  int fd = fd_values[at];
  for (int i = at; i > 0; --i) {
    fd_names[i] = fd_names[i - 1];
    fd_values[i] = fd_values[i - 1];
  }
  fd_names[0] = n;
  fd_values[0] = fd;
  if (rewind) lseek(fd, 0, SEEK_SET);
  return fd;
}

void CacheClose(const char* name) {
  if (!name) return;
  int at = find_fd(name);
  if (at >= 0) {
    close(fd_values[at]);
    forget_fd(at);
  }
  unlink(name);
  TempRegistryRemove(name);
}

void CacheAbort() {
  for (int i = 0; i < kCachedFds; ++i) {
    if (fd_values[i] >= 0) close(fd_values[i]);
    fd_names[i] = nullptr;
    fd_values[i] = -1;
  }
  TempRegistryDeleteAll();
}

int CachedDescriptorCount() {
  int n = 0;
  for (int v : fd_values) n += v >= 0;
  return n;
}

void FileCacheInit(File* f, int64_t size) {
  gen_free(f->cache);
  f->cacheAlloc = window_size(size);
  f->cache = static_cast<char*>(gen_alloc(f->cacheAlloc + 1, 1));
  f->cacheLen = 0;
  f->cacheBase = -1;
}

void FileResizeCache(File* f, int64_t size) {
  int32_t want = window_size(size);
  if (f->cache && want <= f->cacheAlloc) return;
  if (want < f->cacheAlloc) want = f->cacheAlloc;
  f->cache = static_cast<char*>(gen_realloc(f->cache, want + 1));
  f->cacheAlloc = want;
  if (f->cacheBase < 0) f->cacheLen = 0;
}

void FileResetSynCache(File* f) {
  if (syn_stamp != f) return;
  syn_stamp = nullptr;
  syn_cacheLen = 0;
  syn_cacheBase = -1;
}

void FileCache(File* f, Line* line, int32_t count, int which) {
  if (!f->tempName) return;
  Window w = which == 1 ? Window{f->cache, f->cacheAlloc, f->cacheLen, f->cacheBase}
                        : Window{syn_cache, syn_cacheAlloc, syn_cacheLen, syn_cacheBase};
  if (which != 1 && syn_stamp != f) {
    syn_stamp = f;
    syn_cacheLen = 0;
    syn_cacheBase = -1;
  }
  if (!f->first) {
    w.len = 0;
    w.base = 0;
    return;
  }
  if (!line) return;
  if (w.alloc <= 0) w.alloc = kMaxWindow;

  int64_t start, end;
  Line* target = nullptr;
  Line* last = f->last;
  int64_t last_end = LineInFile(last) ? last->text.offset + last->len : -1;
  if (last_end >= 0 && last_end <= w.alloc) {
    // The whole copy fits in the window: hold all of it.
    if (w.base == 0 && w.len >= last_end) return;
    start = 0;
    end = last_end;
    target = last;
  } else {
    int32_t steps = count < 0 ? -count : count;
    if (steps == 0) steps = 1;
    Line* l = line;
    for (int32_t i = 0; l && !LineInFile(l) && i < steps; ++i) l = count < 0 ? l->prev : l->next;
    if (!l || !LineInFile(l)) return;
    target = l;
    int64_t off = l->text.offset, lend = off + l->len;
    if (w.len > 0 && w.base >= 0 && w.base <= off && w.base + w.len >= lend) return;
    if (count >= 0) {
      start = round_down(off, 1024);
      end = round_up(lend > start + w.alloc ? lend : start + w.alloc, 1024);
    } else {
      end = round_up(lend, 1024);
      start = round_down(off < end - w.alloc ? off : end - w.alloc, 1024);
      if (start < 0) {
        end -= start;
        start = 0;
      }
    }
  }

  int64_t range = end - start;
  if (range > w.alloc || !w.buf) {
    if (range > w.alloc) w.alloc = static_cast<int32_t>(range);
    w.buf = static_cast<char*>(gen_realloc(w.buf, w.alloc + 1));
  }

  if (gFileCacheFillsBeforeFailure >= 0 && gFileCacheFillsBeforeFailure-- == 0) {
    w.len = 0;
    w.base = -1;
    FilePanic("Tempfile shrunk");
  }
  int fd = (which != 1 && f->fd >= 0) ? f->fd : CacheOpen(f->tempName, which == 1);
  if (fd < 0) FilePanic("Tempfile vanished");
  off_t saved = which != 1 ? lseek(fd, 0, SEEK_CUR) : 0;
  if (lseek(fd, start, SEEK_SET) < 0) FilePanic("Can't seek tempfile");
  if (range > w.alloc) FilePanic("[Edit] Internal data structure screwup");
  int64_t got = 0;
  while (got < range) {
    ssize_t n = read(fd, w.buf + got, static_cast<size_t>(range - got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  if (which != 1) lseek(fd, saved, SEEK_SET);
  int64_t needed = target->text.offset + target->len - start;
  if (got < needed) {
    w.len = 0;
    w.base = -1;
    FilePanic("Tempfile shrunk");
  }
  w.buf[got] = 0;
  w.len = static_cast<int32_t>(got);
  w.base = start;
}
