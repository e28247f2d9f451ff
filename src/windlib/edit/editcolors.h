// Colours and placement of a view's parts until the colour list and the
// settings dialog choose them.
#pragma once

#include "windlib/config/editsettings.h"
#include "windlib/x11/wtypes.h"

constexpr WColor kEditForeground = WColorRGB(0, 0, 0);
constexpr WColor kEditBackground = WColorRGB(255, 255, 255);
constexpr WColor kEditSelection = WColorRGB(0xb4, 0xd5, 0xfe);
constexpr WColor kEditMarginBackground = WColorRGB(0xee, 0xee, 0xee);

inline bool EditScrollBarsLeft() { return cfgScrollLocationLeft; }
inline bool EditHScrollBarTop() { return cfgScrollHLocationTop; }
