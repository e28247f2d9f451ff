// Control commands: identify, the command prompt, bell, custom commands.
#include <cctype>
#include <string>
#include <strings.h>

#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/wdisplay.h"

namespace {

int CmdIdentify(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  e->identifyMode = true;
  EditSetMsg(e, "Press a key to see its command");
  return 1;
}

int CmdNoop(void*, CmdInfo*) { return 1; }

int CmdBeep(void*, CmdInfo*) {
  WBell();
  return 1;
}

int CmdMinibuffer(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  std::string command;
  if (!WPrompt("Minibuffer", "Editor command(s)?", "", &command) || command.empty()) return 1;
  return EditCli(e, command.c_str());
}

int CmdAlterLocation(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  const char* p = ci->args;
  while (*p == ' ' || *p == '\t') ++p;
  if (strncasecmp(p, "edit", 4) == 0) p += 4;
  while (*p == ' ' || *p == '\t') ++p;
  int digit = std::isdigit(static_cast<unsigned char>(*p)) ? *p - '0' : -1;
  e->locationMask = digit >= 0 ? (1u << digit) : 1u;
  return 1;
}

int CmdCustom(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  if (e->customHandler) return e->customHandler(e, ci->args);
  if (EditCustomHandler fn = EditDefaultCustomHandler()) return fn(e, ci->args);
  return 1;
}

const CmdEntry kCommands[] = {
    {"if", Object_If, 0},
    {"{", Object_Group, 0},
    {"Identify", CmdIdentify, 0},
    {"Noop", CmdNoop, 0},
    {"Beep", CmdBeep, 0},
    {"Minibuffer", CmdMinibuffer, 0},
    {"AlterLocation", CmdAlterLocation, 0},
    {"AlterMode", CmdAlterLocation, 0},
    {"Custom", CmdCustom, 0},
};
}  // namespace

EditCmdSet EditControlCmds() { return {kCommands, {}}; }
