#include "windlib/x11/wcolorshades.h"

#include "windlib/config/configoptions.h"
#include "windlib/x11/wcolorlist.h"
#include "windlib/x11/wcolortable.h"
#include "windlib/x11/wwindow.h"

WColor bg_pixels[kBackgroundShades] = {0xffffff,  kWNoPixel, kWNoPixel, kWNoPixel, kWNoPixel,
                                       kWNoPixel, kWNoPixel, kWNoPixel, kWNoPixel};

namespace {

const WRGB16 kPresets[kBackgroundShades] = {
    {},
    {26880, 44544, 65280},
    {34560, 57856, 46336},
    {34816, 33536, 59136},
    {65535, 49151, 32767},
    {41728, 33536, 18176},
    {18944, 32000, 32768},
    {65280, 32768, 0},
    {61440, 61440, 61440},
};

// `c` moved by `by` towards the middle of its range.
uint16_t towards_middle(uint16_t c, int by) {
  return static_cast<uint16_t>(c < 32768 ? c + by : c - by);
}

}  // namespace

bool ShadeColor(int mode, int shade, WRGB16 bg, WRGB16* out) {
  if (shade < 1 || shade >= kBackgroundShades) return false;
  switch (mode) {
    case kBackgroundOffset:
      if (shade == 8) {
        *out = WRGB16{towards_middle(bg.red, 4096), towards_middle(bg.green, 4096),
                      towards_middle(bg.blue, 4096)};
      } else {
        *out = WRGB16{(shade & 1) ? towards_middle(bg.red, 8192) : bg.red,
                      (shade & 2) ? towards_middle(bg.green, 8192) : bg.green,
                      (shade & 4) ? towards_middle(bg.blue, 8192) : bg.blue};
      }
      return true;
    case kBackgroundPreset:
      *out = kPresets[shade];
      return true;
    default:
      return false;
  }
}

int BackgroundMode() {
  static _ConfigOption* option = cfg_FindOption("backgroundmode");
  return option ? option->Int() : kBackgroundOffset;
}

WColor AllocateBackgroundColor(int shade) {
  if (shade == 0 || BackgroundMode() == kBackgroundOff) return bg_pixel;
  if (shade < 0 || shade >= kBackgroundShades) return kWNoPixel;
  if (bg_pixels[shade] != kWNoPixel) return bg_pixels[shade];
  WRGB16 rgb;
  if (!ShadeColor(BackgroundMode(), shade, bg_rgb, &rgb)) return kWNoPixel;
  bg_pixels[shade] = WColorFromRGB16(rgb);
  return bg_pixels[shade];
}

void ReallocateBackgroundColors() {
  bg_pixels[0] = bg_pixel;
  for (int shade = 1; shade < kBackgroundShades; ++shade) {
    const bool allocated = bg_pixels[shade] != kWNoPixel;
    // Pixels are colours here: freeing one is forgetting it.
    bg_pixels[shade] = kWNoPixel;
    if (allocated && BackgroundMode() != kBackgroundOff) AllocateBackgroundColor(shade);
  }
}

void ShadesReset() {
  bg_pixels[0] = bg_pixel;
  for (int shade = 1; shade < kBackgroundShades; ++shade) bg_pixels[shade] = kWNoPixel;
}

void WSetInputAreaColorIndex(WWindow* window, int index) {
  if (!window) return;
  window->inputAreaColorIndex = index == -1 ? 8 : ((index % 8) + 8) % 8;
}

int WGetInputAreaColorIndex(const WWindow* window) {
  return window ? window->inputAreaColorIndex : 0;
}

namespace {
void set_index_below(WWindow* window, int index) {
  WSetInputAreaColorIndex(window, index);
  for (WWindow* child : window->children()) set_index_below(child, index);
}
}  // namespace

void WSetInputAreaColorForColwind(WWindow* window, int index) {
  if (!window) return;
  set_index_below(window, index);
  ColorManager::NotifyColorChange(window, 0);
}

WColor WInputAreaBackground(const WWindow* window) {
  const int index = WGetInputAreaColorIndex(window);
  if (index == 0) return bg_pixel;
  const WColor shade = AllocateBackgroundColor(index);
  return shade == kWNoPixel ? bg_pixel : shade;
}
