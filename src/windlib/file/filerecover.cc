// What to do about a lock file found next to a file: another editor is
// editing it, or an editor that died left its edits behind.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/fileincr.h"
#include "windlib/file/filesave.h"
#include "windlib/wdisplay.h"

namespace {

std::string user_name(uid_t uid) {
  if (const passwd* pw = getpwuid(uid)) return pw->pw_name;
  return std::to_string(uid);
}

// The journal interval the lock's writer used, from the header.
int header_frequency(const char* lockPath) {
  int32_t frequency = 0;
  int fd = open(lockPath, O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    if (read(fd, &frequency, sizeof frequency) != sizeof frequency) frequency = 0;
    close(fd);
  }
  // Another writer's header may be missing or in another byte order.
  if (frequency < 1 || frequency > 86400) frequency = incr_Frequency();
  return frequency;
}

// The time now as the file system holding `path` sees it: the clocks of the
// machines that share it may differ.
time_t clock_beside(const char* path) {
  std::string dir = path;
  size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? "." : dir.substr(0, slash + 1);
  std::string scratch = dir + "/.oe_clockXXXXXX";
  int fd = mkstemp(scratch.data());
  if (fd < 0) return time(nullptr);
  struct stat st;
  time_t now = fstat(fd, &st) == 0 ? st.st_mtime : time(nullptr);
  close(fd);
  unlink(scratch.c_str());
  return now;
}

bool newer_or_same(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec >= b.tv_nsec);
}
}  // namespace

int incr_RecoverCrash(File* f, const char* lockPath) {
  struct stat lock;
  if (stat(lockPath, &lock) != 0) return 0;  // gone meanwhile
  const bool foreign = lock.st_uid != geteuid();
  const bool edits = lock.st_size > static_cast<off_t>(sizeof(int32_t));

  bool stale;
  struct stat disk;
  if (!f->name || stat(f->name, &disk) != 0 || newer_or_same(lock.st_mtim, disk.st_mtim)) {
    // A live editor refreshes its lock every interval.
    stale = clock_beside(lockPath) - lock.st_mtime > header_frequency(lockPath) + 60;
  } else {
    // The file was written after the lock: whoever held it has let go.
    wAlert("Edit journal", "Stale lock file detected");
    stale = true;
  }
  if (stale && !edits) {
    unlink(lockPath);
    return 0;
  }

  const bool live_foreign = foreign && !stale;
  std::string text = foreign ? user_name(lock.st_uid) + " is" : std::string("You are");
  text += " editing file elsewhere: ";
  text += f->name ? f->name : "";
  if (edits) text += "\nOutstanding edits exist.";
  text += "\nWhat would you like to do?";
  std::vector<std::string> buttons = {"Cancel"};
  int default_button = 0;
  if (live_foreign) {
    if (edits) buttons.insert(buttons.end(), {"View: No Edits", "View: Apply Edits"});
    else buttons.push_back("View ReadOnly");
    default_button = 1;
  } else if (edits) {
    buttons.insert(buttons.end(), {"Discard Edits", "Apply Edits"});
    text += "\nIf you choose to Discard, the edits will be IRREVOCABLY LOST!";
    default_button = 2;
  } else {
    buttons.push_back("Steal Lock");
  }
  // Another user is changing the file: this process only shows it.
  if (live_foreign) {
    f->viewOnly = 1;
    f->readOnly = 1;
  }
  int answer = wAlert("File being edited elsewhere", text, buttons, default_button);
  if (answer <= 0 || answer >= static_cast<int>(buttons.size())) return -1;

  const std::string base = incr_BaseName(f);
  if (answer == 1) {
    if (live_foreign) return 0;
    unlink(lockPath);
    unlink(base.c_str());
    return incr_CreateLock(f, lockPath) > 0 ? 1 : 0;
  }

  if (access(base.c_str(), R_OK) == 0) FileReplaceWithFile(f, base.c_str());
  bool applied = incr_ApplyEdits(f, lockPath);
  f->modified = 1;
  f->journalDirty = 1;
  FileDoModifyCallback(f);
  FileNotifyModifiedChanged(f);
  if (live_foreign) return 0;
  if (!applied) {
    unlink(lockPath);
    return incr_CreateLock(f, lockPath) > 0 ? 1 : 0;
  }
  return 1;
}
