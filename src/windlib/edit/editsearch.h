// Searching in a view: the view's search state, the incremental search that
// grows its match as the user types, the goto-line mode that reuses it, and
// one search step shared with the Searcher dialog.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "windlib/edit/edit.h"

class SearcherWindow;

// Flag bits of a view's search state.
enum SearchStateFlag : uint32_t {
  ssActive = 0x1,   // an incremental search is on ("searching")
  ssForward = 0x2,  // the direction ("fsearch"; else "bsearch")
  ssWrap = 0x4,     // the last step failed: the next starts at the file's edge
  ssIgnoreCase = 0x8,
  ssWildcard = 0x10,
  ssRegex = 0x20,
  ssRunning = 0x40,  // a search is in progress
  ssFresh = 0x80,    // nothing typed yet in this incremental search
  ssWordStart = 0x100,
  ssWordEnd = 0x200,
  ssLineStart = 0x400,
  ssLineEnd = 0x800,
  ssGotoLine = 0x1000,  // the goto-line mode
  ssFailed = 0x2000,    // the last step found nothing
  ssAbort = 0x4000,     // an abort was requested
  ssHasCapital = 0x8000,
};

// The search state of one view, made with the view on first use.
struct _SearchAble {
  // Where a match stood before characters were added to the string, and
  // how many were added there.
  struct Backup {
    int32_t line, column, count;
  };
  static constexpr size_t kMaxString = 0xffff;  // the length is a 16-bit count

  std::string string;       // the search string
  std::string replacement;  // the Searcher's replacement text
  uint16_t pending = 0;     // requests that arrived while a search ran
  SearcherWindow* searcher = nullptr;
  std::vector<Backup> backups;
  int32_t saved_line = 1, saved_column = 0, saved_scroll = 1;
  uint32_t flags = ssForward;

  bool has(uint32_t bits) const { return (flags & bits) != 0; }
  void set(uint32_t bits, bool on) { flags = on ? (flags | bits) : (flags & ~bits); }
};

// The view's search state (made on first use, case as "exactcase" says).
_SearchAble* EditSearchState(Edit* edit);
// The search state when the view has one, else none.
_SearchAble* EditSearchStateIf(const Edit* edit);

// After the string changed: notes whether it holds a capital letter.
void SearchStringChanged(_SearchAble* s);

// The last successful search string, program-wide.
void EditSetLastSearch(const char* text, int32_t len);
const std::string& EditLastSearch();

// The matcher flags of a step: `dialog` for a Searcher search (regular
// expressions and end anchors only apply there).
int SearchFlags(const _SearchAble* s, bool dialog);
// The status text of the search: label and the first 40 bytes.
std::string EditSearchStatus(Edit* edit, bool dialog);

// Kinds of search step.
enum SearchStep {
  kStepNew = 0,   // a new or repeated search: beyond the current match
  kStepGrow = 1,  // the string grew: from the current match
};
// One search step with the view's string; `dialog` for a Searcher search.
// 1 found (the match selected), 0 not found, -1 error, abort or busy.
int EditStartSearch(Edit* edit, int step, bool dialog);

// Incremental search.
int EditISearch(Edit* edit);
int EditBackISearch(Edit* edit);
// Appends typed characters to the string and grows the match.
int EditContinueSearching(Edit* edit, const char* text, int32_t len);
int EditSearchBackspace(Edit* edit);
int EditTruncateSearch(Edit* edit);
// Ends the search leaving the match selected ("Search aborted").
int EditStopSearch(Edit* edit);
// Ends the search and puts caret and scroll back where it began.
int EditReturnISearch(Edit* edit);
// Escape during a search; false when no search is active.
bool EditSearchEscape(Edit* edit);
// Asks a running search to give up.
void EditAbortSearch(Edit* edit);
// Asks a running search to give up and ends an incremental search (the
// "Abort" command); false when there was neither.
bool EditSearchInterrupt(Edit* edit);

// The goto-line mode ("Goto Line: " and the typed text; Return goes there).
int EditEnterGotoLine(Edit* edit);
// The line a goto-line text names: "EOF", or an optional "+" / "-" and a
// number in C notation followed by nothing or "/"; clamped to 1 ... lines
// + 1. False when the text is no line number.
bool EditGotoLineNumber(std::string_view text, int32_t current, int32_t nLines, int32_t* line);
// Goes to the line a goto-line text names; "Invalid line number" when bad.
int EditGoto(Edit* edit, std::string_view text);

// Shows a search message in the view's status line and its Searcher; with
// `ring` the bell sounds.
void EditSearchShow(Edit* edit, const std::string& text, bool ring);
// The GoTo dialog: asks for a line and goes there.
int EditGotoDialog(Edit* edit);

// A replaceable text of the search ("status.srch", "button.find", ...).
std::string SearchText(std::string_view name);
