// Rectangles of text: the cells between two display columns on a run of
// lines. Columns are counted with tabs expanded at the configured tab size
// and every other byte as one cell (GeomTabsOnlyRule).
#pragma once

#include <cstdint>
#include <string>

#include "windlib/file/file.h"

// The bytes of line `lineNo` that cover display columns [left, right): a tab
// that reaches into the range counts whole. Lines joined by LF, one per line
// from l1 to l2; a line that ends before `left` gives an empty line.
std::string FileRectText(File* f, int32_t l1, int32_t l2, int32_t left, int32_t right);

// Inserts `text` as a rectangle: its line i goes into line `line` + i at the
// display column of (line, column). A line too short is padded with blanks;
// a tab standing across the column becomes blanks around the inserted text
// so that what follows keeps its columns; lines past the end are appended.
// One undo group. Returns the number of lines changed.
int32_t FileRectPaste(File* f, int32_t line, int32_t column, const char* text, int32_t len);

// Deletes the rectangle with corners (l1, c1) and (l2, c2), byte columns of
// their lines. Corners may come in any order. A tab standing across an edge
// is replaced by the blanks that keep the columns outside the rectangle in
// place; lines that end before the left edge keep their text. One undo
// group (unless the file keeps no undo).
void FileRectDel(File* f, int32_t l1, int32_t c1, int32_t l2, int32_t c2);

// The display column of byte `col` of line `lineNo` under the rectangle rule.
int32_t FileRectColumn(File* f, int32_t lineNo, int32_t col);
