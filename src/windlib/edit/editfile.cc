#include "windlib/edit/editfile.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "shared/indgen/indgen.h"
#include "windlib/edit/editmru.h"
#include "windlib/edit/editsave.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"
#include "windlib/xswitch.h"

int (*EditSaveChangesHook)(Edit* edit, File* file) = nullptr;

namespace {
void unlink_pop_from_file(EditPop* pop) {
  if (!pop->file) return;
  for (EditPop** p = &pop->file->pops; *p; p = &(*p)->nextSameFile) {
    if (*p == pop) {
      *p = pop->nextSameFile;
      break;
    }
  }
  pop->nextSameFile = nullptr;
}

EditPop* make_pop(Edit* edit) {
  auto* pop = static_cast<EditPop*>(gen_alloc(1, sizeof(EditPop)));
  __Assert(pop != nullptr, "( pop = (EditPop *) gen_alloc(1,sizeof(EditPop)))!= NULL", __FILE__,
           __LINE__, 0);
  pop->file = edit->file;
  pop->owner = edit;
  pop->topLineNo = edit->topLineNo;
  pop->hScroll = edit->hScroll;
  pop->caretLine = edit->caretLine;
  pop->caretColumn = edit->caretColumn;
  pop->flags = edit->readOnlyView ? kPopReadOnly : 0;
  pop->nextSameFile = edit->file->pops;
  edit->file->pops = pop;
  return pop;
}

void title_view(Edit* edit) {
  if (edit->window) edit->window->RefreshTitle();
}

// Shows `file` in the view with the given top line, column and caret.
void show_file(Edit* edit, File* file, int32_t top, int32_t hscroll, int32_t caretLine,
               int32_t caretCol) {
  EditDetach(edit);
  edit->file = file;
  edit->nextSame = file->edits;
  __Assert(edit != edit->nextSame, "editor!=editor->nextsame", __FILE__, __LINE__, 0);
  file->edits = edit;
  FileAddObserver(file, edit);
  if (!file->msgEdit) file->msgEdit = edit;
  edit->SetTopLine(std::clamp(top, 1, std::max(1, file->nLines)), nullptr, 0);
  edit->hScroll = hscroll;
  EditMoveCaret(edit, caretLine, caretCol, false);
  edit->goalColumn = -1;
  edit->UpdateScrollBars();
  edit->RedrawAll();
  edit->shownLine = edit->shownColumn = edit->shownLines = edit->shownModified = -1;
  title_view(edit);
  vUpdateTitle(edit, true);
}

int32_t first_nonblank(Edit* edit, int32_t lineNo) {
  Line* l = EditLineAt(edit, lineNo);
  if (!l) return 0;
  const char* t = FileLineText(edit->file, l);
  int32_t i = 0;
  while (i < l->len && (t[i] == ' ' || t[i] == '\t')) ++i;
  return i;
}

// Moves the view to entry `pop` of its stack, leaving the current file in
// the entry's place at the top (`at_bottom` false) or bottom of the stack.
void rotate_to(Edit* edit, EditPop* pop, bool current_to_bottom) {
  // Take the entry out of the stack.
  for (EditPop** p = &edit->pops; *p; p = &(*p)->next) {
    if (*p == pop) {
      *p = pop->next;
      break;
    }
  }
  EditPop* current = make_pop(edit);
  if (current_to_bottom) {
    EditPop** end = &edit->pops;
    while (*end) end = &(*end)->next;
    current->next = nullptr;
    *end = current;
  } else {
    current->next = edit->pops;
    edit->pops = current;
  }
  unlink_pop_from_file(pop);
  edit->readOnlyView = pop->flags & kPopReadOnly;
  show_file(edit, pop->file, pop->topLineNo, pop->hScroll, pop->caretLine, pop->caretColumn);
  gen_free(pop);
}
}  // namespace

void EditAttach(Edit* edit, File* file, int32_t line) {
  show_file(edit, file, 1, 0, 1, 0);
  EditSetLine(edit, line, false);
}

void EditDetach(Edit* edit) {
  File* f = edit->file;
  if (!f) return;
  for (Edit** p = &f->edits; *p; p = &(*p)->nextSame) {
    if (*p == edit) {
      *p = edit->nextSame;
      break;
    }
  }
  if (f->msgEdit == edit) f->msgEdit = f->edits;
  FileRemoveObserver(f, edit);
  edit->nextSame = nullptr;
  edit->file = nullptr;
  edit->topLine = nullptr;
}

void EditFreePops(Edit* edit) {
  while (EditPop* pop = edit->pops) {
    edit->pops = pop->next;
    unlink_pop_from_file(pop);
    gen_free(pop);
  }
}

int EditStackDepth(Edit* edit) {
  int n = 0;
  for (EditPop* p = edit->pops; p; p = p->next) ++n;
  return n;
}

int EditPush(Edit* edit, File* file, int32_t line, bool tagLine) {
  if (!file) return 0;
  if (edit->readOnlyView || edit->embedded) {
    WBell();
    return 0;
  }
  EditSetMsg(edit, nullptr);
  if (edit->file) {
    EditPop* pop = make_pop(edit);
    pop->next = edit->pops;
    edit->pops = pop;
  }
  show_file(edit, file, 1, 0, 1, 0);
  EditSetLine(edit, tagLine ? FileLinenoFTagLineno(file, line) : line, false);
  EditMruAdd(file);
  return 1;
}

int EditQuerySaveChanges(Edit* edit, File* file) {
  if (!file->modified || file->internal) return 1;
  if (EditSaveChangesHook) return EditSaveChangesHook(edit, file);
  int answer = wAlert("Save Changes?",
                      std::string(file->name ? file->name : "") +
                          "\nDo you want to save your changes?\n"
                          "Saving is not available in this editor yet: keep the window open to "
                          "keep the changes.",
                      {"Discard", "Cancel"}, 1);
  return answer == 0 ? 1 : 0;
}

int EditPopEdit(Edit* edit) {
  EditPop* pop = edit->pops;
  if (!pop) {
    EditSetMsg(edit, "Nothing to pop");
    return 0;
  }
  File* left = edit->file;
  bool asked = false;
  if (left && left->modified && !FileUsedElsewhere(left, edit)) {
    asked = true;
    if (!EditQuerySaveChanges(edit, left)) return 0;
  }
  edit->pops = pop->next;
  unlink_pop_from_file(pop);
  edit->readOnlyView = pop->flags & kPopReadOnly;
  show_file(edit, pop->file, pop->topLineNo, pop->hScroll, pop->caretLine, pop->caretColumn);
  gen_free(pop);
  if (asked && left && !FileUsedElsewhere(left, nullptr) && !left->edits) {
    left->unfiled = 1;
    FileStubout(left);
  }
  return 1;
}

int _EditPopEditBack(Edit* edit) {
  if (!edit->pops) {
    EditSetMsg(edit, "Nothing to pop");
    return 0;
  }
  EditPop* last = edit->pops;
  while (last->next) last = last->next;
  // The bottom entry becomes the top one, then it is popped.
  for (EditPop** p = &edit->pops; *p; p = &(*p)->next) {
    if (*p == last) {
      *p = nullptr;
      break;
    }
  }
  last->next = edit->pops;
  edit->pops = last;
  return EditPopEdit(edit);
}

namespace {
// Rotates the ring of the current file and its stack one way or the other.
int cycle(Edit* edit, bool back) {
  if (edit->readOnlyView) {
    WBell();
    return 0;
  }
  if (!edit->pops) {
    EditSetMsg(edit, "No alternate file");
    return 0;
  }
  EditPop* target = edit->pops;
  if (back)
    while (target->next) target = target->next;
  rotate_to(edit, target, !back);
  return 1;
}
}  // namespace

int EditCyclePush(Edit* edit) { return cycle(edit, false); }
int EditCyclePushBack(Edit* edit) { return cycle(edit, true); }

int EditTogglePush(Edit* edit) {
  if (!edit->pops) {
    EditSetMsg(edit, "No alternate file");
    return 0;
  }
  rotate_to(edit, edit->pops, false);
  return 1;
}

int EditCycleToFileByNumber(Edit* edit, int n) {
  for (int i = 0; i < n; ++i)
    if (!EditCyclePush(edit)) return 0;
  return 1;
}

int EditCycleToFileByName(Edit* edit, const char* name) {
  File* target = FileFLookup(name);
  for (EditPop* p = edit->pops; p; p = p->next) {
    if (p->file == target || (p->file->name && std::strcmp(p->file->name, name) == 0)) {
      rotate_to(edit, p, true);
      return 1;
    }
  }
  return 0;
}

void EditAttachFile(Edit* edit, File* file, int32_t line, bool tagLine) {
  show_file(edit, file, 1, 0, 1, 0);
  EditSetLine(edit, tagLine ? FileLinenoFTagLineno(file, line) : line, false);
}

void EditChangeFile(Edit* edit, File* file) {
  if (!file || file == edit->file) return;
  if (!edit->askedNotToCheck) EditFileCheck(edit, file);
  show_file(edit, file, 1, 0, 1, 0);
}

void EditSetLine(Edit* edit, int32_t line, bool keepScroll) {
  File* f = edit->file;
  if (!f) return;
  if (line < 1) line = f->lastLine;
  line = std::clamp(line, 1, std::max(1, f->nLines));
  int32_t fifth = edit->text->height() / (5 * std::max(edit->lineHeight(), 1));
  int32_t top = line - fifth >= 1 ? line - fifth : 1;
  EditMoveCaret(edit, line, first_nonblank(edit, line), false);
  if (keepScroll) {
    edit->vScroll->SetValue(static_cast<long>(top - 1) * edit->lineHeight());
  } else {
    edit->ScrollTo(top);
    edit->ShowCaret();
  }
  vUpdateTitle(edit, true);
}

void PopsShowChange(File* file, int32_t from, int32_t delta) {
  if (delta == 0) return;
  for (EditPop* p = file->pops; p; p = p->nextSameFile) {
    if (p->topLineNo > from) p->topLineNo = std::max(from, p->topLineNo + delta);
    if (p->caretLine > from) p->caretLine = std::max(from, p->caretLine + delta);
  }
}

// The title a view's window shows for its file.
std::string EditTitleFor(File* f) {
  if (debugFlag[xsPlainEditorTitle]) return "Editor";
  return File_Title(f);
}
