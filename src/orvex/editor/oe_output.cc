#include "orvex/editor/oe_output.h"

#include <string>

#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "windlib/edit/editdlgoutput.h"
#include "windlib/edit/editoutput.h"
#include "windlib/file/fileobserver.h"
#include "windlib/xswitch.h"

namespace {
void diagnostics_to_output(int level, const char* format, va_list args) {
  // A fatal message comes just before the program ends: only a terminal
  // can still show it.
  int base = level > GEN_LEVEL_ERRNO ? level - GEN_LEVEL_ERRNO : level;
  if (base == GEN_LEVEL_DISASTER || base == GEN_LEVEL_FATAL) {
    gen_default_domessage(level, format, args);
    return;
  }
  std::string line = gen_format_message(level, format, args);
  outputManager->PrintOutput(line.c_str());
}

bool spewed = false;

// Any exit before start-up is over (the toolkit's without a display, say)
// is an early one; after it, what no window showed yet goes to the terminal.
void exit_with_messages(int status) {
  OeOutputSpewOnEarlyExit();
  EditorOutputGrabber::SpewUnshownToStderr();
  gen_default_exit(status);
}
}  // namespace

void OeOutputManager::CreateDefaultStack() {
  PushGrabber(EditDlgOutputGrabber::MakeEditDlgOutputGrabber(nullptr));
  // The message window takes what the dialog would: an editor window can
  // be searched and copied from and copes with floods of messages.
  PushGrabber(EditorOutputGrabber::MakeEditorOutputGrabber(nullptr));
  OutputManager::CreateDefaultStack();
}

void OeOutputInstall() {
  // Never destroyed: messages may come while static objects go at exit.
  static OeOutputManager* manager = new OeOutputManager;
  OutputSetManager(manager);
  manager->CreateDefaultStack();
  gen_exit = exit_with_messages;
  static EditOrphanMessages orphans;
  FilesAddObserver(&orphans);
}

void OeOutputStartUpDone() {
  EditDlgOutputGrabber::OrvexIsInitialized();
  EditorOutputGrabber::OrvexIsInitialized();
  gen_domessage = diagnostics_to_output;
}

void OeOutputSpewOnEarlyExit() {
  if (spewed) return;
  spewed = true;
  if (debugFlag[xsDumpInitializationErrors] &&
      GetTopmostGrabberOfType<EditorOutputGrabber>(outputManager))
    EditorOutputGrabber::SpewCacheToStderr();
}

void OeOutputShutdown() {
  gen_domessage = gen_default_domessage;
  EditorOutputGrabber::SpewUnshownToStderr();
  outputManager->PopAllGrabbers();
}
