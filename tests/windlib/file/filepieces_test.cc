// Long changes made in pieces: the text they leave is the one a single
// change leaves, undo takes them back in one step, and a change stopped
// between pieces leaves the text, both undo lists and the modified flag as
// they were.
#include "windlib/file/filepieces.h"

#include <string>
#include <vector>

#include "file_fixture.h"
#include "windlib/file/undo.h"

namespace {

using oetest::FileTest;
using Strings = std::vector<std::string>;

// `count` short numbered lines, each ended by `end`.
std::string Numbered(const char* word, int count, const char* end = "\n") {
  std::string out;
  for (int i = 0; i < count; ++i) out += word + std::to_string(i) + end;
  return out;
}

struct Change {
  int32_t l1, c1, l2, c2;
  std::string text;
};

class FilePiecesTest : public FileTest {
 protected:
  // Makes `change` on one copy of `content` in pieces and on another at
  // once; the lines must agree, and so must one undo.
  void ExpectSameAsOneChange(const std::string& content, const Change& c) {
    File* pieces = Load("pieces", content);
    File* whole = Load("whole", content);
    const Strings original = Lines(whole);
    int polls = 0;
    double last = 0;
    bool rising = true;
    EXPECT_EQ(FileChangeInPieces(pieces, nullptr, 0, c.l1, c.c1, c.l2, c.c2, c.text.data(),
                                 static_cast<int32_t>(c.text.size()),
                                 [&](double done) {
                                   rising = rising && done > last && done <= 1.0;
                                   last = done;
                                   ++polls;
                                   return false;
                                 }),
              1);
    FileChange(whole, nullptr, 0, c.l1, c.c1, c.l2, c.c2, c.text.data(),
               static_cast<int32_t>(c.text.size()), false);
    EXPECT_GT(polls, 1) << "a long change is made in pieces";
    EXPECT_TRUE(rising) << "the share done grows, up to 1";
    EXPECT_TRUE(Lines(pieces) == Lines(whole)) << "the pieces make the same lines";
    EXPECT_EQ(pieces->nLines, whole->nLines);
    EXPECT_TRUE(pieces->modified);
    FileUndo(pieces, nullptr, 0);
    EXPECT_TRUE(Lines(pieces) == original) << "one undo takes the whole change back";
    EXPECT_FALSE(pieces->modified);
    FileRedo(pieces, nullptr, 0);
    EXPECT_TRUE(Lines(pieces) == Lines(whole)) << "and one redo makes it again";
    FileFree(pieces);
    FileFree(whole);
  }
};

TEST_F(FilePiecesTest, PiecesLeaveTheTextOfOneChange) {
  const std::string big = Numbered("line ", 50000);
  const std::string paste = Numbered("pasted text ", 120000);
  // Everything replaced, as Select All and a paste do.
  ExpectSameAsOneChange(big, {1, 0, 50001, 0, paste});
  // From inside one line to inside another, the new text without a final
  // line end.
  ExpectSameAsOneChange(big, {3, 2, 45000, 4, paste + "tail"});
  // Only deleted: many lines, the start column past its line's end.
  ExpectSameAsOneChange(big, {10, 99, 49990, 1, ""});
  // Only inserted, inside a line and at the end of the file.
  ExpectSameAsOneChange(big, {7, 3, 7, 3, paste});
  ExpectSameAsOneChange(big, {50001, 0, 50001, 0, paste});
  // Line ends of CR LF stay whole when the text is cut into pieces.
  ExpectSameAsOneChange("a\nb\n", {1, 1, 2, 0, Numbered("crlf ", 120000, "\r\n")});
}

TEST_F(FilePiecesTest, AShortChangeIsOnePieceAndNeverPolls) {
  File* f = Load("t", Numbered("x", 100));
  int polls = 0;
  const std::string text = Numbered("new", 1000);
  EXPECT_EQ(
      FileChangeInPieces(f, nullptr, 0, 2, 0, 90, 0, text.data(), static_cast<int32_t>(text.size()),
                         [&](double) { return ++polls > 0; }),
      1);
  EXPECT_EQ(polls, 0);
  EXPECT_EQ(f->nLines, 1000 + 12);
  // A file without undo cannot take a change back: it never polls either.
  File* g = Load("u", Numbered("x", 60000));
  g->undoOff = 1;
  EXPECT_EQ(
      FileChangeInPieces(g, nullptr, 0, 1, 0, 60001, 0, "", 0, [&](double) { return ++polls > 0; }),
      1);
  EXPECT_EQ(polls, 0);
  EXPECT_EQ(g->nLines, 0);
}

TEST_F(FilePiecesTest, StoppingLeavesTextHistoryAndFlagAsTheyWere) {
  const std::string big = Numbered("line ", 50000);
  const std::string paste = Numbered("pasted text ", 120000);
  File* loaded = Load("loaded", big);
  const Strings original = Lines(loaded);
  FileFree(loaded);
  // Stopped after the first piece of the deletion, after the whole
  // deletion, and in the middle of the insertion.
  for (int stop_at : {1, 3, 5}) {
    SCOPED_TRACE("stopped at poll " + std::to_string(stop_at));
    File* f = Load("t" + std::to_string(stop_at), big);
    // A change and its undo: a record on each list to keep.
    FileChange(f, nullptr, 0, 1, 0, 1, 0, "first ", 6, false);
    FileCloseUndo(f);
    FileChange(f, nullptr, 0, 2, 0, 2, 0, "second ", 7, false);
    FileUndo(f, nullptr, 0);
    Undo* undo = f->undo;
    Undo* redo = f->redo;
    const Strings before = Lines(f);
    int polls = 0;
    EXPECT_EQ(FileChangeInPieces(f, nullptr, 0, 2, 3, 48000, 1, paste.data(),
                                 static_cast<int32_t>(paste.size()),
                                 [&](double) { return ++polls == stop_at; }),
              -1);
    EXPECT_EQ(polls, stop_at);
    EXPECT_TRUE(Lines(f) == before) << "the text is as it was";
    EXPECT_EQ(f->undo, undo) << "no record of the stopped change";
    EXPECT_EQ(f->redo, redo) << "the redo list is kept";
    EXPECT_FALSE(f->undoGrouping);
    FileRedo(f, nullptr, 0);
    EXPECT_EQ(Lines(f)[1].substr(0, 7), "second ") << "and still redoes";
    FileUndo(f, nullptr, 0);
    FileUndo(f, nullptr, 0);
    EXPECT_TRUE(Lines(f) == original);
    EXPECT_FALSE(f->modified) << "back at the loaded text";
    FileFree(f);
  }
  // Stopped on an unmodified file: it is unmodified again.
  File* f = Load("t", big);
  EXPECT_EQ(FileChangeInPieces(f, nullptr, 0, 1, 0, 50001, 0, "", 0, [](double) { return true; }),
            -1);
  EXPECT_FALSE(f->modified);
  EXPECT_EQ(f->undo, nullptr);
  EXPECT_EQ(f->nLines, 50000);
}

TEST_F(FilePiecesTest, InsideAnOpenGroupThePiecesJoinIt) {
  File* f = Load("t", Numbered("line ", 50000));
  const Strings original = Lines(f);
  const int32_t sel[4] = {1, 0, 1, 0};
  UndoGroupBegin(f, sel);
  FileChange(f, nullptr, 0, 1, 0, 1, 0, "x", 1, false);
  EXPECT_EQ(FileChangeInPieces(f, nullptr, 0, 2, 0, 50001, 0, "", 0, [](double) { return false; }),
            1);
  EXPECT_TRUE(f->undoGrouping) << "the caller's group stays open";
  UndoGroupEnd(f);
  EXPECT_EQ(f->nLines, 1);
  FileUndo(f, nullptr, 0);
  EXPECT_TRUE(Lines(f) == original) << "the group with the pieces undoes at once";
}

}  // namespace
