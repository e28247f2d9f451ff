#include "shared/libcxxutil/ut_macro_map.h"

void ut_macro_map::insert(std::string_view name, const char* value) {
  insert(name, std::string_view(value ? value : ""));
}

void ut_macro_map::insert(std::string_view name, std::string_view value) {
  auto it = map_.find(name);
  if (it != map_.end()) {
    it->second.assign(value);
  } else {
    map_.emplace(std::string(name), std::string(value));
  }
}

const char* ut_macro_map::lookup(std::string_view name) const {
  auto it = map_.find(name);
  return it == map_.end() ? nullptr : it->second.c_str();
}

bool ut_macro_map::remove(std::string_view name) {
  auto it = map_.find(name);
  if (it == map_.end()) return false;
  map_.erase(it);
  return true;
}
