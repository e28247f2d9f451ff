// bench-deps: file
// Loading large files: time against cp of the same file in the same run,
// resident memory per line, sequential line walks and hinted lookups.
//
// Files are generated once under $OE_BENCH_DIR (default /var/tmp/oe-bench):
//   src-1g.c   about 1 GiB of C-like source, about 10 million lines
//   wide-3g.txt  3 GiB: 3 million lines of 1 KiB
// Run: build/bench/bench_file_load [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"

namespace {

std::string generate_wide(int64_t lines, int width) {
  std::string path = oebench::Dir() + "/wide-3g.txt";
  if (oebench::FileSize(path) >= lines * (width + 1)) return path;
  FILE* out = fopen(path.c_str(), "w");
  std::string line(static_cast<size_t>(width), 'w');
  line += '\n';
  for (int64_t i = 0; i < lines; ++i) {
    line[static_cast<size_t>(i % width)] = static_cast<char>('a' + i % 26);
    fwrite(line.data(), 1, line.size(), out);
  }
  fclose(out);
  return path;
}

void setup_runtime() {
  static bool done = false;
  if (done) return;
  done = true;
  gen_init("bench_file_load", 0);
  setenv("TMPDIR", oebench::Dir().c_str(), 1);
  gen_reset_temp_dir();
}

// Time to load in a fresh process, as when the editor opens the file.
double load_seconds(const std::string& path, int32_t* lines) {
  double result = oebench::InChild([&] {
    auto start = std::chrono::steady_clock::now();
    File* f = FileF_File(path.c_str(), false, 0);
    double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    FileFree(f);
    return t;
  });
  if (lines) *lines = static_cast<int32_t>(oebench::InChild([&] {
    File* f = FileF_File(path.c_str(), false, 0);
    double n = f->nLines;
    FileFree(f);
    return n;
  }));
  return result;
}

// Resident memory that loading added, beyond the cache window, per line.
double resident_per_line(const std::string& path) {
  return oebench::InChild([&] {
    long before = oebench::ResidentBytes();
    File* f = FileF_File(path.c_str(), false, 0);
    double per_line = static_cast<double>(oebench::ResidentBytes() - before - f->cacheAlloc) / f->nLines;
    FileFree(f);
    return per_line;
  });
}

// Resident memory added by opening a file, in MiB.
double resident_mib(const std::string& path) {
  return oebench::InChild([&] {
    long before = oebench::ResidentBytes();
    File* f = FileF_File(path.c_str(), false, 0);
    double mib = (oebench::ResidentBytes() - before) / 1048576.0;
    FileFree(f);
    return mib;
  });
}

// cp and the load alternate, so that both meet the same page cache and
// write-back conditions; the medians are compared.
void compare_with_cp(int rounds) {
  std::string src = oebench::SourceFile();
  std::string wide = generate_wide(oebench::Size(3000000), 1023);
  // Memory first, in children forked before this process has loaded
  // anything (freed line records are kept for reuse).
  double per_line = resident_per_line(src);
  double wide_mib = resident_mib(wide);
  std::vector<double> cp_times, dd_times, load_times;
  int32_t lines = 0;
  for (int i = 0; i < rounds; ++i) {
    const std::string target = oebench::Dir() + "/copy-target";
    cp_times.push_back(oebench::TimeCommand({"cp", src, target}));
    unlink(target.c_str());
    // The same copy through user memory in 32 KiB pieces, as a loader reads.
    dd_times.push_back(oebench::TimeCommand({"dd", "if=" + src, "of=" + target, "bs=32k"}));
    unlink(target.c_str());
    load_times.push_back(load_seconds(src, i == 0 ? &lines : nullptr));
  }
  double cp = oebench::Median(cp_times), dd = oebench::Median(dd_times);
  double load = oebench::Median(load_times);
  printf("1 GiB source, %d lines, %d rounds\n", lines, rounds);
  printf("  cp   median %.3f s\n  load median %.3f s (%.0f MB/s)\n", cp, load,
         oebench::FileSize(src) / load / 1e6);
  printf("  dd (32 KiB reads and writes) median %.3f s\n", dd);
  printf("  load / cp: %.2f (target <= 1.50); load / dd: %.2f\n", load / cp, load / dd);
  printf("  resident memory per line: %.1f bytes (target <= 40)\n", per_line);
  printf("3 GiB file of 3 million 1 KiB lines: %.1f MiB resident after opening (target < 200)\n",
         wide_mib);
}

void BM_SequentialWalk(benchmark::State& state) {
  setup_runtime();
  std::string src = oebench::SourceFile();
  File* f = FileF_File(src.c_str(), false, 0);
  int64_t bytes = 0;
  for (auto _ : state) {
    uint64_t sum = 0;
    for (Line* l = f->first; l; l = l->next) {
      const char* t = FileLineText(f, l);
      if (l->len) sum += static_cast<unsigned char>(t[l->len - 1]);
      bytes += l->len + 1;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(bytes);
  FileFree(f);
}

// FileLine with the neighbouring line as hint, from the start, the middle
// and the end of the file: the time must not depend on the position.
void BM_HintedLookup(benchmark::State& state) {
  setup_runtime();
  static File* f = nullptr;
  if (!f) f = FileF_File(oebench::SourceFile().c_str(), false, 0);
  int32_t at = static_cast<int32_t>(f->nLines * (state.range(0) / 100.0));
  if (at < 1) at = 1;
  Line* hint = FileLine(f, at, nullptr, 0);
  for (auto _ : state) {
    Line* next = FileLine(f, at + 1, hint, at);
    benchmark::DoNotOptimize(next);
  }
}

BENCHMARK(BM_SequentialWalk)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HintedLookup)->Arg(0)->Arg(50)->Arg(99);

}  // namespace

int main(int argc, char** argv) {
  setup_runtime();
  return oebench::RunBenchmarks(argc, argv, [] {
    const char* rounds = getenv("OE_BENCH_ROUNDS");
    compare_with_cp(rounds ? atoi(rounds) : 7);
  });
}
