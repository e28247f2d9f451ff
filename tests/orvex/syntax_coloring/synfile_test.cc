// Syntax states of real files shown in views without a display: the bounded
// window computed after a change, lines computed as they come into view,
// the rows drawn in their colours, and the questions of the layers below.
#include "orvex/syntax_coloring/synfile.h"

#include <string>

#include "orvex/syntax_coloring/syncommands.h"
#include "orvex/syntax_coloring/synindex.h"
#include "orvex/syntax_coloring/synstate.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/configoptions.h"
#include "windlib/edit/edit_fixture.h"
#include "windlib/edit/editfill.h"
#include "windlib/file/filesyntax.h"

namespace oetest {
namespace {

class SynFileTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    cfg_ResetAllOptions();
    cfg_SetUserConfigDir((std::string(OE_SOURCE_DIR) + "/data").c_str());
    syn_LoadLanguageIndex((std::string(OE_SOURCE_DIR) + "/data/syntax_coloring/index.ksc").c_str());
    syn_InstallCommands();
    syn_StartColouring();
  }
  void TearDown() override {
    cfg_ResetAllOptions();
    EditTest::TearDown();
    cfg_ResetConfigDirs();
  }

  static uint32_t Start(File* f, int32_t n) { return FileLine(f, n, nullptr, 0)->synState; }
  // The foreground of the first run of the row showing line `n`.
  static WColor RowColour(Edit* e, int32_t n) {
    WFlushDrawing();
    const size_t row = static_cast<size_t>(n - e->topLineNo);
    if (row >= e->drawnRows.size() || e->drawnRows[row].runs.empty()) return 0xdeadbeef;
    return e->drawnRows[row].runs.front().style.fg;
  }
  static uint32_t Pixel(File* f, uint32_t state) {
    uint32_t pixel = 0;
    EXPECT_TRUE(f->language->GetColorForStatus(state, &pixel));
    return pixel;
  }
  static std::string Numbered(int32_t lines) {
    std::string text;
    for (int32_t i = 1; i <= lines; ++i) text += "int x" + std::to_string(i) + ";\n";
    return text;
  }
};

TEST_F(SynFileTest, CommentOpenedFarDownColoursTheWindowAtOnceAndTheRestInView) {
  File* f = Open("far.c", Numbered(300));
  ASSERT_EQ(f->language->name, "C");
  Edit* e = Window(f)->edit();
  e->ScrollTo(90);
  WFlushDrawing();
  const int32_t last_shown = e->topLineNo + e->rows() - 1;
  ASSERT_LT(last_shown, 120);
  // Only what was shown is known.
  EXPECT_GE(f->colouredLines, last_shown);
  EXPECT_LT(f->colouredLines, 200);

  EditMoveCaret(e, 100, 0, false);
  Type(e, "/*");
  EXPECT_EQ(LineText(f, 100), "/*int x100;");
  EXPECT_EQ(Start(f, 100), synNull);
  for (int32_t n = 101; n <= 120; ++n) EXPECT_EQ(Start(f, n), synComment) << n;
  EXPECT_EQ(f->colouredLines, 120);
  EXPECT_EQ(Start(f, 121), synNull);  // not yet
  // Twenty lines changed state; the views were asked for those only.
  EXPECT_EQ(syn_LastPropagate().redrawn, 20);
  EXPECT_EQ(RowColour(e, 105), Pixel(f, synComment));
  EXPECT_EQ(RowColour(e, 95), Pixel(f, synKeyword));

  // Further down, lines are computed as they come into view.
  e->ScrollTo(200);
  WFlushDrawing();
  EXPECT_EQ(Start(f, 200), synComment);
  EXPECT_EQ(RowColour(e, 210), Pixel(f, synComment));
  EXPECT_GE(f->colouredLines, 200 + e->rows() - 1);

  // Typing inside a line that keeps the states changes no other line.
  e->ScrollTo(90);
  EditMoveCaret(e, 105, 4, false);
  Type(e, "q");
  EXPECT_EQ(syn_LastPropagate().redrawn, 0);
  EXPECT_LE(syn_LastPropagate().computed, 21 + e->rows());
  // Closing the comment brings the window back at once.
  EditMoveCaret(e, 100, 2, false);
  Type(e, "*/");
  for (int32_t n = 101; n <= 120; ++n) EXPECT_EQ(Start(f, n), synNull) << n;
  EXPECT_EQ(syn_LastPropagate().redrawn, 20);
  EXPECT_EQ(RowColour(e, 105), Pixel(f, synKeyword));
}

TEST_F(SynFileTest, DeletedLinesAndUndoKeepStatesRight) {
  File* f = Open("undo.c", "a;\n/* x\ny\n*/\nint z;\n");
  Edit* e = Window(f)->edit();
  WFlushDrawing();
  EXPECT_EQ(Start(f, 3), synComment);
  EXPECT_EQ(Start(f, 5), synNull);
  // Removing the line that closes the comment leaves the rest inside it.
  EditSetSelection(e, 4, 0, 5, 0);
  EditCli(e, "Delete");
  ASSERT_EQ(LineText(f, 4), "int z;");
  EXPECT_EQ(Start(f, 4), synComment);
  EditCli(e, "Undo");
  ASSERT_EQ(LineText(f, 4), "*/");
  EXPECT_EQ(Start(f, 5), synNull);
}

TEST_F(SynFileTest, DeletingEverythingLeavesNoLineKnownPastTheEnd) {
  File* f = Open("all.c", "/* a\nb\nc */\n");
  Edit* e = Window(f)->edit();
  WFlushDrawing();
  EXPECT_EQ(f->colouredLines, 3);
  EditCli(e, "SelectAll");
  EditCli(e, "Delete");
  EXPECT_LE(f->colouredLines, f->nLines);
  Type(e, "int");
  EXPECT_EQ(RowColour(e, 1), Pixel(f, synKeyword));
  EXPECT_EQ(FileLineSynstateHook(f, 1), synNull);
}

TEST_F(SynFileTest, QuestionsOfTheLayersBelow) {
  File* f = Open("ask.c", "f(a /* ( */, \"(\");\n/* a\n  b */ c\n#if 0\nx(\n#endif\n");
  Edit* e = Window(f)->edit();
  // Asked before anything was drawn: computed on demand.
  EXPECT_TRUE(FileIsCode(f, 1, 0));
  EXPECT_FALSE(FileIsCode(f, 1, 7));   // in the comment
  EXPECT_FALSE(FileIsCode(f, 1, 14));  // in the string
  EXPECT_TRUE(FileIsCode(f, 1, 16));
  EXPECT_FALSE(FileIsCode(f, 5, 1));  // dead code
  EXPECT_TRUE(FileLineStartsInComment(f, 3));
  EXPECT_FALSE(FileLineStartsInComment(f, 4));
  EXPECT_EQ(FileLineSynstateHook(f, 5), synDeadCode);
  // Filling judges comments by the state.
  ASSERT_TRUE(EditCommentAtHook);
  EXPECT_EQ(EditCommentAtHook(e, 2, 3), kBlockComment);
  EXPECT_EQ(EditCommentAtHook(e, 3, 8), kNotComment);
  // A file without colouring is code everywhere.
  File* plain = Open("ask.txt", "/* a\nb */\n");
  EXPECT_TRUE(FileIsCode(plain, 2, 0));
  EXPECT_FALSE(FileLineStartsInComment(plain, 2));
}

TEST_F(SynFileTest, SelectLanguageRecoloursFromTheFirstLine) {
  File* f = Open("lang.txt", "/* a\nb */ int\n");
  Edit* e = Window(f)->edit();
  WFlushDrawing();
  EXPECT_EQ(Start(f, 2), synNull);
  ASSERT_EQ(EditCli(e, "SelectLanguage C"), 1);
  EXPECT_EQ(Start(f, 2), synComment);
  EXPECT_EQ(RowColour(e, 1), Pixel(f, synComment));
  ASSERT_EQ(EditCli(e, "SelectLanguage None"), 1);
  EXPECT_EQ(Start(f, 2), synNull);
  EXPECT_TRUE(FileIsCode(f, 2, 0));
}

TEST_F(SynFileTest, ColouringOffDrawsPlainAndOnAgainCatchesUp) {
  File* f = Open("off.c", "int a;\nchar b;\nint c;\n");
  Edit* e = Window(f)->edit();
  const WColor keyword = Pixel(f, synKeyword);
  EXPECT_EQ(RowColour(e, 1), keyword);
  ASSERT_EQ(cfg_ScanLine("colorsyntax off", false, true), 1);
  e->RedrawAll();
  EXPECT_NE(RowColour(e, 1), keyword);
  // Edits made meanwhile are caught up with when colouring comes back.
  EditMoveCaret(e, 2, 0, false);
  Type(e, "/*");
  ASSERT_EQ(cfg_ScanLine("colorsyntax on", false, true), 1);
  e->RedrawAll();
  EXPECT_EQ(FileLineSynstateHook(f, 3), synComment);
  EXPECT_EQ(RowColour(e, 1), keyword);
}

}  // namespace
}  // namespace oetest
