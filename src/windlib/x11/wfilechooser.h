// The file chooser: the current directory, a list of its subdirectories and
// of the files that match the filter, a field for a typed path, and the
// filter field. Returning on a directory enters it; on a pattern, makes it
// the filter; on anything else, chooses that path (which need not exist).
#pragma once

#include <string>
#include <vector>

#include "windlib/x11/wdialog.h"
#include "windlib/x11/wfilelist.h"

class WList;

class WFileChooserDialog : public WDialog {
 public:
  // Results: 0 chosen, 1 cancelled.
  WFileChooserDialog(const std::string& title, const std::string& directory,
                     const std::string& filter, const std::string& initial);

  const std::string& directory() const { return directory_; }
  const std::string& filter() const { return filter_; }
  // The absolute path chosen (valid after a result of 0).
  const std::string& chosenPath() const { return chosen_; }
  WEntry* pathEntry() const { return path_; }
  WEntry* filterEntry() const { return filter_entry_; }
  WList* list() const { return list_; }
  const std::vector<WFileEntry>& entries() const { return entries_; }

  // Shows `dir` (false and a message in the dialog when it cannot be read).
  bool ChangeDirectory(const std::string& dir);
  // What Return in the path field or OK does with the typed text.
  void Accept();

 private:
  void Refresh();
  void ActivateRow(int row);

  std::string directory_, filter_, chosen_;
  std::vector<WFileEntry> entries_;
  WLabel* dir_label_;
  WLabel* message_;
  WList* list_;
  WEntry* path_;
  WEntry* filter_entry_;
};
