// bench-deps: edit
// Text read as UTF-8 against the same text read as bytes, in one run:
// drawing a screen of 50 rows of 80 characters of accented and wide text
// against a screen of ASCII (the peer), and loading a pure-ASCII file of
// 200 MB with the utf8 option on against the same load with it off.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/file.h"
#include "windlib/file/textgeom.h"
#include "windlib/gapplication.h"
#include "windlib/x11/wdraw.h"
#include "windlib/xswitch.h"

namespace {

void init() {
  static bool done = false;
  if (done) return;
  done = true;
  static GUIApplication app;
  ApplicationInstance = &app;
  oebench::StartProgram("bench_utf8_text");
  EditInit();
  vfUtf8 = true;
}

Edit* view_of(const std::string& path) {
  File* f = FileFName(path.c_str(), 0);
  auto* w = new EditWindow(f, 1, false, 80 * 8 + 19, 50 * 16 + 19 + 48);
  w->Show();
  WFlushDrawing();
  return w->edit();
}

void draw_screens(benchmark::State& state, Edit* e) {
  for (auto _ : state) {
    e->RedrawAll();
    WFlushDrawing();
  }
}

void BM_DrawScreenAscii(benchmark::State& state) {
  init();
  static Edit* e = view_of(oebench::RepeatedLinesFile("screen-ascii.txt", "abcd efgh ", 10, 200));
  draw_screens(state, e);
}

void BM_DrawScreenUtf8(benchmark::State& state) {
  init();
  // é, ö, a combining acute, a wide character: 10 cells per unit.
  static Edit* e = view_of(oebench::RepeatedLinesFile(
      "screen-utf8.txt", "h\xc3\xa9llo w\xc3\xb6r e\xcc\x81\xe6\x97\xa5", 10, 200));
  draw_screens(state, e);
}

// The cell layout alone, the part of drawing that reads the text: the
// 50 rows of a screen laid out to 80 columns.
void layout_rows(benchmark::State& state, const std::string& unit) {
  std::string line;
  while (line.size() < 200) line += unit;
  GeomCells cells;
  const GeomRule rule = GeomDisplayRule(nullptr);
  for (auto _ : state) {
    for (int row = 0; row < 50; ++row) {
      GeomLineCells(line.data(), static_cast<int32_t>(line.size()), DisplayCol(80), rule, &cells);
      benchmark::DoNotOptimize(cells.glyphs.data());
    }
  }
}

void BM_LayoutScreenAscii(benchmark::State& state) {
  init();
  layout_rows(state, "abcd efgh ");
}
void BM_LayoutScreenUtf8(benchmark::State& state) {
  init();
  layout_rows(state, "h\xc3\xa9llo w\xc3\xb6r e\xcc\x81\xe6\x97\xa5");
}

void load(benchmark::State& state, bool utf8) {
  init();
  const std::string path = oebench::RepeatedLinesFile(
      "load-ascii.txt", "    total += table[i] * weight[j]; // accumulate the sum ", 57,
      oebench::Size(3000000));
  vfUtf8 = utf8;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    File* f = FileF_File(path.c_str(), false, 0);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    state.counters["lines"] = f->nLines;
    FileFree(f);
  }
  vfUtf8 = true;
}

void BM_LoadAsciiBytes(benchmark::State& state) {
  load(state, false);
}
void BM_LoadAsciiUtf8(benchmark::State& state) {
  load(state, true);
}

}  // namespace

BENCHMARK(BM_DrawScreenAscii)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawScreenUtf8)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LayoutScreenAscii)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LayoutScreenUtf8)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadAsciiBytes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadAsciiUtf8)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
