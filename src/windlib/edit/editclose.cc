#include "windlib/edit/editclose.h"

#include <string>
#include <vector>

#include "windlib/edit/editfile.h"
#include "windlib/edit/editsearch.h"
#include "windlib/edit/editwindow.h"
#include "windlib/wdisplay.h"

long (*EditFileJobPid)(File* file) = nullptr;
int (*EditSaveOneFile)(Edit* edit, File* file) = nullptr;

namespace {
std::vector<File*> view_files(Edit* edit) {
  std::vector<File*> files;
  if (edit->file) files.push_back(edit->file);
  for (EditPop* p = edit->pops; p; p = p->next) files.push_back(p->file);
  return files;
}

long job_of(File* f) { return EditFileJobPid ? EditFileJobPid(f) : 0; }
}  // namespace

bool CheckOngoingJob(Edit* edit, File* file, bool ask) {
  std::vector<long> pids;
  if (file) {
    long pid = job_of(file);
    if (pid && !FileUsedElsewhere(file, edit)) pids.push_back(pid);
    if (pids.empty()) return true;
    if (!ask) return false;
    return WYesNo("Job running", "Closing the progress file will cause the underlying job (Pid: " +
                                     std::to_string(pids[0]) + ") to be terminated, continue?",
                  false);
  }
  for (File* f : view_files(edit)) {
    long pid = job_of(f);
    if (pid && !FileUsedElsewhere(f, edit)) pids.push_back(pid);
  }
  if (pids.empty()) return true;
  if (!ask) return false;
  std::string list;
  for (size_t i = 0; i < pids.size(); ++i) list += (i ? ", " : "") + std::to_string(pids[i]);
  std::string text = pids.size() == 1
                         ? "Closing the progress window will cause the underlying job (Pid: "
                         : "Closing the progress window will cause the underlying jobs (Pids: ";
  return WYesNo("Job running", text + list + ") to be terminated, continue?", false);
}

bool EditMayClose(Edit* edit) {
  if (!CheckOngoingJob(edit, nullptr, true)) return false;
  if (!EditDispatchCallback(edit, ecbCloseRequest)) return false;
  for (File* f : view_files(edit)) {
    if (!f->modified || f->internal || FileUsedElsewhere(f, edit)) continue;
    if (!EditQuerySaveChanges(edit, f)) return false;
  }
  edit->closing = true;
  EditDispatchCallback(edit, ecbCloseComplete);
  return true;
}

int EditClose(Edit* edit) {
  if (!CheckOngoingJob(edit, nullptr, true)) return 0;
  if (edit->file) edit->file->undoGrouping = 0;
  // A search in the view is stopped instead.
  if (EditSearchInterrupt(edit)) return 1;
  if (edit->window) {
    edit->window->Close();
  } else if (EditMayClose(edit)) {
    edit->Destroy();
  }
  return 1;
}

int EditCloseOrPop(Edit* edit) { return edit->pops ? EditPopEdit(edit) : EditClose(edit); }

int EditDone(Edit* edit) {
  for (File* f : view_files(edit)) {
    if (!f->modified || f->internal) continue;
    if (!EditSaveOneFile) {
      EditSetMsg(edit, "Saving is not available yet", true);
      return 0;
    }
    if (EditSaveOneFile(edit, f) != 1) return 0;
  }
  return EditClose(edit);
}
