// Attaching views to files and moving through a view's file stack.
#pragma once

#include <cstdint>

#include "windlib/edit/edit.h"

// Links the view at the head of the file's view chain and shows the file at
// `line` (below 1: the file's remembered line).
void EditAttach(Edit* edit, File* file, int32_t line);
// Unlinks the view from its file's view chain.
void EditDetach(Edit* edit);
void EditFreePops(Edit* edit);

// Shows another file in the same view, keeping the current one on the stack.
// `tagLine` reads `line` in the numbering of the tag files.
int EditPush(Edit* edit, File* file, int32_t line, bool tagLine = false);
int EditPopEdit(Edit* edit);
int _EditPopEditBack(Edit* edit);
int EditCyclePush(Edit* edit);
int EditCyclePushBack(Edit* edit);
int EditTogglePush(Edit* edit);
int EditCycleToFileByNumber(Edit* edit, int n);
int EditCycleToFileByName(Edit* edit, const char* name);
int EditStackDepth(Edit* edit);

void EditAttachFile(Edit* edit, File* file, int32_t line, bool tagLine);
void EditChangeFile(Edit* edit, File* file);
// Goes to `line` (below 1: the remembered line; clamped to 1..nLines), with
// the target about a fifth of the window from the top and the caret on its
// first non-blank character. With keepScroll only the slider moves.
void EditSetLine(Edit* edit, int32_t line, bool keepScroll);
// After a change, stack entries on the file whose lines lie after it move.
void PopsShowChange(File* file, int32_t from, int32_t delta);

// The question before a file's changes would be lost: 1 go on (saved or
// discarded), 0 cancel. Set by the saving layer; without it a modified file
// can only be kept or discarded.
extern int (*EditSaveChangesHook)(Edit* edit, File* file);
int EditQuerySaveChanges(Edit* edit, File* file);
