// bench-deps: file
// Searching and replacing in large files. Printed first, timed against peers
// in the same run on the same file:
//   - a plain search for a string that is not there, over a loaded 100 MB
//     source file, against grep -c (target: at most twice grep's time);
//   - Replace All of an identifier with about 400,000 occurrences, then
//     save, against vim -es '%s/old/new/g' + wq (target: faster than vim);
//     both runs include loading the file, and their results are compared.
// Then Google Benchmark runs of the modes on smaller files.
//
// The files are generated once under $OE_BENCH_DIR (default
// /var/tmp/oe-bench). A missing peer program is reported and its
// comparison skipped. OE_BENCH_ROUNDS sets the rounds (default 5).
// Run: build/bench/bench_search [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"
#include "windlib/file/filesave.h"
#include "windlib/file/filesearch.h"
#include "windlib/file/undo.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// About `target` bytes of C-like source; the identifier "scale_factor"
// stands in one line of every two, so 100 MB hold about 430,000 of it.
std::string source(int64_t target) {
  std::string path = oebench::Dir() + "/search-" + std::to_string(target) + "-v2.c";
  if (oebench::FileSize(path) >= target) return path;
  FILE* out = fopen(path.c_str(), "w");
  const char* shapes[] = {
      "static int compute_value_%ld(const struct computation_context *ctx, int first, int "
      "second) { return first * %ld + second * scale_factor; }\n",
      "\tfor (int index = 0; index < element_count; index++) running_total += values[index] * "
      "%ld; /* step %ld */\n",
      "    if (status != STATUS_OK) { report_error(ctx, \"processing of step %ld failed with "
      "%ld\"); }\n",
      "#define CONFIGURATION_CONSTANT_NUMBER_%ld (%ldUL << 3) /* generated, do not edit */\n",
      "        result->position.x = origin.position.y + offset.delta.z * scale_factor; // keep in "
      "step with table %ld and %ld\n",
      "#define SCALED_CONSTANT_NUMBER_%ld (%ldUL * scale_factor) /* generated, do not edit */\n",
  };
  // Shapes in the order 0 1 2 3 4, then 0 1 2 5 4.
  int64_t written = 0;
  for (long i = 0; written < target; ++i) {
    int shape = static_cast<int>(i % 5);
    if (shape == 3 && i % 10 == 8) shape = 5;
    written += fprintf(out, shapes[shape], i, i * 31);
  }
  fclose(out);
  return path;
}

bool have(const char* program) {
  return oebench::TimeCommand({"sh", "-c", std::string("command -v ") + program}) >= 0;
}

void setup_runtime() {
  static bool done = false;
  if (done) return;
  done = true;
  gen_init("bench_search", 0);
  setenv("TMPDIR", oebench::Dir().c_str(), 1);
  gen_reset_temp_dir();
}

double find_absent(File* f, int flags) {
  const char pattern[] = "no_such_identifier_anywhere";
  int32_t line = 1, col = 0, el, ec;
  auto start = Clock::now();
  int r =
      FileFind(f, nullptr, 0, &line, &col, &el, &ec, 1, false, pattern, sizeof pattern - 1, flags);
  double t = seconds_since(start);
  return r == 0 ? t : -1;
}

void compare_search(int rounds) {
  const std::string path = source(oebench::Size(100'000'000));
  File* f = FileF_File(path.c_str(), false, 0);
  if (!f) return;
  std::vector<double> exact, folded, grep;
  const bool grep_there = have("grep");
  for (int i = 0; i < rounds; ++i) {
    exact.push_back(find_absent(f, kSrchCase));
    folded.push_back(find_absent(f, 0));
    if (grep_there)
      grep.push_back(oebench::TimeCommand(
          {"sh", "-c",
           "grep -c no_such_identifier_anywhere " + path + " >/dev/null; test $? -le 1"}));
  }
  FileFree(f);
  double e = oebench::Median(exact), c = oebench::Median(folded);
  printf("%lld-byte source file, plain search for an absent string, %d rounds\n",
         static_cast<long long>(oebench::FileSize(path)), rounds);
  printf("  FileFind case-sensitive median %.1f ms, case-folded %.1f ms\n", e * 1000, c * 1000);
  if (!grep_there) {
    printf("  grep not found: comparison skipped\n");
    return;
  }
  double g = oebench::Median(grep);
  printf(
      "  grep -c median %.1f ms; case-sensitive / grep %.2f, case-folded / grep %.2f "
      "(target <= 2.00)\n",
      g * 1000, e / g, c / g);
}

// Loads, replaces every "scale_factor" by "scaling_coefficient" and saves;
// the three times in `parts`.
double replace_and_save(const std::string& path, double parts[3]) {
  auto start = Clock::now();
  File* f = FileF_File(path.c_str(), false, 0);
  if (!f) return -1;
  parts[0] = seconds_since(start);
  auto t1 = Clock::now();
  int32_t line, col, first;
  const char from[] = "scale_factor", to[] = "scaling_coefficient";
  int r =
      FileReplaceAll(f, &line, &col, from, sizeof from - 1, to, sizeof to - 1, kSrchCase, &first);
  parts[1] = seconds_since(t1);
  auto t2 = Clock::now();
  int ok = r == 1 && FileSave(f, nullptr, nullptr);
  parts[2] = seconds_since(t2);
  double t = seconds_since(start);
  FileFree(f);
  return ok ? t : -1;
}

void compare_replace(int rounds) {
  const std::string src = source(oebench::Size(100'000'000));
  const std::string ours_path = oebench::Dir() + "/search-replace-ours.c";
  const std::string vim_path = oebench::Dir() + "/search-replace-vim.c";
  const bool vim_there = have("vim");
  std::vector<double> ours, load, replace, save, vim;
  for (int i = 0; i < rounds; ++i) {
    if (oebench::TimeCommand({"cp", src, ours_path}) < 0) return;
    double parts[3] = {-1, -1, -1};
    ours.push_back(replace_and_save(ours_path, parts));
    load.push_back(parts[0]);
    replace.push_back(parts[1]);
    save.push_back(parts[2]);
    if (vim_there) {
      if (oebench::TimeCommand({"cp", src, vim_path}) < 0) return;
      vim.push_back(
          oebench::TimeCommand({"vim", "-es", "-u", "NONE", "-i", "NONE", "-n", "-c",
                                "%s/scale_factor/scaling_coefficient/g", "-c", "wq", vim_path}));
    }
  }
  long count = 0;
  if (FILE* in = fopen(src.c_str(), "r")) {
    char buf[4096];
    while (fgets(buf, sizeof buf, in))
      for (const char* p = buf; (p = strstr(p, "scale_factor")); p += 12) ++count;
    fclose(in);
  }
  double o = oebench::Median(ours);
  printf("%lld-byte source file, Replace All of %ld occurrences then save, %d rounds\n",
         static_cast<long long>(oebench::FileSize(src)), count, rounds);
  printf("  editor load + replace + save median %.3f s (load %.3f, replace %.3f, save %.3f)\n", o,
         oebench::Median(load), oebench::Median(replace), oebench::Median(save));
  if (vim_there) {
    double v = oebench::Median(vim);
    bool same = oebench::TimeCommand({"cmp", "-s", ours_path, vim_path}) >= 0;
    printf("  vim -es %%s + wq median %.3f s; editor / vim %.2f (target < 1.00); results %s\n", v,
           o / v, same ? "identical" : "DIFFER");
  } else {
    printf("  vim not found: comparison skipped\n");
  }
  unlink(ours_path.c_str());
  unlink(vim_path.c_str());
}

// ---- The modes on a 10 MB file ---------------------------------------------------------

File* ten_mb() {
  static File* f = nullptr;
  if (!f) {
    setup_runtime();
    f = FileF_File(source(oebench::Size(10'000'000)).c_str(), false, 0);
  }
  return f;
}

void find_bench(benchmark::State& state, const char* pattern, int flags, int direction) {
  File* f = ten_mb();
  const int32_t length = static_cast<int32_t>(strlen(pattern));
  for (auto _ : state) {
    int32_t line = 1, col = 0, el, ec;
    int r = FileFind(f, nullptr, 0, &line, &col, &el, &ec, direction, direction < 0, pattern,
                     length, flags);
    if (r != 0) state.SkipWithError("found or failed");
  }
  state.SetBytesProcessed(state.iterations() * oebench::FileSize(f->name));
}

void BM_PlainForward(benchmark::State& s) {
  find_bench(s, "not_in_the_file", kSrchCase, 1);
}
void BM_PlainFoldedForward(benchmark::State& s) {
  find_bench(s, "Not_In_The_File", 0, 1);
}
void BM_PlainBackward(benchmark::State& s) {
  find_bench(s, "not_in_the_file", kSrchCase, -1);
}
void BM_WordAnchoredForward(benchmark::State& s) {
  find_bench(s, "step", kSrchCase | kSrchWordStart | kSrchLineEnd, 1);
}
void BM_WildcardForward(benchmark::State& s) {
  find_bench(s, "ctx*zz?y", kSrchWild, 1);
}
void BM_RegexForward(benchmark::State& s) {
  find_bench(s, "report_[a-z]*\\(ctx, \"x", kSrchRegex | kSrchCase, 1);
}
void BM_RegexAlternationForward(benchmark::State& s) {
  find_bench(s, "(alpha|beta)[0-9]*;", kSrchRegex | kSrchCase, 1);
}
void BM_RegexLeadingStarForward(benchmark::State& s) {
  find_bench(s, ".*report_[a-z]*\\(x", kSrchRegex | kSrchCase, 1);
}
BENCHMARK(BM_PlainForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFoldedForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainBackward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordAnchoredForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WildcardForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexAlternationForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexLeadingStarForward)->Unit(benchmark::kMillisecond);

// Replace All in a 1 MB file and its undo, which restores it.
void BM_ReplaceAllAndUndo(benchmark::State& state) {
  setup_runtime();
  File* f = FileF_File(source(oebench::Size(1'000'000)).c_str(), false, 0);
  for (auto _ : state) {
    int32_t line, col, first;
    FileReplaceAll(f, &line, &col, "ctx", 3, "context", 7, kSrchCase | kSrchWordStart, &first);
    FileUndo(f, nullptr, 0);
  }
  FileFree(f);
}
BENCHMARK(BM_ReplaceAllAndUndo)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setup_runtime();
  return oebench::RunBenchmarks(argc, argv, [] {
    const char* rounds = getenv("OE_BENCH_ROUNDS");
    int n = rounds ? atoi(rounds) : 5;
    compare_search(n);
    compare_replace(n);
  });
}
