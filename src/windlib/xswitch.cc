#include "windlib/xswitch.h"

#include <cstring>

#include "shared/indgen/indgen.h"

unsigned char debugFlag[kNumSwitches];
const char* debugFlagName[kNumSwitches];

namespace {
struct SwitchDefault {
  int index;
  const char* name;  // none for a switch reachable by number only
  bool on;
};

const SwitchDefault kDefaults[] = {
    {xsServiceRouter, "ServiceRouter", true},
    {xsOrvexEditorService, "OrvexEditorService", true},
    {xsComponentRouter, "ComponentRouter", true},
    {xsUseZelrptForSignals, "UseZelrptForSignals", false},
    {xsUseZelrptForAssertions, "UseZelrptForAssertions", false},
    {xsUseZelrptForXerrors, "UseZelrptForXerrors", false},
    {xsUseZelrptForMiscErrors, "UseZelrptForMiscErrors", false},
    {xsDumpInitializationErrors, "DumpInitializationErrors", true},
    {xsDiffViewer, "DiffViewer", true},
    {xsZedozozor, "Zedozozor", false},
    {xsUseHelpService, "UseHelpService", true},
    {xsUseFDRegistry, "UseFDRegistry", true},
    {xsTmpFileToMru, "TmpFileToMru", false},
    {xsEditorProcList, "EditorProcList", true},
    {xsDashRunFixes, "dashRunFixes", false},
    {xsAutoDetectClearCase, "AutoDetectClearCase", true},
    {xsNoFastAutoDetectClearCase, "NoFastAutoDetectClearCase", false},
    {xsDontTellUserHeCancelledCommit, "DontTellUserHeCancelledCommit", true},
    {xsCheckoutBrowser, "CheckoutBrowser", true},
    {xsWarnings, "Warnings", false},
    {xsDontAllowNullInConfigOptions, "DontAllowNullInConfigOptions", true},
    {xsConfigService, "ConfigService", false},
    {xsUseSingleConfigFile, "UseSingleConfigFile", true},
    {xsFlatToolbars, "flattoolbars", true},
    {xsConfigTrace, "ConfigTrace", false},
    {xsRuntimeChecks, "RuntimeChecks", false},
    {xsImageRecolouring, nullptr, true},
};

std::vector<std::pair<int, bool>> pending;
}  // namespace

void InitDebugFlag() {
  std::memset(debugFlag, 0, sizeof debugFlag);
  for (auto& name : debugFlagName) name = nullptr;
  for (const auto& d : kDefaults) {
    debugFlag[d.index] = d.on ? 1 : 0;
    debugFlagName[d.index] = d.name;
  }
  pending.clear();
}

int XSwitchIndex(const char* spec) {
  if (!spec || !*spec) return -1;
  if (gen_isdigit(static_cast<unsigned char>(*spec))) {
    long value = 0;
    const char* p = spec;
    while (gen_isdigit(static_cast<unsigned char>(*p))) {
      value = value * 10 + (*p - '0');
      if (value >= kNumSwitches) return -1;
      ++p;
    }
    while (gen_isspace(static_cast<unsigned char>(*p))) ++p;
    return *p ? -1 : static_cast<int>(value);
  }
  for (int i = 0; i < kNumSwitches; ++i)
    if (debugFlagName[i] && std::strcmp(debugFlagName[i], spec) == 0) return i;
  return -1;
}

void setXSwitch(int index, bool on) {
  if (index < 0 || index >= kNumSwitches) return;
  debugFlag[index] = on ? 1 : 0;
  pending.emplace_back(index, on);
}

std::vector<std::pair<int, bool>>& XSwitchPending() { return pending; }
