#include "windlib/edit/editcmdtable.h"

#include <strings.h>

#include "windlib/edit/editcmds.h"

namespace {
// The start-up list: every subsystem that declares commands or conditions.
// A command of a subject not built yet is absent, so that it is reported as
// unknown.
EditCmdSet (*const kSubsystems[])() = {
    EditTextCmds,   EditMoveCmds, EditMatchCmds,  EditSearchCmds,     EditSearcherCmds,
    EditFileCmds,   EditSaveCmds, EditHookCmds,   EditControlCmds,    EditHelpCmds,
    EditConfigCmds, EditTagCmds,  EditIndentCmds, EditViewConditions,
};

// ConfigBasic: ConfigCmds, ended by the terminator; made once.
CmdTbl* make_config_basic() {
  static std::vector<CmdEntry> entries(EditConfigBasicCmds().begin(), EditConfigBasicCmds().end());
  static CmdTbl table = {nullptr, nullptr};
  entries.push_back(CmdEntry{nullptr, nullptr, 0});
  table.entries = entries.data();
  return &table;
}

// The commands of every set, ended by the terminator; made once.
CmdTbl* make_edit_basic() {
  static std::vector<CmdEntry> entries;
  static CmdTbl table = {make_config_basic(), nullptr};
  for (const EditCmdSet& set : EditCmdSets())
    entries.insert(entries.end(), set.commands.begin(), set.commands.end());
  entries.push_back(CmdEntry{nullptr, nullptr, 0});
  table.entries = entries.data();
  return &table;
}
}  // namespace

const std::vector<EditCmdSet>& EditCmdSets() {
  static const std::vector<EditCmdSet> sets = [] {
    std::vector<EditCmdSet> all;
    for (auto subsystem : kSubsystems) all.push_back(subsystem());
    return all;
  }();
  return sets;
}

CmdTbl* EditBasicTable() {
  static CmdTbl* table = make_edit_basic();
  return table;
}

const EditCondEntry* EditCondLookup(const std::string& cond) {
  for (bool prefix : {false, true}) {
    for (const EditCmdSet& set : EditCmdSets()) {
      for (const EditCondEntry& c : set.conditions) {
        if (c.prefix != prefix) continue;
        if (prefix ? strncasecmp(cond.c_str(), c.name, std::char_traits<char>::length(c.name)) == 0
                   : strcasecmp(cond.c_str(), c.name) == 0)
          return &c;
      }
    }
  }
  return nullptr;
}
