#include "windlib/edit/editcolors.h"

#include <cstdlib>

#include "windlib/x11/wcolorshades.h"

namespace {

// Perceived brightness, 0..255000.
int brightness(WColor c) {
  return 299 * static_cast<int>((c >> 16) & 255) + 587 * static_cast<int>((c >> 8) & 255) +
         114 * static_cast<int>(c & 255);
}

WColor offset_shade(int shade) {
  WRGB16 rgb;
  if (!ShadeColor(kBackgroundOffset, shade, bg_rgb, &rgb)) return bg_pixel;
  return WColorFromRGB16(rgb);
}

}  // namespace

WColor EditSelectionForeground() {
  const int behind = brightness(select_pixel);
  return std::abs(brightness(fg_pixel) - behind) >= std::abs(brightness(bg_pixel) - behind)
             ? fg_pixel
             : bg_pixel;
}

WColor EditMarginBackground() {
  return offset_shade(8);
}

WColor EditSearchMatchBackground() {
  return offset_shade(4);
}
