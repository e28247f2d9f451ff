#include "windlib/config/settingsmanager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <random>

#include "shared/indgen/indgen.h"
#include "support/temp_dir.h"
#include "windlib/config/configdirs.h"
#include "windlib/xswitch.h"

namespace {

// A window on a 1000 x 800 display, with an optional parent and other
// windows of the application.
class FakeWindow : public SmWindow {
 public:
  SmRect rect{10, 20, 300, 200};
  bool hasParent = false;
  SmRect parent;
  SmRect display{0, 0, 1000, 800};
  std::vector<SmRect> others;

  SmRect geometry() const override { return rect; }
  bool parentGeometry(SmRect* p) const override {
    if (hasParent) *p = parent;
    return hasParent;
  }
  void setGeometry(const SmRect& r) override { rect = r; }
  SmRect displayGeometry() const override { return display; }
  std::vector<SmRect> otherWindowGeometries() const override { return others; }
};

class SettingsManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsManager::destroy();
    old_home_ = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", home_.path().c_str(), 1);
    cfg_ResetConfigDirs();
    gen_fix_clock(1700000000);
    debugFlag[xsDashRunFixes] = 0;
  }
  void TearDown() override {
    SettingsManager::destroy();
    SettingsManager::beforeReplaceHook = nullptr;
    debugFlag[xsDashRunFixes] = 0;
    gen_release_clock();
    setenv("HOME", old_home_.c_str(), 1);
    cfg_ResetConfigDirs();
  }
  std::string settings_file() const { return home_.file(".kvx/orvexsettings.odb"); }

  oetest::TempDir home_;
  std::string old_home_;
};

TEST(SettingsKeys, EveryCharacterButColonLettersAndDigitsBecomesUnderscore) {
  EXPECT_EQ(SmKeyLevels("Find dialog:x.y/z:a-b"),
            (std::vector<std::string>{"Find_dialog", "x_y_z", "a_b"}));
  EXPECT_EQ(SmKeyLevels("a::b:"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SmKeyLevels("\xc3\xa9t\xc3\xa9"), (std::vector<std::string>{"__t__"}));
  EXPECT_TRUE(SmKeyLevels(":").empty());
}

TEST_F(SettingsManagerTest, ValuesSurviveTheFileAndKeysAreFormattedAndMangled) {
  SettingsManager* sm = SettingsManager::get();
  EXPECT_EQ(sm->path(), settings_file());
  sm->setValue(42, "Edit:%s:count", "/src/a.c");
  sm->setValue(-17, "Edit:offset");
  sm->setValue("say \"hi\"\\", "Edit:%s:note", "b c");
  sm->setValue("12", "Edit:numeric_text");
  sm->setValue(1, "Flags:on");
  sm->setValue(0, "Flags:off");
  sm->setValue("maybe", "Flags:word");
  EXPECT_TRUE(sm->hasValue("Edit:_src_a_c:count"));
  SettingsManager::destroy();

  std::string text = oetest::TempDir::read(settings_file());
  EXPECT_NE(text.find("Edit._src_a_c.count=42\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Edit.offset=-17\n"), std::string::npos) << text;

  sm = SettingsManager::get();
  EXPECT_EQ(sm->getValueAsInt32(0, "Edit:/src/a.c:count"), 42);
  EXPECT_EQ(sm->getValueAsInt32(0, "Edit:offset"), -17);
  EXPECT_EQ(sm->getValueAsStr(nullptr, "Edit:b c:note"), "say \"hi\"\\");
  EXPECT_EQ(sm->getValueAsInt32(0, "Edit:numeric_text"), 12);
  EXPECT_TRUE(sm->getValueAsBool(false, "Flags:on"));
  EXPECT_FALSE(sm->getValueAsBool(true, "Flags:off"));
  // Not a number, or missing: the default.
  EXPECT_TRUE(sm->getValueAsBool(true, "Flags:word"));
  EXPECT_FALSE(sm->getValueAsBool(false, "Flags:word"));
  EXPECT_EQ(sm->getValueAsInt32(7, "Flags:word"), 7);
  EXPECT_EQ(sm->getValueAsInt32(7, "Flags:missing"), 7);
  EXPECT_EQ(sm->getValueAsStr("dflt", "Nowhere:at_all"), "dflt");
  EXPECT_EQ(sm->getValueAsStr(nullptr, "Nowhere:at_all"), "");
  // A number is not a string.
  EXPECT_EQ(sm->getValueAsStr("dflt", "Edit:offset"), "dflt");
}

TEST_F(SettingsManagerTest, GroupsAreFoundAndRemovedWholeAndValuesAreNotGroups) {
  SettingsManager* sm = SettingsManager::get();
  sm->setValue(1, "A:B:c");
  sm->setValue(2, "A:D:e");
  EXPECT_TRUE(sm->hasGroup("A"));
  EXPECT_TRUE(sm->hasGroup("A:B"));
  EXPECT_FALSE(sm->hasGroup("A:B:c"));
  EXPECT_FALSE(sm->hasValue("A:B"));
  EXPECT_FALSE(sm->hasValue("A:B:d"));
  sm->removeGroup("A:%c", 'B');
  EXPECT_FALSE(sm->hasGroup("A:B"));
  EXPECT_FALSE(sm->hasValue("A:B:c"));
  EXPECT_TRUE(sm->hasValue("A:D:e"));
  sm->removeGroup("Missing:group");
  SettingsManager::destroy();
  sm = SettingsManager::get();
  EXPECT_FALSE(sm->hasGroup("A:B"));
  EXPECT_EQ(sm->getValueAsInt32(0, "A:D:e"), 2);
}

TEST_F(SettingsManagerTest, NothingChangedMeansNothingWrittenAndNoDirectoryMade) {
  SettingsManager::get()->hasValue("A:b");
  SettingsManager::destroy();
  struct stat st;
  EXPECT_NE(stat(home_.file(".kvx").c_str(), &st), 0);
}

TEST_F(SettingsManagerTest, RunFixesNeitherReadsNorWrites) {
  SettingsManager::get()->setValue(5, "Kept:value");
  SettingsManager::destroy();
  const std::string before = oetest::TempDir::read(settings_file());
  debugFlag[xsDashRunFixes] = 1;
  SettingsManager* sm = SettingsManager::get();
  EXPECT_FALSE(sm->hasValue("Kept:value"));
  sm->setValue(6, "Other:value");
  SettingsManager::destroy();
  EXPECT_EQ(oetest::TempDir::read(settings_file()), before);
}

TEST_F(SettingsManagerTest, APositionIsStoredOnTheKeyAndEveryAncestorBelowTheTop) {
  SettingsManager* sm = SettingsManager::get();
  FakeWindow w;
  w.rect = {100, 50, 400, 300};
  w.hasParent = true;
  w.parent = {0, 0, 800, 600};
  sm->saveWindowPosition(w, "Dialogs:%s:%d", "Find", 2);
  const ut_attribute_tree* top = sm->tree().find_child_tree("WindowPositionsTree");
  ASSERT_NE(top, nullptr);
  EXPECT_FALSE(top->has_attribute("abs_x"));
  const ut_attribute_tree* levels[] = {top->find_child_tree("Dialogs"),
                                       top->find_child_child_tree("Dialogs", "Find"),
                                       top->find_child_child_child_tree("Dialogs", "Find", "2")};
  for (const ut_attribute_tree* n : levels) {
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->get_optional_int32_attribute("timestamp", 0), 1700000000);
    EXPECT_EQ(n->get_optional_int32_attribute("abs_x", 0), 100);
    EXPECT_EQ(n->get_optional_int32_attribute("abs_h", 0), 300);
    EXPECT_EQ(n->get_optional_int32_attribute("par_w", 0), 800);
  }
  // A window without a parent stores no par_ values.
  FakeWindow lone;
  sm->saveWindowPosition(lone, "Lone");
  EXPECT_FALSE(top->find_child_tree("Lone")->has_attribute("par_x"));
}

TEST_F(SettingsManagerTest, AShorterKeyFindsTheLatestPositionOfAnyWindowBelowIt) {
  SettingsManager* sm = SettingsManager::get();
  FakeWindow a, b;
  a.rect = {10, 10, 200, 100};
  b.rect = {500, 400, 250, 150};
  sm->saveWindowPosition(a, "EditWin:a.c");
  sm->saveWindowPosition(b, "EditWin:b.c");
  SettingsManager::destroy();

  sm = SettingsManager::get();
  FakeWindow w;
  ASSERT_TRUE(sm->loadWindowPosition(w, "EditWin"));
  EXPECT_EQ(w.rect, (SmRect{500, 400, 250, 150}));
  ASSERT_TRUE(sm->loadWindowPosition(w, "EditWin:a.c"));
  EXPECT_EQ(w.rect, (SmRect{10, 10, 200, 100}));
  FakeWindow untouched;
  EXPECT_FALSE(sm->loadWindowPosition(untouched, "EditWin:c.c"));
  EXPECT_EQ(untouched.rect, (SmRect{10, 20, 300, 200}));
}

TEST_F(SettingsManagerTest, OnlyTheStoredPartsOfAGeometryAreTaken) {
  SettingsManager* sm = SettingsManager::get();
  sm->setValue(77, "WindowPositionsTree:Half:abs_x");
  sm->setValue("120", "WindowPositionsTree:Half:abs_w");
  FakeWindow w;
  ASSERT_TRUE(sm->loadWindowPosition(w, "Half"));
  EXPECT_EQ(w.rect, (SmRect{77, 20, 120, 200}));
}

// A child saved beside its parent {100, 100, 400, 300} follows the parent,
// now {200, 50, 500, 200}, by the edge it was placed against; without a
// parent the absolute place is taken, fitted to the 1000 x 800 display.
TEST_F(SettingsManagerTest, ARestoredWindowFollowsItsParentAndFitsTheDisplay) {
  struct Case {
    SmRect saved;
    bool savedWithParent, loadedWithParent;
    SmRect expected;
  } cases[] = {
      // Right of the parent's right edge, inside it vertically.
      {{520, 150, 100, 50}, true, true, {720, 100, 100, 50}},
      // Left of the right edge, below the bottom edge.
      {{130, 420, 100, 50}, true, true, {230, 270, 100, 50}},
      // Exactly over the parent's width.
      {{100, 200, 400, 50}, true, true, {200, 150, 500, 50}},
      {{520, 150, 100, 50}, true, false, {520, 150, 100, 50}},
      {{900, -40, 1200, 300}, false, false, {0, 0, 1000, 300}},
      {{950, 790, 100, 100}, false, false, {900, 700, 100, 100}},
  };
  SettingsManager* sm = SettingsManager::get();
  for (const Case& c : cases) {
    const int i = static_cast<int>(&c - cases);
    SCOPED_TRACE(i);
    FakeWindow w;
    w.rect = c.saved;
    w.hasParent = c.savedWithParent;
    w.parent = {100, 100, 400, 300};
    sm->saveWindowPosition(w, "Key%d", i);
    FakeWindow v;
    v.hasParent = c.loadedWithParent;
    v.parent = {200, 50, 500, 200};
    ASSERT_TRUE(sm->loadWindowPosition(v, "Key%d", i));
    EXPECT_EQ(v.rect, c.expected);
  }
}

TEST_F(SettingsManagerTest, WindowsOnTheSamePlaceCascadeAndWrapAtTheDisplayEdge) {
  SettingsManager* sm = SettingsManager::get();
  FakeWindow w;
  w.rect = {600, 100, 300, 200};
  sm->saveWindowPosition(w, "Cascade");
  w.others = {{600, 100, 300, 200}, {630, 130, 300, 200}, {600, 100, 300, 201}};
  sm->loadWindowPosition(w, "Cascade");
  EXPECT_EQ(w.rect, (SmRect{660, 160, 300, 200}));
  // Moving right would leave the display: that axis starts again at 0.
  w.rect = {690, 100, 300, 200};
  sm->saveWindowPosition(w, "Edge");
  w.others = {{690, 100, 300, 200}};
  sm->loadWindowPosition(w, "Edge");
  EXPECT_EQ(w.rect, (SmRect{0, 130, 300, 200}));
  // Places that lead back to each other end the search instead of looping.
  w.display = {0, 0, 300, 200};
  w.rect = {0, 0, 300, 200};
  sm->saveWindowPosition(w, "Full");
  w.others = {{0, 0, 300, 200}};
  sm->loadWindowPosition(w, "Full");
  EXPECT_EQ(w.rect, (SmRect{0, 0, 300, 200}));
}

// Runs `body` in a child process and returns how it ended (as waitpid).
template <class Fn>
int in_child(Fn body) {
  pid_t pid = fork();
  if (pid == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

void kill_self(const char*) {
  raise(SIGKILL);
}

TEST_F(SettingsManagerTest, AWriteKilledBeforeTheReplaceLeavesTheOldFile) {
  SettingsManager::get()->setValue("old", "State:value");
  SettingsManager::destroy();
  const std::string old_text = oetest::TempDir::read(settings_file());
  ASSERT_FALSE(old_text.empty());

  int status = in_child([] {
    SettingsManager::beforeReplaceHook = kill_self;
    SettingsManager::get()->setValue("new", "State:value");
    SettingsManager::get()->write();
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
  EXPECT_EQ(oetest::TempDir::read(settings_file()), old_text);
  EXPECT_EQ(SettingsManager::get()->getValueAsStr("", "State:value"), "old");
}

TEST_F(SettingsManagerTest, AWriteKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole) {
  SettingsManager* sm = SettingsManager::get();
  sm->setValue("old", "State:value");
  SettingsManager::destroy();
  const std::string old_text = oetest::TempDir::read(settings_file());
  // The new state is large, so that a write takes a while.
  sm = SettingsManager::get();
  for (int i = 0; i < 20000; ++i) sm->setValue(i, "Big:n%d:value", i);
  sm->setValue("new", "State:value");
  ASSERT_TRUE(sm->write());
  const std::string new_text = oetest::TempDir::read(settings_file());
  ASSERT_GT(new_text.size(), 100000u);

  std::mt19937 random(12345);
  for (int round = 0; round < 20; ++round) {
    // Each round starts from the old file.
    home_.write(".kvx/orvexsettings.odb", old_text);
    pid_t pid = fork();
    if (pid == 0) {
      for (;;) SettingsManager::get()->write();
    }
    usleep(random() % 20000);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::string now = oetest::TempDir::read(settings_file());
    EXPECT_TRUE(now == old_text || now == new_text)
        << "round " << round << ": " << now.size() << " bytes";
  }
}

}  // namespace
