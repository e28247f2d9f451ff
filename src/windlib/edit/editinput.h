// Events of a view's text area: keys and mouse become commands or text.
#pragma once

#include "windlib/edit/edit.h"

// Handles one event of the view's text area; true when used.
bool EditEventParse(Edit* edit, WEvent& e);
// The line and column under pixel (x, y) of the text area (line nLines + 1
// below the text).
void EditPositionAt(Edit* edit, int x, int y, int32_t* line, int32_t* col);
