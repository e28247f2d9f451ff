// The auto-indent parser on its own: whole texts indented line by line as
// the file layer does, and texts that must not upset it.
#include "windlib/file/aindent.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "windlib/config/aindentsettings.h"
#include "windlib/config/editsettings.h"

namespace {

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Each line moved to its wished column (blanks only), parsing the moved
// line as the file layer does.
std::string reindent(const std::string& text, AI_Lang lang = AI_LangC, int32_t indent = 4,
                     int32_t tabsize = 8) {
  AutoIndentLine_Tag* st = AIndent_New(lang, 0);
  std::string out;
  int32_t n = 0;
  for (std::string line : split(text)) {
    ++n;
    const size_t body = line.find_first_not_of(" \t");
    AutoIndentLine_Tag* probe = AIndent_Clone(st);
    int32_t col = AIndent_GetIndentColumn(probe, line.data(), static_cast<int32_t>(line.size()),
                                          indent, tabsize, n);
    AIndent_Delete(probe);
    if (body == std::string::npos)
      line.clear();
    else
      line = std::string(static_cast<size_t>(col < 0 ? 0 : col), ' ') + line.substr(body);
    AIndent_ParseLine(st, line.data(), static_cast<int32_t>(line.size()), indent, tabsize, n);
    out += line + "\n";
  }
  AIndent_Delete(st);
  return out;
}

// The wished column of the last line after the lines before it, as they
// stand.
int32_t column_of_last(const std::string& text, AI_Lang lang = AI_LangC) {
  std::vector<std::string> lines = split(text);
  AutoIndentLine_Tag* st = AIndent_New(lang, 0);
  for (size_t i = 0; i + 1 < lines.size(); ++i)
    AIndent_ParseLine(st, lines[i].data(), static_cast<int32_t>(lines[i].size()), 4, 8,
                      static_cast<int32_t>(i + 1));
  const std::string& last = lines.back();
  int32_t col = AIndent_GetIndentColumn(st, last.data(), static_cast<int32_t>(last.size()), 4, 8,
                                        static_cast<int32_t>(lines.size()));
  AIndent_Delete(st);
  return col;
}

class AIndentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EditSettingsToDefaults();
    aIndent_parenIndentMode = aIndent_c_parenIndentMode;
    aIndent_indentForContinuation = 2;
  }
  void TearDown() override { EditSettingsToDefaults(); }
};

TEST_F(AIndentTest, ParenModesPlaceArgumentLines) {
  aIndent_parenIndentMode = kParenEvenWithParen;
  EXPECT_EQ(reindent("x = foo(a,\nb,\nc);\n"), "x = foo(a,\n        b,\n        c);\n");
  // A "(" that ends its line: the lines go just after it.
  EXPECT_EQ(reindent("call(\narg);\n"), "call(\n     arg);\n");
  aIndent_parenIndentMode = kParenIndentInTwo;
  EXPECT_EQ(reindent("  x = foo(a,\nb);\n"), "x = foo(a,\n        b);\n");
  // A closing parenthesis starting a line stays with the lines inside.
  aIndent_parenIndentMode = kParenEvenWithParen;
  EXPECT_EQ(reindent("f(a,\n)\n"), "f(a,\n  )\n");
}

TEST_F(AIndentTest, LinesFollowTheIndentationAbove) {
  // Lines not re-indented set the level for those below them.
  EXPECT_EQ(column_of_last("void f()\n{\n  a();\n  b();\n"), 2);
  EXPECT_EQ(column_of_last("void f()\n{\n  if (x) {\n        y();\nz();\n"), 8);
  // A blank line adopts nothing.
  EXPECT_EQ(column_of_last("void f()\n{\n\nx;\n"), 4);
}

TEST_F(AIndentTest, StatementsStartingInColumnZeroKeepTheirContinuations) {
  EXPECT_EQ(reindent("static int\nmain(void)\n{\nreturn 0;\n}\n"),
            "static int\nmain(void)\n{\n    return 0;\n}\n");
  EXPECT_EQ(reindent("int a,\nb;\n"), "int a,\n    b;\n");
}

TEST_F(AIndentTest, ConditionalsKeepTheStackAcrossBranches) {
  // An "ifdef" block without "else" counts as absent.
  EXPECT_EQ(reindent("#ifdef A\nvoid f() {\n#endif\nint x;\n"),
            "#ifdef A\nvoid f() {\n#endif\nint x;\n");
  // "if 1 ... else": the first branch is kept.
  EXPECT_EQ(reindent("#if A\nvoid f() {\n#else\nvoid g() {\n#endif\nint x;\n}\n"),
            "#if A\nvoid f() {\n#else\nvoid g() {\n#endif\n    int x;\n}\n");
  // Stray directives are ignored.
  EXPECT_EQ(reindent("#endif\n#else\nint x;\n"), "#endif\n#else\nint x;\n");
  // An "if" directive continued over a backslash keeps the line as it is.
  EXPECT_EQ(reindent("#if A && \\\n   B\nint x;\n"), "#if A && \\\n   B\nint x;\n");
}

TEST_F(AIndentTest, CommentSettings) {
  aIndent_touchComments = true;
  aIndent_commentsStayFlushLeft = false;
  EXPECT_EQ(reindent("void f()\n{\n// c\n/* d\ne */\nx;\n}\n"),
            "void f()\n{\n    // c\n    /* d\n       e */\n    x;\n}\n");
  aIndent_commentsStayFlushLeft = true;
  EXPECT_EQ(reindent("void f()\n{\n// c\n x;\n}\n"), "void f()\n{\n// c\n    x;\n}\n");
  // Without touching comments their lines stay where they are.
  aIndent_touchComments = false;
  EXPECT_EQ(reindent("void f()\n{\n   /* a\n  * b */\n}\n"), "void f()\n{\n   /* a\n  * b */\n}\n");
  // Characters like a star continue a comment as "*" does.
  aIndent_touchComments = true;
  aIndent_charsLikeStarInsideComment = "-";
  EXPECT_EQ(reindent("/*\n- a\n*/\n"), "/*\n - a\n */\n");
  aIndent_charsLikeStarInsideComment = "";
  EXPECT_EQ(reindent("/*\n- a\n*/\n"), "/*\n   - a\n   */\n");
}

TEST_F(AIndentTest, TabsCountToTheNextStop) {
  // The "(" of the first line stands at column 12 after a tab and blanks.
  aIndent_parenIndentMode = kParenEvenWithParen;
  EXPECT_EQ(column_of_last("\t   f(a,\nb);\n"), 13);
  aIndent_parenIndentMode = kParenIndentInTwo;
  EXPECT_EQ(column_of_last("\t   f(a,\nb);\n"), 19);
}

TEST_F(AIndentTest, IndentSizeAndSwitchSetting) {
  EXPECT_EQ(reindent("void f()\n{\nswitch (x) {\ncase 1:\ny();\n}\n}\n", AI_LangC, 2),
            "void f()\n{\n  switch (x) {\n    case 1:\n      y();\n  }\n}\n");
  aIndent_switchInTwo = false;
  EXPECT_EQ(reindent("void f()\n{\nswitch (x) {\ncase 1:\ny();\n}\n}\n", AI_LangC, 2),
            "void f()\n{\n  switch (x) {\n  case 1:\n    y();\n  }\n}\n");
}

TEST_F(AIndentTest, ReallyBeginning) {
  auto really = [](const char* s, AI_Lang lang = AI_LangC) {
    return AIndent_ReallyBeginning(lang, 0, s, static_cast<int32_t>(std::string(s).size()));
  };
  for (const char* s : {"int main(void)", "struct point {"}) EXPECT_TRUE(really(s)) << s;
  for (const char* s : {"  int x;", "if (x)", "}", "#include <x>", ""})
    EXPECT_FALSE(really(s)) << s;
  for (const char* s : {"procedure P is", "package body P is"})
    EXPECT_TRUE(really(s, AI_LangAda)) << s;
  for (const char* s : {"end P;", "begin"}) EXPECT_FALSE(really(s, AI_LangAda)) << s;
}

TEST_F(AIndentTest, CloneIsIndependent) {
  AutoIndentLine_Tag* a = AIndent_New(AI_LangC, 0);
  const std::string open = "void f() {";
  AIndent_ParseLine(a, open.data(), static_cast<int32_t>(open.size()), 4, 8, 1);
  AutoIndentLine_Tag* b = AIndent_Clone(a);
  const std::string close = "}";
  AIndent_ParseLine(b, close.data(), 1, 4, 8, 2);
  const std::string x = "x;";
  EXPECT_EQ(AIndent_GetIndentColumn(a, x.data(), 2, 4, 8, 2), 4);
  EXPECT_EQ(AIndent_GetIndentColumn(b, x.data(), 2, 4, 8, 3), 0);
  AIndent_Delete(a);
  AIndent_Delete(b);
}

TEST_F(AIndentTest, PreprocessorLeader) {
  // With "%" as the leader, "#" is an ordinary character.
  AutoIndentLine_Tag* st = AIndent_New(AI_LangC, '%');
  const std::string lines[] = {"void f()", "{", "%if A"};
  int32_t n = 0;
  for (const std::string& l : lines)
    AIndent_ParseLine(st, l.data(), static_cast<int32_t>(l.size()), 4, 8, ++n);
  const std::string pct = "    %endif";
  AutoIndentLine_Tag* probe = AIndent_Clone(st);
  EXPECT_EQ(AIndent_GetIndentColumn(probe, pct.data(), 10, 4, 8, 4), 0);
  AIndent_Delete(probe);
  AIndent_AdjustPreprocesorLeader(st, 0);
  const std::string hash = "#x";
  EXPECT_EQ(AIndent_GetIndentColumn(st, hash.data(), 2, 4, 8, 4), 0);
  AIndent_Delete(st);
}

TEST_F(AIndentTest, BadInputNeverUpsetsIt) {
  // Stray closers, unterminated comments and strings, deep nesting.
  const std::string texts[] = {
      "}\n}\n)\n]\nint x;\n",
      "void f() {\n{\n{\n",
      "/* never closed\nint x;\n",
      "char *s = \"never closed\nint y;\n",
      std::string(100000, '(') + "\nx;\n" + std::string(100000, ')') + "\n",
      std::string(50000, '{') + "\n",
      "#if\n#else\n#elif\n#endif\n#endif\n" + std::string(200, '#') + "if 0\n",
      "template <<<<\n>>>> x;\n",
      "a ? b : c : d :: e ? :\n",
      "class : : { public: : } ;\n",
      "\\\n\"\\\n'\n",
  };
  for (const std::string& t : texts) {
    const std::string out = reindent(t);
    EXPECT_EQ(split(out).size(), split(t).size());
  }
  for (int depth : {10, 300}) {
    std::string ifs;
    for (int i = 0; i < depth; ++i) ifs += "#if X\n{\n";
    EXPECT_FALSE(reindent(ifs).empty());
  }
}

TEST_F(AIndentTest, AdaConstructs) {
  aIndent_parenIndentMode = aIndent_ada_parenIndentMode;
  const std::string in =
      "generic\ntype T is private;\npackage Stacks is\nprocedure Push (X : T);\n"
      "private\ntype Node;\nend Stacks;\n"
      "separate (Parent)\nprocedure Sub is\nbegin\nloop\nexit when Done;\nend loop;\n"
      "select\naccept Go do\nnull;\nend Go;\nor\ndelay 1.0;\nend select;\n"
      "end Sub;\n"
      "function F return Integer is (1);\nprocedure P is null;\n"
      "package I is new G (X => 1,\nY => 2);\n";
  const std::string want =
      "generic\n   type T is private;\npackage Stacks is\n   procedure Push (X : T);\n"
      "private\n   type Node;\nend Stacks;\n"
      "separate (Parent)\nprocedure Sub is\nbegin\n   loop\n      exit when Done;\n   end loop;\n"
      "   select\n      accept Go do\n         null;\n      end Go;\n   or\n      delay 1.0;\n"
      "   end select;\nend Sub;\n"
      "function F return Integer is (1);\nprocedure P is null;\n"
      "package I is new G (X => 1,\n                    Y => 2);\n";
  EXPECT_EQ(reindent(in, AI_LangAda, 3), want);
}

TEST_F(AIndentTest, AdaContinuationsAndHeaders) {
  const std::string in =
      "procedure P\n(X : Integer)\nis\nY : Integer :=\nX + 1;\nbegin\nif X > 0\nand then Y > 0\n"
      "then\nnull;\nend if;\nend P;\n";
  const std::string want =
      "procedure P\n  (X : Integer)\nis\n   Y : Integer :=\n     X + 1;\nbegin\n   if X > 0\n"
      "     and then Y > 0\n   then\n      null;\n   end if;\nend P;\n";
  EXPECT_EQ(reindent(in, AI_LangAda, 3), want);
}

}  // namespace
