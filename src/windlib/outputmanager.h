// Where the program's messages for the user go. One process-wide manager
// offers each message to a stack of grabbers, newest first; the first that
// takes it ends the search, and listeners may see a copy. Grabbers that show
// messages in windows live in the layers above; the silencing grabber is here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class OutputGrabber {
 public:
  virtual ~OutputGrabber() = default;
  // True when the grabber took the text.
  virtual bool HandleOutput(const char* text) = 0;
  // True when listeners must not see what this grabber took.
  virtual bool BlockListeners() { return false; }
  // Forgets what the grabber holds but has not shown yet.
  virtual void DiscardGrabbedStuff() {}
  virtual bool OutputIsRedirectable() { return true; }

  int32_t refCount = 0;   // stack entries holding the grabber; popped to 0 it is deleted
  int32_t suspended = 0;  // while above 0 the grabber is skipped
};

class OutputManager {
 public:
  virtual ~OutputManager() = default;
  // Builds the stack a fresh process starts with and remembers its top as
  // the default top.
  virtual void CreateDefaultStack();
  // Routes one message: the first grabber from the top that is not suspended
  // and takes it; standard error when none does; then the listeners, unless
  // the grabber that took it blocks them.
  virtual void PrintOutput(const char* text);

  // Counts one more reference on `g` and puts it on top.
  void PushGrabber(OutputGrabber* g);
  // Takes the top entry off and returns its grabber without changing its
  // count (the caller owns that reference now); none when empty.
  OutputGrabber* PopGrabber();
  // The top grabber, or with `activeOnly` the first that is not suspended.
  OutputGrabber* PeekGrabber(bool activeOnly = false) const;
  // Only when `g` is on the stack: pops entries, each dropping a reference
  // (deleting its grabber at 0), until g's entry is gone. True when done.
  bool PopToGrabber(OutputGrabber* g);
  void PopAllGrabbers();
  // Pops until the default top is on top again (everything when it was empty).
  void PopToDefaultStack();
  bool IsGrabberOnStack(const OutputGrabber* g) const;
  bool IsDefaultStackTopped(bool activeOnly) const;
  OutputGrabber* DefaultTopGrabber() const { return default_top_; }
  int GrabberCount() const { return static_cast<int>(stack_.size()); }

  // Listeners are not counted: the caller keeps them alive while listed.
  void AddListener(OutputGrabber* g);
  void RemoveListener(OutputGrabber* g);

  // The grabbers from the top down, for template look-ups.
  template <class Visit>
  OutputGrabber* FindFromTop(Visit visit) const {
    for (size_t i = stack_.size(); i-- > 0;)
      if (visit(stack_[i])) return stack_[i];
    return nullptr;
  }

 protected:
  // True when a grabber took the text.
  bool SendToGrabbers(const char* text);

 private:
  void PopOne();

  std::vector<OutputGrabber*> stack_;  // back() is the top
  std::vector<OutputGrabber*> listeners_;
  OutputGrabber* default_top_ = nullptr;
};

// The first grabber from the top whose dynamic type is T, or none.
template <class T>
T* GetTopmostGrabberOfType(const OutputManager* manager) {
  if (!manager) return nullptr;
  return static_cast<T*>(
      manager->FindFromTop([](OutputGrabber* g) { return dynamic_cast<T*>(g) != nullptr; }));
}

// Takes every message; pushed around work whose messages must not reach the
// user (see OutputSilencer).
class NullOutputGrabber : public OutputGrabber {
 public:
  static NullOutputGrabber* MakeNullOutputGrabber() { return new NullOutputGrabber; }
  bool HandleOutput(const char*) override { return true; }
  // Silenced text is shown nowhere, listeners included.
  bool BlockListeners() override { return true; }
};

// Pushes a new null grabber for its lifetime and pops back to it at the end.
class OutputSilencer {
 public:
  OutputSilencer();
  ~OutputSilencer();
  OutputSilencer(const OutputSilencer&) = delete;
  OutputSilencer& operator=(const OutputSilencer&) = delete;

 private:
  NullOutputGrabber* grabber_;
};

// The process-wide manager: a plain one from static initialisation until
// the program installs its own with OutputSetManager (which does not take
// ownership).
extern OutputManager* outputManager;
void OutputSetManager(OutputManager* manager);

// Set once it is known that no window will ever show messages (the program
// finished starting without a display): the message windows' grabbers then
// print on standard output.
extern bool outputNoDisplay;

// A diagnostic in the runtime layer's form ("prog: warning: text"), counted
// like one, but routed through the manager: for loader warnings of data
// files, which belong in the message window rather than on a terminal.
void OutputMessage(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
