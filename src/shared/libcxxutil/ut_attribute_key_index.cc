#include "shared/libcxxutil/ut_attribute_key_index.h"

ut_attribute_key_index::ut_attribute_key_index(
    const std::vector<ut_attribute_tree_attribute>& attributes)
    : attributes_(attributes) {
  size_t capacity = 16;
  while (capacity < attributes.size() * 2) capacity *= 2;
  slots_.assign(capacity, 0);
  for (size_t i = 0; i < attributes.size(); ++i) add(i);
}

size_t ut_attribute_key_index::find(std::string_view key) const {
  uint32_t h = hash(key);
  size_t mask = slots_.size() - 1;
  for (size_t s = h & mask;; s = (s + 1) & mask) {
    uint64_t slot = slots_[s];
    if (slot == 0) return kNotFound;
    if (hash_of(slot) == h && attributes_[position_of(slot)].key() == key) return position_of(slot);
  }
}

void ut_attribute_key_index::add(size_t position) {
  // Kept at most half full, so every probe ends at an empty slot.
  if ((used_ + 1) * 2 > slots_.size()) grow();
  std::string_view key = attributes_[position].key();
  uint32_t h = hash(key);
  size_t mask = slots_.size() - 1;
  for (size_t s = h & mask;; s = (s + 1) & mask) {
    uint64_t slot = slots_[s];
    if (slot == 0) {
      slots_[s] = slot_for(h, position);
      ++used_;
      return;
    }
    if (hash_of(slot) == h && attributes_[position_of(slot)].key() == key) return;
  }
}

void ut_attribute_key_index::grow() {
  std::vector<uint64_t> old;
  old.swap(slots_);
  slots_.assign(old.size() * 2, 0);
  size_t mask = slots_.size() - 1;
  for (uint64_t slot : old) {
    if (slot == 0) continue;
    size_t s = hash_of(slot) & mask;
    while (slots_[s] != 0) s = (s + 1) & mask;
    slots_[s] = slot;
  }
}
