// What the benchmarks share: where big files live, how the source-like
// 1 GiB file is made, process memory, medians, and measuring in a fresh
// child process.
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"
#include "windlib/xswitch.h"

extern "C" char** environ;

namespace oebench {

// Runs a command with its output discarded; the wall time it took, or -1
// when it failed.
inline double TimeCommand(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  int status = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
    waitpid(pid, &status, 0);
  double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  return status == 0 ? t : -1;
}

// $OE_BENCH_DIR, or /var/tmp/oe-bench; made when missing.
inline std::string Dir() {
  const char* d = getenv("OE_BENCH_DIR");
  std::string dir = d && *d ? d : "/var/tmp/oe-bench";
  mkdir(dir.c_str(), 0755);
  return dir;
}

inline int64_t FileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// A problem size: `full`, the size the stated targets are for, or a
// thousandth of it (at least 1) when $OE_BENCH_SMALL is set to anything but
// "0". The small sizes only show that a benchmark still builds and runs;
// their timings mean nothing.
inline int64_t Size(int64_t full) {
  const char* small = getenv("OE_BENCH_SMALL");
  if (!small || !*small || std::string(small) == "0") return full;
  return std::max<int64_t>(1, full / 1000);
}

// About `target` bytes of C-like source in lines of about 100 bytes (about
// 11 million lines for 1 GiB), made once and kept.
inline std::string SourceFile(int64_t target = Size(int64_t{1} << 30)) {
  std::string path = Dir() + "/src-1g.c";
  if (FileSize(path) >= target) return path;
  FILE* out = fopen(path.c_str(), "w");
  const char* shapes[] = {
      "static int compute_value_%ld(const struct computation_context *ctx, int first, int "
      "second) { return first * %ld + second; }\n",
      "\tfor (int index = 0; index < element_count; index++) running_total += values[index] * "
      "%ld; /* step %ld */\n",
      "    if (status != STATUS_OK) { report_error(ctx, \"processing of step %ld failed with "
      "%ld\"); }\n",
      "#define CONFIGURATION_CONSTANT_NUMBER_%ld (%ldUL << 3) /* generated, do not edit */\n",
      "\n",
      "        result->position.x = origin.position.y + offset.delta.z * scale_factor; // keep in "
      "step with table %ld and %ld\n",
  };
  int64_t written = 0;
  for (long i = 0; written < target; ++i) written += fprintf(out, shapes[i % 6], i, i * 31);
  fclose(out);
  return path;
}

// A file of `lines` lines, each of about 80 cells made of `unit` repeated
// (`cells_per_unit` cells each), made once and kept.
inline std::string RepeatedLinesFile(const std::string& name, const std::string& unit,
                                     int cells_per_unit, int64_t lines) {
  std::string path = Dir() + "/" + name;
  if (FileSize(path) > 0) return path;
  std::string line;
  for (int c = 0; c + cells_per_unit <= 80; c += cells_per_unit) line += unit;
  line += '\n';
  FILE* out = fopen(path.c_str(), "w");
  if (!out) return path;
  for (int64_t i = 0; i < lines; ++i) fwrite(line.data(), 1, line.size(), out);
  fclose(out);
  return path;
}

// Starts the runtime as the program `name`, with its temporary files in the
// benchmarks' directory.
inline void StartProgram(const char* name) {
  gen_init(name, 0);
  setenv("TMPDIR", Dir().c_str(), 1);
  gen_reset_temp_dir();
  InitDebugFlag();
}

// Resident memory of this process in bytes.
inline long ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = fopen("/proc/self/statm", "r")) {
    if (fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    fclose(f);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Runs `measure` in a child process and returns the number it reports, so
// that each measurement starts from a fresh process.
template <typename Measure>
double InChild(Measure measure) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    double value = measure();
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

// The main program of a benchmark: runs `before` (a comparison with a peer
// program, printed first) when given, then the registered benchmarks, then
// deletes the temporary copies the editor made.
inline int RunBenchmarks(int argc, char** argv, void (*before)() = nullptr) {
  benchmark::Initialize(&argc, argv);
  if (before) {
    before();
    fflush(stdout);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  FilesAbort();
  CacheAbort();
  return 0;
}

}  // namespace oebench
