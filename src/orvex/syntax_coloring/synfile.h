// Syntax states of a file's lines: computed from the first line forward,
// kept in the line records, brought up to date in a bounded window after
// each change and lazily for lines that come into view, and drawn as the
// colours of each view's rows.
#pragma once

#include <cstdint>

class synLanguage;
struct ExtraSyntaxInfo;
struct Edit;
struct File;
struct Line;

// Whether `f` is coloured: colouring is on and its language is not "None".
bool syn_FileColoured(const File* f);
// The start state of `line`, line number `number`, computed from the
// stored states and text of the line before it; the preprocessor state in
// *pstate.
uint32_t syn_GetSynstate(File* f, Line* line, int32_t number, uint32_t* pstate);
// The state at byte `column` of a line of `length` bytes that starts in
// `state` and `pstate`; a column at or past the end asks about the line end.
uint32_t syn_SynstateAt(uint32_t state, uint32_t pstate, const char* text, int32_t length,
                        int32_t column, const synLanguage* language, const ExtraSyntaxInfo* extra);
// Computes the start states of lines from..to (to < 0: the last line),
// starting no later than the first line not yet known; with `redraw` the
// views draw the lines whose states changed. The number of lines computed.
int32_t syn_Recalculate(File* f, int32_t from, int32_t to, bool redraw);
// After a change at `line`: the bounded window around it is computed at
// once, lines shown below it as far as the views reach, and the views draw
// every line whose state changed.
void syn_Propagate(File* f, int32_t line);
// Draws the lines of every view from `from` on, computing first the lines
// that come into view and were not known.
void syn_Redraw(File* f, int32_t from);
// The lines computed by the last syn_Propagate and how many of them the
// views were asked to draw (for tests and benchmarks).
struct synPropagateCount {
  int32_t computed = 0;
  int32_t redrawn = 0;
};
synPropagateCount syn_LastPropagate();
// The file's language changed: every state is computed again from line 1.
void syn_LanguageChanged(File* f);
// Follows the files' changes, answers the file layer's syntax questions,
// colours the views' rows and installs "Printsyn"; once.
void syn_StartColouring();
