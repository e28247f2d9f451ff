#include "shared/libcxxutil/ut_string_list.h"

bool ut_string_list::contains(const char* s) const {
  for (const ut_string& item : items_) {
    if (item == s) return true;
  }
  return false;
}
