// Replacing a selection with text: typing, pasting, and the typing command.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "windlib/edit/edit.h"
#include "windlib/file/filepieces.h"

// Replaces selection `which` (0 primary, 1 secondary) with `text`. `typed`
// marks text the user typed: it takes part in overtype and word wrap.
// Returns 1, or 0 when nothing could be done.
int EditAddChars(Edit* edit, const char* text, int32_t len, int which, bool typed);
// The same for text that was not typed, made in pieces when it is long:
// `poll` is asked between them and can stop the change, which leaves the
// text, the undo history and the selection as they were and returns -1.
int EditAddCharsPolled(Edit* edit, const char* text, int32_t len, int which,
                       const FilePiecePoll& poll);
// The text of the typing command's argument (up to its closing quote) with
// its backslash escapes decoded, one character at a time to `out`.
void EditTypingText(const char* args, const std::function<void(char)>& out);
std::string EditTypingText(const char* args);
// Characters typed on a key without a binding.
int EditTypedChars(Edit* edit, const char* text, int32_t len);
// Deletes the primary selection (nothing when empty).
int EditDeleteSelection(Edit* edit);
// The indentation text that reaches display column `column`: tabs as far as
// they go at the tab size, then blanks (only blanks for a tab size of 0).
std::string EditCRBuf(int tabsize, int32_t column);
// True when typing at the caret should break the line first.
bool EditShouldWrap(Edit* edit);
// Breaks the caret line at the last blank before the caret.
void EditWordWrap(Edit* edit);
