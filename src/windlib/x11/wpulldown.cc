#include "windlib/x11/wpulldown.h"

#include <algorithm>
#include <memory>

#include "windlib/handles.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wmenu.h"
#include "windlib/x11/wpopupmenu.h"

namespace {
constexpr int kArrowWidth = 16;

// A menu label that shows `text` as it is: ampersands doubled.
std::string literal_label(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}
}  // namespace

WPulldown::WPulldown(WWindow* parent) : WWindow(parent) {
  SetFocusable(true);
  int w, h;
  PreferredSize(&w, &h);
  SetGeometry(WRect{0, 0, w, h});
}

void WPulldown::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  selected_ = items_.empty() ? -1 : std::clamp(selected_, 0, static_cast<int>(items_.size()) - 1);
  Invalidate();
}

void WPulldown::Select(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  selected_ = index;
  Invalidate();
}

void WPulldown::Choose(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size()) || index == selected_) return;
  Select(index);
  if (on_change_) {
    auto fn = on_change_;  // the handler may replace itself
    fn(this, index);
  }
}

void WPulldown::OpenList() {
  if (items_.empty()) return;
  auto menu = std::make_shared<WMenu>();
  // The menu acts after it has closed: the pulldown may be gone by then.
  HandleRef self(kWindowHandleType, this);
  for (size_t i = 0; i < items_.size(); ++i) {
    WMenuItem& it = menu->Add(literal_label(items_[i]), "", [this, self, i] {
      if (self.alive()) Choose(static_cast<int>(i));
    });
    it.checkable = true;
    it.checked = static_cast<int>(i) == selected_;
  }
  int x, y;
  ScreenPosition(&x, &y);
  // The keys move on from the chosen text.
  WPopupMenu::Open(menu, x, y + height())->Select(selected_);
}

void WPulldown::PreferredSize(int* w, int* h) const {
  WFont* f = WUIFont();
  int widest = 0;
  for (const std::string& s : items_) widest = std::max(widest, f->TextWidth(s));
  *w = std::max(widest + 16 + kArrowWidth, 72);
  *h = f->Height() + 12;
}

void WPulldown::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  WRect b = bounds();
  p.FillRect(b, pal.control);
  p.Bevel(b, true, 2);
  WFont* f = WUIFont();
  int ty = (b.height - f->Height()) / 2;
  p.Text(8, ty, selected_ >= 0 ? items_[static_cast<size_t>(selected_)] : none_text_,
         pal.controlText, f);
  // A small downward triangle at the right end.
  int ax = b.width - kArrowWidth, ay = b.height / 2 - 2;
  for (int row = 0; row < 4; ++row)
    p.Line(ax + row, ay + row, ax + 8 - row, ay + row, pal.controlText);
  if (hasFocus()) p.FrameRect(WRect{4, 4, b.width - 8, b.height - 8}, pal.controlDark);
}

bool WPulldown::HandleEvent(WEvent& e) {
  switch (e.kind) {
    case WEventKind::ButtonDown:
      if (e.button != 1) return false;
      Focus();
      OpenList();
      return true;
    case WEventKind::KeyDown:
      if (e.key == WK_Down) {
        Choose(selected_ + 1);
        return true;
      }
      if (e.key == WK_Up) {
        Choose(selected_ - 1);
        return true;
      }
      if (e.key == ' ') {
        OpenList();
        return true;
      }
      return false;
    default:
      return false;
  }
}
