// UTF-8 text between the editor and other X clients: what is selected goes
// out as the same bytes, whichever form is asked for, and Latin-1 from a
// client that offers only STRING comes in as UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class Utf8Text : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }
  std::string Clip(const std::string& target) {
    oetest::RunResult r =
        s.x().Tool({"xclip", "-o", "-selection", "clipboard", "-t", target}, 20000);
    return r.status == 0 ? r.out : "<no selection>";
  }
  EditorSession s;
};

// "héllo wörld // ünïcödé", each escape ended where a hex digit follows.
const char kLine[] =
    "h\xc3\xa9llo w\xc3\xb6rld // \xc3\xbcn\xc3\xaf"
    "c\xc3\xb6"
    "d\xc3\xa9\n";

TEST_F(Utf8Text, SelectedCharactersGoOutAsTheSameBytes) {
  s.dir().write("u.txt", kLine);
  s.Start({"u.txt"});
  ASSERT_FALSE(s.FocusWindow("u\\.txt").empty());
  // From after "héllo " to the end of the line, moving by characters.
  ASSERT_TRUE(s.Command("SOF; Word; Right; ContinueSelection; EOL"));
  s.Keys({"ctrl+c"});
  const std::string selected = std::string(kLine).substr(7, std::string(kLine).size() - 8);
  EXPECT_EQ(Clip("UTF8_STRING"), selected);
  EXPECT_EQ(Clip("STRING"), selected) << "the bytes as they are";
  EXPECT_EQ(s.Text(), kLine) << "the file is unchanged";
}

TEST_F(Utf8Text, Latin1FromAStringOnlyClientComesInAsUtf8) {
  s.dir().write("u.txt", "x\n");
  s.dir().write("latin1", "caf\xe9");
  s.Start({"u.txt"});
  ASSERT_FALSE(s.FocusWindow("u\\.txt").empty());
  s.x().Tool({"sh", "-c",
              "xclip -selection clipboard -t STRING -i " + s.dir().path() +
                  "/latin1 >/dev/null 2>&1 </dev/null"});
  s.Settle();
  ASSERT_TRUE(s.Command("SOF"));
  s.Keys({"ctrl+v"});
  s.Settle(500);
  EXPECT_EQ(s.Text(), "caf\xc3\xa9x\n");
}

}  // namespace
