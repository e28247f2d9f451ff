#include "windlib/file/undo.h"

#include <random>
#include <string>
#include <vector>

#include "file_fixture.h"
#include "windlib/file/fileobserver.h"

namespace {

using oetest::FileTest;
using Strings = std::vector<std::string>;

struct Selection {
  int32_t l1 = 0, c1 = 0, l2 = 0, c2 = 0;
  bool set = false;
  bool operator==(const Selection&) const = default;
};
Selection last_selection;

// Stands in for the file's message view: remembers the selection that undo
// and redo restore in it.
struct SelectionWatcher : FileObserver {
  void FileUndoSelection(File* f, const TextRange& r, bool) override {
    if (f->msgEdit) last_selection = {r.begin.line, r.begin.col, r.end.line, r.end.col, true};
  }
};

class UndoTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    last_selection = {};
    FilesAddObserver(&watcher);
  }
  void TearDown() override {
    FilesRemoveObserver(&watcher);
    FileTest::TearDown();
  }
  SelectionWatcher watcher;
  // Types one character at a time, as the keyboard does.
  static void Type(File* f, int32_t line, int32_t col, const std::string& s) {
    for (char ch : s) {
      FileChange(f, nullptr, 0, line, col, line, col, &ch, 1, true);
      if (ch == '\n') {
        ++line;
        col = 0;
      } else {
        ++col;
      }
    }
  }
  static int Records(Undo* u) {
    int n = 0;
    for (; u; u = u->next) ++n;
    return n;
  }
  Edit* window() { return reinterpret_cast<Edit*>(&window_stand_in); }
  int window_stand_in = 0;
};

TEST_F(UndoTest, TypingIsOneRecordAndOneUndo) {
  File* f = Load("t", "xy\n");
  f->msgEdit = window();
  Type(f, 1, 1, "abc");
  EXPECT_EQ(Lines(f), Strings{"xabcy"});
  EXPECT_EQ(Records(f->undo), 1);
  EXPECT_EQ(FileUndo(f, nullptr, 0), 1);
  EXPECT_EQ(Lines(f), Strings{"xy"});
  EXPECT_TRUE(last_selection.set);
  EXPECT_EQ(last_selection.l1, last_selection.l2);
  EXPECT_EQ(last_selection.c1, last_selection.c2) << "the restored text is empty";
  EXPECT_FALSE(f->modified) << "never saved: back to the loaded text";
}

TEST_F(UndoTest, MotionBetweenKeysSplitsRecords) {
  File* f = Load("t", "\n");
  Type(f, 1, 0, "ab");
  FileCloseUndo(f);  // the caret moved away and back
  Type(f, 1, 2, "c");
  EXPECT_EQ(Records(f->undo), 2);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), Strings{"ab"});
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), Strings{""});
}

TEST_F(UndoTest, BackspaceOverFreshTypingShrinksTheRecord) {
  File* f = Load("t", "q\n");
  Type(f, 1, 1, "abc");
  FileChange(f, nullptr, 0, 1, 3, 1, 4, "", 0, true);  // backspace over "c"
  EXPECT_EQ(Records(f->undo), 1);
  EXPECT_EQ(f->undo->endCol, 3);
  // Backspacing past the record's start makes a new record.
  FileChange(f, nullptr, 0, 1, 0, 1, 1, "", 0, true);
  EXPECT_EQ(Records(f->undo), 2);
  FileUndo(f, nullptr, 0);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), Strings{"q"});
}

TEST_F(UndoTest, DeletingAWholeLineRestoresItWithItsNewlineAndSelectsIt) {
  File* f = Load("t", "one\ntwo\nthree\n");
  f->msgEdit = window();
  FileChange(f, nullptr, 0, 2, 0, 2, 99, "", 0, false);
  EXPECT_EQ(Lines(f), (Strings{"one", "three"}));
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), (Strings{"one", "two", "three"}));
  EXPECT_EQ(last_selection, (Selection{2, 0, 3, 0, true}));
}

TEST_F(UndoTest, SavedMarkDecidesModified) {
  File* f = Load("t", "a\n");
  Type(f, 1, 1, "b");
  UndoMarkSaved(f);  // what a save does
  f->modified = 0;
  EXPECT_TRUE(f->savedOnce);
  FileUndo(f, nullptr, 0);
  EXPECT_TRUE(f->modified);
  FileRedo(f, nullptr, 0);
  EXPECT_FALSE(f->modified);
  EXPECT_EQ(Lines(f), Strings{"ab"});
  // A second change and undo come back to the saved state.
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "z", 1, false);
  EXPECT_TRUE(f->modified);
  FileUndo(f, nullptr, 0);
  EXPECT_FALSE(f->modified);
}

TEST_F(UndoTest, EmptyListsReturnMinus100AndChangeNothing) {
  File* f = Load("t", "a\n");
  EXPECT_EQ(FileUndo(f, nullptr, 0), -100);
  EXPECT_EQ(FileRedo(f, nullptr, 0), -100);
  EXPECT_EQ(Lines(f), Strings{"a"});
  EXPECT_FALSE(f->modified);
}

TEST_F(UndoTest, ANewChangeEmptiesTheRedoList) {
  File* f = Load("t", "a\n");
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "x", 1, false);
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "y", 1, false);
  FileUndo(f, nullptr, 0);
  ASSERT_NE(f->redo, nullptr);
  // Folding into an open record leaves the redo list alone...
  FileChange(f, nullptr, 0, 1, 1, 1, 1, "z", 1, true);
  // ...a change that starts a record empties it.
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "w", 1, false);
  EXPECT_EQ(f->redo, nullptr);
}

TEST_F(UndoTest, CrLfInInsertedTextIsOneLineEnd) {
  File* f = Load("t", "ab\n");
  FileChange(f, nullptr, 0, 1, 1, 1, 1, "1\r\n2\r\n3", 7, false);
  EXPECT_EQ(Lines(f), (Strings{"a1", "2", "3b"}));
  EXPECT_EQ(f->undo->endLine, 3);
  EXPECT_EQ(f->undo->endCol, 1);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), Strings{"ab"});
}

TEST_F(UndoTest, AppendingWithoutFinalNewlineUndoesCleanly) {
  File* f = Load("t", "a\n");
  FileChange(f, nullptr, 0, 2, 0, 2, 0, "b", 1, false);
  EXPECT_EQ(Lines(f), (Strings{"a", "b"}));
  EXPECT_TRUE(f->undo->flags & undoNoFinalNewline);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), Strings{"a"});
  FileRedo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), (Strings{"a", "b"}));
  // Deleting everything leaves no line at all.
  FileChange(f, nullptr, 0, 1, 0, 3, 0, "", 0, false);
  EXPECT_EQ(f->nLines, 0);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), (Strings{"a", "b"}));
}

TEST_F(UndoTest, CommandGroupsUndoAsOneStepAndRestoreTheSelection) {
  File* f = Load("t", "one\ntwo\n");
  f->msgEdit = window();
  int32_t sel[4] = {1, 0, 2, 3};
  UndoGroupBegin(f, sel);
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "A", 1, false);
  FileChange(f, nullptr, 0, 2, 0, 2, 0, "B", 1, false);
  FileChange(f, nullptr, 0, 3, 0, 3, 0, "C\n", 2, false);
  UndoGroupEnd(f);
  EXPECT_EQ(Records(f->undo), 1);
  EXPECT_TRUE(UndoIsGroup(f->undo));
  EXPECT_EQ(f->undo->endCol, 3);
  EXPECT_EQ(Lines(f), (Strings{"Aone", "Btwo", "C"}));
  EXPECT_EQ(FileUndo(f, nullptr, 0), 1);
  EXPECT_EQ(Lines(f), (Strings{"one", "two"}));
  FileRedo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), (Strings{"Aone", "Btwo", "C"}));
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), (Strings{"one", "two"}));
  // A command that changed nothing leaves no group behind.
  UndoGroupBegin(f, sel);
  UndoGroupEnd(f);
  EXPECT_EQ(f->undo, nullptr);
}

TEST_F(UndoTest, IndentationRecordsUndoTheShift) {
  File* f = Load("t", "a\n  b\nc\n");
  FilexIndent(f, nullptr, 0, 1, 2, 8, 0);
  EXPECT_EQ(Lines(f), (Strings{"\ta", "\t  b", "c"}));
  EXPECT_TRUE(UndoIsIndent(f->undo));
  EXPECT_EQ(f->undo->savedLen, -8);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), (Strings{"a", "  b", "c"}));
  FileRedo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), (Strings{"\ta", "\t  b", "c"}));
  vfTabsAreSpaces = true;
  FilexIndent(f, nullptr, 0, 3, 3, 3, 0);
  EXPECT_EQ(Lines(f)[2], "   c");
  FilexIndent(f, nullptr, 0, 2, 2, -40, 0);
  EXPECT_EQ(Lines(f)[1], "b") << "never below column 0";
}

TEST_F(UndoTest, LineNumbersOfTheSavedFileFollowTheChanges) {
  File* f = Load("t", "1\n2\n3\n4\n5\n6\n7\n8\n");
  UndoMarkSaved(f);  // an empty undo list: nothing carries the mark yet
  FileChange(f, nullptr, 0, 2, 0, 2, 0, "new\nnew\n", 8, false);  // two lines above 5
  FileChange(f, nullptr, 0, 8, 0, 9, 0, "", 0, false);            // deletes disk line 6
  EXPECT_EQ(Lines(f)[FileLinenoFDiskLineno(f, 5) - 1], "5");
  EXPECT_EQ(Lines(f)[FileLinenoFDiskLineno(f, 8) - 1], "8");
  EXPECT_EQ(FileLinenoFDiskLineno(f, 1), 1);
  UndoMarkSaved(f);
  EXPECT_EQ(FileLinenoFDiskLineno(f, 5), 5) << "saved now: numbers agree";
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "x\n", 2, false);
  EXPECT_EQ(FileLinenoFDiskLineno(f, 5), 6);
  EXPECT_EQ(FileLinenoFTagLineno(f, 0), 0);
  EXPECT_EQ(FileLinenoFTagLineno(f, -3), 3);
  UndoMarkTags(f);  // modified: the mark goes on the saved record
  EXPECT_EQ(FileLinenoFTagLineno(f, 5), 6);
}

// The reference model: the text as one string with a line end after every line.
struct Model {
  std::string text;
  int32_t lines() const {
    int32_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
  }
  // Offset of (line, col) after the same clamping the change routine does;
  // returns the adjusted end as well.
  size_t offset(int32_t line, int32_t col, bool is_end) const {
    int32_t n = lines();
    if (line < 1) line = 1, col = 0;
    if (line > n + 1) line = n + 1, col = 0;
    if (col < 0) col = 0;
    size_t at = 0;
    for (int32_t l = 1; l < line; ++l) at = text.find('\n', at) + 1;
    if (line == n + 1) return at;
    size_t eol = text.find('\n', at);
    size_t len = eol - at;
    if (static_cast<size_t>(col) > len) return is_end ? eol + 1 : eol;
    return at + static_cast<size_t>(col);
  }
  void change(int32_t l1, int32_t c1, int32_t l2, int32_t c2, std::string t) {
    SelectionNormalize(&l1, &c1, &l2, &c2);
    size_t p1 = offset(l1, c1, false), p2 = offset(l2, c2, true);
    if (p2 < p1) p2 = p1;
    std::string lines_of_t;  // CR LF is one line end; any other CR stays
    for (size_t i = 0; i < t.size(); ++i)
      if (!(t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')) lines_of_t += t[i];
    t = lines_of_t;
    text = text.substr(0, p1) + t + text.substr(p2);
    if (!text.empty() && text.back() != '\n') text += '\n';
  }
};

TEST_F(UndoTest, ThousandsOfRandomChangesUndoAndRedoByteForByte) {
  // OE_TEST_SEED replays another sequence.
  const char* seed = getenv("OE_TEST_SEED");
  std::mt19937 rng(seed ? static_cast<unsigned>(atoi(seed)) : 12345u);
  std::string original;
  for (int i = 0; i < 40; ++i)
    original += "line " + std::to_string(i) + (i % 7 ? "" : "\t!") + "\n";
  File* f = Load("r", original);
  Model model{original};
  const char alphabet[] = "ab \n\n\r\t";
  for (int step = 0; step < 4000; ++step) {
    int32_t n = f->nLines;
    auto pick_line = [&] { return static_cast<int32_t>(rng() % static_cast<unsigned>(n + 3)); };
    int32_t l1 = pick_line(), l2 = rng() % 3 ? l1 + static_cast<int32_t>(rng() % 3) : pick_line();
    int32_t c1 = static_cast<int32_t>(rng() % 12), c2 = static_cast<int32_t>(rng() % 12);
    std::string t;
    int len = rng() % 5 == 0 ? static_cast<int>(rng() % 40) : static_cast<int>(rng() % 3);
    for (int i = 0; i < len; ++i) t += alphabet[rng() % (sizeof alphabet - 1)];
    bool append = rng() % 2;
    if (rng() % 10 == 0) FileCloseUndo(f);
    if (rng() % 25 == 0) {
      int32_t sel[4] = {1, 0, 1, 0};
      UndoGroupBegin(f, sel);
      FileChange(f, nullptr, 0, l1, c1, l2, c2, t.data(), static_cast<int32_t>(t.size()), append);
      model.change(l1, c1, l2, c2, t);
      FileChange(f, nullptr, 0, 1, 0, 1, 0, "G", 1, false);
      model.change(1, 0, 1, 0, "G");
      UndoGroupEnd(f);
    } else {
      Line* hint = f->nLines ? FileLine(f, (f->nLines + 1) / 2, nullptr, 0) : nullptr;
      FileChange(f, hint, (f->nLines + 1) / 2, l1, c1, l2, c2, t.data(),
                 static_cast<int32_t>(t.size()), append);
      model.change(l1, c1, l2, c2, t);
    }
    ASSERT_EQ(Text(f), model.text) << "after change " << step << " (" << l1 << "," << c1 << ")-("
                                   << l2 << "," << c2 << ") [" << testing::PrintToString(t) << "]";
    ASSERT_EQ(f->nLines, model.lines());
  }
  const std::string final_text = Text(f);
  int undone = 0;
  while (FileUndo(f, nullptr, 0) != -100) ++undone;
  EXPECT_EQ(Text(f), original);
  EXPECT_FALSE(f->modified);
  EXPECT_GT(undone, 100);
  int redone = 0;
  while (FileRedo(f, nullptr, 0) != -100) ++redone;
  EXPECT_EQ(redone, undone);
  EXPECT_EQ(Text(f), final_text);
  EXPECT_TRUE(f->modified);
}

TEST_F(UndoTest, RandomChangesOnAnEmptyFileUndoToNothing) {
  std::mt19937 rng(777);
  File* f = Load("e", "");
  Model model;
  for (int step = 0; step < 1500; ++step) {
    int32_t l = static_cast<int32_t>(rng() % static_cast<unsigned>(f->nLines + 2));
    int32_t l2 = l + static_cast<int32_t>(rng() % 2);
    int32_t c = static_cast<int32_t>(rng() % 4), c2 = static_cast<int32_t>(rng() % 4);
    std::string t = rng() % 2 ? "x" : (rng() % 2 ? "\n" : "");
    FileChange(f, nullptr, 0, l, c, l2, c2, t.data(), static_cast<int32_t>(t.size()), rng() % 2);
    model.change(l, c, l2, c2, t);
    ASSERT_EQ(Text(f), model.text) << step;
  }
  while (FileUndo(f, nullptr, 0) != -100) {
  }
  EXPECT_EQ(f->nLines, 0);
}

// A change either happens whole, with its undo record, or not at all, when
// reading the temporary copy fails at any point on the way.
TEST_F(UndoTest, AChangeThatFailsHalfWayLeavesTextAndUndoInStep) {
  // Lines far larger than the cache window, so that one change needs
  // several fills of it.
  std::string content;
  Strings original;
  for (int i = 0; i < 8; ++i) {
    original.push_back(std::string(20000, static_cast<char>('a' + i)));
    content += original.back() + "\n";
  }
  struct Case {
    int32_t l1, c1, l2, c2;
    std::string text;
  };
  const Case cases[] = {
      {2, 5, 7, 5, "X\nY"},       // several lines replaced by two
      {3, 100, 3, 200, "Z"},      // inside one line
      {1, 0, 8, 20000, ""},       // everything
      {4, 10, 4, 10, "P\nQ\nR"},  // a line split in three
  };
  for (const Case& c : cases) {
    bool failed_once = false;
    for (int64_t fills = 0; fills < 12; ++fills) {
      File* f = Load("big" + std::to_string(fills), content);
      gFileCacheFillsBeforeFailure = fills;
      bool panicked = WithRecoveryPoint([&] {
                        FileChange(f, nullptr, 0, c.l1, c.c1, c.l2, c.c2, c.text.data(),
                                   static_cast<int32_t>(c.text.size()), false);
                      }) != 0;
      gFileCacheFillsBeforeFailure = -1;
      failed_once |= panicked;
      SCOPED_TRACE("case " + c.text + ", fills " + std::to_string(fills));
      if (panicked) {
        EXPECT_EQ(Lines(f), original) << "the text is unchanged";
        EXPECT_EQ(f->undo, nullptr) << "and nothing was recorded";
        EXPECT_FALSE(f->modified);
      } else {
        ASSERT_NE(f->undo, nullptr);
        EXPECT_NE(Lines(f), original);
        ASSERT_NE(FileUndo(f, nullptr, 0), -100);
        EXPECT_EQ(Lines(f), original) << "undo brings back what was there";
      }
      FileFree(f);
    }
    EXPECT_TRUE(failed_once) << "the injected failure was reached";
  }
}
}  // namespace
