// Backup copies: the disk file is copied aside before the first save after
// it was loaded, and can be brought back.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/filesave.h"
#include "windlib/wdisplay.h"

namespace {
FileBackupNamer backup_namer = nullptr;

// The path with "~" appended; a base name of 14 or more characters loses
// its second and third characters first, so that the backup's name is no
// longer than the file's.
std::string default_backup_name(const char* path) {
  const char* slash = std::strrchr(path, '/');
  std::string dir = slash ? std::string(path, static_cast<size_t>(slash - path + 1)) : "";
  std::string base = slash ? slash + 1 : path;
  if (base.size() >= 14) base.erase(1, 2);
  return dir + base + "~";
}

bool proceed(const char* format, const char* name) {
  std::string text(std::strlen(format) + std::strlen(name), '\0');
  snprintf(text.data(), text.size() + 1, format, name);
  text.resize(std::strlen(text.c_str()));
  return WYesNo("Backup", text, false);
}

}  // namespace

void FileSetBackupNamer(FileBackupNamer namer) { backup_namer = namer; }

int FileMakeBackupName(File* f, PRS* prs, bool force, char* buffer, size_t size) {
  std::string name;
  if (f->backupName) {
    name = f->backupName;
  } else {
    const char* path = f->realName ? f->realName : f->name;
    if (!path) return 0;
    char* given = backup_namer ? backup_namer(prs, path) : nullptr;
    if (given) {
      f->backupName = given;
      name = given;
    } else if (!vfEditorBackups && !force) {
      return 0;
    } else {
      name = default_backup_name(path);
    }
  }
  if (name.size() + 1 > size) return 0;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return 1;
}

int FileBackup(File* f, PRS* prs) {
  f->backupTried = 1;
  char name[4096];
  if (!FileMakeBackupName(f, prs, false, name, sizeof name)) {
    f->backupTried = 0;
    return 1;
  }
  const char* file = f->name ? f->name : "";
  // The disk file is opened first, so that a missing one leaves an older
  // backup alone.
  int src = open(file, O_RDONLY | O_CLOEXEC);
  if (src < 0) return proceed("Can't make backup file for %s, ok to proceed?", file);
  int dst = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                 static_cast<mode_t>((f->mode & 07777) | 0660));
  if (dst < 0) {
    close(src);
    return proceed("Can't create backup file for %s, ok to proceed?", file);
  }
  char block[8192];
  const char* failure = nullptr;
  while (!failure) {
    ssize_t r = read(src, block, sizeof block);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) failure = "Can't make backup file for %s, ok to proceed?";
    if (r <= 0) break;
    if (!gen_write_all(dst, block, r)) failure = "No space for backup file, ok to proceed?";
  }
  close(src);
  if (close(dst) != 0 && !failure) failure = "No space for backup file, ok to proceed?";
  if (failure) return proceed(failure, file);
  f->backupMade = 1;
  return 1;
}

int FileRestoreFromBackup(File* f, PRS* prs) {
  char name[4096];
  if (!FileMakeBackupName(f, prs, true, name, sizeof name)) {
    FileError("Cannot find backup file.");
    return 0;
  }
  if (access(name, R_OK) != 0) {
    FileError("No backup file: %s", name);
    return 0;
  }
  int ok = FileReplaceWithFile(f, name);
  f->modified = 1;
  FileDoModifyCallback(f);
  FileNotifyModifiedChanged(f);
  return ok;
}
