// Saving from editor windows: the save commands, Save As, the question
// before changes would be lost, and the reload of files changed on disk.
#pragma once

#include "windlib/edit/edit.h"

struct PRS;

// The shared save step: lets the window veto, shows "Saving: %s" in every
// window on the file, saves under the file's own name. 1 when saved.
int SaveFile(Edit* edit, File* file);
// The Save command: beeps in a read-only window or for an internal file;
// "File has not been modified." when there is nothing to write.
int EditSaveFile(Edit* edit);
// Asks for a name ("Save %.40s as...") and saves the file under it.
int EditFileSaveAs(File* file, PRS* prs);
// Saves every modified file (asking first with `ask`); 1 when all were saved.
int EditSaveAll(Edit* edit, bool ask);
// The reload check for the window's file (or `file`) when it changed on disk.
void EditFileCheck(Edit* edit, File* file);

// Installs the saving layer's hooks into the file and window layers.
void EditSaveInit();
