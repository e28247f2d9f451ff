// The edit lock: taking it before the first change, holding it while the
// journal is written every few seconds, and releasing it when the text is
// saved, unloaded or freed.
#include "windlib/file/fileincr.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/wdisplay.h"
#include "windlib/wwait.h"

namespace {

// The lock files and base copies this process holds, in plain arrays that
// a signal handler could walk without allocating. An entry is filled before
// the count covers it and leaves the count before its strings are freed.
struct Held {
  File* owner;
  char* lock;
  char* base;
};
Held* held = nullptr;
volatile sig_atomic_t held_count = 0;
int held_capacity = 0;

Held* find_held(File* f) {
  for (int i = 0; i < held_count; ++i)
    if (held[i].owner == f) return &held[i];
  return nullptr;
}

void add_held(File* f, const std::string& lock, const std::string& base) {
  if (find_held(f)) return;
  if (held_count == held_capacity) {
    int grown = held_capacity ? held_capacity * 2 : 8;
    auto* bigger = static_cast<Held*>(gen_alloc(grown, sizeof(Held)));
    for (int i = 0; i < held_count; ++i) bigger[i] = held[i];
    Held* old = held;
    held = bigger;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    gen_free(old);
    held_capacity = grown;
  }
  held[held_count] = Held{f, gen_copy(lock.c_str()), gen_copy(base.c_str())};
  std::atomic_signal_fence(std::memory_order_seq_cst);
  held_count = held_count + 1;
}

void remove_held(File* f) {
  Held* h = find_held(f);
  if (!h) return;
  Held gone = *h;
  *h = held[held_count - 1];
  std::atomic_signal_fence(std::memory_order_seq_cst);
  held_count = held_count - 1;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  gen_free(gone.lock);
  gen_free(gone.base);
}

std::string sibling(File* f, const char* suffix) {
  const char* path = f->realName ? f->realName : f->name;
  if (!path) return {};
  const char* slash = std::strrchr(path, '/');
  std::string dir = slash ? std::string(path, static_cast<size_t>(slash - path + 1)) : "";
  return dir + "." + (slash ? slash + 1 : path) + suffix;
}

std::string directory_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

mHandle* journal_timer = nullptr;

int journal_timer_check(void*, int) {
  FilesSaveChanges();
  ExtraProcess_SetTimeout(journal_timer, incr_Frequency() * 1000L);
  return 0;  // a timer that runs for the life of the process
}

void start_journal_timer() {
  if (MHandleAlive(journal_timer)) return;
  if (journal_timer) MHandleDestroy(journal_timer);
  journal_timer =
      ExtraProcess_Create(epTimer, incr_Frequency() * 1000L, journal_timer_check, nullptr, nullptr);
}

void touch(const char* path) { utimensat(AT_FDCWD, path, nullptr, 0); }
}  // namespace

void incr_RestartTimer() {
  if (MHandleAlive(journal_timer)) ExtraProcess_SetTimeout(journal_timer, incr_Frequency() * 1000L);
}

std::string incr_LockName(File* f) { return sibling(f, ".kv~"); }
std::string incr_BaseName(File* f) { return sibling(f, ".kv$"); }

int incr_Frequency() {
  if (cfgEditIncrFrequency == 0 && FileHead()) {
    cfgEditIncrFrequency = 120;
    mprintf("Warning: configuration system not properly initialized\n");
  }
  return cfgEditIncrFrequency > 0 ? cfgEditIncrFrequency : 120;
}

int incr_CreateLock(File* f, const std::string& lockPath) {
  mode_t mode = f->isNew ? 0660 : static_cast<mode_t>((f->mode & 0777) | 0660);
  int fd = open(lockPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return errno == EEXIST ? 0 : -1;
  int32_t frequency = incr_Frequency();
  bool ok = write(fd, &frequency, sizeof frequency) == sizeof frequency;
  ok = close(fd) == 0 && ok;
  if (!ok) {
    unlink(lockPath.c_str());
    return -1;
  }
  return 1;
}

void incr_HoldLock(File* f, const std::string& lockPath) {
  touch(lockPath.c_str());
  add_held(f, lockPath, incr_BaseName(f));
  f->haslock = 1;
  start_journal_timer();
}

int incr_AcquireLock(File* f) {
  if (f->viewOnly) return f->readOnly ? 0 : 1;  // no lock while another holds it
  if (f->haslock || f->noJournal || f->internal || !f->name) return 1;
  const std::string lock = incr_LockName(f);
  int made = incr_CreateLock(f, lock);
  if (made == 0) {
    // A lock is there already: a crashed session's or another editor's.
    int recovered = incr_RecoverCrash(f, lock.c_str());
    if (recovered >= 0 && f->viewOnly) return f->readOnly ? 0 : 1;
    if (recovered > 0) made = 1;
    else if (recovered == 0) made = incr_CreateLock(f, lock);
    else made = -1;
  }
  if (made > 0) {
    incr_HoldLock(f, lock);
    return 1;
  }
  if (access(lock.c_str(), R_OK) == 0 || access(directory_of(lock).c_str(), W_OK) == 0) {
    f->readOnly = 1;
    return 0;
  }
  if (WYesNo("Recovery file",
             "You do not have write access to directory containing this file.\n"
             "Would you care to edit this file without creating a recovery file?",
             false)) {
    f->noJournal = 1;
    f->viewOnly = 1;
    return 1;
  }
  f->readOnly = 1;
  return 0;
}

void incr_ReleaseLock(File* f) {
  __Assert(f->haslock, "file->haslock", __FILE__, __LINE__, 0);
  if (Held* h = find_held(f)) {
    unlink(h->lock);
    unlink(h->base);
  } else {
    unlink(incr_LockName(f).c_str());
    unlink(incr_BaseName(f).c_str());
  }
  remove_held(f);
  incr_ForgetBaseCopy(f);
  f->journalDirty = 0;
  f->haslock = 0;
}

int incr_DetectCrash(File* f) {
  if (f->internal || !f->name) return 1;
  const std::string lock = incr_LockName(f);
  struct stat st;
  if (lstat(lock.c_str(), &st) != 0) return 1;
  int recovered = incr_RecoverCrash(f, lock.c_str());
  if (recovered < 0) return -1;
  if (recovered > 0 && !f->viewOnly) incr_HoldLock(f, lock);
  return 1;
}

void FilesSaveChanges() {
  incr_Frequency();
  for (File* f = FileHead(); f; f = f->next) {
    if (!f->haslock) continue;
    if (f->journalDirty) {
      incr_SaveEdits(f);
    } else if (Held* h = find_held(f)) {
      touch(h->lock);
    }
  }
}

void FilesKeepJournals() {
  for (File* f = FileHead(); f; f = f->next) {
    if (!f->haslock || !f->modified) continue;
    if (f->journalDirty) incr_SaveEdits(f);
    remove_held(f);
    incr_ForgetBaseCopy(f);
    f->haslock = 0;
  }
}
