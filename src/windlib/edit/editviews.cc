// Views of files: queries, the broadcasts from the file layer, callbacks,
// messages and the status line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "windlib/edit/edit.h"
#include "windlib/edit/editconfig.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editsave.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wgui.h"
#include "windlib/xswitch.h"

// What a view does when its file changes.
void Edit::FileTextChanged(File* f, const FileChangeEvent& e) {
  if (f->noDisplay) return;
  FileChanged(e.start.line, e.lastChangedLine(), e.delta(), e.firstRecord, this == EditActive);
}

void Edit::FileUndoSelection(File* f, const TextRange& r, bool) {
  // The message view follows the text that undo and redo bring back.
  if (f->msgEdit != this) return;
  EditSetSelection(this, r.begin.line, r.begin.col, r.end.line, r.end.col);
  ShowCaret();
}

void Edit::FileReloaded(File*) { UpdateScrollBars(); }

void Edit::FileModifiedChanged(File*) { vUpdateTitle(this, false); }

void Edit::FileTitleChanged(File*, const void* onlyView) {
  if (onlyView && onlyView != this) return;
  if (window) window->RefreshTitle();
}

void Edit::FileMessage(File* f, const char* text) {
  if (f->msgEdit == this) EditSetMsg(this, text);
}

void Edit::FileRedraw(File*) { RedrawAll(); }

void Edit::FileContentsGone(File*) { EditDetach(this); }

namespace {
// What every file's changes mean to the file stacks of all views.
class PopsObserver : public FileObserver {
 public:
  void FileTextChanged(File* f, const FileChangeEvent& e) override {
    if (f->noDisplay) return;
    PopsShowChange(f, e.start.line, e.delta());
  }
};
}  // namespace

void EditInit() {
  static bool done = false;
  if (done) return;
  done = true;
  static PopsObserver pops;
  FilesAddObserver(&pops);
  EditSaveInit();
  EditConfigInit();
}

TextRange EditSelectionRange(const Edit* edit, int which) {
  const EditSelection& s = edit->sel[which];
  return TextRange{TextPos{s.start_line, s.start_column}, TextPos{s.end_line, s.end_column}};
}

TextRange EditUndoSelection(File* file) {
  Edit* e = file->msgEdit ? file->msgEdit : file->edits;
  if (!e) return TextRange{TextPos{0, 0}, TextPos{0, 0}};
  return EditSelectionRange(e);
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

// The status line shows a message as the text shows a line: tabs to the
// next stop, control bytes as "^X".
std::string EditMessageCells(const std::string& text) {
  GeomCells cells;
  GeomLineCells(text.data(), static_cast<int32_t>(text.size()), DisplayCol(INT32_MAX),
                GeomDisplayRule(), &cells);
  return cells.glyphs;
}

void EditSetMsg(Edit* edit, const char* text, bool ring, int) {
  if (!edit) return;
  edit->message = text ? text : "";
  if (edit->window) {
    edit->window->ShowMessage(EditMessageCells(edit->message));
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
  // How the file's bytes are read: as UTF-8 characters or one cell each.
  const char* reading = GeomFileUtf8(f) ? "UTF-8" : "Bytes";
  if (w && w->statusLine() && w->statusLine()->field(2) != reading)
    w->statusLine()->SetField(2, reading, 5);
  int modified = f->modified ? 1 : 0;
  if (modified != edit->shownModified) {
    edit->shownModified = modified;
    if (w && w->statusLine()) w->statusLine()->SetField(1, modified ? "Modified" : "", 8);
  }
  if (w) w->RefreshTitle();
}
