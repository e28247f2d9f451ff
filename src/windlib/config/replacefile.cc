#include "windlib/config/replacefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"

namespace {
// The mode a new file gets: readable by all, less the process's umask.
mode_t new_file_mode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool write_and_close(int fd, const std::string& text, bool sync) {
  bool ok = gen_write_all(fd, text.data(), static_cast<int64_t>(text.size()));
  if (sync) ok = fsync(fd) == 0 && ok;
  return close(fd) == 0 && ok;
}
}  // namespace

bool cfg_ReplaceFile(const std::string& path, const std::string& text,
                     void (*before_rename)(const char*)) {
  std::string temporary = path + "_XXXXXX";
  int fd = mkstemp(temporary.data());
  bool ok;
  if (fd < 0) {
    // No room for a second file (a full or read-only directory holding a
    // writable file): write in place rather than keep nothing.
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    ok = fd >= 0 && write_and_close(fd, text, true);
  } else {
    struct stat old;
    fchmod(fd, stat(path.c_str(), &old) == 0 ? old.st_mode & 07777 : new_file_mode());
    ok = write_and_close(fd, text, true);
    if (ok && before_rename) before_rename(temporary.c_str());
    ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
  }
  if (!ok) gen_error("failed when writing %s", path.c_str());
  return ok;
}
