#include "windlib/x11/wbars.h"

#include <algorithm>

#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"

namespace {
constexpr int kSeparatorWidth = 10;
}

// ---- WToolBar ----

WToolBar::WToolBar(WWindow* parent) : WWindow(parent) {
  int w, h;
  PreferredSize(&w, &h);
  SetGeometry(WRect{0, 0, w, h});
}

WButton* WToolBar::AddButton(const std::string& label, const std::string& status_text,
                             std::function<void()> action, int index) {
  auto* b = new WButton(this, label, std::move(action));
  b->SetFlat(true);
  b->SetFocusable(false);
  b->SetStatusText(status_text);
  b->SetTooltip(status_text.empty() ? label : status_text);
  b->AddEventHook([this](WWindow* w, const WEvent& e) {
    if (!status_) return;
    auto* button = static_cast<WButton*>(w);
    if (e.kind == WEventKind::Enter)
      status_->SetMessage(button->statusText());
    else if (e.kind == WEventKind::Leave)
      status_->SetMessage("");
  });
  if (index < 0 || index > count())
    items_.push_back(b);
  else
    items_.insert(items_.begin() + index, b);
  Layout();
  return b;
}

void WToolBar::AddSeparator(int index) {
  if (index < 0 || index > count())
    items_.push_back(nullptr);
  else
    items_.insert(items_.begin() + index, nullptr);
  Layout();
}

void WToolBar::Clear() {
  for (WButton* b : items_) delete b;
  items_.clear();
  Invalidate();
}

void WToolBar::PreferredSize(int* w, int* h) const {
  *w = width();
  *h = WUIFont()->Height() + 14;
}

void WToolBar::Layout() {
  int x = 3;
  for (WButton* b : items_) {
    if (!b) {
      x += kSeparatorWidth;
      continue;
    }
    int bw, bh;
    b->PreferredSize(&bw, &bh);
    bw = std::max(WUIFont()->TextWidth(b->label()) + 16, 28);
    b->SetGeometry(WRect{x, 1, bw, std::max(1, height() - 3)});
    x += bw + 2;
  }
  Invalidate();
}

void WToolBar::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  p.FillRect(p.clip(), pal.control);
  p.Line(0, height() - 1, width() - 1, height() - 1, pal.controlDark);
  int x = 3;
  for (WButton* b : items_) {
    if (b) {
      x = b->geometry().right() + 2;
      continue;
    }
    int mid = x + kSeparatorWidth / 2 - 1;
    p.Line(mid, 4, mid, height() - 6, pal.controlDark);
    p.Line(mid + 1, 4, mid + 1, height() - 6, pal.controlLight);
    x += kSeparatorWidth;
  }
}

// ---- WStatusLine ----

WStatusLine::WStatusLine(WWindow* parent) : WWindow(parent) {
  int w, h;
  PreferredSize(&w, &h);
  SetGeometry(WRect{0, 0, w, h});
}

void WStatusLine::SetMessage(const std::string& text) {
  if (text == message_) return;
  message_ = text;
  Invalidate();
}

void WStatusLine::SetField(int index, const std::string& text, int min_chars) {
  if (index < 0) return;
  if (index >= fieldCount()) fields_.resize(static_cast<size_t>(index) + 1);
  Field& f = fields_[static_cast<size_t>(index)];
  if (f.text == text && f.min_chars == min_chars) return;
  f.text = text;
  f.min_chars = min_chars;
  Invalidate();
}

std::string WStatusLine::field(int index) const {
  if (index < 0 || index >= fieldCount()) return "";
  return fields_[static_cast<size_t>(index)].text;
}

void WStatusLine::PreferredSize(int* w, int* h) const {
  *w = width();
  *h = WUIFont()->Height() + 6;
}

WRect WStatusLine::FieldRect(int index) const {
  WFont* f = WUIFont();
  int x = width() - 2;
  for (int i = fieldCount() - 1; i >= 0; --i) {
    const Field& fd = fields_[static_cast<size_t>(i)];
    int w = std::max(f->TextWidth(fd.text), fd.min_chars * f->TextWidth("0")) + 12;
    x -= w;
    if (i == index) return WRect{x, 1, w, height() - 2};
    x -= 2;
  }
  return WRect{};
}

void WStatusLine::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  WFont* f = WUIFont();
  p.FillRect(p.clip(), pal.control);
  p.Line(0, 0, width() - 1, 0, pal.controlLight);
  int right = width();
  for (int i = 0; i < fieldCount(); ++i) {
    WRect r = FieldRect(i);
    right = std::min(right, r.x);
    p.Bevel(r, false, 1);
    p.Text(r.x + 6, r.y + (r.height - f->Height()) / 2, fields_[static_cast<size_t>(i)].text,
           pal.controlText, f);
  }
  WPainter msg = p;
  msg.SetClip(WRect{0, 0, right - 4, height()});
  msg.Text(6, (height() - f->Height()) / 2, message_, pal.controlText, f);
}
