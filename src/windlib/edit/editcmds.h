// The editor's command sets, one per subsystem file. Each file declares its
// commands (name, handler, flags) and its conditions next to their handlers
// and exports them through its function here; a new subsystem file also
// joins the start-up list in editcmdtable.cc.
#pragma once

#include "windlib/edit/editcmdtable.h"

EditCmdSet EditTextCmds();      // typing and editing (editcmds_text.cc)
EditCmdSet EditMoveCmds();      // movement and selection (editcmds_move.cc)
EditCmdSet EditMatchCmds();     // matching delimiters (editcmds_match.cc)
EditCmdSet EditSearchCmds();    // incremental search and goto line (editisearch.cc)
EditCmdSet EditSearcherCmds();  // the Searcher dialog (editsearcher.cc)
EditCmdSet EditFileCmds();      // files and windows (editcmds_file.cc)
EditCmdSet EditSaveCmds();      // saving and reverting (editsave.cc)
EditCmdSet EditHookCmds();      // hand-overs to plug-in subsystems (editcmds_hooks.cc)
EditCmdSet EditControlCmds();   // groups, conditions, control (editcmds_control.cc)
EditCmdSet EditHelpCmds();      // help inside the editor (edithelp.cc)
EditCmdSet EditConfigCmds();    // configuration lines and files (editcmds_config.cc)
EditCmdSet EditTagCmds();       // tag files and tag navigation (edittags.cc)
EditCmdSet EditIndentCmds();    // indentation and auto-indent (editindent.cc)
// ConfigCmds, the commands shared with the configuration windows: saving,
// clearing, writing and reading the whole configuration (editcmds_config.cc).
std::span<const CmdEntry> EditConfigBasicCmds();
EditCmdSet EditViewConditions();  // conditions on a view's state (editconds.cc)

// Where auto-completion plugs in.
extern int (*EditAcceptCompletionHook)(struct Edit* edit);
