// Commands that hand over to subsystems which plug in: auto-completion and
// language indentation. Until a subsystem is present there is nothing for
// them to do: no completion can be pending, and no file has a language
// that indents.
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"

int (*EditAcceptCompletionHook)(Edit* edit) = nullptr;
int (*EditAutoIndentImplicitHook)(Edit* edit) = nullptr;

namespace {
int CmdAcceptAcString(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  return EditAcceptCompletionHook ? EditAcceptCompletionHook(e) : 1;
}

int CmdAutoIndentImplicit(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->file || !e->file->language || !EditAutoIndentImplicitHook) return 1;
  return EditAutoIndentImplicitHook(e);
}

// The subsystem behind a hook makes its own checks: without one these
// commands change nothing.
const CmdEntry kCommands[] = {
    {"AcceptAcString", CmdAcceptAcString, 0},
    {"AutoIndentImplicit", CmdAutoIndentImplicit, 0},
};
}  // namespace

EditCmdSet EditHookCmds() { return {kCommands, {}}; }
