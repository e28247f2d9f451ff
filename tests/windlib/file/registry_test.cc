#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <string>

#include "file_fixture.h"
#include "windlib/file/tempregistry.h"
#include "windlib/file/undo.h"

namespace {

using oetest::FileTest;
using Strings = std::vector<std::string>;

TEST_F(FileTest, SecondPathToTheSameFileFindsTheRecord) {
  File* f = Load("a.c", "int a;\n");
  std::string dir = files.path();
  mkdir((dir + "/sub").c_str(), 0755);
  ASSERT_EQ(symlink(dir.c_str(), (dir + "/sub/link").c_str()), 0);
  std::string other = dir + "/sub/link/a.c";
  EXPECT_EQ(FileFLookup(other.c_str()), f);
  EXPECT_EQ(std::string(f->name), other) << "no window shows it: the name follows";
  std::string dotted = dir + "/./a.c";
  EXPECT_EQ(FileFName(dotted.c_str(), 0), f);
  // A bare base name finds the first listed file with it.
  EXPECT_EQ(FileFLookup("a.c"), f);
  EXPECT_EQ(FileFLookup("b.c"), nullptr);
}

TEST_F(FileTest, SameBaseNameButDifferentFileIsNotFound) {
  File* f = Load("a.c", "one\n");
  std::string dir = files.path();
  mkdir((dir + "/d").c_str(), 0755);
  std::string other = files.write("d/a.c", "one\n");
  File* g = FileFName(other.c_str(), 0);
  ASSERT_NE(g, nullptr);
  EXPECT_NE(g, f);
  EXPECT_EQ(FileHead(), g) << "new records go to the front";
}

TEST_F(FileTest, NewFileHasModeAndNoLines) {
  std::string path = files.file("new.c");
  File* f = FileFName(path.c_str(), 0);
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->isNew);
  EXPECT_EQ(f->mode, 0664u);
  EXPECT_EQ(f->nLines, 0);
  EXPECT_NE(f->tempName, nullptr);
}

TEST_F(FileTest, AccessCheckMessages) {
  struct stat st;
  std::string dir = files.path();
  mkdir((dir + "/d").c_str(), 0755);
  files.write("plain", "x");
  EXPECT_EQ(FileCanAccess((dir + "/d").c_str(), &st), -1);
  EXPECT_EQ(FileCanAccess((dir + "/plain/x").c_str(), &st), -1);
  EXPECT_EQ(FileCanAccess((dir + "/missing").c_str(), &st), 0);
  EXPECT_EQ(FileCanAccess((dir + "/plain").c_str(), &st), 2);
  EXPECT_EQ(reports, (Strings{"Cannot edit a directory: " + dir + "/d",
                              "Invalid directory: " + dir + "/plain/x"}));
  EXPECT_EQ(FileF_File((dir + "/d").c_str(), true, 0), nullptr);
}

// Permission checks need an unprivileged process: root may read anything.
// Gives FileCanAccess's result; what it reports goes to stderr.
int access_as_nobody(const std::string& path) {
  pid_t pid = fork();
  if (pid == 0) {
    if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
    WSetScriptedResponder([](const WAskRequest& r) {
      fprintf(stderr, "%s\n", r.text.c_str());
      return WAskReply{};
    });
    _exit(FileCanAccess(path.c_str(), nullptr) + 10);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) - 10 : -99;
}

TEST_F(FileTest, PermissionsDecideReadOnlyAndRefusalWithExactMessages) {
  std::string dir = files.path();
  chmod(dir.c_str(), 0755);
  std::string ro = files.write("ro", "x");
  std::string none = files.write("none", "x");
  chmod(ro.c_str(), 0444);
  chmod(none.c_str(), 0);
  mkdir((dir + "/closed").c_str(), 0700);
  files.write("closed/f", "x");
  testing::internal::CaptureStderr();
  EXPECT_EQ(access_as_nobody(ro), 1);
  EXPECT_EQ(access_as_nobody(none), -1);
  EXPECT_EQ(access_as_nobody(dir + "/closed/f"), -1);
  EXPECT_EQ(access_as_nobody(dir + "/nothere"), -1) << "directory not writable for nobody";
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Cannot read file (protected): " + none + "\n" + "No access to directory: " + dir +
                "/closed\n" + "No such file (and no write access to directory): " + dir +
                "/nothere\n");
}

TEST_F(FileTest, InternalBufferNames) {
  File* a = FileFInternal(nullptr);
  File* b = FileFInternal("progress of make");
  File* c = FileFInternal("/tmp/out.log more");
  unlisted = {a, b, c};
  std::string an = a->name, bn = b->name, cn = c->name;
  int n = std::stoi(an.substr(9));
  EXPECT_EQ(an, "~internal" + std::to_string(n) + ".tmp");
  EXPECT_EQ(bn, "~progress" + std::to_string(n + 1) + ".tmp");
  EXPECT_EQ(cn, "/tmp/out.log" + std::to_string(n + 2) + ".tmp");
  EXPECT_TRUE(a->internal && a->isNew);
  EXPECT_FALSE(FileKnown(a));
}

TEST_F(FileTest, TempNamesCycleThroughSixtyFourCharacters) {
  char* first = TempFileName();
  std::string one = first;
  std::vector<std::string> made{one};
  for (int i = 0; i < 64; ++i) {
    char* n = TempFileName();
    made.push_back(n);
    gen_free(n);
  }
  std::string leaf0 = one.substr(one.rfind('/') + 1);
  std::string leaf64 = made[64].substr(made[64].rfind('/') + 1);
  EXPECT_EQ(leaf0.substr(0, 2), leaf64.substr(0, 2));
  EXPECT_EQ(leaf0.size(), 8u);
  EXPECT_EQ(leaf0[0], 'S');
  std::string seconds;
  for (int i = 0; i < 64; ++i) seconds += made[i][made[i].rfind('/') + 2];
  std::string sorted = seconds;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end()) << "all 64 differ";
  struct stat st;
  ASSERT_EQ(stat(one.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  for (auto& m : made) CacheClose(m.c_str());
  gen_free(first);
}

TEST_F(FileTest, SixthDescriptorEvictsTheLeastRecentlyUsed) {
  std::vector<File*> fs;
  for (int i = 0; i < 6; ++i)
    fs.push_back(Load("f" + std::to_string(i), std::string(40000, char('a' + i)) + "\nend\n"));
  for (File* f : fs) CacheOpen(f->tempName, false);
  EXPECT_EQ(CachedDescriptorCount(), 5);
  // The first file's descriptor was closed; reading it opens it again.
  Line* end = fs[0]->last;
  fs[0]->cacheBase = -1;
  EXPECT_EQ(std::string(FileLineText(fs[0], end), end->len), "end");
  EXPECT_EQ(std::string(FileLineText(fs[0], fs[0]->first), 3), "aaa");
  EXPECT_EQ(CachedDescriptorCount(), 5);
}

TEST_F(FileTest, VanishedCopyStaysReadableShrunkCopyPanicsWithoutHarmingOthers) {
  File* victim = Load("v", std::string(50000, 'v') + "\n" + std::string(50000, 'w') + "\n");
  File* other = Load("o", "other text\n");
  std::string other_before = Text(other);
  // Evict the victim's descriptor, then delete its copy.
  for (int i = 0; i < 5; ++i) {
    char* t = TempFileName();
    CacheOpen(t, false);
    CacheClose(t);
    gen_free(t);
  }
  std::vector<File*> fillers;
  for (int i = 0; i < 5; ++i) fillers.push_back(Load("fill" + std::to_string(i), "z\n"));
  for (File* f : fillers) CacheOpen(f->tempName, false);
  unlink(victim->tempName);
  victim->cacheBase = -1;
  // The registry's descriptor still reaches the removed copy.
  int jumped = WithRecoveryPoint([&] { FileLineText(victim, victim->first); });
  EXPECT_EQ(jumped, 0);
  EXPECT_EQ(Lines(victim)[0], std::string(50000, 'v'));
  EXPECT_EQ(Text(other), other_before);

  File* shrunk = Load("s", std::string(50000, 's') + "\n" + std::string(50000, 't') + "\n");
  ASSERT_EQ(truncate(shrunk->tempName, 1000), 0);
  shrunk->cacheBase = -1;
  testing::internal::CaptureStderr();
  jumped = WithRecoveryPoint([&] { FileLineText(shrunk, shrunk->last); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Tempfile shrunk\n");
  EXPECT_EQ(jumped, 1);
  EXPECT_EQ(Text(other), other_before);
}

TEST_F(FileTest, MissingDiskFileAtLoadPanics) {
  files.write("x", "1\n");
  testing::internal::CaptureStderr();
  int jumped = WithRecoveryPoint([&] {
    File* f = static_cast<File*>(gen_alloc(1, sizeof(File)));
    f->name = gen_copy(files.file("nothere").c_str());
    f->fd = -1;
    f->cacheBase = -1;
    FileFillup(f, 10);
  });
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Can't open file: " + files.file("nothere") + "\n");
  EXPECT_EQ(jumped, 1);
}

TEST_F(FileTest, InsertingAFileReplacesTheHistoryWithOneInsertion) {
  File* f = Load("base", "one\ntwo\n");
  std::string ins = files.write("ins", "A\r\nB\r\n");
  ASSERT_EQ(FilexInsertFile(f, f->last, ins.c_str()), 1);
  EXPECT_EQ(Lines(f), (Strings{"one", "A", "B", "two"}));
  EXPECT_TRUE(f->modified);
  ASSERT_NE(f->undo, nullptr);
  EXPECT_EQ(f->undo->next, nullptr);
  EXPECT_EQ(f->undo->startLine, 2);
  EXPECT_EQ(f->undo->endLine, 3);
  EXPECT_EQ(f->undo->endCol, 2);
  EXPECT_EQ(f->undo->savedLen, 0);
  EXPECT_TRUE(f->undo->flags & undoClosed);
  ASSERT_EQ(FilexInsertFile(f, nullptr, ins.c_str()), 1);
  EXPECT_EQ(Lines(f), (Strings{"one", "A", "B", "two", "A", "B"}));
  EXPECT_EQ(FilexInsertFile(f, nullptr, files.file("nope").c_str()), 0);
  EXPECT_EQ(reports.back(), "No such file: " + files.file("nope"));
}

TEST_F(FileTest, StubOutAndReload) {
  File* f = Load("s", "kept\n");
  FileStubout(f);
  EXPECT_TRUE(f->stub);
  EXPECT_EQ(f->nLines, 0);
  EXPECT_EQ(f->tempName, nullptr);
  EXPECT_EQ(FileFLookup(f->name), f);  // reloads the stub
  EXPECT_FALSE(f->stub);
  EXPECT_EQ(Lines(f), Strings{"kept"});
}

TEST_F(FileTest, AbortDeletesEveryTemporaryCopy) {
  Load("a", "1\n");
  Load("b", "2\n");
  File* internal = FileFInternal(nullptr);
  unlisted.push_back(internal);
  char* loose = TempFileName();
  EXPECT_GE(TempFiles().size(), 3u);
  FilesAbort();
  EXPECT_TRUE(TempFiles().empty());
  gen_free(loose);
}

TEST_F(FileTest, SignalPathUnlinksTemporaryCopies) {
  Load("a", "1\n");
  pid_t pid = fork();
  if (pid == 0) {
    gen_trap_cleanup = FilesAbortFromSignal;
    raise(SIGTERM);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_TRUE(TempFiles().empty());
}

}  // namespace
