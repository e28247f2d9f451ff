#include "windlib/x11/wmenu.h"

#include <cctype>

#include "windlib/x11/wkeys.h"
#include "windlib/x11/wtypes.h"

WMenuItem& WMenu::Add(const std::string& label, const std::string& accelerator,
                      std::function<void()> action) {
  WMenuItem item;
  item.label = label;
  item.accelerator = accelerator;
  item.action = std::move(action);
  items_.push_back(std::move(item));
  return items_.back();
}

WMenuItem& WMenu::AddSeparator() {
  WMenuItem item;
  item.separator = true;
  item.enabled = false;
  items_.push_back(std::move(item));
  return items_.back();
}

WMenuItem& WMenu::AddSubmenu(const std::string& label, std::shared_ptr<WMenu> submenu) {
  WMenuItem item;
  item.label = label;
  item.submenu = std::move(submenu);
  items_.push_back(std::move(item));
  return items_.back();
}

int WMenu::FindMnemonic(char c) const {
  char want = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < items_.size(); ++i) {
    const WMenuItem& it = items_[i];
    if (it.separator || !it.enabled) continue;
    if (WMenuMnemonic(it.label) == want) return static_cast<int>(i);
  }
  return -1;
}

std::string WMenuLabelText(const std::string& label) {
  std::string out;
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '&') {
      if (i + 1 < label.size() && label[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += label[i];
  }
  return out;
}

char WMenuMnemonic(const std::string& label, size_t* position) {
  size_t shown = 0;
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '&') {
      if (i + 1 < label.size() && label[i + 1] == '&') {
        ++i;
        ++shown;
        continue;
      }
      if (i + 1 < label.size()) {
        if (position) *position = shown;
        return static_cast<char>(std::tolower(static_cast<unsigned char>(label[i + 1])));
      }
      return 0;
    }
    ++shown;
  }
  return 0;
}

bool WParseAccelerator(const std::string& text, uint32_t* key, unsigned* modifiers) {
  static const struct {
    const char* prefix;
    unsigned bit;
  } kPrefixes[] = {
      {"Ctrl+", WModControl}, {"Meta+", WModMeta}, {"Alt+", WModMeta}, {"Shift+", WModShift}};
  unsigned mods = 0;
  std::string rest = text;
  for (bool found = true; found;) {
    found = false;
    for (const auto& p : kPrefixes) {
      std::string pre = p.prefix;
      if (rest.size() > pre.size() && rest.compare(0, pre.size(), pre) == 0) {
        mods |= p.bit;
        rest.erase(0, pre.size());
        found = true;
      }
    }
  }
  uint32_t k = WKeyFromName(rest);
  // A single letter names the key in lower case ("Ctrl+S" is Control and s).
  if (rest.size() == 1 && std::isalpha(static_cast<unsigned char>(rest[0])))
    k = static_cast<uint32_t>(std::tolower(static_cast<unsigned char>(rest[0])));
  if (k == 0) {
    std::string lower = rest;
    if (!lower.empty())
      lower[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[0])));
    k = WKeyFromName(lower);
  }
  if (k == 0) return false;
  *key = k;
  *modifiers = mods;
  return true;
}

bool WAcceleratorMatches(const std::string& text, uint32_t key, unsigned modifiers) {
  uint32_t want_key;
  unsigned want_mods;
  if (text.empty() || !WParseAccelerator(text, &want_key, &want_mods)) return false;
  unsigned mods = modifiers & kWModKeyMask;
  // An upper-case letter is the lower-case key with Shift.
  if (key < 256 && std::isupper(static_cast<int>(key))) {
    key = static_cast<uint32_t>(std::tolower(static_cast<int>(key)));
    mods |= WModShift;
  }
  if (key == WK_ISO_Left_Tab) key = WK_Tab;
  return key == want_key && mods == want_mods;
}
