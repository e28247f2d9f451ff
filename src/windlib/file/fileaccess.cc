// Whether a file may be opened, and the reports and panics of the file layer.
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <string>
#include <unistd.h>

#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "windlib/file/file.h"
#include "windlib/gapplication.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"

namespace {
std::string directory_of(const char* name) {
  const char* slash = std::strrchr(name, '/');
  if (!slash) return ".";
  if (slash == name) return "/";
  return std::string(name, static_cast<size_t>(slash - name));
}
}  // namespace

void FileError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = gen_vformat(format, args);
  va_end(args);
  if (ApplicationInstance) ApplicationInstance->error("%s", text.c_str());
  else wAlert("Error", text);
}

void FilePanic(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = gen_vformat(format, args);
  va_end(args);
  if (ApplicationInstance) ApplicationInstance->Panic("%s", text.c_str());
  fflush(stdout);
  fprintf(stderr, "%s\n", text.c_str());
  ErrorJump(1);
}

int FileCanAccess(const char* name, struct stat* st) {
  struct stat local;
  if (!st) st = &local;
  if (stat(name, st) != 0) {
    int err = errno;
    if (err == EACCES) {
      FileError("No access to directory: %s", directory_of(name).c_str());
      return -1;
    }
    if (err == ENOTDIR) {
      FileError("Invalid directory: %s", name);
      return -1;
    }
    if (err == ENOENT) {
      if (access(directory_of(name).c_str(), W_OK) != 0) {
        FileError("No such file (and no write access to directory): %s", name);
        return -1;
      }
      return 0;
    }
    const char* why = strerror(err);
    if (why && *why) FileError("%s: %s", why, name);
    else FileError("Error(%d) on file: %s", err, name);
    return -1;
  }
  if (S_ISDIR(st->st_mode)) {
    FileError("Cannot edit a directory: %s", name);
    return -1;
  }
  if (access(name, R_OK) != 0) {
    FileError("Cannot read file (protected): %s", name);
    return -1;
  }
  if (access(name, W_OK) != 0) return 1;
  return 2;
}
