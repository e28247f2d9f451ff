// The message window: an output grabber that shows messages in an editor
// window on an internal file, made for the first message and made again by
// the next message after the user closed it. Messages go in as one batch
// at the next idle moment. Before the program has finished starting,
// messages are only cached; start-up's early exit copies the cache to
// standard error.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/edit/edit.h"
#include "windlib/handles.h"
#include "windlib/outputmanager.h"

// Runs Flush at the next idle moment of the main loop once asked to.
class EditIdleFlusher : private Idler {
 public:
  virtual void Flush() = 0;

 protected:
  void WatchIdle(bool on);

 private:
  void handleIdle(IdleNotifier*) override { Flush(); }
  bool idle_registered_ = false;
};

class EditorOutputGrabber : public OutputGrabber, public EditIdleFlusher {
 public:
  // A new grabber (not yet on any stack) whose window is titled `title`, or
  // with the default title when none is given.
  static EditorOutputGrabber* MakeEditorOutputGrabber(const char* title);
  // Start-up is over: from now on messages are shown. Makes the window of
  // every grabber that cached something. Once; without a display the
  // grabbers print on standard output instead.
  static void OrvexIsInitialized();
  static bool IsInitialized();
  // Before initialisation: writes every cached line of every grabber to
  // standard error.
  static void SpewCacheToStderr();
  // "Messages from \"prog\"".
  static const std::string& DefaultTitle();
  // Back to the state before initialisation (tests).
  static void ResetForTests();

  ~EditorOutputGrabber() override;
  bool HandleOutput(const char* text) override;
  void DiscardGrabbedStuff() override;

  // After initialisation: writes what no window has shown yet (the display
  // went, the program ends) to standard error.
  static void SpewUnshownToStderr();

  // Makes the window if needed and appends the messages that wait for the
  // next idle moment now.
  void Flush() override;
  // The view of the window while it is open, else none.
  Edit* View() const;
  const std::vector<std::string>& Cache() const { return cache_; }

 private:
  explicit EditorOutputGrabber(const char* title);
  void PutOutputIntoEditor(const char* text);
  void MakeEditorIfNecessary(bool force);
  void ReleaseFile();

  std::optional<std::string> title_;
  HandleRef window_;      // the editor window, weakly
  Edit* view_ = nullptr;  // its view; valid while window_ is alive
  File* file_ = nullptr;  // the internal file the window shows
  std::vector<std::string> cache_;
  std::string pending_;     // waits for the next batch
  bool open_line_ = false;  // the window's last line waits for its line end
  bool flushing_ = false;
};

// Appends `text` at the end of the view's file and shows it; `open_line`
// carries whether the last message ended without a line end.
void EditAppendMessages(Edit* e, const std::string& text, bool* open_line);
// An internal file for a message window, titled `title`, without undo, in
// the file list while a window shows it.
File* EditMessageFile(const std::string& title);
// Frees a message file that no view shows any more.
void EditReleaseMessageFile(File* file);

// Hears every file's messages: one that no view shows (the file has no
// message view) goes to the message output instead of being lost.
class EditOrphanMessages : public FileObserver {
 public:
  void FileMessage(File* f, const char* text) override;
};
