// A row of a view is drawn as runs of cells, each run in one style. The
// style of a cell is merged from layers, each later one over the earlier:
// the base text on the line's background, control-byte escapes, search
// matches, the secondary selection, the primary selection.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "windlib/file/coord.h"
#include "windlib/file/textgeom.h"
#include "windlib/x11/wdraw.h"

struct EditRun {
  DisplayCol start;   // the run's first cell
  std::string cells;  // UTF-8: the glyphs of the run's cells
  WCellStyle style;
  bool lineEnd = false;  // the one blank cell that stands for the line end
  int32_t width = 0;     // cells the glyphs fill, known from the layout
  bool operator==(const EditRun&) const = default;
};

// A stretch of a line's bytes [from, to) drawn in a colour of its own.
struct EditColorSpan {
  int32_t from = 0, to = 0;
  WColor fg = 0;
};
struct File;
struct Line;
// Fills the coloured stretches of a line of a view's file (the syntax
// colouring installs it); none: every file is drawn plain.
extern void (*EditSyntaxSpansHook)(File* file, Line* line, int32_t lineNo,
                                   std::vector<EditColorSpan>* out);

// What a row shows besides its text.
struct EditRowLayers {
  int32_t lineNo = 1;
  int32_t lineLen = 0;                              // bytes of the line
  WColor background = 0;                            // of the whole line
  TextRange primary, secondary;                     // the view's selections
  const std::vector<TextRange>* matches = nullptr;  // search matches, any order
  // Text colours, beneath the other layers.
  const std::vector<EditColorSpan>* syntax = nullptr;
};

// The runs of the cells of a row from column `first` up to, not including,
// `last`; after them, when a layer covers the line end and the cells end
// before `last`, the line-end cell (at `first` when the line ends before it).
// Neighbouring cells of equal style make one run.
void EditBuildRuns(const GeomCells& cells, const EditRowLayers& row, DisplayCol first,
                   DisplayCol last, std::vector<EditRun>* out);
