#include "windlib/x11/wdraw.h"

#include <X11/Xft/Xft.h>

#include <algorithm>

#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wwindow.h"
#include "windlib/x11/xdisplay.h"

namespace {
WDrawRecorder* recorder = nullptr;
long total_calls = 0;

// The X side of a painter: the window's back buffer, clipped.
struct XTarget {
  Display* d = nullptr;
  WXState* x = nullptr;
  bool ok() const { return d && x && x->back; }
};

XTarget target_of(WWindow* w) {
  XTarget t;
  t.d = WXDisplay();
  t.x = w->xstate();
  if (t.ok() && (t.x->backWidth < w->width() || t.x->backHeight < w->height())) WXEnsureBack(w);
  return t;
}

void set_clip(const XTarget& t, const WRect& clip) {
  XRectangle r = {static_cast<short>(clip.x), static_cast<short>(clip.y),
                  static_cast<unsigned short>(clip.width),
                  static_cast<unsigned short>(clip.height)};
  XSetClipRectangles(t.d, t.x->gc, 0, 0, &r, 1, Unsorted);
  XftDrawSetClipRectangles(t.x->draw, 0, 0, &r, 1);
}
}  // namespace

WPainter::WPainter(WWindow* window, const WRect& clip)
    : window_(window), clip_(clip.intersect(window->bounds())) {}

void WPainter::SetClip(const WRect& r) {
  clip_ = clip_.intersect(r);
}

void WPainter::Record(WDrawKind kind, const WRect& r, const std::string& text, WColor fg,
                      WColor bg) {
  ++total_calls;
  ++window_->draw_count_;
  if (recorder) recorder->ops_.push_back(WDrawOp{kind, window_, r, text, fg, bg});
  WRect hit = r.intersect(clip_);
  if (!hit.empty() && window_->x_) {
    window_->x_->damage.push_back(hit);
    WNoteDamage(window_);
  }
}

void WPainter::FillRect(const WRect& r, WColor color) {
  if (clip_.empty() || r.empty()) return;
  Record(WDrawKind::FillRect, r, "", color, color);
  XTarget t = target_of(window_);
  if (!t.ok()) return;
  set_clip(t, clip_);
  XSetForeground(t.d, t.x->gc, WXPixel(color));
  XFillRectangle(t.d, t.x->back, t.x->gc, r.x, r.y, static_cast<unsigned>(r.width),
                 static_cast<unsigned>(r.height));
}

void WPainter::FrameRect(const WRect& r, WColor color) {
  if (clip_.empty() || r.width < 1 || r.height < 1) return;
  Record(WDrawKind::FrameRect, r, "", color, color);
  XTarget t = target_of(window_);
  if (!t.ok()) return;
  set_clip(t, clip_);
  XSetForeground(t.d, t.x->gc, WXPixel(color));
  XDrawRectangle(t.d, t.x->back, t.x->gc, r.x, r.y, static_cast<unsigned>(r.width - 1),
                 static_cast<unsigned>(r.height - 1));
}

void WPainter::Line(int x1, int y1, int x2, int y2, WColor color) {
  if (clip_.empty()) return;
  WRect r{std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1};
  Record(WDrawKind::Line, r, "", color, color);
  XTarget t = target_of(window_);
  if (!t.ok()) return;
  set_clip(t, clip_);
  XSetForeground(t.d, t.x->gc, WXPixel(color));
  XDrawLine(t.d, t.x->back, t.x->gc, x1, y1, x2, y2);
}

void WPainter::Bevel(const WRect& r, bool raised, int width) {
  const WPalette& pal = WGetPalette();
  WColor tl = raised ? pal.controlLight : pal.controlDark;
  WColor br = raised ? pal.controlDark : pal.controlLight;
  for (int i = 0; i < width; ++i) {
    int l = r.x + i, t = r.y + i, rr = r.right() - 1 - i, b = r.bottom() - 1 - i;
    if (rr <= l || b <= t) break;
    Line(l, t, rr, t, tl);
    Line(l, t, l, b, tl);
    Line(l, b, rr, b, br);
    Line(rr, t, rr, b, br);
  }
}

void WPainter::Cells(int x, int y, const char* bytes, int count, WColor fg, WColor bg,
                     const WFont* font) {
  if (clip_.empty() || count <= 0 || !font) return;
  int cw = font->CharWidth();
  WRect r{x, y, cw * count, font->Height()};
  Record(WDrawKind::Cells, r, std::string(bytes, static_cast<size_t>(count)), fg, bg);
  XTarget t = target_of(window_);
  if (!t.ok()) return;
  set_clip(t, clip_);
  XSetForeground(t.d, t.x->gc, WXPixel(bg));
  XFillRectangle(t.d, t.x->back, t.x->gc, r.x, r.y, static_cast<unsigned>(r.width),
                 static_cast<unsigned>(r.height));
  auto* xf = static_cast<XftFont*>(font->native());
  if (!xf) return;
  // Each byte at its own cell, so that a glyph narrower or wider than the
  // cell never shifts the ones after it.
  std::vector<XftCharSpec> specs;
  specs.reserve(static_cast<size_t>(count));
  int first = std::max(0, (clip_.x - x) / cw - 1);
  int last = std::min(count, (clip_.right() - x) / cw + 2);
  for (int i = first; i < last; ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == ' ') continue;
    specs.push_back(XftCharSpec{static_cast<FcChar32>(c), static_cast<short>(x + i * cw),
                                static_cast<short>(y + font->Ascent())});
  }
  if (!specs.empty())
    XftDrawCharSpec(t.x->draw, WXColor(fg), xf, specs.data(), static_cast<int>(specs.size()));
}

void WPainter::Copy(const WRect& from, int dx, int dy) {
  WRect src = from.intersect(window_->bounds());
  if (src.empty() || (dx == 0 && dy == 0)) return;
  WRect dst{src.x + dx, src.y + dy, src.width, src.height};
  Record(WDrawKind::Copy, dst, "", 0, 0);
  XTarget t = target_of(window_);
  if (!t.ok()) return;
  set_clip(t, clip_);
  XCopyArea(t.d, t.x->back, t.x->back, t.x->gc, src.x, src.y, static_cast<unsigned>(src.width),
            static_cast<unsigned>(src.height), dst.x, dst.y);
}

void WPainter::Text(int x, int y, const std::string& utf8, WColor fg, const WFont* font) {
  if (clip_.empty() || utf8.empty() || !font) return;
  WRect r{x, y, font->TextWidth(utf8), font->Height()};
  Record(WDrawKind::Text, r, utf8, fg, fg);
  XTarget t = target_of(window_);
  if (!t.ok()) return;
  auto* xf = static_cast<XftFont*>(font->native());
  if (!xf) return;
  set_clip(t, clip_);
  XftDrawStringUtf8(t.x->draw, WXColor(fg), xf, x, y + font->Ascent(),
                    reinterpret_cast<const FcChar8*>(utf8.data()), static_cast<int>(utf8.size()));
}

// ---- Recorder ----

WDrawRecorder::WDrawRecorder() : outer_(recorder) {
  recorder = this;
}
WDrawRecorder::~WDrawRecorder() {
  recorder = outer_;
}

int WDrawRecorder::count(WDrawKind kind) const {
  return static_cast<int>(
      std::count_if(ops_.begin(), ops_.end(), [&](const WDrawOp& o) { return o.kind == kind; }));
}

int WDrawRecorder::countIn(const WWindow* window) const {
  return static_cast<int>(std::count_if(ops_.begin(), ops_.end(),
                                        [&](const WDrawOp& o) { return o.window == window; }));
}

std::vector<std::string> WDrawRecorder::cellsIn(const WWindow* window) const {
  std::vector<std::string> out;
  for (const WDrawOp& o : ops_)
    if (o.window == window && o.kind == WDrawKind::Cells) out.push_back(o.text);
  return out;
}

long WDrawCallCount() {
  return total_calls;
}
