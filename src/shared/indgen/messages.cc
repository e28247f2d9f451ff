// Diagnostics in the form "prog: level: text" and the exit functions.
#include "shared/indgen/indgen.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "shared/indgen/strformat.h"

namespace {
const char* const normal_prefix[7] = {nullptr, "disaster", "fatal", "error",
                                      "warning", "info", nullptr};
const char* const upper_prefix[7] = {"ERROR", "ERROR: DISASTER", "ERROR: FATAL", "ERROR",
                                     "WARNING", "INFO", nullptr};
}  // namespace

bool gen_in_exit = false;

gen_domessage_fn gen_domessage = gen_default_domessage;
gen_exit_fn gen_exit = gen_default_exit;

std::string gen_format_message(int level, const char* format, va_list args) {
  bool with_errno = false;
  if (level > GEN_LEVEL_ERRNO) {
    level -= GEN_LEVEL_ERRNO;
    with_errno = true;
  }
  int saved_errno = errno;
  const char* prefix = nullptr;
  if (level >= 0 && level < 7) {
    prefix = gen_dirivo_error_msgs ? upper_prefix[level] : normal_prefix[level];
    gen_error_count[level]++;
    if (level <= 3) gen_any_error++;
  }
  std::string line;
  if (gen_progname && *gen_progname && level != GEN_LEVEL_PRINTF) {
    line += gen_progname;
    line += ": ";
  }
  if (prefix) {
    line += prefix;
    line += ": ";
  }
  std::string text = gen_vformat(format, args);
  line += text;
  if (with_errno && saved_errno != 0) {
    line += ": ";
    line += strerror(saved_errno);
    line += '\n';
    errno = 0;
  } else if (text.empty() || text.back() != '\n') {
    line += '\n';
  }
  return line;
}

void gen_default_domessage(int level, const char* format, va_list args) {
  fflush(stdout);
  std::string line = gen_format_message(level, format, args);
  fputs(line.c_str(), stderr);
  fflush(stderr);
}

void gen_default_exit(int status) {
  if (gen_in_exit) _exit(status);
  gen_in_exit = true;
  exit(status);
}

void gen_do_exit(int status) {
  gen_exit(status);
  // A hook that returns still ends the program.
  _exit(status);
}

static void vmessage(int level, const char* format, va_list args) {
  gen_domessage(level, format, args);
}

void gen_message(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vmessage(level, format, args);
  va_end(args);
}

#define GEN_LEVEL_FUNCTION(name, level)   \
  void name(const char* format, ...) {    \
    va_list args;                         \
    va_start(args, format);               \
    vmessage(level, format, args);        \
    va_end(args);                         \
  }
GEN_LEVEL_FUNCTION(gen_error, GEN_LEVEL_ERROR)
GEN_LEVEL_FUNCTION(gen_warning, GEN_LEVEL_WARNING)
GEN_LEVEL_FUNCTION(gen_info, GEN_LEVEL_INFO)
GEN_LEVEL_FUNCTION(gen_printf, GEN_LEVEL_PRINTF)
GEN_LEVEL_FUNCTION(gen_perror, GEN_LEVEL_ERRNO + GEN_LEVEL_ERROR)
#undef GEN_LEVEL_FUNCTION

void gen_errorexit(int status, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vmessage(status == 0 ? GEN_LEVEL_ERROR0 : GEN_LEVEL_FATAL, format, args);
  va_end(args);
  gen_do_exit(status);
}

void gen_perrorexit(int status, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vmessage(GEN_LEVEL_ERRNO + GEN_LEVEL_FATAL, format, args);
  va_end(args);
  gen_do_exit(status);
}

void gen_successexit() { gen_do_exit(0); }
