// bench-deps: file
// Typing at the end of a large file, and undoing large groups.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"
#include "windlib/file/undo.h"

namespace {

File* million_line_file() {
  static File* f = nullptr;
  if (f) return f;
  gen_init("bench_undo", 0);
  char dir[] = "/tmp/oe-bench-undo.XXXXXX";
  if (!mkdtemp(dir)) abort();
  setenv("TMPDIR", dir, 1);
  gen_reset_temp_dir();
  std::string path = std::string(dir) + "/million.c";
  FILE* out = fopen(path.c_str(), "w");
  for (int i = 0; i < 1000000; ++i) fprintf(out, "    value_%d = compute(%d);\n", i, i);
  fclose(out);
  f = FileF_File(path.c_str(), false, 0);
  unlink(path.c_str());
  return f;
}

// 100,000 characters typed at the end of the file, a line end every 80:
// one undo record, and the cost per character.
void BM_TypeAtEnd(benchmark::State& state) {
  File* f = million_line_file();
  const int64_t chars = state.range(0);
  for (auto _ : state) {
    FileCloseUndo(f);
    Undo* before = f->undo;
    Line* hint = f->last;
    int32_t line = f->nLines, col = hint->len;
    for (int64_t i = 0; i < chars; ++i) {
      char ch = (i % 80 == 79) ? '\n' : static_cast<char>('a' + i % 26);
      FileChange(f, hint, line, line, col, line, col, &ch, 1, true);
      if (ch == '\n') {
        ++line;
        col = 0;
        hint = f->last;
      } else {
        ++col;
      }
    }
    int records = 0;
    for (Undo* u = f->undo; u != before; u = u->next) ++records;
    state.counters["undo_records"] = records;
    state.PauseTiming();
    FileUndo(f, f->last, f->nLines);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * chars);
  state.counters["ns_per_char"] = benchmark::Counter(
      static_cast<double>(state.iterations() * chars), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A group of n changes down the file (as replace-all makes), undone at once.
void BM_UndoGroup(benchmark::State& state) {
  File* f = million_line_file();
  const int32_t n = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    int32_t sel[4] = {1, 0, 1, 0};
    UndoGroupBegin(f, sel);
    Line* hint = f->first;
    for (int32_t i = 0; i < n; ++i) {
      int32_t line = 1 + i * 9;
      FileChange(f, hint, i ? line - 9 : 1, line, 4, line, 9, "VALUE", 5, false);
      hint = FileLine(f, line, hint, i ? line - 9 : 1);
    }
    UndoGroupEnd(f);
    state.ResumeTiming();
    FileUndo(f, f->first, 1);
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["ns_per_change"] = benchmark::Counter(
      static_cast<double>(state.iterations() * n), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_TypeAtEnd)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UndoGroup)->Arg(10000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  oebench::RunBenchmarks(argc, argv);
  if (const char* dir = getenv("TMPDIR")) rmdir(dir);
  return 0;
}
