#include "orvex/syntax_coloring/syncommands.h"

#include <unistd.h>

#include <string>

#include "orvex/syntax_coloring/synextra.h"
#include "orvex/syntax_coloring/synfile.h"
#include "orvex/syntax_coloring/synindent.h"
#include "orvex/syntax_coloring/synindex.h"
#include "orvex/syntax_coloring/synmenu.h"
#include "orvex/syntax_coloring/synmessages.h"
#include "windlib/config/configoptions.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editmatch.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wcolor.h"

namespace {
// Follows every file: a file that joins the list or takes a new name gets
// its language; one whose contents go lets go of its extra items.
class LanguageChooser : public FileObserver {
 public:
  void FileRegistered(File* f) override { syn_ChooseFileLanguage(f); }
  void FileSaved(File* f, PRS*, const char*, bool renamed) override {
    if (!renamed) return;
    syn_ChooseFileLanguage(f);
    FileNotifyRedraw(f);
  }
  void FileContentsGone(File* f) override { syn_DropExtraItems(f); }
};

// What the edit layer asks of a file's language: its name, and for
// delimiter matching its preprocessor character, its case rule and whether
// its blocks are begin / end words.
bool file_language(File* f, std::string* name, EditMatchLanguage* match) {
  const synLanguage* l = f->language;
  if (!l || l->name == "None") return false;  // "None" is no language
  *name = l->name;
  match->preprocessor = static_cast<char>(l->preprocessorChar);
  match->caseInsensitive = !l->caseSensitive;
  match->beginEnd = l->kind == synKindAda || l->kind == synKindPascal;
  return true;
}

// The command's argument: its text up to the next command, without the
// blanks around it.
std::string argument(const char* text) {
  std::string s = text ? text : "";
  s = s.substr(0, s.find_first_of(";}"));
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// SelectLanguage NAME: the view's file is coloured as NAME ("None": not at
// all); names are matched ignoring case.
int cmd_select_language(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  if (!e->file) return 0;
  const std::string name = argument(ci->args);
  if (name.empty()) {
    EditCmdError(e, "SelectLanguage: no language name given");
    return 0;
  }
  synLanguageAbs* entry = syn_FindEntry(name, true);
  if (!entry || (entry->special && entry->id != 0)) {
    EditCmdError(e, "Unknown language \"" + name + "\"");
    return 0;
  }
  synLanguage* lang = syn_EntryLanguage(entry);
  if (!lang) {
    EditCmdError(e, "The definition of language \"" + entry->name + "\" could not be loaded");
    return 0;
  }
  e->file->language = lang;
  syn_LanguageChanged(e->file);
  return 1;
}
// The colorsyntax option: turned on, every open file's language is chosen
// again; turned off, the files have none. Either way they are coloured (or
// drawn plain) again from line 1.
int set_color_syntax(_ConfigOption* option, const char*, int32_t on) {
  const bool changed = option->Bool() != (on != 0);
  option->Bool() = on != 0;
  if (!changed) return 1;
  for (File* f = FileHead(); f; f = f->next) {
    if (f->internal) continue;
    syn_ChooseFileLanguage(f);
    syn_LanguageChanged(f);
  }
  return 1;
}

// Colours of definition files: the window system's names while a display is
// open, else their form only.
bool color_check(const char* text) {
  WColor color;
  return wDisplayActive ? WParseColor(text, &color) : syn_ColorTextLooksValid(text);
}

// The window's language menu: its items run SelectLanguage in the view, and
// the language of the file the view shows when the menu opens is checked.
std::shared_ptr<WMenu> language_menu(EditWindow* w) {
  return syn_LanguageMenu(
      [w](const std::string& name) { EditCli(w->edit(), ("SelectLanguage " + name).c_str()); },
      [w]() -> const synLanguage* {
        Edit* e = w->edit();
        return e && e->file ? e->file->language : nullptr;
      });
}
}  // namespace

void syn_Init(bool reinit) {
  static bool initialised = false;
  if (initialised && !reinit) return;
  initialised = true;
  std::string index = cfg_SearchFileInConfigDirs(kSynIndexFile, R_OK);
  syn_LoadLanguageIndex(index.c_str());
  syn_LoadSourcePath();
  syn_InstallCommands();
  syn_StartColouring();
}

void syn_InstallCommands() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  EditAddCmd("SelectLanguage", cmd_select_language, 0);
  EditWindowLanguageMenuHook = language_menu;
  cfg_SetOptionSetter("colorsyntax", set_color_syntax);
  synColorCheckHook = color_check;
  EditFileLanguageHook = file_language;
  syn_InstallIndentHook();
  static LanguageChooser chooser;
  FilesAddObserver(&chooser);
}
