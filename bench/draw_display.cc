// bench-deps: edit
// Drawing a screen on a real X server: a view of 50 rows of 80 characters
// of accented and wide text against the same view of ASCII (the peer),
// each redrawn whole and waited for until the server has drawn it. The
// server is a private Xvfb; without one the benchmarks say so and skip.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "support/xvfb.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/file.h"
#include "windlib/gapplication.h"
#include "windlib/x11/wgui.h"
#include "windlib/xswitch.h"

namespace {

// The display, opened once for the whole run; false when there is none.
bool open_display() {
  static std::unique_ptr<oetest::Xvfb> server;
  static bool ok = false;
  if (server) return ok;
  server = std::make_unique<oetest::Xvfb>("1280x1024x24");
  if (!server->ok()) return false;
  setenv("DISPLAY", server->display().c_str(), 1);
  static GUIApplication app;
  ApplicationInstance = &app;
  oebench::StartProgram("bench_draw_display");
  static char name[] = "bench_draw_display";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  WGUIInit(&argc, argv, &app, true, true, 0);
  EditInit();
  vfUtf8 = true;
  ok = true;
  return ok;
}

Edit* view_of(const std::string& path) {
  File* f = FileFName(path.c_str(), 0);
  auto* w = new EditWindow(f, 1, false, 80 * 8 + 19, 50 * 16 + 19 + 48);
  w->Show();
  WSync();
  return w->edit();
}

void draw_screens(benchmark::State& state, const std::string& name, const std::string& unit,
                  int cells_per_unit) {
  if (!open_display()) {
    state.SkipWithError("no X server (Xvfb) to draw on");
    return;
  }
  Edit* e = view_of(oebench::RepeatedLinesFile(name, unit, cells_per_unit, 200));
  // The first drawing of a character loads its glyph: not part of a screen.
  e->RedrawAll();
  WSync();
  for (auto _ : state) {
    e->RedrawAll();
    WSync();
  }
}

void BM_DisplayScreenAscii(benchmark::State& state) {
  draw_screens(state, "display-ascii.txt", "abcd efgh ", 10);
}

void BM_DisplayScreenUtf8(benchmark::State& state) {
  // é, ö, a combining acute, a wide character: 10 cells per unit.
  draw_screens(state, "display-utf8.txt", "h\xc3\xa9llo w\xc3\xb6r e\xcc\x81\xe6\x97\xa5", 10);
}

}  // namespace

BENCHMARK(BM_DisplayScreenAscii)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DisplayScreenUtf8)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
