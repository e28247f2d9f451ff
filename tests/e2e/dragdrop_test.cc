// Dragging the selection with the mouse in the real editor: the dragged
// lines move to where button 1 is let go, or are copied there when Control
// is held, and the saved file has them there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class DragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(s.displayOk()) << "Xvfb did not start";
    ASSERT_EQ(mkdir(s.dir().file(".kvx").c_str(), 0755), 0);
    s.dir().write(".kvx/oe.cfg", "draganddrop on\n");
  }
  // Starts the editor on `name` holding `text`.
  void Start(const std::string& name, const std::string& text) {
    s.dir().write(name, text);
    s.Start({name});
    w = s.FocusWindow(name);
    ASSERT_FALSE(w.empty());
  }
  // Presses button 1 on the second line (inside a selection of the first
  // three), moves in steps and lets go below the last line, which is the
  // end of the text.
  void DragToTheEnd(bool control) {
    auto x = [this](std::vector<std::string> args) {
      args.insert(args.begin(), "xdotool");
      s.x().Tool(args);
      s.Settle(60);
    };
    if (control) x({"keydown", "ctrl"});
    x({"mousemove", "--window", w, "60", "45"});
    x({"mousedown", "1"});
    for (const char* y : {"70", "120", "200", "300"}) x({"mousemove", "--window", w, "60", y});
    x({"mouseup", "1"});
    if (control) x({"keyup", "ctrl"});
    s.Settle();
  }
  std::string Saved() {
    s.Keys({"ctrl+s"});
    s.Settle(300);
    return oetest::TempDir::read(s.dir().file("a.txt"));
  }
  EditorSession s;
  std::string w;
};

TEST_F(DragDrop, DraggedLinesMoveAndWithControlAreCopied) {
  Start("a.txt", "aaaaaaaa 1\naaaaaaaa 2\naaaaaaaa 3\nbbbb 4\nbbbb 5\n");
  ASSERT_TRUE(s.Command("SOF; ContinueSelection; LineD 4"));
  DragToTheEnd(false);
  EXPECT_EQ(Saved(), "bbbb 4\nbbbb 5\naaaaaaaa 1\naaaaaaaa 2\naaaaaaaa 3\n") << "moved";
  ASSERT_TRUE(s.Command("SOF; ContinueSelection; LineD 4"));
  DragToTheEnd(true);
  EXPECT_EQ(Saved(),
            "bbbb 4\nbbbb 5\naaaaaaaa 1\naaaaaaaa 2\naaaaaaaa 3\nbbbb 4\nbbbb 5\naaaaaaaa 1\n")
      << "copied";
}

TEST_F(DragDrop, HeldBelowTheTextTheViewScrollsAndTheTextLandsFurtherDown) {
  std::string many;
  for (int i = 1; i <= 400; ++i) many += "line " + std::to_string(i) + "\n";
  Start("b.txt", many);
  ASSERT_TRUE(s.Command("SOF; ContinueSelection; LineD 4"));
  auto x = [this](std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    s.x().Tool(args);
    s.Settle(60);
  };
  x({"mousemove", "--window", w, "60", "45"});
  x({"mousedown", "1"});
  x({"mousemove", "--window", w, "60", "200"});
  // Held below the window's text for a while, then back inside to drop.
  x({"mousemove", "--window", w, "60", "700"});
  s.Settle(1500);
  x({"mousemove", "--window", w, "60", "300"});
  x({"mouseup", "1"});
  s.Keys({"ctrl+s"});
  s.Settle(300);
  const std::string saved = oetest::TempDir::read(s.dir().file("b.txt"));
  const size_t at = saved.find("line 1\nline 2\nline 3\n");
  ASSERT_NE(at, std::string::npos) << saved.substr(0, 200);
  EXPECT_EQ(saved.substr(0, 7), "line 4\n") << "the lines moved away from the top";
  const long lines_before = std::count(saved.begin(), saved.begin() + static_cast<long>(at), '\n');
  EXPECT_GT(lines_before, 45) << "dropped below the first screen: the view scrolled";
  EXPECT_EQ(saved.size(), many.size());
}

}  // namespace
