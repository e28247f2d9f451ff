#include "windlib/edit/editsearcher.h"

#include <algorithm>
#include <cctype>

#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/edittype.h"
#include "windlib/file/filesearch.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wkeys.h"

namespace {
constexpr int kMargin = 8, kRowHeight = 28, kFieldLabelWidth = 90;
constexpr size_t kFieldFill = 99;  // longer values are not put into the fields

// The view's replacement put in place of the selection.
int replace_selection(Edit* edit) {
  _SearchAble* s = EditSearchState(edit);
  if (!edit->file || EditReadOnlyCheck(edit)) return 0;
  const TextPos start = EditSelectionRange(edit).normalized().begin;
  FileCloseUndo(edit->file);
  int r = EditAddChars(edit, s->replacement.data(), static_cast<int32_t>(s->replacement.size()), 0,
                       false);
  FileCloseUndo(edit->file);
  // Going backward, the next search starts before the replaced text.
  if (!s->has(ssForward)) EditMoveCaret(edit, start.line, start.col, false);
  edit->ShowCaret();
  return r == 1 ? 1 : 0;
}

std::string checked(const char* name, bool on) {
  return std::string(on ? "[x] " : "[ ] ") + SearchText(name);
}

// The file name the title shows.
std::string title_for(Edit* edit) {
  return "Searcher for " + std::string(edit->file && edit->file->name ? edit->file->name : "");
}
}  // namespace

int SearcherFind(Edit* edit) {
  _SearchAble* s = EditSearchState(edit);
  s->set(ssFresh, false);
  SearchStringChanged(s);
  return EditStartSearch(edit, kStepNew, true) == 1 ? 1 : 0;
}

int SearcherReplace(Edit* edit) {
  return replace_selection(edit);
}

int SearcherReplaceThenFind(Edit* edit) {
  if (!replace_selection(edit)) return 0;
  return SearcherFind(edit);
}

int SearcherFindThenReplace(Edit* edit) {
  if (!SearcherFind(edit)) return 0;
  return replace_selection(edit);
}

int SearcherReplaceAll(Edit* edit) {
  _SearchAble* s = EditSearchState(edit);
  File* f = edit->file;
  if (!f || s->string.empty() || EditReadOnlyCheck(edit)) return 0;
  SearchStringChanged(s);
  const TextRange keep = EditSelectionRange(edit);
  EditSearchShow(edit, SearchText("status.replacing") + " " + s->string, false);
  int32_t line = 1, col = 0, first_changed = 0;
  FileCloseUndo(f);
  int r = FileReplaceAll(f, &line, &col, s->string.data(), static_cast<int32_t>(s->string.size()),
                         s->replacement.data(), static_cast<int32_t>(s->replacement.size()),
                         SearchFlags(s, true), &first_changed);
  FileCloseUndo(f);
  // The selection goes back where it was, as far as the text still reaches.
  auto clamp = [&](TextPos p) {
    p.line = std::clamp(p.line, 1, f->nLines + 1);
    p.col = p.line > f->nLines ? 0 : std::min(p.col, EditLineLength(edit, p.line));
    return p;
  };
  TextPos a = clamp(keep.begin), b = clamp(keep.end);
  EditSetSelection(edit, a.line, a.col, b.line, b.col);
  s->set(ssFailed | ssWrap, r != 1);
  if (r == 1)
    EditSearchShow(edit, "", false);
  else if (r == 0)
    EditSearchShow(edit, EditSearchStatus(edit, true), true);
  s->set(ssFailed, false);
  return r == 1 ? 1 : 0;
}

SearcherWindow::SearcherWindow(Edit* edit)
    : WTopWindow(title_for(edit), 560, 8 * kRowHeight,
                 [] {
                   WTopWindowOptions o;
                   o.listed = false;
                   return o;
                 }()),
      edit_(edit),
      alive_(30, edit),
      state_(edit->searchState) {
  _SearchAble* s = state_.get();
  s->searcher = this;
  WContainer* c = client();
  search_label_ = new WLabel(c, SearchText("button.find"));
  search_ = new WEntry(c, s->string.size() < kFieldFill ? s->string : "");
  replace_label_ = new WLabel(c, SearchText("button.replace"));
  replace_ = new WEntry(c, s->replacement.size() < kFieldFill ? s->replacement : "");
  search_->SetOnActivate([this](WEntry*) { Press(kFind); });
  replace_->SetOnActivate([this](WEntry*) { Press(kReplace); });
  for (int o = 0; o < kOptions; ++o)
    options_[o] = new WButton(c, "", [this, o] { Toggle(static_cast<Option>(o)); });
  static const char* const kLabels[kActions] = {
      "Find",          "button.replace", "button.rplthenfind", "button.findthenrpl",
      "button.allrpl", "button.undo",    "button.close"};
  for (int a = 0; a < kActions; ++a) {
    std::string label = a == kFind ? "Find" : SearchText(kLabels[a]);
    if (a == kReplace && !label.empty() && label.back() == ':') label.pop_back();
    actions_[a] = new WButton(c, label, [this, a] { Press(static_cast<Action>(a)); });
  }
  message_label_ = new WLabel(c, "");
  c->SetLayout([this](WContainer* box) { PlaceControls(box); });
  RefreshLabels();
  message_ = edit->message;
  message_label_->SetText(message_);
}

SearcherWindow::~SearcherWindow() {
  if (state_ && state_->searcher == this) state_->searcher = nullptr;
}

void SearcherWindow::PlaceControls(WContainer* c) {
  const int w = c->bounds().width;
  int y = kMargin;
  const int field_w = std::max(40, w - kFieldLabelWidth - 3 * kMargin);
  search_label_->SetGeometry(WRect{kMargin, y + 6, kFieldLabelWidth, kRowHeight - 6});
  search_->SetGeometry(WRect{kMargin * 2 + kFieldLabelWidth, y, field_w, kRowHeight - 4});
  y += kRowHeight;
  replace_label_->SetGeometry(WRect{kMargin, y + 6, kFieldLabelWidth, kRowHeight - 6});
  replace_->SetGeometry(WRect{kMargin * 2 + kFieldLabelWidth, y, field_w, kRowHeight - 4});
  y += kRowHeight + kMargin / 2;
  // Options in two rows: case, mode, direction; then the four anchors.
  const int third = (w - 4 * kMargin) / 3, quarter = (w - 5 * kMargin) / 4;
  const Option first_row[] = {kCase, kMode, kDirection};
  for (int i = 0; i < 3; ++i)
    options_[first_row[i]]->SetGeometry(
        WRect{kMargin + i * (third + kMargin), y, third, kRowHeight - 4});
  y += kRowHeight;
  const Option anchors[] = {kWordStart, kWordEnd, kLineStart, kLineEnd};
  for (int i = 0; i < 4; ++i)
    options_[anchors[i]]->SetGeometry(
        WRect{kMargin + i * (quarter + kMargin), y, quarter, kRowHeight - 4});
  y += kRowHeight + kMargin / 2;
  // Actions in two rows.
  const Action row1[] = {kFind, kReplace, kReplaceThenFind, kFindThenReplace};
  const Action row2[] = {kReplaceAll, kUndo, kClose};
  for (int i = 0; i < 4; ++i)
    actions_[row1[i]]->SetGeometry(
        WRect{kMargin + i * (quarter + kMargin), y, quarter, kRowHeight - 4});
  y += kRowHeight;
  for (int i = 0; i < 3; ++i)
    actions_[row2[i]]->SetGeometry(
        WRect{kMargin + i * (third + kMargin), y, third, kRowHeight - 4});
  y += kRowHeight;
  message_label_->SetGeometry(WRect{kMargin, y, w - 2 * kMargin, kRowHeight});
}

void SearcherWindow::RefreshLabels() {
  const _SearchAble* s = state_.get();
  options_[kCase]->SetLabel(SearchText("button.case") + " " +
                            SearchText(s->has(ssIgnoreCase) ? "button.either" : "button.exact"));
  const char* mode = s->has(ssRegex)      ? "button.re"
                     : s->has(ssWildcard) ? "button.wildcards"
                                          : "button.normal";
  options_[kMode]->SetLabel(SearchText("button.searchtype") + " " + SearchText(mode));
  options_[kDirection]->SetLabel(
      SearchText(s->has(ssForward) ? "button.forward" : "button.backward"));
  options_[kWordStart]->SetLabel(checked("button.startsword", s->has(ssWordStart)));
  options_[kWordEnd]->SetLabel(checked("button.endsword", s->has(ssWordEnd)));
  options_[kLineStart]->SetLabel(checked("button.startsline", s->has(ssLineStart)));
  options_[kLineEnd]->SetLabel(checked("button.endsline", s->has(ssLineEnd)));
}

void SearcherWindow::Toggle(Option o) {
  _SearchAble* s = state_.get();
  switch (o) {
    case kCase:
      s->set(ssIgnoreCase, !s->has(ssIgnoreCase));
      break;
    case kMode:
      // Normal, wildcards, regular expressions, round again.
      if (s->has(ssRegex))
        s->set(ssRegex, false);
      else if (s->has(ssWildcard))
        s->set(ssWildcard, false), s->set(ssRegex, true);
      else
        s->set(ssWildcard, true);
      break;
    case kWordStart:
      s->set(ssWordStart, !s->has(ssWordStart));
      break;
    case kWordEnd:
      s->set(ssWordEnd, !s->has(ssWordEnd));
      break;
    case kLineStart:
      s->set(ssLineStart, !s->has(ssLineStart));
      break;
    case kLineEnd:
      s->set(ssLineEnd, !s->has(ssLineEnd));
      break;
    case kDirection:
      s->set(ssForward, !s->has(ssForward));
      break;
    case kOptions:
      break;
  }
  // A changed search starts afresh from where the cursor is.
  s->set(ssWrap | ssFailed, false);
  RefreshLabels();
}

void SearcherWindow::TakeFields() {
  _SearchAble* s = state_.get();
  const std::string& typed = search_->text();
  if (typed != s->string) {
    s->string = typed.substr(0, _SearchAble::kMaxString);
    s->set(ssWrap | ssFailed, false);
  }
  s->replacement = replace_->text();
}

void SearcherWindow::Press(Action a) {
  Edit* e = edit();
  if (!e) {
    // The view went: nothing is left to search in.
    Destroy();
    return;
  }
  HandleRef self(kWindowHandleType, static_cast<WWindow*>(this));
  TakeFields();
  switch (a) {
    case kFind:
      SearcherFind(e);
      break;
    case kReplace:
      SearcherReplace(e);
      break;
    case kReplaceThenFind:
      SearcherReplaceThenFind(e);
      break;
    case kFindThenReplace:
      SearcherFindThenReplace(e);
      break;
    case kReplaceAll:
      SearcherReplaceAll(e);
      break;
    case kUndo:
      EditCli(e, "Undo");
      break;
    case kClose:
      Close();
      return;
    case kActions:
      break;
  }
  if (self.alive()) Mirror();
}

void SearcherWindow::Mirror() {
  Edit* e = edit();
  if (!e) return;
  // The view may show another file by now.
  if (std::string t = title_for(e); t != title()) SetTitle(t);
  const std::string& text = state_->string;
  if (search_->text() != text) search_->SetText(text);
  if (message_ != e->message) {
    message_ = e->message;
    message_label_->SetText(message_);
  }
}

bool SearcherWindow::Close() {
  Destroy();
  return true;
}

bool SearcherWindow::HandleEvent(WEvent& e) {
  if (e.kind == WEventKind::CloseRequest) return Close();
  if (e.kind == WEventKind::KeyDown) {
    switch (e.key) {
      case WK_Escape:
        return Close();
      case WK_Tab:
      case WK_ISO_Left_Tab:
        FocusNext(e.key == WK_ISO_Left_Tab || (e.modifiers & WModShift));
        return true;
      default:
        break;
    }
  }
  return WTopWindow::HandleEvent(e);
}

SearcherWindow* EditSearch(Edit* edit) {
  _SearchAble* s = EditSearchState(edit);
  SearcherWindow* w = s->searcher;
  if (w) {
    w->Raise();
  } else {
    w = new SearcherWindow(edit);
    w->Show();
  }
  // Typing goes into the search string, replacing what it holds.
  w->searchField()->Focus();
  w->searchField()->SelectAll();
  return w;
}

void SearcherMirror(SearcherWindow* window) {
  if (window) window->Mirror();
}

namespace {
int CmdSearch(void* object, CmdInfo*) {
  EditSearch(EditOf(object));
  return 1;
}

const CmdEntry kCommands[] = {
    {"Search", CmdSearch, 0},
};
}  // namespace

EditCmdSet EditSearcherCmds() {
  return {kCommands, {}};
}
