// What the editor does with the command line's requests.
#pragma once

#include "orvex/editor/file_arguments.h"
#include "windlib/handles.h"

struct Edit;

class EditorArgumentActions : public ArgumentActions {
 public:
  explicit EditorArgumentActions(StartupState& state) : state_(state) {}
  bool OpenHistory(const std::string& file) override;
  bool OpenCheckoutBrowser(const std::string* files) override;
  bool OpenDiff(const DiffRequest& request) override;
  bool OpenTag(const std::string& name) override;
  bool OpenFile(const std::string& file, unsigned long line, bool new_window) override;
  bool OpenDirectory(const std::string& dir) override;
  bool OpenWithHexEditor(const std::string& file) override;
  // The "Edit File" chooser in the current directory; false when no file
  // was loaded from it.
  bool OpenChooserInCurrentDirectory();

 private:
  StartupState& state_;
  Edit* first_ = nullptr;  // the window of the first file in reuse mode
  HandleRef first_handle_;
};
