// bench-deps: edit
// Select All, Copy and Paste of a 100 MB file in a view without a display,
// timed beside loading and saving the same file in the same run: the copy,
// the paste over the whole text (made in pieces, the longest stretch
// between two chances to repaint and to see Escape reported), its undo, a
// paste stopped halfway and taken back, and a cut.
// Run: build/bench/bench_paste (OE_BENCH_SMALL=1 for a quick check).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
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
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"
#include "windlib/gapplication.h"
#include "windlib/x11/wselection.h"
#include "windlib/x11/wwindow.h"
#include "windlib/xswitch.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

// About 100 MB of source-like lines, made once and kept.
std::string hundred_megabytes() {
  const std::string path = oebench::Dir() + "/paste-100m.c";
  const int64_t target = oebench::Size(100LL << 20);
  if (oebench::FileSize(path) >= target) return path;
  FILE* out = fopen(path.c_str(), "w");
  int64_t written = 0;
  for (long i = 0; written < target; ++i)
    written += fprintf(out, "    result[%ld] = compute_value(table, %ld) + offset; /* step */\n", i,
                       i * 7);
  fclose(out);
  return path;
}

void setup() {
  static GUIApplication app;
  ApplicationInstance = &app;
  oebench::StartProgram("bench_paste");
  EditInit();
}

struct Timed {
  double seconds = 0;
  double longest_gap = 0;  // longest time between two polls (or the ends)
  int polls = 0;
};

// Runs a paste of `text` over the view's selection through the polled
// path, timing it and the stretches between polls; `stop_at` > 0 stops it
// at that poll.
Timed paste(Edit* e, const std::string& text, int stop_at = 0) {
  Timed t;
  auto start = Clock::now(), last = start;
  FileCloseUndo(e->file);
  EditAddCharsPolled(e, text.data(), static_cast<int32_t>(text.size()), 0, [&](double) {
    t.longest_gap = std::max(t.longest_gap, since(last));
    WFlushDrawing();
    last = Clock::now();
    return ++t.polls == stop_at;
  });
  t.longest_gap = std::max(t.longest_gap, since(last));
  t.seconds = since(start);
  return t;
}

void compare() {
  setup();
  const std::string path = hundred_megabytes();
  const int64_t size = oebench::FileSize(path);

  // The peers: copying the file with cp, and loading a copy of it,
  // changing its first line and saving it.
  const std::string copy_path = oebench::Dir() + "/paste-100m-copy.c";
  const double cp = oebench::TimeCommand({"cp", path, copy_path});
  auto t0 = Clock::now();
  File* peer = FileF_File(copy_path.c_str(), false, 0);
  const double load = since(t0);
  FileChange(peer, nullptr, 0, 1, 0, 1, 1, "R", 1, false);
  t0 = Clock::now();
  FileSave(peer, nullptr, nullptr);
  const double save = since(t0);
  FileFree(peer);
  unlink(copy_path.c_str());

  File* f = FileFName(path.c_str(), 0);
  auto* w = new EditWindow(f, 1, false, 80 * 8 + 19, 50 * 16 + 19 + 48);
  w->Show();
  WFlushDrawing();
  Edit* e = w->edit();
  t0 = Clock::now();
  EditCli(e, "SelectAll; Copy1");
  const double copy = since(t0);
  std::string clip;
  WSelectionOwned("CLIPBOARD", &clip);

  EditCli(e, "SelectAll");
  const Timed whole = paste(e, clip);
  const bool same = f->nLines > 0 && e->caretLine == f->nLines + 1;
  t0 = Clock::now();
  EditCli(e, "Undo");
  const double undo = since(t0);

  EditCli(e, "SelectAll");
  const int32_t lines = f->nLines;
  Undo* const undo_head = f->undo;
  Undo* const redo_head = f->redo;
  const Timed stopped = paste(e, clip, std::max(1, whole.polls / 2));
  const bool intact = f->nLines == lines && f->undo == undo_head && f->redo == redo_head;

  EditCli(e, "SelectAll");
  t0 = Clock::now();
  EditCli(e, "Cut1");
  const double cut = since(t0);

  printf("%.0f MB file, %d lines, in a view without a display\n", size / 1e6, lines);
  printf("  peers: cp %.3f s; load %.3f s, save after a change %.3f s, load + save %.3f s\n", cp,
         load, save, load + save);
  printf("  Select All + Copy %.3f s\n", copy);
  printf("  paste over all: %.3f s in %d pieces, longest stretch without a poll %.0f ms%s\n",
         whole.seconds, whole.polls + 1, whole.longest_gap * 1000, same ? "" : " (WRONG END)");
  printf("  paste / (load + save) %.2f\n", whole.seconds / (load + save));
  printf("  undo of the paste %.3f s\n", undo);
  printf("  paste stopped at poll %d and taken back: %.3f s, longest stretch %.0f ms%s\n",
         stopped.polls, stopped.seconds, stopped.longest_gap * 1000,
         intact ? "" : " (TEXT CHANGED)");
  printf("  Select All + Cut %.3f s\n", cut);
  w->Destroy();
  WReapDestroyed();
}

// Pasting 10 MB into an empty file, the size another client's clipboard
// brings in the end-to-end test.
void BM_PasteTenMegabytes(benchmark::State& state) {
  std::string text;
  while (static_cast<int64_t>(text.size()) < oebench::Size(10LL << 20))
    text += "line of a ten megabyte clipboard, padded out to some width\n";
  const std::string path = oebench::Dir() + "/paste-empty.c";
  FILE* out = fopen(path.c_str(), "w");
  fclose(out);
  File* f = FileFName(path.c_str(), 0);
  auto* w = new EditWindow(f, 1, false, 80 * 8 + 19, 50 * 16 + 19 + 48);
  w->Show();
  Edit* e = w->edit();
  for (auto _ : state) {
    EditCli(e, "SelectAll");
    paste(e, text);
    WFlushDrawing();
  }
  w->Destroy();
  WReapDestroyed();
  unlink(path.c_str());
}
BENCHMARK(BM_PasteTenMegabytes)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return oebench::RunBenchmarks(argc, argv, compare);
}
