#include "windlib/config/settingsmanager.h"

#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdlib>

#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/replacefile.h"
#include "windlib/xswitch.h"

bool vfRememberWindowPositions = true;

void (*SettingsManager::beforeReplaceHook)(const char*) = nullptr;

namespace {
std::unique_ptr<SettingsManager> instance;
bool exit_handler_installed = false;

std::string format_key(const char* key, va_list args) {
  return key ? gen_vformat(key, args) : std::string();
}

// The node a key's levels name below `from`; made when `create`.
ut_attribute_tree* walk(ut_attribute_tree* from, const std::vector<std::string>& levels,
                        size_t count, bool create) {
  ut_attribute_tree* node = from;
  for (size_t i = 0; node && i < count; ++i)
    node = create ? node->find_or_add_child_tree(std::string_view(levels[i]))
                  : node->find_child_tree(std::string_view(levels[i]));
  return node;
}

// A value key: the node that holds it (none when missing) and the
// attribute name.
struct ValueRef {
  ut_attribute_tree* node = nullptr;
  std::string attribute;
};

ValueRef value_ref(ut_attribute_tree* root, bool create, const char* key, va_list args) {
  std::vector<std::string> levels = SmKeyLevels(format_key(key, args));
  if (levels.empty()) return {};
  return {walk(root, levels, levels.size() - 1, create), levels.back()};
}

const char* const kAbsKeys[] = {"abs_x", "abs_y", "abs_w", "abs_h"};
const char* const kParKeys[] = {"par_x", "par_y", "par_w", "par_h"};

void store_rect(ut_attribute_tree* node, const char* const keys[4], const SmRect& r) {
  node->add_or_replace_int32_attribute(keys[0], r.x);
  node->add_or_replace_int32_attribute(keys[1], r.y);
  node->add_or_replace_int32_attribute(keys[2], r.w);
  node->add_or_replace_int32_attribute(keys[3], r.h);
}

// One axis of a window placed relative to its parent: `pos`/`len` of the
// window and `ppos`/`plen` of the parent when saved, `now_pos`/`now_len`
// of the parent now. Updates the window's position and length.
void follow_parent(int pos, int len, int ppos, int plen, int now_pos, int now_len, int* out_pos,
                   int* out_len) {
  if (pos >= ppos + plen)
    *out_pos = now_pos + now_len + (pos - (ppos + plen));
  else
    *out_pos = now_pos + (pos - ppos);
  if (pos == ppos && len == plen) *out_len = now_len;
}

SmRect fit(SmRect r, const SmRect& d) {
  r.w = std::clamp(r.w, 1, std::max(1, d.w));
  r.h = std::clamp(r.h, 1, std::max(1, d.h));
  r.x = std::clamp(r.x, d.x, d.x + d.w - r.w);
  r.y = std::clamp(r.y, d.y, d.y + d.h - r.h);
  return r;
}
}  // namespace

std::vector<std::string> SmKeyLevels(const std::string& formatted) {
  std::vector<std::string> levels(1);
  for (char c : formatted) {
    if (c == ':') {
      levels.emplace_back();
      continue;
    }
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    levels.back() += keep ? c : '_';
  }
  levels.erase(std::remove(levels.begin(), levels.end(), std::string()), levels.end());
  return levels;
}

SettingsManager* SettingsManager::get() {
  if (!instance) {
    instance.reset(new SettingsManager());
    if (!exit_handler_installed) {
      exit_handler_installed = true;
      atexit(&SettingsManager::destroy);
    }
  }
  return instance.get();
}

void SettingsManager::destroy() {
  instance.reset();
}

SettingsManager::SettingsManager() : db_("Settings manager") {
  if (debugFlag[xsDashRunFixes]) return;
  loaded_ = true;
  if (const char* dir = cfg_GetUserConfigDir(false)) {
    path_ = std::string(dir) + "/" + kFileName;
    if (access(path_.c_str(), F_OK) == 0) db_.read_from_file_name(path_.c_str());
  }
}

SettingsManager::~SettingsManager() {
  if (dirty_) write();
}

bool SettingsManager::write() {
  if (!loaded_ || path_.empty()) return false;
  // The directory is made only when there is something to keep in it.
  if (!cfg_GetUserConfigDir(true)) return false;
  db_.set_compatibility_mode(true);
  const std::string text = db_.write_to_string();
  db_.set_compatibility_mode(false);
  if (!cfg_ReplaceFile(path_, text, beforeReplaceHook)) return false;
  dirty_ = false;
  return true;
}

bool SettingsManager::hasValue(const char* key, ...) {
  va_list args;
  va_start(args, key);
  const ValueRef v = value_ref(&db_, false, key, args);
  va_end(args);
  return v.node && v.node->has_attribute(v.attribute.c_str());
}

bool SettingsManager::hasGroup(const char* key, ...) {
  va_list args;
  va_start(args, key);
  std::vector<std::string> levels = SmKeyLevels(format_key(key, args));
  va_end(args);
  return !levels.empty() && walk(&db_, levels, levels.size(), false) != nullptr;
}

void SettingsManager::removeGroup(const char* key, ...) {
  va_list args;
  va_start(args, key);
  std::vector<std::string> levels = SmKeyLevels(format_key(key, args));
  va_end(args);
  if (levels.empty()) return;
  ut_attribute_tree* node = walk(&db_, levels, levels.size(), false);
  if (!node) return;
  node->get_parent()->remove_child_tree(node, true);
  dirty_ = true;
}

bool SettingsManager::getValueAsBool(bool default_value, const char* key, ...) {
  va_list args;
  va_start(args, key);
  const ValueRef v = value_ref(&db_, false, key, args);
  va_end(args);
  if (!v.node) return default_value;
  return v.node->get_optional_attribute_as_int32(v.attribute.c_str(), default_value ? 1 : 0) != 0;
}

int32_t SettingsManager::getValueAsInt32(int32_t default_value, const char* key, ...) {
  va_list args;
  va_start(args, key);
  const ValueRef v = value_ref(&db_, false, key, args);
  va_end(args);
  return v.node ? v.node->get_optional_attribute_as_int32(v.attribute.c_str(), default_value)
                : default_value;
}

std::string SettingsManager::getValueAsStr(const char* default_value, const char* key, ...) {
  va_list args;
  va_start(args, key);
  const ValueRef v = value_ref(&db_, false, key, args);
  va_end(args);
  const char* value = v.node
                          ? v.node->get_optional_str_attribute(v.attribute.c_str(), default_value)
                          : default_value;
  return value ? value : "";
}

void SettingsManager::setValue(const char* text, const char* key, ...) {
  va_list args;
  va_start(args, key);
  const ValueRef v = value_ref(&db_, true, key, args);
  va_end(args);
  if (!v.node) return;
  v.node->add_or_replace_str_attribute(v.attribute.c_str(), text ? text : "");
  dirty_ = true;
}

void SettingsManager::setValue(int32_t number, const char* key, ...) {
  va_list args;
  va_start(args, key);
  const ValueRef v = value_ref(&db_, true, key, args);
  va_end(args);
  if (!v.node) return;
  v.node->add_or_replace_int32_attribute(v.attribute.c_str(), number);
  dirty_ = true;
}

void SettingsManager::saveWindowPosition(const SmWindow& window, const char* key, ...) {
  va_list args;
  va_start(args, key);
  std::vector<std::string> levels = SmKeyLevels(format_key(key, args));
  va_end(args);
  if (levels.empty()) return;
  ut_attribute_tree* top = db_.find_or_add_child_tree(kPositionsNode);
  ut_attribute_tree* node = walk(top, levels, levels.size(), true);
  const SmRect abs = window.geometry();
  SmRect parent;
  const bool has_parent = window.parentGeometry(&parent);
  const int32_t now = static_cast<int32_t>(gen_time());
  // Every ancestor holds the latest save of any window below it.
  for (; node && node != top; node = node->get_parent()) {
    node->add_or_replace_int32_attribute("timestamp", now);
    store_rect(node, kAbsKeys, abs);
    if (has_parent) store_rect(node, kParKeys, parent);
  }
  dirty_ = true;
}

bool SettingsManager::loadWindowPosition(SmWindow& window, const char* key, ...) {
  va_list args;
  va_start(args, key);
  std::vector<std::string> levels = SmKeyLevels(format_key(key, args));
  va_end(args);
  if (levels.empty()) return false;
  ut_attribute_tree* node = walk(db_.find_child_tree(kPositionsNode), levels, levels.size(), false);
  if (!node) return false;
  SmRect r = window.geometry();
  int* fields[] = {&r.x, &r.y, &r.w, &r.h};
  bool found = false;
  for (int i = 0; i < 4; ++i) {
    if (!node->has_attribute(kAbsKeys[i])) continue;
    *fields[i] = node->get_optional_attribute_as_int32(kAbsKeys[i], *fields[i]);
    found = true;
  }
  if (!found) return false;

  SmRect parent_now;
  bool par_stored = true;
  for (const char* k : kParKeys) par_stored = par_stored && node->has_attribute(k);
  if (par_stored && window.parentGeometry(&parent_now)) {
    SmRect was;
    int* par[] = {&was.x, &was.y, &was.w, &was.h};
    for (int i = 0; i < 4; ++i) *par[i] = node->get_optional_attribute_as_int32(kParKeys[i], 0);
    const SmRect saved = r;
    follow_parent(saved.x, saved.w, was.x, was.w, parent_now.x, parent_now.w, &r.x, &r.w);
    follow_parent(saved.y, saved.h, was.y, was.h, parent_now.y, parent_now.h, &r.y, &r.h);
  }

  const SmRect display = window.displayGeometry();
  r = fit(r, display);
  const std::vector<SmRect> others = window.otherWindowGeometries();
  // Each step lands on another window's exact place or stops, so more steps
  // than windows would be a cycle.
  for (size_t step = 0; step <= others.size(); ++step) {
    if (std::find(others.begin(), others.end(), r) == others.end()) break;
    r.x += kCascadeStep;
    r.y += kCascadeStep;
    if (r.x + r.w > display.x + display.w) r.x = display.x;
    if (r.y + r.h > display.y + display.h) r.y = display.y;
  }
  window.setGeometry(r);
  return true;
}
