#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "save_fixture.h"
#include "windlib/file/tempregistry.h"

namespace {

using oetest::g_writes;
using oetest::SaveTest;
using Strings = std::vector<std::string>;

// Every line of the file is an in-file line again, and the temporary copy
// gives the text that is on disk.
void ExpectBackInFile(File* f) {
  for (Line* l = f->first; l; l = l->next) EXPECT_TRUE(LineInFile(l));
}

TEST_F(SaveTest, SaveWritesTheTextAndMarksTheFileSaved) {
  auto [f, path] = Open("a.c", "one\ntwo\nthree\n");
  Edit(f, 2, 0, 2, 3, "TWO");
  ASSERT_TRUE(f->modified);
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path), "one\nTWO\nthree\n");
  EXPECT_FALSE(f->modified);
  EXPECT_FALSE(f->journalDirty);
  EXPECT_TRUE(f->savedOnce);
  ASSERT_NE(f->undo, nullptr);
  EXPECT_TRUE(f->undo->flags & undoSavedMark);
  ExpectBackInFile(f);
  EXPECT_EQ(Lines(f), (Strings{"one", "TWO", "three"}));
  struct stat st;
  stat(path.c_str(), &st);
  EXPECT_EQ(f->mtime, st.st_mtime);
  EXPECT_EQ(f->size, st.st_size);
  EXPECT_EQ(FileFileChanged(f), 0);
  // Undo goes back to a text that differs from the disk.
  FileUndo(f, nullptr, 0);
  EXPECT_TRUE(f->modified);
  EXPECT_EQ(Lines(f), (Strings{"one", "two", "three"}));
}

TEST_F(SaveTest, NothingToSaveUnlessModifiedOrNew) {
  auto [f, path] = Open("u.c", Numbered(10));
  EXPECT_FALSE(FileNeedsSave(f));
  Edit(f, 3, 0, 3, 0, "x");
  EXPECT_TRUE(FileNeedsSave(f));
  FileUndo(f, nullptr, 0);
  EXPECT_FALSE(FileNeedsSave(f)) << "undone back to the loaded text";
  FileRedo(f, nullptr, 0);
  ASSERT_TRUE(FileNeedsSave(f));
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_FALSE(FileNeedsSave(f));
  File* fresh = FileFName(files.file("new.c").c_str(), 0);
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(FileNeedsSave(fresh)) << "a new file has no disk file yet";

  // Even when asked to, saving an unmodified file writes nothing: the whole
  // text is the unchanged prefix. Bytes changed behind its back stay.
  g_writes.clear();
  Tamper(path, 0, "LINE");
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(WrittenBytes(), 0);
  EXPECT_EQ(Disk(path).substr(0, 4), "LINE");
}

TEST_F(SaveTest, AppendingALineWritesOnlyTheTail) {
  const std::string text = Numbered(3000);  // about 130 KB
  auto [f, path] = Open("big.c", text);
  AppendLine(f, "appended");
  // Bytes of the prefix that differ from the text prove it is not rewritten.
  Tamper(path, 0, "LINE");
  Tamper(path, 70000, "#");
  g_writes.clear();
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  std::string disk = Disk(path);
  ASSERT_EQ(disk.size(), text.size() + 9);
  EXPECT_EQ(disk.substr(0, 4), "LINE");
  EXPECT_EQ(disk[70000], '#');
  EXPECT_EQ(disk.substr(text.size()), "appended\n");
  ASSERT_EQ(g_writes.size(), 1u);
  EXPECT_EQ(g_writes[0].offset, static_cast<int64_t>(text.size()));
  EXPECT_EQ(g_writes[0].length, 9);
  ExpectBackInFile(f);
  EXPECT_EQ(Text(f), text + "appended\n");
  EXPECT_EQ(f->loadSize, static_cast<int64_t>(disk.size()));

  // A second append after that save starts where the first one ended.
  AppendLine(f, "more");
  g_writes.clear();
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  ASSERT_EQ(g_writes.size(), 1u);
  EXPECT_EQ(g_writes[0].offset, static_cast<int64_t>(text.size() + 9));
  EXPECT_EQ(Disk(path).substr(0, 4), "LINE");
}

TEST_F(SaveTest, ChangingTheFirstLineRewritesEverythingInAlignedBlocks) {
  const std::string text = Numbered(3000);
  auto [f, path] = Open("big.c", text);
  Edit(f, 1, 0, 1, 4, "LINE LINE");  // five bytes longer: everything moves
  Tamper(path, 70000, "#");
  g_writes.clear();
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  std::string expected = "LINE LINE" + text.substr(4);
  EXPECT_EQ(Disk(path), expected);
  ASSERT_FALSE(g_writes.empty());
  EXPECT_EQ(g_writes.front().offset, 0);
  int64_t at = 0;
  for (size_t i = 0; i < g_writes.size(); ++i) {
    EXPECT_EQ(g_writes[i].offset, at) << "write " << i;
    EXPECT_EQ(g_writes[i].offset % 8192, 0) << "write " << i;
    if (i + 1 < g_writes.size()) {
      EXPECT_EQ(g_writes[i].length % 8192, 0) << "write " << i;
    }
    at += g_writes[i].length;
  }
  EXPECT_EQ(at, static_cast<int64_t>(expected.size()));
  ExpectBackInFile(f);
  EXPECT_EQ(Text(f), expected);
}

TEST_F(SaveTest, AChangeInTheMiddleWritesFromItsLineInAlignedBlocks) {
  const std::string text = Numbered(3000);
  auto [f, path] = Open("big.c", text);
  // Line 2000 starts beyond the first blocks; the first write is cut short
  // so that the following ones start on block boundaries.
  Edit(f, 2000, 0, 2000, 4, "LINE");
  Edit(f, 2500, 0, 2501, 0, "");  // same size overall: no truncation
  Edit(f, 2600, 0, 2600, 0, std::string(text.size() - FileCurrentSize(f), 'x'));
  ASSERT_EQ(FileCurrentSize(f), static_cast<int64_t>(text.size()));
  std::string expected = Text(f);
  Tamper(path, 0, "LINE");
  g_writes.clear();
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path).substr(4), expected.substr(4));
  EXPECT_EQ(Disk(path).substr(0, 4), "LINE") << "the prefix was rewritten";
  int64_t prefix = static_cast<int64_t>(expected.find("LINE 2000"));
  ASSERT_FALSE(g_writes.empty());
  EXPECT_EQ(g_writes[0].offset, prefix);
  EXPECT_LE(g_writes[0].length, 8192 - prefix % 8192);
  for (size_t i = 1; i < g_writes.size(); ++i) EXPECT_EQ(g_writes[i].offset % 8192, 0);
  ExpectBackInFile(f);
  EXPECT_EQ(Text(f), expected);
}

// Unchanged lines after a removed one are not on disk where the text needs
// them: the kept prefix ends at the gap.
TEST_F(SaveTest, ThePrefixEndsWhereALineWasRemoved) {
  auto [f, path] = Open("g.c", "aa\nbb\ncc\ndd\n");
  FileRemove(f, f->first->next);
  AppendLine(f, "a longer last line");
  g_writes.clear();
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path), "aa\ncc\ndd\na longer last line\n");
  ASSERT_FALSE(g_writes.empty());
  EXPECT_EQ(g_writes[0].offset, 3);
  EXPECT_EQ(Text(f), Disk(path));
}

TEST_F(SaveTest, AShorterTextTruncatesAndRewritesTheWholeFile) {
  const std::string text = Numbered(500);
  auto [f, path] = Open("s.c", text);
  Edit(f, 499, 0, 501, 0, "");  // the last two lines
  Tamper(path, 0, "LINE");
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  std::string expected = Text(f);
  EXPECT_EQ(Disk(path), expected) << "rewritten from offset 0 and cut at the end";
  EXPECT_LT(expected.size(), text.size());
  EXPECT_EQ(f->size, static_cast<int64_t>(expected.size()));
}

// Small texts edited and saved step by step: every line, the last too, ends
// as the file's lines end, and the copy is the disk text again.
TEST_F(SaveTest, EachSaveEndsEveryLineAsTheFileDoes) {
  struct Step {
    int32_t l1, c1, l2, c2;  // l1 0: saved without an edit
    std::string text, disk;
  };
  const std::pair<std::string, std::vector<Step>> cases[] = {
      {"one\r\ntwo\r\nthree",
       {{2, 0, 2, 3, "TWO", "one\r\nTWO\r\nthree\r\n"},
        {4, 0, 4, 0, "four\n", "one\r\nTWO\r\nthree\r\nfour\r\n"}}},
      {"a\r\nb\nc\r\nd\r\n", {{1, 0, 1, 1, "A", "A\r\nb\r\nc\r\nd\r\n"}}},  // mixed: made uniform
      {"x\ny", {{0, 0, 0, 0, "", "x\ny\n"}, {2, 1, 2, 1, "z", "x\nyz\n"}}},
      {"a\nb\n", {{1, 0, 3, 0, "", ""}}},  // emptied
  };
  int n = 0;
  for (const auto& [content, steps] : cases) {
    auto [f, path] = Open("t" + std::to_string(++n), content);
    for (const Step& s : steps) {
      SCOPED_TRACE(testing::PrintToString(content) + " then " + testing::PrintToString(s.text));
      if (s.l1) Edit(f, s.l1, s.c1, s.l2, s.c2, s.text);
      ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
      EXPECT_EQ(Disk(path), s.disk);
      std::string lf = s.disk;
      std::erase(lf, '\r');
      EXPECT_EQ(Text(f), lf);
      EXPECT_TRUE(f->uniformEnds);
      ExpectBackInFile(f);
    }
  }
}

TEST_F(SaveTest, ANewFileIsCreatedWithItsMode) {
  std::string path = files.file("fresh.c");
  File* f = FileFName(path.c_str(), 0);
  ASSERT_NE(f, nullptr);
  AppendLine(f, "hello");
  mode_t old_mask = umask(022);
  int saved = FileSave(f, nullptr, nullptr);
  umask(old_mask);
  ASSERT_EQ(saved, 1);
  EXPECT_EQ(Disk(path), "hello\n");
  EXPECT_FALSE(f->isNew);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  EXPECT_EQ(f->inode, static_cast<int64_t>(st.st_ino));
}

// ---- Backups --------------------------------------------------------------------

TEST_F(SaveTest, ABackupIsMadeAtTheFirstSaveOnlyAndOnlyWhenBackupsAreOn) {
  for (bool on : {true, false}) {
    SCOPED_TRACE(on ? "backups on" : "backups off");
    vfEditorBackups = on;
    auto [f, path] = Open(on ? "on.c" : "off.c", "original\n");
    Edit(f, 1, 0, 1, 8, "first");
    ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
    EXPECT_EQ(static_cast<bool>(f->backupTried), on);
    EXPECT_EQ(static_cast<bool>(f->backupMade), on);
    EXPECT_EQ(Exists(path + "~"), on);
    Edit(f, 1, 0, 1, 5, "second");
    ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
    EXPECT_EQ(Disk(path), "second\n");
    if (on) {
      EXPECT_EQ(Disk(path + "~"), "original\n") << "the second save left the backup alone";
    }
  }
}

TEST_F(SaveTest, BackupNames) {
  vfEditorBackups = true;
  char name[4096];
  std::string dir = files.path() + "/";
  File* f13 = nullptr;
  for (auto [file, backup] : {std::pair{"abcdefghijklm", "abcdefghijklm~"},
                              {"abcdefghijklmn", "adefghijklmn~"},
                              {"averyveryverylongname.c", "aryveryverylongname.c~"}}) {
    File* f = Load(file, "x\n");
    if (!f13) f13 = f;
    ASSERT_EQ(FileMakeBackupName(f, nullptr, false, name, sizeof name), 1);
    EXPECT_EQ(std::string(name), dir + backup);
  }
  vfEditorBackups = false;
  EXPECT_EQ(FileMakeBackupName(f13, nullptr, false, name, sizeof name), 0);
  ASSERT_EQ(FileMakeBackupName(f13, nullptr, true, name, sizeof name), 1);
  EXPECT_EQ(std::string(name), dir + "abcdefghijklm~");
  EXPECT_EQ(FileMakeBackupName(f13, nullptr, true, name, 5), 0) << "does not fit";
}

TEST_F(SaveTest, BackupGoesNextToTheLinkTarget) {
  vfEditorBackups = true;
  mkdir(files.file("real").c_str(), 0755);
  std::string target = files.write("real/t.c", "old\n");
  ASSERT_EQ(symlink(target.c_str(), files.file("link.c").c_str()), 0);
  File* f = FileFName(files.file("link.c").c_str(), 0);
  ASSERT_NE(f, nullptr);
  Edit(f, 1, 0, 1, 3, "new");
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(target), "new\n");
  EXPECT_EQ(Disk(target + "~"), "old\n");
  struct stat lst;
  ASSERT_EQ(lstat(files.file("link.c").c_str(), &lst), 0);
  EXPECT_TRUE(S_ISLNK(lst.st_mode)) << "the link stays a link";
}

TEST_F(SaveTest, BackupNamerIsAskedAndRemembered) {
  static std::string given_path;
  FileSetBackupNamer([](PRS*, const char* path) -> char* {
    given_path = path;
    return gen_concat(path, ".bak");
  });
  auto [f, path] = Open("n.c", "old\n");
  Edit(f, 1, 0, 1, 3, "new");
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(given_path, path);
  EXPECT_EQ(Disk(path + ".bak"), "old\n") << "the namer's name holds even with backups off";
  ASSERT_NE(f->backupName, nullptr);
  EXPECT_EQ(std::string(f->backupName), path + ".bak");
}

TEST_F(SaveTest, RefusedBackupStopsTheSaveAndIsTriedAgain) {
  FileSetBackupNamer(
      [](PRS*, const char*) -> char* { return gen_copy("/nonexistent-directory/backup~"); });
  auto [f, path] = Open("r.c", "old\n");
  Edit(f, 1, 0, 1, 3, "new");
  const std::string question = "Can't create backup file for " + path + ", ok to proceed?";
  answers[question] = "No";
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 0);
  EXPECT_EQ(Disk(path), "old\n");
  EXPECT_TRUE(f->modified);
  EXPECT_FALSE(f->backupTried);
  answers[question] = "Yes";
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path), "new\n");
  EXPECT_EQ(std::count(reports.begin(), reports.end(), question), 2);
}

TEST_F(SaveTest, RestoreFromBackup) {
  auto [f, path] = Open("x.c", "current\n");
  EXPECT_EQ(FileRestoreFromBackup(f, nullptr), 0);
  EXPECT_EQ(reports.back(), "No backup file: " + path + "~");
  files.write("x.c~", "older\nversion\n");
  ASSERT_EQ(FileRestoreFromBackup(f, nullptr), 1);
  EXPECT_EQ(Lines(f), (Strings{"older", "version"}));
  EXPECT_TRUE(f->modified);
  EXPECT_EQ(f->undo, nullptr);
  // The temporary copy holds the backup's text now: the save writes all.
  Tamper(path, 0, "C");
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path), "older\nversion\n");

  File* nameless = FileFInternal(nullptr);
  unlisted.push_back(nameless);
  gen_free(nameless->name);
  nameless->name = nullptr;
  EXPECT_EQ(FileRestoreFromBackup(nameless, nullptr), 0);
  EXPECT_EQ(reports.back(), "Cannot find backup file.");
}

// ---- Write failures ---------------------------------------------------------------

// The save runs in a child whose file-size limit lies between the old text
// and the new one: the backup fits, the save does not.
TEST_F(SaveTest, AFailedWriteReportsNoSpaceKeepsTheFileModifiedAndTheBackup) {
  vfEditorBackups = true;
  const std::string text = Numbered(1000);  // about 45 KB
  std::string path = files.write("full.c", text);
  auto edit = [](File* f) { Edit(f, 1, 0, 1, 0, std::string(30000, 'z') + "\n"); };
  auto again = [&](File* f) {
    const int saved = FileSave(f, nullptr, nullptr);
    return " again=" + std::to_string(saved) + " equal=" + std::to_string(Disk(path) == Text(f));
  };
  EXPECT_EQ(SaveInChild(path, false, text.size() + 10000, -1, edit, again),
            "saved=0 modified=1 questions=No space to save file: " + path + "| again=1 equal=1");
  EXPECT_EQ(Disk(path + "~"), text) << "the backup holds the old text";
}

TEST_F(SaveTest, AFailedBackupCopyAsks) {
  vfEditorBackups = true;
  const std::string text = Numbered(1000);
  std::string path = files.write("bk.c", text);
  EXPECT_EQ(SaveInChild(path, false, text.size() / 2, 1 /* No */,
                        [](File* f) { Edit(f, 1, 0, 1, 4, "LINE"); }),
            "saved=0 modified=1 questions=No space for backup file, ok to proceed?|");
  EXPECT_EQ(Disk(path), text);
}

// Root may write anything: the unwritable file is tried as nobody.
TEST_F(SaveTest, AnUnwritableFileCannotBeOpenedForWriting) {
  chmod(files.path().c_str(), 0755);
  chmod(temps.path().c_str(), 0777);
  std::string path = files.write("ro.c", "x\n");
  chmod(path.c_str(), 0444);
  EXPECT_EQ(SaveInChild(path, true, 0, -1, [](File* f) { Edit(f, 1, 0, 1, 1, "y"); }),
            "saved=0 modified=1 questions=Cannot open file for writing: " + path + "|");
  EXPECT_EQ(Disk(path), "x\n");
}

// ---- Changed on disk ----------------------------------------------------------------

TEST_F(SaveTest, FileChangedReportsChangesAndRemoval) {
  auto [f, path] = Open("c.c", "a\n");
  EXPECT_EQ(FileFileChanged(f), 0);
  files.write("c.c", "ab\n");
  EXPECT_EQ(FileFileChanged(f), 1);
  files.write("c.c", "a\n");
  SetMtime(path, f->mtime + 5);
  EXPECT_EQ(FileFileChanged(f), 1) << "same size, other time";
  unlink(path.c_str());
  EXPECT_EQ(FileFileChanged(f), -1);
  File* fresh = FileFName(files.file("never.c").c_str(), 0);
  EXPECT_EQ(FileFileChanged(fresh), 0) << "never existed";
}

TEST_F(SaveTest, AChangedDiskFileIsAskedAboutBeforeTheSave) {
  auto [f, path] = Open("d.c", "mine\n");
  Edit(f, 1, 0, 1, 4, "MINE");
  files.write("d.c", "theirs, longer\n");
  answers["File changed, save anyway?"] = "Cancel";
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 0);
  EXPECT_EQ(Disk(path), "theirs, longer\n");
  ASSERT_FALSE(asked.empty());
  const WAskRequest& q = asked.back();
  EXPECT_EQ(q.title, "File changed, save anyway?");
  EXPECT_EQ(q.text, "File " + path + " changed since loaded");
  EXPECT_EQ(q.buttons, (Strings{"Cancel", "Save Anyway", "Save As...", "Merge"}));
  EXPECT_EQ(q.defaultButton, 3);

  answers["File changed, save anyway?"] = "Merge";
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 0);
  EXPECT_NE(reports.back().find("Merge is not available"), std::string::npos);
  EXPECT_EQ(Disk(path), "theirs, longer\n");

  answers["File changed, save anyway?"] = "Save As...";
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 0) << "no Save As without a window";
  EXPECT_EQ(Disk(path), "theirs, longer\n");

  answers["File changed, save anyway?"] = "Save Anyway";
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path), "MINE\n");

  // After a save the question says so.
  Edit(f, 1, 0, 1, 4, "mine");
  files.write("d.c", "again\n");
  answers["File changed, save anyway?"] = "Cancel";
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 0);
  EXPECT_EQ(asked.back().text, "File " + path + " changed since last saved");
}

TEST_F(SaveTest, SaveAsFromTheChangedQuestionGoesThroughTheDialogue) {
  static std::string other;
  other = files.file("other.c");
  FileSetSaveAsDialogue([](File* f, PRS*) { return FileSaveAs(f, other.c_str(), nullptr); });
  auto [f, path] = Open("q.c", "mine\n");
  Edit(f, 1, 0, 1, 4, "MINE");
  files.write("q.c", "theirs\n");
  answers["File changed, save anyway?"] = "Save As...";
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 1) << "handled another way: the file is saved";
  EXPECT_EQ(Disk(other), "MINE\n");
  EXPECT_EQ(Disk(path), "theirs\n");
  EXPECT_EQ(std::string(f->name), other);
}

TEST_F(SaveTest, ForceSkipsTheQuestions) {
  auto [f, path] = Open("force.c", "mine\n");
  Edit(f, 1, 0, 1, 4, "MINE");
  files.write("force.c", "theirs\n");
  asked.clear();
  ASSERT_EQ(FileForceSaveAs(f, path.c_str(), nullptr), 1);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(Disk(path), "MINE\n");
}

TEST_F(SaveTest, ARemovedDiskFileIsAskedAboutAndRecreated) {
  auto [f, path] = Open("gone.c", "text\n");
  unlink(path.c_str());
  const std::string question = "File " + path + " externally removed on disk, save anyway?";
  answers[question] = "No";
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 0);
  EXPECT_FALSE(Exists(path));
  answers[question] = "Yes";
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path), "text\n");
}

// ---- Other names ------------------------------------------------------------------------

TEST_F(SaveTest, SaveUnderAnotherNameWritesACopy) {
  auto [f, path] = Open("orig.c", "one\n");
  Edit(f, 1, 0, 1, 3, "ONE");
  std::string copy = files.file("copy.c");
  ASSERT_EQ(FileSave(f, copy.c_str(), nullptr), 1);
  EXPECT_EQ(Disk(copy), "ONE\n");
  EXPECT_EQ(Disk(path), "one\n");
  EXPECT_EQ(std::string(f->name), path) << "the record keeps its name";
}

TEST_F(SaveTest, SaveAsRenamesTheRecord) {
  static std::string informed;
  FileSetChangeInformer([](PRS*, const char* written, const char* name) {
    informed = std::string(written) + " " + name;
  });
  auto [f, path] = Open("old.c", "one\ntwo\n");
  f->readOnly = 1;
  Edit(f, 2, 0, 2, 3, "TWO");
  std::string renamed = files.file("new.c");
  ASSERT_EQ(FileSaveAs(f, renamed.c_str(), nullptr), 1);
  EXPECT_EQ(std::string(f->name), renamed);
  EXPECT_EQ(informed, renamed + " " + path) << "told before the record takes the name";
  EXPECT_EQ(Disk(renamed), "one\nTWO\n");
  EXPECT_EQ(Disk(path), "one\ntwo\n");
  EXPECT_FALSE(f->readOnly);
  EXPECT_FALSE(f->modified);
  ExpectBackInFile(f);
  EXPECT_EQ(FileFileChanged(f), 0);
  // The next save goes to the new name and keeps its prefix.
  AppendLine(f, "three");
  g_writes.clear();
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(renamed), "one\nTWO\nthree\n");
  ASSERT_EQ(g_writes.size(), 1u);
  EXPECT_EQ(g_writes[0].offset, 8);
}

TEST_F(SaveTest, SaveAsAsksBeforeReplacing) {
  std::string other = files.write("exists.c", "precious\n");
  File* f = Load("s.c", "mine\n");
  const std::string exists = "File " + other + " exists, save anyway?";
  answers[exists] = "No";
  EXPECT_EQ(FileSaveAs(f, other.c_str(), nullptr), 0);
  EXPECT_EQ(Disk(other), "precious\n");
  File* g = Load("exists.c", "precious\n");
  answers[exists] = "Yes";
  const std::string edited = "File " + other + " being edited, replace it?";
  answers[edited] = "No";
  EXPECT_EQ(FileSaveAs(f, other.c_str(), nullptr), 0);
  EXPECT_EQ(Disk(other), "precious\n");
  answers[edited] = "Yes";
  ASSERT_EQ(FileSaveAs(f, other.c_str(), nullptr), 1);
  EXPECT_EQ(Disk(other), "mine\n");
  EXPECT_NE(g, f);
}

TEST_F(SaveTest, AnUncreatableTargetFallsBackToTheSaveAsDialogue) {
  static int dialogue_runs = 0;
  dialogue_runs = 0;
  FileSetSaveAsDialogue([](File*, PRS*) { return ++dialogue_runs, 0; });
  File* f = Load("u.c", "x\n");
  std::string bad = files.file("no/such/dir/u.c");
  EXPECT_EQ(FileSaveAs(f, bad.c_str(), nullptr), 0);
  EXPECT_EQ(dialogue_runs, 1);
  EXPECT_EQ(reports.front(),
            "Cannot create file: " + bad + ".  Please try a different filename or directory.");
}

TEST_F(SaveTest, MustSaveAsRunsTheDialogueOrSaysItIsMissing) {
  auto [f, path] = Open("m.c", "x\n");
  f->mustSaveAs = 1;
  Edit(f, 1, 0, 1, 1, "y");
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 0);
  ASSERT_FALSE(reports.empty());
  EXPECT_NE(reports.back().find("Save As needs an editor window"), std::string::npos);
  EXPECT_EQ(Disk(path), "x\n");
  static File* asked_for = nullptr;
  FileSetSaveAsDialogue([](File* g, PRS*) { return asked_for = g, 1; });
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(asked_for, f);
  EXPECT_EQ(Disk(path), "x\n");
  // Saving under an explicit name is not affected.
  EXPECT_EQ(FileSaveAs(f, path.c_str(), nullptr), 1);
  EXPECT_EQ(Disk(path), "y\n");
}

TEST_F(SaveTest, NoNameNoSave) {
  File* f = FileFInternal(nullptr);
  unlisted.push_back(f);
  gen_free(f->name);
  f->name = nullptr;
  EXPECT_EQ(FileSave(f, nullptr, nullptr), 0);
  EXPECT_EQ(reports, Strings{"No filename specified, can't save it"});
  EXPECT_EQ(FileSave(nullptr, nullptr, nullptr), 0);
}

TEST_F(SaveTest, AnInternalBufferSavedAsAFileBecomesOne) {
  File* f = FileFInternal("output");
  unlisted.push_back(f);
  FileAppendStrings(f, "built\nok\n", 9);
  std::string path = files.file("log.txt");
  ASSERT_EQ(FileSaveAs(f, path.c_str(), nullptr), 1);
  EXPECT_EQ(Disk(path), "built\nok\n");
  EXPECT_FALSE(f->internal);
  EXPECT_FALSE(f->isNew);
  EXPECT_EQ(Lines(f), (Strings{"built", "ok"}));
}

TEST_F(SaveTest, MemoryToDiskWritesLfEnds) {
  File* f = Load("w.txt", "a\r\nb\r\n");
  Edit(f, 2, 0, 2, 1, "B");
  std::string out = files.file("out.txt");
  ASSERT_EQ(file_SaveMemoryToDisk(f, out.c_str()), 1);
  EXPECT_EQ(Disk(out), "a\nB\n");
  EXPECT_TRUE(f->modified) << "a copy for comparing, not a save";
  EXPECT_EQ(file_SaveMemoryToDisk(f, files.file("no/dir/x").c_str()), 0);
}

// ---- Reverting ----------------------------------------------------------------------------

TEST_F(SaveTest, RevertReadsTheDiskFileAgain) {
  auto [f, path] = Open("v.c", "one\ntwo\n");
  Edit(f, 1, 0, 1, 3, "ONE");
  files.write("v.c", "disk\ntext\nnow\n");
  ASSERT_EQ(FileRevert(f), 1);
  EXPECT_EQ(Lines(f), (Strings{"disk", "text", "now"}));
  EXPECT_FALSE(f->modified);
  EXPECT_FALSE(f->journalDirty);
  EXPECT_EQ(f->undo, nullptr);
  EXPECT_EQ(f->redo, nullptr);
  EXPECT_EQ(FileFileChanged(f), 0);
  EXPECT_EQ(f->loadSize, 0) << "reloaded by insertion: no prefix is trusted";
  Edit(f, 3, 0, 3, 3, "NOW");
  Tamper(path, 0, "D");
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path), "disk\ntext\nNOW\n");
}

TEST_F(SaveTest, RevertOfAMissingFileMakesItNew) {
  auto [f, path] = Open("m.c", "x\n");
  f->savedOnce = 1;
  unlink(path.c_str());
  EXPECT_EQ(FileRevert(f), 0);
  EXPECT_TRUE(f->isNew);
  EXPECT_FALSE(f->savedOnce);
  EXPECT_EQ(f->nLines, 0);
}

TEST_F(SaveTest, SemiRevertKeepsUndoWhenTheShapeIsTheSame) {
  auto [f, path] = Open("sr.c", "abc\ndef\n");
  Edit(f, 1, 0, 1, 1, "A");
  files.write("sr.c", "Abc\ndef\n");  // what another tool wrote: same size and lines
  ASSERT_EQ(FileSemiRevert(f), 1);
  ASSERT_NE(f->undo, nullptr);
  EXPECT_FALSE(f->modified);
  FileUndo(f, nullptr, 0);
  EXPECT_EQ(Lines(f), (Strings{"abc", "def"}));
  EXPECT_TRUE(f->modified) << "differs from the disk file now";

  files.write("sr.c", "other\n");
  ASSERT_EQ(FileSemiRevert(f), 1);
  EXPECT_EQ(f->undo, nullptr);
  EXPECT_EQ(f->redo, nullptr);
  EXPECT_EQ(Lines(f), Strings{"other"});
}

}  // namespace
