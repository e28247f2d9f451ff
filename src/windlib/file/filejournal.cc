// The edit journal inside the lock file: written from the file's lines every
// few seconds, applied to a fresh load of the file after a crash.
//
// After the 4-byte header come "d first last\n" lines, byte ranges of the
// base text (inclusive) that no longer belong to any line, and then
// "a number \"text\n" lines, the lines held in memory with their current
// numbers. Offsets are offsets of the temporary copy, whose text has its
// CR LF line ends turned into LF: a fresh load of the same disk file (or of
// the base copy) gives every line the same offset again, so the ranges of a
// file with CR LF ends match without counting the CRs.
//
// The base text is the disk file while the temporary copy mirrors it. When
// it does not (the text was replaced by another file, a file was inserted,
// or the disk file changed behind the editor's back), the temporary copy is
// written next to the journal as the base copy, and recovery starts from it.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/fileincr.h"
#include "windlib/file/filesave.h"

namespace {

// The temporary copy a base copy was made from, so that it is written once
// per change of the copy, not at every journal write.
struct BaseStamp {
  File* owner;
  int64_t inode, size, mtime_ns;
};
std::vector<BaseStamp> base_stamps;

bool stamp_of(int fd, BaseStamp* s) {
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  s->inode = static_cast<int64_t>(st.st_ino);
  s->size = st.st_size;
  s->mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

bool write_all(int fd, const char* data, size_t n) {
  while (n > 0) {
    ssize_t w = write(fd, data, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    data += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

// A scratch file next to `path`, to be renamed over it once complete.
int scratch_beside(const std::string& path, std::string* scratch) {
  *scratch = path + "XXXXXX";
  int fd = mkstemp(scratch->data());
  if (fd >= 0) fcntl(fd, F_SETFD, FD_CLOEXEC);
  return fd;
}

// On the same file system the base copy is a second name of the temporary
// copy, which is not changed in place while the file holds its lock (a
// rebuild makes a new file; a save rebuilds only after letting go of the
// lock). `scratch` receives the new name, to be renamed to the base copy.
bool link_base(File* f, int src, mode_t mode, std::string* scratch) {
  const std::string base = incr_BaseName(f);
  std::string name = base + "." + std::to_string(getpid()) + "~";
  unlink(name.c_str());
  if (link(f->tempName, name.c_str()) != 0) return false;
  struct stat named, open_copy;
  // The name must still be the copy this process reads.
  if (stat(name.c_str(), &named) != 0 || fstat(src, &open_copy) != 0 ||
      named.st_ino != open_copy.st_ino || named.st_dev != open_copy.st_dev ||
      fchmod(src, mode) != 0 || fsync(src) != 0) {
    unlink(name.c_str());
    return false;
  }
  *scratch = name;
  return true;
}

// Writes the base copy unless the one there was made from the temporary
// copy as it is now. The copy is on disk before it takes the base copy's
// name.
bool write_base(File* f, const std::string& base) {
  BaseStamp now{f, 0, 0, 0};
  // Through the descriptor cache: it reaches the copy even when its name
  // was removed.
  int src = f->tempName ? CacheOpen(f->tempName, false) : -1;
  if (src < 0 || !stamp_of(src, &now)) return false;
  struct stat st;
  auto known = std::find_if(base_stamps.begin(), base_stamps.end(),
                            [f](const BaseStamp& s) { return s.owner == f; });
  if (known != base_stamps.end() && known->inode == now.inode && known->size == now.size &&
      known->mtime_ns == now.mtime_ns && stat(base.c_str(), &st) == 0 && st.st_size == now.size)
    return true;
  const mode_t mode = static_cast<mode_t>((f->mode & 0777) | 0600);
  std::string scratch;
  bool ok;
  int dst = -1;
  if (link_base(f, src, mode, &scratch)) {
    ok = true;
  } else {
    dst = scratch_beside(base, &scratch);
    ok = dst >= 0 && FileCopyRange(src, 0, dst, 0, now.size);
    if (dst >= 0) {
      fchmod(dst, mode);
      ok = ok && fsync(dst) == 0;
      ok = close(dst) == 0 && ok;
    }
  }
  ok = ok && rename(scratch.c_str(), base.c_str()) == 0;
  if (!ok) {
    if (!scratch.empty()) unlink(scratch.c_str());
    return false;
  }
  if (known != base_stamps.end()) *known = now;
  else base_stamps.push_back(now);
  return true;
}

struct Range {
  int64_t first, last;
};
struct Added {
  int32_t number;
  const char* text;
  int32_t len;
};

bool parse_number(const char*& p, const char* end, int64_t* value) {
  const char* start = p;
  int64_t v = 0;
  while (p < end && *p >= '0' && *p <= '9') {
    if (v > (INT64_MAX - 9) / 10) return false;
    v = v * 10 + (*p++ - '0');
  }
  *value = v;
  return p > start;
}

bool expect(const char*& p, const char* end, const char* text) {
  size_t n = std::strlen(text);
  if (static_cast<size_t>(end - p) < n || std::memcmp(p, text, n) != 0) return false;
  p += n;
  return true;
}
}  // namespace

void incr_ForgetBaseCopy(File* f) {
  std::erase_if(base_stamps, [f](const BaseStamp& s) { return s.owner == f; });
}

int incr_SaveEdits(File* f, int64_t overwriteFrom) {
  const std::string lock = incr_LockName(f);
  f->journalDirty = 0;
  std::string journal;
  int32_t frequency = incr_Frequency();
  journal.append(reinterpret_cast<const char*>(&frequency), sizeof frequency);
  std::string added;
  char number[64];
  int64_t expected = 0;  // where the next unchanged line would start
  int64_t base_end = 0;  // end of the base text the lines refer to
  bool refers_to_base = false;
  int64_t text_size = 0;  // the text as a save writes it
  const int eol = f->crlf ? 2 : 1;
  int32_t line_no = 1;
  for (Line* l = f->first; l; l = l->next, ++line_no) {
    text_size += l->len + eol;
    if (LineInFile(l) && l->text.offset >= expected) {
      if (l->text.offset > expected) {
        snprintf(number, sizeof number, "d %lld %lld\n", static_cast<long long>(expected),
                 static_cast<long long>(l->text.offset - 1));
        journal += number;
      }
      expected = l->text.offset + l->len + 1;
      base_end = std::max(base_end, l->text.offset + l->len);
      refers_to_base = true;
      continue;
    }
    snprintf(number, sizeof number, "a %d \"", line_no);
    added += number;
    added.append(FileLineText(f, l), static_cast<size_t>(l->len));
    added += '\n';
  }
  if (!f->isNew) {
    // Everything after the last line, also what a save cut short may have
    // left beyond it on disk.
    int64_t rest = std::max({int64_t{2147483647}, base_end, f->size, text_size});
    snprintf(number, sizeof number, "d %lld %lld\n", static_cast<long long>(expected),
             static_cast<long long>(rest));
    journal += number;
  }
  journal += added;

  const std::string base = incr_BaseName(f);
  // A load size of 0 with lines in the temporary copy: its text came from
  // another file.
  // So does a save about to rewrite bytes of the disk file that lines
  // still refer to.
  bool base_needed = refers_to_base &&
                     (f->loadSize == 0 || base_end > f->loadSize || FileFileChanged(f) != 0 ||
                      (overwriteFrom >= 0 && base_end + 1 > overwriteFrom));
  std::string scratch;
  int fd = scratch_beside(lock, &scratch);
  bool ok = fd >= 0 && write_all(fd, journal.data(), journal.size());
  if (fd >= 0) {
    fchmod(fd, f->isNew ? 0660 : static_cast<mode_t>((f->mode & 0777) | 0660));
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
  }
  // The base copy goes first: a journal never refers to a base it has not
  // got.
  if (ok) ok = base_needed ? write_base(f, base) : (unlink(base.c_str()) == 0 || errno == ENOENT);
  ok = ok && rename(scratch.c_str(), lock.c_str()) == 0;
  if (ok) FileSyncDirectory(lock.c_str());
  if (!ok) {
    if (fd >= 0) unlink(scratch.c_str());
    FileError("Cannot create update file: %s", lock.c_str());
    f->journalDirty = 1;  // tried again at the next interval
    return 0;
  }
  return 1;
}

int incr_ApplyEdits(File* f, const char* path) {
  std::string data;
  {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      FileError("Could not open increment file %s", path);
      return 0;
    }
    char buf[65536];
    ssize_t r;
    while ((r = read(fd, buf, sizeof buf)) != 0) {
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) break;
      data.append(buf, static_cast<size_t>(r));
    }
    close(fd);
    if (r < 0) {
      FileError("Could not open increment file %s", path);
      return 0;
    }
  }
  if (data.size() < sizeof(int32_t)) {
    FileError("Bad format in incr file: %s", path);
    return 0;
  }

  // Read all of it first: a journal is applied completely or not at all.
  std::vector<Range> deleted;
  std::vector<Added> added;
  const char* p = data.data() + sizeof(int32_t);
  const char* end = data.data() + data.size();
  while (p < end) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* line_end = eol ? eol : end;
    bool good = true;
    if (*p == 'd') {
      Range r{};
      good = expect(p, line_end, "d ") && parse_number(p, line_end, &r.first) &&
             expect(p, line_end, " ") && parse_number(p, line_end, &r.last) && p == line_end &&
             r.first <= r.last;
      if (good) deleted.push_back(r);
    } else if (*p == 'a') {
      int64_t n = 0;
      good = expect(p, line_end, "a ") && parse_number(p, line_end, &n) &&
             expect(p, line_end, " \"") && n >= 1 && n <= INT32_MAX &&
             line_end - p <= INT32_MAX;
      if (good) added.push_back({static_cast<int32_t>(n), p, static_cast<int32_t>(line_end - p)});
    } else {
      FileError("Corrupt increment file: %s", path);
      return 0;
    }
    if (!good) {
      FileError("Bad format in incr file: %s", path);
      return 0;
    }
    p = eol ? eol + 1 : end;
  }

  // The lines whose text and line end lie wholly inside a deleted range.
  std::sort(deleted.begin(), deleted.end(),
            [](const Range& a, const Range& b) { return a.first < b.first; });
  std::vector<Line*> doomed;
  int32_t first_changed = INT32_MAX;
  size_t k = 0;
  int32_t line_no = 1;
  for (Line* l = f->first; l && k < deleted.size(); l = l->next, ++line_no) {
    if (!LineInFile(l)) continue;
    const int64_t start = l->text.offset;
    while (k < deleted.size() && deleted[k].last < start) ++k;
    if (k < deleted.size() && deleted[k].first <= start && start + l->len <= deleted[k].last) {
      if (doomed.empty()) first_changed = line_no;
      doomed.push_back(l);
    }
  }
  // Every added line must land within the text as it grows.
  int32_t count = f->nLines - static_cast<int32_t>(doomed.size());
  for (const Added& a : added) {
    if (a.number > count + 1) {
      FileError("Bad format in incr file: %s", path);
      return 0;
    }
    ++count;
  }

  for (Line* l : doomed) FileRemove(f, l);
  Line* hint = nullptr;
  int32_t hint_no = 0;
  for (const Added& a : added) {
    Line* before = FileLine(f, a.number, hint, hint_no);
    hint = FileInsertS(f, before, a.text, a.len);
    hint_no = a.number;
    first_changed = std::min(first_changed, a.number);
  }
  if (first_changed != INT32_MAX) f->lastLine = first_changed;
  f->colouredLines = f->nLines;
  FileNotifyReloaded(f);
  File_RedrawEditors(f);
  return 1;
}
