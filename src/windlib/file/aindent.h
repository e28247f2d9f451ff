// The auto-indent line parser: reads a file line by line, keeping a stack
// of the constructs the text is inside, and tells for each line the column
// its language's structure calls for. It works on plain text and needs no
// file or view.
#pragma once

#include <cstdint>

// The languages the parser knows.
enum AI_Lang : int { AI_LangC = 0, AI_LangAda = 1 };

struct AutoIndentLine_Tag;

// A fresh state at the outermost level; leader is the preprocessor leader
// character (0: "#").
AutoIndentLine_Tag* AIndent_New(AI_Lang lang, char leader);
AutoIndentLine_Tag* AIndent_Clone(const AutoIndentLine_Tag* state);
void AIndent_Delete(AutoIndentLine_Tag* state);
void AIndent_AdjustPreprocesorLeader(AutoIndentLine_Tag* state, char leader);
// Whether the text is read as UTF-8 (a character one cell, or two when
// wide) or byte by byte; a new state follows the "utf8" option.
void AIndent_SetUtf8(AutoIndentLine_Tag* state, bool utf8);
// Advances the state over one line (len bytes, no line end).
void AIndent_ParseLine(AutoIndentLine_Tag* state, const char* text, int32_t len, int32_t indentSize,
                       int32_t tabsize, int32_t lineNo);
// The same parse of the line, returning the column the line should start at
// (it may be negative when the text above is very unbalanced).
int32_t AIndent_GetIndentColumn(AutoIndentLine_Tag* state, const char* text, int32_t len,
                                int32_t indentSize, int32_t tabsize, int32_t lineNo);
// Whether a line really begins a construct: its first character is a
// letter, digit or "_" in column 0 and a fresh state takes it as the start
// of an outermost statement.
bool AIndent_ReallyBeginning(AI_Lang lang, char leader, const char* text, int32_t len);
// Whether the next line starts inside a block comment.
bool AIndent_InComment(const AutoIndentLine_Tag* state);
// Whether the line parsed last started with or inside a comment.
bool AIndent_LineIsComment(const AutoIndentLine_Tag* state);
