// "EditedFiles": the most recently edited files, for the File menu.
#pragma once

#include <string>
#include <vector>

struct File;

// Adds the file's name (absolute; names in the temporary directory only
// with the TmpFileToMru switch; internal files never).
void EditMruAdd(File* file);
const std::vector<std::string>& EditMruList();
