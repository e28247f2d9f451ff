// A private virtual X server for one test: started on a free display number
// (Xvfb picks it with -displayfd) and always stopped with the test.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/process.h"

namespace oetest {

class Xvfb {
 public:
  explicit Xvfb(const std::string& screen = "1280x1024x24") {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      int devnull = open("/dev/null", O_WRONLY);
      if (devnull >= 0) {
        dup2(devnull, 1);
        dup2(devnull, 2);
      }
      std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
             "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    pollfd pfd = {fds[0], POLLIN, 0};
    while (poll(&pfd, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~Xvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }

  // Runs xdotool (or any X client) against this display.
  RunResult Tool(const std::vector<std::string>& argv, int timeout_ms = 10000) const {
    return RunProgram(argv, {{"DISPLAY", display_}}, timeout_ms);
  }

  // Waits until a window whose name matches `name` is mapped; its id or "".
  std::string WaitForWindow(const std::string& name, int timeout_ms = 15000) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      RunResult r = Tool({"xdotool", "search", "--onlyvisible", "--name", name});
      if (r.status == 0 && !r.out.empty()) return r.out.substr(0, r.out.find('\n'));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
  }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace oetest
