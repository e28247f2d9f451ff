#include "windlib/x11/wcolor.h"

#include <X11/Xlib.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "windlib/x11/wcolorlist.h"
#include "windlib/x11/wcolorshades.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wwindow.h"
#include "windlib/x11/xdisplay.h"

namespace {
struct NamedColor {
  const char* name;
  WColor value;
};
// Names are compared without case and blanks, as the X colour database does.
const NamedColor kNames[] = {
    {"black", 0x000000},     {"white", 0xffffff},       {"red", 0xff0000},
    {"green", 0x00ff00},     {"blue", 0x0000ff},        {"yellow", 0xffff00},
    {"cyan", 0x00ffff},      {"magenta", 0xff00ff},     {"gray", 0xbebebe},
    {"grey", 0xbebebe},      {"lightgray", 0xd3d3d3},   {"lightgrey", 0xd3d3d3},
    {"darkgray", 0xa9a9a9},  {"darkgrey", 0xa9a9a9},    {"orange", 0xffa500},
    {"brown", 0xa52a2a},     {"navy", 0x000080},        {"navyblue", 0x000080},
    {"darkblue", 0x00008b},  {"darkgreen", 0x006400},   {"darkred", 0x8b0000},
    {"purple", 0xa020f0},    {"pink", 0xffc0cb},        {"gold", 0xffd700},
    {"lightblue", 0xadd8e6}, {"lightyellow", 0xffffe0}, {"wheat", 0xf5deb3},
    {"beige", 0xf5f5dc},     {"ivory", 0xfffff0},       {"khaki", 0xf0e68c},
    {"maroon", 0xb03060},    {"forestgreen", 0x228b22}, {"steelblue", 0x4682b4},
    {"skyblue", 0x87ceeb},   {"violet", 0xee82ee},      {"salmon", 0xfa8072},
};

int hexval(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `n` hex digits scaled to 16 bits.
bool hex_component(const char* s, int n, uint16_t* out) {
  if (n < 1 || n > 4) return false;
  long v = 0;
  for (int i = 0; i < n; ++i) {
    int d = hexval(s[i]);
    if (d < 0) return false;
    v = v * 16 + d;
  }
  long max = (1L << (4 * n)) - 1;
  *out = static_cast<uint16_t>((v * 65535 + max / 2) / max);
  return true;
}

bool parse_numeric(const std::string& s, WRGB16* rgb) {
  WRGB16 c;
  if (s[0] == '#') {
    size_t n = s.size() - 1;
    if (n == 0 || n % 3 != 0 || n > 12) return false;
    int k = static_cast<int>(n / 3);
    const char* p = s.c_str() + 1;
    if (!hex_component(p, k, &c.red) || !hex_component(p + k, k, &c.green) ||
        !hex_component(p + 2 * k, k, &c.blue))
      return false;
  } else if (s.compare(0, 4, "rgb:") == 0) {
    const char* p = s.c_str() + 4;
    const char* s1 = std::strchr(p, '/');
    const char* s2 = s1 ? std::strchr(s1 + 1, '/') : nullptr;
    if (!s2) return false;
    if (!hex_component(p, static_cast<int>(s1 - p), &c.red) ||
        !hex_component(s1 + 1, static_cast<int>(s2 - s1 - 1), &c.green) ||
        !hex_component(s2 + 1, static_cast<int>(std::strlen(s2 + 1)), &c.blue))
      return false;
  } else {
    return false;
  }
  *rgb = c;
  return true;
}

WPalette palette;
}  // namespace

bool WParseColor16(const std::string& spec, WRGB16* rgb) {
  if (spec.empty()) return false;
  if (spec[0] == '#' || spec.compare(0, 4, "rgb:") == 0) return parse_numeric(spec, rgb);
  if (Display* d = WXDisplay()) {
    XColor xc;
    if (!XParseColor(d, DefaultColormap(d, DefaultScreen(d)), spec.c_str(), &xc)) return false;
    *rgb = WRGB16{xc.red, xc.green, xc.blue};
    return true;
  }
  std::string key;
  for (char c : spec)
    if (c != ' ') key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const NamedColor& n : kNames) {
    if (key == n.name) {
      *rgb = WRGB16FromColor(n.value);
      return true;
    }
  }
  return false;
}

bool WParseColor(const std::string& spec, WColor* color) {
  WRGB16 rgb;
  if (!WParseColor16(spec, &rgb)) return false;
  *color = WColorFromRGB16(rgb);
  return true;
}

WColor WColorOr(const char* spec, WColor fallback) {
  WColor c = fallback;
  if (spec) WParseColor(spec, &c);
  return c;
}

WPalette& WGetPalette() {
  return palette;
}

namespace {
// `c` moved by `by` (out of 255) towards white, or towards black when `by`
// is negative.
WColor lighten(WColor c, int by) {
  auto channel = [&](int shift) {
    int v = static_cast<int>((c >> shift) & 255);
    return by >= 0 ? v + (255 - v) * by / 255 : v + v * by / 255;
  };
  return WColorRGB(channel(16), channel(8), channel(0));
}
}  // namespace

WColor WContrasting(WColor behind, WColor a, WColor b) {
  auto brightness = [](WColor c) {
    return 299 * static_cast<int>((c >> 16) & 255) + 587 * static_cast<int>((c >> 8) & 255) +
           114 * static_cast<int>(c & 255);
  };
  const int x = brightness(behind);
  return std::abs(brightness(a) - x) >= std::abs(brightness(b) - x) ? a : b;
}

void WLoadPalette() {
  palette = WPalette();
  palette.text = fg_pixel;
  palette.textBackground = bg_pixel;
  const char* rv = WGetResource("reversevideo");
  if (rv && std::strcmp(rv, "on") == 0) std::swap(palette.text, palette.textBackground);
  // Controls take the control colour; their bevels are lighter and darker
  // tints of it, their text whichever of the two text colours reads best.
  palette.control = control_pixel;
  palette.controlLight = lighten(control_pixel, 160);
  palette.controlDark = lighten(control_pixel, -96);
  palette.controlText = WContrasting(control_pixel, palette.text, palette.textBackground);
  palette.disabledText = lighten(control_pixel, -96);
  palette.selection = select_pixel;
  palette.selectionText = WContrasting(select_pixel, palette.text, palette.textBackground);
  palette.caret = palette.text;
  // Tool tips: the light yellow offset shade of the background.
  WRGB16 tip;
  if (ShadeColor(kBackgroundOffset, 4, bg_rgb, &tip)) palette.tooltip = WColorFromRGB16(tip);
  // Windows already open take the new colours.
  WFollowPalette();
}
