// The editor's message routing: the output manager it installs at start-up,
// the switch from caching to showing messages once start-up is over, and
// the way back to standard error for early exits and shutdown.
#pragma once

#include "windlib/outputmanager.h"

class OeOutputManager : public OutputManager {
 public:
  // The message dialog's grabber, the message window's above it, then the
  // base work.
  void CreateDefaultStack() override;
};

// Installs the editor's manager with its default stack. Messages are cached
// until OeOutputStartUpDone.
void OeOutputInstall();
// Start-up is over: cached messages are shown, and from now on the runtime
// layer's diagnostics go to the message window too.
void OeOutputStartUpDone();
// An early exit: with DumpInitializationErrors on, cached messages are
// copied to standard error (nobody will see a window).
void OeOutputSpewOnEarlyExit();
// The program is ending: messages go to standard error from now on and no
// message window is made or touched again.
void OeOutputShutdown();
