// cmdrun FILE 'COMMAND STRING' ['COMMAND STRING' ...]
//
// Loads FILE into an editor view without a display (caret at line 1,
// column 0), runs each command string as one key press would (each its own
// undo step), and writes the resulting text to standard output as saving
// would write it to disk. Messages go to standard error. The file itself is
// not changed.
#include <cstdio>
#include <cstring>
#include <string>

#include "shared/indgen/indgen.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editfile.h"
#include "windlib/file/file.h"
#include "windlib/gapplication.h"
#include "windlib/orvexjmp.h"

namespace {
void write_text(File* f) {
  const char* end = f->crlf ? "\r\n" : "\n";
  const size_t end_len = std::strlen(end);
  for (Line* l = f->first; l; l = l->next) {
    fwrite(FileLineText(f, l), 1, static_cast<size_t>(l->len), stdout);
    fwrite(end, 1, end_len, stdout);
  }
  fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
  static GUIApplication application;
  ApplicationInstance = &application;
  gen_init(argv[0], 0);
  gen_trap_cleanup = FilesAbortFromSignal;
  if (argc < 2) {
    fprintf(stderr, "Usage: %s FILE ['COMMAND STRING' ...]\n", gen_progname);
    return 1;
  }
  EditInit();
  int status = 0;
  // A panic abandons the run; the temporary copies still go.
  int jumped = WithRecoveryPoint([&] {
    File* f = FileFName(argv[1], 0);
    if (!f) {
      status = 1;
      return;
    }
    auto* edit = new Edit(nullptr, nullptr, false, false);
    edit->SetGeometry(WRect{0, 0, 80 * 8 + 19, 24 * 16 + 19});
    EditAttachFile(edit, f, 1, false);
    EditMoveCaret(edit, 1, 0, false);
    for (int i = 2; i < argc; ++i) {
      edit->message.clear();
      // Each string is one step, as one key press is; a panic inside it
      // abandons only that string.
      WithRecoveryPoint([&] { EditCli(edit, argv[i]); });
      if (!edit->message.empty()) fprintf(stderr, "%s\n", edit->message.c_str());
    }
    write_text(edit->file ? edit->file : f);
  });
  if (jumped) status = 1;
  FilesAbort();
  return status;
}
