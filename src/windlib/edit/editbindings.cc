#include "windlib/edit/editbindings.h"

#include <cctype>
#include <cstring>
#include <map>
#include <tuple>

#include "windlib/x11/wkeys.h"
#include "windlib/x11/wtypes.h"

namespace {
uint32_t key_code(const std::string& name) {
  if (name.size() == 1) return static_cast<unsigned char>(name[0]);
  return WKeyFromName(name);
}

bool take_modifier(const std::string& word, EditBinding* b) {
  if (word == "Shift") b->modifiers |= WModShift;
  else if (word == "Control" || word == "Ctrl") b->modifiers |= WModControl;
  else if (word == "Meta" || word == "Alt") b->modifiers |= WModMeta;
  else if (word == "Any") b->anyModifiers = true;
  else return false;
  return true;
}

using KeyMap = std::map<std::tuple<std::string, uint32_t, unsigned>, std::string>;
using MouseMap = std::map<std::tuple<std::string, int, int, int, unsigned>, std::string>;

struct Tables {
  KeyMap keys;
  MouseMap mice;
  std::map<std::tuple<std::string, int, int, int>, std::string> mice_any;
  std::vector<EditBinding> active;  // the bindings that took effect, in order
};

Tables& tables() {
  static Tables t = [] {
    Tables made;
    for (const auto& text : edit_DefaultKeys()) {
      EditBinding b;
      if (!EditParseBinding(text, &b) || !b.keyCode) continue;
      // The first binding of a key wins (Sun keys share codes with F11 on).
      if (made.keys.emplace(std::make_tuple(b.windowClass, b.keyCode, b.modifiers), b.command)
              .second)
        made.active.push_back(b);
    }
    for (const auto& text : edit_DefaultMice()) {
      EditBinding b;
      if (!EditParseBinding(text, &b) || !b.mouse) continue;
      bool took =
          b.anyModifiers
              ? made.mice_any
                    .emplace(std::make_tuple(b.windowClass, b.buttons, b.action, b.clicks),
                             b.command)
                    .second
              : made.mice
                    .emplace(std::make_tuple(b.windowClass, b.buttons, b.action, b.clicks,
                                             b.modifiers),
                             b.command)
                    .second;
      if (took) made.active.push_back(b);
    }
    return made;
  }();
  return t;
}

const std::string* find_key(const char* cls, uint32_t key, unsigned mods) {
  auto& keys = tables().keys;
  for (const char* c : {cls, "All"}) {
    auto it = keys.find(std::make_tuple(std::string(c), key, mods));
    if (it != keys.end()) return &it->second;
  }
  return nullptr;
}
}  // namespace

bool EditParseBinding(const std::string& text, EditBinding* out) {
  EditBinding b;
  b.text = text;
  size_t at = 0;
  if (text.compare(0, 5, "Mouse") == 0) {
    b.mouse = true;
    at = 5;
    size_t digits = at;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    if (digits == at || digits >= text.size() || text[digits] != '*') return false;
    b.buttons = std::stoi(text.substr(at, digits - at));
    at = digits + 1;
    if (text.compare(at, 5, "Press") == 0) b.action = 0, at += 5;
    else if (text.compare(at, 7, "Release") == 0) b.action = 1, at += 7;
    else if (text.compare(at, 6, "Either") == 0) b.action = 2, at += 6;
    else return false;
    size_t count_end = at;
    while (count_end < text.size() && std::isdigit(static_cast<unsigned char>(text[count_end])))
      ++count_end;
    b.clicks = count_end > at ? std::stoi(text.substr(at, count_end - at)) : 1;
    at = count_end;
    if (text.compare(at, 8, "(AtOnce)") == 0) {
      b.atOnce = true;
      at += 8;
    }
  } else {
    if (text.empty() || text[0] != '"') return false;
    size_t close;
    if (text.compare(0, 3, "\"\"\"") == 0) close = 2;  // the double-quote key itself
    else close = text.find('"', 1);
    if (close == std::string::npos || close == 1) return false;
    b.key = text.substr(1, close - 1);
    b.keyCode = key_code(b.key);
    at = close + 1;
  }
  while (at < text.size() && text[at] == '|') {
    size_t end = text.find_first_of("|@", at + 1);
    if (end == std::string::npos || !take_modifier(text.substr(at + 1, end - at - 1), &b))
      return false;
    at = end;
  }
  if (at >= text.size() || text[at] != '@') return false;
  size_t eq = text.find('=', at);
  if (eq == std::string::npos) return false;
  std::string classes = text.substr(at + 1, eq - at - 1);
  size_t second = classes.find('@');
  if (second != std::string::npos) {
    b.menuLabel = classes.substr(second + 1);
    classes.resize(second);
  }
  if (classes.empty()) return false;
  b.windowClass = classes;
  b.command = text.substr(eq + 1);
  *out = b;
  return true;
}

const std::vector<EditBinding>& EditActiveBindings() { return tables().active; }

bool EditAddBinding(const std::string& text, bool mouse) {
  EditBinding b;
  if (!EditParseBinding(text, &b) || b.mouse != mouse || (!mouse && !b.keyCode)) return false;
  Tables& t = tables();
  auto same_trigger = [&b](const EditBinding& o) {
    return o.mouse == b.mouse && o.windowClass == b.windowClass &&
           (b.mouse ? o.buttons == b.buttons && o.action == b.action && o.clicks == b.clicks &&
                          o.anyModifiers == b.anyModifiers &&
                          (b.anyModifiers || o.modifiers == b.modifiers)
                    : o.keyCode == b.keyCode && o.modifiers == b.modifiers);
  };
  std::erase_if(t.active, same_trigger);
  if (!mouse)
    t.keys.insert_or_assign(std::make_tuple(b.windowClass, b.keyCode, b.modifiers), b.command);
  else if (b.anyModifiers)
    t.mice_any.insert_or_assign(std::make_tuple(b.windowClass, b.buttons, b.action, b.clicks),
                                b.command);
  else
    t.mice.insert_or_assign(
        std::make_tuple(b.windowClass, b.buttons, b.action, b.clicks, b.modifiers), b.command);
  t.active.push_back(b);
  return true;
}

void EditClearBindings(bool mouse) {
  Tables& t = tables();
  if (mouse) {
    t.mice.clear();
    t.mice_any.clear();
  } else {
    t.keys.clear();
  }
  std::erase_if(t.active, [mouse](const EditBinding& b) { return b.mouse == mouse; });
}

const std::string* InterpretEditKey(uint32_t key, unsigned modifiers, const char* cls) {
  unsigned mods = modifiers & kWModKeyMask;
  if (key >= 'A' && key <= 'Z' && mods) key = key - 'A' + 'a';
  if (const std::string* c = find_key(cls, key, mods)) return c;
  // Shifted symbols ("}", ">") are bound without Shift.
  bool symbol = key >= 0x20 && key < 0x7f && !std::isalnum(static_cast<int>(key));
  if (symbol && (mods & WModShift)) return find_key(cls, key, mods & ~WModShift);
  return nullptr;
}

const std::string* InterpretEditMouse(int button, bool release, int clicks, unsigned modifiers,
                                      const char* cls) {
  Tables& t = tables();
  unsigned mods = modifiers & kWModKeyMask;
  for (int action : {release ? 1 : 0, 2}) {
    auto it = t.mice.find(std::make_tuple(std::string(cls), button, action, clicks, mods));
    if (it != t.mice.end()) return &it->second;
    auto any = t.mice_any.find(std::make_tuple(std::string(cls), button, action, clicks));
    if (any != t.mice_any.end()) return &any->second;
  }
  return nullptr;
}

std::string EditKeyDescription(uint32_t key, unsigned modifiers) {
  std::string name;
  if (modifiers & WModShift) name += "Shift+";
  if (modifiers & WModControl) name += "Control+";
  if (modifiers & WModMeta) name += "Meta+";
  std::string k = WKeyName(key);
  if (k.empty() && key >= 0x20 && key < 0x7f) k = std::string(1, static_cast<char>(key));
  return name + k;
}
