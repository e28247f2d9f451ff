// Editor views over the shipped language definitions: a private
// configuration directory whose "syntax_coloring" folder links the shipped
// index and a few definitions, with the colouring started on it.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "orvex/syntax_coloring/syncommands.h"
#include "orvex/syntax_coloring/synindex.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/edit/edit_fixture.h"

namespace oetest {

class ShippedLanguagesTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    cfg_ResetAllOptions();
    cfg_SetUserConfigDir(config.path().c_str());
    mkdir(config.file("syntax_coloring").c_str(), 0755);
    mprintf_hook = [](const char*) {};
    const std::string shipped = std::string(OE_SOURCE_DIR) + "/data/syntax_coloring/";
    for (const char* name : {"index.ksc", "c.ksc", "cpp.ksc", "python.ksc", "shell.ksc"})
      symlink((shipped + name).c_str(),
              config.file(std::string("syntax_coloring/") + name).c_str());
    syn_Init(true);
  }
  void TearDown() override {
    EditTest::TearDown();
    syn_LoadLanguageIndex(nullptr);
    mprintf_hook = nullptr;
    cfg_ResetConfigDirs();
  }

  TempDir config;
};

}  // namespace oetest
