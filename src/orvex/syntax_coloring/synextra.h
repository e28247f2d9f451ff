// Extra customized items for the files of a real-time kernel: the kernel's
// item file ("syntax_coloring/<kernel>_cust.ksc") is read once per path and
// shared by the files that use it.
#pragma once

#include <memory>

#include "orvex/syntax_coloring/synlanguage.h"

struct File;

// Attaches the kernel's items to `f` when its language is "C", "C++" or
// "CPP", replacing the items it had; 1 when attached, 0 otherwise.
int File_LoadCustomizedItemForRtos(File* f, const char* language, const char* kernel);
// The extra items of `f`, or none.
const ExtraSyntaxInfo* syn_FileExtraItems(const File* f);
// Lets go of the extra items of `f`.
void syn_DropExtraItems(const File* f);
// How many files share the items read from `path` (0: not loaded).
long syn_ExtraItemsUsers(const char* path);
