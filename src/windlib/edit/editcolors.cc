#include "windlib/edit/editcolors.h"

#include "windlib/x11/wcolorshades.h"

namespace {

WColor offset_shade(int shade) {
  WRGB16 rgb;
  if (!ShadeColor(kBackgroundOffset, shade, bg_rgb, &rgb)) return bg_pixel;
  return WColorFromRGB16(rgb);
}

}  // namespace

WColor EditSelectionForeground() {
  return WContrasting(select_pixel, fg_pixel, bg_pixel);
}

WColor EditMarginBackground() {
  return offset_shade(8);
}

WColor EditSearchMatchBackground() {
  return offset_shade(4);
}
