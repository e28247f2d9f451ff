// Commands that hand over to subsystems which plug in: auto-completion.
// Until it is present there is nothing for them to do: no completion can be
// pending.
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"

int (*EditAcceptCompletionHook)(Edit* edit) = nullptr;

namespace {
int CmdAcceptAcString(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  return EditAcceptCompletionHook ? EditAcceptCompletionHook(e) : 1;
}

// The subsystem behind a hook makes its own checks: without one these
// commands change nothing.
const CmdEntry kCommands[] = {
    {"AcceptAcString", CmdAcceptAcString, 0},
};
}  // namespace

EditCmdSet EditHookCmds() {
  return {kCommands, {}};
}
