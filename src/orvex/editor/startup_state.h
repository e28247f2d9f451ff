// What start-up learns from the command line, shared by its three passes.
#pragma once

#include <string>

struct StartupState {
  // Pass 1: the early options.
  bool splash = true;
  bool console = false;
  bool noCfg = false;
  bool wmHints = false;
  std::string configDir;
  // Pass 3: main's own arguments.
  bool reuseWindow = true;
  bool historyMode = false;
  bool serverMode = false;
  bool somethingOpened = false;
  bool helpRequested = false;
  unsigned long pendingLine = 0;  // 0: none pending
};

// Low-bandwidth level: 1+ no colour icons, 2+ no blinking caret or tool
// tips, 8+ no iconified buttons, 9+ no syntax colouring.
extern int ISDN_mode;
