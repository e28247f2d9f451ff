// Variables of shell command lines: %FILE, %SEL, %LINE, %COMMENTS and %%.
#include <string>

#include "shared/indgen/indgen.h"
#include "windlib/edit/editcmd.h"
#include "windlib/wdisplay.h"

namespace {
constexpr size_t kMaxCommand = 256;
constexpr size_t kMaxSelection = 256;

bool starts(const std::string& s, size_t at, const char* word) {
  return s.compare(at, std::char_traits<char>::length(word), word) == 0;
}
}  // namespace

bool EditCmdSubstitute(Edit* edit, const std::string& command, std::string* result) {
  if (command.size() > kMaxCommand) {
    WBell();
    wAlert("Error", "Command is too long to be passed to the shell.");
    return false;
  }
  std::string out;
  bool asked = false;
  std::string comments;
  for (size_t i = 0; i < command.size(); ++i) {
    if (command[i] != '%') {
      out += command[i];
      continue;
    }
    if (starts(command, i + 1, "%")) {
      out += '%';
      i += 1;
    } else if (starts(command, i + 1, "FILE")) {
      if (edit->file && edit->file->name) out += edit->file->name;
      i += 4;
    } else if (starts(command, i + 1, "SEL")) {
      std::string sel = EditSelectionText(edit);
      if (sel.size() > kMaxSelection) sel.resize(kMaxSelection);
      out += sel;
      i += 3;
    } else if (starts(command, i + 1, "LINE")) {
      out += std::to_string(edit->caretLine);
      i += 4;
    } else if (starts(command, i + 1, "COMMENTS")) {
      if (!asked) {
        if (!WPrompt("Comments", "Enter comments", "", &comments)) return false;
        asked = true;
      }
      char* quoted = gen_quotify_string(comments.c_str());
      out += quoted;
      gen_free(quoted);
      i += 8;
    } else {
      out += '%';
    }
  }
  *result = out;
  return true;
}
