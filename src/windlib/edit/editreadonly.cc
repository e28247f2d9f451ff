// The read-only check every modifying command makes first.
#include <string>
#include <unistd.h>

#include "windlib/edit/editcmd.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wgui.h"

int EditReadOnlyCheck(Edit* edit) {
  File* f = edit->file;
  if (!f) return 1;
  bool read_only;
  if (!f->name || f->noJournal) {
    read_only = f->readOnly;
  } else {
    read_only = f->readOnly || (edit->followDisk && !f->isNew && access(f->name, W_OK) != 0);
    // Version control: a file under it that is not checked out is handed to
    // it here once it exists.
    if (!read_only && !edit->readOnlyView && !f->viewOnly && !f->internal && !f->haslock && EditAcquireLockHook) {
      int lock = EditAcquireLockHook(f);
      if (lock == 0) {
        read_only = true;
      } else if (lock < 0) {
        bool without = WYesNo("Recovery file",
                              "You do not have write access to directory containing this "
                              "file.\nWould you care to edit this file without creating a "
                              "recovery file?",
                              false);
        if (without) f->noJournal = 1;
        else read_only = true;
      }
    }
  }
  f->readOnly = read_only;
  if (edit->readOnlyView) read_only = true;
  if (read_only) {
    const char* text = WGetResource("status.readonly");
    EditSetMsg(edit, text ? text : "Window is read only");
    if (!edit->bellRung) {
      WBell();
      edit->bellRung = true;
    }
    edit->sel[1] = EditSelection{};
    return 1;
  }
  edit->bellRung = false;
  return 0;
}
