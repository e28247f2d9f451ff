// The size of the screen that windows are placed on.
#pragma once

#include "windlib/x11/wtypes.h"

// The default screen of the display, at the origin; 1280 x 1024 without a
// display, so that placement works the same in no-display mode.
WRect WScreenBounds();
