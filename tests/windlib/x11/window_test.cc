// Windows without a display: layout, painting through the recorder, event
// routing, destruction during an event, modal refusal.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "windlib/gapplication.h"
#include "windlib/orvexjmp.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wtextarea.h"
#include "windlib/x11/wtopwindow.h"

namespace {

// A window that counts what it gets and may use it.
class Probe : public WWindow {
 public:
  explicit Probe(WWindow* parent, bool takes_keys = true) : WWindow(parent), takes_(takes_keys) {
    SetFocusable(true);
  }
  bool HandleEvent(WEvent& e) override {
    seen.push_back(WEventKindName(e.kind));
    if (e.kind == WEventKind::KeyDown) keys.push_back(WKeyName(e.key));
    if (panic_on_key && e.kind == WEventKind::KeyDown) ErrorJump(1);
    if (destroy_on_key && e.kind == WEventKind::KeyDown) Destroy();
    return e.kind == WEventKind::KeyDown && takes_;
  }
  void Paint(WPainter& p) override {
    paints.push_back(p.clip());
    p.FillRect(p.clip(), 0xffffff);
  }
  std::vector<std::string> seen, keys;
  std::vector<WRect> paints;
  bool panic_on_key = false, destroy_on_key = false;

 private:
  bool takes_;
};

WEvent Ev(WEventKind kind) {
  WEvent e;
  e.kind = kind;
  return e;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ApplicationInstance = &app; }
  void TearDown() override {
    WEventAll(0);
    ApplicationInstance = nullptr;
  }
  GUIApplication app;
};

TEST_F(WindowTest, TopWindowLaysOutBarsAroundTheClientAndJoinsTheApplication) {
  WTopWindowOptions o;
  o.menuBar = o.toolBar = o.statusLine = true;
  auto* w = new WTopWindow("Demo", 400, 300, o);
  EXPECT_EQ(app.cwGetList(), w);
  int menu_h = w->menuBar()->height(), tool_h = w->toolBar()->height();
  int status_h = w->statusLine()->height();
  EXPECT_GT(menu_h, 10);
  EXPECT_EQ(w->client()->geometry(),
            (WRect{0, menu_h + tool_h, 400, 300 - menu_h - tool_h - status_h}));
  EXPECT_EQ(w->statusLine()->geometry().bottom(), 300);
  w->ShowToolBar(false);
  EXPECT_EQ(w->client()->geometry().y, menu_h);
  // A resize reaches the client's layout function.
  int layouts = 0;
  w->client()->SetLayout([&](WContainer*) { ++layouts; });
  w->SetGeometry(WRect{0, 0, 500, 300});
  EXPECT_EQ(layouts, 2);  // once when set, once for the new size
  EXPECT_EQ(w->client()->width(), 500);
  EXPECT_TRUE(w->Close());
  EXPECT_EQ(app.cwGetList(), nullptr);
}

TEST_F(WindowTest, CloseHandlerMayRefuseAndCloseRequestGoesThroughIt) {
  auto* w = new WTopWindow("Keep me", 200, 100);
  bool allow = false;
  int asked = 0;
  w->SetCloseHandler([&](WTopWindow*) {
    ++asked;
    return allow;
  });
  WSendEvent(w, Ev(WEventKind::CloseRequest));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(app.cwGetList(), w);
  EXPECT_FALSE(app.cwDestroyAll());
  allow = true;
  WSendEvent(w, Ev(WEventKind::CloseRequest));
  EXPECT_EQ(app.cwGetList(), nullptr);
}

TEST_F(WindowTest, InvalidatedAreasArePaintedOnceWhenTheToolkitFlushes) {
  WTopWindow top("Paint", 300, 200);
  auto* probe = new Probe(top.client());
  probe->SetGeometry(WRect{0, 0, 100, 100});
  top.Show();
  WFlushDrawing();
  probe->paints.clear();
  probe->Invalidate(WRect{0, 0, 10, 10});
  probe->Invalidate(WRect{5, 5, 10, 10});      // overlaps: merged
  probe->Invalidate(WRect{50, 50, 500, 500});  // clipped to the window
  EXPECT_TRUE(probe->paints.empty());
  WDrawRecorder rec;
  WFlushDrawing();
  ASSERT_EQ(probe->paints.size(), 2u);
  EXPECT_EQ(probe->paints[0], (WRect{0, 0, 15, 15}));
  EXPECT_EQ(probe->paints[1], (WRect{50, 50, 50, 50}));
  EXPECT_EQ(rec.countIn(probe), 2);
  WFlushDrawing();
  EXPECT_EQ(rec.countIn(probe), 2);
  // A hidden window is not painted.
  probe->Hide();
  probe->Invalidate();
  WFlushDrawing();
  EXPECT_EQ(rec.countIn(probe), 2);
}

TEST_F(WindowTest, KeysGoToTheFocusedWindowAndUnusedKeysBubbleUp) {
  WTopWindow top("Keys", 300, 200);
  auto* outer = new Probe(top.client(), true);
  auto* inner = new Probe(outer, false);
  std::vector<std::string> hooked;
  inner->AddEventHook([&](WWindow*, const WEvent& e) { hooked.push_back(WEventKindName(e.kind)); });
  inner->Focus();
  EXPECT_TRUE(inner->hasFocus());
  WSendEvent(&top, WKeyEvent('a', 0, "a"));
  EXPECT_EQ(inner->keys, std::vector<std::string>{"a"});
  EXPECT_EQ(outer->keys, std::vector<std::string>{"a"});  // inner did not take it
  EXPECT_EQ(hooked, std::vector<std::string>{"KeyDown"});
  // Focus moves between focusable windows in tree order.
  top.focusWindow()->FocusNext(false);
  EXPECT_TRUE(outer->hasFocus() || inner->hasFocus());
}

TEST_F(WindowTest, PanicInsideAnEventAbandonsOnlyThatEvent) {
  WTopWindow top("Panic", 300, 200);
  auto* p = new Probe(top.client());
  p->Focus();
  p->panic_on_key = true;
  int depth = ErrorCheckDepth();
  WSendEvent(&top, WKeyEvent(WK_Return));
  EXPECT_EQ(ErrorCheckDepth(), depth);
  p->panic_on_key = false;
  WSendEvent(&top, WKeyEvent(WK_Escape));
  EXPECT_EQ(p->keys, (std::vector<std::string>{"Return", "Escape"}));
}

TEST_F(WindowTest, WindowDestroyedByItsOwnHandlerIsDeletedAfterTheEvent) {
  WTopWindow top("Destroy", 300, 200);
  auto* p = new Probe(top.client());
  p->destroy_on_key = true;
  int hooks = 0;
  p->AddEventHook([&](WWindow*, const WEvent&) { ++hooks; });
  WSendEvent(p, WKeyEvent('x'));
  EXPECT_EQ(hooks, 1);  // still alive for the hooks of its own event
  ASSERT_EQ(top.client()->children().size(), 1u);
  EXPECT_TRUE(p->destroying());
  WEventAll(0);
  EXPECT_TRUE(top.client()->children().empty());
  // Posted events for a dead window are dropped.
  auto* q = new Probe(top.client());
  WPostEvent(q, WKeyEvent('y'));
  delete q;
  EXPECT_EQ(WDeliverPosted(), 0);
}

TEST_F(WindowTest, ModalWindowRefusesInputToOtherWindowsButNotPaint) {
  WTopWindow main_window("Main", 300, 200);
  WTopWindowOptions o;
  o.listed = false;
  WTopWindow dialog("Dialog", 100, 100, o);
  auto* behind = new Probe(main_window.client());
  auto* front = new Probe(dialog.client());
  WPushModal(&dialog);
  WSendEvent(behind, WButtonEvent(WEventKind::ButtonDown, 1, 5, 5));
  WSendEvent(front, WButtonEvent(WEventKind::ButtonDown, 1, 5, 5));
  WSendEvent(behind, Ev(WEventKind::Resize));
  WPopModal(&dialog);
  EXPECT_EQ(behind->seen, std::vector<std::string>{"Resize"});
  EXPECT_EQ(front->seen, std::vector<std::string>{"ButtonDown"});
}

TEST_F(WindowTest, PostedEventsArriveInOrderWithTheNextEventRound) {
  WTopWindow top("Posted", 300, 200);
  auto* p = new Probe(top.client());
  p->Focus();
  WPostEvent(&top, WKeyEvent('1'));
  WPostEvent(&top, WKeyEvent('2'));
  EXPECT_TRUE(p->keys.empty());
  EXPECT_TRUE(WPostedEventsPending());
  WEventAll(0);
  EXPECT_EQ(p->keys, (std::vector<std::string>{"1", "2"}));
  EXPECT_FALSE(WPostedEventsPending());
}

TEST_F(WindowTest, TextAreaDrawsOneCellPerByteAndCountsEveryCall) {
  WTopWindow top("Text", 400, 300);
  auto* area = new WTextArea(top.client());
  area->SetGeometry(WRect{0, 0, 160, 64});
  // Cell width, line height, columns and rows of 160x64 pixels.
  EXPECT_EQ(std::tuple(area->charWidth(), area->lineHeight(), area->columns(), area->rows()),
            std::tuple(8, 16, 20, 4));
  int col, row;
  area->CellAt(17, 35, &col, &row);
  EXPECT_EQ(std::pair(col, row), std::pair(2, 2));
  WDrawRecorder rec;
  const char bytes[] = {'a', '\xe9', '\xff', 'z'};
  area->DrawCells(3, 1, bytes, 4, 0x000000, 0xffffff);
  ASSERT_EQ(rec.count(), 1);
  const WDrawOp& op = rec.ops()[0];
  EXPECT_EQ(op.kind, WDrawKind::Cells);
  EXPECT_EQ(op.rect, (WRect{24, 16, 32, 16}));  // four bytes, four cells
  EXPECT_EQ(op.text, std::string(bytes, 4));
  EXPECT_EQ(rec.cellsIn(area), std::vector<std::string>{std::string(bytes, 4)});
  long before = area->drawCount();
  // Moving the caret draws nothing: it is laid over the contents.
  area->SetCaretCell(5, 2, true);
  EXPECT_EQ(area->drawCount(), before);
  EXPECT_EQ(area->caret(), (WRect{40, 32, 2, 16}));
  EXPECT_TRUE(area->caretVisible());
  area->ClearToEnd(18, 0, 0xffffff);
  area->ClearToEnd(25, 0, 0xffffff);  // beyond the edge: nothing
  EXPECT_EQ(rec.count(WDrawKind::FillRect), 1);
}

TEST_F(WindowTest, ScrollingMovesTheContentsAndRepaintsOnlyTheUncoveredStrip) {
  WTopWindow top("Scroll", 400, 300);
  top.Show();
  auto* area = new WTextArea(top.client());
  area->SetGeometry(WRect{0, 0, 160, 64});
  std::vector<WRect> painted;
  area->SetPaintHandler([&](WTextArea*, WPainter& p) { painted.push_back(p.clip()); });
  WFlushDrawing();
  painted.clear();
  WDrawRecorder rec;
  area->Scroll(0, -16);  // one line up: the bottom line is new
  WFlushDrawing();
  ASSERT_EQ(rec.count(WDrawKind::Copy), 1);
  EXPECT_EQ(rec.ops()[0].rect, (WRect{0, 0, 160, 48}));
  EXPECT_EQ(painted, std::vector<WRect>{(WRect{0, 48, 160, 16})});
  // An area waiting for paint moves with the contents.
  painted.clear();
  area->Invalidate(WRect{0, 16, 160, 16});
  area->Scroll(0, 16);
  WFlushDrawing();
  bool moved_too = false;
  for (const WRect& r : painted)
    if (r.contains(0, 32) && r.contains(159, 47)) moved_too = true;
  EXPECT_TRUE(moved_too);
  // A scroll by more than the window repaints everything.
  painted.clear();
  area->Scroll(0, 1000);
  WFlushDrawing();
  EXPECT_EQ(painted, std::vector<WRect>{area->bounds()});
}

TEST_F(WindowTest, KeyboardFocusOfTheWindowReachesItsFocusedChild) {
  WTopWindow top("Focus", 300, 200);
  auto* p = new Probe(top.client());
  p->Focus();
  WSendEvent(&top, Ev(WEventKind::FocusGained));
  WSendEvent(&top, Ev(WEventKind::FocusLost));
  EXPECT_EQ(p->seen, (std::vector<std::string>{"FocusGained", "FocusLost"}));
}

}  // namespace
