// bench-deps: edit
// A flood of messages into the message window, without a display: 100,000
// lines (a broken configuration, a chatty build tool) routed through the
// output manager, appended in batches, then the window scrolled to the end
// and drawn, as the user would look at it. For comparison, the same lines
// appended one message at a time, as the window would without batching.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editoutput.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/file.h"
#include "windlib/gapplication.h"
#include "windlib/outputmanager.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wdraw.h"
#include "windlib/x11/wwindow.h"
#include "windlib/xswitch.h"

namespace {

void set_up() {
  static bool done = false;
  if (done) return;
  done = true;
  static GUIApplication app;
  ApplicationInstance = &app;
  oebench::StartProgram("oe");
  EditInit();
  wDisplayActive = true;  // windows are made; nothing reaches a screen
  EditorOutputGrabber::OrvexIsInitialized();
}

std::string message(long i) {
  return "oe: warning: Ignoring unknown option \"Switch" + std::to_string(i) +
         "\" in \"/home/user/.kvx/oe.xsw\"\n";
}

// Routes `lines` messages into a fresh message window; with `batched` the
// window takes them at the next idle moment as in the main loop, else after
// each message.
Edit* flood(long lines, bool batched) {
  auto* g = EditorOutputGrabber::MakeEditorOutputGrabber(nullptr);
  outputManager->PushGrabber(g);
  for (long i = 0; i < lines; ++i) {
    outputManager->PrintOutput(message(i).c_str());
    if (!batched) g->Flush();
  }
  getIdleNotifier()->notifyIdle(false);
  Edit* e = g->View();
  EditCli(e, "EOF");
  WFlushDrawing();
  return e;
}

void run(benchmark::State& state, long lines, bool batched) {
  set_up();
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    Edit* e = flood(lines, batched);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    state.counters["lines"] = e->file->nLines;
    state.PauseTiming();
    outputManager->PopAllGrabbers();
    e->window->Destroy();
    WReapDestroyed();
    state.ResumeTiming();
  }
}

void BM_FloodOfMessagesBatched(benchmark::State& state) {
  run(state, oebench::Size(100000), true);
}

// Ten times fewer lines: one append per message is the slow way.
void BM_FloodOfMessagesOneByOne(benchmark::State& state) {
  run(state, oebench::Size(10000), false);
}

BENCHMARK(BM_FloodOfMessagesBatched)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodOfMessagesOneByOne)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return oebench::RunBenchmarks(argc, argv);
}
