// bench-deps: edit
// Loading a tag file of a million entries in ctags' format, shuffled, and
// looking names up in the loaded dictionary.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "windlib/edit/edittags.h"

namespace {

constexpr int kEntries = 1000000;

std::string name_of(int i) {
  return "function_" + std::to_string(i * 7919 % kEntries);
}

// The generated tag file: half pattern tags with ctags' extension fields,
// half line-number tags, in an order far from sorted.
const std::string& tag_file() {
  static std::string path;
  if (!path.empty()) return path;
  path = oebench::Dir() + "/tags-million";
  FILE* out = fopen(path.c_str(), "w");
  if (!out) abort();
  for (int i = 0; i < kEntries; ++i) {
    std::string n = name_of(i);
    if (i % 2)
      fprintf(out, "%s\tsrc/module_%d.c\t/^int %s(int a, char *b)$/;\"\tf\tline:%d\n", n.c_str(),
              i % 977, n.c_str(), i % 5000 + 1);
    else
      fprintf(out, "%s\tsrc/module_%d.c\t%d;\"\tv\n", n.c_str(), i % 977, i % 5000 + 1);
  }
  fclose(out);
  return path;
}

void BM_LoadMillionTags(benchmark::State& state) {
  const std::string& path = tag_file();
  for (auto _ : state) {
    TagReset();
    if (TagAppendDictionary(path.c_str()) != 1) state.SkipWithError("tag file not read");
    benchmark::DoNotOptimize(TagCount());
  }
  state.counters["entries"] = TagCount();
}
BENCHMARK(BM_LoadMillionTags)->Unit(benchmark::kMillisecond)->Iterations(3);

// Lookups of names present (every one) and absent (every other) in turn.
void BM_LookupInMillionTags(benchmark::State& state) {
  TagReset();
  if (TagAppendDictionary(tag_file().c_str()) != 1) state.SkipWithError("tag file not read");
  std::vector<std::string> names;
  for (int i = 0; i < 4096; ++i)
    names.push_back(i % 2 ? name_of(i * 131) : name_of(i * 131) + "_absent");
  size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(TagDefault(names[k++ & 4095].c_str()));
  }
}
BENCHMARK(BM_LookupInMillionTags)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
