// How rows of a view are drawn: runs of cells with their styles, merged
// from the text, escapes, search matches and the two selections.
#include <string>
#include <vector>

#include "edit_fixture.h"
#include "windlib/edit/editcolors.h"
#include "windlib/x11/wdraw.h"

namespace oetest {
namespace {

const WCellStyle kPlain{EditForeground(), EditBackground(), 0};
const WCellStyle kSelected{EditSelectionForeground(), EditSelectionBackground(), 0};

EditRun run(int32_t start, const std::string& cells, WCellStyle style, bool lineEnd = false) {
  return EditRun{DisplayCol(start), cells, style, lineEnd, GeomGlyphCells(cells)};
}

std::string describe(const std::vector<EditRun>& runs) {
  std::string out;
  for (const EditRun& r : runs) {
    out += "[" + std::to_string(r.start.v) + " '" + r.cells + "' fg " + std::to_string(r.style.fg) +
           " bg " + std::to_string(r.style.bg) + " attrs " + std::to_string(r.style.attrs) +
           (r.lineEnd ? " end" : "") + "] ";
  }
  return out;
}

class DrawRunsTest : public EditTest {
 protected:
  Edit* View(const std::string& content) {
    Edit* e = Window(Open("runs.c", content))->edit();
    WFlushDrawing();
    return e;
  }
  // The runs row `row` was last drawn with.
  static const std::vector<EditRun>& Runs(Edit* e, int row) {
    static const std::vector<EditRun> none;
    WFlushDrawing();
    if (static_cast<size_t>(row) >= e->drawnRows.size()) return none;
    return e->drawnRows[static_cast<size_t>(row)].runs;
  }
};

TEST_F(DrawRunsTest, SelectionOverAControlByteDrawsItsEscapeSelected) {
  Edit* e = View(
      "a\x01"
      "b\nnext\n");
  EXPECT_EQ(Runs(e, 0), (std::vector<EditRun>{run(0, "a^Ab", kPlain)})) << describe(Runs(e, 0));
  EditSetSelection(e, 1, 1, 1, 2);
  const std::vector<EditRun> expected = {run(0, "a", kPlain), run(1, "^A", kSelected),
                                         run(3, "b", kPlain)};
  EXPECT_EQ(Runs(e, 0), expected) << describe(Runs(e, 0));
  EXPECT_EQ(e->drawnRows[0].lineNo, 1);
  // What the X layer was handed: the same three runs in cells.
  WDrawRecorder rec;
  e->RedrawAll();
  WFlushDrawing();
  std::vector<std::string> row0;
  for (const WDrawOp& op : rec.ops())
    if (op.window == e->text && op.kind == WDrawKind::Cells && op.rect.y == 0)
      row0.push_back(op.text);
  EXPECT_EQ(row0, (std::vector<std::string>{"a", "^A", "b"}));
}

TEST_F(DrawRunsTest, ASelectedLineEndIsOneCellAfterTheText) {
  Edit* e = View("ab\tc\nnext\n");
  EditSetSelection(e, 1, 3, 2, 2);
  // "ab", the tab to column 8, c; the line end selected; line 2 half selected.
  EXPECT_EQ(Runs(e, 0), (std::vector<EditRun>{run(0, "ab      ", kPlain), run(8, "c", kSelected),
                                              run(9, " ", kSelected, true)}))
      << describe(Runs(e, 0));
  EXPECT_EQ(Runs(e, 1), (std::vector<EditRun>{run(0, "ne", kSelected), run(2, "xt", kPlain)}))
      << describe(Runs(e, 1));
  // Selecting from inside the tab selects all of its cells.
  EditSetSelection(e, 1, 2, 1, 3);
  EXPECT_EQ(Runs(e, 0), (std::vector<EditRun>{run(0, "ab", kPlain), run(2, "      ", kSelected),
                                              run(8, "c", kPlain)}))
      << describe(Runs(e, 0));
  // Scrolled right past the end of a selected line end: the end is drawn at
  // the left edge.
  EditSetSelection(e, 1, 0, 2, 0);
  e->hScroll = 20;
  e->RedrawAll();
  EXPECT_EQ(Runs(e, 0), (std::vector<EditRun>{run(20, " ", kSelected, true)}))
      << describe(Runs(e, 0));
}

TEST_F(DrawRunsTest, LayersStackSearchMatchUnderSecondaryUnderPrimary) {
  Edit* e = View("0123456789\nsecond\n");
  EditSetSearchMatches(e, {TextRange{TextPos{1, 1}, TextPos{1, 7}}});
  e->sel[1] = EditSelection{};
  e->sel[1].start_line = e->sel[1].end_line = 1;
  e->sel[1].start_column = 3;
  e->sel[1].end_column = 9;
  EditSetSelection(e, 1, 5, 1, 8);
  const WCellStyle match{EditForeground(), EditSearchMatchBackground(), 0};
  const WCellStyle match_under{EditForeground(), EditSearchMatchBackground(), kEditSecondaryAttrs};
  const WCellStyle sel_under{EditSelectionForeground(), EditSelectionBackground(),
                             kEditSecondaryAttrs};
  const WCellStyle under{EditForeground(), EditBackground(), kEditSecondaryAttrs};
  e->RedrawAll();
  EXPECT_EQ(Runs(e, 0), (std::vector<EditRun>{run(0, "0", kPlain), run(1, "12", match),
                                              run(3, "34", match_under), run(5, "567", sel_under),
                                              run(8, "8", under), run(9, "9", kPlain)}))
      << describe(Runs(e, 0));
  EXPECT_EQ(Runs(e, 1), (std::vector<EditRun>{run(0, "second", kPlain)})) << describe(Runs(e, 1));
  // The X layer is handed the attributes with the colours.
  WDrawRecorder rec;
  e->RedrawAll();
  WFlushDrawing();
  int underlined = 0;
  for (const WDrawOp& op : rec.ops())
    if (op.window == e->text && op.kind == WDrawKind::Cells && (op.attrs & WAttrUnderline))
      ++underlined;
  EXPECT_EQ(underlined, 3);
}

TEST_F(DrawRunsTest, SearchMatchesSpanLinesAndRedrawOnlyTheirLines) {
  std::string content;
  for (int i = 1; i <= 30; ++i) content += "line " + std::to_string(i) + "\n";
  Edit* e = View(content);
  const WCellStyle match{EditForeground(), EditSearchMatchBackground(), 0};
  WDrawRecorder rec;
  // Given end first: a match is taken in either order.
  EditSetSearchMatches(e, {TextRange{TextPos{5, 2}, TextPos{4, 5}}});
  WFlushDrawing();
  std::vector<int> rows;
  for (const WDrawOp& op : rec.ops())
    if (op.window == e->text && op.kind == WDrawKind::Cells)
      rows.push_back(op.rect.y / e->lineHeight());
  EXPECT_EQ(rows, (std::vector<int>{3, 3, 4, 4})) << "lines 4 and 5 only";
  EXPECT_EQ(Runs(e, 3), (std::vector<EditRun>{run(0, "line ", kPlain), run(5, "4", match),
                                              run(6, " ", match, true)}))
      << describe(Runs(e, 3));
  EXPECT_EQ(Runs(e, 4), (std::vector<EditRun>{run(0, "li", match), run(2, "ne 5", kPlain)}))
      << describe(Runs(e, 4));
  // Replacing the matches redraws the old lines and the new ones.
  rec.clear();
  EditSetSearchMatches(e, {TextRange{TextPos{9, 0}, TextPos{9, 4}}});
  WFlushDrawing();
  rows.clear();
  for (const WDrawOp& op : rec.ops())
    if (op.window == e->text && op.kind == WDrawKind::Cells)
      rows.push_back(op.rect.y / e->lineHeight());
  EXPECT_EQ(rows.front(), 3);
  EXPECT_EQ(rows.back(), 8);
  EXPECT_EQ(Runs(e, 3), (std::vector<EditRun>{run(0, "line 4", kPlain)}));
  EXPECT_EQ(Runs(e, 8), (std::vector<EditRun>{run(0, "line", match), run(4, " 9", kPlain)}));
  EditSetSearchMatches(e, {});
  EXPECT_EQ(Runs(e, 8), (std::vector<EditRun>{run(0, "line 9", kPlain)}));
}

TEST_F(DrawRunsTest, ScrolledRowsStartAtTheFirstColumnShown) {
  Edit* e = View(
      "\tab\x7f"
      "cd\n");
  e->hScroll = 4;
  EditSetSelection(e, 1, 3, 1, 4);
  e->RedrawAll();
  // Cells 4 to 7 of the tab, "ab", DEL selected, "cd".
  EXPECT_EQ(Runs(e, 0), (std::vector<EditRun>{run(4, "    ab", kPlain), run(10, "^?", kSelected),
                                              run(12, "cd", kPlain)}))
      << describe(Runs(e, 0));
  // A line background from the view's colour generator is the base layer's.
  e->colorGenerator = [](Edit*, int32_t) -> long { return 0x123456; };
  e->RedrawAll();
  const WCellStyle tinted{EditForeground(), 0x123456, 0};
  EXPECT_EQ(Runs(e, 0).front(), run(4, "    ab", tinted));
  EXPECT_EQ(Runs(e, 0).at(1), run(10, "^?", kSelected));
}

}  // namespace
}  // namespace oetest
