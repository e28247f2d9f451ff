// Filling comment paragraphs: where a paragraph starts and ends, where its
// lines break, the caret, undo, and text that is not a comment.
#include <string>

#include "edit_fixture.h"
#include "windlib/edit/editfill.h"

namespace {

using oetest::EditTest;

// Comments as the tests write them: a line holding "//" is a line comment
// from there on, one starting with "/*" or " *" is in a block comment.
EditCommentKind TestComments(Edit* e, int32_t line, int32_t column) {
  Line* l = EditLineAt(e, line);
  if (!l) return kNotComment;
  std::string s(FileLineText(e->file, l), static_cast<size_t>(l->len));
  size_t slash = s.find("//");
  if (slash != std::string::npos && static_cast<size_t>(column) >= slash) return kLineComment;
  if (s.rfind("/*", 0) == 0 || s.rfind(" *", 0) == 0) return kBlockComment;
  return kNotComment;
}

class FillTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    EditCommentAtHook = TestComments;
    cfgFillParagraphColumn = 20;
  }
  void TearDown() override {
    EditCommentAtHook = nullptr;
    EditTest::TearDown();
  }
};

TEST_F(FillTest, LineCommentParagraphIsJoinedAndBrokenBeforeTheColumn) {
  const std::string original =
      "//\n// one two\n// three four five six seven\n// eight\n//\nint x;\n";
  Edit* e = View("a.c", original);
  EditMoveCaret(e, 3, 9, false);  // at "four"
  EXPECT_EQ(EditCli(e, "FillParagraph"), 1);
  EXPECT_EQ(Text(e), "//\n// one two three\n// four five six\n// seven eight\n//\nint x;\n");
  EXPECT_EQ(e->caretLine, 3);
  EXPECT_EQ(e->caretColumn, 3) << "the caret stays at its word";
  EditCli(e, "Undo");
  EXPECT_EQ(Text(e), original) << "one undo step";
}

TEST_F(FillTest, TagLinesAndCodeBoundTheParagraph) {
  Edit* e = View("a.c", "// aaa bbb\n// @param ccc ddd eee fff\n// ggg\nint y; // zzz\n");
  EditMoveCaret(e, 3, 3, false);
  EditCli(e, "FillParagraph");
  EXPECT_EQ(Text(e), "// aaa bbb\n// @param ccc ddd\n// eee fff ggg\nint y; // zzz\n");
}

TEST_F(FillTest, BlockCommentKeepsThePrefixOfItsFirstLine) {
  Edit* e = View("a.c", "/*\n * alpha beta gamma delta\n *\n */\n");
  EditMoveCaret(e, 2, 4, false);
  EditCli(e, "FillParagraph");
  EXPECT_EQ(Text(e), "/*\n * alpha beta gamma\n * delta\n *\n */\n");
}

TEST_F(FillTest, OneLongWordAndTextOutsideCommentsStayAsTheyAre) {
  const std::string original = "// abcdefghijklmnopqrstuvwxyz\nint a_long_line_of_code = 1;\n";
  Edit* e = View("a.c", original);
  EditMoveCaret(e, 1, 5, false);
  EditCli(e, "FillParagraph");
  EditMoveCaret(e, 2, 5, false);
  EditCli(e, "FillParagraph");
  EXPECT_EQ(Text(e), original);
  EditCommentAtHook = nullptr;
  EditMoveCaret(e, 1, 5, false);
  EXPECT_EQ(EditFillParagraph(e), 0) << "without a language nothing is a comment";
}

}  // namespace
