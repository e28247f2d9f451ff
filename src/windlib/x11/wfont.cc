#include "windlib/x11/wfont.h"

#include <X11/Xft/Xft.h>

#include <cstring>

#include "windlib/config/editsettings.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/xdisplay.h"

namespace {
constexpr char kDefaultTextFont[] = "DejaVu Sans Mono:size=10";
constexpr char kDefaultUIFont[] = "DejaVu Sans:size=9";

WFont* text_font = nullptr;
WFont* ui_font = nullptr;

XftFont* open_xft(Display* d, const std::string& name) {
  if (name.empty()) return nullptr;
  int screen = DefaultScreen(d);
  // An XLFD name begins with a dash; anything else is a fontconfig pattern.
  if (name[0] == '-') return XftFontOpenXlfd(d, screen, name.c_str());
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
  if (!pattern) return nullptr;
  // A pattern that names a family nobody has would still match some font;
  // only accept the match when the family was found or none was asked for.
  FcChar8* asked = nullptr;
  bool has_family = FcPatternGetString(pattern, FC_FAMILY, 0, &asked) == FcResultMatch;
  std::string family = has_family ? reinterpret_cast<const char*>(asked) : "";
  FcPatternDestroy(pattern);
  XftFont* font = XftFontOpenName(d, screen, name.c_str());
  if (!font || family.empty()) return font;
  FcChar8* got = nullptr;
  if (FcPatternGetString(font->pattern, FC_FAMILY, 0, &got) == FcResultMatch &&
      strcasecmp(reinterpret_cast<const char*>(got), family.c_str()) != 0 &&
      family != "monospace" && family != "sans" && family != "sans-serif" && family != "serif" &&
      family != "mono") {
    XftFontClose(d, font);
    return nullptr;
  }
  return font;
}
}  // namespace

WFont::~WFont() {
  if (native_ && WXDisplay()) XftFontClose(WXDisplay(), static_cast<XftFont*>(native_));
}

WFont* WFont::Open(const std::string& name, const std::string& fallback) {
  WFont* f = new WFont;
  Display* d = WXDisplay();
  if (!d) {
    f->name_ = name.empty() ? fallback : name;
    return f;
  }
  XftFont* xf = open_xft(d, name);
  f->name_ = name;
  if (!xf) {
    xf = open_xft(d, fallback);
    f->name_ = fallback;
  }
  if (!xf) {
    xf = XftFontOpenName(d, DefaultScreen(d), "monospace");
    f->name_ = "monospace";
  }
  if (!xf) return f;  // keeps the fixed metrics; drawing then shows nothing
  f->native_ = xf;
  f->ascent_ = xf->ascent;
  f->descent_ = xf->descent;
  // The cell is as wide as the widest of the printable ASCII characters, so
  // that no glyph of a fixed-width font spills into its neighbour.
  int widest = 1;
  for (FcChar8 c = 32; c < 127; ++c) {
    XGlyphInfo info;
    XftTextExtents8(d, xf, &c, 1, &info);
    if (info.xOff > widest) widest = info.xOff;
  }
  f->char_width_ = widest;
  return f;
}

int WFont::TextWidth(const std::string& utf8) const {
  if (!native_ || !WXDisplay()) {
    int chars = 0;
    for (unsigned char c : utf8)
      if ((c & 0xc0) != 0x80) ++chars;
    return chars * char_width_;
  }
  XGlyphInfo info;
  XftTextExtentsUtf8(WXDisplay(), static_cast<XftFont*>(native_),
                     reinterpret_cast<const FcChar8*>(utf8.data()), static_cast<int>(utf8.size()),
                     &info);
  return info.xOff;
}

WFont* WTextFont() {
  if (!text_font) {
    // A font given on the command line (-fn) wins over the "font" option.
    std::string name = cfgFont;
    if (const char* r = WGetResource("font")) name = r;
    text_font = WFont::Open(name.empty() ? kDefaultTextFont : name.c_str(), kDefaultTextFont);
  }
  return text_font;
}

WFont* WUIFont() {
  if (!ui_font) {
    std::string name = cfgButtonFont;
    if (const char* r = WGetResource("buttonfont")) name = r;
    ui_font = WFont::Open(name.empty() ? kDefaultUIFont : name.c_str(), kDefaultUIFont);
  }
  return ui_font;
}

bool WSetTextFont(const std::string& name) {
  Display* d = WXDisplay();
  if (d) {
    XftFont* probe = open_xft(d, name);
    if (!probe) return false;
    XftFontClose(d, probe);
  }
  WFont* f = WFont::Open(name, name);
  delete text_font;
  text_font = f;
  return true;
}

void WFontsReset() {
  delete text_font;
  delete ui_font;
  text_font = ui_font = nullptr;
}
