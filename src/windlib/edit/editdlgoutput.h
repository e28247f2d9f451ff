// The message dialog: an output grabber that shows messages in a small
// window with a read-only text holder and two toggles. "Keep" pins the
// dialog: a pinned dialog stays where it is when messages arrive, an
// unpinned one is raised for each. "Hide" stops the dialog from coming up
// at all; messages are still collected and ShowCachedWarningsInDlg shows
// every one of them. Before start-up is over messages are only collected.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "windlib/edit/edit.h"
#include "windlib/edit/editoutput.h"
#include "windlib/handles.h"
#include "windlib/outputmanager.h"

class WButton;
class WTopWindow;

class EditDlgOutputGrabber : public OutputGrabber, public EditIdleFlusher {
 public:
  // A new grabber (not yet on any stack) whose dialog is titled `title`, or
  // with the default title when none is given.
  static EditDlgOutputGrabber* MakeEditDlgOutputGrabber(const char* title);
  // Start-up is over: opens the dialog of every grabber when messages were
  // collected. Once; without a display messages go to standard output.
  static void OrvexIsInitialized();
  static bool IsInitialized();
  // Before initialisation: writes every collected message to standard error.
  static void SpewCacheToStderr();
  // Opens a new dialog, pinned, with every message collected so far, even
  // when the hide toggle is set.
  static void ShowCachedWarningsInDlg();
  // "Messages from prog".
  static const std::string& DefaultTitle();
  // Every non-empty message handled, in order.
  static const std::vector<std::string>& CachedOutput();
  static bool DontBringItUp();
  // Back to the state before initialisation (tests).
  static void ResetForTests();

  ~EditDlgOutputGrabber() override;
  bool HandleOutput(const char* text) override;
  void DiscardGrabbedStuff() override;

  // Fills the dialog with what waits for the next idle moment now.
  void Flush() override;

  // The dialog's toggles, as a click on them: the pin of this dialog, and
  // the hide toggle that all dialogs share.
  void PressTackButton();
  void PressHideButton();
  bool Kept() const { return kept_; }
  // The dialog while it is open, and its text holder.
  WTopWindow* Dialog() const;
  Edit* View() const;

 private:
  explicit EditDlgOutputGrabber(const char* title);
  void OpenEditMessageDlg(bool force);
  void PutIntoDialog(const std::string& text);
  void RefreshLabels();

  std::optional<std::string> title_;
  HandleRef dialog_;  // weakly
  WTopWindow* dialog_ptr_ = nullptr;
  Edit* text_ = nullptr;
  WButton* keep_button_ = nullptr;
  WButton* hide_button_ = nullptr;
  File* file_ = nullptr;  // the text holder's internal file
  bool kept_ = false;
  bool open_line_ = false;
  std::string pending_;  // waits for the next idle moment
};
