// Temporary directory choice and collision-free temporary names.
#include "shared/indgen/indgen.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

gen_temp_dir_fn gen_temp_dir = gen_default_temp_dir;

namespace {
char* cached_dir = nullptr;
unsigned long name_counter = 0;
const char base32_digits[] = "0123456789abcdefghijklmnopqrstuv";
constexpr unsigned long kCounterLimit = 0xFFFFF;

bool usable_dir(const char* dir) {
  return dir && *dir && access(dir, W_OK | X_OK) == 0;
}

// Base-32 digits of `value` in 5-bit groups from bit `top_shift` down,
// leading zero digits suppressed.
void append_base32(std::string& out, unsigned long value, int top_shift) {
  bool started = false;
  for (int shift = top_shift; shift >= 0; shift -= 5) {
    unsigned digit = (value >> shift) & 31u;
    if (digit == 0 && !started) continue;
    started = true;
    out += base32_digits[digit];
  }
}

bool exists(const std::string& path) {
  int saved = errno;
  struct stat st;
  bool found = stat(path.c_str(), &st) == 0;
  errno = saved;
  return found;
}

std::string join(const char* dir, const std::string& leaf) {
  char* joined = gen_sconcat(dir, leaf.c_str());
  std::string out(joined);
  gen_free(joined);
  return out;
}

const char* strip_dot(const char* suffix) {
  if (!suffix) return "";
  return suffix[0] == '.' ? suffix + 1 : suffix;
}
}  // namespace

const char* gen_default_temp_dir(const char* preferred) {
  if (cached_dir && !preferred) return cached_dir;
  const char* tmpdir = gen_getenv("TMPDIR", nullptr);
  const char* choice;
  if (usable_dir(tmpdir)) choice = tmpdir;
  else if (usable_dir(preferred)) choice = preferred;
  else if (usable_dir("/var/tmp/")) choice = "/var/tmp/";
  else choice = "/tmp";
  char* copy = gen_copy(choice);
  gen_free(cached_dir);
  cached_dir = copy;
  return cached_dir;
}

void gen_reset_temp_dir() {
  gen_free(cached_dir);
  cached_dir = nullptr;
}

int xtmp3names(const char* dir1, const char* suffix1, const char* dir2, const char* suffix2,
               const char* dir3, const char* suffix3, char** name1, char** name2,
               char** name3) {
  const char* dirs[3] = {dir1, dir2, dir3};
  const char* suffixes[3] = {suffix1, suffix2, suffix3};
  char** outs[3] = {name1, name2, name3};
  for (int i = 0; i < 3; ++i) {
    if (outs[i]) *outs[i] = nullptr;
    if (outs[i] && !dirs[i]) dirs[i] = gen_temp_dir(nullptr);
  }

  if (const char* fixed = gen_getenv("BUILDER_TEMPORARY_NAME", nullptr)) {
    std::string stem = fixed;
    if (stem.back() != '.') stem += '.';
    for (int i = 0; i < 3; ++i)
      if (outs[i]) *outs[i] = gen_copy(join(dirs[i], stem + strip_dot(suffixes[i])).c_str());
    return 1;
  }

  std::string pid_stem = "kv_";
  append_base32(pid_stem, static_cast<unsigned long>(getpid()), 30);
  while (true) {
    ++name_counter;
    if (name_counter > kCounterLimit) return 0;
    std::string stem = pid_stem;
    append_base32(stem, name_counter, 15);
    stem += '.';
    std::string candidates[3];
    bool all_free = true;
    for (int i = 0; i < 3 && all_free; ++i) {
      if (!outs[i]) continue;
      candidates[i] = join(dirs[i], stem + strip_dot(suffixes[i]));
      if (exists(candidates[i])) all_free = false;
    }
    if (!all_free) continue;
    for (int i = 0; i < 3; ++i)
      if (outs[i]) *outs[i] = gen_copy(candidates[i].c_str());
    return 1;
  }
}

int tmp2name(const char* dir1, const char* suffix1, const char* dir2, const char* suffix2,
             char** name1, char** name2) {
  return xtmp3names(dir1, suffix1, dir2, suffix2, nullptr, nullptr, name1, name2, nullptr);
}

char* tmp1name(const char* dir, const char* suffix) {
  char* name = nullptr;
  xtmp3names(dir, suffix, nullptr, nullptr, nullptr, nullptr, &name, nullptr, nullptr);
  return name;
}

char* gen_tempname(const char* dir, const char* suffix) { return tmp1name(dir, suffix); }

char* gen_tmpdirname() {
  static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  char leaf[16];
  snprintf(leaf, sizeof leaf, "kv%04Xaa", static_cast<unsigned>(getpid()) & 0xFFFFu);
  const char* dir = gen_temp_dir(nullptr);
  int first = 0, second = 0;  // indices of the two counting characters
  while (true) {
    leaf[6] = digits[first];
    leaf[7] = digits[second];
    std::string path = join(dir, leaf);
    if (!exists(path)) return gen_copy(path.c_str());
    if (++second == 36) {
      second = 0;
      if (++first == 36) return nullptr;
    }
  }
}

char* gen_createtmpdir(int mode) {
  char* path = gen_tmpdirname();
  if (!path) return nullptr;
  if (mkdir(path, static_cast<mode_t>(mode)) != 0) {
    gen_free(path);
    return nullptr;
  }
  return path;
}

int gen_mkstemp(const char* dir, const char* suffix, char** name) {
  if (name) *name = nullptr;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char* candidate = tmp1name(dir, suffix);
    if (!candidate) return -1;
    int fd = open(candidate, O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
      if (name) *name = candidate;
      else gen_free(candidate);
      return fd;
    }
    gen_free(candidate);
    if (errno != EEXIST) return -1;
  }
  return -1;
}

FILE* gen_mkstempfp(const char* dir, const char* suffix, char** name) {
  int fd = gen_mkstemp(dir, suffix, name);
  if (fd < 0) return nullptr;
  FILE* fp = fdopen(fd, "w+");
  if (!fp) close(fd);
  return fp;
}
