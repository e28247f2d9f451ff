#include "windlib/x11/wcolor.h"

#include <X11/Xlib.h>

#include <cctype>
#include <cstring>

#include "windlib/x11/wgui.h"
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

// Reads `n` hex digits scaled to 8 bits.
bool hex_component(const char* s, int n, int* out) {
  if (n < 1 || n > 4) return false;
  int v = 0;
  for (int i = 0; i < n; ++i) {
    int d = hexval(s[i]);
    if (d < 0) return false;
    v = v * 16 + d;
  }
  int max = (1 << (4 * n)) - 1;
  *out = (v * 255 + max / 2) / max;
  return true;
}

bool parse_numeric(const std::string& s, WColor* color) {
  int r, g, b;
  if (s[0] == '#') {
    size_t n = s.size() - 1;
    if (n == 0 || n % 3 != 0 || n > 12) return false;
    int k = static_cast<int>(n / 3);
    const char* p = s.c_str() + 1;
    if (!hex_component(p, k, &r) || !hex_component(p + k, k, &g) ||
        !hex_component(p + 2 * k, k, &b))
      return false;
  } else if (s.compare(0, 4, "rgb:") == 0) {
    const char* p = s.c_str() + 4;
    const char* s1 = std::strchr(p, '/');
    const char* s2 = s1 ? std::strchr(s1 + 1, '/') : nullptr;
    if (!s2) return false;
    if (!hex_component(p, static_cast<int>(s1 - p), &r) ||
        !hex_component(s1 + 1, static_cast<int>(s2 - s1 - 1), &g) ||
        !hex_component(s2 + 1, static_cast<int>(std::strlen(s2 + 1)), &b))
      return false;
  } else {
    return false;
  }
  *color = WColorRGB(r, g, b);
  return true;
}

WPalette palette;
}  // namespace

bool WParseColor(const std::string& spec, WColor* color) {
  if (spec.empty()) return false;
  if (spec[0] == '#' || spec.compare(0, 4, "rgb:") == 0) return parse_numeric(spec, color);
  if (Display* d = WXDisplay()) {
    XColor xc;
    if (!XParseColor(d, DefaultColormap(d, DefaultScreen(d)), spec.c_str(), &xc)) return false;
    *color = WColorRGB(xc.red >> 8, xc.green >> 8, xc.blue >> 8);
    return true;
  }
  std::string key;
  for (char c : spec)
    if (c != ' ') key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const NamedColor& n : kNames) {
    if (key == n.name) {
      *color = n.value;
      return true;
    }
  }
  return false;
}

WColor WColorOr(const char* spec, WColor fallback) {
  WColor c = fallback;
  if (spec) WParseColor(spec, &c);
  return c;
}

WPalette& WGetPalette() {
  return palette;
}

void WLoadPalette() {
  palette = WPalette();
  palette.text = WColorOr(WGetResource("foreground"), palette.text);
  palette.textBackground = WColorOr(WGetResource("background"), palette.textBackground);
  const char* rv = WGetResource("reversevideo");
  if (rv && std::strcmp(rv, "on") == 0) std::swap(palette.text, palette.textBackground);
  palette.caret = palette.text;
}
