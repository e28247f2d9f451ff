// The tag dictionary, lookups and the tag commands on real files and views.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "edit_fixture.h"
#include "windlib/edit/edittags.h"
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"

namespace oetest {
namespace {

std::string printed;

class TagTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    TagReset();
    TagSetFileName(files.path() + "/tags");
    printed.clear();
    mprintf_hook = [](const char* text) { printed += text; };
  }
  void TearDown() override {
    mprintf_hook = nullptr;
    TagReset();
    EditTest::TearDown();
  }
  // A view on a file holding `text`, with `first`..`last` of line 1 selected.
  Edit* ViewSelecting(const std::string& text, int32_t first, int32_t last) {
    Edit* e = View("view.c", text);
    EditSetSelection(e, 1, first, 1, last);
    return e;
  }
};

TEST_F(TagTest, CtagsPatternLineFindsTheDefinitionBesideTheTagFile) {
  mkdir((files.path() + "/src").c_str(), 0755);
  files.write("src/main.c", "#include <stdio.h>\n\nint main(void)\n{\n  return 0;\n}\n");
  std::string path = files.write(
      "tags",
      "!_TAG_FILE_SORTED\t1\t/0=unsorted/\nmain\tsrc/main.c\t/^int main(void)$/;\"\tf\tline:3\n");
  ASSERT_EQ(TagAppendDictionary(path.c_str()), 1);
  const tag* t = TagDefault("main");
  ASSERT_NE(t, nullptr);
  EXPECT_STREQ(t->pattern, "int main(void)");
  EXPECT_EQ(t->direction, 1);
  EXPECT_FALSE(t->isLineTag);
  EXPECT_EQ(std::string(t->dir), files.path() + "/");
  int32_t line = 0;
  File* f = TagFind("main", &line);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::string(f->name), files.path() + "/src/main.c");
  EXPECT_EQ(line, -3);  // a current line number, not to be mapped
}

TEST_F(TagTest, BackwardPatternFindsTheLastOccurrenceAndAMissingOneTheStartLine) {
  files.write("a.c", "int x\nint y\nint x\nlast\n");
  files.write("tags", "x\ta.c\t?^int x$?\ngone\ta.c\t/^no such text$/\nback\ta.c\t?nothing?\n");
  int32_t line = 0;
  ASSERT_NE(TagFind("x", &line), nullptr);
  EXPECT_EQ(line, -3);
  ASSERT_NE(TagFind("gone", &line), nullptr);
  EXPECT_EQ(line, -1);
  ASSERT_NE(TagFind("back", &line), nullptr);
  EXPECT_EQ(line, -4);
}

TEST_F(TagTest, LineTagFollowsLinesInsertedSinceTheTagsWereMade) {
  File* bar = Open("bar.c", Numbered(50));
  files.write("tags", "foo\tbar.c\t42\n");
  FileChange(bar, nullptr, 0, 1, 0, 1, 0, "a\nb\nc\n", 6, false);
  Edit* e = ViewSelecting("call foo here\n", 5, 8);
  EditCli(e, "OpenTag");
  ASSERT_EQ(e->file, bar);
  EXPECT_EQ(e->caretLine, 45);
  EXPECT_EQ(LineText(bar, e->caretLine), "line 42");
}

TEST_F(TagTest, RegeneratedTagsCountFromTheSavedText) {
  File* bar = Open("bar.c", Numbered(50));
  files.write("tags", "foo\tbar.c\t42\n");
  ASSERT_NE(TagDefault("foo"), nullptr);
  FileChange(bar, nullptr, 0, 1, 0, 1, 0, "a\nb\nc\n", 6, false);
  ASSERT_EQ(FileSave(bar, bar->name, nullptr), 1);
  FileChange(bar, nullptr, 0, 1, 0, 1, 0, "d\n", 2, false);
  // The tags made again from the saved file: line 42 is now line 45.
  files.write("tags", "foo\tbar.c\t45\n");
  FilesTagsRegenerated();
  Edit* e = ViewSelecting("foo\n", 0, 3);
  EditCli(e, "OpenTag");
  ASSERT_EQ(e->file, bar);
  EXPECT_EQ(LineText(bar, e->caretLine), "line 42");
  EXPECT_EQ(e->caretLine, 46);
}

TEST_F(TagTest, FirstBadLineStopsReadingAndKeepsTheLinesBefore) {
  // An empty line, a missing address, a word where a number belongs, a
  // number where the file belongs: each one stops the reading.
  struct Case {
    const char* text;
    int kept;
  } cases[] = {{"name\tfile.c\n", 0},
               {"name\tfile.c\tabc\n", 0},
               {"name\t42\tfile.c\n", 0},
               {"name\n", 0},
               {"one\ta.c\t1\ntwo\ta.c\t2\n\nthree\ta.c\t3\n", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TagReset();
    EXPECT_EQ(TagAppendDictionary(files.write("bad", c.text).c_str()), -1);
    EXPECT_EQ(TagCount(), c.kept);
  }
  // The last case's lines before the empty one.
  EXPECT_NE(TagDefault("one"), nullptr);
  EXPECT_NE(TagDefault("two"), nullptr);
  EXPECT_EQ(TagDefault("three"), nullptr);
}

TEST_F(TagTest, SecondTagFileOverridesANameAndSortsNewNames) {
  mkdir((files.path() + "/sub").c_str(), 0755);
  std::string first = files.write("tags", "foo\ta.c\t1\nbar\ta.c\t2\n");
  std::string second = files.write("sub/tags2", "foo\tb.c\t/^text$/\nAbc\tb.c\t3\n");
  ASSERT_EQ(TagAppendDictionary(first.c_str()), 1);
  ASSERT_EQ(TagAppendDictionary(second.c_str()), 1);
  EXPECT_EQ(TagCount(), 3);
  const tag* t = TagDefault("foo");
  ASSERT_NE(t, nullptr);
  EXPECT_STREQ(t->file, "b.c");
  EXPECT_STREQ(t->pattern, "text");
  EXPECT_FALSE(t->isLineTag);
  EXPECT_EQ(std::string(t->dir), files.path() + "/sub/");
  ASSERT_NE(TagDefault("bar"), nullptr);
  EXPECT_STREQ(TagDefault("bar")->dir, (files.path() + "/").c_str());
  EXPECT_NE(TagDefault("Abc"), nullptr);
  EXPECT_EQ(TagDefault("abc"), nullptr);  // byte comparison: case counts
}

TEST_F(TagTest, EveryNameIsFoundWhateverTheOrderOfTheFile) {
  std::string text;
  std::vector<std::string> names = {"zeta",   "Alpha", "_under", "alpha", "beta2",
                                    "beta10", "~x",    "a",      "ab",    "B"};
  for (int i = 0; i < 450; ++i) names.push_back("n" + std::to_string(i * 7919 % 1000));
  for (const std::string& n : names) text += n + "\tf.c\t1\n";
  std::string path = files.write("tags", text);
  ASSERT_EQ(TagAppendDictionary(path.c_str()), 1);
  for (const std::string& n : names) EXPECT_NE(TagDefault(n.c_str()), nullptr) << n;
  EXPECT_EQ(TagDefault("n"), nullptr);
  EXPECT_EQ(TagDefault(""), nullptr);
}

TEST_F(TagTest, NamesBeginningWithSlashAreNeverLookedUp) {
  files.write("a.c", "x\n");
  files.write("tags", "/abs\ta.c\t1\n");
  int32_t line = 0;
  EXPECT_EQ(TagFind("/abs", &line), nullptr);
  EXPECT_NE(TagDefault("/abs"), nullptr);
}

TEST_F(TagTest, MissingDefaultFileIsLookedForAgainAtEachLookup) {
  EXPECT_EQ(TagAppendDictionary(files.file("nothing-here").c_str()), 0);
  EXPECT_EQ(TagDefault("foo"), nullptr);
  EXPECT_EQ(TagCount(), -1);
  EXPECT_FALSE(TagAvailable());
  files.write("tags", "foo\ta.c\t1\n");
  EXPECT_NE(TagDefault("foo"), nullptr);
  EXPECT_TRUE(TagAvailable());
  EXPECT_TRUE(printed.empty()) << printed;
}

TEST_F(TagTest, ResetForgetsAppendedFilesAndReloadsTheDefault) {
  files.write("tags", "foo\ta.c\t1\n");
  std::string more = files.write("more", "bar\ta.c\t2\n");
  ASSERT_NE(TagDefault("foo"), nullptr);
  ASSERT_EQ(TagAppendDictionary(more.c_str()), 1);
  Edit* e = ViewSelecting("x\n", 0, 1);
  answers = {1};  // No
  EditCli(e, "ResetTags");
  EXPECT_EQ(TagCount(), 2);
  EditCli(e, "ResetTags");
  EXPECT_EQ(TagCount(), -1);
  EXPECT_NE(TagDefault("foo"), nullptr);
  EXPECT_EQ(TagDefault("bar"), nullptr);
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_NE(questions[0].find("Throw away all tag information?"), std::string::npos);
}

TEST_F(TagTest, ReinitRereadsTheDefaultFileOnlyWhenLoaded) {
  TagReinit();
  EXPECT_EQ(TagCount(), -1);
  files.write("tags", "foo\ta.c\t1\n");
  ASSERT_NE(TagDefault("foo"), nullptr);
  files.write("tags", "bar\ta.c\t1\n");
  TagReinit();
  EXPECT_EQ(TagDefault("foo"), nullptr);
  EXPECT_NE(TagDefault("bar"), nullptr);
}

TEST_F(TagTest, FirstFileReadBecomesTheDefault) {
  mkdir((files.path() + "/elsewhere").c_str(), 0755);
  std::string other = files.write("elsewhere/tags", "foo\ta.c\t1\n");
  ASSERT_EQ(TagAppendDictionary(other.c_str()), 1);
  EXPECT_EQ(TagGetFileName(), other);
}

TEST_F(TagTest, OpenTagIgnoresTwoLineAndLongSelections) {
  File* target = Open("t.c", "target\n");
  std::string long_name(400, 'q'), longest(399, 'q');
  files.write("tags", "foo\tt.c\t1\n" + long_name + "\tt.c\t1\n" + longest + "\tt.c\t1\n");
  Edit* e = ViewSelecting("foo\nfoo\n" + long_name + "\n", 0, 0);
  File* view_file = e->file;
  EditSetSelection(e, 1, 0, 2, 3);
  EditCli(e, "OpenTag");
  EXPECT_EQ(e->file, view_file);
  EditSetSelection(e, 3, 0, 3, 400);
  EditCli(e, "OpenTag");
  EXPECT_EQ(e->file, view_file);
  EXPECT_EQ(e->message, "");
  EditSetSelection(e, 3, 0, 3, 399);
  EditCli(e, "OpenTag");
  EXPECT_EQ(e->file, target);
}

TEST_F(TagTest, OpenTagOnADelimiterSelectsItsMatch) {
  files.write("tags", "foo\ta.c\t1\n");
  Edit* e = ViewSelecting("zzz f(a, b)\n", 5, 6);
  EditCli(e, "OpenTag");
  TextRange r = EditSelectionRange(e).normalized();
  EXPECT_EQ(r.begin.col, 10);
  EXPECT_EQ(r.end.col, 11);
}

TEST_F(TagTest, TagOfAMissingFileIsReportedAndTheViewStays) {
  files.write("tags", "foo\tmissing.c\t1\ndir\tsub\t1\n");
  mkdir((files.path() + "/sub").c_str(), 0755);
  Edit* e = ViewSelecting("foo\n", 0, 3);
  File* view_file = e->file;
  EditCli(e, "OpenTag");
  EXPECT_EQ(e->file, view_file);
  EXPECT_NE(printed.find("Cannot open file missing.c for tag foo"), std::string::npos) << printed;
  int32_t line = 0;
  EXPECT_EQ(TagFind("dir", &line), nullptr);
  EXPECT_NE(printed.find("Cannot open file sub for tag dir"), std::string::npos) << printed;
  EXPECT_EQ(Text(e), "foo\n");
}

TEST_F(TagTest, BadTagFilesNeverCrash) {
  // A directory, a 100,000-character line, binary bytes, an unterminated pattern.
  mkdir((files.path() + "/adir").c_str(), 0755);
  EXPECT_EQ(TagAppendDictionary((files.path() + "/adir").c_str()), 0);
  std::string huge = "long\ta.c\t/^" + std::string(100000, 'x') + "$/\n";
  EXPECT_EQ(TagAppendDictionary(files.write("huge", huge).c_str()), -1);
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) & 0xff);
  EXPECT_NE(TagAppendDictionary(files.write("garbage", garbage).c_str()), 0);
  TagReset();
  files.write("a.c", "one\nint open(\nthree\n");
  std::string open = files.write("open", "open\ta.c\t/^int open(\n");
  ASSERT_EQ(TagAppendDictionary(open.c_str()), 1);
  ASSERT_NE(TagDefault("open"), nullptr);
  EXPECT_STREQ(TagDefault("open")->pattern, "int open(");
  int32_t line = 0;
  ASSERT_NE(TagFind("open", &line), nullptr);
  EXPECT_EQ(line, -2);
}

TEST_F(TagTest, PatternEndsAtTheDelimiterEvenAfterABackslash) {
  std::string path = files.write("tags", "f\ta.c\t/^a \\/ b$/\ne\ta.c\t/^$/\n");
  ASSERT_EQ(TagAppendDictionary(path.c_str()), 1);
  EXPECT_STREQ(TagDefault("f")->pattern, "a \\");
  EXPECT_EQ(TagDefault("e")->pattern, nullptr);
}

TEST_F(TagTest, NewTagOpensAWindowAndReadOnlyViewsRing) {
  File* target = Open("t.c", "a\nb\nc\n");
  files.write("tags", "foo\tt.c\t3\n");
  Edit* e = ViewSelecting("foo\n", 0, 3);
  size_t windows = EditWindows().size();
  EditCli(e, "NewTag");
  ASSERT_EQ(EditWindows().size(), windows + 1);
  Edit* opened = EditWindows().back()->edit();
  EXPECT_EQ(opened->file, target);
  EXPECT_EQ(opened->caretLine, 3);
  EXPECT_EQ(e->file->name, files.path() + "/view.c");

  e->readOnlyView = true;
  EditCli(e, "NewTag");
  EXPECT_EQ(EditWindows().size(), windows + 1);
}

TEST_F(TagTest, JumpToObjectAndDeclaration) {
  File* target = Open("t.c", "a\nvoid foo(void)\n");
  files.write("tags", "foo\tt.c\t/^void foo(void)$/\n");
  Edit* e = ViewSelecting("foo\n", 0, 0);
  EXPECT_EQ(Edit_JumpToObject(e, "", false), 0);
  EXPECT_EQ(e->message, "No word found around cursor");
  EXPECT_EQ(Edit_JumpToObject(e, "nothing", true), 0);
  EXPECT_EQ(e->message, "Cannot find definition for \"nothing\"");
  EXPECT_EQ(Edit_GotoDeclaration(e, "nothing"), 0);
  ASSERT_FALSE(questions.empty());
  EXPECT_NE(questions.back().find("No declaration is found for object \"nothing\"."),
            std::string::npos);
  EXPECT_EQ(Edit_GotoDeclaration(e, nullptr), 0);
  EXPECT_NE(questions.back().find("\"<NULL>\""), std::string::npos);
  EXPECT_EQ(Edit_JumpToObject(e, "foo", false), 1);
  EXPECT_EQ(e->file, target);
  EXPECT_EQ(e->caretLine, 2);
}

TEST_F(TagTest, ChooserAsksForATagFile) {
  std::string more = files.write("more", "bar\ta.c\t2\n");
  WSetScriptedResponder([&](const WAskRequest& r) {
    questions.push_back(r.title + "|" + r.directory + "|" + r.defaultText + "|" +
                        (r.buttons.empty() ? "" : r.buttons[0]));
    return WAskReply{0, more};
  });
  Edit* e = ViewSelecting("x\n", 0, 1);
  EditCli(e, "AppendTagFile");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Choose Tag File|" + files.path() + "/|tags|Load");
  EXPECT_NE(TagDefault("bar"), nullptr);
}

// Whether a line before `line` of `path` holds `text`.
bool earlier_copy(const std::string& path, int line, const std::string& text) {
  std::ifstream in(path);
  std::string l;
  for (int n = 1; n < line && std::getline(in, l); ++n)
    if (l.find(text) != std::string::npos) return true;
  return false;
}

// Universal ctags over this repository's sources: every function whose name
// is defined once is found at the line ctags reports.
TEST_F(TagTest, FunctionsLandWhereCtagsSaysTheyAre) {
  if (system("ctags --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ctags is not installed";
  std::string tags = temps.path() + "/ctags";
  std::string cmd =
      "ctags -R --languages=C,C++ --fields=+nK -f " + tags + ".all " OE_SOURCE_DIR "/src";
  ASSERT_EQ(system(cmd.c_str()), 0);
  // Names holding blanks ("operator +") cannot be written in the format.
  std::ifstream all(tags + ".all");
  std::ofstream kept(tags);
  for (std::string l; std::getline(all, l);)
    if (l.substr(0, l.find('\t')).find(' ') == std::string::npos) kept << l << "\n";
  kept.close();
  std::ifstream in(tags);
  std::map<std::string, int> seen;
  std::map<std::string, std::pair<std::string, int>> functions;  // name: file, line
  std::map<std::string, std::string> patterns;
  for (std::string l; std::getline(in, l);) {
    if (l.empty() || l[0] == '!') continue;
    std::string name = l.substr(0, l.find('\t'));
    ++seen[name];
    size_t fields = l.find(";\"\t");
    if (fields == std::string::npos) continue;
    std::string address = l.substr(0, fields);
    // Patterns ctags had to escape are taken literally by the reader.
    if (address.find('\\') != std::string::npos) continue;
    std::string rest = l.substr(fields);
    size_t at = rest.find("\tline:");
    if (rest.find("\tfunction") == std::string::npos || at == std::string::npos) continue;
    std::string file = l.substr(name.size() + 1);
    file = file.substr(0, file.find('\t'));
    functions[name] = {file, atoi(rest.c_str() + at + 6)};
    std::string pattern = address.substr(address.find_last_of('\t') + 1);
    if (pattern.size() > 2 && pattern[0] == '/') {
      pattern = pattern.substr(pattern[1] == '^' ? 2 : 1, std::string::npos);
      pattern.pop_back();
      if (!pattern.empty() && pattern.back() == '$') pattern.pop_back();
    }
    patterns[name] = pattern;
  }
  TagReset();
  ASSERT_EQ(TagAppendDictionary(tags.c_str()), 1);
  int checked = 0;
  for (const auto& [name, where] : functions) {
    // Lambdas get made-up names; the same text may define several of them.
    if (seen[name] != 1 || name.rfind("__anon", 0) == 0) continue;
    // A pattern whose text also stands on an earlier line (a forward
    // declaration ctags cut short) is found there by any reader.
    if (earlier_copy(where.first, where.second, patterns[name])) continue;
    int32_t line = 0;
    File* f = TagFind(name.c_str(), &line);
    ASSERT_NE(f, nullptr) << name;
    EXPECT_EQ(std::string(f->name), where.first) << name;
    EXPECT_EQ(-line, where.second) << name << " in " << where.first;
    ++checked;
  }
  EXPECT_GE(checked, 200);
  RecordProperty("checked", checked);
}

}  // namespace
}  // namespace oetest
