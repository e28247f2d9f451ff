// Language tests: a private configuration directory whose
// "syntax_coloring" folder the test fills, the loader's messages and bells
// captured, and an empty index to start from.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvex/syntax_coloring/synindex.h"
#include "shared/indgen/indgen.h"
#include "support/temp_dir.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/wdisplay.h"

namespace oetest {

class SynTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gen_init("oe", 0);
    cfg_ResetAllOptions();
    cfg_SetUserConfigDir(config.path().c_str());
    mkdir(config.file("syntax_coloring").c_str(), 0755);
    messages().clear();
    bells() = 0;
    mprintf_hook = [](const char* text) { messages().push_back(text); };
    WBellHook = [] { ++bells(); };
    syn_LoadLanguageIndex(nullptr);
  }
  void TearDown() override {
    syn_LoadLanguageIndex(nullptr);
    mprintf_hook = nullptr;
    WBellHook = nullptr;
    cfg_ResetConfigDirs();
  }

  static std::vector<std::string>& messages() {
    static std::vector<std::string> m;
    return m;
  }
  static int& bells() {
    static int n = 0;
    return n;
  }
  static std::string AllMessages() {
    std::string all;
    for (const std::string& m : messages()) all += m;
    return all;
  }

  // Writes "syntax_coloring/<name>" in the configuration directory.
  std::string Write(const std::string& name, const std::string& text) {
    return config.write("syntax_coloring/" + name, text);
  }
  // A definition file made of `sections` inside the language tree.
  std::string Definition(const std::string& name, const std::string& sections) {
    return Write(name, "version = 2\nlanguage {\n" + sections + "\n}\n");
  }
  // Writes and reads the index.
  void Index(const std::string& text) {
    std::string path = Write("index.ksc", text);
    syn_LoadLanguageIndex(path.c_str());
  }

  TempDir config;
  TempDir files;
};

}  // namespace oetest
