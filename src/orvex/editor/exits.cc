#include "orvex/editor/exits.h"

#include <csignal>

#include "orvex/editor/oe_output.h"
#include "shared/indgen/indgen.h"
#include "windlib/config/configsave.h"
#include "windlib/config/settingsmanager.h"
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
  cfg_AskSaveConfig();
  if (OePreExitHook && OePreExitHook() != 1) return;
  if (ApplicationInstance && !ApplicationInstance->cwDestroyAll()) return;
  // The windows closed have left their places with the settings manager.
  SettingsManager::destroy();
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
