// Replacing a file's text by the contents of a disk file: reverting to the
// disk file and restoring a backup or a base copy.
#include <sys/stat.h>
#include <unistd.h>

#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/fileincr.h"
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"

int FileReplaceWithFile(File* f, const char* path) {
  FileFreeLines(f, true);
  int ok = FilexInsertFile(f, nullptr, path);
  // The insertion recorded itself as one undoable change; a replacement
  // starts a new history.
  UndoesFree(f->undo);
  f->undo = nullptr;
  f->modified = 0;
  f->journalDirty = 1;
  // The temporary copy no longer holds what the disk file held.
  f->loadSize = 0;
  struct stat st;
  if (f->name && stat(f->name, &st) == 0) {
    FileTakeDiskIdentity(f, st);
  }
  if (!ok) {
    f->isNew = 1;
    f->savedOnce = 0;
  }
  FileNotifyReloaded(f);
  File_RedrawEditors(f);
  return ok;
}

int FileRevert(File* f) {
  if (!f->name) return 0;
  // Back at the disk file's text, the journal has nothing left to keep.
  if (f->haslock) incr_ReleaseLock(f);
  int ok = FileReplaceWithFile(f, f->name);
  f->journalDirty = f->modified;
  f->readOnly = !f->isNew && access(f->name, W_OK) != 0;
  FileNotifyModifiedChanged(f);
  return ok;
}

int FileSemiRevert(File* f) {
  Undo* undo = f->undo;
  Undo* redo = f->redo;
  Undo* mark = f->groupMark;
  uint8_t grouping = f->undoGrouping;
  const int64_t size = FileCurrentSize(f);
  const int32_t lines = f->nLines;
  f->undo = f->redo = f->groupMark = nullptr;
  f->undoGrouping = 0;
  int ok = FileRevert(f);
  if (ok && f->nLines == lines && FileCurrentSize(f) == size) {
    f->undo = undo;
    f->redo = redo;
    f->groupMark = mark;
    f->undoGrouping = grouping;
    // The text is the disk file's again: that is the saved state now.
    UndoMarkSaved(f);
  } else {
    UndoesFree(undo);
    UndoesFree(redo);
  }
  return ok;
}
