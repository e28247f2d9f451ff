// The Searcher dialog of a view: options, the search and replacement
// fields, and the buttons Find, Replace, "Replace Then Find", "Find Then
// Replace", "Replace All", Undo and Close. What the buttons do works on the
// view's search state alone, so that it runs the same without the window.
#pragma once

#include <memory>
#include <string>

#include "windlib/edit/editsearch.h"
#include "windlib/handles.h"
#include "windlib/x11/wbutton.h"
#include "windlib/x11/wentry.h"
#include "windlib/x11/wtopwindow.h"

// What the buttons do, on the view's search state (string, replacement,
// options). Each returns 1 when it found or replaced, else 0.
int SearcherFind(Edit* edit);
int SearcherReplace(Edit* edit);
int SearcherReplaceThenFind(Edit* edit);
int SearcherFindThenReplace(Edit* edit);
int SearcherReplaceAll(Edit* edit);

class SearcherWindow : public WTopWindow {
 public:
  // The option buttons: each shows its state and changes it when pressed.
  enum Option { kCase, kMode, kWordStart, kWordEnd, kLineStart, kLineEnd, kDirection, kOptions };
  // The action buttons, in the order shown.
  enum Action {
    kFind,
    kReplace,
    kReplaceThenFind,
    kFindThenReplace,
    kReplaceAll,
    kUndo,
    kClose,
    kActions
  };

  explicit SearcherWindow(Edit* edit);
  ~SearcherWindow() override;

  Edit* edit() const { return alive_.alive() ? edit_ : nullptr; }
  WEntry* searchField() const { return search_; }
  WEntry* replaceField() const { return replace_; }
  WButton* option(Option o) const { return options_[o]; }
  WButton* action(Action a) const { return actions_[a]; }
  const std::string& messageLine() const { return message_; }

  // Shows the view's string and status.
  void Mirror();
  // Presses an action button (as a click does).
  void Press(Action a);

  bool Close() override;
  bool HandleEvent(WEvent& e) override;

 private:
  void Toggle(Option o);
  void RefreshLabels();
  // The fields go into the view's search state.
  void TakeFields();
  void PlaceControls(WContainer* c);

  Edit* edit_;
  HandleRef alive_;
  std::shared_ptr<_SearchAble> state_;  // kept while the window lives
  WEntry* search_ = nullptr;
  WEntry* replace_ = nullptr;
  WLabel* search_label_ = nullptr;
  WLabel* replace_label_ = nullptr;
  WLabel* message_label_ = nullptr;
  WButton* options_[kOptions] = {};
  WButton* actions_[kActions] = {};
  std::string message_;
};

// Opens the view's Searcher (or raises it); returns it.
SearcherWindow* EditSearch(Edit* edit);
// Shows the view's string and status in its Searcher.
void SearcherMirror(SearcherWindow* window);
