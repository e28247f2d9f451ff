// A table of macro names and their values, ordered by exact, case-sensitive
// name. A name defined with no value holds the empty string and still
// counts as defined.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

class ut_macro_map {
 public:
  using entries = std::map<std::string, std::string, std::less<>>;

  // Defines `name`, replacing the value of an existing definition. A null
  // value defines the name with the empty value.
  void insert(std::string_view name, const char* value);
  void insert(std::string_view name, std::string_view value);
  // The value of `name`, or null when it is not defined. The text stays
  // valid until the name is redefined or removed.
  const char* lookup(std::string_view name) const;
  bool is_defined(std::string_view name) const { return map_.find(name) != map_.end(); }
  // Removes `name`; false when it was not defined.
  bool remove(std::string_view name);
  size_t size() const { return map_.size(); }
  void clear() { map_.clear(); }

  entries::const_iterator begin() const { return map_.begin(); }
  entries::const_iterator end() const { return map_.end(); }

 private:
  entries map_;
};
