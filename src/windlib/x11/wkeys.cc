#include "windlib/x11/wkeys.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

// Key codes are key-symbol values, so the names come from Xlib's own table,
// which works without a display connection.
std::string WKeyName(uint32_t key) {
  if (key == WK_None) return "";
  const char* name = XKeysymToString(static_cast<KeySym>(key));
  return name ? name : "";
}

uint32_t WKeyFromName(const std::string& name) {
  if (name.empty()) return WK_None;
  KeySym sym = XStringToKeysym(name.c_str());
  return sym == NoSymbol ? WK_None : static_cast<uint32_t>(sym);
}

bool WKeyIsModifier(uint32_t key) {
  return (key >= XK_Shift_L && key <= XK_Hyper_R) || key == XK_Mode_switch ||
         key == XK_ISO_Level3_Shift || key == XK_Num_Lock;
}
