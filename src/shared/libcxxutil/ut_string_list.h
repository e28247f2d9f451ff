// An ordered list of ut_string, kept in insertion order.
#pragma once

#include <cstddef>
#include <vector>

#include "shared/libcxxutil/ut_string.h"

class ut_string_list {
 public:
  void add(const char* s) { items_.emplace_back(s); }
  void add(const ut_string& s) { items_.push_back(s); }
  void add_all(const ut_string_list& other) {
    items_.insert(items_.end(), other.items_.begin(), other.items_.end());
  }
  int count() const { return static_cast<int>(items_.size()); }
  bool is_empty() const { return items_.empty(); }
  // The entry at `index`; index must be below count().
  const ut_string& get(int index) const { return items_[static_cast<size_t>(index)]; }
  bool contains(const char* s) const;
  void clear() { items_.clear(); }

  std::vector<ut_string>::const_iterator begin() const { return items_.begin(); }
  std::vector<ut_string>::const_iterator end() const { return items_.end(); }

  friend bool operator==(const ut_string_list& a, const ut_string_list& b) {
    return a.items_ == b.items_;
  }

 private:
  std::vector<ut_string> items_;
};
