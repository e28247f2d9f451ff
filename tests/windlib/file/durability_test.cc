// Keeping the user's text through everything that can go wrong around a
// save: a kill at any moment of the write, power loss after it (syncs), a
// disk file changed within the same second, a temporary copy removed by a
// cleaner, and an interrupt.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "save_fixture.h"
#include "windlib/wwait.h"

// Every fsync the program makes is recorded with the path of its
// descriptor and whether the watched lock file existed at that moment.
namespace {
struct Sync {
  std::string path;
  bool lock_present;
};
std::vector<Sync> g_syncs;
std::string g_watched_lock;
}  // namespace

extern "C" int fsync(int fd) {
  char link[64], target[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, target, sizeof target - 1);
  std::string path = n > 0 ? std::string(target, static_cast<size_t>(n)) : "";
  bool lock = !g_watched_lock.empty() && access(g_watched_lock.c_str(), F_OK) == 0;
  g_syncs.push_back({path, lock});
  return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace {

using oetest::SaveTest;
using oetest::TempDir;

class DurabilityTest : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    g_syncs.clear();
    g_watched_lock.clear();
  }
  bool Synced(const std::string& path, bool with_lock) const {
    for (const Sync& s : g_syncs)
      if (s.path == path && (!with_lock || s.lock_present)) return true;
    return false;
  }
  bool SyncedStartingWith(const std::string& prefix) const {
    for (const Sync& s : g_syncs)
      if (s.path.compare(0, prefix.size(), prefix) == 0 && s.path != prefix) return true;
    return false;
  }

  // Runs `body` in a child whose temporary copies go to their own
  // directory; returns the child's wait status.
  int Child(const std::function<void()>& body) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
      setenv("TMPDIR", child_temps.path().c_str(), 1);
      gen_reset_temp_dir();
      body();
      _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  }
  // What a killed child left in its temporary directory.
  void ClearChildTemps() {
    std::string cmd = "rm -f '" + child_temps.path() + "'/*";
    (void)!system(cmd.c_str());
  }
  bool ChildTempsEmpty() const {
    std::string cmd = "test -z \"$(ls -A '" + child_temps.path() + "')\"";
    return system(cmd.c_str()) == 0;
  }

  TempDir child_temps;
};

int64_t g_limit = 0, g_written = 0;

// A save killed at many points of its writes, for edits that rewrite the
// whole file, its tail, a shorter text and the middle: opening the file
// again gives exactly the edited text every time.
TEST_F(DurabilityTest, ASaveKilledAtAnyPointLeavesTheEditedTextRecoverable) {
  const std::string original = Numbered(3000);  // about 140 KB: many blocks
  struct Case {
    const char* what;
    std::function<void(File*)> edit;
  };
  const std::vector<Case> cases = {
      {"first line longer", [](File* f) { Edit(f, 1, 0, 1, 4, "FIRST LINE, LONGER"); }},
      {"appended line", [](File* f) { AppendLine(f, "one more line"); }},
      {"last lines removed", [](File* f) { Edit(f, f->nLines - 2, 0, f->nLines + 1, 0, ""); }},
      {"middle, after an earlier journal write",
       [](File* f) {
         Edit(f, 1500, 0, 1500, 0, "journalled ");
         if (f->haslock) incr_SaveEdits(f);
         Edit(f, 2000, 0, 2000, 0, "and later ");
       }},
  };
  for (const Case& c : cases) {
    files.write("k.c", original);
    File* model = Load("k.c", original);
    c.edit(model);
    const std::string expected = Text(model);
    FileFree(model);
    const int64_t total = static_cast<int64_t>(expected.size());
    for (int64_t limit : {int64_t{0}, int64_t{1}, int64_t{8191}, int64_t{8192}, int64_t{40000},
                          total / 2, total - 9000, total - 1, total + 1}) {
      files.write("k.c", original);
      g_limit = limit;
      int status = Child([&] {
        File* f = FileF_File(files.file("k.c").c_str(), true, 0);
        if (!f || incr_AcquireLock(f) != 1) _exit(3);
        c.edit(f);
        g_written = 0;
        FileSaveWriteObserver = [](int64_t, int64_t n) {
          if (g_written + n > g_limit) raise(SIGKILL);
          g_written += n;
        };
        _exit(FileSave(f, nullptr, nullptr) == 1 ? 0 : 4);
      });
      const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
      ASSERT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
          << c.what << ": child status " << status;
      ClearChildTemps();
      EXPECT_EQ(Recovered("k.c"), expected)
          << c.what << ", killed after " << limit << " of " << total << " bytes";
      EXPECT_FALSE(Exists(LockOf("k.c"))) << c.what;
      EXPECT_FALSE(Exists(BaseOf("k.c"))) << c.what;
      if (!killed) {
        EXPECT_EQ(Disk(files.file("k.c")), expected) << c.what;
      }
    }
  }
}

// The saved file reaches the disk while its journal still exists; a file
// the save creates is made durable in its directory too; a journal is
// synced before it replaces the previous one.
TEST_F(DurabilityTest, SavesAndJournalsAreSynced) {
  File* f = Load("s.c", Numbered(100));
  ASSERT_EQ(incr_AcquireLock(f), 1);
  Edit(f, 50, 0, 50, 0, "changed ");
  ASSERT_EQ(incr_SaveEdits(f), 1);
  EXPECT_TRUE(SyncedStartingWith(LockOf("s.c"))) << "the journal before its rename";
  EXPECT_TRUE(Synced(files.path(), false)) << "the directory after the rename";

  g_syncs.clear();
  g_watched_lock = LockOf("s.c");
  Edit(f, 1, 0, 1, 0, "again ");
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  EXPECT_TRUE(Synced(files.file("s.c"), true)) << "synced before the journal went";
  EXPECT_FALSE(Exists(LockOf("s.c")));

  g_syncs.clear();
  File* fresh = FileFName(files.file("new.c").c_str(), 0);
  ASSERT_NE(fresh, nullptr);
  AppendLine(fresh, "new text");
  ASSERT_EQ(FileSave(fresh, nullptr, nullptr), 1);
  EXPECT_TRUE(Synced(files.file("new.c"), false));
  EXPECT_TRUE(Synced(files.path(), false)) << "a new name is durable in its directory";
}

// Another program rewrites the file within the same second, with the same
// size: the save asks, and "Save Anyway" writes exactly the editor's text,
// not the other program's prefix with the editor's tail.
TEST_F(DurabilityTest, AChangeWithinTheSameSecondIsNoticed) {
  std::string path = files.write("t.c", Numbered(2000));
  File* f = Load("t.c", Numbered(2000));
  AppendLine(f, "mine");
  const std::string expected = Text(f);
  struct stat before;
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  int fd = open(path.c_str(), O_WRONLY);
  ASSERT_EQ(pwrite(fd, "THEIRS", 6, 0), 6);
  close(fd);
  struct timespec same_second = before.st_mtim;
  same_second.tv_nsec = same_second.tv_nsec == 999999999 ? 1 : same_second.tv_nsec + 1;
  struct timespec times[2] = {same_second, same_second};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(FileFileChanged(f), 1);

  answers["File changed, save anyway?"] = "Save Anyway";
  ASSERT_EQ(FileSave(f, nullptr, nullptr), 1);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back().title, "File changed, save anyway?");
  EXPECT_EQ(Disk(path), expected);

  // A file replaced by another of the same size and time is another file.
  std::string other = files.write("t.c.new", Disk(path));
  struct stat now;
  ASSERT_EQ(stat(path.c_str(), &now), 0);
  struct timespec copied[2] = {now.st_atim, now.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, other.c_str(), copied, 0), 0);
  ASSERT_EQ(rename(other.c_str(), path.c_str()), 0);
  EXPECT_EQ(FileFileChanged(f), 1) << "same size and time, another inode";
}

// A cleaner of temporary directories removes the copy while the file is
// open, and the file's descriptor has been pushed out of the descriptor
// cache: the unchanged lines are still there to be shown and saved.
TEST_F(DurabilityTest, ARemovedTemporaryCopyKeepsTheUnchangedLines) {
  std::string path = files.file("big.c");
  File* f = Load("big.c", Numbered(3000));
  ASSERT_EQ(incr_AcquireLock(f), 1);
  Edit(f, 1, 0, 1, 4, "LINE");
  const std::string expected = Text(f);
  ASSERT_EQ(unlink(f->tempName), 0);
  for (int i = 0; i < 6; ++i) {
    File* other = Load("o" + std::to_string(i), "other\n");
    CacheOpen(other->tempName, false);
  }
  f->cacheBase = -1;
  // A base copy can still be made from it (copied now: it has no name to
  // link to).
  ASSERT_EQ(incr_SaveEdits(f, 0), 1);
  EXPECT_EQ(Disk(BaseOf("big.c")), Numbered(3000));
  int saved = 0;
  int jumped = WithRecoveryPoint([&] {
    EXPECT_EQ(Text(f), expected);
    saved = FileSave(f, nullptr, nullptr);
  });
  EXPECT_EQ(jumped, 0);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(Disk(path), expected);
  EXPECT_EQ(Text(f), expected) << "and after the save";
}

// An interrupt is acted on by the loop, not inside the signal handler:
// the changed file's journal is brought up to date and kept, the unchanged
// file's lock goes, and so do the temporary copies.
TEST_F(DurabilityTest, AnInterruptKeepsTheJournalsOfChangedFilesOnly) {
  files.write("c.c", "one\ntwo\n");
  files.write("u.c", "same\n");
  int status = Child([&] {
    File* changed = FileF_File(files.file("c.c").c_str(), true, 0);
    File* unchanged = FileF_File(files.file("u.c").c_str(), true, 0);
    if (!changed || !unchanged) _exit(3);
    incr_AcquireLock(changed);
    incr_AcquireLock(unchanged);
    Edit(changed, 2, 0, 2, 3, "TWO");
    WWatchTerminationSignals([](int sig) {
      FilesKeepJournals();
      FilesAbort();
      _exit(sig == SIGINT ? 1 : 2);
    });
    raise(SIGINT);
    // Still here: the handler only noted the signal.
    long next = 0;
    ExtraProcess_Wait(&next);
    _exit(5);
  });
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_TRUE(ChildTempsEmpty()) << "the temporary copies are deleted";
  EXPECT_FALSE(Exists(LockOf("u.c"))) << "nothing unsaved: the lock goes";
  ASSERT_TRUE(Exists(LockOf("c.c")));
  EXPECT_EQ(Recovered("c.c"), "one\nTWO\n");
}

// A second interrupt before the loop took the first (the editor is busy):
// the process goes at once, from the handler, deleting the temporary
// copies with plain system calls and leaving the journal as it was.
TEST_F(DurabilityTest, ASecondInterruptBeforeTheLoopTookTheFirstLeavesAtOnce) {
  files.write("b.c", "one\n");
  int status = Child([&] {
    File* f = FileF_File(files.file("b.c").c_str(), true, 0);
    if (!f || incr_AcquireLock(f) != 1) _exit(3);
    Edit(f, 1, 0, 1, 0, "journalled ");
    incr_SaveEdits(f);
    gen_trap_cleanup = FilesAbortFromSignal;
    WWatchTerminationSignals([](int) { _exit(5); });
    raise(SIGINT);
    raise(SIGINT);
    _exit(6);
  });
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_TRUE(ChildTempsEmpty());
  EXPECT_EQ(Recovered("b.c"), "journalled one\n");
}

}  // namespace
