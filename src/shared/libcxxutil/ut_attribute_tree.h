// One node of an attribute tree: a name, an ordered list of typed attributes
// (str, int32, str_list, int32_list) and an ordered list of child nodes,
// which the node owns. A ut_options_database is the root of a loaded
// document; see ut_options_database.h.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "shared/libcxxutil/ut_string.h"

class ut_attribute_key_index;

enum ut_attribute_type : uint8_t {
  ut_attribute_type_str = 0,
  ut_attribute_type_int32 = 1,
  ut_attribute_type_str_list = 2,
  ut_attribute_type_int32_list = 3,
};

// "str", "int32", "str_list" or "int32_list".
const char* ut_attribute_type_name(ut_attribute_type type);

// Elements of list values. An attribute owns its whole chain; a chain handed
// to an add or replace operation becomes the attribute's.
struct ut_attribute_str_list {
  explicit ut_attribute_str_list(std::string_view s) : str(s) {}
  ut_attribute_str_list* next = nullptr;
  std::string str;
};

struct ut_attribute_int32_list {
  explicit ut_attribute_int32_list(int32_t v) : value(v) {}
  ut_attribute_int32_list* next = nullptr;
  int32_t value;
};

// An owned singly linked chain with constant-time append.
template <class Element>
class ut_attribute_chain {
 public:
  ut_attribute_chain() = default;
  explicit ut_attribute_chain(Element* first) { adopt(first); }
  ut_attribute_chain(const ut_attribute_chain& other) {
    for (const Element* e = other.head_; e; e = e->next) {
      Element* copy = new Element(*e);
      copy->next = nullptr;
      append(copy);
    }
  }
  ut_attribute_chain(ut_attribute_chain&& other) noexcept : head_(other.head_), tail_(other.tail_) {
    other.head_ = other.tail_ = nullptr;
  }
  ut_attribute_chain& operator=(ut_attribute_chain other) noexcept {
    std::swap(head_, other.head_);
    std::swap(tail_, other.tail_);
    return *this;
  }
  ~ut_attribute_chain() {
    while (head_) {
      Element* next = head_->next;
      delete head_;
      head_ = next;
    }
  }
  Element* head() const { return head_; }
  // Hands the chain to the caller.
  Element* release() {
    Element* first = head_;
    head_ = tail_ = nullptr;
    return first;
  }
  void append(Element* e) {
    e->next = nullptr;
    if (tail_)
      tail_->next = e;
    else
      head_ = e;
    tail_ = e;
  }
  // Appends a caller's chain, taking it over.
  void adopt(Element* first) {
    while (first) {
      Element* next = first->next;
      append(first);
      first = next;
    }
  }

 private:
  Element* head_ = nullptr;
  Element* tail_ = nullptr;
};

// One attribute: a key and a value whose variant index is its type.
class ut_attribute_tree_attribute {
 public:
  using value_type =
      std::variant<std::optional<std::string>, int32_t, ut_attribute_chain<ut_attribute_str_list>,
                   ut_attribute_chain<ut_attribute_int32_list>>;

  ut_attribute_tree_attribute(std::string_view key, value_type value)
      : key_(key), value_(std::move(value)) {}

  ut_attribute_type type() const { return static_cast<ut_attribute_type>(value_.index()); }
  const std::string& key() const { return key_; }
  // The string of a str attribute; null for a null str and for other types.
  const char* str() const;
  int32_t int32() const;  // -1 unless int32
  ut_attribute_str_list* str_list() const;
  ut_attribute_int32_list* int32_list() const;

 private:
  friend class ut_attribute_tree;
  std::string key_;
  value_type value_;
};

class ut_attribute_tree {
 public:
  // Flag bits.
  static constexpr uint8_t kFlagDatabaseRoot = 1;
  static constexpr uint8_t kFlagOpenScope = 2;  // only while reading
  static constexpr uint8_t kFlagMissingRequired = 4;
  static constexpr uint8_t kFlagHidden = 32;

  explicit ut_attribute_tree(const char* name = nullptr);
  virtual ~ut_attribute_tree();
  ut_attribute_tree(const ut_attribute_tree&) = delete;
  ut_attribute_tree& operator=(const ut_attribute_tree&) = delete;

  const char* get_name() const { return name_.c_str(); }
  ut_attribute_tree* get_parent() const { return parent_; }
  uint8_t get_flags() const { return flags_; }
  void set_flags(uint8_t bits) const { flags_ |= bits; }
  void clear_flags(uint8_t bits) const { flags_ &= static_cast<uint8_t>(~bits); }
  bool is_hidden() const { return flags_ & kFlagHidden; }
  void set_hidden(bool hidden) const { hidden ? set_flags(kFlagHidden) : clear_flags(kFlagHidden); }

  // ---- Children ------------------------------------------------------------
  // The first child of exactly that name; a null or empty name finds nothing.
  ut_attribute_tree* find_child_tree(const char* name) const;
  ut_attribute_tree* find_child_tree(std::string_view name) const;
  ut_attribute_tree* find_child_child_tree(const char* a, const char* b) const;
  ut_attribute_tree* find_child_child_child_tree(const char* a, const char* b, const char* c) const;
  // Always appends a new child.
  ut_attribute_tree* add_child_tree(const char* name);
  ut_attribute_tree* add_child_tree(std::string_view name);
  ut_attribute_tree* find_or_add_child_tree(const char* name);
  ut_attribute_tree* find_or_add_child_tree(std::string_view name);
  // Unlinks `child`. With `destroy` it is deleted and null is returned;
  // otherwise the caller owns the returned node. A node that is not a child
  // of this node is returned untouched.
  ut_attribute_tree* remove_child_tree(ut_attribute_tree* child, bool destroy);
  ut_attribute_tree* remove_child_tree(const char* name, bool destroy);
  // Appends a child named `name` (the source's name when null) with copies
  // of every attribute of `source`, and with `deep` copies of its children.
  ut_attribute_tree* add_copy_of_child_tree(const ut_attribute_tree* source, bool deep,
                                            const char* name = nullptr);
  // Copies the str and int32 attributes of `source` onto this node; one
  // that exists here is kept unless `replace`.
  void add_copy_of_child_tree_attributes(const ut_attribute_tree* source, bool replace);
  int count_child_trees(bool skip_hidden) const;
  ut_attribute_tree* get_first_child(bool skip_hidden) const;
  // The next sibling of this node.
  ut_attribute_tree* get_next_child(bool skip_hidden) const;
  void sort_children_by_name();
  // Orders the children by (key1 value, key2 value, name), by (key1 value,
  // name) when key2 is null, by name when both are null. A missing or
  // non-str value sorts after every string. The sort is not stable.
  void sort_children_by_str_attribute(const char* key1, const char* key2);
  // Moves each child of that name, in turn, to the head of the list.
  void move_child_to_front(const char* name);
  // The names from the top root down to this node joined by "."; no "."
  // follows the name of a database root. With `with_file`, a database that
  // has opened exactly one file prefixes that file name and ":".
  ut_string get_path_name(bool with_file) const;

  // ---- Attributes ------------------------------------------------------------
  // A null or empty key finds nothing.
  ut_attribute_tree_attribute* find_attribute(const char* key) const;
  ut_attribute_tree_attribute* find_attribute(std::string_view key) const;
  bool has_attribute(const char* key) const { return find_attribute(key) != nullptr; }
  // The attribute when present with that type; otherwise marks this node
  // (kFlagMissingRequired), warns and returns null.
  ut_attribute_tree_attribute* get_attribute(const char* key, ut_attribute_type type) const;

  const char* get_str_attribute(const char* key, const char* default_value) const;
  const char* get_optional_str_attribute(const char* key, const char* default_value) const;
  ut_string get_str_attribute_quoted(const char* key) const;
  ut_string get_str_attribute_escaped(const char* key) const;
  const char* get_filename_attribute(const char* key, const char* default_value) const;
  const char* get_optional_filename_attribute(const char* key, const char* default_value) const;
  int32_t get_int32_attribute(const char* key, int32_t default_value) const;
  int32_t get_optional_int32_attribute(const char* key, int32_t default_value) const;
  // An int32 value, or a str value that is a whole number (strtoul base 0,
  // not 4294967295), else the default.
  int32_t get_attribute_as_int32(const char* key, int32_t default_value) const;
  int32_t get_optional_attribute_as_int32(const char* key, int32_t default_value) const;
  bool get_bool_attribute(const char* key, bool default_value) const;
  bool get_optional_bool_attribute(const char* key, bool default_value) const;
  ut_attribute_str_list* get_str_list_attribute(const char* key) const;
  ut_attribute_str_list* get_optional_str_list_attribute(const char* key) const;
  ut_attribute_int32_list* get_int32_list_attribute(const char* key) const;
  ut_attribute_int32_list* get_optional_int32_list_attribute(const char* key) const;

  // The same getters on a named child or grandchild; the default when it is
  // missing.
  const char* get_child_str_attribute(const char* child, const char* key,
                                      const char* default_value) const;
  const char* get_child_optional_str_attribute(const char* child, const char* key,
                                               const char* default_value) const;
  int32_t get_child_int32_attribute(const char* child, const char* key,
                                    int32_t default_value) const;
  int32_t get_child_optional_int32_attribute(const char* child, const char* key,
                                             int32_t default_value) const;
  bool get_child_optional_bool_attribute(const char* child, const char* key,
                                         bool default_value) const;
  const char* get_child_child_str_attribute(const char* child, const char* grandchild,
                                            const char* key, const char* default_value) const;
  int32_t get_child_child_int32_attribute(const char* child, const char* grandchild,
                                          const char* key, int32_t default_value) const;

  // Append without looking for an existing attribute of that key.
  void add_str_attribute(const char* key, const char* value);
  void add_int32_attribute(const char* key, int32_t value);
  void add_str_list_attribute(const char* key, ut_attribute_str_list* first);
  void add_int32_list_attribute(const char* key, ut_attribute_int32_list* first);
  // Replace value and type in place, or append; true when replaced.
  bool add_or_replace_str_attribute(const char* key, const char* value);
  bool add_or_replace_int32_attribute(const char* key, int32_t value);
  bool add_or_replace_str_list_attribute(const char* key, ut_attribute_str_list* first);
  bool add_or_replace_int32_list_attribute(const char* key, ut_attribute_int32_list* first);
  // Concatenates to an existing str; an attribute of another type becomes
  // a str with the text; a missing one is added.
  void append_str_attribute(const char* key, const char* text);
  // Appends to an existing list of that type; an attribute of another type
  // becomes a one-element list; a missing one is added.
  void append_str_list_attribute(const char* key, const char* s);
  void append_int32_list_attribute(const char* key, int32_t n);
  // False when absent; later attributes move down one place.
  bool remove_attribute(const char* key);

  int get_num_attributes() const { return static_cast<int>(attributes_.size()); }
  ut_attribute_tree_attribute* get_first_attribute() const;
  ut_attribute_tree_attribute* get_next_attribute(const ut_attribute_tree_attribute* a) const;
  static ut_attribute_type get_attribute_type(const ut_attribute_tree_attribute* a) {
    return a->type();
  }
  static const char* get_attribute_key_name(const ut_attribute_tree_attribute* a) {
    return a->key().c_str();
  }
  static const char* get_attribute_str_value(const ut_attribute_tree_attribute* a) {
    return a->str();
  }
  static int32_t get_attribute_int32_value(const ut_attribute_tree_attribute* a) {
    return a->int32();
  }
  static ut_attribute_int32_list* get_int32_list_value(const ut_attribute_tree_attribute* a) {
    return a->int32_list();
  }
  // int32: non-zero; str: after leading white space "yes", "on", "1" or
  // "true" ignoring case; otherwise false.
  static bool get_attribute_bool_value(const ut_attribute_tree_attribute* a);
  // A null-terminated array (gen_alloc) of the value of a str or str_list
  // attribute, with `count` set; the strings are copies (gen_copy) when
  // `copy`, else the attribute's own. Any other type gives null and 0.
  static char** get_attribute_strlist_value(bool copy, int* count,
                                            const ut_attribute_tree_attribute* a);

 protected:
  // The database at the top of this node's tree, if any.
  const ut_attribute_tree* top_root() const;
  // Hook for the database root: the one file it opened, or null.
  virtual const char* single_opened_file() const { return nullptr; }

 private:
  using attribute_value = ut_attribute_tree_attribute::value_type;
  // Children and attributes are looked up through an index once a node
  // holds this many of them; below it a linear scan is cheaper.
  static constexpr int kIndexThreshold = 8;

  void link_child(ut_attribute_tree* child);
  void unlink_child(ut_attribute_tree* child, ut_attribute_tree* previous);
  void relink_children(const std::vector<ut_attribute_tree*>& order);
  size_t attribute_index(std::string_view key) const;
  void append_attribute(std::string_view key, attribute_value value);
  bool set_attribute(const char* key, attribute_value value);
  void warn_missing(const char* key, ut_attribute_type type) const;

  std::string name_;
  ut_attribute_tree* parent_ = nullptr;
  ut_attribute_tree* next_sibling_ = nullptr;
  ut_attribute_tree* first_child_ = nullptr;
  ut_attribute_tree* last_child_ = nullptr;
  mutable uint8_t flags_ = 0;
  std::vector<ut_attribute_tree_attribute> attributes_;
  // Name and key indexes, built once a node has many children or
  // attributes: first child of each name, position of each key.
  using child_map = std::unordered_map<std::string_view, ut_attribute_tree*>;
  int child_count_ = 0;
  mutable std::unique_ptr<child_map> child_index_;  // views into the children's names
  mutable std::unique_ptr<ut_attribute_key_index> attribute_index_;
};
