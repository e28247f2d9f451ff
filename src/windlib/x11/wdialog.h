// Modal dialogs: a dialog window runs its own event loop (each round inside
// its own recovery point) until it ends with a result. The alert, the
// prompt and the file chooser answer the questions of WAsk when a display
// is open.
#pragma once

#include <string>
#include <vector>

#include "windlib/wdisplay.h"
#include "windlib/x11/wbutton.h"
#include "windlib/x11/wentry.h"
#include "windlib/x11/wtopwindow.h"

class WDialog : public WTopWindow {
 public:
  WDialog(const std::string& title, int width, int height);

  // Shows the dialog above the active window and serves events until
  // EndModal; returns its result. Input to other windows is refused
  // meanwhile. Without a display the loop ends with the cancel value once
  // nothing is left that could answer (no posted events, no timers, no
  // descriptors).
  int RunModal();
  void EndModal(int result);
  bool running() const { return running_; }
  // The result of Escape and of the window manager's close button.
  void SetCancelValue(int value) { cancel_ = value; }
  int cancelValue() const { return cancel_; }
  // Return anywhere in the dialog presses this button.
  void SetDefaultButton(WButton* button);
  WButton* defaultButton() const { return default_; }
  // A row of buttons along the bottom right; button i ends the dialog with i.
  std::vector<WButton*> AddButtonRow(const std::vector<std::string>& labels);

  const std::vector<WButton*>& buttons() const { return buttons_; }
  WButton* buttonAt(int i) const { return buttons_[static_cast<size_t>(i)]; }

  bool Close() override;
  bool HandleEvent(WEvent& e) override;

 protected:
  static constexpr int kMargin = 12;
  std::vector<WButton*> buttons_;

 private:
  bool running_ = false;
  int result_ = 0;
  int cancel_ = -1;
  WButton* default_ = nullptr;
};

// A message with any list of buttons; the result is the index of the button.
class WAlertDialog : public WDialog {
 public:
  WAlertDialog(const std::string& title, const std::string& text,
               const std::vector<std::string>& buttons, int default_button);
  WLabel* label() const { return label_; }

 private:
  WLabel* label_;
};

// A question with a one-line answer; OK (0) or Cancel (1).
class WPromptDialog : public WDialog {
 public:
  WPromptDialog(const std::string& title, const std::string& text, const std::string& initial);
  WEntry* entry() const { return entry_; }

 private:
  WEntry* entry_;
};

// Registers the dialogs as the display's answer to WAsk.
void WInstallDialogs();
// Answers one request with the dialogs (what WAsk does with a display).
WAskReply WAskWithDialogs(const WAskRequest& request);
