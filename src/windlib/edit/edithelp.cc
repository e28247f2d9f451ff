#include "windlib/edit/edithelp.h"

#include "windlib/edit/editbindings.h"
#include "windlib/edit/editopen.h"
#include "windlib/edit/editwindow.h"
#include "windlib/x11/wkeys.h"

namespace {
constexpr size_t kCommandColumn = 32;

std::string modifier_names(unsigned modifiers, bool any) {
  if (any) return "Any+";
  std::string out;
  if (modifiers & WModShift) out += "Shift+";
  if (modifiers & WModControl) out += "Control+";
  if (modifiers & WModMeta) out += "Meta+";
  return out;
}

void add_line(std::string& out, const std::string& trigger, const EditBinding& b) {
  std::string line = "  " + trigger;
  if (b.windowClass != "Edit") line += " (" + b.windowClass + ")";
  line += line.size() < kCommandColumn ? std::string(kCommandColumn - line.size(), ' ') : " ";
  out += line + b.command + "\n";
}

constexpr const char* kTitle = "Keys and Commands";

// Opens the listing in a read-only window, or brings up the one open.
int CmdShowKeys(void*, CmdInfo*) {
  for (EditWindow* w : EditWindows()) {
    File* shown = w->edit()->file;
    if (shown && shown->internal && shown->titleOverride &&
        std::string(shown->titleOverride) == kTitle) {
      w->Show();
      w->Raise();
      return 1;
    }
  }
  File* f = FileFInternal("keys");
  std::string text = EditKeysListing();
  FileAppendStrings(f, text.data(), static_cast<long>(text.size()));
  FileFindMaxWidth(f);
  f->readOnly = 1;
  f->noJournal = 1;
  FilesAddFile(f);
  File_SetTitle(f, kTitle);
  return _NewEdit(nullptr, f, 1, 0, nullptr, -2, false, -1, -1, -1, -1, nullptr) ? 1 : 0;
}

const CmdEntry kCommands[] = {
    {"ShowKeys", CmdShowKeys, 0},
};
}  // namespace

std::string EditBindingTrigger(const EditBinding& b) {
  const std::string mods = modifier_names(b.modifiers, b.anyModifiers);
  if (!b.mouse) return mods + b.key;
  static const char* const kActions[] = {"Press", "Release", "Either"};
  std::string out = mods + "Mouse" + std::to_string(b.buttons) + " " + kActions[b.action % 3];
  if (b.clicks > 1) out += " x" + std::to_string(b.clicks);
  return out;
}

std::string EditKeysListing() {
  std::string out =
      "Keys and Commands\n"
      "\n"
      "Each key or mouse button runs the command string beside it.\n"
      "Tools > Editor Command... runs any command string.\n";
  bool mouse_heading = false;
  out += "\nKeys\n";
  for (const EditBinding& b : EditActiveBindings()) {
    if (b.mouse && !mouse_heading) {
      out += "\nMouse\n";
      mouse_heading = true;
    }
    add_line(out, EditBindingTrigger(b), b);
  }
  return out;
}

EditCmdSet EditHelpCmds() { return {kCommands, {}}; }
