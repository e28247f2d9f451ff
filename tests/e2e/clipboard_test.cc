// The editor's selections as other X clients see them: text selected with
// the mouse is PRIMARY, the copy and paste keys use CLIPBOARD, and large
// contents go both ways whole, in pieces.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class Clipboard : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }
  // Another client owns CLIPBOARD with the contents of `file` and serves
  // it from the background.
  void OfferClipboard(const std::string& file) {
    s.x().Tool({"sh", "-c",
                "xclip -selection clipboard -i " + s.dir().path() + "/" + file +
                    " >/dev/null 2>&1 </dev/null"});
    s.Settle();
  }
  std::string Clip() {
    oetest::RunResult r = s.x().Tool({"xclip", "-o", "-selection", "clipboard"}, 20000);
    return r.status == 0 ? r.out : "<no selection>";
  }
  EditorSession s;
};

TEST_F(Clipboard, WordSelectedWithTheMouseIsPrimary) {
  s.dir().write("a.txt", "w1 second\nw2 second\nw3 second\n");
  s.Start({"a.txt"});
  std::string w = s.FocusWindow("a\\.txt");
  ASSERT_FALSE(w.empty());
  // A double click in the second word of a line near the top.
  s.x().Tool({"xdotool", "mousemove", "--window", w, "60", "40"});
  s.x().Tool({"xdotool", "click", "--repeat", "2", "--delay", "60", "1"});
  s.Settle();
  EXPECT_EQ(s.Primary(), "second");
  // Another program taking PRIMARY makes the editor let go of it.
  s.x().Tool({"sh", "-c", "printf other | xclip -selection primary >/dev/null 2>&1"});
  s.Settle();
  EXPECT_EQ(s.Primary(), "other");
}

TEST_F(Clipboard, CopyKeyOffersTheSelectionAsClipboard) {
  s.dir().write("a.txt", "hello world\nsecond line\n");
  s.Start({"a.txt"});
  ASSERT_FALSE(s.FocusWindow("a\\.txt").empty());
  ASSERT_TRUE(s.Command("SOF; ContinueSelection; Word"));
  s.Keys({"ctrl+c"});
  EXPECT_EQ(Clip(), "hello");
  // Cut takes the text out and still offers it.
  ASSERT_TRUE(s.Command("Down; SOL0; ContinueSelection; Down"));
  s.Keys({"ctrl+x"});
  EXPECT_EQ(Clip(), "second line\n");
  EXPECT_EQ(s.Text(), "hello world\n");
}

TEST_F(Clipboard, PasteKeyTakesAnotherClientsClipboard) {
  s.dir().write("a.txt", "one two\n");
  s.dir().write("clip", "pasted ");
  s.Start({"a.txt"});
  ASSERT_FALSE(s.FocusWindow("a\\.txt").empty());
  OfferClipboard("clip");
  ASSERT_TRUE(s.Command("SOF; Word; Right"));
  s.Keys({"ctrl+v"});
  s.Settle(500);
  EXPECT_EQ(s.Text(), "one pasted two\n");
}

TEST_F(Clipboard, TenMegabytesGoBothWaysWhole) {
  std::string big;
  for (int i = 0; big.size() < 10u * 1024 * 1024; ++i)
    big += "line " + std::to_string(i) + " of a large clipboard, padded out to some width\n";
  s.dir().write("a.txt", "");
  s.dir().write("big", big);
  s.Start({"a.txt"});
  ASSERT_FALSE(s.FocusWindow("a\\.txt").empty());
  // Another client serves CLIPBOARD once: it ends when the editor has
  // taken the whole text.
  std::chrono::steady_clock::time_point served;
  std::thread owner([&] {
    s.x().Tool(
        {"xclip", "-quiet", "-loops", "1", "-selection", "clipboard", "-i", s.dir().file("big")},
        30000);
    served = std::chrono::steady_clock::now();
  });
  s.Settle(500);
  auto t0 = std::chrono::steady_clock::now();
  s.x().Tool({"xdotool", "key", "ctrl+v"});
  owner.join();
  // The paste is in when the whole text reads back through PRIMARY. The
  // prompt is asked for once and waited for, however long the paste takes
  // on a loaded machine.
  std::string back = s.Text(120000);
  auto t1 = std::chrono::steady_clock::now();
  EXPECT_EQ(back.size(), big.size());
  EXPECT_TRUE(back == big) << "the text arrived whole";
  // And the editor's copy goes out whole to another client.
  ASSERT_TRUE(s.Command("SelectAll; Copy1; NoSelection"));
  auto t2 = std::chrono::steady_clock::now();
  std::string out = Clip();
  auto t3 = std::chrono::steady_clock::now();
  EXPECT_EQ(out.size(), big.size());
  EXPECT_TRUE(out == big);
  auto ms = [](auto a, auto b) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count());
  };
  printf(
      "10 MB: taken from another client %ld ms (paste and read back %ld ms), read by another "
      "client %ld ms\n",
      ms(t0, served), ms(t0, t1), ms(t2, t3));
}

}  // namespace
