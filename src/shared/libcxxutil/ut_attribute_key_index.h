// Positions of the attribute keys of one node, for nodes with many
// attributes: an open-addressing table that stores only positions and reads
// the keys from the node's attribute array. A key present more than once
// maps to its first position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "shared/libcxxutil/ut_attribute_tree.h"

class ut_attribute_key_index {
 public:
  static constexpr size_t kNotFound = static_cast<size_t>(-1);

  // Indexes every attribute of `attributes`, which must outlive the index.
  explicit ut_attribute_key_index(const std::vector<ut_attribute_tree_attribute>& attributes);

  size_t find(std::string_view key) const;
  // Records the attribute just appended at `position` unless its key is
  // already present.
  void add(size_t position);

 private:
  // A slot holds the position + 1 in its low half (0 marks an empty slot)
  // and the low 32 bits of the key's hash in its high half, so that most
  // probes and every rehash need not read the key. Tables stay below 2^32
  // slots, so those bits also give the home slot.
  static uint32_t hash(std::string_view key) {
    return static_cast<uint32_t>(std::hash<std::string_view>()(key));
  }
  static uint64_t slot_for(uint32_t h, size_t position) {
    return (static_cast<uint64_t>(h) << 32) | static_cast<uint64_t>(position + 1);
  }
  static size_t position_of(uint64_t slot) { return static_cast<size_t>(slot & 0xFFFFFFFFu) - 1; }
  static uint32_t hash_of(uint64_t slot) { return static_cast<uint32_t>(slot >> 32); }
  void grow();

  const std::vector<ut_attribute_tree_attribute>& attributes_;
  std::vector<uint64_t> slots_;
  size_t used_ = 0;
};
