// Undo records: one undoable change, an indentation, or a group of records
// made by one command. Records come from a free list refilled 100 at a time.
#pragma once

#include <cstdint>

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
  int16_t oldLineSpan;  // end line - start line of the replaced text
  int16_t oldColSpan;   // end column - start column of the replaced text
  char* saved;          // replaced text; a group's first member; none: indentation
  int32_t savedLen;     // length of saved; an indentation's amount
  uint8_t flags;
};

inline bool UndoIsGroup(const Undo* u) { return u->flags & undoGroup; }
inline bool UndoIsIndent(const Undo* u) { return !u->saved && !(u->flags & undoGroup); }

Undo* UndoAlloc();
// Frees a record: its saved text, or for a group its members.
void UndoFree(Undo* u);
// Frees a whole chain through next.
void UndoesFree(Undo* u);
long UndoesInUse();
