// bench-deps: file
// Auto-indenting a 50,000-line C file: every line at once (Select All and
// AutoIndent), and one line after a Return in the middle of it, with the
// cached parser state and, as its peer, without it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench_support.h"
#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/fileindent.h"
#include "windlib/file/undo.h"

namespace {

constexpr int kLines = 50000;

bool c_language(File*, AI_Lang* lang, char* leader) {
  *lang = AI_LangC;
  *leader = 0;
  return true;
}

// One function of the file, its lines flush left or indented by four
// columns a level (without tabs). `body` more statement lines make the
// function longer: a function has 21 + 2 * body lines.
void write_function(FILE* out, int n, int body, bool indented) {
  const char* in1 = indented ? "    " : "";
  const char* in2 = indented ? "        " : "";
  const char* in3 = indented ? "            " : "";
  fprintf(out, "/*\n * Function %d.\n */\nstatic int f%d(int a, int b)\n{\n", n, n);
  fprintf(out, "%sint i, sum = 0;\n%sfor (i = 0; i < a; i++) {\n%sif (i %% 2)\n%ssum += i;\n", in1,
          in1, in2, in3);
  fprintf(out, "%selse {\n%ssum -= b;\n%s}\n%s}\n%sswitch (b) {\n%scase 1:\n%sreturn sum;\n", in2,
          in3, in2, in1, in1, in2, in3);
  fprintf(out, "%sdefault:\n%sbreak;\n%s}\n", in2, in3, in1);
  for (int k = 0; k < body; ++k)
    fprintf(out, "%ssum = call(sum, %d,\n%sb);\n", in1, k, indented ? in3 : "");
  fprintf(out, "%sreturn sum;\n}\n", in1);
}

// About 50,000 lines: functions of 23 lines, or one function as long as
// the whole file.
File* c_file(bool one_function, bool indented) {
  gen_init("bench_aindent", 0);
  static char dir[] = "/tmp/oe-bench-aindent.XXXXXX";
  static bool made = false;
  if (!made) {
    if (!mkdtemp(dir)) abort();
    setenv("TMPDIR", dir, 1);
    gen_reset_temp_dir();
    EditSettingsToDefaults();
    FileAutoIndentLanguageHook = c_language;
    made = true;
  }
  const std::string path = std::string(dir) + "/t.c";
  FILE* out = fopen(path.c_str(), "w");
  if (one_function)
    write_function(out, 0, (kLines - 21) / 2, indented);
  else
    for (int n = 0; n < kLines / 23 + 1; ++n) write_function(out, n, 1, indented);
  fclose(out);
  File* f = FileF_File(path.c_str(), false, 0);
  unlink(path.c_str());
  f->language = reinterpret_cast<synLanguage*>(f);
  return f;
}

File* flush_left() {
  static File* f = c_file(false, false);
  return f;
}

File* many() {
  static File* f = c_file(false, true);
  return f;
}

File* one() {
  static File* f = c_file(true, true);
  return f;
}

void BM_AutoIndentEveryLine(benchmark::State& state) {
  File* f = flush_left();
  for (auto _ : state) {
    const int32_t changed = FileAutoIndent(f, nullptr, 0, 1, 0, f->nLines + 1, 0, 4, true);
    state.counters["lines"] = f->nLines;
    state.counters["changed"] = changed;
    state.PauseTiming();
    FileUndo(f, nullptr, 0);
    state.ResumeTiming();
  }
}

// Return in the middle of a line halfway down an indented file, then the new line is
// auto-indented as the Return key does. With `cached`, the state cached by
// the previous run is used; the peer forgets it first.
void return_in_the_middle(benchmark::State& state, File* f, bool cached) {
  const int32_t at = f->nLines / 2;
  FileAutoIndent(f, nullptr, 0, at + 1, 0, at + 1, 0, 4, false);
  for (auto _ : state) {
    state.PauseTiming();
    if (!cached) FileAutoIndentForget(f);
    FileCloseUndo(f);
    Undo* before = f->undo;
    state.ResumeTiming();
    Line* l = FileLine(f, at, nullptr, 0);
    FileChange(f, l, at, at, l->len / 2, at, l->len / 2, "\n", 1, false);
    FileAutoIndent(f, nullptr, 0, at + 1, 0, at + 1, 0, 4, false);
    state.PauseTiming();
    while (f->undo != before) FileUndo(f, nullptr, 0);
    state.ResumeTiming();
  }
}

void BM_ReturnInManyFunctions(benchmark::State& state) {
  return_in_the_middle(state, many(), true);
}
void BM_ReturnInManyFunctionsUncached(benchmark::State& state) {
  return_in_the_middle(state, many(), false);
}
void BM_ReturnInOneLongFunction(benchmark::State& state) {
  return_in_the_middle(state, one(), true);
}
void BM_ReturnInOneLongFunctionUncached(benchmark::State& state) {
  return_in_the_middle(state, one(), false);
}

BENCHMARK(BM_AutoIndentEveryLine)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReturnInManyFunctions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReturnInManyFunctionsUncached)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReturnInOneLongFunction)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReturnInOneLongFunctionUncached)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
