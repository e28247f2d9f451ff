#include "windlib/x11/wlist.h"

#include <algorithm>
#include <cctype>

#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wscrollbar.h"

WList::WList(WWindow* parent) : WWindow(parent) {
  SetFocusable(true);
  SetBackgroundRole(WBackgroundRole::TextBackground);
  bar_ = new WScrollBar(this, WScrollBar::Vertical);
  bar_->SetOnChange([this](long v) { ScrollTo(v); });
  Layout();
}

int WList::rowHeight() const {
  return WUIFont()->Height() + 2;
}
int WList::topRow() const {
  return static_cast<int>(scroll_ / rowHeight());
}

int WList::VisibleRows() const {
  return std::max(1, (height() - 2) / rowHeight());
}

void WList::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  selected_ = items_.empty() ? -1 : std::min(selected_, static_cast<int>(items_.size()) - 1);
  scroll_ = 0;
  UpdateScrollBar();
  Invalidate();
}

void WList::Layout() {
  int t = WScrollBar::Thickness();
  bar_->SetGeometry(WRect{width() - t - 1, 1, t, std::max(1, height() - 2)});
  UpdateScrollBar();
}

void WList::UpdateScrollBar() {
  long total = static_cast<long>(items_.size()) * rowHeight();
  bar_->SetRange(total, height() - 2);
  bar_->SetStep(rowHeight());
  scroll_ = std::clamp(scroll_, 0L, bar_->maxValue());
  bar_->SetValue(scroll_);
}

void WList::ScrollTo(long pixels) {
  long v = std::clamp(pixels, 0L, bar_->maxValue());
  if (v == scroll_) return;
  scroll_ = v;
  bar_->SetValue(v);
  Invalidate();
}

void WList::Select(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  if (index >= 0) {
    long y = static_cast<long>(index) * rowHeight();
    if (y < scroll_)
      ScrollTo(y);
    else if (y + rowHeight() > scroll_ + height() - 2)
      ScrollTo(y + rowHeight() - (height() - 2));
  }
  if (index == selected_) return;
  selected_ = index;
  Invalidate();
  if (on_select_) on_select_(this, index);
}

int WList::RowAt(int y) const {
  long row = (y - 1 + scroll_) / rowHeight();
  return row >= 0 && row < static_cast<long>(items_.size()) ? static_cast<int>(row) : -1;
}

void WList::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  WFont* f = WUIFont();
  p.FillRect(p.clip(), background());
  p.Bevel(bounds(), false, 1);
  WPainter rows = p;
  rows.SetClip(WRect{1, 1, bar_->geometry().x - 1, height() - 2});
  int first = topRow();
  int last = std::min(static_cast<int>(items_.size()), first + VisibleRows() + 2);
  for (int i = first; i < last; ++i) {
    int y = 1 + static_cast<int>(static_cast<long>(i) * rowHeight() - scroll_);
    WRect r{1, y, bar_->geometry().x - 1, rowHeight()};
    bool sel = i == selected_;
    if (sel) rows.FillRect(r, hasFocus() ? pal.selection : pal.controlDark);
    rows.Text(4, y + 1, items_[static_cast<size_t>(i)], sel ? pal.selectionText : pal.text, f);
  }
}

bool WList::HandleEvent(WEvent& e) {
  switch (e.kind) {
    case WEventKind::ButtonDown: {
      if (e.button == 4 || e.button == 5) {
        ScrollTo(scroll_ + (e.button == 4 ? -3 : 3) * rowHeight());
        return true;
      }
      if (e.button != 1) return false;
      Focus();
      int row = RowAt(e.y);
      if (row < 0) return true;
      Select(row);
      if (e.clicks == 2 && on_activate_) on_activate_(this, row);
      return true;
    }
    case WEventKind::KeyDown: {
      int n = static_cast<int>(items_.size());
      if (n == 0) return false;
      int page = VisibleRows();
      switch (e.key) {
        case WK_Up:
          Select(std::max(0, selected_ - 1));
          return true;
        case WK_Down:
          Select(std::min(n - 1, selected_ + 1));
          return true;
        case WK_Prior:
          Select(std::max(0, selected_ - page));
          return true;
        case WK_Next:
          Select(std::min(n - 1, std::max(0, selected_) + page));
          return true;
        case WK_Home:
          Select(0);
          return true;
        case WK_End:
          Select(n - 1);
          return true;
        case WK_Return:
        case WK_KP_Enter:
          if (selected_ >= 0 && on_activate_) {
            on_activate_(this, selected_);
            return true;
          }
          return false;
        default:
          break;
      }
      // Type-ahead: the next row after the selection starting with the letter.
      if (e.text.size() == 1 && std::isprint(static_cast<unsigned char>(e.text[0])) &&
          !(e.modifiers & (WModControl | WModMeta))) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(e.text[0])));
        for (int k = 1; k <= n; ++k) {
          int i = (std::max(selected_, 0) + k) % n;
          const std::string& s = items_[static_cast<size_t>(i)];
          if (!s.empty() && std::tolower(static_cast<unsigned char>(s[0])) == c) {
            Select(i);
            return true;
          }
        }
      }
      return false;
    }
    default:
      return false;
  }
}
