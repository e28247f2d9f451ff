// Long changes made a piece at a time, so that the caller can keep its
// windows drawn and let the user stop the change between pieces.
#pragma once

#include <cstdint>
#include <functional>

#include "windlib/file/file.h"

// Asked between the pieces of a long change with the share done so far
// (0 to 1); true stops the change.
using FilePiecePoll = std::function<bool(double done)>;

// The size of a piece: this many lines of the replaced text, or about this
// many bytes of the new text (a piece of new text ends at a line end).
constexpr int32_t kFilePieceLines = 20000;
constexpr int32_t kFilePieceBytes = 1 << 20;

// Replaces (lS, cS)..(lE, cE) with `text` as FileChange does. A change of
// more than one piece deletes the old text a piece of lines at a time and
// then inserts the new text a piece at a time, asking `poll` between
// pieces; outside a command's undo group the pieces make one group of
// their own. When `poll` says stop, what was changed is taken back and no
// trace of it stays on the undo or the redo list: the text is as before
// and the result is -1. Otherwise 1. A file without undo takes the change
// in one piece.
int FileChangeInPieces(File* f, Line* hint, int32_t hintNo, int32_t lS, int32_t cS, int32_t lE,
                       int32_t cE, const char* text, int32_t len, const FilePiecePoll& poll);
