// The incremental search and the goto-line mode: a modal operation of the
// view that takes typed text, Tab and Backspace into the search string,
// and the commands that start, repeat, shorten and end it.
#include <cctype>
#include <memory>
#include <string>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editsearch.h"
#include "windlib/edit/edittype.h"
#include "windlib/file/undo.h"
#include "windlib/handles.h"
#include "windlib/wdisplay.h"

namespace {
void show(Edit* e, const std::string& text) {
  EditSearchShow(e, text, false);
}

// How an incremental search ends.
enum class Ending {
  Quiet,   // the match stays selected, the status line is cleared
  Stop,    // the match stays selected, "Search aborted"
  Return,  // caret and scroll go back where the search began
  Goto,    // the goto-line mode goes to its line
};

// While a search is active the view offers it every command first.
class ISearchModal : public EditModal {
 public:
  bool Take(Edit* edit, const CmdEntry& entry, CmdInfo* ci, int* result) override {
    std::string_view name = entry.name;
    if (name == "\"") {
      std::string text = EditTypingText(ci->args);
      *result = EditContinueSearching(edit, text.data(), static_cast<int32_t>(text.size()));
      return true;
    }
    if (name == "Tab") {
      *result = EditContinueSearching(edit, "\t", 1);
      return true;
    }
    if (name == "Backspace") {
      *result = EditSearchBackspace(edit);
      return true;
    }
    return false;
  }
  bool TakeText(Edit* edit, const std::string& text) override {
    EditContinueSearching(edit, text.data(), static_cast<int32_t>(text.size()));
    return true;
  }
  // Another command stops the search: the goto-line mode is abandoned, a
  // search keeps its match.
  void End(Edit* edit) override {
    _SearchAble* s = EditSearchState(edit);
    if (!s->has(ssActive)) return;  // ended by the search's own command
    if (s->has(ssGotoLine)) {
      s->set(ssActive | ssGotoLine | ssFailed | ssWrap, false);
      s->pending = 0;
      s->backups.clear();
      show(edit, "Goto Line aborted");
      return;
    }
    finish_state(edit);
    show(edit, "");
  }
  // Clears what only lives while the search is active.
  static void finish_state(Edit* edit) {
    _SearchAble* s = EditSearchState(edit);
    EditAbortSearch(edit);
    s->set(ssActive | ssFailed | ssWrap | ssGotoLine, false);
    s->pending = 0;
    s->backups.clear();
    EditSetSearchMatches(edit, {});
  }
};

bool active(Edit* e) {
  _SearchAble* s = EditSearchStateIf(e);
  return s && s->has(ssActive) && EditModalOf(e);
}

void finish(Edit* e, Ending how) {
  _SearchAble* s = EditSearchState(e);
  const std::string typed = s->string;
  // The state is ended first, so that the operation's own ending finds
  // nothing left to do.
  ISearchModal::finish_state(e);
  EditEndModal(e);
  switch (how) {
    case Ending::Quiet:
      show(e, "");
      break;
    case Ending::Stop:
      show(e, SearchText("status.srchabrt"));
      break;
    case Ending::Return:
      EditMoveCaret(e, s->saved_line, s->saved_column, false);
      e->ScrollTo(s->saved_scroll);
      show(e, "");
      break;
    case Ending::Goto:
      show(e, "");
      EditGoto(e, typed);
      break;
  }
}

// Starts an incremental search (or the goto-line mode) in the view.
void begin(Edit* e, bool forward, bool goto_mode) {
  _SearchAble* s = EditSearchState(e);
  // A search or goto-line mode already on ends first, in its own way.
  EditEndModal(e);
  s->saved_line = e->caretLine;
  s->saved_column = e->caretColumn;
  s->saved_scroll = e->topLineNo;
  s->set(ssForward, forward);
  s->set(ssActive | ssFresh, true);
  s->set(ssWrap | ssFailed | ssAbort, false);
  s->set(ssGotoLine, goto_mode);
  s->backups.clear();
  s->pending = 0;
  if (goto_mode) s->string.clear();
  SearchStringChanged(s);
  EditBeginModal(e, std::make_unique<ISearchModal>());
  show(e, EditSearchStatus(e, false));
}

int search_command(Edit* e, bool forward) {
  _SearchAble* s = EditSearchState(e);
  if (s->has(ssRunning)) {
    EditStartSearch(e, kStepNew, false);  // counted as pending
    return 1;
  }
  if (!active(e) || s->has(ssGotoLine)) {
    begin(e, forward, false);
    return 1;
  }
  s->set(ssForward, forward);
  EditStartSearch(e, kStepNew, false);
  return 1;
}

int CmdISearch(void* object, CmdInfo*) {
  return EditISearch(EditOf(object));
}
int CmdBackISearch(void* object, CmdInfo*) {
  return EditBackISearch(EditOf(object));
}
int CmdStopSearch(void* object, CmdInfo*) {
  return EditStopSearch(EditOf(object));
}
int CmdReturnISearch(void* object, CmdInfo*) {
  return EditReturnISearch(EditOf(object));
}
int CmdTruncateSearch(void* object, CmdInfo*) {
  return EditTruncateSearch(EditOf(object));
}
int CmdEditLine(void* object, CmdInfo*) {
  return EditEnterGotoLine(EditOf(object));
}
int CmdGoto(void* object, CmdInfo*) {
  return EditGotoDialog(EditOf(object));
}

int CmdAbort(void* object, CmdInfo*) {
  EditSearchInterrupt(EditOf(object));
  return 1;
}

int searching(Edit* e, const std::string&) {
  return active(e);
}
int forward_search(Edit* e, const std::string&) {
  return active(e) && EditSearchState(e)->has(ssForward);
}
int backward_search(Edit* e, const std::string&) {
  return active(e) && !EditSearchState(e)->has(ssForward);
}
int wrapped_search(Edit* e, const std::string&) {
  return active(e) && EditSearchState(e)->has(ssWrap);
}

const CmdEntry kCommands[] = {
    {"ISearch", CmdISearch, 0},
    {"BackISearch", CmdBackISearch, 0},
    {"StopSearch", CmdStopSearch, 0},
    {"ReturnISearch", CmdReturnISearch, 0},
    {"TruncateSearch", CmdTruncateSearch, 0},
    {"EditLine", CmdEditLine, 0},
    {"Goto", CmdGoto, kCmdMoves},
    {"Abort", CmdAbort, 0},
};

const EditCondEntry kConditions[] = {
    {"searching", false, searching},
    {"fsearch", false, forward_search},
    {"bsearch", false, backward_search},
    {"wrapsearch", false, wrapped_search},
};
}  // namespace

EditCmdSet EditSearchCmds() {
  return {kCommands, kConditions};
}

int EditISearch(Edit* edit) {
  return search_command(edit, true);
}
int EditBackISearch(Edit* edit) {
  return search_command(edit, false);
}

int EditEnterGotoLine(Edit* edit) {
  if (!edit->file) return 1;
  begin(edit, true, true);
  return 1;
}

namespace {
// While a search runs, its string and positions stay as they are: a change
// is refused as a request arriving meanwhile.
bool busy(Edit* e) {
  if (!EditSearchState(e)->has(ssRunning)) return false;
  EditSearchShow(e, SearchText("status.srchsrch"), true);
  return true;
}
}  // namespace

int EditContinueSearching(Edit* edit, const char* text, int32_t len) {
  _SearchAble* s = EditSearchState(edit);
  if (!active(edit) || len <= 0 || busy(edit)) return 1;
  if (s->has(ssFresh)) {
    s->string.clear();
    s->backups.clear();
    s->set(ssFresh, false);
  }
  size_t room = _SearchAble::kMaxString - s->string.size();
  size_t n = std::min(room, static_cast<size_t>(len));
  if (n == 0) {
    WBell();
    return 1;
  }
  s->string.append(text, n);
  SearchStringChanged(s);
  if (s->has(ssGotoLine)) {
    show(edit, EditSearchStatus(edit, false));
    return 1;
  }
  // Where the match stands before it grows: its start going forward, its
  // end going backward.
  TextRange sel = EditSelectionRange(edit).normalized();
  TextPos at = s->has(ssForward) ? sel.begin : sel.end;
  if (!s->backups.empty() && s->backups.back().line == at.line &&
      s->backups.back().column == at.col)
    s->backups.back().count += static_cast<int32_t>(n);
  else
    s->backups.push_back({at.line, at.col, static_cast<int32_t>(n)});
  EditStartSearch(edit, kStepGrow, false);
  return 1;
}

int EditSearchBackspace(Edit* edit) {
  _SearchAble* s = EditSearchState(edit);
  if (!active(edit) || busy(edit)) return 1;
  if (s->string.empty() || s->has(ssFresh)) {
    WBell();
    return 1;
  }
  s->string.pop_back();
  SearchStringChanged(s);
  if (s->has(ssGotoLine)) {
    show(edit, EditSearchStatus(edit, false));
    return 1;
  }
  if (s->backups.empty()) return 1;
  _SearchAble::Backup b = s->backups.back();
  if (--s->backups.back().count <= 0) s->backups.pop_back();
  // Back where the match stood, searching again from there.
  s->set(ssWrap | ssFailed, false);
  EditMoveCaret(edit, b.line, b.column, false);
  if (s->string.empty()) {
    show(edit, EditSearchStatus(edit, false));
    return 1;
  }
  if (EditStartSearch(edit, kStepGrow, false) == 0) EditMoveCaret(edit, b.line, b.column, false);
  return 1;
}

int EditTruncateSearch(Edit* edit) {
  if (!active(edit)) {
    EditCmdError(edit,
                 "TruncateSearch cannot be called outsideof isearch.\nTry binding to \"if "
                 "<searching> { TruncateSearch }\" instead.");
    return 0;
  }
  if (busy(edit)) return 1;
  _SearchAble* s = EditSearchState(edit);
  s->string.clear();
  s->backups.clear();
  s->set(ssHasCapital | ssFailed | ssWrap, false);
  show(edit, EditSearchStatus(edit, false));
  return 1;
}

int EditStopSearch(Edit* edit) {
  _SearchAble* s = EditSearchState(edit);
  EditAbortSearch(edit);
  if (!active(edit)) return 1;
  finish(edit, s->has(ssGotoLine) ? Ending::Goto : Ending::Stop);
  return 1;
}

int EditReturnISearch(Edit* edit) {
  if (!active(edit)) return 1;
  if (EditSearchState(edit)->has(ssGotoLine))
    EditEndModal(edit);  // "Goto Line aborted"
  else
    finish(edit, Ending::Return);
  return 1;
}

bool EditSearchInterrupt(Edit* edit) {
  _SearchAble* s = EditSearchStateIf(edit);
  if (!s || !(active(edit) || s->has(ssRunning))) return false;
  EditAbortSearch(edit);
  if (active(edit)) {
    if (s->has(ssGotoLine))
      EditEndModal(edit);  // "Goto Line aborted"
    else
      finish(edit, Ending::Quiet);
  }
  return true;
}

bool EditSearchEscape(Edit* edit) {
  _SearchAble* s = EditSearchStateIf(edit);
  if (!s || !(active(edit) || s->has(ssRunning))) return false;
  if (s->has(ssRunning)) {
    EditAbortSearch(edit);
    if (active(edit)) finish(edit, Ending::Stop);
  } else if (s->has(ssGotoLine)) {
    EditEndModal(edit);  // "Goto Line aborted"
  } else {
    finish(edit, vfReturnOnEscape ? Ending::Return : Ending::Quiet);
  }
  return true;
}
