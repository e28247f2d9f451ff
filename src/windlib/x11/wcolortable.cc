#include "windlib/x11/wcolortable.h"

#include <vector>

#include "windlib/x11/wcolor.h"

ColorTable& ColorTable::get() {
  static ColorTable table;
  return table;
}

ColorTable::~ColorTable() {
  for (auto& [name, slot] : colors_)
    if (slot.owned) delete slot.cell;
}

WColor* ColorTable::findColor(const char* name) {
  if (!name) return nullptr;
  auto it = colors_.find(name);
  return it == colors_.end() ? nullptr : it->second.cell;
}

WColor* ColorTable::setColor(const char* name, int red, int green, int blue) {
  if (!name) return nullptr;
  const WColor pixel = WColorFromRGB16(WRGB16{
      static_cast<uint16_t>(red), static_cast<uint16_t>(green), static_cast<uint16_t>(blue)});
  auto it = colors_.find(name);
  if (it == colors_.end()) {
    WColor* cell = new WColor(pixel);
    colors_.emplace(name, Slot{cell, true});
    return cell;
  }
  // Holders of the cell see the new pixel; a cell the caller lent becomes
  // the table's to free.
  *it->second.cell = pixel;
  it->second.owned = true;
  return it->second.cell;
}

WColor* ColorTable::setColor(const char* name, const char* spec) {
  WRGB16 rgb;
  if (!spec || !WParseColor16(spec, &rgb)) return nullptr;
  return setColor(name, rgb.red, rgb.green, rgb.blue);
}

WColor* ColorTable::setColor(const char* name, WColor* cell) {
  if (!name || !cell || colors_.count(name)) return nullptr;
  colors_.emplace(name, Slot{cell, false});
  return cell;
}

void ColorTable::freeColor(const char* name) {
  if (!name) return;
  auto it = colors_.find(name);
  if (it == colors_.end()) return;
  if (it->second.owned) delete it->second.cell;
  colors_.erase(it);
}

namespace {
struct Notice {
  int key;
  void* context;
  ColorManager::Callback callback;
};
std::vector<Notice>& notices() {
  static std::vector<Notice> list;
  return list;
}
int next_key = 0;
}  // namespace

int ColorManager::RegisterNotification(void* context, Callback callback) {
  if (!callback) return -1;
  notices().push_back(Notice{next_key, context, callback});
  return next_key++;
}

int ColorManager::UnregisterNotification(int key) {
  if (key == -1) return 0;
  auto& list = notices();
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->key == key) {
      list.erase(it);
      return 1;
    }
  }
  return 0;
}

void ColorManager::NotifyColorChange(WWindow* window, int change) {
  // A callback may unregister itself or others; work on a copy and skip
  // notices removed meanwhile.
  const std::vector<Notice> copy = notices();
  for (const Notice& n : copy) {
    bool still = false;
    for (const Notice& m : notices()) still |= m.key == n.key;
    if (still) n.callback(n.context, window, change);
  }
}
