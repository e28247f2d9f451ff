// Plain value types of the toolkit: rectangles, colours, modifiers and the
// events that windows receive. No X type appears here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

struct WRect {
  int x = 0, y = 0, width = 0, height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool contains(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
  WRect intersect(const WRect& o) const {
    int l = std::max(x, o.x), t = std::max(y, o.y);
    int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
    if (r <= l || b <= t) return WRect{l, t, 0, 0};
    return WRect{l, t, r - l, b - t};
  }
  WRect unite(const WRect& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    int l = std::min(x, o.x), t = std::min(y, o.y);
    return WRect{l, t, std::max(right(), o.right()) - l, std::max(bottom(), o.bottom()) - t};
  }
  bool operator==(const WRect& o) const = default;
};

// A colour as 0xRRGGBB.
using WColor = uint32_t;
constexpr WColor WColorRGB(int r, int g, int b) {
  return (static_cast<WColor>(r & 255) << 16) | (static_cast<WColor>(g & 255) << 8) |
         static_cast<WColor>(b & 255);
}

// Modifier and button-state bits of input events. Shift, Control and Meta
// are the bits that bindings use.
enum WModifier : unsigned {
  WModShift = 0x1,
  WModLock = 0x2,
  WModControl = 0x4,
  WModMeta = 0x8,
  WModButton1 = 0x100,
  WModButton2 = 0x200,
  WModButton3 = 0x400,
  WModButton4 = 0x800,
  WModButton5 = 0x1000,
};
constexpr unsigned kWModKeyMask = WModShift | WModControl | WModMeta;
constexpr unsigned kWModButtonMask =
    WModButton1 | WModButton2 | WModButton3 | WModButton4 | WModButton5;

enum class WEventKind {
  KeyDown,
  KeyUp,
  ButtonDown,
  ButtonUp,
  Motion,  // pointer motion; `modifiers` tells the buttons held
  Enter,
  Leave,
  Exposure,  // `area` needs drawing (the toolkit repaints from its buffer)
  Resize,    // the window's size changed to width x height
  FocusGained,
  FocusLost,
  CloseRequest,  // the window manager asked a top-level window to close
  Map,
  Unmap,
};

struct WEvent {
  WEventKind kind = WEventKind::KeyDown;
  uint32_t key = 0;           // key code (see wkeys.h)
  std::string text;           // the characters typed (UTF-8), empty for most keys
  unsigned modifiers = 0;     // WModifier bits at the time of the event
  int button = 0;             // 1..5 for button events (4 and 5 are the wheel)
  int clicks = 0;             // 1 single, 2 double, 3 triple click ...
  int x = 0, y = 0;           // pointer, relative to the receiving window
  int rootX = 0, rootY = 0;   // pointer, relative to the screen
  int width = 0, height = 0;  // Resize
  WRect area;                 // Expose
  unsigned long time = 0;     // server time in ms
};

const char* WEventKindName(WEventKind kind);
