// Signal traps: orderly exits on hang-up, interrupt, quit, terminate, broken
// pipes and CPU limits.
#include "shared/indgen/indgen.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

extern bool gen_in_exit;
void (*gen_trap_cleanup)() = nullptr;

namespace {
int sigpipe_count = 0;

void leave(int status) {
  if (gen_trap_cleanup) gen_trap_cleanup();
  gen_do_exit(status);
}

void termination_trap(int sig) {
  if (gen_in_exit) _exit(2);
  gen_sigtrap_value = sig;
  fflush(stdout);
  if (sig == SIGINT) gen_error("Halted");
  else if (sig != SIGTERM) gen_error("Interrupt (%d)", sig);
  leave(2);
}

void sigpipe_trap(int sig) {
  if (gen_in_exit) _exit(2);
  gen_sigtrap_value = sig;
  if (++sigpipe_count > 1) {
    // The reader of our output is gone: do not write there again.
    fclose(stdout);
    fclose(stderr);
  } else {
    gen_error("Halted by a SIGPIPE.");
  }
  leave(2);
}

void limit_trap(int sig) {
  if (gen_in_exit) _exit(2);
  gen_sigtrap_value = sig;
  fflush(stdout);
  gen_error(sig == SIGXCPU ? "Cpu Limit Exceeded" : "Resource Limit exceeded");
  leave(2);
}

void install(int sig, void (*handler)(int)) {
  struct sigaction sa = {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sigaction(sig, &sa, nullptr);
}
}  // namespace

void trapsetup() {
  install(SIGHUP, termination_trap);
  install(SIGINT, termination_trap);
  install(SIGQUIT, termination_trap);
  install(SIGTERM, termination_trap);
  install(SIGPIPE, sigpipe_trap);
  install(SIGXCPU, limit_trap);
  // A file-size limit must fail the write, not kill the editor mid-save.
  install(SIGXFSZ, SIG_IGN);
}
