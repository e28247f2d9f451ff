// bench-deps: libcxxutil
// Reading and writing a 10 MB attribute-tree file: nested braces, dotted
// paths, quoted strings with escapes and macro references, numbers,
// booleans, string lists and conditional regions.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shared/libcxxutil/ut_options_database.h"

namespace {

constexpr size_t kFileSize = 10 * 1024 * 1024;

std::string LanguageBlock(int n) {
  std::string id = std::to_string(n);
  return "lang_" + id +
         " {\n"
         "    general {\n"
         "        name = \"Language " +
         id +
         "\"\n"
         "        description = \"A \\\"quoted\\\" text\\twith escapes and ${BASE}/lib\"\n"
         "        case_sensitive = yes\n"
         "        extension = { \"c\", \"h\", \"cpp\", \"hpp\" }\n"
         "    }\n"
         "    keyword.color = \"blue\"\n"
         "    keyword.name = { \"if\", \"else\", \"while\", \"for\", \"return\", \"switch\" }\n"
         "    autocomplete.max_match = 10; autocomplete.min_string_length = 2\n"
         "    size = 0x400\n"
         "%if LEVEL > 2 && defined(BASE)\n"
         "    extra = -42\n"
         "%else\n"
         "    extra = 42\n"
         "%endif\n"
         "}\n"
         "lang_" +
         id + ".general.first_line_pattern = \"^#!.*" + id + "\"\n";
}

// A settings-like file: hundreds of thousands of attributes on a few nodes.
std::string FlatLine(int n) {
  std::string id = std::to_string(n);
  if (n % 3 == 0) return "window_" + std::to_string(n % 1000) + ".\"pos\" = \"v" + id + "\"\n";
  return "key" + id + " = " + id + "\n";
}

std::string WriteTemporary(const std::string& text) {
  char name[] = "/tmp/oe_attribute_tree_XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) abort();
  close(fd);
  FILE* f = fopen(name, "w");
  if (!f || fwrite(text.data(), 1, text.size(), f) != text.size()) abort();
  fclose(f);
  return name;
}

std::string* sample_path = nullptr;
std::string* flat_path = nullptr;

void RemoveSamples() {
  if (sample_path) unlink(sample_path->c_str());
  if (flat_path) unlink(flat_path->c_str());
}

// The benchmark files are written once per process.
const std::string& SampleFile() {
  if (!sample_path) {
    std::string text = "%define BASE \"/opt/tools\"\n%define LEVEL 3\n";
    for (int n = 0; text.size() < kFileSize; ++n) text += LanguageBlock(n);
    sample_path = new std::string(WriteTemporary(text));
    atexit(RemoveSamples);
  }
  return *sample_path;
}

const std::string& FlatFile() {
  if (!flat_path) {
    std::string text;
    for (int n = 0; text.size() < kFileSize; ++n) text += FlatLine(n);
    flat_path = new std::string(WriteTemporary(text));
    atexit(RemoveSamples);
  }
  return *flat_path;
}

void ReadFile(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    ut_options_database db("Benchmark");
    if (!db.read_from_file_name(path.c_str())) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(db.get_num_attributes());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(kFileSize));
}

// Reading includes destroying the tree, as a program that reads a file,
// uses it and drops it pays for both.
void BM_Read10MBAttributeTree(benchmark::State& state) {
  ReadFile(state, SampleFile());
}
BENCHMARK(BM_Read10MBAttributeTree)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Read10MBFlatAttributes(benchmark::State& state) {
  ReadFile(state, FlatFile());
}
BENCHMARK(BM_Read10MBFlatAttributes)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Write10MBAttributeTree(benchmark::State& state) {
  ut_options_database db("Benchmark");
  if (!db.read_from_file_name(SampleFile().c_str())) state.SkipWithError("read failed");
  for (auto _ : state) {
    std::string text = db.write_to_string();
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_Write10MBAttributeTree)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
