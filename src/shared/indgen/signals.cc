// Signal traps: orderly exits on hang-up, interrupt, quit, terminate, broken
// pipes and CPU limits.
//
// A trap runs in the middle of whatever the program was doing, so it makes
// only async-signal-safe calls. Once a main loop watches for termination
// signals (gen_defer_termination_signals), their trap only records the
// signal and wakes the loop through a pipe; the loop then leaves in order,
// with journals and files in a known state. Without such a loop, or when a
// second signal comes before the loop took the first, the trap leaves at
// once: it deletes the temporary copies with plain system calls, writes its
// message with write(2) and ends the process with _exit.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "shared/indgen/indgen.h"

extern bool gen_in_exit;
void (*gen_trap_cleanup)() = nullptr;

namespace {
volatile sig_atomic_t sigpipe_count = 0;
volatile sig_atomic_t deferring = 0;
volatile sig_atomic_t pending = 0;
int wake_pipe[2] = {-1, -1};

// Appends `text` to the message being built in `buf` (of `size` bytes).
void append(char* buf, size_t size, size_t* len, const char* text) {
  size_t n = strlen(text);
  if (*len + n >= size) n = size - 1 - *len;
  memcpy(buf + *len, text, n);
  *len += n;
}

void append_number(char* buf, size_t size, size_t* len, int value) {
  char digits[16];
  int at = static_cast<int>(sizeof digits) - 1;
  digits[at] = 0;
  unsigned v = value < 0 ? static_cast<unsigned>(-value) : static_cast<unsigned>(value);
  do {
    digits[--at] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v && at > 1);
  if (value < 0) digits[--at] = '-';
  append(buf, size, len, digits + at);
}

// "program: error: text" on standard error, as gen_error prints it.
void say(const char* text, int number = -1) {
  char buf[512];
  size_t len = 0;
  if (gen_progname && *gen_progname) {
    append(buf, sizeof buf, &len, gen_progname);
    append(buf, sizeof buf, &len, ": ");
  }
  append(buf, sizeof buf, &len, gen_dirivo_error_msgs ? "ERROR: " : "error: ");
  append(buf, sizeof buf, &len, text);
  if (number >= 0) {
    append_number(buf, sizeof buf, &len, number);
    append(buf, sizeof buf, &len, ")");
  }
  append(buf, sizeof buf, &len, "\n");
  ssize_t ignored = write(2, buf, len);
  (void)ignored;
}

[[noreturn]] void leave(int status) {
  if (gen_trap_cleanup) gen_trap_cleanup();
  _exit(status);
}

void termination_trap(int sig) {
  if (gen_in_exit) _exit(2);
  int saved_errno = errno;
  gen_sigtrap_value = sig;
  if (deferring && pending == 0) {
    pending = sig;
    ssize_t ignored = write(wake_pipe[1], "s", 1);
    (void)ignored;
    errno = saved_errno;
    return;
  }
  if (sig == SIGINT) say("Halted");
  else if (sig != SIGTERM) say("Interrupt (", sig);
  // The loop that would have taken an interrupt exits with status 1.
  leave(deferring && sig == SIGINT ? 1 : 2);
}

void sigpipe_trap(int sig) {
  if (gen_in_exit) _exit(2);
  gen_sigtrap_value = sig;
  sigpipe_count = sigpipe_count + 1;
  if (sigpipe_count > 1) {
    // The reader of our output is gone: do not write there again.
    close(1);
    close(2);
  } else {
    say("Halted by a SIGPIPE.");
  }
  leave(2);
}

void limit_trap(int sig) {
  if (gen_in_exit) _exit(2);
  gen_sigtrap_value = sig;
  say(sig == SIGXCPU ? "Cpu Limit Exceeded" : "Resource Limit exceeded");
  leave(2);
}

void install(int sig, void (*handler)(int)) {
  struct sigaction sa = {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sigaction(sig, &sa, nullptr);
}

const int kTerminationSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
}  // namespace

void trapsetup() {
  for (int sig : kTerminationSignals) install(sig, termination_trap);
  install(SIGPIPE, sigpipe_trap);
  install(SIGXCPU, limit_trap);
  // A file-size limit must fail the write, not kill the editor mid-save.
  install(SIGXFSZ, SIG_IGN);
}

int gen_defer_termination_signals() {
  if (wake_pipe[0] < 0 && pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    wake_pipe[0] = wake_pipe[1] = -1;
    return -1;
  }
  for (int sig : kTerminationSignals) install(sig, termination_trap);
  deferring = 1;
  return wake_pipe[0];
}

int gen_pending_signal() { return pending; }

int gen_take_pending_signal() {
  if (wake_pipe[0] >= 0) {
    char drain[64];
    while (read(wake_pipe[0], drain, sizeof drain) > 0) {
    }
  }
  int sig = pending;
  pending = 0;
  return sig;
}
