#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "shared/indgen/indgen.h"
#include "support/temp_dir.h"

namespace {

class TempNames : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("BUILDER_TEMPORARY_NAME");
    setenv("TMPDIR", dir.path().c_str(), 1);
    gen_reset_temp_dir();
  }
  void TearDown() override {
    unsetenv("TMPDIR");
    gen_reset_temp_dir();
  }
  oetest::TempDir dir;
};

std::string take(char* s) {
  std::string out = s ? s : "<none>";
  gen_free(s);
  return out;
}

std::string pid_base32() {
  const char* digits = "0123456789abcdefghijklmnopqrstuv";
  unsigned long pid = static_cast<unsigned long>(getpid());
  std::string out;
  for (int shift = 30; shift >= 0; shift -= 5) {
    unsigned d = (pid >> shift) & 31;
    if (d || !out.empty()) out += digits[d];
  }
  return out;
}

TEST_F(TempNames, TmpdirIsPreferredWhenWritable) {
  EXPECT_EQ(std::string(gen_temp_dir(nullptr)), dir.path());
  setenv("TMPDIR", "/nonexistent/dir", 1);
  gen_reset_temp_dir();
  std::string chosen = gen_temp_dir(nullptr);
  EXPECT_TRUE(chosen == "/var/tmp/" || chosen == "/tmp") << chosen;
  // A writable preferred directory wins over the system ones.
  EXPECT_EQ(std::string(gen_temp_dir(dir.path().c_str())), dir.path());
}

TEST_F(TempNames, NamesCarryPidAndCounterAndDifferOnlyInCounter) {
  std::string a = take(gen_tempname(nullptr, ".tmp"));
  std::string b = take(gen_tempname(nullptr, "tmp"));
  std::string prefix = dir.path() + "/kv_" + pid_base32();
  ASSERT_TRUE(a.starts_with(prefix) && b.starts_with(prefix)) << a << " " << b;
  EXPECT_NE(a, b);
  EXPECT_TRUE(a.ends_with(".tmp") && b.ends_with(".tmp")) << a << " " << b;
  EXPECT_EQ(a.find(".."), std::string::npos);
}

TEST_F(TempNames, ExistingNamesAreSkipped) {
  std::string a = take(gen_tempname(nullptr, "x"));
  // Occupy the next few names the counter will produce: derive them by
  // asking for names and creating them before asking again.
  for (int i = 0; i < 3; ++i) {
    std::string n = take(gen_tempname(nullptr, "x"));
    dir.write(n.substr(dir.path().size() + 1), "");
  }
  std::string later = take(gen_tempname(nullptr, "x"));
  struct stat st;
  EXPECT_NE(stat(later.c_str(), &st), 0) << "returned a name that exists";
  EXPECT_NE(later, a);
}

TEST_F(TempNames, TwoNamesShareAStemAndAreFreeTogether) {
  char *n1 = nullptr, *n2 = nullptr;
  ASSERT_EQ(tmp2name(nullptr, "a", "/tmp", "b", &n1, &n2), 1);
  std::string s1 = take(n1), s2 = take(n2);
  std::string stem1 = s1.substr(s1.rfind('/') + 1);
  std::string stem2 = s2.substr(s2.rfind('/') + 1);
  EXPECT_EQ(stem1.substr(0, stem1.size() - 1), stem2.substr(0, stem2.size() - 1));
  EXPECT_EQ(s2.substr(0, 5), "/tmp/");
}

TEST_F(TempNames, BuilderStemReplacesGeneratedStem) {
  setenv("BUILDER_TEMPORARY_NAME", "build", 1);
  EXPECT_EQ(take(gen_tempname(nullptr, ".o")), dir.path() + "/build.o");
  setenv("BUILDER_TEMPORARY_NAME", "b.", 1);
  EXPECT_EQ(take(gen_tempname(nullptr, "s")), dir.path() + "/b.s");
  unsetenv("BUILDER_TEMPORARY_NAME");
}

TEST_F(TempNames, MkstempCreatesPrivateFile) {
  char* name = nullptr;
  int fd = gen_mkstemp(nullptr, "t", &name);
  ASSERT_GE(fd, 0);
  struct stat st;
  ASSERT_EQ(fstat(fd, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  close(fd);
  unlink(name);
  gen_free(name);
}

TEST_F(TempNames, TempDirNamesCountThroughAll1296) {
  std::string first = take(gen_tmpdirname());
  char expect[16];
  snprintf(expect, sizeof expect, "kv%04Xaa", static_cast<unsigned>(getpid()) & 0xFFFFu);
  EXPECT_EQ(first, dir.path() + "/" + expect);

  const std::string letters = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string stem(expect, 6);
  for (char a : letters)
    for (char b : letters) ASSERT_EQ(mkdir((dir.path() + "/" + stem + a + b).c_str(), 0700), 0);
  EXPECT_EQ(gen_tmpdirname(), nullptr);
  EXPECT_EQ(gen_createtmpdir(0700), nullptr);
}

TEST_F(TempNames, TempDirSecondNameAdvancesLastCharacterFirst) {
  char* made = gen_createtmpdir(0700);
  ASSERT_NE(made, nullptr);
  std::string second = take(gen_tmpdirname());
  EXPECT_EQ(second.substr(second.size() - 2), "ab");
  rmdir(made);
  gen_free(made);
}

}  // namespace
