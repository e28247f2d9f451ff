// Background shades: tints of the background that tell windows' input areas
// apart, made by the `backgroundmode` option, and each window's input-area
// colour index choosing one.
#pragma once

#include "windlib/x11/wcolor.h"
#include "windlib/x11/wtypes.h"

class WWindow;

enum BackgroundMode : int {
  kBackgroundOff = 0,     // every shade is the background
  kBackgroundOffset = 1,  // the background moved towards the middle
  kBackgroundPreset = 2,  // fixed colours
};
constexpr int kBackgroundShades = 9;

// Shade 0 is the background pixel; others are kWNoPixel until first used.
extern WColor bg_pixels[kBackgroundShades];

// The colour of shade 1..8 of `background` in `mode`; false when the mode
// makes none (Off, or a shade out of range).
bool ShadeColor(int mode, int shade, WRGB16 background, WRGB16* out);
// The current `backgroundmode`.
int BackgroundMode();
// Shade `shade` (1..8) by the current mode, allocated on first use; the
// background pixel in "Off" mode; kWNoPixel when the mode makes none.
WColor AllocateBackgroundColor(int shade);
// Redoes the allocated shades after the mode or the background changed.
void ReallocateBackgroundColors();
// Shade 0 from the background pixel, the others unallocated.
void ShadesReset();

// Input-area colour index 0..8 of a window: the index modulo 8, with -1
// meaning 8.
void WSetInputAreaColorIndex(WWindow* window, int index);
// 0 for none.
int WGetInputAreaColorIndex(const WWindow* window);
// Sets the index of `window` and every window inside it, then notifies the
// colour change (type 0).
void WSetInputAreaColorForColwind(WWindow* window, int index);
// The pixel an input area of `window` is filled with: the background for
// index 0 or "Off" mode, else its shade.
WColor WInputAreaBackground(const WWindow* window);
