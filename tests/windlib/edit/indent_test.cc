// The indentation commands in a view: where the caret and the selection
// end up, read-only files, and the language the file layer is told about.
#include <string>

#include "edit_fixture.h"
#include "windlib/config/aindentsettings.h"
#include "windlib/file/fileindent.h"

namespace {

using oetest::EditTest;

bool c_language(File*, AI_Lang* lang, char* leader) {
  *lang = AI_LangC;
  *leader = 0;
  return true;
}

class IndentTest : public EditTest {
 protected:
  void TearDown() override {
    for (File* f = FileHead(); f; f = f->next) f->language = nullptr;
    FileAutoIndentLanguageHook = nullptr;
    EditTest::TearDown();
  }
  Edit* View(File* f) { return Window(f)->edit(); }
};

TEST_F(IndentTest, CaretKeepsItsCharacterAndNeverStandsLeftOfTheText) {
  File* f = Open("a.c", "  abc\n");
  Edit* e = View(f);
  EditMoveCaret(e, 1, 3, false);
  EXPECT_EQ(EditCli(e, "Indent"), 1);
  EXPECT_EQ(LineText(f, 1), "      abc");
  EXPECT_EQ(e->caretColumn, 7);
  EditMoveCaret(e, 1, 0, false);
  EXPECT_EQ(EditCli(e, "Unindent"), 1);
  EXPECT_EQ(LineText(f, 1), "  abc");
  EXPECT_EQ(e->caretColumn, 2);
}

TEST_F(IndentTest, UnindentOfSeveralLinesSelectsThemWhole) {
  File* f = Open("a.c", "      a\n  b\nc\n");
  Edit* e = View(f);
  EXPECT_EQ(EditCli(e, "SelectAll; Unindent"), 1);
  EXPECT_EQ(Text(f), "  a\nb\nc\n");
  const TextRange r = EditSelectionRange(e).normalized();
  EXPECT_EQ(r.begin, (TextPos{1, 0}));
  EXPECT_EQ(r.end, (TextPos{3, 1}));
  EXPECT_EQ(EditCli(e, "Undo"), 1);
  EXPECT_EQ(Text(f), "      a\n  b\nc\n");
}

TEST_F(IndentTest, ReadOnlyFilesRefuseEveryIndentCommand) {
  FileAutoIndentLanguageHook = c_language;
  File* f = Open("a.c", "void f()\n{\nx;\n}\n");
  f->language = reinterpret_cast<synLanguage*>(f);
  Edit* e = View(f);
  ASSERT_EQ(EditCli(e, "ToggleReadOnly"), 1);
  EditMoveCaret(e, 3, 0, false);
  for (const char* cmd :
       {"Indent", "Unindent", "AutoIndent", "AutoIndentOrTab", "AutoIndentImplicit"}) {
    e->message.clear();
    EditCli(e, cmd);
    EXPECT_EQ(e->message, "Window is read only") << cmd;
  }
  EXPECT_EQ(Text(f), "void f()\n{\nx;\n}\n");
  ASSERT_EQ(EditCli(e, "ToggleReadOnly"), 1);
  EXPECT_EQ(EditCli(e, "AutoIndent"), 1);
  EXPECT_EQ(LineText(f, 3), "    x;");
  EXPECT_EQ(e->caretColumn, 4);
}

TEST_F(IndentTest, ImplicitIndentCanBeTurnedOff) {
  FileAutoIndentLanguageHook = c_language;
  File* f = Open("a.c", "void f()\n{\nx;\n}\n");
  f->language = reinterpret_cast<synLanguage*>(f);
  Edit* e = View(f);
  EditMoveCaret(e, 3, 0, false);
  aIndent_implicitAIndentOn = false;
  EXPECT_EQ(EditCli(e, "AutoIndentImplicit"), 1);
  EXPECT_EQ(LineText(f, 3), "x;");
  // AutoIndentOrTab then types a tab instead.
  EXPECT_EQ(EditCli(e, "AutoIndentOrTab"), 1);
  EXPECT_EQ(LineText(f, 3), "\tx;");
  aIndent_implicitAIndentOn = true;
  EXPECT_EQ(EditCli(e, "AutoIndentImplicit"), 1);
  EXPECT_EQ(LineText(f, 3), "    x;");
}

TEST_F(IndentTest, IndentSizeFollowsTheOption) {
  File* f = Open("a.c", "x\n");
  Edit* e = View(f);
  EXPECT_EQ(EditCli(e, "Configure editindent 2; Indent"), 1);
  EXPECT_EQ(LineText(f, 1), "  x");
  EXPECT_EQ(f->indentSize, 2);
}

}  // namespace
