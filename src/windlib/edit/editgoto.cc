// Going to a line typed by the user: the goto-line mode's text and the
// GoTo dialog's line.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "windlib/edit/editcmd.h"
#include "windlib/edit/editsearch.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"

bool EditGotoLineNumber(std::string_view text, int32_t current, int32_t nLines, int32_t* line) {
  const int64_t last = static_cast<int64_t>(nLines) + 1;
  if (text == "EOF") {
    *line = static_cast<int32_t>(last);
    return true;
  }
  std::string t(text);
  size_t i = 0;
  int sign = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) sign = t[i++] == '+' ? 1 : -1;
  // strtoll would also take blanks and a second sign: a digit must follow.
  if (i >= t.size() || t[i] < '0' || t[i] > '9') return false;
  errno = 0;
  char* end = nullptr;
  long long n = std::strtoll(t.c_str() + i, &end, 0);  // decimal, 0x hex, leading-zero octal
  if (*end != '\0' && *end != '/') return false;
  if (errno == ERANGE) n = INT64_MAX / 4;  // far beyond any file: the end
  n = std::min<long long>(n, INT64_MAX / 4);
  int64_t target = sign == 0 ? n : current + sign * n;
  *line = static_cast<int32_t>(std::clamp<int64_t>(target, 1, last));
  return true;
}

int EditGoto(Edit* edit, std::string_view text) {
  File* f = edit->file;
  if (!f) return 0;
  int32_t line;
  if (!EditGotoLineNumber(text, edit->caretLine, f->nLines, &line)) {
    EditCmdError(edit, "Invalid line number");
    return 0;
  }
  FileCloseUndo(f);
  EditMoveCaret(edit, line, 0, false);
  edit->goalColumn = -1;
  edit->ShowCaret();
  return 1;
}

int EditGotoDialog(Edit* edit) {
  if (!edit->file) return 1;
  std::string text;
  if (!WPrompt("GoTo", "Goto Line:", std::to_string(edit->caretLine), &text)) {
    EditSetMsg(edit, "Goto Line aborted");
    return 1;
  }
  // Blanks around the number are the dialog's, not the number's.
  text.erase(0, text.find_first_not_of(" \t"));
  text.erase(text.find_last_not_of(" \t") + 1);
  EditGoto(edit, text);
  return 1;
}
