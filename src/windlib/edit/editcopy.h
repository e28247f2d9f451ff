// Copy, cut and paste between a view and the X selections: PRIMARY
// (number 0) and the clipboards 1 to 4 ("CLIPBOARD", "CLIPBOARD_S",
// "CLIPBOARD_C", "CLIPBOARD_CS"), as text, whole lines or a rectangle.
#pragma once

#include <span>

#include "windlib/cmdparse.h"
#include "windlib/edit/edit.h"

enum EditCopyOp {
  kCopyText = 0,
  kCutText = 1,
  kCopyRect = 2,
  kCutRect = 3,
  kPasteText = 4,
  kPasteRect = 5,
};

// The X selection name of clipboard `number` (0 to 4), or none.
const char* EditClipboardName(int number);

// Runs one copy operation on clipboard `number`. A paste from a selection
// this process owns goes in at once; any other waits for the owner's
// answer and goes in when it arrives, if the view is still there. Cut and
// the pastes expect the read-only check made (the commands are marked to
// change text). Returns 1, or 0 after a reported error.
int EditCopyCmd(Edit* edit, int op, int number);

// Offers the primary selection's text (type lines when it runs from a line
// start to a line end, else text) or its rectangle as selection `number`.
// False when the selection is empty or nobody took the offer.
bool vGrabSelection(Edit* edit, int number);
bool vGrabRectSelection(Edit* edit, int number);

// Ends a drag of the primary selection at (line, col), with the
// drag-and-drop setting on: nothing on a read-only view; inside the
// selection the caret goes there; elsewhere the selected text is copied
// (or moved: deleted first) to the drop point and selected there, as one
// undo step. Returns 1 when something was done.
int EditSelectionDrop(Edit* edit, int32_t line, int32_t col, bool copy);

// The commands Copy1..Copy4, Cut1..Cut4, Paste1..Paste4, RectCopy1..4,
// RectCut1..4 and RectPaste1, and those of the secondary selection.
std::span<const CmdEntry> EditCopyCmdEntries();
