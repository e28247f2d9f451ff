// A view's search state and one search step: where it starts, the matcher
// flags, the status line, and what a found or failed step leaves behind.
#include "windlib/edit/editsearch.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "windlib/config/configoptions.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/editsearcher.h"
#include "windlib/file/filesearch.h"
#include "windlib/handles.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wgui.h"

namespace {
std::string& last_search() {
  static auto* text = new std::string;  // outlives every view
  return *text;
}

// The selection ordered: begin before end.
TextRange ordered(const Edit* e) {
  return EditSelectionRange(e).normalized();
}

// The position one column before `p`: the end of the previous line at
// column 0 (the first line keeps column 0).
TextPos before(Edit* e, TextPos p) {
  if (p.col > 0) return {p.line, p.col - 1};
  if (p.line <= 1) return p;
  return {p.line - 1, EditLineLength(e, p.line - 1)};
}

// While a long search runs, pending events are served (Escape or Abort may
// arrive among them); true when the view's search was asked to give up.
struct AbortWatch {
  Edit* edit;
  HandleRef alive;
  File* file;  // the file searched
};
bool poll_abort(void* arg) {
  auto* watch = static_cast<AbortWatch*>(arg);
  WEventAll(0);
  // A view that went, or shows another file now, has nothing left to find.
  if (!watch->alive.alive() || watch->edit->file != watch->file) return true;
  _SearchAble* s = EditSearchStateIf(watch->edit);
  return s && s->has(ssAbort);
}

// Runs the matcher once from `from`; the match in *found.
int find_once(Edit* e, _SearchAble* s, TextPos from, bool from_edge, int flags, TextRange* found) {
  int32_t line = from.line, col = from.col, end_line = 0, end_col = 0;
  AbortWatch watch{e, HandleRef(30, e), e->file};
  SrchAbort abort{poll_abort, &watch};
  // The matcher works on a copy: events served meanwhile may change the string.
  const std::string pattern = s->string;
  int r = FileFind(e->file, e->TopLine(), e->topLineNo, &line, &col, &end_line, &end_col,
                   s->has(ssForward) ? 1 : -1, from_edge, pattern.data(),
                   static_cast<int32_t>(pattern.size()), flags, &abort);
  if (r == 1) *found = TextRange{{line, col}, {end_line, end_col}};
  return r;
}

// Marks every match of the string on the rows shown, so that the user sees
// where the search would go next.
void mark_visible(Edit* e, const std::string& pattern, int flags) {
  std::vector<TextRange> marks;
  const int32_t last = std::min(e->file->nLines, e->topLineNo + e->rows() - 1);
  Line* l = EditLineAt(e, e->topLineNo);
  for (int32_t n = e->topLineNo; l && n <= last; l = l->next, ++n) {
    int32_t col = 0;
    while (col <= l->len) {
      int32_t spanned = 0, end = 0;
      int32_t at = FMatchesHere(e->file, l, col, pattern.data(),
                                static_cast<int32_t>(pattern.size()), &spanned, &end, flags);
      if (at == kSrchMalformed) return;
      if (at < 0) break;
      marks.push_back(TextRange{{n, at}, {n + spanned, end}});
      if (spanned > 0) break;  // the rest of the line is inside the match
      col = std::max(end, at + 1);
    }
  }
  EditSetSearchMatches(e, std::move(marks));
}
}  // namespace

void EditSearchShow(Edit* edit, const std::string& text, bool ring) {
  EditSetMsg(edit, text.c_str(), ring);
  if (ring) WBell();
  if (_SearchAble* s = EditSearchStateIf(edit); s && s->searcher) SearcherMirror(s->searcher);
}

std::string SearchText(std::string_view name) {
  std::string_view text = cfg_TextOption(name);
  return std::string(text);
}

_SearchAble* EditSearchStateIf(const Edit* edit) {
  return edit->searchState.get();
}

_SearchAble* EditSearchState(Edit* edit) {
  if (!edit->searchState) {
    edit->searchState = std::make_shared<_SearchAble>();
    edit->searchState->set(ssIgnoreCase, !vfExactCase);
  }
  return edit->searchState.get();
}

void SearchStringChanged(_SearchAble* s) {
  s->set(ssHasCapital, std::any_of(s->string.begin(), s->string.end(), [](char c) {
           return std::isupper(static_cast<unsigned char>(c));
         }));
}

void EditSetLastSearch(const char* text, int32_t len) {
  std::string& last = last_search();
  last.reserve(static_cast<size_t>(len) + 21);
  last.assign(text, static_cast<size_t>(len));
}

const std::string& EditLastSearch() {
  return last_search();
}

int SearchFlags(const _SearchAble* s, bool dialog) {
  int flags = 0;
  bool ignore = s->has(ssIgnoreCase);
  if (vfSmartCase) ignore = ignore && !s->has(ssHasCapital);
  if (!ignore) flags |= kSrchCase;
  if (s->has(ssWildcard)) flags |= kSrchWild;
  if (dialog && s->has(ssRegex)) flags |= kSrchRegex;
  if (s->has(ssWordStart)) flags |= kSrchWordStart;
  if (s->has(ssLineStart)) flags |= kSrchLineStart;
  if (dialog && s->has(ssWordEnd)) flags |= kSrchWordEnd;
  if (dialog && s->has(ssLineEnd)) flags |= kSrchLineEnd;
  return flags;
}

std::string EditSearchStatus(Edit* edit, bool dialog) {
  _SearchAble* s = EditSearchState(edit);
  if (s->has(ssGotoLine)) return "Goto Line: " + s->string;
  const int flags = SearchFlags(s, dialog);
  const char* label = "status.srch";
  if (flags & kSrchRegex)
    label = "status.srchre";
  else if (flags & kSrchWild)
    label = "status.srchwild";
  else if (flags & (kSrchWordStart | kSrchWordEnd))
    label = "status.srchword";
  else if (flags & (kSrchLineStart | kSrchLineEnd))
    label = "status.srchline";
  std::string text = SearchText(label);
  if (!s->string.empty() && !s->has(ssFresh)) {
    text += ' ';
    text.append(s->string, 0, 40);  // at most 40 bytes of the search text
  }
  if (s->has(ssFailed)) text += SearchText("status.failed");
  return text;
}

int EditStartSearch(Edit* edit, int step, bool dialog) {
  _SearchAble* s = EditSearchState(edit);
  if (!edit->file) return 0;
  if (s->has(ssRunning)) {
    // Served by the search that runs, once it ends.
    if (s->pending < 0xffff) ++s->pending;
    EditSearchShow(edit, SearchText("status.srchsrch"), false);
    return -1;
  }
  s->pending = 0;  // counted only while a search runs
  if (step == kStepGrow && s->has(ssFailed)) {
    // A longer string cannot be found where the shorter one was not.
    EditSearchShow(edit, EditSearchStatus(edit, dialog), true);
    return 0;
  }
  if (s->string.empty() && s->has(ssFresh)) {
    s->string = EditLastSearch();
    SearchStringChanged(s);
  }
  if (s->string.empty()) {
    EditSearchShow(edit, EditSearchStatus(edit, dialog), false);
    return 0;
  }
  HandleRef alive(30, edit);
  int r;
  TextRange found;
  do {
    const TextRange sel = ordered(edit);
    const bool forward = s->has(ssForward);
    TextPos from;
    if (forward)
      from = step == kStepGrow ? sel.begin : sel.end;
    else
      from = step == kStepGrow ? sel.end : before(edit, sel.begin);
    const bool from_edge = s->has(ssWrap);
    s->set(ssRunning | ssAbort, false);
    s->set(ssRunning, true);
    File* searched = edit->file;
    r = find_once(edit, s, from, from_edge, SearchFlags(s, dialog), &found);
    if (!alive.alive()) return -1;
    if (edit->file != searched) r = -1;
    s->set(ssRunning, false);
    if (r == 1) {
      // Anchor at the start, caret at the end.
      EditSetSelection(edit, found.begin.line, found.begin.col, found.end.line, found.end.col);
      edit->goalColumn = -1;
      edit->ShowCaret();
    }
    s->set(ssWrap | ssFailed, r == 0);
    step = kStepNew;  // pending requests repeat the search
  } while (r == 1 && s->pending > 0 && (--s->pending, true));
  s->pending = 0;
  if (r < 0) {
    if (s->has(ssAbort)) EditSearchShow(edit, SearchText("status.srchabrt"), false);
    s->set(ssAbort, false);
    return -1;
  }
  if (r == 1 && !dialog) {
    EditSetLastSearch(s->string.data(), static_cast<int32_t>(s->string.size()));
    mark_visible(edit, s->string, SearchFlags(s, false));
  }
  EditSearchShow(edit, EditSearchStatus(edit, dialog), r == 0);
  return r;
}

void EditAbortSearch(Edit* edit) {
  if (_SearchAble* s = EditSearchStateIf(edit); s && s->has(ssRunning)) s->set(ssAbort, true);
}
