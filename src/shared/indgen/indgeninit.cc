// Process identity: program name, executable directory, byte order.
#include "shared/indgen/indgen.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <unistd.h>

char* gen_progname = nullptr;
char* gen_execname = nullptr;
unsigned char gen_dirivo_error_msgs = 0;
int gen_error_count[7] = {};
int gen_any_error = 0;
volatile int gen_sigtrap_value = 0;
int bigendian_host = 0;

namespace {
char* progdir = nullptr;
bool destructed = false;
int version = 0;

// Returns 1 for big-endian, 0 for little-endian, -1 when neither.
int host_byte_order() {
  const uint32_t probe = 0x01020304u;
  unsigned char bytes[4];
  std::memcpy(bytes, &probe, 4);
  if (bytes[0] == 1 && bytes[3] == 4) return 1;
  if (bytes[0] == 4 && bytes[3] == 1) return 0;
  return -1;
}
}  // namespace

void gen_init(const char* argv0, int viewpath_flags) {
  if (!argv0) argv0 = "";
  gen_free(gen_execname);
  gen_execname = gen_copy(argv0);
  // Base name with trailing slashes removed.
  long len = static_cast<long>(std::strlen(argv0));
  while (len > 1 && argv0[len - 1] == '/') --len;
  long start = len;
  while (start > 0 && argv0[start - 1] != '/') --start;
  gen_free(gen_progname);
  gen_progname = gen_copyn(argv0 + start, len - start);
  destructed = false;

  trapsetup();
  gen_viewpathing_init(viewpath_flags);

  int order = host_byte_order();
  if (order < 0) gen_errorexit(1, "Could not determine host endianness");
  bigendian_host = order;
}

void gen_destruct() {
  if (destructed) return;
  destructed = true;
  gen_free(gen_progname);
  gen_free(gen_execname);
  gen_free(progdir);
  gen_progname = gen_execname = progdir = nullptr;
}

const char* gen_progdir() {
  if (progdir) return progdir;
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) {
    buf[n] = 0;
  } else if (gen_execname && std::strchr(gen_execname, '/')) {
    std::strncpy(buf, gen_execname, sizeof buf - 1);
    buf[sizeof buf - 1] = 0;
  } else {
    return progdir = gen_copy(".");
  }
  char* slash = std::strrchr(buf, '/');
  if (slash == buf) slash[1] = 0;
  else if (slash) *slash = 0;
  return progdir = gen_copy(buf);
}

int gen_set_version(int v) {
  if (v >= 9) {
    gen_error("Attempt to set version to an illegal value");
    return 0;
  }
  version = v;
  return 1;
}

int gen_get_version() { return version; }
