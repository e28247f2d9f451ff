// The conditions of "if" in views.
#include <cctype>
#include <string>
#include <strings.h>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
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

bool before_nonwhite(Edit* edit) {
  if (!edit->sel[0].empty()) return false;
  Line* l = EditLineAt(edit, edit->caretLine);
  if (!l) return true;
  const char* t = FileLineText(edit->file, l);
  for (int32_t i = 0; i < edit->caretColumn && i < l->len; ++i)
    if (t[i] != ' ' && t[i] != '\t') return false;
  return true;
}
}  // namespace

int Edit_CondStrToCond(Edit* edit, const std::string& cond) {
  auto is = [&](const char* word) { return strcasecmp(cond.c_str(), word) == 0; };
  if (is("noselection")) return edit->sel[0].anchor_line == edit->caretLine &&
                                edit->sel[0].anchor_column == edit->caretColumn;
  if (is("nosselection")) return edit->sel[1].empty();
  if (is("insertmode")) return edit->insertMode;
  // Incremental search is not running in any view until it exists.
  if (is("searching") || is("fsearch") || is("bsearch") || is("wrapsearch")) return 0;
  if (is("beforenonwhite")) return before_nonwhite(edit);
  if (is("col=eol")) {
    Line* l = EditLineAt(edit, edit->caretLine);
    return !l || edit->caretColumn >= l->len;
  }
  if (is("col=sol")) return edit->caretColumn == 0;
  if (strncasecmp(cond.c_str(), "select", 6) == 0) return selection_condition(edit, cond);
  if (strncasecmp(cond.c_str(), "lang", 4) == 0) {
    if (cond.size() < 5 || cond[4] != '=') {
      EditCmdError(edit, "Invalid language boolean expression: " + cond);
      return -1;
    }
    // A file has no language until language definitions are loaded.
    return 0;
  }
  if (is("allowmiddleclick")) return vfAllowMiddleClick;
  EditCmdError(edit, "Unknown boolean expression: " + cond);
  return -1;
}
