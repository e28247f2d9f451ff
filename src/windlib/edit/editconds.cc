// The conditions of "if" in views.
#include <cctype>
#include <string>
#include <strings.h>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editmatch.h"
#include "windlib/x11/wselection.h"

namespace {
const char* const kSelectionNames[] = {"PRIMARY", "CLIPBOARD", "CLIPBOARD_S", "CLIPBOARD_C",
                                       "CLIPBOARD_CS"};

int selection_condition(Edit* edit, const std::string& cond) {
  // selectN=text / rect / line
  if (cond.size() < 7 || !std::isdigit(static_cast<unsigned char>(cond[6]))) {
    EditCmdError(edit, "Selection boolean expression must specify a selection number: " + cond);
    return -1;
  }
  int n = cond[6] - '0';
  if (n > 4 || cond.size() < 8 || cond[7] != '=') {
    EditCmdError(edit, "Invalid selection boolean expression: " + cond);
    return -1;
  }
  std::string type = cond.substr(8);
  int wanted;
  // The type word is matched by its first letters: "lines" means line.
  auto starts = [&](const char* word) { return strncasecmp(type.c_str(), word, 4) == 0; };
  if (starts("text")) wanted = kWSelText;
  else if (starts("rect")) wanted = kWSelRectangle;
  else if (starts("line")) wanted = kWSelLines;
  else {
    EditCmdError(edit, "Unknown selection type in boolean expression: " + cond);
    return -1;
  }
  int type_now = kWSelText;  // a selection owned by another program counts as text
  WSelectionOwned(kSelectionNames[n], nullptr, &type_now);
  return type_now == wanted ? 1 : 0;
}

int no_selection(Edit* edit, const std::string&) {
  return edit->sel[0].anchor_line == edit->caretLine &&
         edit->sel[0].anchor_column == edit->caretColumn;
}

int no_secondary(Edit* edit, const std::string&) { return edit->sel[1].empty(); }

int insert_mode(Edit* edit, const std::string&) { return edit->insertMode; }

int before_nonwhite(Edit* edit, const std::string&) {
  if (!edit->sel[0].empty()) return false;
  Line* l = EditLineAt(edit, edit->caretLine);
  if (!l) return true;
  const char* t = FileLineText(edit->file, l);
  for (int32_t i = 0; i < edit->caretColumn && i < l->len; ++i)
    if (t[i] != ' ' && t[i] != '\t') return false;
  return true;
}

int at_line_end(Edit* edit, const std::string&) {
  Line* l = EditLineAt(edit, edit->caretLine);
  return !l || edit->caretColumn >= l->len;
}

int at_line_start(Edit* edit, const std::string&) { return edit->caretColumn == 0; }

int allow_middle_click(Edit*, const std::string&) { return vfAllowMiddleClick; }

int language_condition(Edit* edit, const std::string& cond) {
  if (cond.size() < 5 || cond[4] != '=') {
    EditCmdError(edit, "Invalid language boolean expression: " + cond);
    return -1;
  }
  // lang=NAME: the file's language name starts with NAME, ignoring case.
  std::string name;
  EditMatchLanguage match;
  if (!EditFileLanguageHook || !edit->file || !EditFileLanguageHook(edit->file, &name, &match))
    return 0;
  const std::string prefix = cond.substr(5);
  return prefix.size() <= name.size() &&
         strncasecmp(name.c_str(), prefix.c_str(), prefix.size()) == 0;
}

const EditCondEntry kConditions[] = {
    {"noselection", false, no_selection},
    {"nosselection", false, no_secondary},
    {"insertmode", false, insert_mode},
    {"beforenonwhite", false, before_nonwhite},
    {"col=eol", false, at_line_end},
    {"col=sol", false, at_line_start},
    {"select", true, selection_condition},
    {"lang", true, language_condition},
    {"allowmiddleclick", false, allow_middle_click},
};
}  // namespace

EditCmdSet EditViewConditions() { return {{}, kConditions}; }

int Edit_CondStrToCond(Edit* edit, const std::string& cond) {
  const EditCondEntry* entry = EditCondLookup(cond);
  if (!entry) {
    EditCmdError(edit, "Unknown boolean expression: " + cond);
    return -1;
  }
  return entry->test(edit, cond);
}
