#include "windlib/x11/wscreen.h"

#include "windlib/x11/xdisplay.h"

WRect WScreenBounds() {
  Display* d = WXDisplay();
  if (!d) return WRect{0, 0, 1280, 1024};
  return WRect{0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
}
