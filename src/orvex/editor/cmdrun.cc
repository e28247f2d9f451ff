// cmdrun FILE 'COMMAND STRING' ['COMMAND STRING' ...]
//
// Loads FILE into an editor view without a display (caret at line 1,
// column 0; the view shows 24 whole rows of 80 columns whatever the font,
// so that paging is the same everywhere), runs each command string as one
// key press would (each its own undo step), then saves the text the view
// shows at the end through the editor's own save path into a private
// temporary directory and copies what was written to standard output.
// Messages go to standard error. FILE itself is not changed.
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "orvex/syntax_coloring/syncommands.h"
#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editfile.h"
#include "windlib/file/file.h"
#include "windlib/file/filesave.h"
#include "windlib/gapplication.h"
#include "windlib/orvexjmp.h"

namespace {
// Copies the file at `path` to standard output; false when it cannot be read.
bool print_file(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buf[65536];
  bool ok = true;
  ssize_t n;
  while ((n = gen_read_some(fd, buf, sizeof buf)) > 0)
    if (!gen_write_all(STDOUT_FILENO, buf, n)) ok = false;
  if (n < 0) ok = false;
  close(fd);
  return ok;
}

// Saves `f` as a copy in a fresh temporary directory, as Save As a copy
// would write it, and prints the copy. False when any step fails.
bool save_and_print(File* f) {
  char* dir = gen_createtmpdir(0700);
  if (!dir) {
    fprintf(stderr, "%s: cannot create a temporary directory\n", gen_progname);
    return false;
  }
  const std::string copy = std::string(dir) + "/copy";
  bool ok = FileSave(f, copy.c_str(), nullptr) == 1;
  if (!ok) {
    fprintf(stderr, "%s: the text could not be saved\n", gen_progname);
  } else if (!print_file(copy)) {
    fprintf(stderr, "%s: cannot print the saved text\n", gen_progname);
    ok = false;
  }
  unlink(copy.c_str());
  rmdir(dir);
  gen_free(dir);
  return ok;
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
  // Files take their languages from the shipped index beside the program.
  syn_Init(false);
  int status = 0;
  // A panic abandons the run; the temporary copies still go.
  int jumped = WithRecoveryPoint([&] {
    File* f = FileFName(argv[1], 0);
    if (!f) {
      status = 1;
      return;
    }
    // The view's size is fixed whatever the configured window size.
    cfgEditWidth = 80;
    cfgEditHeight = 24;
    auto* edit = new Edit(nullptr, nullptr, false, false);
    int w = 0, h = 0;
    edit->PreferredSize(&w, &h);
    edit->SetGeometry(WRect{0, 0, w, h});
    EditAttachFile(edit, f, 1, false);
    EditMoveCaret(edit, 1, 0, false);
    for (int i = 2; i < argc; ++i) {
      edit->message.clear();
      // Each string is one step, as one key press is; a panic inside it
      // abandons only that string.
      WithRecoveryPoint([&] { EditCli(edit, argv[i]); });
      if (!edit->message.empty()) fprintf(stderr, "%s\n", edit->message.c_str());
    }
    edit->message.clear();
    if (!save_and_print(edit->file ? edit->file : f)) status = 1;
    if (!edit->message.empty()) fprintf(stderr, "%s\n", edit->message.c_str());
  });
  if (jumped) status = 1;
  FilesAbort();
  return status;
}
