// Undo records: one undoable change, an indentation, or a group of records
// made by one command. Records come from a free list refilled 100 at a time.
#pragma once

#include <cstdint>

#include "windlib/file/coord.h"

struct File;
struct Line;

enum UndoFlags : uint8_t {
  undoNoFinalNewline = 0x08,
  undoSavedMark = 0x10,
  undoTagMark = 0x20,
  undoGroup = 0x40,
  undoClosed = 0x80,
};

struct Undo {
  Undo* next;          // the older record in the same list
  int32_t startLine, startCol;
  int32_t endLine, endCol;  // end of the text the change inserted
  // End line - start line and end column - start column of the replaced
  // text; 32 bits so that a deletion of more than 32767 lines still restores
  // its selection.
  int32_t oldLineSpan;
  int32_t oldColSpan;
  char* saved;          // replaced text; a group's first member; none: indentation
  int32_t savedLen;     // length of saved; an indentation's amount
  uint8_t flags;
};

inline bool UndoIsGroup(const Undo* u) { return u->flags & undoGroup; }
inline Undo* UndoMembers(const Undo* u) { return reinterpret_cast<Undo*>(u->saved); }
inline bool UndoIsIndent(const Undo* u) { return !u->saved && !(u->flags & undoGroup); }

Undo* UndoAlloc();
// Frees a record: its saved text, or for a group its members.
void UndoFree(Undo* u);
// Frees a whole chain through next.
void UndoesFree(Undo* u);
long UndoesInUse();

// ---- Changes and their history ----------------------------------------------
// Replaces the text from (lS, cS) to (lE, cE) by len bytes of text and
// records it; mayAppend lets typing extend the newest open record.
// `direction`: 0 a new change, 1 while undoing, -1 while redoing.
void FileChange(File* f, Line* hint, int32_t hintNo, int32_t lS, int32_t cS, int32_t lE,
                int32_t cE, const char* text, int32_t len, bool mayAppend);
// Where text from the user inserted at `at` ends: a line end (LF, or CR
// LF) goes to the next line's start, any other byte one column on.
TextPos FileInsertedEnd(TextPos at, const char* text, int32_t len);
void FilexChange(File* f, Line* hint, int32_t hintNo, int32_t lS, int32_t cS, int32_t lE,
                 int32_t cE, const char* text, int32_t len, bool mayAppend, int direction);
// Undo or redo one record: the smallest start line touched, or -100 when
// there is nothing to undo or redo. `currentSel`, the selection of the
// file's message view, is what the inverse of a group restores (none: the
// start of the file). Observers hear each step's selection and the end.
int32_t FileUndo(File* f, Line* hint, int32_t hintNo, const TextRange* currentSel = nullptr);
int32_t FileRedo(File* f, Line* hint, int32_t hintNo, const TextRange* currentSel = nullptr);
// Takes back the changes recorded since `mark` (the head of the undo list
// when they began), newest first, and leaves no record of them on either
// list: the text is as it was at `mark`.
void FileDiscardChanges(File* f, Undo* mark);
// The next change starts a new record.
void FileCloseUndo(File* f);
// Groups the records from head down to, not including, mark.
Undo* UndoGroupFrom(Undo* head, Undo* mark);
// The same, with the selection the group restores.
Undo* UndoGroupFrom(Undo* head, Undo* mark, int32_t startLine, int32_t startCol, int32_t endLine,
                    int32_t endCol);
// Grouping by command: the changes between begin and end become one group
// that restores `sel` (start line, start column, end line, end column).
void UndoGroupBegin(File* f, const int32_t sel[4]);
void UndoGroupEnd(File* f);
// Shifts lines first..last by `amount` columns and records the inverse.
void FilexIndent(File* f, Line* hint, int32_t hintNo, int32_t first, int32_t last, int32_t amount,
                 int direction);
// Marks set by saving and by making tags.
void UndoMarkSaved(File* f);
void UndoMarkTags(File* f);
// Line n of the file as last saved (as when tags were made), numbered now.
int32_t FileLinenoFDiskLineno(File* f, int32_t n);
int32_t FileLinenoFTagLineno(File* f, int32_t n);
