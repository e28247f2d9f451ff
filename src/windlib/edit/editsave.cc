#include "windlib/edit/editsave.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "shared/indgen/strformat.h"
#include "windlib/edit/editclose.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editmru.h"
#include "windlib/edit/editopen.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wgui.h"
#include "windlib/xswitch.h"

namespace {
void message_all(File* f, const std::string& text) {
  for (Edit* e = f->edits; e; e = e->nextSame) EditSetMsg(e, text.c_str());
  if (wDisplayActive) WFlush();
}

Edit* last_view(File* f) {
  Edit* last = nullptr;
  for (Edit* e = f->edits; e; e = e->nextSame) last = e;
  return last;
}

PRS* prs_of(Edit* e) {
  return e ? static_cast<PRS*>(e->prs) : nullptr;
}

void after_save(File* f) {
  for (Edit* e = f->edits; e; e = e->nextSame) {
    EditSetMsg(e, nullptr);
    if (e->window) e->window->RefreshTitle();
    vUpdateTitle(e, true);
  }
}

// The "Save Changes?" question for one file: 1 go on (saved or
// discarded), 0 cancel.
int save_changes_question(Edit* edit, File* f) {
  if (!f->modified || f->internal) return 1;
  const std::string name = f->name ? f->name : "";
  while (true) {
    std::string text = name + "\n";
    bool can_save = !f->readOnly;
    text += can_save ? "Do you want to save your changes?"
                     : "Cannot save changes. Cancel and use File > Save As... to keep changes.";
    std::vector<std::string> buttons = {"Save", "Discard", "Cancel"};
    int answer = wAlert("Save Changes?", text, buttons, can_save ? 0 : 2);
    if (answer == 1) return 1;
    if (answer != 0) return 0;
    if (can_save && SaveFile(edit, f) == 1) return 1;
    if (!WYesNo("Save Changes?", name + " could not be saved. Abandon changes and continue?",
                false))
      return 0;
    return 1;
  }
}

int save_one(Edit* edit, File* f) {
  return SaveFile(edit, f);
}

int save_as_dialogue(File* f, PRS* prs) {
  return EditFileSaveAs(f, prs);
}

int cmd_save(void* object, CmdInfo*) {
  EditSaveFile(EditOf(object));
  return 1;
}

int cmd_save_as(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->file) return 1;
  EditFileSaveAs(e->file, prs_of(e));
  return 1;
}

int cmd_save_all(void* object, CmdInfo*) {
  return EditSaveAll(EditOf(object), false);
}
int cmd_query_save_all(void* object, CmdInfo*) {
  return EditSaveAll(EditOf(object), true);
}

int cmd_revert(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->file) return 1;
  if (!WYesNo("Revert", "Revert file and lose changes?", false)) return 1;
  FileRevert(e->file);
  e->UpdateScrollBars();
  EditMoveCaret(e, std::min(e->caretLine, e->file->nLines + 1), 0, false);
  return 1;
}

int cmd_revert_to_backup(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!WYesNo("Revert", "Revert file to backup version?", false)) return 1;
  FileRestoreFromBackup(e->file, prs_of(e));
  e->UpdateScrollBars();
  EditMoveCaret(e, std::min(e->caretLine, e->file->nLines + 1), 0, false);
  return 1;
}

// Saving and reverting to the disk file leave the text as saved; going
// back to the backup changes it like an edit.
const CmdEntry kCommands[] = {
    {"Save", cmd_save, 0},        {"SaveAs", cmd_save_as, 0},
    {"SaveAll", cmd_save_all, 0}, {"QuerySaveAll", cmd_query_save_all, 0},
    {"Revert", cmd_revert, 0},    {"RevertToBackup", cmd_revert_to_backup, kCmdModifies},
};
}  // namespace

EditCmdSet EditSaveCmds() {
  return {kCommands, {}};
}

int SaveFile(Edit* edit, File* f) {
  Edit* view = edit && edit->file == f ? edit : last_view(f);
  if (view && !EditDispatchCallback(view, ecbSaveRequest)) return 0;
  message_all(f, std::string("Saving: ") + (f->name ? f->name : ""));
  int ok = FileSave(f, nullptr, prs_of(last_view(f)));
  if (ok == 1) {
    if (view) EditDispatchCallback(view, ecbSaveComplete);
    FileCloseUndo(f);
    after_save(f);
  }
  return ok;
}

int EditSaveFile(Edit* edit) {
  File* f = edit->file;
  if (!f) return 1;
  if (edit->readOnlyView || f->internal) {
    WBell();
    return 1;
  }
  if (!FileNeedsSave(f)) {
    EditSetMsg(edit, "File has not been modified.");
    return 1;
  }
  return SaveFile(edit, f);
}

int EditFileSaveAs(File* f, PRS* prs) {
  std::string title = f->name ? gen_format("Save %.40s as...", f->name) : "Save As...";
  std::string path;
  WAskRequest r;
  r.kind = WAskKind::FileChooser;
  r.title = title;
  r.directory = EditChooserDirectory();
  // Moved in as a string: assigning the literal into the empty field makes
  // GCC 12 at -O2 warn of an overlapping copy that cannot happen.
  r.filter = std::string("*");
  r.fileTypePreset = kSaveFilePreset;
  r.defaultText = f->name ? f->name : "";
  WAskReply reply = WAsk(r);
  if (reply.button != 0 || reply.text.empty()) return 0;
  path = reply.text;
  if (path.compare(0, 2, "./") == 0) path.erase(0, 2);
  message_all(f, "Saving as " + path);
  if (FileSaveAs(f, path.c_str(), prs) != 1) return 0;
  f->mustSaveAs = 0;
  f->viewOnly = 0;
  EditMruAdd(f);
  after_save(f);
  File_RedrawEditors(f);
  return 1;
}

int EditSaveAll(Edit* edit, bool ask) {
  for (File* f = FileHead(); f; f = f->next) {
    if (!f->modified || f->internal) continue;
    int ok = ask ? save_changes_question(edit, f) : SaveFile(edit, f);
    if (ok != 1) return 0;
  }
  return 1;
}

void EditFileCheck(Edit* edit, File* file) {
  static bool checking = false;
  File* f = file ? file : edit->file;
  if (checking || !f || !f->name || f->internal || f->isNew) return;
  checking = true;
  int changed = FileFileChanged(f);
  if (changed != 0) {
    bool reload = true;
    if (f->modified) {
      reload = WYesNo("File changed on disk",
                      gen_format("The file you are editing, %s, has changed on disk.\n%s", f->name,
                                 "You have outstanding edits that have not been saved.\nWould you "
                                 "like to load the new file (Yes), permanently\ndiscarding your "
                                 "current edits? If you choose (No), you\nshould take actions to "
                                 "save your changes."),
                      false);
      if (!reload) EditSetMsg(edit, "Warning: File on screen is out of date");
    }
    if (reload && changed > 0) {
      FileRevert(f);
      for (Edit* e = f->edits; e; e = e->nextSame) {
        e->UpdateScrollBars();
        EditMoveCaret(e, std::min(e->caretLine, f->nLines + 1), 0, false);
      }
    }
    struct stat st;
    if (stat(f->name, &st) == 0) {
      FileTakeDiskIdentity(f, st);
    } else {
      // Removed: from now on the file is new.
      f->isNew = 1;
      f->mtime = 0;
    }
  }
  checking = false;
}

void EditSaveInit() {
  static bool done = false;
  if (done) return;
  done = true;
  EditSaveChangesHook = save_changes_question;
  EditSaveOneFile = save_one;
  FileSetSaveAsDialogue(save_as_dialogue);
  // After a save the views of the file clear their messages and follow a
  // new name.
  static struct : FileObserver {
    void FileSaved(File* f, PRS*, const char*, bool) override { after_save(f); }
  } saved_observer;
  FilesAddObserver(&saved_observer);
}
