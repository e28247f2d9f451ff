#include "orvex/editor/startup.h"

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "orvex/editor/early_options.h"
#include "orvex/editor/editor_actions.h"
#include "orvex/editor/exits.h"
#include "orvex/editor/file_arguments.h"
#include "orvex/editor/oe_output.h"
#include "orvex/syntax_coloring/syncommands.h"
#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/config/configoptions.h"
#include "windlib/config/configsave.h"
#include "windlib/config/fileextensions.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editconfig.h"
#include "windlib/file/file.h"
#include "windlib/gapplication.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"
#include "windlib/wwait.h"
#include "windlib/x11/wgui.h"
#include "windlib/xswitch.h"

namespace {
constexpr int kFeatureNumber = 1;

StartupState state;

// Makes a recorded termination signal end the central wait; the main
// loop's ExtraProcess_Wait then takes it.
class SignalWakeListener : public WakeListener {
 public:
  explicit SignalWakeListener(int fd) : fd_(fd) {}
  int wakeFD() override { return fd_; }

 private:
  int fd_;
};

// Interrupts (and the other termination signals) are acted on by the loop,
// where journals can be written safely.
void install_interrupt_handler() {
  int fd = WWatchTerminationSignals(abortme);
  if (fd < 0) return;
  static SignalWakeListener listener(fd);
  if (IdleNotifier* n = getIdleNotifier()) n->addSocketListener(&listener);
}

// A crash must not leave temporary copies behind: delete them, then let
// the signal end the program as it would have.
void fatal_signal(int sig) {
  FilesAbortFromSignal();
  signal(sig, SIG_DFL);
  raise(sig);
}

void install_fatal_signal_handlers() {
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
    struct sigaction sa = {};
    sa.sa_handler = fatal_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    sigaction(sig, &sa, nullptr);
  }
}

// The crash reporter is an outside program; without one that can show its
// own window, its switches are cleared.
void configure_crash_reporter() {
  const int reporter_switches[] = {xsUseZelrptForSignals, xsUseZelrptForAssertions,
                                   xsUseZelrptForXerrors, xsUseZelrptForMiscErrors};
  for (int s : reporter_switches) debugFlag[s] = 0;
}

// Steps 6 to 19 of start-up, inside the start-up recovery point.
void start_up(int* argc, char** argv) {
  if (WGUIInit(argc, argv, ApplicationInstance, true, true, kFeatureNumber) != 1) OeExit(1);
  if (!wDisplayActive) {
    fputs("Failed to attach to windowing system\n", stderr);
    OeExit(1);
  }
  // Every option takes its default; then the site and user files (unless
  // -nocfg) change them.
  cfg_SetEverythingToDefaults();
  if (!state.noCfg) shr_ReadConfigFiles("oe");
  else cfg_RememberCurrentSettings(cfgLevelSite);
  EditApplyConfigRefreshes();
  // The file types the choosers offer; failures have been reported and
  // leave what could be read.
  fileExtensions_Initialize();
  // The language index, before any file opens and takes its language.
  syn_Init(false);

  EditorArgumentActions actions(state);
  if (!ProcessFileArguments(*argc, argv, state, actions)) OeExit(1);
  // What the exit compares against to ask about saving the configuration.
  cfg_RememberCurrentSettings(1);
  cfg_RememberCurrentSettings(cfgLevelUser);

  if (state.helpRequested) gen_warning("online help is not available in this installation");
  OeOutputStartUpDone();

  configure_crash_reporter();
  install_interrupt_handler();
  if (!state.somethingOpened && !actions.OpenChooserInCurrentDirectory()) GracefulGuiExit();
}
}  // namespace

bool OeMainLoopRound() {
  WEventAll(0);
  // Options changed by the last events redraw the views once.
  if (AnyRefreshes) EditApplyConfigRefreshes();
  // Editor-service requests and cross-reference loading are served here once
  // those services exist.
  long next = 0;
  if (ExtraProcess_Wait(&next) != 1) {
    WSync();
    return true;
  }
  WYield(next - 10);
  ApplicationInstance->ReregisterWindows();
  return ApplicationInstance->cwGetList() != nullptr;
}

int OeMain(int argc, char** argv) {
  static GUIApplication application;
  ApplicationInstance = &application;
  gen_init(argv[0], 0);
  // Messages are cached until start-up is over, then shown in a window.
  OeOutputInstall();
  // The runtime layer's traps and a crash delete the temporary copies.
  gen_trap_cleanup = FilesAbortFromSignal;
  install_fatal_signal_handlers();
  EditInit();

  init_prior_to_gui(&argc, argv, state);

  // An error that unwinds to start-up ends the program with status 1.
  if (WithRecoveryPoint([&] { start_up(&argc, argv); }) != 0) OeExit(1);

  WSetExitRequestHandler(GracefulGuiExit);
  WSync();
  bool running = true;
  while (running) {
    // A panic abandons the current round; the loop goes on.
    WithRecoveryPoint([&] { running = OeMainLoopRound(); });
  }
  GracefulGuiExit();
  return 0;
}
