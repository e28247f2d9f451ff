// Assertions: an internal inconsistency ends the program with status 1.
#include "shared/indgen/indgen.h"

#include <cstdlib>
#include <cstring>
#include <string>

void (*gen_massert_report)(const char* text) = nullptr;
int gen_runtime_checks = 0;

namespace {
// Source path without its extension, as the assertion line shows it.
std::string source_path(const char* file) {
  std::string path = file ? file : "?";
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
  return path;
}

void write_assertion(const char* text, const std::string& file, int line, int code) {
  fflush(stdout);
  fputs("Assertion ", stderr);
  if (text) fprintf(stderr, "(%s) ", text);
  if (code) fprintf(stderr, "[%d] ", code);
  fprintf(stderr, "failed in '%s' on line %d", file.c_str(), line);
  if (gen_progname) fprintf(stderr, " in %s", gen_progname);
  fputc('\n', stderr);
  fflush(stderr);
}
}  // namespace

void __Assert(int condition, const char* text, const char* file, int line, int code) {
  if (condition) return;
  write_assertion(text, source_path(file), line, code);
  exit(1);
}

void __MAssert(int condition, const char* text, const char* file, int line, int code) {
  if (condition) return;
  std::string path = source_path(file);
  if (gen_runtime_checks && gen_massert_report) {
    char codebuf[32] = "";
    if (code) snprintf(codebuf, sizeof codebuf, "[%d] ", code);
    char msg[1024];
    snprintf(msg, sizeof msg, "Assertion %s%s%s%sfailed in '%s' on line %d%s%s", text ? "(" : "",
             text ? text : "", text ? ") " : "", codebuf, path.c_str(), line,
             gen_progname ? " in " : "", gen_progname ? gen_progname : "");
    gen_massert_report(msg);
  }
  write_assertion(text, path, line, code);
  gen_do_exit(1);
}
