// Running command strings in views: the editor's command tables, hooks,
// conditions and the read-only check.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "windlib/cmdparse.h"
#include "windlib/edit/edit.h"

// Runs a command string for a view from an event at (x, y).
int EditParseCmd(Edit* edit, const CmdInfo& templ);
// Runs a command string with the position of the caret (keys, tool bar).
int EditParseCmdLoc(Edit* edit, int x, int y, const char* command);
// Runs a command string with no position (menus, the command prompt).
int EditCli(Edit* edit, const char* command);

// Adds a command to the run-time table searched first; `flags` are those
// of editcmdtable.h.
void EditAddCmd(const char* name, CmdHandler handler, uint32_t flags = 0);
// The first table of the editor's chain.
CmdTbl* EditCmdTable();

// Nonzero when the view's file must not be changed now (reported); else
// the file may be changed and holds its lock. The dispatcher makes it
// before every command that modifies text.
int EditReadOnlyCheck(Edit* edit);

// A modal operation of a view, such as an incremental search: while it is
// active the dispatcher offers it every command first; a command it does
// not take that moves or modifies, and text typed without a command that
// it does not take, end it first. A view that goes drops its operation
// without ending it.
class EditModal {
 public:
  virtual ~EditModal() = default;
  // True when the operation ran the command in its own way, with the
  // command's result in *result.
  virtual bool Take(Edit* edit, const CmdEntry& entry, CmdInfo* ci, int* result);
  // True when the operation took text typed without a command.
  virtual bool TakeText(Edit* edit, const std::string& text);
  // Ends the operation; called once, with the view still there.
  virtual void End(Edit* edit) = 0;
};
// Makes `op` the view's modal operation, ending the one active before.
void EditBeginModal(Edit* edit, std::unique_ptr<EditModal> op);
// Ends the view's modal operation; false when none was active.
bool EditEndModal(Edit* edit);
// The view's modal operation, or none.
EditModal* EditModalOf(Edit* edit);

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
