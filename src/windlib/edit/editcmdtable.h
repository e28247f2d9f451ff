// The editor's commands and conditions, declared by the subsystem files
// that hold their handlers: each file exports one set, and the sets named
// in the start-up list (editcmdtable.cc) make the static table of the chain
// and the conditions of "if".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "windlib/cmdparse.h"

struct Edit;

// Flags of an editor command.
enum EditCmdFlag : uint32_t {
  // What a terminal pane does with the command.
  kCmdInserts = 0x1,             // inserts text: first move to the end of the input
  kCmdPaneSkipped = 0x2,         // not run (only "Close" still closes the pane)
  kCmdNeedsSelection = 0x4,      // needs a valid selection, else the bell stops the string
  kCmdSecondarySelection = 0x8,  // the selection judged is the secondary one
  kCmdPaneRefused = 0x10,        // not run
  // What the dispatcher does before any view runs the command.
  kCmdModifies = 0x100,     // changes text: the read-only check first (it takes the lock)
  kCmdMoves = 0x200,        // moves the caret or selection, or shows another file
  kCmdOwnUndo = 0x400,      // works on the undo history: the string's undo group is disarmed
  kCmdOnSelection = 0x800,  // works on the selection: without one nothing at all happens
};
// Commands with these flags end the view's modal operation before they run.
constexpr uint32_t kCmdEndsModal = kCmdModifies | kCmdMoves;

// A condition of "if": `name` is the whole condition text (any case) or,
// with `prefix`, how it starts ("select" for "select1=lines"). `test`
// answers 1 true, 0 false, -1 an error it reported.
struct EditCondEntry {
  const char* name;
  bool prefix;
  int (*test)(Edit* edit, const std::string& cond);
};

// One subsystem's commands and conditions.
struct EditCmdSet {
  std::span<const CmdEntry> commands;
  std::span<const EditCondEntry> conditions;
};

// The sets of every subsystem, in the order of the start-up list.
const std::vector<EditCmdSet>& EditCmdSets();
// EditBasic: the commands of every set, followed by ConfigBasic.
CmdTbl* EditBasicTable();
// The condition that `cond` names: a whole name before a prefix; or none.
const EditCondEntry* EditCondLookup(const std::string& cond);
