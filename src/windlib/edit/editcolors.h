// Colours, text attributes and placement of a view's parts until the colour
// list and the settings dialog choose them. Every colour a view draws with
// is named here.
#pragma once

#include "windlib/config/editsettings.h"
#include "windlib/x11/wdraw.h"
#include "windlib/x11/wtypes.h"

constexpr WColor kEditForeground = WColorRGB(0, 0, 0);
constexpr WColor kEditBackground = WColorRGB(255, 255, 255);
constexpr WColor kEditSelection = WColorRGB(0xb4, 0xd5, 0xfe);
constexpr WColor kEditMarginBackground = WColorRGB(0xee, 0xee, 0xee);
// Control bytes drawn as "^X" look like the text around them.
constexpr WColor kEditEscapeForeground = kEditForeground;
// Search matches: a background of their own.
constexpr WColor kEditSearchMatch = WColorRGB(0xff, 0xe6, 0x80);
// The secondary selection is underlined; its colours stay those beneath.
constexpr uint8_t kEditSecondaryAttrs = WAttrUnderline;

// Milliseconds between caret blinks; 0: the caret does not blink.
inline int EditCaretBlinkMs() { return vfBlinkingCursor ? 500 : 0; }
inline bool EditScrollBarsLeft() { return cfgScrollLocation == 0; }
inline bool EditHScrollBarTop() { return cfgScrollHLocation == 0; }
