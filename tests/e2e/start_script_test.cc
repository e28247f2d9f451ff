// The start script as a user runs it: from a directory of their own, on a
// file named relative to it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "support/editor_session.h"

namespace {

std::string dir_of(const std::string& path) { return path.substr(0, path.rfind('/')); }

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

TEST(StartScript, OpensTheCallersFileByItsRelativeName) {
  oetest::EditorSession s;
  ASSERT_TRUE(s.displayOk()) << "Xvfb did not start";
  const std::string name = "start_script_probe.c";
  const std::string path = s.dir().write(name, "int x;\n");
  const std::string stray = std::string(OE_SOURCE_DIR) + "/" + name;
  std::remove(stray.c_str());
  // The build is the one the tests run from, so the script builds nothing.
  oetest::Process p({"bash", std::string(OE_SOURCE_DIR) + "/scripts/start.sh", name},
                    {{"DISPLAY", s.x().display()},
                     {"HOME", s.dir().path()},
                     {"TMPDIR", s.temps().path()},
                     {"OE_BUILD_DIR", dir_of(OE_BINARY)}},
                    s.dir().path());
  std::string win = s.Window("^start_script_probe\\.c", 180000);
  ASSERT_FALSE(win.empty()) << "no window titled with the file: " << p.Wait(1000).err;
  ASSERT_TRUE(s.Focus(win));
  s.Type("y");
  s.Keys({"ctrl+s"});
  std::string text;
  for (int i = 0; i < 50 && (text = oetest::TempDir::read(path)) != "yint x;\n"; ++i) s.Settle(100);
  EXPECT_EQ(text, "yint x;\n") << "the caller's file was opened and saved";
  EXPECT_FALSE(exists(stray)) << "nothing made in the checkout";
  std::remove(stray.c_str());
}

}  // namespace
