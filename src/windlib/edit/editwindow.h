// The editor window ("EditWin"): a top-level window with the menu bar
// "EditMenuBar", the status line and one view.
#pragma once

#include <memory>
#include <string>

#include "windlib/edit/edit.h"
#include "windlib/x11/wtopwindow.h"

class EditWindow : public WTopWindow {
 public:
  // A window on `file` at `line`; width and height in pixels (-1: from the
  // view's preferred size). A `colour` number that is not negative gives the
  // window's input-area colour index (modulo 8); a negative one keeps the
  // background.
  EditWindow(File* file, int32_t line, bool readOnly, int width = -1, int height = -1,
             int colour = -2);
  ~EditWindow() override;

  Edit* edit() const { return edit_; }
  // Title and icon name from the view's file.
  void RefreshTitle();
  // The status line's line field ("%d", "EOF", ...).
  const std::string& lineField() const { return line_field_; }
  void SetLineField(const std::string& text) { line_field_ = text; }

  bool Close() override;
  bool HandleEvent(WEvent& e) override;

 private:
  void BuildMenuBar();
  Edit* edit_;
  std::string line_field_;
};

class WMenu;
// Makes the "Language" menu of a new window, when the language layer is
// there to install it.
extern std::shared_ptr<WMenu> (*EditWindowLanguageMenuHook)(EditWindow* window);

// Every editor window, oldest first.
const std::vector<EditWindow*>& EditWindows();
// The title a window shows for a file ("Editor" with switch 94).
std::string EditTitleFor(File* f);
// Runs when a view is about to close: the close request callbacks and the
// question for files whose changes would be lost. False: keep it.
bool EditMayClose(Edit* edit);
