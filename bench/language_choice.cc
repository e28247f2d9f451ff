// bench-deps: syntax_coloring
// Loading the language index and choosing the language of a file, as the
// editor does when a file opens: the shipped index is read, the file's
// extension is ambiguous (".h" is listed by C and C++) so its first line is
// read and matched, and only the chosen definition is loaded. The peer is
// file(1), which also decides a file's kind from its name and content.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench_support.h"
#include "orvex/syntax_coloring/synindex.h"
#include "shared/indgen/indgen.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/wdisplay.h"

namespace {

std::string& SamplePath() {
  static std::string path;
  if (path.empty()) {
    path = oebench::Dir() + "/language_sample.h";
    FILE* f = fopen(path.c_str(), "w");
    fputs("\n// -*- c++ -*-\n#pragma once\n\nclass Sample {\n public:\n  int x;\n};\n", f);
    fclose(f);
  }
  return path;
}

// The shipped data, found as the editor finds it: "defaults" beside the
// build's programs.
void UseShippedData() {
  gen_init("bench_language_choice", 0);
  cfg_ResetAllOptions();
  cfg_SetUserConfigDir((std::string(gen_progdir()) + "/../defaults").c_str());
  mprintf_hook = [](const char* text) { fputs(text, stderr); };
}

void BM_LoadIndexAndChooseLanguage(benchmark::State& state) {
  UseShippedData();
  const std::string index = cfg_SearchFileInConfigDirs(kSynIndexFile, R_OK);
  if (index.empty()) state.SkipWithError("no shipped index");
  for (auto _ : state) {
    syn_LoadLanguageIndex(index.c_str());
    synLanguage* lang = syn_LanguageOfFile(SamplePath().c_str());
    if (!lang || lang->name != "C++") state.SkipWithError("wrong language");
    benchmark::DoNotOptimize(lang);
  }
  syn_LoadLanguageIndex(nullptr);
}
BENCHMARK(BM_LoadIndexAndChooseLanguage)->Unit(benchmark::kMillisecond);

void BM_ChooseLanguageWithIndexLoaded(benchmark::State& state) {
  UseShippedData();
  syn_LoadLanguageIndex(cfg_SearchFileInConfigDirs(kSynIndexFile, R_OK).c_str());
  for (auto _ : state) benchmark::DoNotOptimize(syn_LanguageOfFile(SamplePath().c_str()));
  syn_LoadLanguageIndex(nullptr);
}
BENCHMARK(BM_ChooseLanguageWithIndexLoaded)->Unit(benchmark::kMicrosecond);

void Peer() {
  std::vector<double> times;
  for (int i = 0; i < 20; ++i) {
    double t = oebench::TimeCommand({"file", "-b", SamplePath()});
    if (t < 0) {
      printf("peer file(1): not available\n");
      return;
    }
    times.push_back(t);
  }
  printf("peer file(1) on the same sample, median of 20 runs: %.2f ms\n",
         oebench::Median(times) * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  return oebench::RunBenchmarks(argc, argv, Peer);
}
