// Colours by name or by "#rgb", "#rrggbb", "#rrrrggggbbbb" and "rgb:r/g/b".
#pragma once

#include <cstdint>
#include <string>

#include "windlib/x11/wtypes.h"

// False (and `color` untouched) for a name that is not a colour. With a
// display the server's colour database knows every name; without one a
// built-in table of the common names serves.
bool WParseColor(const std::string& spec, WColor* color);
// The same with 16 bits per channel, as the display keeps colours.
struct WRGB16 {
  uint16_t red = 0, green = 0, blue = 0;
  bool operator==(const WRGB16&) const = default;
};
bool WParseColor16(const std::string& spec, WRGB16* rgb);
constexpr WColor WColorFromRGB16(WRGB16 c) {
  return WColorRGB(c.red >> 8, c.green >> 8, c.blue >> 8);
}
constexpr WRGB16 WRGB16FromColor(WColor c) {
  return WRGB16{static_cast<uint16_t>(((c >> 16) & 255) * 257),
                static_cast<uint16_t>(((c >> 8) & 255) * 257),
                static_cast<uint16_t>((c & 255) * 257)};
}
// Of `a` and `b`, the one whose brightness differs more from `behind`'s.
WColor WContrasting(WColor behind, WColor a, WColor b);
// The colour of `spec`, or `fallback` when it is not one.
WColor WColorOr(const char* spec, WColor fallback);

// The toolkit's own colours, taken from the colour list (the resource
// "reversevideo" swaps the text colours).
struct WPalette {
  WColor text = 0x000000;
  WColor textBackground = 0xffffff;
  WColor control = 0xd9d9d9;  // buttons, bars, dialogs
  WColor controlText = 0x000000;
  WColor controlLight = 0xf4f4f4;  // bevel highlight
  WColor controlDark = 0x8c8c8c;   // bevel shadow
  WColor selection = 0x3465a4;     // selected list rows and menu items
  WColor selectionText = 0xffffff;
  WColor disabledText = 0x8c8c8c;
  WColor tooltip = 0xffffe1;
  WColor caret = 0x000000;
};
WPalette& WGetPalette();
// Re-reads the palette from the colour list (at start-up and after a
// colour changed).
void WLoadPalette();
