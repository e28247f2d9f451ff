// Further named colours beyond the colour list, and the notices that tell
// windows a colour changed.
#pragma once

#include <map>
#include <string>

#include "windlib/x11/wtypes.h"

class WWindow;

// A map from name to a pixel cell; cells the table allocated it frees.
class ColorTable {
 public:
  static ColorTable& get();
  ColorTable() = default;
  ColorTable(const ColorTable&) = delete;
  ColorTable& operator=(const ColorTable&) = delete;
  ~ColorTable();

  // The cell, or none (also for a null name).
  WColor* findColor(const char* name);
  // A known name keeps its cell, which takes the new pixel.
  WColor* setColor(const char* name, int red, int green, int blue);
  // None when `spec` is not a colour.
  WColor* setColor(const char* name, const char* spec);
  // Enters the caller's cell (not owned) for a new name; none for a known one.
  WColor* setColor(const char* name, WColor* cell);
  void freeColor(const char* name);

 private:
  struct Slot {
    WColor* cell;
    bool owned;
  };
  std::map<std::string, Slot> colors_;
};

// Callbacks run on a colour change, in registration order.
class ColorManager {
 public:
  using Callback = void (*)(void* context, WWindow* window, int change);
  // -1 for a missing callback, else the notice's key (a process-wide count).
  static int RegisterNotification(void* context, Callback callback);
  // 1 when a notice had `key`.
  static int UnregisterNotification(int key);
  static void NotifyColorChange(WWindow* window, int change);
};
