// Colours, text attributes and placement of a view's parts. Every colour a
// view draws with is named here, read from the colour list.
#pragma once

#include "windlib/config/editsettings.h"
#include "windlib/x11/wcolorlist.h"
#include "windlib/x11/wdraw.h"
#include "windlib/x11/wtypes.h"

inline WColor EditForeground() {
  return fg_pixel;
}
inline WColor EditBackground() {
  return bg_pixel;
}
// The selection lies on the select colour; its text is whichever of the
// foreground and background stands out more against it, so that it stays
// readable under any choice of the three.
WColor EditSelectionForeground();
inline WColor EditSelectionBackground() {
  return select_pixel;
}
// The margin and search matches have no colour of their own: both are
// tints of the background (the offset shades 8 and 4: light grey and light
// yellow on white), so they follow the background wherever it goes.
WColor EditMarginBackground();
WColor EditSearchMatchBackground();
// Control bytes drawn as "^X" look like the text around them.
inline WColor EditEscapeForeground() {
  return fg_pixel;
}
// The secondary selection is underlined; its colours stay those beneath.
constexpr uint8_t kEditSecondaryAttrs = WAttrUnderline;

// Milliseconds between caret blinks; 0: the caret does not blink.
inline int EditCaretBlinkMs() {
  return vfBlinkingCursor ? 500 : 0;
}
inline bool EditScrollBarsLeft() {
  return cfgScrollLocation == 0;
}
inline bool EditHScrollBarTop() {
  return cfgScrollHLocation == 0;
}
