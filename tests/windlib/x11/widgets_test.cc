// Scroll bars, menus, entries and lists driven by synthetic events.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "windlib/x11/wbars.h"
#include "windlib/x11/wbutton.h"
#include "windlib/x11/wentry.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wlist.h"
#include "windlib/x11/wmenu.h"
#include "windlib/x11/wpopupmenu.h"
#include "windlib/x11/wscrollbar.h"
#include "windlib/x11/wselection.h"
#include "windlib/x11/wtooltip.h"
#include "windlib/x11/wtopwindow.h"

namespace {

WTopWindowOptions unlisted() {
  WTopWindowOptions o;
  o.listed = false;
  return o;
}

void press(WWindow* w, int button, int x, int y, int clicks = 1) {
  WSendEvent(w, WButtonEvent(WEventKind::ButtonDown, button, x, y, clicks));
}
void release(WWindow* w, int button, int x, int y) {
  WSendEvent(w, WButtonEvent(WEventKind::ButtonUp, button, x, y));
}
void click(WWindow* w, int button, int x, int y) {
  press(w, button, x, y);
  release(w, button, x, y);
}
void send(WWindow* w, WEventKind kind) {
  WEvent e;
  e.kind = kind;
  WSendEvent(w, e);
}
void key(WWindow* w, uint32_t k, unsigned mods = 0, const std::string& text = "") {
  WSendEvent(w, WKeyEvent(k, mods, text));
}
void keys(WWindow* w, std::initializer_list<uint32_t> ks) {
  for (uint32_t k : ks) key(w, k);
}
void type(WWindow* w, const std::string& s) {
  for (char c : s) key(w, static_cast<unsigned char>(c), 0, std::string(1, c));
}

TEST(ScrollBar, ValueStaysInRangeAndOnlyUserChangesAreReported) {
  WTopWindow top("Bars", 300, 300, unlisted());
  WScrollBar bar(top.client(), WScrollBar::Vertical);
  bar.SetGeometry(WRect{0, 0, 19, 219});  // trough of 181 pixels between the arrows
  std::vector<long> told;
  bar.SetOnChange([&](long v) { told.push_back(v); });
  bar.SetRange(1000, 200);
  bar.SetStep(16);
  EXPECT_EQ(bar.maxValue(), 800);
  bar.SetValue(5000);
  EXPECT_EQ(bar.value(), 800);
  bar.SetRange(300, 200);  // content shrank: the value follows
  EXPECT_EQ(bar.value(), 100);
  EXPECT_TRUE(told.empty());
  bar.SetRange(1000, 200);
  bar.SetValue(0);
  click(&bar, 1, 9, 210);  // forward arrow: one step
  click(&bar, 1, 9, 5);    // back arrow: one step back
  click(&bar, 1, 9, 5);    // at the top already: nothing to tell
  EXPECT_EQ(told, (std::vector<long>{16, 0}));
  // A click in the trough below the slider pages down by a page less a step.
  WRect s = bar.SliderRect();
  click(&bar, 1, 9, s.bottom() + 5);
  EXPECT_EQ(bar.value(), 184);
  // Dragging the slider to the end of the trough reaches the maximum.
  s = bar.SliderRect();
  press(&bar, 1, 9, s.y + 1);
  WEvent m = WButtonEvent(WEventKind::Motion, 0, 9, 400);
  m.modifiers = WModButton1;
  WSendEvent(&bar, m);
  release(&bar, 1, 9, 400);
  EXPECT_EQ(bar.value(), 800);
  // The wheel moves three steps.
  press(&bar, 4, 9, 100);
  EXPECT_EQ(bar.value(), 800 - 48);
  // Content that fits leaves nothing to scroll.
  bar.SetRange(100, 200);
  EXPECT_EQ(bar.maxValue(), 0);
  EXPECT_EQ(bar.value(), 0);
}

TEST(Menu, LabelsMnemonicsAndAccelerators) {
  EXPECT_EQ(WMenuLabelText("&Save && Quit"), "Save & Quit");
  size_t pos = 99;
  EXPECT_EQ(WMenuMnemonic("Save && &Quit", &pos), 'q');
  EXPECT_EQ(pos, 7u);
  EXPECT_EQ(std::pair(WMenuMnemonic("No mnemonic && here"), WMenuMnemonic("Trailing&")),
            std::pair(char{0}, char{0}));
  uint32_t k;
  unsigned mods;
  ASSERT_TRUE(WParseAccelerator("Ctrl+Shift+S", &k, &mods));
  EXPECT_EQ(std::pair(k, mods), std::pair(uint32_t{'s'}, unsigned{WModControl | WModShift}));
  ASSERT_TRUE(WParseAccelerator("F3", &k, &mods));
  EXPECT_EQ(k, static_cast<uint32_t>(WKeyF(3)));
  EXPECT_FALSE(WParseAccelerator("Ctrl+NoSuchKey", &k, &mods));
  EXPECT_TRUE(WAcceleratorMatches("Ctrl+S", 's', WModControl));
  EXPECT_TRUE(WAcceleratorMatches("Ctrl+Shift+S", 'S', WModControl | WModShift));
  EXPECT_TRUE(WAcceleratorMatches("Meta+X", 'x', WModMeta | WModLock));
  EXPECT_FALSE(WAcceleratorMatches("Ctrl+S", 's', 0));
  EXPECT_FALSE(WAcceleratorMatches("Ctrl+S", 's', WModControl | WModMeta));
}

TEST(Menu, PopupKeyboardSkipsSeparatorsAndRunsTheActionAfterClosing) {
  std::vector<std::string> ran;
  auto menu = std::make_shared<WMenu>("Edit");
  menu->Add("Cu&t", "Ctrl+X", [&] { ran.push_back("cut"); });
  menu->AddSeparator();
  WMenuItem& off = menu->Add("&Disabled", "", [&] { ran.push_back("disabled"); });
  off.enabled = false;
  menu->Add("&Paste", "Ctrl+V", [&] {
    // The menu is gone when the action runs.
    ran.push_back(WPopupMenu::Current() ? "paste-with-menu" : "paste");
  });
  WPopupMenu* p = WPopupMenu::Open(menu, 10, 10);
  ASSERT_EQ(WPopupMenu::Current(), p);
  key(p, WK_Down);
  EXPECT_EQ(p->selected(), 0);
  key(p, WK_Down);  // over the separator and the disabled item
  EXPECT_EQ(p->selected(), 3);
  key(p, WK_Down);  // wraps
  EXPECT_EQ(p->selected(), 0);
  keys(p, {WK_Up, WK_Return});
  EXPECT_EQ(ran, std::vector<std::string>{"paste"});
  EXPECT_EQ(WPopupMenu::Current(), nullptr);
  WEventAll(0);

  // A mnemonic chooses at once; Escape closes without choosing.
  p = WPopupMenu::Open(menu, 10, 10);
  key(p, 't', 0, "t");
  EXPECT_EQ(ran.back(), "cut");
  p = WPopupMenu::Open(menu, 10, 10);
  bool closed = false;
  p->SetOnClose([&] { closed = true; });
  key(p, WK_Escape);
  EXPECT_TRUE(closed);
  EXPECT_EQ(ran.size(), 2u);
  WEventAll(0);
}

TEST(Menu, PointerPressAndReleaseOnAnItemChoosesItAndAPressOutsideCloses) {
  int chosen = 0;
  auto sub = std::make_shared<WMenu>();
  sub->Add("&Inner", "", [&] { chosen = 2; });
  auto menu = std::make_shared<WMenu>();
  menu->Add("&First", "", [&] { chosen = 1; });
  menu->AddSubmenu("&More", sub);
  WPopupMenu* p = WPopupMenu::Open(menu, 100, 100);
  WRect r = p->ItemRect(0);
  click(p, 1, r.x + 5, r.y + 3);
  EXPECT_EQ(chosen, 1);
  WEventAll(0);
  // Right opens the submenu with its first item selected; Return chooses it.
  p = WPopupMenu::Open(menu, 100, 100);
  keys(p, {WK_Down, WK_Down, WK_Right});
  ASSERT_NE(p->submenuPopup(), nullptr);
  EXPECT_EQ(p->submenuPopup()->selected(), 0);
  key(p, WK_Return);
  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(WPopupMenu::Current(), nullptr);
  WEventAll(0);
  p = WPopupMenu::Open(menu, 100, 100);
  press(p, 1, -50, -50);
  EXPECT_EQ(WPopupMenu::Current(), nullptr);
  WEventAll(0);
}

TEST(Menu, MenuBarOpensByAltMnemonicAndRunsAcceleratorsOfUnusedKeys) {
  WTopWindowOptions o = unlisted();
  o.menuBar = true;
  WTopWindow top("Menus", 400, 300, o);
  int saved = 0;
  auto file = std::make_shared<WMenu>();
  file->Add("&Save", "Ctrl+S", [&] { ++saved; });
  top.menuBar()->AddMenu("&File", file);
  top.menuBar()->AddMenu("&Help", std::make_shared<WMenu>());
  key(&top, 'f', WModMeta, "f");
  EXPECT_EQ(top.menuBar()->openIndex(), 0);
  ASSERT_NE(WPopupMenu::Current(), nullptr);
  key(WPopupMenu::Current(), WK_Right);  // to the next menu of the bar
  EXPECT_EQ(top.menuBar()->openIndex(), 1);
  key(WPopupMenu::Current(), WK_Escape);
  EXPECT_EQ(top.menuBar()->openIndex(), -1);
  key(&top, 's', WModControl, "\x13");
  EXPECT_EQ(saved, 1);
  // A click on a title opens its menu; a second click closes it.
  WRect r = top.menuBar()->EntryRect(0);
  press(top.menuBar(), 1, r.x + 3, r.y + 3);
  EXPECT_EQ(top.menuBar()->openIndex(), 0);
  WPopupMenu::CloseAll();
  WEventAll(0);
}

TEST(Entry, EditingKeysWorkOnCharactersNotBytes) {
  WTopWindow top("Entry", 300, 100, unlisted());
  WEntry e(top.client(), "");
  e.Focus();
  int changes = 0;
  e.SetOnChange([&](WEntry*) { ++changes; });
  type(&e, "abc");
  key(&e, 0xe9, 0, "\xc3\xa9");  // é arrives as UTF-8
  EXPECT_EQ(e.text(), "abc\xc3\xa9");
  key(&e, WK_BackSpace);
  EXPECT_EQ(e.text(), "abc");
  keys(&e, {WK_Left, WK_Left, WK_Delete});
  EXPECT_EQ(e.text(), "ac");
  key(&e, WK_Home);
  type(&e, "X");
  EXPECT_EQ(e.text(), "Xac");
  key(&e, 'a', WModControl);  // select all; typing replaces it
  type(&e, "new");
  EXPECT_EQ(e.text(), "new");
  key(&e, 'u', WModControl);
  EXPECT_EQ(e.text(), "");
  EXPECT_GE(changes, 8);
  // Control characters are not inserted.
  key(&e, 'q', WModControl, "\x11");
  EXPECT_EQ(e.text(), "");
  bool activated = false;
  e.SetOnActivate([&](WEntry*) { activated = true; });
  key(&e, WK_Return);
  EXPECT_TRUE(activated);
}

TEST(Entry, PasteArrivesFromTheClipboardAfterTheEventAndCopyOwnsIt) {
  WTopWindow top("Paste", 300, 100, unlisted());
  WEntry e(top.client(), "x");
  e.Focus();
  ASSERT_TRUE(WSelectionOwn("CLIPBOARD", "pasted\ntext"));
  key(&e, 'v', WModControl);
  EXPECT_EQ(e.text(), "x");  // asynchronous
  WEventAll(0);
  EXPECT_EQ(e.text(), "xpastedtext");  // line breaks do not enter one line
  key(&e, 'a', WModControl);
  key(&e, 'c', WModControl);
  std::string bytes;
  ASSERT_TRUE(WSelectionOwned("CLIPBOARD", &bytes));
  EXPECT_EQ(bytes, "xpastedtext");
  WSelectionDisown("CLIPBOARD");
}

TEST(List, SelectionFollowsKeysTypeAheadAndDoubleClickActivates) {
  WTopWindow top("List", 300, 300, unlisted());
  WList list(top.client());
  list.SetGeometry(WRect{0, 0, 200, 100});
  std::vector<std::string> items;
  for (int i = 0; i < 50; ++i) items.push_back("item" + std::to_string(i));
  items.push_back("zebra");
  list.SetItems(items);
  int activated = -1;
  list.SetOnActivate([&](WList*, int row) { activated = row; });
  list.Focus();
  key(&list, WK_Down);
  EXPECT_EQ(list.selected(), 0);
  key(&list, WK_End);
  EXPECT_EQ(list.selected(), 50);
  EXPECT_GT(list.topRow(), 40);  // scrolled into view
  key(&list, WK_Home);
  key(&list, 'z', 0, "z");
  EXPECT_EQ(list.selected(), 50);
  key(&list, WK_Home);
  press(&list, 1, 20, 1 + list.rowHeight() * 2 + 3, 2);
  EXPECT_EQ(list.selected(), 2);
  EXPECT_EQ(activated, 2);
  list.SetItems({"only"});
  EXPECT_EQ(list.selected(), 0);
  list.SetItems({});
  EXPECT_EQ(list.selected(), -1);
  key(&list, WK_Down);  // nothing to select: no crash, nothing selected
  EXPECT_EQ(list.selected(), -1);
}

TEST(Tooltip, ShowsAfterTheDelayAndHidesOnPress) {
  WTopWindow top("Tips", 300, 300, unlisted());
  top.Show();
  WWindow w(top.client(), WRect{0, 0, 50, 50});
  w.SetTooltip("Save the file");
  WSetTooltipDelay(0);
  send(&w, WEventKind::Enter);
  EXPECT_EQ(WTooltipShown(), "");
  WEventAll(0);  // the timer runs from the event loop
  EXPECT_EQ(WTooltipShown(), "Save the file");
  press(&w, 1, 5, 5);
  EXPECT_EQ(WTooltipShown(), "");
  WSetTooltipsEnabled(false);
  send(&w, WEventKind::Enter);
  WEventAll(0);
  EXPECT_EQ(WTooltipShown(), "");
  WSetTooltipsEnabled(true);
  WSetTooltipDelay(600);
  WEventAll(0);
}

TEST(Button, FiresOnReleaseInsideOnlyAndNotWhenDisabled) {
  WTopWindow top("Buttons", 300, 100, unlisted());
  int fired = 0;
  WButton b(top.client(), "&Apply", [&] { ++fired; });
  b.SetGeometry(WRect{0, 0, 80, 30});
  click(&b, 1, 10, 10);
  EXPECT_EQ(fired, 1);
  press(&b, 1, 10, 10);
  release(&b, 1, 200, 10);  // let go outside: no click
  EXPECT_EQ(fired, 1);
  click(&b, 3, 10, 10);  // other buttons do nothing
  EXPECT_EQ(fired, 1);
  key(&b, ' ', 0, " ");
  EXPECT_EQ(fired, 2);
  b.SetEnabled(false);
  click(&b, 1, 10, 10);
  key(&b, WK_Return);
  EXPECT_EQ(fired, 2);
  EXPECT_FALSE(b.focusable());
}

TEST(Bars, ToolBarButtonsTellTheStatusLineAndKeepTheirOrder) {
  WTopWindowOptions o = unlisted();
  o.toolBar = o.statusLine = true;
  WTopWindow top("Bars", 500, 300, o);
  std::vector<std::string> ran;
  WButton* save = top.toolBar()->AddButton("Save", "Save the file", [&] { ran.push_back("save"); });
  top.toolBar()->AddButton("Quit", "", [&] { ran.push_back("quit"); });
  top.toolBar()->AddSeparator(1);
  WButton* open = top.toolBar()->AddButton(
      "Open", "Open a file", [&] { ran.push_back("open"); }, 0);
  ASSERT_EQ(top.toolBar()->count(), 4);
  EXPECT_EQ(top.toolBar()->buttonAt(0), open);
  EXPECT_EQ(top.toolBar()->buttonAt(2), nullptr);  // the separator
  // Laid out left to right in that order.
  EXPECT_LT(open->geometry().right(), save->geometry().x);
  EXPECT_GT(top.toolBar()->buttonAt(3)->geometry().x, save->geometry().right() + 5);
  send(save, WEventKind::Enter);
  EXPECT_EQ(top.statusLine()->message(), "Save the file");
  send(save, WEventKind::Leave);
  EXPECT_EQ(top.statusLine()->message(), "");
  click(save, 1, 3, 3);
  EXPECT_EQ(ran, std::vector<std::string>{"save"});
  top.toolBar()->Clear();
  EXPECT_EQ(top.toolBar()->count(), 0);
}

TEST(Bars, StatusFieldsAreKeptByIndexAndMessagesShowThroughTheWindow) {
  WTopWindowOptions o = unlisted();
  o.statusLine = true;
  WTopWindow top("Status", 500, 300, o);
  WStatusLine* s = top.statusLine();
  s->SetField(1, "EOF/10", 10);
  EXPECT_EQ(s->fieldCount(), 2);
  EXPECT_EQ(s->field(0) + "|" + s->field(1) + "|" + s->field(7), "|EOF/10|");
  s->SetField(-1, "ignored");
  EXPECT_EQ(s->fieldCount(), 2);
  top.ShowMessage("Nothing to pop");
  EXPECT_EQ(s->message(), "Nothing to pop");
  top.Show();
  WFlushDrawing();
  WDrawRecorder rec;
  s->SetField(0, "Ln 3/10,Col 4");
  WFlushDrawing();
  bool drawn = false;
  for (const WDrawOp& op : rec.ops())
    if (op.window == s && op.kind == WDrawKind::Text && op.text == "Ln 3/10,Col 4") drawn = true;
  EXPECT_TRUE(drawn);
  // Setting the same text again draws nothing.
  rec.clear();
  s->SetField(0, "Ln 3/10,Col 4");
  top.ShowMessage("Nothing to pop");
  WFlushDrawing();
  EXPECT_EQ(rec.countIn(s), 0);
}

TEST(Label, TextWrapsAtBlanksAndKeepsLineBreaks) {
  WTopWindow top("Label", 300, 100, unlisted());
  WLabel l(top.client(), "one two three\nfour");
  // Eight pixels a character without a display: "one two" is 56 pixels.
  EXPECT_EQ(l.Lines(60), (std::vector<std::string>{"one two", "three", "four"}));
  EXPECT_EQ(l.Lines(1000), (std::vector<std::string>{"one two three", "four"}));
  // A word longer than the width stands alone rather than being lost.
  l.SetText("averyveryverylongword x");
  EXPECT_EQ(l.Lines(20), (std::vector<std::string>{"averyveryverylongword", "x"}));
  EXPECT_EQ(l.HeightFor(20), 2 * 16);
}

}  // namespace
