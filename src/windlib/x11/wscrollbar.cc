#include "windlib/x11/wscrollbar.h"

#include <algorithm>
#include <cstdlib>

#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/config/editsettings.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wgui.h"

namespace {
constexpr int kMinSlider = 12;
constexpr int kRepeatDelayMs = 300;
constexpr int kRepeatMs = 50;
constexpr int kWheelLines = 3;
}  // namespace

// Repeats an arrow or trough click while the button is held.
class WScrollBar::Repeater : public TimerListener {
 public:
  explicit Repeater(WScrollBar* bar) : bar_(bar) {}
  void Start() {
    first_ = true;
    if (IdleNotifier* n = getIdleNotifier()) n->addTimerListener(this, kRepeatDelayMs);
  }
  void Stop() {
    if (IdleNotifier* n = getIdleNotifier()) n->removeTimerListener(this);
  }
  void handleTimer(int64_t) override {
    if (first_) {
      first_ = false;
      if (IdleNotifier* n = getIdleNotifier()) n->addTimerListener(this, kRepeatMs);
    }
    bar_->RepeatStep();
  }

 private:
  WScrollBar* bar_;
  bool first_ = true;
};

WScrollBar::WScrollBar(WWindow* parent, Orientation orientation)
    : WWindow(parent), orientation_(orientation), repeater_(new Repeater(this)) {
  int t = Thickness();
  SetGeometry(orientation == Vertical ? WRect{0, 0, t, 100} : WRect{0, 0, 100, t});
}

WScrollBar::~WScrollBar() {
  delete repeater_;
}

int WScrollBar::Thickness() {
  return cfgScrollBarWidth < 5 || cfgScrollBarWidth > 100 ? 19 : cfgScrollBarWidth;
}

void WScrollBar::SetRange(long range, long page) {
  range_ = std::max(0L, range);
  page_ = std::max(0L, page);
  value_ = std::clamp(value_, 0L, maxValue());
  Invalidate();
}

void WScrollBar::SetValue(long value) {
  long v = std::clamp(value, 0L, maxValue());
  if (v == value_) return;
  value_ = v;
  Invalidate();
}

void WScrollBar::UserSet(long value) {
  long old = value_;
  SetValue(value);
  if (value_ != old && on_change_) on_change_(value_);
}

WRect WScrollBar::TroughRect() const {
  int a = Across();
  int len = std::max(0, Length() - 2 * a);
  return orientation_ == Vertical ? WRect{0, a, a, len} : WRect{a, 0, len, a};
}

WRect WScrollBar::SliderRect() const {
  WRect t = TroughRect();
  int len = orientation_ == Vertical ? t.height : t.width;
  int size = len, pos = 0;
  if (range_ > page_ && range_ > 0) {
    size = static_cast<int>(std::max<long>(kMinSlider, len * page_ / range_));
    size = std::min(size, len);
    long room = len - size;
    pos = static_cast<int>(maxValue() ? room * value_ / maxValue() : 0);
  }
  return orientation_ == Vertical ? WRect{t.x, t.y + pos, t.width, size}
                                  : WRect{t.x + pos, t.y, size, t.height};
}

void WScrollBar::PaintArrow(WPainter& p, const WRect& r, bool forward, bool pressed) {
  const WPalette& pal = WGetPalette();
  p.FillRect(r, pal.control);
  p.Bevel(r, !pressed, 1);
  // A small filled triangle, drawn as lines.
  int cx = r.x + r.width / 2, cy = r.y + r.height / 2, n = std::max(2, r.width / 4);
  for (int i = 0; i < n; ++i) {
    int k = forward ? n - 1 - i : i;
    if (orientation_ == Vertical)
      p.Line(cx - k, cy - n / 2 + i, cx + k, cy - n / 2 + i, pal.controlText);
    else
      p.Line(cx - n / 2 + i, cy - k, cx - n / 2 + i, cy + k, pal.controlText);
  }
}

void WScrollBar::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  WRect t = TroughRect();
  int a = Across();
  p.FillRect(t, pal.controlDark);
  WRect back = orientation_ == Vertical ? WRect{0, 0, a, a} : WRect{0, 0, a, a};
  WRect fwd =
      orientation_ == Vertical ? WRect{0, Length() - a, a, a} : WRect{Length() - a, 0, a, a};
  PaintArrow(p, back, false, held_ == Part::Back);
  PaintArrow(p, fwd, true, held_ == Part::Forward);
  if (range_ > page_) {
    WRect s = SliderRect();
    p.FillRect(s, pal.control);
    p.Bevel(s, true, 1);
  }
}

void WScrollBar::RepeatStep() {
  switch (held_) {
    case Part::Back:
      UserSet(value_ - step_);
      break;
    case Part::Forward:
      UserSet(value_ + step_);
      break;
    case Part::PageBack:
    case Part::PageForward: {
      // Page towards the pointer and stop once the slider reaches it.
      WRect s = SliderRect();
      int start = orientation_ == Vertical ? s.y : s.x;
      int end = start + (orientation_ == Vertical ? s.height : s.width);
      long page_step = std::max(step_, page_ - step_);
      if (held_ == Part::PageBack && pointer_along_ < start)
        UserSet(value_ - page_step);
      else if (held_ == Part::PageForward && pointer_along_ >= end)
        UserSet(value_ + page_step);
      break;
    }
    default:
      repeater_->Stop();
      break;
  }
}

bool WScrollBar::HandleEvent(WEvent& e) {
  switch (e.kind) {
    case WEventKind::ButtonDown: {
      if (e.button == 4 || e.button == 5) {
        UserSet(value_ + (e.button == 4 ? -1 : 1) * kWheelLines * step_);
        return true;
      }
      if (e.button != 1 && e.button != 2) return false;
      int along = Along(e);
      int a = Across();
      pointer_along_ = along;
      WRect s = SliderRect();
      int s_start = orientation_ == Vertical ? s.y : s.x;
      int s_len = orientation_ == Vertical ? s.height : s.width;
      if (along < a)
        held_ = Part::Back;
      else if (along >= Length() - a)
        held_ = Part::Forward;
      else if (e.button == 2 || (along >= s_start && along < s_start + s_len)) {
        held_ = Part::Slider;
        // The middle button grabs the slider by its centre where it is pressed.
        drag_offset_ = e.button == 2 ? s_len / 2 : along - s_start;
        if (e.button == 2) {
          WEvent m = e;
          m.kind = WEventKind::Motion;
          HandleEvent(m);
        }
      } else {
        held_ = along < s_start ? Part::PageBack : Part::PageForward;
      }
      if (held_ != Part::Slider) {
        RepeatStep();
        repeater_->Start();
      }
      Invalidate();
      return true;
    }
    case WEventKind::Motion: {
      pointer_along_ = Along(e);
      if (held_ != Part::Slider) return held_ != Part::None;
      WRect t = TroughRect();
      WRect s = SliderRect();
      int t_start = orientation_ == Vertical ? t.y : t.x;
      int room = (orientation_ == Vertical ? t.height - s.height : t.width - s.width);
      if (room <= 0) return true;
      long pos = pointer_along_ - drag_offset_ - t_start;
      UserSet(pos * maxValue() / room);
      return true;
    }
    case WEventKind::ButtonUp:
      if (held_ == Part::None) return false;
      held_ = Part::None;
      repeater_->Stop();
      Invalidate();
      return true;
    default:
      return false;
  }
}
