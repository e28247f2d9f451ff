// Running command strings in views: the editor's command tables, hooks,
// conditions and the read-only check.
#pragma once

#include <string>

#include "windlib/cmdparse.h"
#include "windlib/edit/edit.h"

// Runs a command string for a view from an event at (x, y).
int EditParseCmd(Edit* edit, const CmdInfo& templ);
// Runs a command string with the position of the caret (keys, tool bar).
int EditParseCmdLoc(Edit* edit, int x, int y, const char* command);
// Runs a command string with no position (menus, the command prompt).
int EditCli(Edit* edit, const char* command);

// Adds a command to the run-time table searched first.
void EditAddCmd(const char* name, CmdHandler handler);
// The first table of the editor's chain.
CmdTbl* EditCmdTable();

// Nonzero when the view's file must not be changed now; every command
// that changes text calls it first.
int EditReadOnlyCheck(Edit* edit);

// The "Custom" command's handlers.
using EditCustomHandler = int (*)(Edit* edit, const char* args);
void EditSetCustomCommandHandler(Edit* edit, EditCustomHandler handler);
void EditSetDefaultCustomCommandHandler(EditCustomHandler handler);
EditCustomHandler EditDefaultCustomHandler();

// Identify mode: the command string of a key and the key's name.
void EditIdentifyStr(Edit* edit, const std::string& command, const std::string& key);

// Expands %FILE, %SEL, %LINE, %COMMENTS and %% in a shell command line.
// False when the command is refused (too long) or cancelled.
bool EditCmdSubstitute(Edit* edit, const std::string& command, std::string* result);

// A view's condition for "if" (1 true, 0 false, -1 error reported).
int Edit_CondStrToCond(Edit* edit, const std::string& cond);

// Reports a command error in the view's message line (an alert without one).
void EditCmdError(Edit* edit, const std::string& text);

// The command handlers' view.
inline Edit* EditOf(void* object) { return static_cast<Edit*>(object); }
