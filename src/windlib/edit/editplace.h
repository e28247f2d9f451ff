// Editor windows reopen where they were: their places are remembered by
// the settings manager under "EditWindow" and the file's name.
#pragma once

class EditWindow;

// Moves a new window to the place remembered for its file, else to the
// last place any editor window was closed at. Nothing when
// rememberwindowpositions is off or there is no display.
void EditRestorePlace(EditWindow* window);
// Remembers the window's place for its current file.
void EditRememberPlace(EditWindow* window);
