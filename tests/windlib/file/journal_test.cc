#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>

#include "save_fixture.h"
#include "windlib/wwait.h"

namespace {

using oetest::SaveTest;
using oetest::TempDir;
using Strings = std::vector<std::string>;

class JournalTest : public SaveTest {
 protected:
  static std::string Header(int32_t frequency) {
    return std::string(reinterpret_cast<const char*>(&frequency), sizeof frequency);
  }
  // What an editor that died leaves behind: the lock file with its journal,
  // written `age` seconds ago.
  // The file itself is older.
  void LeaveLock(const std::string& name, const std::string& content, time_t age) {
    std::string lock = LockOf(name);
    files.write("." + name + ".kv~", content);
    SetMtime(lock, time(nullptr) - age);
    if (Exists(files.file(name))) SetMtime(files.file(name), time(nullptr) - age - 100);
  }
  // Frees the file as a crash would: the lock and journal stay.
  std::string Crash(File* f) {
    std::string lock = incr_LockName(f);
    std::string journal = Disk(lock);
    std::string base = Exists(incr_BaseName(f)) ? Disk(incr_BaseName(f)) : "";
    std::string base_name = incr_BaseName(f);
    FileFree(f);
    files.write(lock.substr(files.path().size() + 1), journal);
    if (!base.empty()) files.write(base_name.substr(files.path().size() + 1), base);
    return journal;
  }
};

TEST_F(JournalTest, TheLockIsTakenAndReleased) {
  cfgEditIncrFrequency = 30;
  File* f = Load("a.c", "one\n");
  ASSERT_EQ(incr_AcquireLock(f), 1);
  EXPECT_TRUE(f->haslock);
  EXPECT_EQ(Disk(LockOf("a.c")), Header(30)) << "the frequency, and no edits";
  EXPECT_EQ(incr_AcquireLock(f), 1) << "held already";
  Edit(f, 1, 0, 1, 3, "ONE");
  incr_ReleaseLock(f);
  EXPECT_FALSE(f->haslock);
  EXPECT_FALSE(f->journalDirty);
  EXPECT_FALSE(Exists(LockOf("a.c")));
  EXPECT_EXIT(incr_ReleaseLock(f), testing::ExitedWithCode(1),
              "Assertion \\(file->haslock\\) failed in "
              "'[^']*src/windlib/file/fileincr' on line");
}

TEST_F(JournalTest, NoLockForViewOnlyInternalOrJournalLessFiles) {
  File* f = Load("v.c", "x\n");
  f->viewOnly = 1;
  EXPECT_EQ(incr_AcquireLock(f), 1);
  EXPECT_FALSE(f->haslock);
  EXPECT_FALSE(Exists(LockOf("v.c")));
  File* internal = FileFInternal(nullptr);
  unlisted.push_back(internal);
  EXPECT_EQ(incr_AcquireLock(internal), 1);
  EXPECT_FALSE(internal->haslock);
}

TEST_F(JournalTest, SavingUndoingFreeingAndUnloadingReleaseTheLock) {
  File* f = Load("s.c", "one\n");
  incr_AcquireLock(f);
  Edit(f, 1, 0, 1, 0, "x");
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_FALSE(f->haslock);
  EXPECT_FALSE(Exists(LockOf("s.c")));

  incr_AcquireLock(f);
  Edit(f, 1, 0, 1, 0, "y");
  FileUndo(f, nullptr, 0);
  EXPECT_FALSE(f->modified);
  EXPECT_FALSE(f->haslock) << "undone back to the saved text";
  EXPECT_FALSE(Exists(LockOf("s.c")));

  incr_AcquireLock(f);
  FileStubout(f);
  EXPECT_FALSE(Exists(LockOf("s.c")));

  File* g = Load("t.c", "two\n");
  incr_AcquireLock(g);
  FileFree(g);
  EXPECT_FALSE(Exists(LockOf("t.c")));

  File* h = Load("u.c", "three\n");
  incr_AcquireLock(h);
  FilesAbort();
  EXPECT_FALSE(Exists(LockOf("u.c")));
  EXPECT_FALSE(h->haslock);
}

TEST_F(JournalTest, ASignalExitKeepsTheJournalForRecovery) {
  File* f = Load("i.c", "one\n");
  incr_AcquireLock(f);
  ASSERT_TRUE(Exists(LockOf("i.c")));
  FilesAbortFromSignal();
  EXPECT_TRUE(Exists(LockOf("i.c"))) << "a crash must not take the edits with it";
  EXPECT_EQ(access(f->tempName, F_OK), -1) << "the temporary copy goes";
}

TEST_F(JournalTest, JournalLinesDescribeTheEdits) {
  cfgEditIncrFrequency = 7;
  File* f = Load("j.c", "l1\nl2\nl3\nl4\n");
  incr_AcquireLock(f);
  FileRemove(f, f->first->next);  // l2 goes, bytes 3..5; l3 stays in the file
  Edit(f, 3, 0, 3, 2, "LL4");     // the old fourth line is changed
  ASSERT_TRUE(f->journalDirty);
  ASSERT_EQ(incr_SaveEdits(f), 1);
  EXPECT_FALSE(f->journalDirty);
  EXPECT_EQ(Disk(LockOf("j.c")), Header(7) + "d 3 5\nd 9 2147483647\na 3 \"LL4\n");
  EXPECT_FALSE(Exists(BaseOf("j.c"))) << "the disk file is the base";
}

TEST_F(JournalTest, ANewFileHasNoFinalDeletion) {
  File* f = FileFName(files.file("n.c").c_str(), 0);
  ASSERT_NE(f, nullptr);
  incr_AcquireLock(f);
  AppendLine(f, "first");
  AppendLine(f, "second");
  ASSERT_EQ(incr_SaveEdits(f), 1);
  EXPECT_EQ(Disk(LockOf("n.c")), Header(120) + "a 1 \"first\na 2 \"second\n");
}

TEST_F(JournalTest, AppliedJournalRestoresTheText) {
  File* f = Load("r.c", "l1\nl2\nl3\nl4\n");
  incr_AcquireLock(f);
  FileRemove(f, f->first->next);  // leaves l3 in the file, after a gap
  Edit(f, 3, 0, 3, 2, "LL4");
  AppendLine(f, "l5");
  std::string expected = Text(f);
  incr_SaveEdits(f);
  Crash(f);
  answers["File being edited elsewhere"] = "Apply Edits";
  File* g = FileFName(files.file("r.c").c_str(), 0);
  ASSERT_NE(g, nullptr);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back().buttons, (Strings{"Cancel", "Discard Edits", "Apply Edits"}));
  EXPECT_EQ(asked.back().text, "You are editing file elsewhere: " + files.file("r.c") +
                                   "\nOutstanding edits exist.\nWhat would you like to do?"
                                   "\nIf you choose to Discard, the edits will be IRREVOCABLY "
                                   "LOST!");
  EXPECT_EQ(Text(g), expected);
  EXPECT_TRUE(g->modified);
  EXPECT_TRUE(g->journalDirty);
  EXPECT_TRUE(g->haslock);
  EXPECT_EQ(g->lastLine, 2);
  // Saving now writes exactly the recovered text and lets go of the lock.
  ASSERT_EQ(FileSave(g, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(files.file("r.c")), expected);
  EXPECT_FALSE(Exists(LockOf("r.c")));
}

// Random edits of random files, with LF and CR LF ends: the journal applied
// to a fresh load gives the edited text byte for byte.
TEST_F(JournalTest, RandomEditsSurviveACrash) {
  std::mt19937 rng(20261205);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const char* words[] = {"alpha", "", "x", "\t  indented", "long line of text here", "}"};
  for (int round = 0; round < 40; ++round) {
    const bool crlf = round % 3 == 2;
    std::string content;
    int lines = 1 + pick(30);
    for (int i = 0; i < lines; ++i)
      content += std::string(words[pick(6)]) + std::to_string(i) + (crlf ? "\r\n" : "\n");
    if (pick(4) == 0) content += "no line end";
    std::string name = "rand" + std::to_string(round) + ".c";
    File* f = Load(name, content);
    ASSERT_EQ(incr_AcquireLock(f), 1);
    int edits = 1 + pick(8);
    for (int e = 0; e < edits; ++e) {
      int32_t n = f->nLines;
      int32_t l1 = 1 + pick(n + 1);
      int32_t l2 = std::min<int32_t>(n + 1, l1 + pick(3));
      int32_t c1 = pick(8), c2 = pick(8);
      if (l1 == l2 && c2 < c1) std::swap(c1, c2);
      std::string text;
      for (int k = pick(3); k > 0; --k) text += std::string(words[pick(6)]) + (pick(2) ? "\n" : "");
      Edit(f, l1, c1, l2, c2, text);
    }
    std::string expected = Text(f);
    ASSERT_EQ(incr_SaveEdits(f), 1);
    const std::string journal = Crash(f);
    EXPECT_EQ(Recovered(name), expected) << "round " << round << " journal " << journal.substr(4);
  }
}

TEST_F(JournalTest, DiscardingEditsKeepsTheDiskText) {
  std::string path = files.write("d.c", "disk\n");
  LeaveLock("d.c", Header(120) + "d 0 2147483647\na 1 \"edited\n", 10);
  answers["File being edited elsewhere"] = "Discard Edits";
  File* f = FileFName(path.c_str(), 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Lines(f), Strings{"disk"});
  EXPECT_FALSE(f->modified);
  EXPECT_TRUE(f->haslock) << "the lock is taken anew";
  EXPECT_EQ(Disk(LockOf("d.c")), Header(120));
}

TEST_F(JournalTest, CancelMeansTheFileIsNotOpened) {
  std::string path = files.write("c.c", "disk\n");
  LeaveLock("c.c", Header(120) + "a 1 \"edited\n", 10);
  answers["File being edited elsewhere"] = "Cancel";
  EXPECT_EQ(FileFName(path.c_str(), 0), nullptr);
  EXPECT_EQ(FileHead(), nullptr);
  EXPECT_TRUE(Exists(LockOf("c.c")));
}

TEST_F(JournalTest, AStaleEmptyLockIsRemovedSilently) {
  std::string path = files.write("st.c", "text\n");
  LeaveLock("st.c", Header(120), 120 + 61);
  File* f = FileFName(path.c_str(), 0);
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(reports.empty()) << reports.front();
  EXPECT_FALSE(Exists(LockOf("st.c")));
  EXPECT_FALSE(f->haslock);
  // The header's frequency counts, not the setting's.
  LeaveLock("st.c", Header(10), 10 + 61);
  File* g = FileF_File(path.c_str(), true, 0);
  ASSERT_NE(g, nullptr);
  EXPECT_TRUE(reports.empty());
  EXPECT_FALSE(Exists(LockOf("st.c")));
}

TEST_F(JournalTest, ALockOlderThanTheFileIsStale) {
  std::string path = files.write("o.c", "text\n");
  LeaveLock("o.c", Header(120), 5);
  SetMtime(path, time(nullptr));
  File* f = FileFName(path.c_str(), 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(reports, Strings{"Stale lock file detected"});
  EXPECT_FALSE(Exists(LockOf("o.c")));
}

TEST_F(JournalTest, OwnLiveLockWithoutEditsOffersToStealIt) {
  std::string path = files.write("own.c", "text\n");
  LeaveLock("own.c", Header(120), 5);
  answers["File being edited elsewhere"] = "Steal Lock";
  File* f = FileFName(path.c_str(), 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(asked.back().buttons, (Strings{"Cancel", "Steal Lock"}));
  EXPECT_EQ(asked.back().text,
            "You are editing file elsewhere: " + path + "\nWhat would you like to do?");
  EXPECT_TRUE(f->haslock);
  EXPECT_FALSE(f->viewOnly);
}

// Another user's lock: as root the test gives the lock file to nobody.
TEST_F(JournalTest, AnotherUsersLiveLockOffersOnlyViewing) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a lock owned by another user";
  std::string path = files.write("other.c", "text\n");
  LeaveLock("other.c", Header(120), 5);
  ASSERT_EQ(chown(LockOf("other.c").c_str(), 65534, 65534), 0);
  answers["File being edited elsewhere"] = "View ReadOnly";
  File* f = FileFName(path.c_str(), 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(asked.back().buttons, (Strings{"Cancel", "View ReadOnly"}));
  EXPECT_EQ(asked.back().text,
            "nobody is editing file elsewhere: " + path + "\nWhat would you like to do?");
  EXPECT_TRUE(f->viewOnly);
  EXPECT_TRUE(f->readOnly);
  EXPECT_FALSE(f->haslock);
  EXPECT_EQ(incr_AcquireLock(f), 0) << "viewing only";
  FileFree(f);
  EXPECT_TRUE(Exists(LockOf("other.c"))) << "another user's lock is never removed";

  // With edits: view the disk text, or view it with the edits applied.
  LeaveLock("other.c", Header(120) + "d 0 2147483647\na 1 \"their edit\n", 5);
  ASSERT_EQ(chown(LockOf("other.c").c_str(), 65534, 65534), 0);
  answers["File being edited elsewhere"] = "View: Apply Edits";
  File* g = FileFName(path.c_str(), 0);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(asked.back().buttons, (Strings{"Cancel", "View: No Edits", "View: Apply Edits"}));
  EXPECT_EQ(Lines(g), Strings{"their edit"});
  EXPECT_TRUE(g->viewOnly);
  EXPECT_FALSE(g->haslock);
  FileFree(g);
  answers["File being edited elsewhere"] = "View: No Edits";
  File* h = FileFName(path.c_str(), 0);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Lines(h), Strings{"text"});
  FileFree(h);
  EXPECT_TRUE(Exists(LockOf("other.c")));
}

TEST_F(JournalTest, ALockThatAppearsAfterOpeningIsAskedAboutAtTheFirstChange) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a lock owned by another user";
  std::string path = files.write("late.c", "text\n");
  File* f = FileFName(path.c_str(), 0);
  LeaveLock("late.c", Header(120), 0);
  ASSERT_EQ(chown(LockOf("late.c").c_str(), 65534, 65534), 0);
  answers["File being edited elsewhere"] = "View ReadOnly";
  EXPECT_EQ(incr_AcquireLock(f), 0);
  EXPECT_TRUE(f->readOnly);
  EXPECT_FALSE(f->haslock);
}

TEST_F(JournalTest, ABadJournalIsReportedAndAppliesNothing) {
  std::string path = files.write("bad.c", "one\ntwo\n");
  struct Case {
    std::string journal, report;
  } cases[] = {
      {Header(120) + "d 0 3\nx what\n", "Corrupt increment file: "},
      {Header(120) + "d 0\n", "Bad format in incr file: "},
      {Header(120) + "d 0 3\na x \"y\n", "Bad format in incr file: "},
      {Header(120) + "d 0 3\na 9 \"beyond the end\n", "Bad format in incr file: "},
  };
  for (const Case& c : cases) {
    LeaveLock("bad.c", c.journal, 10);
    answers["File being edited elsewhere"] = "Apply Edits";
    reports.clear();
    File* f = FileFName(path.c_str(), 0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Lines(f), (Strings{"one", "two"})) << c.journal;
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), c.report + LockOf("bad.c"));
    EXPECT_TRUE(f->haslock) << "the lock is taken anew";
    EXPECT_EQ(Disk(LockOf("bad.c")), Header(120));
    FileFree(f);
  }
  File* x = Load("x.c", "x\n");
  files.write("short", "ab");
  EXPECT_EQ(incr_ApplyEdits(x, files.file("short").c_str()), 0);
  EXPECT_EQ(reports.back(), "Bad format in incr file: " + files.file("short"));
  EXPECT_EQ(incr_ApplyEdits(x, files.file("missing").c_str()), 0);
  EXPECT_EQ(reports.back(), "Could not open increment file " + files.file("missing"));
}

TEST_F(JournalTest, ABaseCopyIsWrittenWhenTheTextIsNotTheDiskFiles) {
  std::string path = files.write("bc.c", "current\ntext\n");
  files.write("bc.c~", "backup\ntext\nlines\n");
  File* f = Load("bc.c", "current\ntext\n");
  incr_AcquireLock(f);
  ASSERT_EQ(FileRestoreFromBackup(f, nullptr), 1);
  Edit(f, 2, 0, 2, 4, "TEXT");
  std::string expected = Text(f);
  ASSERT_EQ(incr_SaveEdits(f), 1);
  EXPECT_EQ(Disk(BaseOf("bc.c")), "backup\ntext\nlines\n");
  Crash(f);
  answers["File being edited elsewhere"] = "Apply Edits";
  File* g = FileFName(path.c_str(), 0);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(Text(g), expected);
  ASSERT_EQ(FileSave(g, nullptr, nullptr), 1);
  EXPECT_EQ(Disk(path), expected);
  EXPECT_FALSE(Exists(BaseOf("bc.c"))) << "the save let go of the base copy";
  EXPECT_FALSE(Exists(LockOf("bc.c")));
}

TEST_F(JournalTest, TheTimerWritesDirtyJournalsAndRefreshesCleanLocks) {
  cfgEditIncrFrequency = 1;
  File* dirty = Load("dirty.c", "a\n");
  File* clean = Load("clean.c", "b\n");
  incr_AcquireLock(dirty);
  incr_AcquireLock(clean);
  Edit(dirty, 1, 0, 1, 1, "A");
  SetMtime(LockOf("clean.c"), time(nullptr) - 100);
  incr_RestartTimer();
  // The timer runs once its second is up.
  for (int i = 0; i < 40 && Disk(LockOf("dirty.c")).size() <= 4; ++i) {
    long next = 0;
    ExtraProcess_Wait(&next);
    usleep(100000);
  }
  EXPECT_EQ(Disk(LockOf("dirty.c")), Header(1) + "d 0 2147483647\na 1 \"A\n");
  EXPECT_FALSE(dirty->journalDirty);
  struct stat st;
  ASSERT_EQ(stat(LockOf("clean.c").c_str(), &st), 0);
  EXPECT_GT(st.st_mtime, time(nullptr) - 50) << "the clean lock was touched";
  EXPECT_EQ(Disk(LockOf("clean.c")), Header(1));
}

TEST_F(JournalTest, AFrequencyOfZeroBecomes120WithAWarning) {
  static std::string printed;
  printed.clear();
  mprintf_hook = [](const char* text) { printed += text; };
  cfgEditIncrFrequency = 0;
  Load("z.c", "z\n");
  EXPECT_EQ(incr_Frequency(), 120);
  EXPECT_EQ(cfgEditIncrFrequency, 120);
  EXPECT_EQ(printed, "Warning: configuration system not properly initialized\n");
  mprintf_hook = nullptr;
}

TEST_F(JournalTest, AnUnwritableJournalIsReported) {
  File* f = Load("w.c", "w\n");
  incr_AcquireLock(f);
  Edit(f, 1, 0, 1, 1, "W");
  // A directory where the journal would be renamed to.
  unlink(LockOf("w.c").c_str());
  mkdir(LockOf("w.c").c_str(), 0755);
  mkdir((LockOf("w.c") + "/x").c_str(), 0755);
  EXPECT_EQ(incr_SaveEdits(f), 0);
  EXPECT_EQ(reports.back(), "Cannot create update file: " + LockOf("w.c"));
  EXPECT_TRUE(f->journalDirty) << "tried again next time";
  rmdir((LockOf("w.c") + "/x").c_str());
  rmdir(LockOf("w.c").c_str());
  EXPECT_EQ(incr_SaveEdits(f), 1);
}

// Without write access to the directory the user may edit without a
// journal; root has write access everywhere, so this runs as nobody.
TEST_F(JournalTest, NoWritableDirectoryAsksToEditWithoutJournal) {
  chmod(temps.path().c_str(), 0777);
  std::string path = files.write("nw.c", "x\n");
  chmod(path.c_str(), 0666);
  chmod(files.path().c_str(), 0555);
  auto attempt = [&](int answer) {
    return InChild(true, [&] {
      std::string seen;
      AnswerAll(&seen, answer);
      File* f = FileF_File(path.c_str(), true, 0);
      if (!f) return "not loaded " + seen;
      int r = incr_AcquireLock(f);
      std::string out = "r=" + std::to_string(r) + " ro=" + std::to_string(f->readOnly) +
                        " nj=" + std::to_string(f->noJournal) +
                        " vo=" + std::to_string(f->viewOnly) + " " + seen;
      FileFree(f);
      return out;
    });
  };
  const std::string question =
      "You do not have write access to directory containing this file.\n"
      "Would you care to edit this file without creating a recovery file?|";
  EXPECT_EQ(attempt(0), "r=1 ro=0 nj=1 vo=1 " + question);
  EXPECT_EQ(attempt(1), "r=0 ro=1 nj=0 vo=0 " + question);
  chmod(files.path().c_str(), 0755);
}

}  // namespace
