// Internal switches: 1480 one-byte flags, some of them named. Every component
// reads the switches it needs directly by index.
#pragma once

#include <string>
#include <utility>
#include <vector>

constexpr int kNumSwitches = 1480;

extern unsigned char debugFlag[kNumSwitches];
extern const char* debugFlagName[kNumSwitches];

// Indices of the switches the program reads. Unnamed ones are reachable by
// number only.
enum XSwitch {
  xsServiceRouter = 1,
  xsOrvexEditorService = 2,
  xsComponentRouter = 3,
  xsZoomNewWindows = 6,          // unnamed: zoom a new editor window
  xsUseZelrptForSignals = 10,
  xsUseZelrptForAssertions = 11,
  xsUseZelrptForXerrors = 12,
  xsUseZelrptForMiscErrors = 13,
  xsDumpInitializationErrors = 14,
  xsDiffViewer = 15,
  xsZedozozor = 16,
  xsUseHelpService = 17,
  xsUseFDRegistry = 18,
  xsTmpFileToMru = 19,
  xsEditorProcList = 20,
  xsDashRunFixes = 21,
  xsAutoDetectClearCase = 22,
  xsNoFastAutoDetectClearCase = 23,
  xsDontTellUserHeCancelledCommit = 24,
  xsCheckoutBrowser = 25,
  xsWarnings = 26,
  xsDontAllowNullInConfigOptions = 27,
  xsConfigService = 28,
  xsUseSingleConfigFile = 29,
  xsFlatToolbars = 30,
  xsConfigTrace = 31,
  xsRuntimeChecks = 32,
  xsImageRecolouring = 49,       // unnamed: recolour images after reading configuration
  xsPlainEditorTitle = 94,       // unnamed: title windows "Editor"
  xsReportXResources = 130,      // unnamed: report X resources found
  xsHandleLogging = 324,         // unnamed: trace handle operations
  xsSjisDisplay = 419,           // unnamed: shift-JIS display
  xsImmediateAttributeChange = 1129,  // unnamed: run editor attribute changes at once
};

// Clears both arrays and stores each switch's default value and name.
void InitDebugFlag();
// The index of a switch given by name or by decimal number (digits,
// optionally followed by white space); -1 when unknown.
int XSwitchIndex(const char* spec);
// Sets a switch locally. Changes made before the shared switch service is
// connected are kept in order for it.
void setXSwitch(int index, bool on);
std::vector<std::pair<int, bool>>& XSwitchPending();
