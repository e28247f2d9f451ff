// The read-only check the dispatcher makes before every command that modifies text.
#include <string>
#include <unistd.h>

#include "windlib/config/configoptions.h"
#include "windlib/edit/editcmd.h"
#include "windlib/file/fileincr.h"
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
    // The recovery-file lock; when it cannot be had the file is read-only
    // (another editor holds it) or, by the user's choice, edited without one.
    if (!read_only && !edit->readOnlyView && !f->viewOnly && !f->internal && !f->haslock &&
        !incr_AcquireLock(f))
      read_only = true;
  }
  f->readOnly = read_only;
  if (edit->readOnlyView) read_only = true;
  if (read_only) {
    EditSetMsg(edit, std::string(cfg_TextOption("status.readonly")).c_str());
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
