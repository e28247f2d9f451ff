// Scroll bars in pixel units: the range is the height (or width) of the
// whole content, the page is the part shown, the value is the first pixel
// shown, from 0 to range - page.
#pragma once

#include <functional>

#include "windlib/x11/wwindow.h"

class WScrollBar : public WWindow {
 public:
  enum Orientation { Vertical, Horizontal };
  WScrollBar(WWindow* parent, Orientation orientation);
  ~WScrollBar() override;

  Orientation orientation() const { return orientation_; }
  // Sets content size and visible size; the value is kept within range.
  void SetRange(long range, long page);
  // Moves the slider without telling the listener.
  void SetValue(long value);
  long value() const { return value_; }
  long range() const { return range_; }
  long page() const { return page_; }
  long maxValue() const { return range_ > page_ ? range_ - page_ : 0; }
  // Pixels one arrow click moves (a line); a page click moves a page less one step.
  void SetStep(long step) { step_ = step > 0 ? step : 1; }
  long step() const { return step_; }
  // Told every new value that the user makes.
  void SetOnChange(std::function<void(long)> fn) { on_change_ = std::move(fn); }

  // The thickness of scroll bars: the "scrollbarwidth" resource (5-100), else 19.
  static int Thickness();

  // The slider's rectangle and the trough (between the arrows).
  WRect SliderRect() const;
  WRect TroughRect() const;

  void Paint(WPainter& p) override;
  bool HandleEvent(WEvent& e) override;

 private:
  class Repeater;
  friend class Repeater;
  void UserSet(long value);
  void RepeatStep();
  int Length() const { return orientation_ == Vertical ? height() : width(); }
  int Across() const { return orientation_ == Vertical ? width() : height(); }
  int Along(const WEvent& e) const { return orientation_ == Vertical ? e.y : e.x; }
  void PaintArrow(WPainter& p, const WRect& r, bool forward, bool pressed);

  Orientation orientation_;
  long range_ = 0, page_ = 0, value_ = 0, step_ = 16;
  std::function<void(long)> on_change_;
  enum class Part { None, Back, Forward, PageBack, PageForward, Slider } held_ = Part::None;
  int drag_offset_ = 0;    // pointer position within the slider when dragging
  int pointer_along_ = 0;  // last pointer position while a button is held
  Repeater* repeater_;
};
