// The global list of file records: creating, finding, unloading, freeing.
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <wordexp.h>

#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/fileincr.h"
#include "windlib/file/fileindent.h"
#include "windlib/file/filesave.h"
#include "windlib/file/tempregistry.h"
#include "windlib/file/undo.h"

namespace {
File* head = nullptr;
unsigned long internal_counter = 0;

const char* base_of(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

File* new_record() {
  auto* f = static_cast<File*>(gen_alloc(1, sizeof(File)));
  f->fd = -1;
  f->cacheBase = -1;
  f->device = f->inode = -1;
  return f;
}

void copy_settings(File* f) {
  f->indentSize = static_cast<uint8_t>(cfgEditIndent);
  f->adaIndentSize = static_cast<uint8_t>(cfgAdaIndentSize);
  f->adaContinuationSize = static_cast<uint8_t>(cfgAdaContinuationSize);
  f->wrapColumn = static_cast<uint16_t>(cfgWrapColumn);
  f->wrapIndent = static_cast<int16_t>(cfgWrapIndent);
  f->wordWrap = vfWordWrap;
}
}  // namespace

File* FileHead() { return head; }

void FilesAddFile(File* f) {
  if (FileKnown(f)) return;
  f->next = head;
  head = f;
  FileNotifyRegistered(f);
}

void FilesRemoveFile(File* f) {
  for (File** p = &head; *p; p = &(*p)->next) {
    if (*p == f) {
      *p = f->next;
      f->next = nullptr;
      return;
    }
  }
}

bool FileKnown(File* f) {
  for (File* g = head; g; g = g->next)
    if (g == f) return true;
  return false;
}

File* FileFBaseName(const char* name) {
  for (File* f = head; f; f = f->next)
    if (f->name && std::strcmp(base_of(f->name), name) == 0) return f;
  return nullptr;
}

File* FileFLookup(const char* name) {
  if (!name) return nullptr;
  File* found = nullptr;
  for (File* f = head; f && !found; f = f->next)
    if (f->name && std::strcmp(f->name, name) == 0) found = f;
  struct stat st;
  if (!found && stat(name, &st) == 0) {
    for (File* f = head; f && !found; f = f->next) {
      if (f->device == static_cast<int64_t>(st.st_dev) &&
          f->inode == static_cast<int64_t>(st.st_ino) && f->mtime == st.st_mtime && f->name &&
          std::strcmp(base_of(f->name), base_of(name)) == 0) {
        found = f;
        if (!f->edits) {
          gen_free(f->name);
          f->name = gen_copy(name);
        }
      }
    }
  }
  if (!found) found = FileFBaseName(name);
  if (found && found->stub && !LoadStubFile(found)) return nullptr;
  return found;
}

File* FileFName(const char* name, int flags) {
  if (File* f = FileFLookup(name)) return f;
  return FileF_File(name, true, flags);
}

File* FileFEName(const char* name) {
  std::string expanded = name ? name : "";
  wordexp_t we;
  if (name && wordexp(name, &we, WRDE_NOCMD) == 0) {
    if (we.we_wordc == 1) expanded = we.we_wordv[0];
    wordfree(&we);
  }
  return FileFName(expanded.c_str(), 0);
}

File* FileF_File(const char* name, bool reg, int flags) {
  (void)flags;
  struct stat st;
  int access = FileCanAccess(name, &st);
  if (access < 0) return nullptr;
  // A missing file under version control is offered for check-out; "No"
  // creates it new. Fetching a copy ("Read Only", "Read/Write") comes with
  // version control, which until then answers "No" for every file.
  if (access == 0 && NonExistantCheckOut(name) <= 0) return nullptr;
  File* f = new_record();
  f->name = gen_copy(name);
  if (access == 0) {
    f->isNew = 1;
    f->mode = 0664;
    f->size = 0;
  } else {
    FileTakeDiskIdentity(f, st);
    f->mode = st.st_mode & 0777;
    f->readOnly = access == 1;
    struct stat lst;
    if (lstat(name, &lst) == 0 && S_ISLNK(lst.st_mode)) {
      char* target = realpath(name, nullptr);
      if (target) {
        f->realName = gen_copy(target);
        free(target);
      }
    }
  }
  if (f->isNew) {
    // The language is chosen from the name here.
    f->tempName = TempFileName();
    FileCacheInit(f, 0);
  } else {
    FileFillup(f, f->size);  // panics on failure, after freeing the record
    f->modified = 0;
    f->journalDirty = 0;
  }
  // An edit journal left by an editor that died is offered for recovery;
  // cancelling it means not opening the file.
  if (reg && incr_DetectCrash(f) < 0) {
    FileFree(f);
    return nullptr;
  }
  copy_settings(f);
  // No line's syntax state is known until the colouring computes it.
  f->colouredLines = 0;
  if (reg) FilesAddFile(f);
  return f;
}

File* FileFInternal(const char* label) {
  std::string word = "internal";
  bool path = false;
  if (label && *label) {
    const char* start = label;
    while (*start == ' ' || *start == '\t') ++start;
    const char* end = start;
    while (*end && *end != ' ' && *end != '\t') ++end;
    word.assign(start, static_cast<size_t>(end - start));
    path = word.find('/') != std::string::npos;
  }
  std::string name = (path ? "" : "~") + word + std::to_string(++internal_counter) + ".tmp";
  File* f = new_record();
  f->name = gen_copy(name.c_str());
  f->mode = 0664;
  f->isNew = 1;
  f->internal = 1;
  copy_settings(f);
  return f;
}

void FileFreeLines(File* f, bool with_undo) {
  // The language and the prototype collector drop what they hold here.
  f->lineEpoch++;
  LinesFree(f->first);
  f->first = f->last = nullptr;
  f->nLines = 0;
  f->colouredLines = 0;
  if (with_undo) {
    UndoesFree(f->undo);
    UndoesFree(f->redo);
    f->undo = f->redo = nullptr;
    f->groupMark = nullptr;
    f->undoGrouping = 0;
  }
}

void FileFreeContents(File* f, bool all, bool with_undo) {
  FileFreeLines(f, with_undo);
  FileAutoIndentForget(f);
  gen_free(f->cache);
  f->cache = nullptr;
  f->cacheAlloc = f->cacheLen = 0;
  f->cacheBase = -1;
  FileResetSynCache(f);
  if (f->tempName) {
    CacheClose(f->tempName);
    gen_free(f->tempName);
    f->tempName = nullptr;
  }
  if (all) {
    FilesRemoveFile(f);
    for (char** s : {&f->name, &f->displayName, &f->displayPath, &f->realName, &f->absName,
                     &f->titleOverride, &f->backupName}) {
      gen_free(*s);
      *s = nullptr;
    }
  }
}

void FileFree(File* f) {
  if (!f) return;
  if (f->haslock) incr_ReleaseLock(f);
  FileFreeContents(f, true, true);
  FileFreeObservers(f);
  gen_free(f);
}

void FileStubout(File* f) {
  if (f->stub) return;
  if (f->haslock) incr_ReleaseLock(f);
  if (f->internal || (f->isNew && !f->unfiled)) {
    FileFree(f);
    return;
  }
  // Check-in of a file checked out by the editor happens here once version
  // control exists.
  if (!f->unfiled) {
    f->fromCheckout = 0;
    f->checkedOutByUs = 0;
    if (f->deleteWhenDone && unlink(f->name) == 0) f->deleteWhenDone = 0;
  }
  FileFreeContents(f, false, false);
  f->edits = nullptr;
  f->msgEdit = nullptr;
  f->stub = 1;
}

const char* File_Title(File* f) {
  if (f->titleOverride) return f->titleOverride;
  if (f->displayName && f->displayPath) return f->displayName;
  return base_of(f->name ? f->name : "");
}

void File_SetTitle(File* f, const char* title) {
  gen_free(f->titleOverride);
  f->titleOverride = title ? gen_copy(title) : nullptr;
  File_RefreshTitleForEditors(f, nullptr);
}

void File_RefreshTitleForEditors(File* f, Edit* window) {
  FileNotifyTitleChanged(f, window);
}

void File_RedrawEditors(File* f) {
  FileNotifyRedraw(f);
}

void File_DisplayMsg(File* f, const char* text) {
  FileNotifyMessage(f, text);
}

void FileDoModifyCallback(File* f) {
  if (f->onModify) f->onModify(f->onModifyArg ? f->onModifyArg : f);
}

void FilesAbort() {
  for (File* f = head; f; f = f->next) {
    if (f->tempName) {
      CacheClose(f->tempName);
      gen_free(f->tempName);
      f->tempName = nullptr;
    }
    FileNotifyContentsGone(f);
    if (f->haslock) incr_ReleaseLock(f);
  }
  CacheAbort();
}

// Edit journals and their locks stay: after a crash or a killed session
// they are what brings the edits back.
void FilesAbortFromSignal() { TempRegistryUnlinkAll(); }
