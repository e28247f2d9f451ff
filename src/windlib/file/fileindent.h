// Indenting lines of a file: shifting them by a fixed amount, and
// auto-indenting them by their language's structure.
#pragma once

#include <cstdint>

#include "windlib/file/aindent.h"

struct File;
struct Line;

// What auto-indent makes of a file's language: false when it has none or
// its language does not indent; else its parser language and preprocessor
// leader (0: "#"). The language layer sets it at start-up.
extern bool (*FileAutoIndentLanguageHook)(File* f, AI_Lang* lang, char* leader);
// The parser language of f's language, as the hook answers.
bool FileAutoIndentLanguage(File* f, AI_Lang* lang, char* leader);

// Shifts lines first..last (either order) by delta columns as one undo
// entry, with tabs whenever tabsize is not 0. The file becomes modified.
void FileIndent(File* f, Line* hint, int32_t hintNo, int32_t first, int32_t last, int32_t delta);

// Auto-indents the lines from (l1, c1) to (l2, c2) (either order; a range
// of several lines ending at column 0 leaves its last line out) as one undo
// entry. The number of lines whose indentation changed; -1 when the file's
// language does not auto-indent. `explicitly`: asked for by the user rather
// than implied by typing: implied indenting leaves lines in comments alone
// when aIndent_implicitAIndentInComments is off.
int32_t FileAutoIndent(File* f, Line* hint, int32_t hintNo, int32_t l1, int32_t c1, int32_t l2,
                       int32_t c2, int32_t indentSize, bool explicitly);

// Drops the file's cached parser state.
void FileAutoIndentForget(File* f);
