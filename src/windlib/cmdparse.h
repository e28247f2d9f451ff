// The command language: command strings of named commands with arguments,
// separated by semicolons, grouped by braces, with "if <condition> {...}
// else {...}". Words are looked up in a chain of command tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CmdInfo;

// A handler returns 1 to go on; anything else stops the command string.
using CmdHandler = int (*)(void* object, CmdInfo* ci);

struct CmdEntry {
  const char* name;  // matched case-insensitively against the whole word
  CmdHandler handler;
  uint32_t flags;
};

// A link of the chain: entries (ended by an entry with no name) and the
// table searched next.
struct CmdTbl {
  CmdTbl* parent;
  const CmdEntry* entries;
};

// Evaluates the condition text of "if" (without the angle brackets): 1
// true, 0 false, -1 unknown (reported; stops the string).
using CmdCondFn = int (*)(void* object, const std::string& cond);

struct CmdInfo {
  int32_t x = -1, y = -1;       // pixel position of the event, -1 when none
  const char* args = "";        // for the running command: the text after its word
  CmdTbl* table = nullptr;
  void* message_window = nullptr;
  void (*before)(void* object, CmdInfo* ci) = nullptr;
  int (*decide)(void* object, CmdInfo* ci, const CmdEntry* entry) = nullptr;
  void (*after)(void* object, CmdInfo* ci) = nullptr;
  CmdCondFn cond = nullptr;
  // Reports an error in the object's message line.
  void (*report)(void* object, const std::string& text) = nullptr;
  // The report for a word that names no command (the word, and the text
  // from it to the end of the string); none: "Unknown command " and that text.
  std::string (*unknown_text)(const std::string& word, const char* rest) = nullptr;
  uint8_t ignore_unknown = 0;
  uint8_t report_unknown = 1;
  int32_t depth = 0;
  const char* command = "";     // the name of the running command
};

void CmdInfo_InitNew(CmdInfo* ci, const char* string, CmdTbl* table);

// Runs the string held in ci->args. Returns 1 when every command succeeded
// and at least one was found, 0 otherwise.
int Object_ParseCmd(void* object, CmdInfo* ci);
// The "{" and "if" commands, for command tables.
int Object_Group(void* object, CmdInfo* ci);
int Object_If(void* object, CmdInfo* ci);

// The entry named `word` in the chain, or none.
const CmdEntry* CmdLookup(CmdTbl* table, const std::string& word);

// The command words a string names, in order, with those of its groups and
// of both parts of every "if" (the typing command is the word "\"" and a
// group the word "{"), split as running the string splits them; and the
// condition texts of its "if" commands. Nothing is looked up or run.
void CmdStringNames(const std::string& string, std::vector<std::string>* commands,
                    std::vector<std::string>* conditions);

// A table of commands added at run time, kept ended by its terminator; its
// link `table` points into the chain before `parent`.
class CmdTableBuilder {
 public:
  explicit CmdTableBuilder(CmdTbl* parent);
  // Adds a command (or replaces the handler of one with that name).
  void Add(const char* name, CmdHandler handler, uint32_t flags = 0);
  CmdTbl* table() { return &table_; }

 private:
  std::vector<std::string> names_;
  std::vector<CmdEntry> entries_;
  CmdTbl table_;
};
