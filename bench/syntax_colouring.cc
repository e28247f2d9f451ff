// bench-deps: syntax_coloring
// Syntax colouring without a display: going to the last line of a freshly
// opened 100 MB C file and drawing it coloured (every line's state is
// computed on the way), jumping back and forth once the states are known,
// typing in the middle of a coloured 10-million-line file (only a bounded
// window is computed), and colouring one 60-line screen. The peer is
// wc -l, one plain pass over the same 100 MB file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "orvex/syntax_coloring/syncommands.h"
#include "orvex/syntax_coloring/synfile.h"
#include "orvex/syntax_coloring/synindex.h"
#include "orvex/syntax_coloring/synlanguage.h"
#include "orvex/syntax_coloring/synstate.h"
#include "shared/indgen/indgen.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/edittype.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/file.h"
#include "windlib/gapplication.h"
#include "windlib/x11/wwindow.h"
#include "windlib/xswitch.h"

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Ordinary C with block comments, strings, directives and dead code.
const char* const kShapes[] = {
    "/* Block %ld: computes the running totals of the table\n",
    " * and reports every step that fails. */\n",
    "static int compute_value_%ld(const struct context *ctx, int first, int second) {\n",
    "  const char *name = \"step %ld of the computation\";\n",
    "#if 0\n",
    "  legacy_path(ctx, %ld); /* no longer used */\n",
    "#endif\n",
    "  for (int i = 0; i < ctx->count; i++) total += ctx->values[i] * %ldUL; // scale\n",
    "  if (total > 0x%lx) return report(ctx, 'x', first + second);\n",
    "  return first * 31 + second;\n",
    "}\n",
};

std::string Generated(const std::string& name, int64_t target) {
  const std::string path = oebench::Dir() + "/" + name;
  if (oebench::FileSize(path) >= target) return path;
  FILE* out = fopen(path.c_str(), "w");
  int64_t written = 0;
  for (long i = 0; written < target; ++i)
    written += fprintf(out, kShapes[i % (sizeof kShapes / sizeof *kShapes)], i, i);
  fclose(out);
  return path;
}

std::string HundredMegabytes() {
  return Generated("syntax-100m.c", oebench::Size(100 << 20));
}

std::string TenMillionLines() {
  const std::string path = oebench::Dir() + "/syntax-10m-lines.c";
  if (oebench::FileSize(path) > 0) return path;
  FILE* out = fopen(path.c_str(), "w");
  for (long i = 1; i <= oebench::Size(10000000); ++i)
    fputs(kShapes[i % (sizeof kShapes / sizeof *kShapes)], out);
  fclose(out);
  return path;
}

// The editor's start as far as colouring needs it: the shipped languages
// found in "defaults" beside the build's programs.
void Start() {
  static bool started = false;
  if (started) return;
  started = true;
  static GUIApplication app;
  ApplicationInstance = &app;
  oebench::StartProgram("bench_syntax_colouring");
  cfg_ResetAllOptions();
  cfg_SetUserConfigDir((std::string(gen_progdir()) + "/../defaults").c_str());
  EditInit();
  syn_LoadLanguageIndex(cfg_SearchFileInConfigDirs(kSynIndexFile, R_OK).c_str());
  syn_InstallCommands();
  syn_StartColouring();
}

Edit* Open(const std::string& path, int rows) {
  File* f = FileFName(path.c_str(), 0);
  if (!f) return nullptr;
  auto* w = new EditWindow(f, 1, false, 80 * 8 + 19, rows * 16 + 19 + 48);
  w->Show();
  WFlushDrawing();
  return w->edit();
}

bool Coloured(Edit* e) {
  return e && e->file->language && e->file->language->name == "C";
}

void PeerLineCount() {
  const std::string path = HundredMegabytes();
  std::vector<double> times;
  for (int i = 0; i < 3; ++i) times.push_back(oebench::TimeCommand({"wc", "-l", path}));
  printf("peer: wc -l over %lld bytes: %.3f s (median of 3)\n",
         static_cast<long long>(oebench::FileSize(path)), oebench::Median(times));
}

void BM_FreshOpenEndOfFileColoured(benchmark::State& state) {
  const std::string path = HundredMegabytes();
  for (auto _ : state) {
    const double t = oebench::InChild([&] {
      Start();
      Edit* e = Open(path, 32);
      if (!Coloured(e)) return -1.0;
      const auto start = Clock::now();
      EditCli(e, "EOF");
      WFlushDrawing();
      return e->file->colouredLines >= e->file->nLines - 40 ? Since(start) : -1.0;
    });
    if (t < 0) state.SkipWithError("not coloured to the end");
    state.SetIterationTime(t);
  }
  state.counters["bytes"] = static_cast<double>(oebench::FileSize(path));
}
BENCHMARK(BM_FreshOpenEndOfFileColoured)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_JumpBackAndForthColoured(benchmark::State& state) {
  Start();
  static Edit* e = Open(HundredMegabytes(), 32);
  if (!Coloured(e)) state.SkipWithError("not coloured");
  EditCli(e, "EOF");
  WFlushDrawing();
  for (auto _ : state) {
    const auto start = Clock::now();
    EditCli(e, "SOF");
    WFlushDrawing();
    EditCli(e, "EOF");
    WFlushDrawing();
    state.SetIterationTime(Since(start));
  }
}
BENCHMARK(BM_JumpBackAndForthColoured)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_TypeInTheMiddleOfTenMillionLines(benchmark::State& state) {
  Start();
  static Edit* e = Open(TenMillionLines(), 32);
  if (!Coloured(e)) state.SkipWithError("not coloured");
  const int32_t middle = e->file->nLines / 2;
  EditCli(e, ("LineD " + std::to_string(middle)).c_str());
  WFlushDrawing();
  int32_t most = 0;
  for (auto _ : state) {
    EditTypedChars(e, "x", 1);
    WFlushDrawing();
    most = std::max(most, syn_LastPropagate().computed);
  }
  state.counters["lines"] = e->file->nLines;
  state.counters["at_line"] = e->caretLine;
  state.counters["most_lines_computed"] = most;
}
BENCHMARK(BM_TypeInTheMiddleOfTenMillionLines)->Unit(benchmark::kMicrosecond);

void add_colour(const synLanguage* lang, void* ctx, const char*, int32_t, int32_t, uint32_t state) {
  uint32_t pixel = 0;
  if (lang->GetColorForStatus(state, &pixel)) *static_cast<uint32_t*>(ctx) += pixel;
}

void BM_ColourOneScreen(benchmark::State& state) {
  Start();
  synLanguage* c = syn_GetLanguageFName("C", false);
  if (!c) state.SkipWithError("no C");
  std::vector<std::string> screen;
  char buf[256];
  for (long i = 0; i < 60; ++i) {
    snprintf(buf, sizeof buf, kShapes[i % (sizeof kShapes / sizeof *kShapes)], i, i);
    std::string line = buf;
    line.pop_back();
    screen.push_back(line);
  }
  uint32_t sum = 0;
  for (auto _ : state) {
    uint32_t s = 0, ps = 0;
    for (const std::string& line : screen) {
      const auto len = static_cast<int32_t>(line.size());
      c->CalculateTextSynstate(s, ps, line.data(), 0, len, len, false, add_colour, &sum, nullptr);
      uint32_t next = 0;
      c->QuickLineParser(&s, ps, line.data(), len, &next, "screen.c", nullptr);
      ps = next;
    }
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ColourOneScreen)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return oebench::RunBenchmarks(argc, argv, PeerLineCount);
}
