// Searching as a user meets it: the incremental search keys and the
// Searcher dialog, with the result written by the save key.
#include <gtest/gtest.h>

#include <string>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

class Searching : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }
  EditorSession s;
};

TEST_F(Searching, TypingAfterAnIncrementalSearchReplacesTheMatch) {
  s.dir().write("f.c", "alpha beta gamma beta\n");
  s.Start({"f.c"});
  ASSERT_FALSE(s.FocusWindow("f\\.c", 40000).empty());
  s.Keys({"ctrl+f"});
  s.Type("bet");
  s.Keys({"Return"});
  s.Type("X");
  s.Keys({"ctrl+s"});
  s.Settle(300);
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("f.c")), "alpha Xa gamma beta\n");
}

TEST_F(Searching, TheSearchersReplaceAllIsSavedByTheSaveKey) {
  s.dir().write("g.c", "cat dog\ncatalog cat\n");
  s.Start({"g.c"});
  // Start-up on a busy machine may take a while.
  std::string editor = s.FocusWindow("g\\.c", 40000);
  ASSERT_FALSE(editor.empty());
  s.Keys({"ctrl+shift+f"});
  ASSERT_FALSE(s.FocusWindow("Searcher for .*g\\.c", 15000).empty())
      << "Ctrl+Shift+f opens the Searcher";
  s.Type("cat");
  s.Keys({"Tab"});
  s.Type("cow");
  // From the replacement field: seven options, then Find, Replace,
  // Replace Then Find, Find Then Replace and Replace All.
  for (int i = 0; i < 12; ++i) s.Keys({"Tab"});
  s.Keys({"space"});
  s.Settle(300);
  ASSERT_TRUE(s.Focus(editor));
  s.Keys({"ctrl+s"});
  s.Settle(300);
  EXPECT_EQ(oetest::TempDir::read(s.dir().file("g.c")), "cow dog\ncowalog cow\n");
}

}  // namespace
