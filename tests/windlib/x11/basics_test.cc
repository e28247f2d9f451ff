// Colours, key names, the directory listing, selections and the main loop's wait
// without a display.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "shared/libcxxutil/idle_notifier.h"
#include "support/temp_dir.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfilelist.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wselection.h"

namespace {

TEST(Color, NumericFormsAndCommonNamesParseAndJunkIsRefused) {
  WColor c = 0x123456;
  for (const std::string row : {"#ff8000 = ff8000", "#f80 = ff8800", "#ffff80000000 = ff8000",
                                "rgb:ff/80/0 = ff8000", "Light Gray = d3d3d3"}) {
    const size_t at = row.find(" = ");
    EXPECT_TRUE(WParseColor(row.substr(0, at), &c)) << row;
    EXPECT_EQ(c, std::stoul(row.substr(at + 3), nullptr, 16)) << row;
  }
  c = 0x123456;
  for (const char* bad :
       {"", "#", "#12345", "#gg0000", "rgb:1/2", "nosuchcolour", "#1234567890abc"})
    EXPECT_FALSE(WParseColor(bad, &c)) << bad;
  EXPECT_EQ(c, 0x123456u);
  EXPECT_EQ(WColorOr(nullptr, 7), 7u);
  EXPECT_EQ(WColorOr("bogus", 7), 7u);
}

TEST(Keys, NamesRoundTripAndModifiersAreKnown) {
  EXPECT_EQ(WKeyName(WK_Return), "Return");
  EXPECT_EQ(WKeyName(WK_Prior), "Prior");
  EXPECT_EQ(WKeyName('a'), "a");
  EXPECT_EQ(WKeyName(WKeyF(12)), "F12");
  EXPECT_EQ(WKeyName(WK_None), "");
  EXPECT_EQ(WKeyFromName("BackSpace"), static_cast<uint32_t>(WK_BackSpace));
  EXPECT_EQ(WKeyFromName("no such key"), static_cast<uint32_t>(WK_None));
  EXPECT_TRUE(WKeyIsModifier(WK_Shift_L));
  EXPECT_TRUE(WKeyIsModifier(WK_Alt_R));
  EXPECT_FALSE(WKeyIsModifier('a'));
}

TEST(FileList, FiltersHiddenNamesAndSortsDirectoriesFirst) {
  oetest::TempDir dir;
  for (const char* f : {"z.c", "a.c", "m.h", "readme", ".profile"}) dir.write(f, "");
  mkdir(dir.file("zdir").c_str(), 0755);
  mkdir(dir.file("adir").c_str(), 0755);
  std::vector<WFileEntry> e;
  std::string error;
  ASSERT_TRUE(WListDirectory(dir.path(), "*.c;*.h", &e, &error));
  std::vector<std::string> names;
  for (const WFileEntry& x : e) names.push_back(x.name + (x.directory ? "/" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"../", "adir/", "zdir/", "a.c", "m.h", "z.c"}));
  ASSERT_TRUE(WListDirectory(dir.path(), ".*", &e, &error));
  EXPECT_EQ(e.back().name, ".profile");
  ASSERT_TRUE(WListDirectory("/", "nothing-matches-this", &e, &error));
  EXPECT_NE(e.front().name, "..");  // the root has no parent entry
  EXPECT_FALSE(WListDirectory(dir.file("missing"), "", &e, &error));
  EXPECT_NE(error.find("missing"), std::string::npos);
  EXPECT_TRUE(WFilterMatches("", "anything"));
  EXPECT_TRUE(WFilterMatches("*.c, *.h", "x.h"));
  EXPECT_FALSE(WFilterMatches("*.c", ".x.c"));  // wildcards do not match a leading dot
}

TEST(FileList, PathsResolveRelativeToTheDirectoryAndHome) {
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(WResolvePath("/usr/src", "lib/../include/./x.h"), "/usr/src/include/x.h");
  EXPECT_EQ(WResolvePath("/usr/src", "/etc//passwd"), "/etc/passwd");
  EXPECT_EQ(WResolvePath("/usr/src", "~/notes"), "/home/someone/notes");
  EXPECT_EQ(WResolvePath("/usr/src", "~"), "/home/someone");
  EXPECT_EQ(WResolvePath("/", "../../.."), "/");
  EXPECT_EQ(WResolvePath("/a", "~user"), "/a/~user");  // only ~ and ~/ expand
  EXPECT_TRUE(WHasWildcard("*.c"));
  EXPECT_TRUE(WHasWildcard("file[12]"));
  EXPECT_FALSE(WHasWildcard("plain.c"));
}

TEST(Selection, OwnedSelectionsAreKeptPerNameAndRequestsAnswerLater) {
  ASSERT_TRUE(WSelectionOwn("CLIPBOARD_S", "rect\nangle", kWSelRectangle));
  ASSERT_TRUE(WSelectionOwn("PRIMARY", "prim"));
  std::string bytes;
  int type = 0;
  ASSERT_TRUE(WSelectionOwned("CLIPBOARD_S", &bytes, &type));
  EXPECT_EQ(bytes, "rect\nangle");
  EXPECT_EQ(type, kWSelRectangle);
  EXPECT_FALSE(WSelectionOwned("CLIPBOARD_C"));
  EXPECT_FALSE(WSelectionOwn("", "x"));

  std::vector<std::string> got;
  WSelectionRequest("CLIPBOARD_S", [&](bool ok, const std::string& b) {
    got.push_back((ok ? "ok:" : "no:") + b);
  });
  WSelectionRequest("CLIPBOARD_CS", [&](bool ok, const std::string& b) {
    got.push_back((ok ? "ok:" : "no:") + b);
  });
  // Changing the selection after the request does not change what it gets.
  WSelectionOwn("CLIPBOARD_S", "changed");
  EXPECT_TRUE(got.empty());
  WEventAll(0);
  EXPECT_EQ(got, (std::vector<std::string>{"ok:rect\nangle", "no:"}));
  WSelectionDisown("CLIPBOARD_S");
  WSelectionDisown("PRIMARY");
  EXPECT_FALSE(WSelectionOwned("PRIMARY"));
  WSelectionDisown("PRIMARY");  // twice: nothing happens
}

}  // namespace

namespace {

// The main loop's two calls without a display: WYield sleeps in the central
// wait until a registered descriptor is ready, WEventAll runs its handler.
class PipeReader : public SocketListener {
 public:
  explicit PipeReader(int fd) : fd_(fd) {}
  bool hasFD() override { return true; }
  int getFD() override { return fd_; }
  bool wantsToRead() override { return true; }
  bool wantsToWrite() override { return false; }
  bool wantsToDequeueAndDispatch() override { return false; }
  bool wantsToStop() override { return false; }
  void handleRead() override {
    char buf[16];
    ssize_t n = read(fd_, buf, sizeof buf);
    if (n > 0) got.append(buf, static_cast<size_t>(n));
  }
  void handleWrite() override {}
  void handleDequeueAndDispatch() override {}
  void handleStop() override {}
  std::string got;

 private:
  int fd_;
};

TEST(MainLoop, YieldWakesForADescriptorAndEventAllHandlesIt) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  PipeReader reader(fds[0]);
  getIdleNotifier()->addSocketListener(&reader);
  ASSERT_EQ(write(fds[1], "ping", 4), 4);
  int64_t start = IdleNotifier::now();
  WYield(5000);
  EXPECT_LT(IdleNotifier::now() - start, 2000);
  EXPECT_EQ(reader.got, "");  // the wait only marks; the next round handles
  WEventAll(0);
  EXPECT_EQ(reader.got, "ping");
  // Nothing ready: the wait lasts its time.
  start = IdleNotifier::now();
  WYield(60);
  EXPECT_GE(IdleNotifier::now() - start, 50);
  getIdleNotifier()->removeSocketListener(&reader);
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
