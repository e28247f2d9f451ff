#include "windlib/x11/wbutton.h"

#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wmenu.h"

int WDrawMnemonicLabel(WPainter& p, int x, int y, const std::string& label, WColor color) {
  WFont* f = WUIFont();
  std::string shown = WMenuLabelText(label);
  p.Text(x, y, shown, color, f);
  size_t pos = 0;
  if (WMenuMnemonic(label, &pos) && pos < shown.size()) {
    int ux = x + f->TextWidth(shown.substr(0, pos));
    int uw = f->TextWidth(shown.substr(pos, 1));
    int uy = y + f->Ascent() + 1;
    p.Line(ux, uy, ux + uw - 1, uy, color);
  }
  return f->TextWidth(shown);
}

WButton::WButton(WWindow* parent, const std::string& label, std::function<void()> action)
    : WWindow(parent), label_(label), action_(std::move(action)) {
  SetFocusable(true);
  int w, h;
  PreferredSize(&w, &h);
  SetGeometry(WRect{0, 0, w, h});
}

void WButton::SetLabel(const std::string& label) {
  label_ = label;
  Invalidate();
}

void WButton::SetEnabled(bool enabled) {
  enabled_ = enabled;
  SetFocusable(enabled);
  Invalidate();
}

void WButton::SetDefault(bool on) {
  is_default_ = on;
  Invalidate();
}

void WButton::Activate() {
  if (enabled_ && action_) {
    auto action = action_;  // the action may destroy the button
    action();
  }
}

void WButton::PreferredSize(int* w, int* h) const {
  WFont* f = WUIFont();
  *w = std::max(f->TextWidth(WMenuLabelText(label_)) + 24, 72);
  *h = f->Height() + 12;
}

void WButton::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  WRect b = bounds();
  p.FillRect(b, pal.control);
  bool sunken = pressed_ && inside_;
  if (!flat_ || inside_ || pressed_) {
    WRect frame = b;
    if (is_default_) {
      p.FrameRect(b, pal.controlText);
      frame = WRect{1, 1, b.width - 2, b.height - 2};
    }
    p.Bevel(frame, !sunken, 2);
  }
  WFont* f = WUIFont();
  int tw = f->TextWidth(WMenuLabelText(label_));
  int x = (b.width - tw) / 2 + (sunken ? 1 : 0);
  int y = (b.height - f->Height()) / 2 + (sunken ? 1 : 0);
  WDrawMnemonicLabel(p, x, y, label_, enabled_ ? pal.controlText : pal.disabledText);
  if (hasFocus()) p.FrameRect(WRect{4, 4, b.width - 8, b.height - 8}, pal.controlDark);
}

bool WButton::HandleEvent(WEvent& e) {
  switch (e.kind) {
    case WEventKind::ButtonDown:
      if (e.button != 1 || !enabled_) return false;
      pressed_ = true;
      inside_ = true;
      Invalidate();
      return true;
    case WEventKind::Motion: {
      bool in = bounds().contains(e.x, e.y);
      if (in != inside_) {
        inside_ = in;
        Invalidate();
      }
      return pressed_;
    }
    case WEventKind::ButtonUp: {
      if (e.button != 1 || !pressed_) return false;
      pressed_ = false;
      bool fire = bounds().contains(e.x, e.y);
      Invalidate();
      if (fire) Activate();
      return true;
    }
    case WEventKind::Enter:
      inside_ = true;
      if (flat_) Invalidate();
      return false;
    case WEventKind::Leave:
      inside_ = false;
      Invalidate();
      return false;
    case WEventKind::KeyDown:
      if (e.key == ' ' || e.key == WK_Return || e.key == WK_KP_Enter) {
        Activate();
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---- WLabel ----

WLabel::WLabel(WWindow* parent, const std::string& text) : WWindow(parent), text_(text) {}

void WLabel::SetText(const std::string& text) {
  text_ = text;
  Invalidate();
}

std::vector<std::string> WLabel::Lines(int width) const {
  WFont* f = WUIFont();
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text_.size()) {
    size_t nl = text_.find('\n', start);
    std::string para =
        text_.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    // Break the paragraph at blanks so that each line fits.
    std::string line;
    size_t i = 0;
    while (i < para.size()) {
      size_t sp = para.find(' ', i);
      std::string word = para.substr(i, sp == std::string::npos ? std::string::npos : sp - i);
      std::string candidate = line.empty() ? word : line + " " + word;
      if (!line.empty() && f->TextWidth(candidate) > width) {
        lines.push_back(line);
        line = word;
      } else {
        line = candidate;
      }
      if (sp == std::string::npos) break;
      i = sp + 1;
    }
    lines.push_back(line);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return lines;
}

int WLabel::HeightFor(int width) const {
  return static_cast<int>(Lines(width).size()) * WUIFont()->Height();
}

void WLabel::PreferredSize(int* w, int* h) const {
  int widest = 0;
  for (const std::string& l : Lines(1 << 20)) widest = std::max(widest, WUIFont()->TextWidth(l));
  *w = widest;
  *h = HeightFor(1 << 20);
}

void WLabel::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  p.FillRect(p.clip(), background());
  int y = 0;
  for (const std::string& l : Lines(width())) {
    p.Text(0, y, l, pal.controlText, WUIFont());
    y += WUIFont()->Height();
  }
}
