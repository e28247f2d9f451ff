// File and window commands.
#include <algorithm>
#include <string>
#include <vector>

#include "windlib/edit/editclose.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editopen.h"
#include "windlib/edit/editwindow.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wcolorshades.h"
#include "windlib/x11/wgui.h"

namespace {
bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// The names in the command's argument, separated by blanks.
std::vector<std::string> names_of(CmdInfo* ci) {
  std::string a = ci->args;
  a = a.substr(0, a.find_first_of(";}"));
  std::vector<std::string> names;
  size_t at = 0;
  while (at < a.size()) {
    while (at < a.size() && is_blank(a[at])) ++at;
    size_t end = at;
    while (end < a.size() && !is_blank(a[end])) ++end;
    if (end > at) names.push_back(a.substr(at, end - at));
    at = end;
  }
  return names;
}

// The colour number a window opened from `e` is made with: the index of
// e's editor window, so that it shows the same input-area shade.
int shade_of(Edit* e) {
  return e->window ? WGetInputAreaColorIndex(e->window) : -2;
}

// The file named by the argument or chosen with the "Edit File" chooser.
File* file_for(Edit* e, CmdInfo* ci) {
  std::vector<std::string> names = names_of(ci);
  std::string name;
  if (!names.empty())
    name = names[0];
  else if (!EditChooseFile("Edit File", &name, kEditFilePreset))
    return nullptr;
  int found = 0;
  return EditFileSearch(name, &found, e->file);
}

int CmdLoadFile(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  File* f = file_for(e, ci);
  if (!f) return 1;
  EditChangeFile(e, f);
  return 1;
}

int CmdLoadFileWithNewEditor(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  File* f = file_for(e, ci);
  if (!f) return 1;
  _NewEdit(nullptr, f, 0, 1, nullptr, shade_of(e), false, -1, -1, -1, -1, nullptr);
  return 1;
}

int CmdOpenFile(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  std::vector<std::string> names = names_of(ci);
  if (names.empty()) {
    std::string name;
    if (!EditChooseFile("Edit File", &name, kEditFilePreset)) return 1;
    names.push_back(name);
  }
  for (const std::string& name : names) {
    int found = 0;
    File* f = EditFileSearch(name, &found, e->file);
    if (!f || !EditPush(e, f, 0)) {
      EditCmdError(e, "[EditOpenFile] Could not open file");
      return 0;
    }
  }
  return 1;
}

int CmdOpenText(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  std::vector<std::string> names = names_of(ci);
  std::string name;
  if (!names.empty())
    name = names[0];
  else if (!WPrompt("Open", "File name?", "", &name) || name.empty())
    return 1;
  int found = 0;
  File* f = EditFileSearch(name, &found, e->file);
  if (f) _NewEdit(nullptr, f, 0, 1, nullptr, shade_of(e), false, -1, -1, -1, -1, nullptr);
  return 1;
}

int CmdPop(void* object, CmdInfo*) {
  EditPopEdit(EditOf(object));
  return 1;
}

int CmdClose(void* object, CmdInfo*) {
  return EditClose(EditOf(object));
}
int CmdCloseOrPop(void* object, CmdInfo*) {
  return EditCloseOrPop(EditOf(object));
}
int CmdDone(void* object, CmdInfo*) {
  return EditDone(EditOf(object));
}

int CmdQuit(void*, CmdInfo*) {
  // The program's normal exit runs from the main loop.
  WRequestExit();
  return 1;
}

int CmdTogglePush(void* object, CmdInfo*) {
  EditTogglePush(EditOf(object));
  return 1;
}

int CmdCyclePush(void* object, CmdInfo*) {
  EditCyclePush(EditOf(object));
  return 1;
}

int CmdCyclePushBack(void* object, CmdInfo*) {
  EditCyclePushBack(EditOf(object));
  return 1;
}

int CmdNextWindow(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  const auto& windows = EditWindows();
  if (windows.empty()) return 1;
  auto it = std::find(windows.begin(), windows.end(), e->window);
  size_t start = it == windows.end() ? 0 : static_cast<size_t>(it - windows.begin());
  for (size_t k = 1; k <= windows.size(); ++k) {
    EditWindow* w = windows[(start + k) % windows.size()];
    if (w->shown()) {
      w->Raise();
      w->edit()->text->Focus();
      return 1;
    }
  }
  return 1;
}

int CmdToggleReadOnly(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (!e->file) return 1;
  e->file->readOnly = !e->file->readOnly;
  e->bellRung = false;
  EditSetMsg(e, e->file->readOnly ? "File is now read only" : "File is now writable");
  return 1;
}

// Showing another file in this view ends what the view was doing in the
// old one.
const CmdEntry kCommands[] = {
    {"LoadFile", CmdLoadFile, kCmdMoves | kCmdPaneRefused},
    {"LoadFileWithNewEditor", CmdLoadFileWithNewEditor, kCmdPaneRefused},
    {"OpenFile", CmdOpenFile, kCmdMoves | kCmdPaneRefused},
    {"OpenText", CmdOpenText, kCmdPaneRefused},
    {"Pop", CmdPop, kCmdMoves | kCmdPaneRefused},
    {"Close", CmdClose, 0},
    {"CloseOrPop", CmdCloseOrPop, kCmdMoves | kCmdPaneRefused},
    {"Done", CmdDone, kCmdPaneRefused},
    {"Quit", CmdQuit, kCmdPaneRefused},
    {"TogglePush", CmdTogglePush, kCmdMoves | kCmdPaneRefused},
    {"CyclePush", CmdCyclePush, kCmdMoves | kCmdPaneRefused},
    {"CyclePushBack", CmdCyclePushBack, kCmdMoves | kCmdPaneRefused},
    {"NextWindow", CmdNextWindow, 0},
    {"ToggleReadOnly", CmdToggleReadOnly, kCmdPaneRefused},
};
}  // namespace

EditCmdSet EditFileCmds() {
  return {kCommands, {}};
}
