// Searching a file with the editor's own pattern matcher, and replacing what
// it finds. Positions are (line, byte column) as everywhere in the file
// layer: lines count from 1, columns from 0.
#pragma once

#include <cstdint>
#include <string>

#include "windlib/file/coord.h"

struct File;
struct Line;

// ---- Matcher flags --------------------------------------------------------------
constexpr int kSrchCase = 0x1;        // case-sensitive; otherwise A-Z compare equal to a-z
constexpr int kSrchWild = 0x2;        // wildcard pattern: "?" one character, "*" a run
constexpr int kSrchRegex = 0x4;       // the editor's regular-expression dialect
constexpr int kSrchWordStart = 0x8;   // the character before the match is no word character
constexpr int kSrchWordEnd = 0x10;    // the character after the match is no word character
constexpr int kSrchLineStart = 0x20;  // the match starts at column 0
constexpr int kSrchLineEnd = 0x40;    // the match ends at a line end
constexpr int kSrchInternal = 0x100;  // a wildcard continuation: the start anchors are not checked

// Results of the line-level matchers besides a column.
constexpr int kSrchNone = -1;       // no match
constexpr int kSrchMalformed = -2;  // the pattern is malformed (reported)

// The message a malformed regular expression is reported with, through
// FileError, by every entry below that meets one: callers need not report
// it again.
inline constexpr const char* kSrchNoOpenMessage = "Badly formed regular expression: No '('";

// How a long search lets the user interrupt it. After every `cacheAlloc`
// characters scanned, the search calls poll(arg), which processes pending
// events and returns true when the window's "abort requested" flag is set;
// the search then stops and returns -1. No hook: the search is not
// interruptible. The events may edit the file (the search goes on from the
// same line number) but must not free it.
struct SrchAbort {
  bool (*poll)(void* arg) = nullptr;
  void* arg = nullptr;
};

// Searches `f` for the pattern (`length` bytes, may hold line breaks).
// In: *line, *col the start (ignored with from_edge); `hint` is any line
// record of the file and `hintNo` its number (nullptr, 0: none).
// direction > 0 forward from the start; otherwise backward, the first
// candidate being column *col - length + 1 of the start line, then each
// earlier line from its end. from_edge starts at the first line (forward)
// or at the end of the last line (backward).
// Returns 1 found: *line, *col the start of the match and *endLine, *endCol
// its end (exclusive); 0 not found; -1 a malformed pattern (reported) or an
// abort. Nothing is set unless the result is 1.
int FileFind(File* f, Line* hint, int32_t hintNo, int32_t* line, int32_t* col, int32_t* endLine,
             int32_t* endCol, int direction, bool from_edge, const char* pattern, int32_t length,
             int flags, const SrchAbort* abort = nullptr);

// Finds the next match as FileFind does and replaces it by the literal
// replacement with one FileChange, closing the current undo record first so
// that the replacement is its own undo step. On 1, *line, *col is where the
// next search continues: after the replacement when searching forward, at
// its start when searching backward; `replaced`, when given, receives the
// range the replacement text now covers. Results as FileFind.
int FileReplace(File* f, Line* hint, int32_t hintNo, int32_t* line, int32_t* col, int direction,
                bool from_edge, const char* pattern, int32_t length, const char* replacement,
                int32_t replacement_length, int flags, TextRange* replaced = nullptr,
                const SrchAbort* abort = nullptr);

// Replaces every match from line 1, column 0 forward, each search going on
// after the text just inserted. All the changes become one undo group, so
// one Undo restores the text byte for byte. On 1, *line, *col is the end of
// the last replacement and *firstChanged the lowest line changed.
// Returns 1 when something was replaced, 0 when nothing matched, -1 on a
// malformed pattern or an abort (what was replaced before an abort stays,
// grouped as one undo step). The read-only check is the caller's.
int FileReplaceAll(File* f, int32_t* line, int32_t* col, const char* pattern, int32_t length,
                   const char* replacement, int32_t replacement_length, int flags,
                   int32_t* firstChanged, const SrchAbort* abort = nullptr);

// Search the one line `line` of `f` forward from column `col` (candidates
// col, col + 1, ... up to the line's end) or backward from it (col, col - 1,
// ... 0; a col beyond the line's end starts at the end). A match may go on
// into the following lines when the pattern holds line breaks.
// Returns the column where the match starts, kSrchNone, or kSrchMalformed
// (reported). On a match *linesSpanned is the number of line breaks in it
// and *end is the column where it ends: on the starting line when
// *linesSpanned is 0, else on the line *linesSpanned lines further down.
int FMatchesHere(File* f, Line* line, int32_t col, const char* pattern, int32_t length,
                 int32_t* linesSpanned, int32_t* end, int flags);
int BMatchesHere(File* f, Line* line, int32_t col, const char* pattern, int32_t length,
                 int32_t* linesSpanned, int32_t* end, int flags);

// Plain replace-all on a text: every occurrence of `old_text` in [text,
// end), left to right and not overlapping, replaced by `new_text` (both
// NUL-terminated). An empty `old_text` leaves the text as it is.
std::string Srch_ReplaceAll(const char* text, const char* end, const char* old_text,
                            const char* new_text);
