// Where the language loader's messages go: the editor's message output,
// printed as they are (the texts carry their own "Warning:" or "Error:").
#pragma once

// Prints a loader message to the message output.
void syn_Message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Checks a colour text of a definition file; true when it is usable. The
// display layer may install a check that asks the window system; without
// one the text is only checked for its form (see syn_ColorTextLooksValid).
extern bool (*synColorCheckHook)(const char* text);
bool syn_ColorValid(const char* text);
// "none", a "#" with 3, 6, 9 or 12 hexadecimal digits, "rgb:" with three
// slash-separated groups of 1 to 4 hexadecimal digits, or a name made of
// letters, digits and blanks that starts with a letter.
bool syn_ColorTextLooksValid(const char* text);
