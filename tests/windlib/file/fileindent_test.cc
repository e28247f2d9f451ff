// Shifting and auto-indenting the lines of a file: the text, the undo step
// and the cached parser state.
#include "windlib/file/fileindent.h"

#include <gtest/gtest.h>

#include "file_fixture.h"
#include "windlib/config/aindentsettings.h"
#include "windlib/file/filesyntax.h"
#include "windlib/file/lineindent.h"
#include "windlib/file/undo.h"

namespace {

bool c_language(File*, AI_Lang* lang, char* leader) {
  *lang = AI_LangC;
  *leader = 0;
  return true;
}

class FileIndentTest : public oetest::FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    FileAutoIndentLanguageHook = c_language;
  }
  void TearDown() override {
    for (File* f = FileHead(); f; f = f->next) f->language = nullptr;
    FileAutoIndentLanguageHook = nullptr;
    FileLineSynstateHook = nullptr;
    FileTest::TearDown();
  }
  // A file whose language indents like C.
  File* LoadC(const std::string& content) {
    File* f = Load("t.c", content);
    f->language = reinterpret_cast<synLanguage*>(f);
    return f;
  }
  int32_t AutoIndent(File* f, int32_t l1, int32_t c1, int32_t l2, int32_t c2) {
    return FileAutoIndent(f, nullptr, 0, l1, c1, l2, c2, 4, true);
  }
};

TEST_F(FileIndentTest, LineIndentWritesTabsThenBlanks) {
  File* f = Load("t", "   x\n   y\n   z\n");
  Line* l = f->first;
  FileInstanciateLine(f, l);
  LineIndent(l, 6, true, 8);
  vfTabsAreSpaces = true;
  FileInstanciateLine(f, l->next);
  LineIndent(l->next, 6, true, 8);
  vfTabsAreSpaces = false;
  FileInstanciateLine(f, l->next->next);
  LineIndent(l->next->next, -7, true, 8);
  EXPECT_EQ(Text(f), "\t x\n         y\nz\n");
  const char* text = "  \t x";
  EXPECT_EQ(GetCurrentIndent(&text, text + 5, 0), 4);
  EXPECT_STREQ(text, "x");
}

TEST_F(FileIndentTest, FileIndentIsOneUndoStep) {
  File* f = Load("t", "a\n\tb\nc\n");
  FileIndent(f, nullptr, 0, 2, 1, 4);
  EXPECT_EQ(Text(f), "    a\n\t    b\nc\n");
  EXPECT_TRUE(f->modified);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Text(f), "a\n\tb\nc\n");
  EXPECT_EQ(FileUndo(f, nullptr, 0), -100);
}

TEST_F(FileIndentTest, RangeRules) {
  File* f = LoadC("void f()\n{\n  \nx;\ny;\n\t\n}\n");
  // Ending at column 0 leaves the last line out.
  EXPECT_EQ(AutoIndent(f, 4, 2, 5, 0), 1);
  EXPECT_EQ(Text(f), "void f()\n{\n  \n    x;\ny;\n\t\n}\n");
  // Several lines: blank lines lose their blanks.
  EXPECT_EQ(AutoIndent(f, 7, 0, 1, 0), 3);
  EXPECT_EQ(Text(f), "void f()\n{\n\n    x;\n    y;\n\n}\n");
  // One blank line goes to its column.
  EXPECT_EQ(AutoIndent(f, 6, 0, 6, 0), 1);
  EXPECT_EQ(Text(f), "void f()\n{\n\n    x;\n    y;\n    \n}\n");
  EXPECT_EQ(AutoIndent(f, 6, 0, 6, 0), 0);
}

TEST_F(FileIndentTest, OneUndoStepForTheRange) {
  File* f = LoadC("void f()\n{\nx;\ny;\n}\n");
  EXPECT_EQ(AutoIndent(f, 1, 0, 5, 1), 2);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Text(f), "void f()\n{\nx;\ny;\n}\n");
}

TEST_F(FileIndentTest, LanguageWithoutIndentChangesNothing) {
  File* f = Load("t", "void f()\n{\nx;\n}\n");
  EXPECT_EQ(AutoIndent(f, 1, 0, 4, 1), -1);
  f->language = reinterpret_cast<synLanguage*>(f);
  FileAutoIndentLanguageHook = [](File*, AI_Lang*, char*) { return false; };
  EXPECT_EQ(AutoIndent(f, 1, 0, 4, 1), -1);
  EXPECT_EQ(Text(f), "void f()\n{\nx;\n}\n");
  EXPECT_FALSE(f->modified);
}

TEST_F(FileIndentTest, MissingLastLineIsMade) {
  File* f = LoadC("void f()\n{\n");
  EXPECT_EQ(AutoIndent(f, 3, 0, 3, 0), 1);
  EXPECT_EQ(f->nLines, 3);
  EXPECT_EQ(Lines(f).back(), "    ");
}

TEST_F(FileIndentTest, ImpliedIndentLeavesCommentsWhenAsked) {
  File* f = LoadC("void f()\n{\n/*\nx\n*/\n // y\n");
  aIndent_implicitAIndentInComments = false;
  EXPECT_EQ(FileAutoIndent(f, nullptr, 0, 4, 0, 4, 0, 4, false), 0);
  EXPECT_EQ(FileAutoIndent(f, nullptr, 0, 6, 0, 6, 0, 4, false), 0);
  EXPECT_EQ(FileAutoIndent(f, nullptr, 0, 4, 0, 4, 0, 4, true), 1);
  EXPECT_EQ(Lines(f)[3], "   x");
  aIndent_implicitAIndentInComments = true;
  EXPECT_EQ(FileAutoIndent(f, nullptr, 0, 6, 0, 6, 0, 4, false), 1);
  EXPECT_EQ(Lines(f)[5], "    // y");
}

TEST_F(FileIndentTest, CachedStateFollowsEdits) {
  std::string text = "void f()\n{\n";
  for (int i = 0; i < 60; ++i) text += "    x;\n";
  text += "}\n";
  File* f = LoadC(text);
  EXPECT_EQ(AutoIndent(f, 50, 0, 50, 0), 0);
  ASSERT_NE(f->autoIndentTag, nullptr);
  // Below the cached line the state stays.
  FileChange(f, nullptr, 0, 49, 0, 49, 6, "    if (a)", 10, false);
  EXPECT_NE(f->autoIndentTag, nullptr);
  EXPECT_EQ(AutoIndent(f, 50, 0, 50, 0), 1);
  EXPECT_EQ(Lines(f)[49], "\tx;");
  // A change above it drops the state, and the result sees the change: the
  // rest of the text is now a comment.
  FileChange(f, nullptr, 0, 3, 0, 3, 6, "    /*", 6, false);
  EXPECT_EQ(f->autoIndentTag, nullptr);
  EXPECT_EQ(AutoIndent(f, 50, 0, 50, 0), 1);
  EXPECT_EQ(Lines(f)[49], "       x;");
  // Undoing goes through the same notice.
  FileUndo(f, nullptr, 0);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(f->autoIndentTag, nullptr);
}

TEST_F(FileIndentTest, StartingLineIsNotInsideAComment) {
  File* f = LoadC("void f()\n{\n/*\nint x;\n*/\ny;\n");
  FileLineSynstateHook = [](File*, int32_t line) {
    return line == 4 || line == 5 ? synComment : 0u;
  };
  EXPECT_EQ(AutoIndent(f, 6, 0, 6, 0), 1);
  EXPECT_EQ(Lines(f)[5], "    y;");
  // Without the colouring the commented line looks like a definition.
  FileLineSynstateHook = nullptr;
  EXPECT_EQ(AutoIndent(f, 6, 0, 6, 0), 1);
  EXPECT_EQ(Lines(f)[5], "y;");
}

}  // namespace
