#include "windlib/file/filepieces.h"

#include <algorithm>
#include <cstring>

#include "windlib/file/undo.h"

int FileChangeInPieces(File* f, Line* hint, int32_t hintNo, int32_t lS, int32_t cS, int32_t lE,
                       int32_t cE, const char* text, int32_t len, const FilePiecePoll& poll) {
  if (!text || len < 0) len = 0;
  SelectionNormalize(&lS, &cS, &lE, &cE);
  // The positions as the change routine clamps them; a start column past
  // its line's end is that end, so that every piece starts at one place.
  const int32_t n = f->nLines;
  if (lS < 1) lS = 1, cS = 0;
  if (lS > n + 1) lS = n + 1, cS = 0;
  if (lE > n + 1) lE = n + 1, cE = 0;
  Line* start = FileLine(f, lS, hint, hintNo);
  cS = start ? std::clamp(cS, 0, start->len) : 0;
  cE = std::max(cE, 0);
  const int32_t line_pieces = (lE - lS) / kFilePieceLines;
  if (f->undoOff || (line_pieces == 0 && len <= kFilePieceBytes)) {
    FileChange(f, hint, hintNo, lS, cS, lE, cE, text, len, false);
    return 1;
  }

  Undo* const mark = f->undo;
  // The redo list waits aside: a stopped change gives it back.
  Undo* const redo = f->redo;
  f->redo = nullptr;
  const bool own_group = !f->undoGrouping;
  if (own_group) {
    const int32_t sel[4] = {lS, cS, lE, cE};
    UndoGroupBegin(f, sel);
  }
  FileCloseUndo(f);
  // The line before the one being changed: no piece touches it, so it is
  // the hint of every piece.
  Line* before = lS == 1 ? nullptr : start ? start->prev : f->last;
  const int32_t pieces = line_pieces + 1 + len / kFilePieceBytes;
  int32_t done = 0;
  auto stop = [&] {
    ++done;
    return poll && poll(std::min(1.0, static_cast<double>(done) / pieces));
  };
  bool stopped = false;
  try {
    // The old text goes first, whole lines at a time from its start.
    for (int32_t i = 0; i < line_pieces && !stopped; ++i) {
      FileChange(f, before, lS - 1, lS, cS, lS + kFilePieceLines, 0, nullptr, 0, false);
      lE -= kFilePieceLines;
      stopped = stop();
    }
    if (!stopped && (lE != lS || cE != cS)) {
      FileChange(f, before, lS - 1, lS, cS, lE, cE, nullptr, 0, false);
      if (len > 0) stopped = stop();
    }
    // Then the new text, each piece after the one before.
    TextPos at{lS, cS};
    for (int32_t off = 0; off < len && !stopped;) {
      int32_t end = len;
      if (len - off > kFilePieceBytes) {
        const int32_t from = off + kFilePieceBytes - 1;
        const void* nl = std::memchr(text + from, '\n', static_cast<size_t>(len - from));
        if (nl) end = static_cast<int32_t>(static_cast<const char*>(nl) - text) + 1;
      }
      FileChange(f, before, at.line - 1, at.line, at.col, at.line, at.col, text + off, end - off,
                 false);
      const TextPos next = FileInsertedEnd(at, text + off, end - off);
      if (next.line > 1) before = FileLine(f, next.line - 1, before, at.line - 1);
      at = next;
      off = end;
      if (off < len) stopped = stop();
    }
  } catch (...) {
    // A panic inside a piece: what was done so far stays, as one step.
    UndoesFree(redo);
    if (own_group) UndoGroupEnd(f);
    throw;
  }
  if (stopped) {
    FileDiscardChanges(f, mark);
    f->redo = redo;
  } else {
    UndoesFree(redo);
  }
  if (own_group) UndoGroupEnd(f);
  return stopped ? -1 : 1;
}
