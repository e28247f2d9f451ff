// bench-deps: edit
// A view on a file of 10 million lines, without a display: going to the end
// and drawing a screen, typing a character there, and typing with the
// journal written (and synced) after every key, the worst case of the
// journal timer.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/edittype.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/file.h"
#include "windlib/file/fileincr.h"
#include "windlib/gapplication.h"
#include "windlib/x11/wdraw.h"
#include "windlib/x11/wwindow.h"
#include "windlib/xswitch.h"

namespace {

std::string ten_million_lines() {
  std::string path = oebench::Dir() + "/ten-million.c";
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && st.st_size > 0) return path;
  FILE* out = fopen(path.c_str(), "w");
  for (long i = 1; i <= oebench::Size(10000000); ++i) fprintf(out, "    total += table[%ld];\n", i);
  fclose(out);
  return path;
}

Edit* view() {
  static Edit* e = nullptr;
  if (e) return e;
  static GUIApplication app;
  ApplicationInstance = &app;
  oebench::StartProgram("bench_edit_view");
  EditInit();
  File* f = FileFName(ten_million_lines().c_str(), 0);
  auto* w = new EditWindow(f, 1, false, 80 * 8 + 19, 50 * 16 + 19 + 48);
  w->Show();
  WFlushDrawing();
  e = w->edit();
  return e;
}

void BM_EndOfFileAndRedraw(benchmark::State& state) {
  Edit* e = view();
  for (auto _ : state) {
    EditCli(e, "SOF");
    WFlushDrawing();
    auto start = std::chrono::steady_clock::now();
    EditCli(e, "EOF");
    WFlushDrawing();
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["lines"] = e->file->nLines;
}

void BM_TypeAtTheEnd(benchmark::State& state) {
  Edit* e = view();
  EditCli(e, "EOF; Up");
  WFlushDrawing();
  long calls = 0;
  for (auto _ : state) {
    WDrawRecorder rec;
    EditTypedChars(e, "x", 1);
    WFlushDrawing();
    calls += rec.count(WDrawKind::Cells);
  }
  state.counters["cell_runs_per_key"] =
      static_cast<double>(calls) / static_cast<double>(state.iterations());
}

void BM_TypeAndWriteTheJournal(benchmark::State& state) {
  Edit* e = view();
  EditCli(e, "EOF; Up");
  WFlushDrawing();
  for (auto _ : state) {
    EditTypedChars(e, "y", 1);
    WFlushDrawing();
    if (e->file->haslock) incr_SaveEdits(e->file);
  }
  state.counters["journal_bytes"] =
      static_cast<double>(oebench::FileSize(oebench::Dir() + "/.ten-million.c.kv~"));
}

BENCHMARK(BM_EndOfFileAndRedraw)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAtTheEnd)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAndWriteTheJournal)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return oebench::RunBenchmarks(argc, argv);
}
