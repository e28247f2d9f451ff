// The application object: owns the list of top-level windows and handles
// panics and user messages for the whole program.
#pragma once

#include <string>
#include <vector>

// A top-level window as the application sees it.
class WTopLevel {
 public:
  virtual ~WTopLevel() = default;
  // Closes the window; false when it refuses (the user kept unsaved work).
  // A window that closes removes itself from the application's list.
  virtual bool Close() = 0;
  // Shows a one-line message in the window's message line, if it has one.
  virtual void ShowMessage(const std::string& text) { (void)text; }
  // Re-announces the window to the window manager or services after the
  // display connection changed; most windows need nothing.
  virtual void Reregister() {}
};

class GApplication {
 public:
  virtual ~GApplication() = default;
  [[noreturn]] virtual void Panic(const char* format, ...) = 0;
  virtual void cwInsertList(WTopLevel* window) = 0;
  virtual void cwRemoveList(WTopLevel* window) = 0;
  virtual WTopLevel* cwGetList() = 0;
  virtual bool cwDestroyAll() = 0;
  virtual const std::vector<WTopLevel*>& getWindowList() = 0;
  virtual void error(const char* format, ...) = 0;
  virtual std::vector<WTopLevel*> getAllWindows() = 0;
  virtual void ReregisterWindows() {}
};

class GUIApplication : public GApplication {
 public:
  [[noreturn]] void Panic(const char* format, ...) override
      __attribute__((format(printf, 2, 3)));
  void cwInsertList(WTopLevel* window) override;
  void cwRemoveList(WTopLevel* window) override;
  WTopLevel* cwGetList() override;
  bool cwDestroyAll() override;
  const std::vector<WTopLevel*>& getWindowList() override { return windows_; }
  void error(const char* format, ...) override __attribute__((format(printf, 2, 3)));
  std::vector<WTopLevel*> getAllWindows() override { return windows_; }
  void ReregisterWindows() override;

  // The window whose message line shows errors, if any.
  void setErrorWindow(WTopLevel* window) { error_window_ = window; }

 private:
  std::vector<WTopLevel*> windows_;
  WTopLevel* error_window_ = nullptr;
};

// The one application object of the process.
extern GApplication* ApplicationInstance;
