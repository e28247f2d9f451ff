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

#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"

extern char** environ;

namespace {

std::string bench_dir() {
  const char* d = getenv("OE_BENCH_DIR");
  std::string dir = d && *d ? d : "/var/tmp/oe-bench";
  mkdir(dir.c_str(), 0755);
  return dir;
}

int64_t file_size(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 ? st.st_size : -1;
}

// Writes `target` bytes of source-like lines (average about 100 bytes).
std::string generate_source(int64_t target) {
  std::string path = bench_dir() + "/src-1g.c";
  if (file_size(path) >= target) return path;
  FILE* out = fopen(path.c_str(), "w");
  const char* shapes[] = {
      "static int compute_value_%ld(const struct computation_context *ctx, int first, int second) { return first * %ld + second; }\n",
      "\tfor (int index = 0; index < element_count; index++) running_total += values[index] * %ld; /* step %ld */\n",
      "    if (status != STATUS_OK) { report_error(ctx, \"processing of step %ld failed with %ld\"); }\n",
      "#define CONFIGURATION_CONSTANT_NUMBER_%ld (%ldUL << 3) /* generated, do not edit */\n",
      "\n",
      "        result->position.x = origin.position.y + offset.delta.z * scale_factor; // keep in step with table %ld and %ld\n",
  };
  int64_t written = 0;
  for (long i = 0; written < target; ++i) {
    int n = fprintf(out, shapes[i % 6], i, i * 31);
    written += n;
  }
  fclose(out);
  return path;
}

std::string generate_wide(int64_t lines, int width) {
  std::string path = bench_dir() + "/wide-3g.txt";
  if (file_size(path) >= lines * (width + 1)) return path;
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

long rss_bytes() {
  long pages = 0, resident = 0;
  FILE* f = fopen("/proc/self/statm", "r");
  if (f) {
    if (fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    fclose(f);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

double run_cp(const std::string& from, const std::string& to) {
  unlink(to.c_str());
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  const char* argv[] = {"cp", from.c_str(), to.c_str(), nullptr};
  posix_spawnp(&pid, "cp", nullptr, nullptr, const_cast<char**>(argv), environ);
  int status;
  waitpid(pid, &status, 0);
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  unlink(to.c_str());
  return secs;
}

void setup_runtime() {
  static bool done = false;
  if (done) return;
  done = true;
  gen_init("bench_file_load", 0);
  setenv("TMPDIR", bench_dir().c_str(), 1);
  gen_reset_temp_dir();
}

// Runs `measure` in a child process and returns the number it reports.
template <typename Measure>
double in_child(Measure measure) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    double value = measure();
    CacheAbort();
    if (write(fds[1], &value, sizeof value) != sizeof value) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  double value = -1;
  if (read(fds[0], &value, sizeof value) != sizeof value) value = -1;
  close(fds[0]);
  waitpid(pid, nullptr, 0);
  return value;
}

// Time to load in a fresh process, as when the editor opens the file.
double load_seconds(const std::string& path, int32_t* lines) {
  double result = in_child([&] {
    auto start = std::chrono::steady_clock::now();
    File* f = FileF_File(path.c_str(), false, 0);
    double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    FileFree(f);
    return t;
  });
  if (lines) *lines = static_cast<int32_t>(in_child([&] {
    File* f = FileF_File(path.c_str(), false, 0);
    double n = f->nLines;
    FileFree(f);
    return n;
  }));
  return result;
}

// Resident memory that loading added, beyond the cache window, per line.
double resident_per_line(const std::string& path) {
  return in_child([&] {
    long before = rss_bytes();
    File* f = FileF_File(path.c_str(), false, 0);
    double per_line = static_cast<double>(rss_bytes() - before - f->cacheAlloc) / f->nLines;
    FileFree(f);
    return per_line;
  });
}

// Resident memory added by opening a file, in MiB.
double resident_mib(const std::string& path) {
  return in_child([&] {
    long before = rss_bytes();
    File* f = FileF_File(path.c_str(), false, 0);
    double mib = (rss_bytes() - before) / 1048576.0;
    FileFree(f);
    return mib;
  });
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// cp and the load alternate, so that both meet the same page cache and
// write-back conditions; the medians are compared.
void compare_with_cp(int rounds) {
  std::string src = generate_source(int64_t{1} << 30);
  std::string wide = generate_wide(3000000, 1023);
  // Memory first, in children forked before this process has loaded
  // anything (freed line records are kept for reuse).
  double per_line = resident_per_line(src);
  double wide_mib = resident_mib(wide);
  std::vector<double> cp_times, load_times;
  int32_t lines = 0;
  for (int i = 0; i < rounds; ++i) {
    cp_times.push_back(run_cp(src, bench_dir() + "/cp-target"));
    load_times.push_back(load_seconds(src, i == 0 ? &lines : nullptr));
  }
  double cp = median(cp_times), load = median(load_times);
  printf("1 GiB source, %d lines, %d rounds\n", lines, rounds);
  printf("  cp   median %.3f s\n  load median %.3f s (%.0f MB/s)\n", cp, load,
         file_size(src) / load / 1e6);
  printf("  load / cp: %.2f (target <= 1.50)\n", load / cp);
  printf("  resident memory per line: %.1f bytes (target <= 40)\n", per_line);
  printf("3 GiB file of 3 million 1 KiB lines: %.1f MiB resident after opening (target < 200)\n",
         wide_mib);
}

void BM_SequentialWalk(benchmark::State& state) {
  setup_runtime();
  std::string src = generate_source(int64_t{1} << 30);
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
  if (!f) f = FileF_File(generate_source(int64_t{1} << 30).c_str(), false, 0);
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
  benchmark::Initialize(&argc, argv);
  const char* rounds = getenv("OE_BENCH_ROUNDS");
  compare_with_cp(rounds ? atoi(rounds) : 7);
  fflush(stdout);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  FilesAbort();
  CacheAbort();
  return 0;
}
