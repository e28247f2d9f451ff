#include "orvex/editor/exits.h"

#include <csignal>

#include "orvex/editor/oe_output.h"
#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"
#include "windlib/file/fileincr.h"
#include "windlib/gapplication.h"
#include "windlib/x11/wgui.h"

int (*OePreExitHook)() = nullptr;
void (*OeExitHook)() = nullptr;

namespace {
// Everything that holds temporary files or outside state lets go of it here.
void release_everything() { FilesAbort(); }
}  // namespace

void GracefulGuiExit() {
  // Asking whether to save changed configuration comes with the options database.
  if (OePreExitHook && OePreExitHook() != 1) return;
  if (ApplicationInstance && !ApplicationInstance->cwDestroyAll()) return;
  OeOutputShutdown();
  if (OeExitHook) OeExitHook();
  WCloseDisplay();
  release_everything();
  gen_do_exit(0);
}

void OeExit(int status) {
  OeOutputSpewOnEarlyExit();
  gen_do_exit(status);
}

void abortme(int sig) {
  gen_sigtrap_value = sig;
  OeOutputShutdown();
  if (sig != SIGINT && sig != SIGTERM) gen_error("Interrupt (%d)", sig);
  // Nobody is asked about unsaved text here: it stays in its journal.
  FilesKeepJournals();
  release_everything();
  gen_do_exit(sig == SIGINT ? 1 : 2);
}
