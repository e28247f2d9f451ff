// What observers of a file hear: each kind of change, undo and redo of a
// group, indentation, saving and reverting, and subscribing or leaving in
// the middle of a notification.
#include <string>
#include <vector>

#include "file_fixture.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"

namespace {

using oetest::FileTest;
using Strings = std::vector<std::string>;

std::string Pos(TextPos p) { return std::to_string(p.line) + ":" + std::to_string(p.col); }

// Writes what it hears as one line each, for comparing whole sequences.
struct Recorder : FileObserver {
  std::string name;
  Strings heard;
  explicit Recorder(std::string n) : name(std::move(n)) {}
  void FileTextChanged(File*, const FileChangeEvent& e) override {
    heard.push_back("change " + Pos(e.start) + " " + Pos(e.oldEnd) + " -> " + Pos(e.newEnd) +
                    " -" + std::to_string(e.linesRemoved) + " +" +
                    std::to_string(e.linesAdded) + " dir " + std::to_string(e.direction));
  }
  void FileUndoSelection(File*, const TextRange& r, bool redo) override {
    heard.push_back(std::string(redo ? "redo" : "undo") + " selection " + Pos(r.begin) + " " +
                    Pos(r.end));
  }
  void FileUndone(File*, bool redo) override { heard.push_back(redo ? "redone" : "undone"); }
  void FileReloaded(File*) override { heard.push_back("reloaded"); }
  void FileSaved(File*, PRS*, const char*, bool renamed) override {
    heard.push_back(renamed ? "saved renamed" : "saved");
  }
  void FileModifiedChanged(File* f) override {
    heard.push_back(f->modified ? "modified" : "unmodified");
  }
};

class ObserverTest : public FileTest {
 protected:
  Recorder a{"a"}, b{"b"};
};

TEST_F(ObserverTest, TwoObserversHearEachKindOfChange) {
  File* f = Load("t.c", "one\ntwo\nthree\n");
  FileAddObserver(f, &a);
  FileAddObserver(f, &b);

  // Inside one line.
  FileChange(f, nullptr, 0, 2, 1, 2, 2, "WW", 2, false);
  // A line end typed: one line becomes two.
  FileChange(f, nullptr, 0, 1, 3, 1, 3, "\nx", 2, false);
  // Three lines joined into one.
  FileChange(f, nullptr, 0, 2, 0, 4, 2, "", 0, false);
  EXPECT_EQ(Lines(f), (Strings{"one", "ree"}));
  const Strings expected = {
      "change 2:1 2:2 -> 2:3 -1 +1 dir 0",
      "change 1:3 1:3 -> 2:1 -1 +2 dir 0",
      "change 2:0 4:2 -> 2:0 -3 +1 dir 0",
  };
  EXPECT_EQ(a.heard, expected);
  EXPECT_EQ(b.heard, expected) << "every subscriber hears every change";
}

TEST_F(ObserverTest, GroupUndoAndRedoAreHeardStepByStepThenOnce) {
  File* f = Load("t.c", "one\ntwo\n");
  FileAddObserver(f, &a);
  FilesAddObserver(&b);  // a global observer hears the same
  const int32_t sel[4] = {1, 0, 1, 0};
  UndoGroupBegin(f, sel);
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "A", 1, false);
  FileChange(f, nullptr, 0, 2, 0, 2, 3, "TWO", 3, false);
  UndoGroupEnd(f);
  a.heard.clear();
  b.heard.clear();

  TextRange current{TextPos{2, 0}, TextPos{2, 3}};
  ASSERT_EQ(FileUndo(f, nullptr, 0, &current), 1);
  EXPECT_EQ(Lines(f), (Strings{"one", "two"}));
  const Strings undo = {
      "change 2:0 2:3 -> 2:3 -1 +1 dir 1", "undo selection 2:0 2:3",
      "change 1:0 1:1 -> 1:0 -1 +1 dir 1", "undo selection 1:0 1:0",
      "unmodified",                        "undone",
  };
  EXPECT_EQ(a.heard, undo);
  EXPECT_EQ(b.heard, undo);
  // The inverse group restores the selection the view had before the undo.
  ASSERT_NE(f->redo, nullptr);
  EXPECT_EQ(f->redo->startLine, 2);
  EXPECT_EQ(f->redo->endCol, 3);

  a.heard.clear();
  current = TextRange{TextPos{1, 1}, TextPos{1, 2}};
  ASSERT_EQ(FileRedo(f, nullptr, 0, &current), 1);
  EXPECT_EQ(Lines(f), (Strings{"Aone", "TWO"}));
  const Strings redo = {
      "change 1:0 1:0 -> 1:1 -1 +1 dir -1", "redo selection 1:0 1:1",
      "change 2:0 2:3 -> 2:3 -1 +1 dir -1", "redo selection 2:0 2:3",
      "modified",                           "redone",
  };
  EXPECT_EQ(a.heard, redo);
  ASSERT_NE(f->undo, nullptr);
  EXPECT_EQ(f->undo->startCol, 1);
  EXPECT_EQ(f->undo->endCol, 2);
  FilesRemoveObserver(&b);
}

TEST_F(ObserverTest, IndentSaveAndRevertAreHeard) {
  File* f = Load("t.c", "a\nb\nc\n");
  FileAddObserver(f, &a);
  FilexIndent(f, nullptr, 0, 1, 2, 2, 0);
  EXPECT_EQ(Lines(f), (Strings{"  a", "  b", "c"}));
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  FileChange(f, nullptr, 0, 3, 0, 3, 1, "C", 1, false);
  ASSERT_EQ(FileRevert(f), 1);
  EXPECT_EQ(Lines(f), (Strings{"  a", "  b", "c"}));
  const Strings expected = {
      "change 1:0 3:0 -> 3:0 -2 +2 dir 0",
      "saved",
      "unmodified",
      "change 3:0 3:1 -> 3:1 -1 +1 dir 0",
      "reloaded",
      "unmodified",
  };
  EXPECT_EQ(a.heard, expected);
}

// Leaves the file's list, and takes another observer with it, while
// hearing a change.
struct Leaver : FileObserver {
  File* file = nullptr;
  FileObserver* other = nullptr;
  int heard = 0;
  void FileTextChanged(File* f, const FileChangeEvent&) override {
    ++heard;
    FileRemoveObserver(f, this);
    if (other) FileRemoveObserver(f, other);
  }
};

TEST_F(ObserverTest, LeavingDuringANotificationStopsAtOnce) {
  File* f = Load("t.c", "x\n");
  Leaver leaver;
  leaver.other = &b;
  FileAddObserver(f, &a);
  FileAddObserver(f, &leaver);
  FileAddObserver(f, &b);
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "y", 1, false);
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "z", 1, false);
  EXPECT_EQ(leaver.heard, 1);
  EXPECT_TRUE(b.heard.empty()) << "removed before its turn came";
  EXPECT_EQ(a.heard.size(), 2u);
  EXPECT_FALSE(FileHasObserver(f, &leaver));
  EXPECT_TRUE(FileHasObserver(f, &a));
  FileRemoveObserver(f, &a);
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "w", 1, false);
  EXPECT_EQ(a.heard.size(), 2u) << "nothing after leaving";
}

}  // namespace
