// Colours by name or by "#rgb", "#rrggbb", "#rrrrggggbbbb" and "rgb:r/g/b".
#pragma once

#include <string>

#include "windlib/x11/wtypes.h"

// False (and `color` untouched) for a name that is not a colour. With a
// display the server's colour database knows every name; without one a
// built-in table of the common names serves.
bool WParseColor(const std::string& spec, WColor* color);
// The colour of `spec`, or `fallback` when it is not one.
WColor WColorOr(const char* spec, WColor fallback);

// The toolkit's own colours, from the resources "foreground", "background"
// (with "reversevideo" swapping them) and fixed shades for the controls.
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
// Re-reads the palette from the resources (called at start-up).
void WLoadPalette();
