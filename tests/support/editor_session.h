// The real editor under a private Xvfb, driven with xdotool: start it on
// files, find its windows, send keys, run command strings through the
// "Editor command(s)?" prompt, and read text back through the X selection.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"
#include "support/xvfb.h"

namespace oetest {

class EditorSession {
 public:
  EditorSession() = default;
  ~EditorSession() { Stop(); }

  bool displayOk() const { return x_.ok(); }
  const Xvfb& x() const { return x_; }
  TempDir& dir() { return dir_; }
  TempDir& temps() { return temps_; }

  // Starts `oe` with `args` in the private directory.
  void Start(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {OE_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    proc_ = std::make_unique<Process>(
        argv,
        std::map<std::string, std::string>{{"DISPLAY", x_.display()},
                                           {"HOME", dir_.path()},
                                           {"TMPDIR", temps_.path()}},
        dir_.path());
  }

  Process& proc() { return *proc_; }

  // The window whose title matches `name` (a regular expression), or "".
  std::string Window(const std::string& name, int timeout_ms = 15000) {
    return x_.WaitForWindow(name, timeout_ms);
  }
  bool Focus(const std::string& window) {
    return x_.Tool({"xdotool", "windowactivate", "--sync", window}).status == 0 ||
           x_.Tool({"xdotool", "windowfocus", "--sync", window}).status == 0;
  }
  // The window whose whole title is `name` (a regular expression), given
  // the keyboard; "" when none shows up.
  std::string FocusWindow(const std::string& name, int timeout_ms = 15000) {
    std::string w = Window("^" + name + "$", timeout_ms);
    if (!w.empty()) Focus(w);
    return w;
  }
  void Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> argv = {"xdotool", "key", "--delay", "40"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    x_.Tool(argv);
    Settle();
  }
  void Type(const std::string& text) {
    x_.Tool({"xdotool", "type", "--delay", "20", text});
    Settle();
  }
  // Runs a command string in the focused editor window through the Tools
  // menu's command prompt.
  // Waits up to prompt_ms for the prompt: a busy editor takes the keys only
  // when it is done, and keys sent again meanwhile would reach the text.
  bool Command(const std::string& command, int prompt_ms = 5000) {
    Keys({"alt+t"});
    Keys({"c"});
    std::string prompt = Window("Minibuffer", prompt_ms);
    if (prompt.empty()) return false;
    Type(command);
    Keys({"Return"});
    return true;
  }
  // The whole text of the focused window, through PRIMARY.
  std::string Text(int prompt_ms = 5000) {
    if (!Command("SelectAll; SelectionGrab; NoSelection", prompt_ms)) return "<no prompt>";
    return Primary();
  }
  std::string Primary() {
    RunResult r = x_.Tool({"xclip", "-o", "-selection", "primary"}, 5000);
    return r.status == 0 ? r.out : "<no selection>";
  }
  // Lets the editor take what was sent.
  void Settle(int ms = 150) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  RunResult& WaitExit(int timeout_ms = 10000) { return proc_->Wait(timeout_ms); }
  void Stop() {
    if (proc_) proc_.reset();
  }

 private:
  Xvfb x_;
  TempDir dir_;
  TempDir temps_;
  std::unique_ptr<Process> proc_;
};

}  // namespace oetest
