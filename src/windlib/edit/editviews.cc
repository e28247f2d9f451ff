// Views of files: queries, the broadcasts from the file layer, callbacks,
// messages and the status line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "windlib/edit/edit.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editsave.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wgui.h"
#include "windlib/xswitch.h"

namespace {
void for_views(File* f, void (*fn)(Edit*)) {
  for (Edit* e = f->edits; e;) {
    Edit* next = e->nextSame;
    fn(e);
    e = next;
  }
}

void on_changed(File* f, int32_t from, int32_t to, int32_t delta, Line* fromLine) {
  for (Edit* e = f->edits; e; e = e->nextSame)
    e->FileChanged(from, to, delta, fromLine, e == EditActive);
  PopsShowChange(f, from, delta);
}

void on_title(File* f, Edit* window, const char*, const char*) {
  if (window) {
    if (window->window) window->window->RefreshTitle();
    return;
  }
  for (Edit* e = f->edits; e; e = e->nextSame)
    if (e->window) e->window->RefreshTitle();
}

void on_message(File* f, const char* text) {
  if (f->msgEdit) EditSetMsg(f->msgEdit, text);
}

void on_detach(File* f) {
  while (Edit* e = f->edits) {
    f->edits = e->nextSame;
    e->nextSame = nullptr;
    e->file = nullptr;
    e->topLine = nullptr;
  }
  f->msgEdit = nullptr;
}

bool selection_of(File* f, int32_t sel[4]) {
  Edit* e = f->msgEdit ? f->msgEdit : f->edits;
  if (!e) return false;
  sel[0] = e->sel[0].start_line;
  sel[1] = e->sel[0].start_column;
  sel[2] = e->sel[0].end_line;
  sel[3] = e->sel[0].end_column;
  return true;
}

void set_selection(File* f, int32_t l1, int32_t c1, int32_t l2, int32_t c2) {
  Edit* e = f->msgEdit;
  if (!e) return;
  EditSetSelection(e, l1, c1, l2, c2);
  e->ShowCaret();
}
}  // namespace

void EditInit() {
  static bool done = false;
  if (done) return;
  done = true;
  gFileViewHooks.changed = on_changed;
  gFileViewHooks.redrawAll = [](File* f) { for_views(f, [](Edit* e) { e->RedrawAll(); }); };
  gFileViewHooks.sizeChanged = [](File* f) {
    for_views(f, [](Edit* e) { e->UpdateScrollBars(); });
  };
  gFileViewHooks.modifiedChanged = [](File* f) {
    for_views(f, [](Edit* e) { vUpdateTitle(e, false); });
  };
  gFileViewHooks.setTitle = on_title;
  gFileViewHooks.displayMsg = on_message;
  gFileViewHooks.detachWindows = on_detach;
  EditSaveInit();
  gUndoViewHooks.getSelection = selection_of;
  gUndoViewHooks.setSelection = set_selection;
}

Edit* Edit_GetEditorFromFile(File* file, Edit* except) {
  if (!file) return nullptr;
  if (!except && file->msgEdit) return file->msgEdit;
  for (Edit* e = file->edits; e; e = e->nextSame)
    if (e != except) return e;
  for (EditPop* p = file->pops; p; p = p->nextSameFile)
    if (p->owner != except) return p->owner;
  return nullptr;
}

bool FileUsedElsewhere(File* file, Edit* edit) {
  for (Edit* e = file->edits; e; e = e->nextSame)
    if (e != edit) return true;
  for (EditPop* p = file->pops; p; p = p->nextSameFile)
    if (p->owner != edit) return true;
  return false;
}

std::vector<std::string> EditGetFileNameList(Edit* edit) {
  std::vector<std::string> names;
  if (edit->file && edit->file->name) names.emplace_back(edit->file->name);
  for (EditPop* p = edit->pops; p; p = p->next)
    if (p->file->name) names.emplace_back(p->file->name);
  return names;
}

std::vector<Edit*> EditAllViews() {
  std::vector<Edit*> views;
  for (File* f = FileHead(); f; f = f->next)
    for (Edit* e = f->edits; e; e = e->nextSame) views.push_back(e);
  for (EditWindow* w : EditWindows())
    if (w->edit() && !w->edit()->file) views.push_back(w->edit());
  return views;
}

// ---- Callbacks ----------------------------------------------------------------

void EditAddCallback(Edit* edit, int set, EditCallback fn) {
  auto& v = edit->callbacks[set];
  if (std::find(v.begin(), v.end(), fn) == v.end()) v.push_back(fn);
}

void EditRemoveCallback(Edit* edit, int set, EditCallback fn) {
  auto& v = edit->callbacks[set];
  v.erase(std::remove(v.begin(), v.end(), fn), v.end());
}

bool EditDispatchCallback(Edit* edit, int set) {
  // A function may remove itself or others: call from a copy, skipping the
  // ones no longer in the set.
  std::vector<EditCallback> copy = edit->callbacks[set];
  bool all = true;
  for (EditCallback fn : copy) {
    auto& now = edit->callbacks[set];
    if (std::find(now.begin(), now.end(), fn) == now.end()) continue;
    if (fn(edit, edit->file ? edit->file->name : nullptr) != 1) all = false;
  }
  return all;
}

// ---- Messages and the status line ----------------------------------------------

void EditSetMsg(Edit* edit, const char* text, bool ring, int) {
  if (!edit) return;
  edit->message = text ? text : "";
  if (edit->window) {
    edit->window->ShowMessage(edit->message);
  } else if (ring && !edit->message.empty()) {
    WBell();
  }
  if (wDisplayActive) WFlush();
}

void vUpdateTitle(Edit* edit, bool withLineCol) {
  File* f = edit->file;
  if (!f) return;
  EditWindow* w = edit->window;
  if (withLineCol && (edit->caretLine != edit->shownLine ||
                      edit->caretColumn != edit->shownColumn || f->nLines != edit->shownLines)) {
    edit->shownLine = edit->caretLine;
    edit->shownColumn = edit->caretColumn;
    edit->shownLines = f->nLines;
    char item[64], field[32];
    bool past_end = edit->caretLine > f->nLines;
    int32_t col = EditDisplayColumn(edit, edit->caretLine, edit->caretColumn);
    if (debugFlag[xsEditorProcList]) {
      if (past_end) snprintf(item, sizeof item, "EOF/%d", f->nLines);
      else snprintf(item, sizeof item, "Ln %d/%d,Col %d", edit->caretLine, f->nLines, col);
      if (past_end) snprintf(field, sizeof field, "EOF");
      else snprintf(field, sizeof field, "%d", edit->caretLine);
    } else {
      if (past_end) snprintf(item, sizeof item, "At end of file");
      else snprintf(item, sizeof item, "Ln %d,Col %d", edit->caretLine, col);
      if (past_end) snprintf(field, sizeof field, "EOF/%d", f->nLines);
      else snprintf(field, sizeof field, "%d/%d", edit->caretLine, f->nLines);
    }
    if (!past_end) f->lastLine = edit->caretLine;
    if (w && w->statusLine()) w->statusLine()->SetField(0, item, 18);
    if (w) w->SetLineField(field);
  }
  int modified = f->modified ? 1 : 0;
  if (modified != edit->shownModified) {
    edit->shownModified = modified;
    if (w && w->statusLine()) w->statusLine()->SetField(1, modified ? "Modified" : "", 8);
  }
  if (w) w->RefreshTitle();
}
