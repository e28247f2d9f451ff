// Configuration tests start from every option's default with the switches
// as shipped, and collect what the configuration reports.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/wdisplay.h"
#include "windlib/xswitch.h"

namespace oetest {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitDebugFlag();
    cfg_ResetAllOptions();
    messages.clear();
    mprintf_hook = [](const char* text) { Reports() += text; };
  }
  void TearDown() override {
    mprintf_hook = nullptr;
    cfg_ResetConfigDirs();
    cfg_ResetAllOptions();
  }
  static std::string& Reports() {
    static std::string text;
    return text;
  }
  // Everything reported since the test began.
  std::string& messages = Reports();
};

}  // namespace oetest
