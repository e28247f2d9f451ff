// Closing views and windows.
#pragma once

#include "windlib/edit/edit.h"

int EditClose(Edit* edit);
int EditCloseOrPop(Edit* edit);
// Saves every modified file of the view, then closes it.
int EditDone(Edit* edit);
// A file written by a running job may not lose its last view silently:
// false when the user (or, without `ask`, the rule) says to keep it.
bool CheckOngoingJob(Edit* edit, File* file, bool ask);

// The process id of the job writing into `file`, 0 when none. Set by the
// layer that runs commands into buffers.
extern long (*EditFileJobPid)(File* file);
// Saves one file for EditDone: 1 saved. Set by the saving layer.
extern int (*EditSaveOneFile)(Edit* edit, File* file);
