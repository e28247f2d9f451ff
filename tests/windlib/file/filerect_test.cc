// Rectangles: the text they cover, deleting them and pasting them, with
// tabs across their edges, short lines, lines past the end, and undo.
#include "windlib/file/filerect.h"

#include <string>

#include "file_fixture.h"
#include "windlib/file/undo.h"

namespace {

using oetest::FileTest;

int32_t Paste(File* f, int32_t line, int32_t col, const std::string& text) {
  return FileRectPaste(f, line, col, text.data(), static_cast<int32_t>(text.size()));
}

TEST_F(FileTest, RectangleTextTakesTheCoveredBytesOfEachLine) {
  File* f = Load("a", "abcdef\nab\n\tXYZ\nabcdefghijk\n");
  EXPECT_EQ(FileRectText(f, 1, 2, 1, 4), "bcd\nb");
  EXPECT_EQ(FileRectText(f, 2, 1, 4, 1), "bcd\nb") << "corners in either order";
  // The tab covers columns 0..7: a range inside it takes the whole tab.
  EXPECT_EQ(FileRectText(f, 3, 3, 2, 4), "\t");
  EXPECT_EQ(FileRectText(f, 3, 4, 8, 10), "XY\nij");
  EXPECT_EQ(FileRectText(f, 1, 2, 3, 3), "\n") << "equal columns: empty lines";
  EXPECT_EQ(FileRectText(f, 2, 2, 5, 9), "") << "a line ending before the left edge";
}

TEST_F(FileTest, RectangleDeleteKeepsColumnsAroundTabsAndIsOneUndoStep) {
  const std::string original = "abcdefgh\nab\n\tXYZ\nabc\tZ\n";
  File* f = Load("a", original);
  // Columns 2..5 on lines 1..4: byte 5 of line 1 and byte 2 of line 4, in
  // reverse order.
  FileRectDel(f, 4, 2, 1, 5);
  EXPECT_EQ(Text(f),
            "abfgh\nab\n" + std::string("  ") + std::string(3, ' ') + "XYZ\n" + "ab   Z\n");
  ASSERT_NE(f->undo, nullptr);
  EXPECT_TRUE(UndoIsGroup(f->undo));
  EXPECT_EQ(f->undo->next, nullptr) << "one step for every line";
  EXPECT_GE(FileUndo(f, nullptr, 0), 1);
  EXPECT_EQ(Text(f), original);
}

TEST_F(FileTest, RectangleDeleteOfNoWidthChangesNothing) {
  File* f = Load("a", "abc\ndef\n");
  FileRectDel(f, 1, 1, 2, 1);
  EXPECT_EQ(Text(f), "abc\ndef\n");
  EXPECT_EQ(f->undo, nullptr);
}

TEST_F(FileTest, RectanglePastePadsShortLinesAndAppendsLinesPastTheEnd) {
  const std::string original = "0123456789xx\nabcd\n";
  File* f = Load("a", original);
  EXPECT_EQ(Paste(f, 1, 10, "P\nQ\nR"), 3);
  EXPECT_EQ(Text(f), "0123456789Pxx\nabcd      Q\n          R\n");
  EXPECT_TRUE(UndoIsGroup(f->undo));
  EXPECT_EQ(f->undo->next, nullptr);
  EXPECT_GE(FileUndo(f, nullptr, 0), 1);
  EXPECT_EQ(Text(f), original);
}

TEST_F(FileTest, RectanglePasteInsideATabKeepsWhatFollowsInPlace) {
  File* f = Load("a", "abcdefghij\n\tX\n");
  // Column 3 of line 1 is inside the tab of line 2 (columns 0..7).
  EXPECT_EQ(Paste(f, 1, 3, "12\n34"), 2);
  EXPECT_EQ(Text(f), "abc12defghij\n   34     X\n");
  // Where text starts at the column it goes in front of it.
  File* g = Load("b", "ab\n\tX\n");
  Paste(g, 2, 1, "--");
  EXPECT_EQ(Text(g), "ab\n\t--X\n");
}

TEST_F(FileTest, RectanglePasteOfBadArgumentsChangesNothing) {
  File* f = Load("a", "abc\n");
  EXPECT_EQ(FileRectPaste(f, 1, 0, nullptr, 3), 0);
  EXPECT_EQ(FileRectPaste(f, 0, 0, "x", 1), 0);
  EXPECT_EQ(FileRectPaste(f, 1, 0, "x", -1), 0);
  EXPECT_EQ(Text(f), "abc\n");
}

}  // namespace
