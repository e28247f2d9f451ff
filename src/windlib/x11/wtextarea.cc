#include "windlib/x11/wtextarea.h"

#include <algorithm>
#include <cstdlib>

#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"

class WTextArea::Blinker : public TimerListener {
 public:
  explicit Blinker(WTextArea* area) : area_(area) {}
  void handleTimer(int64_t) override { area_->Blink(); }

 private:
  WTextArea* area_;
};

WTextArea::WTextArea(WWindow* parent, WFont* font)
    : WWindow(parent), font_(font ? font : WTextFont()), blinker_(new Blinker(this)) {
  SetFocusable(true);
  SetBackgroundRole(WBackgroundRole::TextBackground);
  SetPointerShape(WPointerShape::Text);
}

WTextArea::~WTextArea() {
  delete blinker_;
}

void WTextArea::SetFont(WFont* font) {
  font_ = font ? font : WTextFont();
  Invalidate();
}

int WTextArea::charWidth() const {
  return font_->CharWidth();
}
int WTextArea::lineHeight() const {
  return font_->Height();
}
int WTextArea::ascent() const {
  return font_->Ascent();
}

int WTextArea::columns() const {
  return (width() + charWidth() - 1) / charWidth();
}
int WTextArea::rows() const {
  return (height() + lineHeight() - 1) / lineHeight();
}

void WTextArea::CellAt(int x, int y, int* column, int* row) const {
  *column = std::max(0, x) / charWidth();
  *row = std::max(0, y) / lineHeight();
}

void WTextArea::DrawBytes(int x, int y, const char* bytes, int count, WColor fg, WColor bg) {
  WPainter p = Painter();
  p.Cells(x, y, bytes, count, fg, bg, font_);
}

void WTextArea::DrawCells(int column, int row, const char* bytes, int count, WColor fg, WColor bg) {
  DrawBytes(column * charWidth(), row * lineHeight(), bytes, count, fg, bg);
}

void WTextArea::Fill(const WRect& r, WColor color) {
  WPainter p = Painter();
  p.FillRect(r, color);
}

void WTextArea::Scroll(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  if (std::abs(dx) >= width() || std::abs(dy) >= height()) {
    Invalidate();
    return;
  }
  WPainter p = Painter();
  // The part that stays visible, in its old place.
  WRect keep{std::max(0, -dx), std::max(0, -dy), width() - std::abs(dx), height() - std::abs(dy)};
  p.Copy(keep, dx, dy);
  ShiftInvalid(dx, dy);
  if (dy > 0) Invalidate(WRect{0, 0, width(), dy});
  if (dy < 0) Invalidate(WRect{0, height() + dy, width(), -dy});
  if (dx > 0) Invalidate(WRect{0, 0, dx, height()});
  if (dx < 0) Invalidate(WRect{width() + dx, 0, -dx, height()});
}

void WTextArea::ClearToEnd(int column, int row, WColor color) {
  int x = column * charWidth();
  if (x >= width()) return;
  Fill(WRect{x, row * lineHeight(), width() - x, lineHeight()}, color);
}

void WTextArea::SetCaretCell(int column, int row, bool visible, CaretShape shape) {
  int x = column * charWidth(), y = row * lineHeight();
  WRect r;
  switch (shape) {
    case CaretShape::Bar:
      r = WRect{x, y, 2, lineHeight()};
      break;
    case CaretShape::Block:
      r = WRect{x, y, charWidth(), lineHeight()};
      break;
    case CaretShape::Underline:
      r = WRect{x, y + lineHeight() - 2, charWidth(), 2};
      break;
  }
  SetCaretRect(r, visible);
}

void WTextArea::SetCaretRect(const WRect& r, bool visible) {
  caret_rect_ = r;
  caret_wanted_ = visible;
  blink_on_ = true;  // a caret that moves shows at once
  UpdateCaret();
}

void WTextArea::SetCaretBlink(int ms) {
  blink_ms_ = ms > 0 ? ms : 0;
  IdleNotifier* n = getIdleNotifier();
  if (!n) return;
  if (blink_ms_ && hasFocus())
    n->addTimerListener(blinker_, blink_ms_);
  else
    n->removeTimerListener(blinker_);
  blink_on_ = true;
  UpdateCaret();
}

void WTextArea::Blink() {
  blink_on_ = !blink_on_;
  UpdateCaret();
}

void WTextArea::UpdateCaret() {
  SetCaret(caret_rect_, caret_wanted_ && blink_on_, WGetPalette().caret);
}

void WTextArea::OnFocusChange(bool focused) {
  if (blink_ms_) {
    if (IdleNotifier* n = getIdleNotifier()) {
      if (focused)
        n->addTimerListener(blinker_, blink_ms_);
      else
        n->removeTimerListener(blinker_);
    }
  }
  blink_on_ = true;
  UpdateCaret();
}

void WTextArea::Paint(WPainter& p) {
  if (on_paint_)
    on_paint_(this, p);
  else
    p.FillRect(p.clip(), background());
}

bool WTextArea::HandleEvent(WEvent& e) {
  if (e.kind == WEventKind::ButtonDown && e.button == 1) Focus();
  if (on_event_ && on_event_(this, e)) return true;
  return false;
}
