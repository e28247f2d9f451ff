// Loading a file into its temporary copy, rebuilding the copy after a save,
// and inserting another file.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "windlib/file/bufwriter.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/filesave.h"
#include "windlib/file/lineends.h"
#include "windlib/file/tempregistry.h"
#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"

namespace {
constexpr int32_t kWindow = 32768;

// Copies n bytes of `src` at src_off to `dst` at dst_off inside the kernel,
// sparing the copy through user memory; false when the system cannot (the
// caller then writes the bytes itself).
bool copy_in_kernel(int src, int64_t src_off, int dst, int64_t dst_off, int64_t n) {
  static bool unsupported = false;
  if (unsupported) return false;
  off64_t in = src_off, out = dst_off;
  while (n > 0) {
    ssize_t c = copy_file_range(src, &in, dst, &out, static_cast<size_t>(n), 0);
    if (c < 0 && errno == EINTR) continue;
    if (c <= 0) {
      if (c < 0 && (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP))
        unsupported = true;
      return false;
    }
    n -= c;
  }
  return lseek(dst, out, SEEK_SET) >= 0;
}

void ensure_window(File* f) {
  if (f->cache && f->cacheAlloc > 0) return;
  f->cacheAlloc = kWindow;
  f->cache = static_cast<char*>(gen_realloc(f->cache, kWindow + 1));
  f->cacheLen = 0;
  f->cacheBase = -1;
}

// Walks converted pieces of a file and hands out one (offset, length, width)
// per line. Widths are folded piece by piece, so a line split between two
// pieces needs no second read; a UTF-8 sequence that a piece cuts short is
// kept until the next piece completes it.
class LineSplitter {
 public:
  LineSplitter(int64_t base, const GeomRule& rule) : line_start_(base), rule_(rule) {}
  template <typename Emit>
  void Piece(const char* data, int64_t n, int64_t piece_off, Emit&& emit) {
    const char* p = data;
    const char* end = data + n;
    if (held_ > 0) p = Complete(p, end);
    if (rule_.utf8 && p < end) {
      held_ = GeomCutSequence(p, end);
      std::memcpy(held_bytes_, end - held_, static_cast<size_t>(held_));
      end -= held_;
    }
    // One pass: each line is measured up to its line end.
    while (p < end) {
      const char* q;
      width_ = GeomWidthUntil(width_, p, end, '\n', &q, rule_);
      if (q == end) break;
      int64_t at = piece_off + (q - data);
      emit(line_start_, at - line_start_, width_.v);
      line_start_ = at + 1;
      width_ = kGeomStoreOrigin;
      p = q + 1;
    }
  }
  void HeldCr() {
    FlushHeld();
    width_ = GeomAdvance(width_, '\r', rule_);
  }
  template <typename Emit>
  void Finish(int64_t end_off, Emit&& emit) {
    FlushHeld();
    if (line_start_ < end_off) emit(line_start_, end_off - line_start_, width_.v);
  }

 private:
  // Measures the held bytes followed by the start of the next piece [p,
  // end); returns where the piece goes on. Decoding stops at a byte below
  // 0x80, so a line end is never taken with the held bytes.
  const char* Complete(const char* p, const char* end) {
    char joined[8];
    const int32_t take = static_cast<int32_t>(std::min<int64_t>(end - p, 3));
    std::memcpy(joined, held_bytes_, static_cast<size_t>(held_));
    std::memcpy(joined + held_, p, static_cast<size_t>(take));
    int32_t at = 0;
    while (at < held_) {
      int32_t len;
      width_ = GeomAdvanceChar(width_, joined + at, joined + held_ + take, rule_, &len);
      at += len;
    }
    p += at - held_;
    held_ = 0;
    return p;
  }
  // Held bytes that nothing completes are bytes of an invalid sequence.
  void FlushHeld() {
    width_ = GeomAddCells(width_, held_);
    held_ = 0;
  }
  int64_t line_start_;
  GeomRule rule_;
  DisplayCol width_ = kGeomStoreOrigin;
  char held_bytes_[4] = {};
  int32_t held_ = 0;
};

// Whether the first 64 KiB of the file at `fd` are valid UTF-8 (a sequence
// cut at the end of them allowed); read without moving the file offset.
bool starts_as_utf8(int fd) {
  constexpr size_t kPrefix = 64 * 1024;
  std::vector<char> buf(kPrefix);
  size_t have = 0;
  while (have < kPrefix) {
    ssize_t n = pread(fd, buf.data() + have, kPrefix - have, static_cast<off_t>(have));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    have += static_cast<size_t>(n);
  }
  return GeomValidUtf8(buf.data(), buf.data() + have);
}

int32_t clamp_len(int64_t len) { return len > INT32_MAX ? INT32_MAX : static_cast<int32_t>(len); }

// Loading failures of FileFillup and LoadStubFile.
enum FillResult { fillOk, fillNoFile, fillNoTemp, fillNoSpace };

FillResult fillup(File* f, int64_t size) {
  FileResetSynCache(f);
  FileCacheInit(f, size);
  if (!f->tempName) f->tempName = TempFileName();
  int src = open(f->name, O_RDONLY);
  if (src < 0) return fillNoFile;
  int temp = f->tempName ? CacheOpen(f->tempName, true) : -1;
  if (temp < 0) {
    close(src);
    return fillNoTemp;
  }
  // The file's language is chosen from its name here.
  f->maxWidth = 0;
  f->byteMode = !starts_as_utf8(src);
  if (!FileLoad(f, temp, src, 0, nullptr)) return fillNoSpace;
  f->loadSize = size;
  FileNotifyReloaded(f);
  return fillOk;
}

// Copies `src` into the temporary copy for FileReinitTemp and file
// insertion: existing line records are given their new places in order, new
// ones appended, left-over ones removed.
int reinit_copy(File* f, int temp, int src, bool convert) {
  if (temp < 0) FilePanic("[FilexReinitTemp] Bad file");
  // A language is told here that reloading starts.
  FileResetSynCache(f);
  if (lseek(src, 0, SEEK_SET) < 0) FilePanic("[FilexReinitTemp] Can't seek temp file");
  if (lseek(temp, 0, SEEK_SET) < 0) FilePanic("[FilexReinitTemp] Can't seek temp file");
  ensure_window(f);
  LineEndConverter conv;
  LineSplitter split(0, GeomStoreRule(f));
  Line* next = f->first;
  int32_t line_no = 1;
  int64_t off = 0;
  int64_t piece_off = -1, piece_len = 0;
  auto place = [&](int64_t start, int64_t len, int32_t) {
    if (next) {
      LineResetO(f, next, start, clamp_len(len), line_no);
      next = next->next;
    } else {
      _FileAppendO(f, start, clamp_len(len));
    }
    ++line_no;
  };
  static bool no_room_reported = false;
  auto no_room = [&]() -> int {
    if (!no_room_reported) {
      no_room_reported = true;
      FileFreeContents(f, false, true);
      fputs("No room for tempfile.\n", stderr);
      wAlert("Error", "No room for tempfile");
      WBell();
      gen_do_exit(1);
    }
    return 0;
  };
  while (true) {
    ssize_t n = gen_read_some(src, f->cache, static_cast<size_t>(f->cacheAlloc));
    if (n < 0) FilePanic("[FilexReinitTemp] Tempfile screwed up");
    if (n == 0) break;
    int64_t m = convert ? conv.Convert(f->cache, n) : n;
    if (conv.TakeHeldCr()) {
      if (!gen_write_all(temp, "\r", 1)) return no_room();
      split.HeldCr();
      ++off;
    }
    if (!gen_write_all(temp, f->cache, m)) return no_room();
    split.Piece(f->cache, m, off, place);
    piece_off = off;
    piece_len = m;
    off += m;
  }
  if (conv.Finish()) {
    if (!gen_write_all(temp, "\r", 1)) return no_room();
    split.HeldCr();
    ++off;
  }
  split.Finish(off, place);
  while (next) {
    Line* gone = next;
    next = next->next;
    FileRemove(f, gone);
  }
  f->cacheBase = piece_off;
  f->cacheLen = static_cast<int32_t>(piece_len);
  f->cache[f->cacheLen] = 0;
  f->colouredLines = f->nLines;
  return 1;
}

// Truncates (or recreates) the file's own temporary copy, mode 0600.
int recreate_temp(File* f) {
  if (f->tempName) {
    CacheClose(f->tempName);
    int fd = open(f->tempName, O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return -1;
    close(fd);
    TempRegistryAdd(f->tempName);
  } else {
    f->tempName = TempFileName();
    if (!f->tempName) return -1;
  }
  return CacheOpen(f->tempName, true);
}
}  // namespace

int FileLoad(File* f, int tempFd, int srcFd, int64_t base, Line* before) {
  if (!f->absName && f->name) {
    char* abs = realpath(f->name, nullptr);
    f->absName = abs ? gen_copy(abs) : gen_copy(f->name);
    free(abs);
  }
  // A language is told here that loading starts.
  ensure_window(f);
  LineEndConverter conv;
  LineSplitter split(base, GeomStoreRule(f));
  int64_t off = base;
  int64_t piece_off = -1, piece_len = 0;
  int32_t max_width = f->maxWidth;
  int64_t line_ends = 0;  // lines that ended with a line end
  auto add = [&](int64_t start, int64_t len, int32_t width) {
    _FileInsertL(f, before, LineFAlloc(start, clamp_len(len)));
    if (width > max_width) max_width = width;
    ++line_ends;
  };
  int ok = 1;
  if (lseek(tempFd, base, SEEK_SET) < 0) ok = 0;
  int64_t src_off = lseek(srcFd, 0, SEEK_CUR);
  // Pieces that need no conversion are copied by the kernel, in runs of up
  // to 1 MiB; a run is copied before anything is written after it.
  constexpr int64_t kRun = 1 << 20;
  int64_t run_src = 0, run_dst = 0, run_len = 0;
  auto flush_run = [&]() -> bool {
    if (run_len == 0) return true;
    bool copied = copy_in_kernel(srcFd, run_src, tempFd, run_dst, run_len);
    if (!copied) {
      // Write the run from the source by reading it again.
      if (lseek(tempFd, run_dst, SEEK_SET) < 0) return false;
      std::vector<char> buf(static_cast<size_t>(std::min<int64_t>(run_len, 1 << 16)));
      for (int64_t done = 0; done < run_len;) {
        ssize_t n = pread(srcFd, buf.data(), static_cast<size_t>(std::min<int64_t>(run_len - done, static_cast<int64_t>(buf.size()))), run_src + done);
        if (n <= 0 || !gen_write_all(tempFd, buf.data(), n)) return false;
        done += n;
      }
    }
    run_len = 0;
    return true;
  };
  const bool kernel_copy = src_off >= 0;
  while (ok) {
    ssize_t n = gen_read_some(srcFd, f->cache, static_cast<size_t>(f->cacheAlloc));
    if (n < 0) ok = 0;
    if (n <= 0) break;
    int64_t m = conv.Convert(f->cache, n);
    bool held = conv.TakeHeldCr();
    if (kernel_copy && !held && m == n) {
      if (run_len == 0) {
        run_src = src_off;
        run_dst = off;
      }
      run_len += n;
      src_off += n;
      if (run_len >= kRun && !flush_run()) {
        ok = 0;
        break;
      }
    } else {
      if (kernel_copy) src_off += n;
      if (!flush_run() || lseek(tempFd, off, SEEK_SET) < 0) {
        ok = 0;
        break;
      }
      if (held) {
        if (!gen_write_all(tempFd, "\r", 1)) {
          ok = 0;
          break;
        }
        split.HeldCr();
        ++off;
      }
      if (!gen_write_all(tempFd, f->cache, m)) {
        ok = 0;
        break;
      }
    }
    split.Piece(f->cache, m, off, add);
    piece_off = off;
    piece_len = m;
    off += m;
  }
  if (ok && !flush_run()) ok = 0;
  if (ok && conv.Finish()) {
    if (lseek(tempFd, off, SEEK_SET) >= 0 && gen_write_all(tempFd, "\r", 1)) {
      split.HeldCr();
      ++off;
    } else {
      ok = 0;
    }
  }
  close(srcFd);
  if (!ok) {
    // The language is told that loading ended.
    f->cacheBase = -1;
    f->cacheLen = 0;
    return 0;
  }
  const int64_t lf_ends = line_ends - conv.crlfEnds;
  split.Finish(off, add);
  f->maxWidth = max_width;
  if (conv.crlfEnds == 0 && lf_ends == 0) {
    f->crlf = f->diskCrlf = 0;
    f->uniformEnds = 1;
  } else {
    f->crlf = f->diskCrlf = conv.crlfEnds > lf_ends;
    f->uniformEnds = conv.crlfEnds == 0 || lf_ends == 0;
  }
  f->cacheBase = piece_off;
  f->cacheLen = static_cast<int32_t>(piece_len);
  if (piece_off < 0) f->cacheLen = 0;
  f->cache[f->cacheLen] = 0;
  // The language is told that loading ended; the prototype collector scans
  // the file here.
  return 1;
}

void FileFillup(File* f, int64_t size) {
  switch (fillup(f, size)) {
    case fillOk:
      return;
    case fillNoFile: {
      char name[2048];
      snprintf(name, sizeof name, "%s", f->name ? f->name : "");
      FileFree(f);
      FilePanic("Can't open file: %s", name);
    }
    case fillNoTemp: {
      std::string temp = f->tempName ? f->tempName : "";
      FileFree(f);
      FilePanic("Can't open temp file: %s", temp.c_str());
    }
    case fillNoSpace:
      FileFree(f);
      FilePanic("No space for tempfile");
  }
}

int LoadStubFile(File* f) {
  if (!f->stub) return 1;
  struct stat st;
  if (stat(f->name, &st) != 0) return 0;
  if (st.st_mtime != f->mtime) {
    UndoesFree(f->undo);
    UndoesFree(f->redo);
    f->undo = f->redo = nullptr;
  }
  if (fillup(f, st.st_size) != fillOk) {
    LinesFree(f->first);
    f->first = f->last = nullptr;
    f->nLines = 0;
    if (f->tempName) {
      CacheClose(f->tempName);
      gen_free(f->tempName);
      f->tempName = nullptr;
    }
    return 0;
  }
  FileTakeDiskIdentity(f, st);
  f->stub = 0;
  f->modified = 0;
  f->journalDirty = 0;
  f->colouredLines = f->nLines;
  return 1;
}

int FileReinitTemp(File* f) {
  int src = open(f->name, O_RDONLY);
  if (src < 0) {
    FileError("Cannot open file: %s", f->name);
    return 0;
  }
  int temp = recreate_temp(f);
  if (temp < 0) {
    close(src);
    FileError("Cannot open temp file: %s", f->tempName ? f->tempName : "");
    return 0;
  }
  int ok = reinit_copy(f, temp, src, f->crlf);
  close(src);
  return ok;
}

int FilexInsertFile(File* f, Line* before, const char* path) {
  int src = open(path, O_RDONLY);
  if (src < 0) {
    if (errno == EACCES) FileError("Can not read file (protected): %s", path);
    else FileError("No such file: %s", path);
    return 0;
  }
  char* fresh = TempFileName();
  int out = fresh ? open(fresh, O_WRONLY | O_TRUNC) : -1;
  if (out < 0) {
    close(src);
    if (fresh) {
      CacheClose(fresh);
      gen_free(fresh);
    }
    FileError("Cannot create tempfile");
    return 0;
  }
  const int32_t before_no = FileLineno(f, before);
  const int32_t old_count = f->nLines;

  _file_buffer buffer;
  bufinit(&buffer, out);
  const char* failure = nullptr;
  Line* l = f->first;
  for (; l && l != before && !failure; l = l->next) {
    if (!bufwrite(&buffer, FileLineText(f, l), l->len) || !bufwrite(&buffer, "\n", 1))
      failure = "No space for temp file";
  }
  LineEndConverter conv;
  char piece[8192];
  while (!failure) {
    ssize_t n = gen_read_some(src, piece, sizeof piece);
    if (n <= 0) break;
    int64_t m = conv.Convert(piece, n);
    if ((conv.TakeHeldCr() && !bufwrite(&buffer, "\r", 1)) || !bufwrite(&buffer, piece, m))
      failure = "No space for temp file";
  }
  if (!failure && conv.Finish() && !bufwrite(&buffer, "\r", 1)) failure = "No space for temp file";
  close(src);
  for (; l && !failure; l = l->next) {
    if (!bufwrite(&buffer, FileLineText(f, l), l->len) || !bufwrite(&buffer, "\n", 1))
      failure = "No space for temp file";
  }
  if (!bufclose(&buffer) && !failure) failure = "No space to save tempfile";
  if (failure) {
    CacheClose(fresh);
    gen_free(fresh);
    FileError("%s", failure);
    return 0;
  }

  FileResizeCache(f, kWindow);
  FileFreeLines(f, true);
  int temp = recreate_temp(f);
  int copy = open(fresh, O_RDONLY);
  int ok = (temp >= 0 && copy >= 0) ? reinit_copy(f, temp, copy, false) : 0;
  if (copy >= 0) close(copy);
  CacheClose(fresh);
  gen_free(fresh);

  // The temporary copy no longer mirrors the disk file: a save must not
  // take any of it as already written.
  f->loadSize = 0;
  int32_t added = f->nLines - old_count;
  if (added > 0) {
    f->modified = 1;
    f->journalDirty = 1;
    if (!f->undoOff) {
      // One closed insertion record: undoing it removes the inserted lines.
      Undo* u = UndoAlloc();
      u->startLine = before_no;
      u->startCol = 0;
      Line* last_inserted = FileLine(f, before_no + added - 1, nullptr, 0);
      u->endLine = before_no + added - 1;
      u->endCol = last_inserted ? last_inserted->len + 1 : 0;
      u->saved = static_cast<char*>(gen_alloc(1, 1));
      u->savedLen = 0;
      u->flags = undoClosed;
      u->next = f->undo;
      f->undo = u;
    }
    FileDoModifyCallback(f);
  }
  FileFindMaxWidth(f);
  if (!ok) FileError("No space in tempfile to insert file: %s", path);
  return ok;
}
