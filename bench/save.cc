// bench-deps: file
// Saving large files: appending one line to an unmodified 1 GiB file writes
// only the tail (timed beside vim doing the same edit and write), and
// changing its first line rewrites it all (timed against cp of the file,
// runs interleaved, medians compared).
//
// The 1 GiB source is the one bench_file_load generates under $OE_BENCH_DIR
// (default /var/tmp/oe-bench); it is made here too when missing. Saves go
// to a working copy beside it, removed at the end.
// Run: build/bench/bench_save [--benchmark_filter=...]; OE_BENCH_ROUNDS sets
// the rounds of the comparisons (default 5).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"
#include "windlib/file/fileincr.h"
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

int64_t bytes_written = 0;

// Loads `path` (not timed), lets `edit` change it, and times the save. As
// in the editor, the first change takes the edit lock, so the save keeps
// the journal (and the base copy it needs) until the new text is on disk.
double timed_save(const std::string& path, const std::function<void(File*)>& edit) {
  File* f = FileF_File(path.c_str(), false, 0);
  if (!f) return -1;
  incr_AcquireLock(f);
  edit(f);
  bytes_written = 0;
  auto start = Clock::now();
  int ok = FileSave(f, nullptr, nullptr);
  double t = seconds_since(start);
  FileFree(f);
  return ok ? t : -1;
}

void append_line(File* f) {
  const char text[] = "/* one more line */\n";
  FileChange(f, nullptr, 0, f->nLines + 1, 0, f->nLines + 1, 0, text, sizeof text - 1, false);
}

void setup_runtime() {
  static bool done = false;
  if (done) return;
  done = true;
  gen_init("bench_save", 0);
  setenv("TMPDIR", oebench::Dir().c_str(), 1);
  gen_reset_temp_dir();
  FileSaveWriteObserver = [](int64_t, int64_t length) { bytes_written += length; };
}

void compare(int rounds) {
  const std::string src = oebench::SourceFile();
  const std::string work = oebench::Dir() + "/save-1g.c";
  const int64_t size = oebench::FileSize(src);
  if (oebench::TimeCommand({"cp", src, work}) < 0) {
    printf("cannot copy %s\n", src.c_str());
    return;
  }

  // Appending one line: the editor's save against vim's edit and write, on
  // the same file, cut back to its original size after each.
  std::vector<double> ours, vim;
  int64_t tail = 0;
  for (int i = 0; i < rounds; ++i) {
    ours.push_back(timed_save(work, append_line));
    tail = bytes_written;
    if (truncate(work.c_str(), size) != 0) return;
    vim.push_back(oebench::TimeCommand({"vim", "-es", "-u", "NONE", "-i", "NONE", "-n", "-c", "$put ='x'", "-c",
                       "wq", work}));
    if (truncate(work.c_str(), size) != 0) return;
  }
  printf("1 GiB file (%lld bytes), append one line and save, %d rounds\n",
         static_cast<long long>(size), rounds);
  printf("  editor save median %.1f ms, %lld bytes written (target < 50 ms)\n",
         oebench::Median(ours) * 1000, static_cast<long long>(tail));
  printf("  vim -es $put + wq median %.3f s (load, edit and write)\n", oebench::Median(vim));

  // Changing line 1: everything after it is rewritten. Same length (the
  // rest stays where it was) and one byte longer (everything moves).
  std::vector<double> cp, same, longer;
  int64_t all = 0;
  for (int i = 0; i < rounds; ++i) {
    cp.push_back(oebench::TimeCommand({"cp", src, oebench::Dir() + "/cp-target"}));
    unlink((oebench::Dir() + "/cp-target").c_str());
    same.push_back(timed_save(work, [i](File* f) {
      const char* c = i % 2 ? "s" : "S";
      FileChange(f, nullptr, 0, 1, 0, 1, 1, c, 1, false);
    }));
    all = bytes_written;
    cp.push_back(oebench::TimeCommand({"cp", src, oebench::Dir() + "/cp-target"}));
    unlink((oebench::Dir() + "/cp-target").c_str());
    longer.push_back(timed_save(work, [](File* f) {
      FileChange(f, nullptr, 0, 1, 0, 1, 0, "x", 1, false);
    }));
  }
  double c = oebench::Median(cp), s = oebench::Median(same), l = oebench::Median(longer);
  printf("1 GiB file, change line 1 and save, %d rounds each\n", rounds);
  printf("  cp median %.3f s\n", c);
  printf("  same length: save median %.3f s, %lld bytes written, save / cp %.2f (target <= 1.50)\n",
         s, static_cast<long long>(all), s / c);
  printf("  one byte longer: save median %.3f s, save / cp %.2f (target <= 1.50)\n", l, l / c);
  unlink(work.c_str());
}

// Saving a 1 MiB file after changing a line in its middle.
void BM_SaveMiddleChange(benchmark::State& state) {
  setup_runtime();
  std::string path = oebench::Dir() + "/save-1m.c";
  {
    FILE* out = fopen(path.c_str(), "w");
    for (int i = 0; i < 20000; ++i) fprintf(out, "line %d of a file of about one megabyte\n", i);
    fclose(out);
  }
  File* f = FileF_File(path.c_str(), false, 0);
  int32_t middle = f->nLines / 2;
  for (auto _ : state) {
    incr_AcquireLock(f);
    FileChange(f, nullptr, 0, middle, 0, middle, 1, "L", 1, false);
    FileSave(f, nullptr, nullptr);
  }
  FileFree(f);
  unlink(path.c_str());
}
BENCHMARK(BM_SaveMiddleChange)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setup_runtime();
  return oebench::RunBenchmarks(argc, argv, [] {
    const char* rounds = getenv("OE_BENCH_ROUNDS");
    compare(rounds ? atoi(rounds) : 5);
  });
}
