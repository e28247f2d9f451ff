// libFuzzer target over the language definition reader and the language
// index. Each input is read as a definition file, as a kernel item file and
// as an index, and a sample file's language is chosen with that index. A
// definition that loads must hold the tables its users rely on: a name, at
// most two string and character pairs, complete pairs, sorted word lists, a
// token buffer longer than every word, and a preprocessor character that is
// no separator.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "orvex/syntax_coloring/synindex.h"
#include "orvex/syntax_coloring/synlanguage.h"
#include "shared/indgen/indgen.h"
#include "windlib/wdisplay.h"

namespace {

using fuzz::WriteFile;

struct FuzzDirectory {
  std::string dir;
  std::string input;
  std::string sample;
};

void Discard(int, const char*, va_list) {}

const FuzzDirectory& Setup() {
  static FuzzDirectory* d = nullptr;
  if (d) return *d;
  d = new FuzzDirectory;
  d->dir = fuzz::ScratchDir();
  d->input = d->dir + "/input.ksc";
  d->sample = d->dir + "/sample.h";
  const std::string sample = "\n// -*- c++ -*-\n#include <stdio.h>\n";
  WriteFile(d->sample, sample.data(), sample.size());
  gen_domessage = Discard;
  mprintf_hook = [](const char*) {};
  WBellHook = [] {};
  return *d;
}

void Check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "broken language table: %s\n", what);
  abort();
}

bool Sorted(const std::vector<std::string>& list, bool case_sensitive) {
  return std::is_sorted(list.begin(), list.end(), [&](const std::string& a, const std::string& b) {
    return case_sensitive ? a < b : strcasecmp(a.c_str(), b.c_str()) < 0;
  });
}

void CheckPairs(const std::vector<synClosingItem>& pairs) {
  for (const synClosingItem& p : pairs) {
    Check(!p.begin.empty() && !p.end.empty(), "empty delimiter");
    Check(p.beginLen == static_cast<int32_t>(p.begin.size()), "begin length");
    Check(p.endLen == static_cast<int32_t>(p.end.size()), "end length");
  }
}

void CheckLanguage(const synLanguage& lang) {
  Check(!lang.name.empty(), "no name");
  Check(lang.strings.size() <= 2, "too many string pairs");
  Check(lang.characters.size() <= 2, "too many character pairs");
  for (const auto* pairs : {&lang.comments, &lang.strings, &lang.characters, &lang.blocks})
    CheckPairs(*pairs);
  Check(Sorted(lang.extensions, true), "extensions");
  Check(Sorted(lang.preprocessorWords, lang.preprocessorCaseSensitive), "preprocessor words");
  Check(Sorted(lang.customized.words, lang.caseSensitive), "customized words");
  for (const auto* list : {&lang.keywords, &lang.preprocessorWords, &lang.customized.words})
    for (const std::string& w : *list)
      Check(static_cast<int32_t>(w.size()) < lang.tokenBufferSize, "token buffer");
  for (const std::string& w : lang.keywords) Check(lang.IsKeyword(w), "keyword lookup");
  Check(lang.separators[0] && lang.separators['\n'] && lang.separators['\r'], "line ends");
  if (lang.preprocessorChar) Check(!lang.separators[lang.preprocessorChar], "preprocessor char");
  for (int c = 0; c < 256; ++c) Check(!lang.pureSeparators[c] || lang.separators[c], "pure");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzDirectory& d = Setup();
  // Includes could name devices or large system files: a run would hang
  // rather than find a fault (the attribute-tree target covers includes).
  if (std::string(reinterpret_cast<const char*>(data), size).find("include") != std::string::npos)
    return 0;
  WriteFile(d.input, data, size);

  if (auto lang = synLanguage::Load(d.input.c_str())) CheckLanguage(*lang);
  synLanguage::LoadSyntaxInfo(d.input.c_str(), synLanguage::kExtraItemsOnly);

  syn_LoadLanguageIndex(d.input.c_str());
  Check(!syn_Entries().empty() && syn_Entries().front()->name == "None", "None first");
  // Every definition the index names is the input itself, for the same
  // reason as above.
  for (auto& e : syn_Entries())
    if (!e->definitionFile.empty()) e->definitionFile = d.input;
  syn_LanguageOfFile(d.sample.c_str());
  syn_LoadLanguageIndex(nullptr);
  return 0;
}
