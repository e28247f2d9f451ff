// Opening a missing file that version control could supply.
#include "windlib/file/filesave.h"

// Version control is not part of the editor yet, so no name is under it and
// a missing file is simply created new ("No").
int NonExistantCheckOut(const char* name) {
  (void)name;
  return 1;
}
