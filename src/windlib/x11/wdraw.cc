#include "windlib/x11/wdraw.h"

#include <X11/Xft/Xft.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "windlib/file/textgeom.h"
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

// Bold and italic faces of a text font, by font name and attributes; none
// where the family has no such face of the same cell width.
struct StyledFaces {
  Display* display = nullptr;
  std::map<std::pair<std::string, int>, XftFont*> faces;
};
StyledFaces styled;

bool face_has(XftFont* f, const char* object, int at_least) {
  int v = 0;
  return FcPatternGetInteger(f->pattern, object, 0, &v) == FcResultMatch && v >= at_least;
}

XftFont* open_styled_face(Display* d, const WFont* font, int attrs) {
  auto* base = static_cast<XftFont*>(font->native());
  FcChar8* family = nullptr;
  double pixels = 0;
  if (FcPatternGetString(base->pattern, FC_FAMILY, 0, &family) != FcResultMatch ||
      FcPatternGetDouble(base->pattern, FC_PIXEL_SIZE, 0, &pixels) != FcResultMatch)
    return nullptr;
  FcPattern* want = FcPatternCreate();
  FcPatternAddString(want, FC_FAMILY, family);
  FcPatternAddDouble(want, FC_PIXEL_SIZE, pixels);
  if (attrs & WAttrBold) FcPatternAddInteger(want, FC_WEIGHT, FC_WEIGHT_BOLD);
  if (attrs & WAttrItalic) FcPatternAddInteger(want, FC_SLANT, FC_SLANT_ITALIC);
  FcResult result;
  FcPattern* match = XftFontMatch(d, DefaultScreen(d), want, &result);
  FcPatternDestroy(want);
  XftFont* face = match ? XftFontOpenPattern(d, match) : nullptr;
  if (!face) {
    if (match) FcPatternDestroy(match);
    return nullptr;
  }
  FcChar8* got = nullptr;
  bool fits =
      FcPatternGetString(face->pattern, FC_FAMILY, 0, &got) == FcResultMatch &&
      strcasecmp(reinterpret_cast<const char*>(got), reinterpret_cast<const char*>(family)) == 0 &&
      face->max_advance_width <= font->CharWidth() &&
      (!(attrs & WAttrBold) || face_has(face, FC_WEIGHT, FC_WEIGHT_BOLD)) &&
      (!(attrs & WAttrItalic) || face_has(face, FC_SLANT, FC_SLANT_ITALIC));
  if (!fits) {
    XftFontClose(d, face);
    return nullptr;
  }
  return face;
}

// The face for `attrs` (bold and italic bits), opened on first use.
XftFont* styled_face(Display* d, const WFont* font, int attrs) {
  attrs &= WAttrBold | WAttrItalic;
  if (!attrs) return static_cast<XftFont*>(font->native());
  if (styled.display != d) {
    // Faces of another display are gone with it.
    styled.faces.clear();
    styled.display = d;
  }
  auto key = std::make_pair(font->Name(), attrs);
  auto it = styled.faces.find(key);
  if (it == styled.faces.end())
    it = styled.faces.emplace(key, open_styled_face(d, font, attrs)).first;
  return it->second;
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

void WPainter::Record(WDrawKind kind, const WRect& r, std::string_view text, WColor fg, WColor bg,
                      uint8_t attrs) {
  ++total_calls;
  ++window_->draw_count_;
  if (recorder)
    recorder->ops_.push_back(WDrawOp{kind, window_, r, std::string(text), fg, bg, attrs});
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
  Cells(x, y, bytes, count, WCellStyle{fg, bg, 0}, font);
}

void WPainter::Cells(int x, int y, const char* bytes, int count, const WCellStyle& style,
                     const WFont* font) {
  if (count <= 0) return;
  const std::string_view glyphs(bytes, static_cast<size_t>(count));
  Cells(x, y, glyphs, GeomGlyphCells(glyphs), style, font);
}

void WPainter::Cells(int x, int y, std::string_view glyphs, int cells, const WCellStyle& style,
                     const WFont* font) {
  if (clip_.empty() || glyphs.empty() || !font) return;
  const char* bytes = glyphs.data();
  const int count = static_cast<int>(glyphs.size());
  int cw = font->CharWidth();
  WRect r{x, y, cw * cells, font->Height()};
  Record(WDrawKind::Cells, r, glyphs, style.fg, style.bg, style.attrs);
  XTarget t = target_of(window_);
  if (!t.ok()) return;
  set_clip(t, clip_);
  XSetForeground(t.d, t.x->gc, WXPixel(style.bg));
  XFillRectangle(t.d, t.x->back, t.x->gc, r.x, r.y, static_cast<unsigned>(r.width),
                 static_cast<unsigned>(r.height));
  if (style.attrs & WAttrUnderline) {
    XSetForeground(t.d, t.x->gc, WXPixel(style.fg));
    XFillRectangle(t.d, t.x->back, t.x->gc, r.x, y + font->Ascent() + 1,
                   static_cast<unsigned>(r.width), 1);
  }
  if (!font->native()) return;
  XftFont* xf = styled_face(t.d, font, style.attrs);
  // Without a bold face, bold is the upright face struck twice.
  const bool strike_twice = (style.attrs & WAttrBold) && !xf;
  if (!xf) xf = styled_face(t.d, font, style.attrs & WAttrItalic);
  if (!xf) xf = static_cast<XftFont*>(font->native());
  // Each character at its own cell, so that a glyph narrower or wider than
  // the cell never shifts the ones after it. A combining mark takes no cell
  // and is drawn where the cell before it ends; a byte that is not UTF-8 is
  // drawn as its Latin-1 character.
  // The glyph list is kept between calls, so drawing a row allocates nothing.
  static std::vector<XftCharSpec> specs;
  specs.clear();
  const int first = std::max(0, (clip_.x - x) / cw - 2);
  const int last = (clip_.right() - x) / cw + 2;
  const short baseline = static_cast<short>(y + font->Ascent());
  const char* end = bytes + count;
  int cell = 0;
  for (const char* p = bytes; p < end && cell <= last;) {
    const unsigned char c = static_cast<unsigned char>(*p);
    char32_t code = c;
    int width = 1, len = 1;
    if (c >= 0x80) {
      const GeomChar ch = GeomDecodeUtf8Quick(p, end);
      if (ch.valid()) {
        code = ch.code;
        width = ch.cells;
        len = ch.len;
      }
    }
    if (code != ' ' && cell >= first)
      specs.push_back(
          XftCharSpec{static_cast<FcChar32>(code), static_cast<short>(x + cell * cw), baseline});
    cell += width;
    p += len;
  }
  if (specs.empty()) return;
  XftDrawCharSpec(t.x->draw, WXColor(style.fg), xf, specs.data(), static_cast<int>(specs.size()));
  if (strike_twice) {
    for (XftCharSpec& spec : specs) ++spec.x;
    XftDrawCharSpec(t.x->draw, WXColor(style.fg), xf, specs.data(), static_cast<int>(specs.size()));
  }
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

void WDrawReset() {
  for (auto& [key, face] : styled.faces)
    if (face && styled.display) XftFontClose(styled.display, face);
  styled.faces.clear();
  styled.display = nullptr;
}
