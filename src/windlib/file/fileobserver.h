// Change observers: how the file layer tells whoever shows or follows a
// file (views, later syntax state, search highlighting, tags, the editor
// service) what happened to it. Each file has its own list; observers on
// the global list hear every file. Observers may subscribe and unsubscribe
// while a notification is running: one removed is not called again, one
// added hears from the next notification on.
#pragma once

#include <cstdint>

#include "windlib/file/coord.h"

struct File;
struct Line;
struct PRS;

// What one change did to the text.
struct FileChangeEvent {
  // The replaced text ran from `start` to `oldEnd`; the text that replaced
  // it runs from `start` to `newEnd`. Lines are numbered as before the
  // change for oldEnd and as after it for newEnd.
  TextPos start;
  TextPos oldEnd;
  TextPos newEnd;
  // Lines start.line .. start.line + linesRemoved - 1 were replaced by
  // linesAdded lines (a change inside one line removes one and adds one).
  int32_t linesRemoved = 0;
  int32_t linesAdded = 0;
  // The record of line start.line afterwards (none past the end): the hint
  // for finding lines again, since records of the range may be gone.
  Line* firstRecord = nullptr;
  // 0 a new change, 1 made by undo, -1 made by redo.
  int direction = 0;

  // Lines added less lines removed.
  int32_t delta() const { return linesAdded - linesRemoved; }
  // The last line whose text changed when the count of lines stayed, else -1
  // (every line from the start on may have moved).
  int32_t lastChangedLine() const {
    return linesAdded == linesRemoved ? start.line + (linesAdded > 0 ? linesAdded : 1) - 1 : -1;
  }
};

class FileObserver {
 public:
  virtual ~FileObserver() = default;
  // The text changed (typing, editing, indentation, each step of an undo).
  virtual void FileTextChanged(File*, const FileChangeEvent&) {}
  // One undo or redo step restored `selection` in the file's message view.
  virtual void FileUndoSelection(File*, const TextRange& selection, bool redo) {
    (void)selection, (void)redo;
  }
  // An Undo or Redo finished.
  virtual void FileUndone(File*, bool redo) { (void)redo; }
  // The whole text was replaced: loaded, reverted, reloaded or rebuilt from
  // a journal. Line records kept from before may be gone.
  virtual void FileReloaded(File*) {}
  // A save wrote `written` (the file's own name, or another one for a
  // copy); `renamed` when the file took that name.
  virtual void FileSaved(File*, PRS* prs, const char* written, bool renamed) {
    (void)prs, (void)written, (void)renamed;
  }
  virtual void FileModifiedChanged(File*) {}
  // The title changed; `onlyView` names the one view to refresh, or none
  // for all of them.
  virtual void FileTitleChanged(File*, const void* onlyView) { (void)onlyView; }
  // A message for the file's message view.
  virtual void FileMessage(File*, const char* text) { (void)text; }
  // Everything shown of the file should be drawn again.
  virtual void FileRedraw(File*) {}
  // The file's contents go away: every view lets go of it.
  virtual void FileContentsGone(File*) {}
  // A file joined the list of files (global observers only).
  virtual void FileRegistered(File*) {}
};

void FileAddObserver(File* f, FileObserver* o);
void FileRemoveObserver(File* f, FileObserver* o);
bool FileHasObserver(const File* f, const FileObserver* o);
// Observers of every file.
void FilesAddObserver(FileObserver* o);
void FilesRemoveObserver(FileObserver* o);
// Frees a file's list (when the record goes).
void FileFreeObservers(File* f);

// ---- Notifications, for the file layer ----
void FileNotifyTextChanged(File* f, const FileChangeEvent& e);
void FileNotifyUndoSelection(File* f, const TextRange& selection, bool redo);
void FileNotifyUndone(File* f, bool redo);
void FileNotifyReloaded(File* f);
void FileNotifySaved(File* f, PRS* prs, const char* written, bool renamed);
void FileNotifyModifiedChanged(File* f);
void FileNotifyTitleChanged(File* f, const void* onlyView);
void FileNotifyMessage(File* f, const char* text);
void FileNotifyRedraw(File* f);
void FileNotifyContentsGone(File* f);
void FileNotifyRegistered(File* f);
