// Command dispatch in views: the read-only check, the undo group and the
// modal operation that the flags of a command ask for, and the tables that
// every binding and menu item must find its commands in.
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

#include "edit_fixture.h"
#include "windlib/edit/editbindings.h"
#include "windlib/edit/editcmdtable.h"
#include "windlib/edit/edithelp.h"
#include "windlib/edit/editplanned.h"
#include "windlib/edit/edittype.h"
#include "windlib/file/fileincr.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wmenu.h"
#include "windlib/x11/wbars.h"
#include "windlib/x11/wmenubar.h"

namespace {

using oetest::EditTest;

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

TEST_F(EditTest, UndoAndRedoDoNotChangeAReadOnlyFile) {
  File* f = Open("a.c", "abc\n");
  Edit* e = Window(f)->edit();
  Type(e, "A");
  ASSERT_EQ(LineText(f, 1), "Aabc");
  EditCli(e, "ToggleReadOnly");
  Key(e, 'z', WModControl, "\x1a");
  EXPECT_EQ(LineText(f, 1), "Aabc") << "Undo changed a read-only file";
  EXPECT_EQ(e->message, "Window is read only");
  EditCli(e, "ToggleReadOnly");
  Key(e, 'z', WModControl, "\x1a");
  ASSERT_EQ(LineText(f, 1), "abc");
  EditCli(e, "ToggleReadOnly");
  Key(e, 'y', WModControl, "\x19");
  EXPECT_EQ(LineText(f, 1), "abc") << "Redo changed a read-only file";
}

TEST_F(EditTest, UndoAfterSavingTakesTheLockBeforeChangingText) {
  File* f = Open("a.c", "abc\n");
  Edit* e = Window(f)->edit();
  Type(e, "A");
  ASSERT_TRUE(f->haslock);
  Key(e, 's', WModControl, "\x13");
  ASSERT_FALSE(f->modified);
  ASSERT_FALSE(f->haslock) << "saving gives the lock up";
  Key(e, 'z', WModControl, "\x1a");
  ASSERT_EQ(LineText(f, 1), "abc");
  EXPECT_TRUE(f->modified);
  EXPECT_TRUE(f->haslock) << "unsaved text changed by Undo has no lock and no journal";
  EXPECT_TRUE(exists(incr_LockName(f)));
  Key(e, 's', WModControl, "\x13");
  Key(e, 'y', WModControl, "\x19");
  ASSERT_EQ(LineText(f, 1), "Aabc");
  EXPECT_TRUE(f->haslock) << "unsaved text changed by Redo has no lock and no journal";
}

TEST_F(EditTest, FlagsDecideWhatHappensBeforeACommandRuns) {
  File* f = Open("a.c", "abc def\n");
  Edit* e = Window(f)->edit();
  static int runs;
  static bool locked_when_run;
  runs = 0;
  EditAddCmd("TestChange", [](void* object, CmdInfo*) -> int {
    ++runs;
    locked_when_run = EditOf(object)->file->haslock;
    return 1;
  }, kCmdModifies);
  ASSERT_FALSE(f->haslock);
  EXPECT_EQ(EditCli(e, "TestChange"), 1);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(locked_when_run) << "the lock is taken before the command changes text";
  f->readOnly = 1;
  EXPECT_EQ(EditCli(e, "TestChange; SelectAll"), 1) << "a refused change does not stop the string";
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(e->message, "Window is read only");
  EXPECT_EQ(EditSelectionText(e), "abc def\n");
  // Case changes act on the selection: without one nothing happens at all.
  EditCli(e, "NoSelection");
  EditSetMsg(e, "");
  e->bellRung = false;
  EditCli(e, "UpperCaseBlock");
  EXPECT_EQ(e->message, "");
  EXPECT_FALSE(e->bellRung);
  EditSetSelection(e, 1, 0, 1, 3);
  EditCli(e, "UpperCaseBlock");
  EXPECT_EQ(LineText(f, 1), "abc def");
  EXPECT_EQ(e->message, "Window is read only");
  f->readOnly = 0;
  EditCli(e, "UpperCaseBlock");
  EXPECT_EQ(LineText(f, 1), "ABC def");
}

TEST_F(EditTest, ARepeatedChangeCanItselfBeRepeated) {
  File* f = Open("a.c", "x\ny\nz\n");
  Edit* e = Window(f)->edit();
  EditTypedChars(e, "ab", 2);  // a key with no binding: a plain record
  EditCli(e, "Down; SOL0");
  EditCli(e, "RepeatLast");
  ASSERT_EQ(LineText(f, 2), "aby");
  EditCli(e, "Down; SOL0");
  EditCli(e, "RepeatLast");
  EXPECT_EQ(LineText(f, 3), "abz") << "the repeat's own change was grouped";
  EditCli(e, "Undo");
  EXPECT_EQ(LineText(f, 3), "z");
  EXPECT_EQ(LineText(f, 2), "aby") << "one Undo takes back one repeat";
}

// A modal operation that takes Tab for itself and records what it saw.
struct Recorder : EditModal {
  std::vector<std::string>* log;
  bool end_itself = false;
  explicit Recorder(std::vector<std::string>* l) : log(l) {}
  bool Take(Edit* edit, const CmdEntry& entry, CmdInfo*, int* result) override {
    if (strcasecmp(entry.name, "Tab") != 0) return false;
    log->push_back("took Tab");
    if (end_itself) EditEndModal(edit);
    *result = 1;
    return true;
  }
  void End(Edit*) override { log->push_back("end"); }
};

TEST_F(EditTest, CommandsThatMoveOrEditEndTheModalOperation) {
  File* f = Open("a.c", "abc\ndef\n");
  Edit* e = Window(f)->edit();
  std::vector<std::string> log;
  EditBeginModal(e, std::make_unique<Recorder>(&log));
  EditCli(e, "Noop; Scroll +1; FlashCursor; ContinueSelection; Tab");
  EXPECT_EQ(log, std::vector<std::string>{"took Tab"});
  EXPECT_EQ(LineText(f, 1), "abc") << "the operation ran Tab, not the editor";
  EXPECT_NE(EditModalOf(e), nullptr);
  EditCli(e, "Down; Down");
  EXPECT_EQ(log, (std::vector<std::string>{"took Tab", "end"})) << "ended once, by moving";
  EXPECT_EQ(EditModalOf(e), nullptr);
  EXPECT_EQ(e->caretLine, 3) << "the moves ran after the operation ended";
  log.clear();
  EditBeginModal(e, std::make_unique<Recorder>(&log));
  Type(e, "x");
  EXPECT_EQ(log, std::vector<std::string>{"end"}) << "typing without a command edits too";
  log.clear();
  EditBeginModal(e, std::make_unique<Recorder>(&log));
  EditCli(e, "\"y\"");
  EXPECT_EQ(log, std::vector<std::string>{"end"});
  // Beginning another one ends the one before; one may end itself.
  log.clear();
  EditBeginModal(e, std::make_unique<Recorder>(&log));
  auto second = std::make_unique<Recorder>(&log);
  second->end_itself = true;
  EditBeginModal(e, std::move(second));
  EditCli(e, "Tab; Tab");
  EXPECT_EQ(log, (std::vector<std::string>{"end", "took Tab", "end"}));
  EXPECT_EQ(EditModalOf(e), nullptr);
  EXPECT_FALSE(EditEndModal(e));
}

TEST(CommandStrings, NamesAreSplitAsRunningSplitsThem) {
  std::vector<std::string> commands, conditions;
  CmdStringNames(
      "if <noselection> { if < select1=lines > {Down;SOL0} else {Up} } Paste1;"
      "\"a;}b\"; LineD 5 ;{Noop}ELSE_NOT;if<col=sol>{}",
      &commands, &conditions);
  EXPECT_EQ(commands, (std::vector<std::string>{"if", "if", "Down", "SOL0", "Up", "Paste1", "\"",
                                                "LineD", "{", "Noop", "ELSE_NOT", "if"}));
  EXPECT_EQ(conditions, (std::vector<std::string>{"noselection", "select1=lines", "col=sol"}));
}

TEST_F(EditTest, EveryBoundCommandAndConditionResolves) {
  std::vector<std::string> commands, conditions;
  for (const auto* list : {&edit_DefaultKeys(), &edit_DefaultMice()}) {
    for (const std::string& text : *list) {
      EditBinding b;
      ASSERT_TRUE(EditParseBinding(text, &b)) << text;
      CmdStringNames(b.command, &commands, &conditions);
    }
  }
  ASSERT_GT(commands.size(), 300u);
  std::set<std::string> unknown;
  for (const std::string& c : commands)
    if (!CmdLookup(EditCmdTable(), c)) unknown.insert(c);
  for (const std::string& c : unknown)
    if (!EditPlannedFeature(c)) ADD_FAILURE() << "no command " << c;
  for (const auto& [c, feature] : EditPlannedCommands())
    EXPECT_EQ(CmdLookup(EditCmdTable(), c), nullptr) << c << " exists: drop it from the list";
  for (const std::string& cond : conditions)
    EXPECT_NE(EditCondLookup(cond), nullptr) << "no condition " << cond;
}

TEST_F(EditTest, EveryMenuItemFindsItsCommand) {
  File* f = Open("a.c", "abc\n");
  EditWindow* w = Window(f);
  Edit* e = w->edit();
  ASSERT_NE(w->menuBar(), nullptr);
  int items = 0;
  for (int i = 0; i < w->menuBar()->menuCount(); ++i) {
    for (WMenuItem& item : w->menuBar()->menuAt(i)->items()) {
      if (item.separator || !item.action) continue;
      // In identify mode the command is named instead of run.
      e->identifyMode = true;
      EditSetMsg(e, "");
      item.action();
      EXPECT_EQ(e->message.rfind("Command: ", 0), 0u) << item.label << ": " << e->message;
      ++items;
    }
  }
  EXPECT_GT(items, 10);
  EXPECT_EQ(LineText(f, 1), "abc");
}

TEST(CommandTables, EveryNameIsDeclaredOnce) {
  std::map<std::string, int> commands, conditions;
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  for (const EditCmdSet& set : EditCmdSets()) {
    for (const CmdEntry& c : set.commands) {
      ASSERT_NE(c.name, nullptr);
      EXPECT_NE(c.handler, nullptr) << c.name;
      ++commands[lower(c.name)];
      const CmdEntry* found = CmdLookup(EditBasicTable(), c.name);
      ASSERT_NE(found, nullptr) << c.name;
      EXPECT_EQ(found->handler, c.handler) << c.name;
      EXPECT_EQ(found->flags, c.flags) << c.name;
    }
    for (const EditCondEntry& c : set.conditions) ++conditions[lower(c.name)];
  }
  for (const auto& [name, count] : commands) EXPECT_EQ(count, 1) << name;
  for (const auto& [name, count] : conditions) EXPECT_EQ(count, 1) << name;
  EXPECT_NE(CmdLookup(EditBasicTable(), "SAVE"), nullptr);
  // Conditions: whole names in any case, then the prefixes.
  ASSERT_NE(EditCondLookup("NoSelection"), nullptr);
  EXPECT_FALSE(EditCondLookup("NoSelection")->prefix);
  ASSERT_NE(EditCondLookup("select1=lines"), nullptr);
  EXPECT_STREQ(EditCondLookup("select1=lines")->name, "select");
  EXPECT_EQ(EditCondLookup("noselectionx"), nullptr);
}

// A key bound to a feature not built yet says so and leaves the text
// alone; an unknown name is still reported as unknown.
TEST_F(EditTest, PlannedCommandsSayWhichFeatureIsMissing) {
  File* f = Open("a.c", "abc\n");
  Edit* e = Window(f)->edit();
  EXPECT_EQ(EditCli(e, "Notepad"), 0);
  EXPECT_EQ(e->message, "The notepad is not available yet");
  EXPECT_EQ(EditCli(e, "EOL; commentblock; EOF"), 0) << "names match without regard to case";
  EXPECT_EQ(e->message, "Commenting blocks is not available yet");
  EXPECT_EQ(EditCli(e, "NoSuchThing; EOL"), 0);
  EXPECT_EQ(e->message, "Unknown command NoSuchThing; EOL");
  EXPECT_EQ(LineText(f, 1), "abc");
  EXPECT_EQ(EditPlannedFeature("Save"), nullptr);
}

// The listing holds every binding in effect, as trigger and command string,
// and nothing else; the Help menu opens it read-only.
TEST_F(EditTest, KeysListingFollowsTheBindingTables) {
  const std::string listing = EditKeysListing();
  std::vector<std::string> lines;
  for (size_t at = 0, nl; (nl = listing.find('\n', at)) != std::string::npos; at = nl + 1)
    lines.push_back(listing.substr(at, nl - at));
  std::vector<std::string> bindings;
  for (const std::string& l : lines)
    if (l.rfind("  ", 0) == 0) bindings.push_back(l);
  const auto& active = EditActiveBindings();
  ASSERT_EQ(bindings.size(), active.size());
  size_t keys = 0;
  for (size_t i = 0; i < active.size(); ++i) {
    const EditBinding& b = active[i];
    keys += !b.mouse;
    const std::string& l = bindings[i];
    EXPECT_EQ(l.rfind("  " + EditBindingTrigger(b), 0), 0u) << l;
    EXPECT_EQ(l.substr(l.size() - b.command.size()), b.command) << l;
  }
  EXPECT_GT(keys, 100u);
  EXPECT_LT(keys, active.size()) << "mouse bindings are listed too";
  // The key that saves is there as its binding says.
  const std::string* save = InterpretEditKey('s', WModControl);
  ASSERT_NE(save, nullptr);
  EXPECT_NE(listing.find("Control+s"), std::string::npos);

  File* f = Open("a.c", "abc\n");
  EditWindow* w = Window(f);
  ASSERT_NE(w->menuBar(), nullptr);
  WMenu* help = nullptr;
  for (int i = 0; i < w->menuBar()->menuCount(); ++i)
    if (w->menuBar()->menuAt(i)->title() == "&Help") help = w->menuBar()->menuAt(i).get();
  ASSERT_NE(help, nullptr);
  ASSERT_FALSE(help->items().empty());
  help->items()[0].action();
  Edit* shown = nullptr;
  for (EditWindow* other : EditWindows())
    if (other != w && other->edit()->file && other->edit()->file != f) shown = other->edit();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->readOnlyView);
  EXPECT_EQ(std::string(File_Title(shown->file)), "Keys and Commands");
  EXPECT_EQ(Text(shown->file), listing);
  Type(shown, "x");
  EXPECT_EQ(Text(shown->file), listing) << "the listing cannot be typed into";
  EXPECT_FALSE(shown->file->modified);
  // Asking again brings up the same window.
  const size_t windows = EditWindows().size();
  EditCli(w->edit(), "ShowKeys");
  EXPECT_EQ(EditWindows().size(), windows);
}

// The status line draws a message by the text's own rule: the tab between
// an identified command and its key goes to the next tab stop, control
// bytes show as escapes; the message itself keeps its bytes.
TEST_F(EditTest, StatusLineShowsTabsAndControlBytesAsTheTextDoes) {
  File* f = Open("a.c", "abc\n");
  EditWindow* w = Window(f);
  Edit* e = w->edit();
  ASSERT_NE(w->statusLine(), nullptr);
  EditCli(e, "Identify");
  Key(e, 's', WModControl, "\x13");
  EXPECT_EQ(e->message, "Save\t(Control+s)");
  EXPECT_EQ(w->statusLine()->message(), "Save    (Control+s)");
  EditSetMsg(e, "a\x01" "b\x7f");
  EXPECT_EQ(w->statusLine()->message(), "a^Ab^?");
  EXPECT_EQ(LineText(f, 1), "abc");
}

}  // namespace
