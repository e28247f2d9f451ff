// Writing a file back to disk. When the disk file still holds what was
// loaded, only the text from the first changed line on is written; the
// temporary copy is then brought back in step with the disk file, again
// touching only what moved.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "shared/indgen/indgen.h"
#include "windlib/file/bufwriter.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/fileincr.h"
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"

void (*FileSaveWriteObserver)(int64_t offset, int64_t length) = nullptr;

namespace {
constexpr int32_t kBlock = 8192;

FileChangeInformer change_informer = nullptr;
FileSaveAsDialogue save_as_dialogue = nullptr;

bool confirm(const char* format, const char* name, bool default_yes) {
  std::string text(std::strlen(format) + std::strlen(name), '\0');
  snprintf(text.data(), text.size() + 1, format, name);
  text.resize(std::strlen(text.c_str()));
  return WYesNo("Save", text, default_yes);
}

// Permission bits of a file the editor creates: the file's mode, always
// readable and writable by the owner.
mode_t create_mode(File* f) { return static_cast<mode_t>((f->mode & 07777) | S_IRUSR | S_IWUSR); }

bool read_fully(int fd, char* buf, int64_t n, int64_t offset) {
  while (n > 0) {
    ssize_t r = pread(fd, buf, static_cast<size_t>(n), offset);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    buf += r;
    n -= r;
    offset += r;
  }
  return true;
}

bool write_fully(int fd, const char* buf, int64_t n, int64_t offset) {
  while (n > 0) {
    ssize_t w = pwrite(fd, buf, static_cast<size_t>(n), offset);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    buf += w;
    n -= w;
    offset += w;
  }
  return true;
}

bool kernel_copy_unsupported(int err) {
  return err == ENOSYS || err == EXDEV || err == EINVAL || err == EOPNOTSUPP;
}

}  // namespace

bool FileCopyRange(int src, int64_t src_off, int dst, int64_t dst_off, int64_t n) {
  static bool unsupported = false;
  while (n > 0 && !unsupported) {
    off64_t in = src_off, out = dst_off;
    ssize_t c = copy_file_range(src, &in, dst, &out, static_cast<size_t>(n), 0);
    if (c < 0 && errno == EINTR) continue;
    if (c < 0 && kernel_copy_unsupported(errno)) {
      unsupported = true;
      break;
    }
    if (c <= 0) return false;
    src_off += c;
    dst_off += c;
    n -= c;
  }
  char buf[65536];
  while (n > 0) {
    int64_t take = n < static_cast<int64_t>(sizeof buf) ? n : static_cast<int64_t>(sizeof buf);
    if (!read_fully(src, buf, take, src_off) || !write_fully(dst, buf, take, dst_off)) return false;
    src_off += take;
    dst_off += take;
    n -= take;
  }
  return true;
}

bool FileSyncDirectory(const char* path) {
  const char* slash = std::strrchr(path, '/');
  std::string dir = !slash ? "." : slash == path ? "/" : std::string(path, slash);
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  close(fd);
  return ok;
}

namespace {

// Writes the text from a file offset on through the buffered writer. The
// first buffer is shortened so that every later write starts on an
// 8192-byte boundary of the file. Long runs of unchanged text are copied
// from the temporary copy by the kernel, in whole blocks from such a
// boundary.
class AlignedWriter {
 public:
  AlignedWriter(int fd, int64_t start, bool observed) : pos_(start), observed_(observed) {
    bufinit(&b_, fd);
    b_.capacity = kBlock - static_cast<int32_t>(start % kBlock);
  }
  ~AlignedWriter() {
    if (b_.fd >= 0) close(b_.fd);
  }
  AlignedWriter(const AlignedWriter&) = delete;
  AlignedWriter& operator=(const AlignedWriter&) = delete;

  bool Put(const char* data, int64_t n) {
    while (n > 0) {
      int64_t room = b_.capacity - b_.count;
      int64_t take = n < room ? n : room;
      bool fills = take == room;
      if (fills) Observe(b_.capacity);
      if (!bufwrite(&b_, data, take)) return false;
      if (fills) {
        pos_ += b_.capacity;
        b_.capacity = kBlock;
      }
      data += take;
      n -= take;
    }
    return true;
  }

  // n bytes of `src` from `offset`.
  bool Copy(int src, int64_t offset, int64_t n) {
    char piece[kBlock];
    while (n > 0) {
      if (b_.count == 0 && n >= kBlock && kernel_copy_) {
        int64_t bulk = n / kBlock * kBlock;
        int r = KernelCopy(src, offset, bulk);
        if (r < 0) return false;
        if (r > 0) {
          offset += bulk;
          n -= bulk;
          continue;
        }
      }
      int64_t room = b_.capacity - b_.count;
      int64_t take = n < room ? n : room;
      if (!read_fully(src, piece, take, offset) || !Put(piece, take)) return false;
      offset += take;
      n -= take;
    }
    return true;
  }

  // Flushes, syncs to disk when asked, and closes; false when a write, the
  // sync or the close failed.
  bool Close(bool sync = false) {
    if (b_.count > 0) Observe(b_.count);
    pos_ += b_.count;
    bool ok = bufflush(&b_);
    if (sync) ok = fsync(b_.fd) == 0 && ok;
    return bufclose(&b_) && ok;
  }

 private:
  void Observe(int64_t n) {
    if (observed_ && FileSaveWriteObserver) FileSaveWriteObserver(pos_, n);
  }
  // 1 copied, 0 the system cannot copy between these files, -1 failed.
  int KernelCopy(int src, int64_t offset, int64_t n) {
    off64_t in = offset;
    int64_t left = n;
    while (left > 0) {
      ssize_t c = copy_file_range(src, &in, b_.fd, nullptr, static_cast<size_t>(left), 0);
      if (c < 0 && errno == EINTR) continue;
      if (c < 0 && left == n && kernel_copy_unsupported(errno)) {
        kernel_copy_ = false;
        return 0;
      }
      if (c <= 0) return -1;
      left -= c;
    }
    Observe(n);
    pos_ += n;
    b_.total += n;
    return 1;
  }

  _file_buffer b_;
  int64_t pos_;  // file offset of the first byte in the buffer
  bool observed_;
  bool kernel_copy_ = true;
};

// Writes every line from `first` on, each followed by its line end. A run
// of in-file lines that lie one after the other in the temporary copy, each
// with its LF there, is the same bytes as the text of those lines with LF
// ends, and is copied as one piece.
bool write_lines(File* f, AlignedWriter* w, Line* first, bool crlf) {
  const char* eol = crlf ? "\r\n" : "\n";
  const int eol_len = crlf ? 2 : 1;
  int temp = -1;
  int64_t temp_size = 0;
  if (!crlf && f->tempName) {
    temp = CacheOpen(f->tempName, false);
    struct stat st;
    if (temp >= 0 && fstat(temp, &st) == 0) temp_size = st.st_size;
    else temp = -1;
  }
  auto whole_in_temp = [&](const Line* l) {
    return LineInFile(l) && l->text.offset + l->len < temp_size;
  };
  for (Line* l = first; l;) {
    if (temp >= 0 && whole_in_temp(l)) {
      int64_t start = l->text.offset;
      int64_t end = start + l->len + 1;
      Line* m = l->next;
      while (m && whole_in_temp(m) && m->text.offset == end) {
        end = m->text.offset + m->len + 1;
        m = m->next;
      }
      if (!w->Copy(temp, start, end - start)) return false;
      l = m;
      continue;
    }
    if (!w->Put(FileLineText(f, l), l->len) || !w->Put(eol, eol_len)) return false;
    l = l->next;
  }
  return true;
}

// What a save writes: from `first` on, at file offset `prefix`; `size` is
// the length of the whole text on disk.
struct Plan {
  int64_t prefix = 0;
  Line* first = nullptr;
  int32_t firstNo = 1;  // the number of `first`
  int64_t size = 0;
};

// One walk over the lines. With `keep_prefix`, the leading lines that are
// still in the temporary copy, one after the other from offset 0 and
// within what was loaded, are already on disk and are not written.
Plan plan_save(File* f, bool keep_prefix) {
  Plan p;
  p.first = f->first;
  const int eol = f->crlf ? 2 : 1;
  bool in_prefix = keep_prefix;
  for (Line* l = f->first; l; l = l->next) {
    if (in_prefix) {
      if (LineInFile(l) && l->text.offset == p.prefix && p.prefix + l->len + 1 <= f->loadSize) {
        p.prefix += l->len + 1;
        p.first = l->next;
        ++p.firstNo;
      } else {
        in_prefix = false;
      }
    }
    p.size += l->len + eol;
  }
  return p;
}

// Collects writes at increasing offsets and hands them out in pieces.
class CoalescingWriter {
 public:
  explicit CoalescingWriter(int fd) : fd_(fd) {}
  bool Add(int64_t offset, const char* data, int64_t n) {
    if (offset != at_ + static_cast<int64_t>(pending_.size()) && !Flush()) return false;
    if (pending_.empty()) at_ = offset;
    pending_.append(data, static_cast<size_t>(n));
    return pending_.size() < 65536 || Flush();
  }
  bool Flush() {
    bool ok = write_fully(fd_, pending_.data(), static_cast<int64_t>(pending_.size()), at_);
    at_ += static_cast<int64_t>(pending_.size());
    pending_.clear();
    return ok;
  }

 private:
  int fd_;
  int64_t at_ = 0;
  std::string pending_;
};

// Brings the temporary copy back in step with the disk file `disk` just
// written (the whole text, with LF ends). Lines of the kept prefix and
// in-file lines that kept their offset are not touched; in-memory lines
// before the first line that moved are written from memory; from that line
// on the disk file is copied. Lines whose text came from memory become
// in-file lines again. Any failure falls back to the full rebuild.
int rebuild_temp(File* f, const char* disk, const Plan& plan) {
  if (f->crlf || !f->tempName) return FileReinitTemp(f);
  int temp = CacheOpen(f->tempName, false);
  struct stat st;
  if (temp < 0 || fstat(temp, &st) != 0) return FileReinitTemp(f);
  const int64_t temp_size = st.st_size;
  FileResetSynCache(f);
  f->cacheBase = -1;
  f->cacheLen = 0;

  int32_t line_no = plan.firstNo;
  int64_t off = plan.prefix;
  Line* l = plan.first;
  CoalescingWriter out(temp);
  bool ok = true;
  for (; l && ok; l = l->next, ++line_no) {
    if (LineInFile(l)) {
      if (l->text.offset != off || l->text.offset + l->len >= temp_size) break;
    } else {
      ok = out.Add(off, l->text.buf, l->len) && out.Add(off + l->len, "\n", 1);
      LineResetO(f, l, off, l->len, line_no);
    }
    off += l->len + 1;
  }
  ok = out.Flush() && ok;
  if (ok && l) {
    int src = open(disk, O_RDONLY | O_CLOEXEC);
    ok = src >= 0 && FileCopyRange(src, off, temp, off, plan.size - off);
    if (src >= 0) close(src);
    for (; l; l = l->next, ++line_no) {
      LineResetO(f, l, off, l->len, line_no);
      off += l->len + 1;
    }
  }
  if (ok) ok = ftruncate(temp, plan.size) == 0;
  // Saving keeps the text, so the syntax states stay as they were.
  if (!ok) return FileReinitTemp(f);
  return 1;
}

// Brings the journal of a file that holds its lock up to date before a
// save (and the base copy, when the save rewrites the disk file from
// `overwriteFrom` and the journal refers to bytes there). A journal that
// cannot be written is reported and the save goes on: refusing to save
// would not keep the text any safer.
void protect_text(File* f, int64_t overwriteFrom) {
  if (!f->haslock) return;
  if (overwriteFrom < 0 && !f->journalDirty) return;
  incr_SaveEdits(f, overwriteFrom);
}

bool listed_elsewhere(File* f, const char* name) {
  for (File* g = FileHead(); g; g = g->next)
    if (g != f && g->name && std::strcmp(g->name, name) == 0) return true;
  return false;
}

void take_disk_identity(File* f) {
  struct stat st;
  if (f->name && stat(f->name, &st) == 0) FileTakeDiskIdentity(f, st);
}

void take_new_name(File* f, const char* name) {
  char* copy = gen_copy(name);
  gen_free(f->name);
  f->name = copy;
  gen_free(f->realName);
  f->realName = nullptr;
  struct stat lst;
  if (lstat(name, &lst) == 0 && S_ISLNK(lst.st_mode)) {
    if (char* target = realpath(name, nullptr)) {
      f->realName = gen_copy(target);
      free(target);
    }
  }
  gen_free(f->absName);
  f->absName = nullptr;
  if (char* abs = realpath(name, nullptr)) {
    f->absName = gen_copy(abs);
    free(abs);
  }
}
}  // namespace

void FileSetChangeInformer(FileChangeInformer informer) { change_informer = informer; }
void FileSetSaveAsDialogue(FileSaveAsDialogue dialogue) { save_as_dialogue = dialogue; }

int FileRunSaveAsDialogue(File* f, PRS* prs) {
  if (save_as_dialogue) return save_as_dialogue(f, prs);
  FileError("Cannot save %s under a new name: Save As needs an editor window",
            f && f->name ? f->name : "the text");
  return 0;
}

int FilexSave(File* f, const char* name, bool rename, bool force, PRS* prs) {
  if (!f) return 0;
  const bool same = !name || (f->name && std::strcmp(name, f->name) == 0);
  if (!rename && f->mustSaveAs && same) return FileRunSaveAsDialogue(f, prs);
  if (!f->name && !name) {
    FileError("No filename specified, can't save it");
    return 0;
  }
  // The target's name outlives a rename of the record.
  const std::string target = same ? f->name : name;
  const char* path = target.c_str();

  int fd;
  Plan plan;
  bool created = false;
  if (same) {
    int changed = FileFileChanged(f);
    if (changed < 0 && !force &&
        !confirm("File %s externally removed on disk, save anyway?", path, true))
      return 0;
    if (changed > 0 && !force) {
      int answer = FileQuerySave(f, prs);
      if (answer < 0) return 0;
      if (answer == 0) return 1;
    }
    if (!f->isNew && !f->backupTried && !FileBackup(f, prs)) {
      f->backupTried = 0;
      return 0;
    }
    created = access(path, F_OK) != 0;
    fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, create_mode(f));
    if (fd < 0) {
      FileError("Cannot open file for writing: %s", path);
      return 0;
    }
    plan = plan_save(f, changed == 0 && !f->crlf && !f->diskCrlf && f->uniformEnds);
    // Bytes beyond the text would stay behind: a shorter text rewrites the
    // file from a truncation.
    struct stat st;
    int64_t disk_size = fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : f->size;
    const bool truncate = plan.size < disk_size;
    if (truncate) {
      plan.prefix = 0;
      plan.first = f->first;
      plan.firstNo = 1;
    }
    // The file is rewritten in place (it keeps its inode, links, owner and
    // permissions). Until the new text is on disk, the journal and the base
    // copy it refers to are what holds the text: both are brought up to
    // date first.
    protect_text(f, plan.prefix);
    if (truncate) {
      close(fd);
      fd = open(path, O_WRONLY | O_TRUNC | O_CLOEXEC);
      if (fd < 0) {
        FileError("Cannot truncate file: %s", path);
        return 0;
      }
    }
    if (lseek(fd, plan.prefix, SEEK_SET) < 0) {
      close(fd);
      FileError("No space to save file: %s", path);
      return 0;
    }
  } else {
    if (!force) {
      struct stat st;
      if (stat(path, &st) == 0 && !confirm("File %s exists, save anyway?", path, false)) return 0;
      if (rename && listed_elsewhere(f, path) &&
          !confirm("File %s being edited, replace it?", path, false))
        return 0;
    }
    // The journal holds the text until the copy under the new name is on
    // disk.
    protect_text(f, -1);
    created = access(path, F_OK) != 0;
    fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, create_mode(f));
    if (fd < 0) {
      std::string text = "Cannot create file: " + target +
                         ".  Please try a different filename or directory.";
      wAlert("Save", text);
      return FileRunSaveAsDialogue(f, prs);
    }
    plan = plan_save(f, false);
  }

  {
    AlignedWriter writer(fd, plan.prefix, true);
    bool ok = write_lines(f, &writer, plan.first, f->crlf);
    // The text is on disk, and under its name, before the journal goes.
    ok = writer.Close(true) && ok;
    if (ok && created) ok = FileSyncDirectory(path);
    if (!ok) {
      FileError("No space to save file: %s", path);
      if (same) {
        // What is on disk now is this save's own doing, not another
        // program's; but it no longer holds what the temporary copy holds.
        take_disk_identity(f);
        f->loadSize = 0;
      }
      return 0;
    }
  }

  if (change_informer) change_informer(prs, path, f->name);
  FileResizeCache(f, plan.size);
  f->modified = 0;
  f->journalDirty = 0;
  f->savedOnce = 1;
  f->internal = 0;
  if (f->haslock) incr_ReleaseLock(f);
  utimensat(AT_FDCWD, path, nullptr, 0);
  const bool renamed = rename && !same;
  if (same || renamed) {
    if (renamed) {
      take_new_name(f, path);
      f->readOnly = 0;
      plan.prefix = 0;
      plan.first = f->first;
      plan.firstNo = 1;
    }
    take_disk_identity(f);
    rebuild_temp(f, path, plan);
    // The temporary copy now holds the whole disk file, with one kind of
    // line end throughout.
    f->loadSize = plan.size;
    f->diskCrlf = f->crlf;
    f->uniformEnds = 1;
    f->isNew = 0;
    gen_free(f->displayPath);
    f->displayPath = nullptr;
    File_RefreshTitleForEditors(f, nullptr);
  }
  FileResetSynCache(f);
  UndoMarkSaved(f);
  FileNotifySaved(f, prs, path, renamed);
  FileNotifyModifiedChanged(f);
  return 1;
}

int FileSave(File* f, const char* name, PRS* prs) { return FilexSave(f, name, false, false, prs); }
int FileSaveAs(File* f, const char* name, PRS* prs) { return FilexSave(f, name, true, false, prs); }
int FileForceSaveAs(File* f, const char* name, PRS* prs) {
  return FilexSave(f, name, true, true, prs);
}
int FileSaveNoCheckin(File* f, PRS* prs) { return FilexSave(f, nullptr, false, false, prs); }
int FileSaveCom(File* f, PRS* prs) { return FilexSave(f, nullptr, false, false, prs); }

int file_SaveMemoryToDisk(File* f, const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return 0;
  AlignedWriter writer(fd, 0, false);
  bool ok = write_lines(f, &writer, f->first, false);
  ok = writer.Close() && ok;
  if (!ok) FileError("No space to save file: %s", path);
  return ok ? 1 : 0;
}
