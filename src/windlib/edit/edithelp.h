// Help inside the editor: the listing of the key and mouse bindings in
// effect, shown read-only in an editor window ("Keys and Commands").
#pragma once

#include <string>

#include "windlib/edit/editcmdtable.h"

// The listing: one line per binding in effect, the trigger and its command
// string, keys first. Made from the binding tables, so it cannot drift.
std::string EditKeysListing();
// How a binding's trigger is named in the listing ("Control+s",
// "Shift+Mouse1 Press x2").
struct EditBinding;
std::string EditBindingTrigger(const EditBinding& b);

// The "ShowKeys" command.
EditCmdSet EditHelpCmds();
