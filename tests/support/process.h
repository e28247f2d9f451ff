// Runs a program with captured output, an optional time limit and extra
// environment, for end-to-end tests of real binaries.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace oetest {

struct RunResult {
  int status = -1;       // exit status, or 128 + signal
  bool timedOut = false;
  std::string out, err;
};

// A child process with pipes on stdout and stderr, read as it runs.
class Process {
 public:
  Process(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {},
          const std::string& cwd = "") {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      dup2(err[1], 2);
      int devnull = open("/dev/null", O_RDONLY);
      if (devnull >= 0) dup2(devnull, 0);
      close(out[0]);
      close(err[0]);
      for (const auto& [k, v] : env) {
        if (v.empty()) unsetenv(k.c_str());
        else setenv(k.c_str(), v.c_str(), 1);
      }
      if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
      std::vector<char*> args;
      for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_fd_ = out[0];
    err_fd_ = err[0];
    fcntl(out_fd_, F_SETFL, O_NONBLOCK);
    fcntl(err_fd_, F_SETFL, O_NONBLOCK);
  }
  ~Process() {
    if (running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_fd_ >= 0) close(out_fd_);
    if (err_fd_ >= 0) close(err_fd_);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0 && !reaped_; }

  // Collects output; true once the process has ended.
  bool Poll(int wait_ms) {
    pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
    poll(fds, 2, wait_ms);
    Drain(out_fd_, result_.out);
    Drain(err_fd_, result_.err);
    if (reaped_) return true;
    int status;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      reaped_ = true;
      result_.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      Drain(out_fd_, result_.out);
      Drain(err_fd_, result_.err);
    }
    return reaped_;
  }

  // Waits for the end; kills the process after `timeout_ms`.
  RunResult& Wait(int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!Poll(20)) {
      if (std::chrono::steady_clock::now() > deadline) {
        result_.timedOut = true;
        kill(pid_, SIGKILL);
        while (!Poll(20)) {
        }
        break;
      }
    }
    return result_;
  }

  void Signal(int sig) {
    if (running()) kill(pid_, sig);
  }
  const RunResult& result() const { return result_; }
  // Waits until `text` appears on stderr or stdout; false on time-out or exit.
  bool WaitForOutput(const std::string& text, int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      bool ended = Poll(20);
      if (result_.out.find(text) != std::string::npos ||
          result_.err.find(text) != std::string::npos)
        return true;
      if (ended) return false;
    }
    return false;
  }

 private:
  static void Drain(int fd, std::string& into) {
    char buf[4096];
    while (true) {
      ssize_t n = read(fd, buf, sizeof buf);
      if (n > 0) into.append(buf, static_cast<size_t>(n));
      else if (n < 0 && errno == EINTR) continue;
      else break;
    }
  }

  pid_t pid_ = -1;
  int out_fd_ = -1, err_fd_ = -1;
  bool reaped_ = false;
  RunResult result_;
};

inline RunResult RunProgram(const std::vector<std::string>& argv,
                     const std::map<std::string, std::string>& env = {}, int timeout_ms = 30000,
                     const std::string& cwd = "") {
  Process p(argv, env, cwd);
  return p.Wait(timeout_ms);
}

}  // namespace oetest
