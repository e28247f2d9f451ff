// The file chooser: the current directory, a list of its subdirectories and
// of the files that match the filter, a field for a typed path, and the
// filter field. Returning on a directory enters it; on a pattern, makes it
// the filter; on anything else, chooses that path (which need not exist).
//
// Given a preset of file types, the chooser also offers a type pulldown: the
// preset's default type first, its other types, then further named types.
// Choosing a type filters the list by the type's patterns; a path chosen
// with a type of the preset in effect makes that type the preset's default.
// Without a type to offer there is no pulldown.
#pragma once

#include <string>
#include <vector>

#include "windlib/x11/wdialog.h"
#include "windlib/x11/wfilelist.h"

class WList;
class WPulldown;

class WFileChooserDialog : public WDialog {
 public:
  // Results: 0 chosen, 1 cancelled.
  WFileChooserDialog(const std::string& title, const std::string& directory,
                     const std::string& filter, const std::string& initial,
                     const std::string& preset = "", const std::vector<std::string>& types = {});

  // One entry of the type pulldown.
  struct TypeChoice {
    std::string name;
    std::vector<std::string> patterns;
  };

  const std::string& directory() const { return directory_; }
  const std::string& filter() const { return filter_; }
  // The absolute path chosen (valid after a result of 0).
  const std::string& chosenPath() const { return chosen_; }
  WEntry* pathEntry() const { return path_; }
  WEntry* filterEntry() const { return filter_entry_; }
  WList* list() const { return list_; }
  // None when no type is offered.
  WPulldown* typePulldown() const { return type_pulldown_; }
  const std::vector<TypeChoice>& typeChoices() const { return types_; }
  // The name of the type in effect, or "" when none is.
  std::string fileType() const;
  const std::vector<WFileEntry>& entries() const { return entries_; }

  // Shows `dir` (false and a message in the dialog when it cannot be read).
  bool ChangeDirectory(const std::string& dir);
  // What Return in the path field or OK does with the typed text.
  void Accept();
  // Puts the type at `index` of the pulldown in effect: its patterns become
  // the filter.
  void ChooseType(int index);
  // Filters the list by `filter`. Unless it is the filter of the type in
  // effect, no type is in effect any more (the pulldown shows "Custom").
  void SetFilter(const std::string& filter);

 private:
  void Refresh();
  void ActivateRow(int row);

  std::string directory_, filter_, chosen_, preset_;
  std::vector<TypeChoice> types_;
  int type_ = -1;  // index into types_ of the type in effect
  WPulldown* type_pulldown_ = nullptr;
  std::vector<WFileEntry> entries_;
  WLabel* dir_label_;
  WLabel* message_;
  WList* list_;
  WEntry* path_;
  WEntry* filter_entry_;
};
