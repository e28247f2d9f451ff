// Attribute access of ut_attribute_tree: lookup, typed getters with their
// warnings, and the add, replace, append and remove operations.
#include <cstring>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/string_parser.h"
#include "shared/libcxxutil/ut_attribute_key_index.h"
#include "shared/libcxxutil/ut_attribute_tree.h"

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);

bool equals_ignoring_case(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    int x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
    if (gen_isupper(x)) x += 'a' - 'A';
    if (gen_isupper(y)) y += 'a' - 'A';
    if (x != y) return false;
  }
  return *a == *b;
}

}  // namespace

// ---- ut_attribute_tree_attribute ----------------------------------------------------

const char* ut_attribute_tree_attribute::str() const {
  const auto* s = std::get_if<std::optional<std::string>>(&value_);
  return s && *s ? (*s)->c_str() : nullptr;
}

int32_t ut_attribute_tree_attribute::int32() const {
  const auto* v = std::get_if<int32_t>(&value_);
  return v ? *v : -1;
}

ut_attribute_str_list* ut_attribute_tree_attribute::str_list() const {
  const auto* v = std::get_if<ut_attribute_chain<ut_attribute_str_list>>(&value_);
  return v ? v->head() : nullptr;
}

ut_attribute_int32_list* ut_attribute_tree_attribute::int32_list() const {
  const auto* v = std::get_if<ut_attribute_chain<ut_attribute_int32_list>>(&value_);
  return v ? v->head() : nullptr;
}

// ---- Lookup ---------------------------------------------------------------------------

size_t ut_attribute_tree::attribute_index(std::string_view key) const {
  if (key.empty()) return kNotFound;
  if (attributes_.size() >= kIndexThreshold) {
    if (!attribute_index_) attribute_index_ = std::make_unique<ut_attribute_key_index>(attributes_);
    return attribute_index_->find(key);
  }
  for (size_t i = 0; i < attributes_.size(); ++i) {
    if (attributes_[i].key_ == key) return i;
  }
  return kNotFound;
}

ut_attribute_tree_attribute* ut_attribute_tree::find_attribute(const char* key) const {
  return key ? find_attribute(std::string_view(key)) : nullptr;
}

ut_attribute_tree_attribute* ut_attribute_tree::find_attribute(std::string_view key) const {
  size_t i = attribute_index(key);
  return i == kNotFound ? nullptr : const_cast<ut_attribute_tree_attribute*>(&attributes_[i]);
}

void ut_attribute_tree::warn_missing(const char* key, ut_attribute_type type) const {
  set_flags(kFlagMissingRequired);
  ut_string path = get_path_name(true);
  gen_warning("\"%s\": is missing required %s attribute \"%s\"", path.c_str(),
              ut_attribute_type_name(type), key ? key : "");
}

ut_attribute_tree_attribute* ut_attribute_tree::get_attribute(const char* key,
                                                              ut_attribute_type type) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  if (a && a->type() == type) return a;
  warn_missing(key, type);
  return nullptr;
}

ut_attribute_tree_attribute* ut_attribute_tree::get_first_attribute() const {
  return attributes_.empty() ? nullptr : const_cast<ut_attribute_tree_attribute*>(&attributes_[0]);
}

ut_attribute_tree_attribute* ut_attribute_tree::get_next_attribute(
    const ut_attribute_tree_attribute* a) const {
  if (!a || attributes_.empty()) return nullptr;
  size_t i = static_cast<size_t>(a - attributes_.data()) + 1;
  return i < attributes_.size() ? const_cast<ut_attribute_tree_attribute*>(&attributes_[i])
                                : nullptr;
}

// ---- Getters ------------------------------------------------------------------------------

const char* ut_attribute_tree::get_str_attribute(const char* key, const char* default_value) const {
  ut_attribute_tree_attribute* a = get_attribute(key, ut_attribute_type_str);
  return a && a->str() ? a->str() : default_value;
}

const char* ut_attribute_tree::get_optional_str_attribute(const char* key,
                                                          const char* default_value) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  return a && a->str() ? a->str() : default_value;
}

ut_string ut_attribute_tree::get_str_attribute_quoted(const char* key) const {
  std::string out;
  const char* value = get_str_attribute(key, nullptr);
  string_parser::append_quoted(&out, value ? value : "");
  return ut_string(std::move(out));
}

ut_string ut_attribute_tree::get_str_attribute_escaped(const char* key) const {
  std::string out;
  const char* value = get_str_attribute(key, nullptr);
  string_parser::append_escapified(&out, value ? value : "");
  return ut_string(std::move(out));
}

namespace {

// A drive letter and ":" not followed by a separator: a Windows path whose
// backslashes were lost to escape decoding.
void check_backslashed(const char* key, const char* value) {
  if (value && gen_isalpha(static_cast<unsigned char>(value[0])) && value[1] == ':' &&
      value[2] != '/' && value[2] != '\\')
    gen_warning("filename attribute \"%s\" appears to not have been backslashed \"%s\"", key,
                value);
}

}  // namespace

const char* ut_attribute_tree::get_filename_attribute(const char* key,
                                                      const char* default_value) const {
  ut_attribute_tree_attribute* a = get_attribute(key, ut_attribute_type_str);
  if (!a || !a->str()) return default_value;
  check_backslashed(key, a->str());
  return a->str();
}

const char* ut_attribute_tree::get_optional_filename_attribute(const char* key,
                                                               const char* default_value) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  if (!a || !a->str()) return default_value;
  check_backslashed(key, a->str());
  return a->str();
}

int32_t ut_attribute_tree::get_int32_attribute(const char* key, int32_t default_value) const {
  ut_attribute_tree_attribute* a = get_attribute(key, ut_attribute_type_int32);
  return a ? a->int32() : default_value;
}

int32_t ut_attribute_tree::get_optional_int32_attribute(const char* key,
                                                        int32_t default_value) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  return a && a->type() == ut_attribute_type_int32 ? a->int32() : default_value;
}

int32_t ut_attribute_tree::get_optional_attribute_as_int32(const char* key,
                                                           int32_t default_value) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  if (!a) return default_value;
  if (a->type() == ut_attribute_type_int32) return a->int32();
  const char* s = a->str();
  if (!s) return default_value;
  size_t used = 0;
  uint32_t v = string_parser::to_uint32(s, &used);
  if (used == 0 || s[used] != '\0' || v == 0xFFFFFFFFu) return default_value;
  return static_cast<int32_t>(v);
}

int32_t ut_attribute_tree::get_attribute_as_int32(const char* key, int32_t default_value) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  if (!a || (a->type() != ut_attribute_type_int32 && a->type() != ut_attribute_type_str)) {
    warn_missing(key, ut_attribute_type_int32);
    return default_value;
  }
  return get_optional_attribute_as_int32(key, default_value);
}

bool ut_attribute_tree::get_bool_attribute(const char* key, bool default_value) const {
  ut_attribute_tree_attribute* a = get_attribute(key, ut_attribute_type_int32);
  return a ? a->int32() != 0 : default_value;
}

bool ut_attribute_tree::get_optional_bool_attribute(const char* key, bool default_value) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  return a && a->type() == ut_attribute_type_int32 ? a->int32() != 0 : default_value;
}

ut_attribute_str_list* ut_attribute_tree::get_str_list_attribute(const char* key) const {
  ut_attribute_tree_attribute* a = get_attribute(key, ut_attribute_type_str_list);
  return a ? a->str_list() : nullptr;
}

ut_attribute_str_list* ut_attribute_tree::get_optional_str_list_attribute(const char* key) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  return a ? a->str_list() : nullptr;
}

ut_attribute_int32_list* ut_attribute_tree::get_int32_list_attribute(const char* key) const {
  ut_attribute_tree_attribute* a = get_attribute(key, ut_attribute_type_int32_list);
  return a ? a->int32_list() : nullptr;
}

ut_attribute_int32_list* ut_attribute_tree::get_optional_int32_list_attribute(
    const char* key) const {
  ut_attribute_tree_attribute* a = find_attribute(key);
  return a ? a->int32_list() : nullptr;
}

const char* ut_attribute_tree::get_child_str_attribute(const char* child, const char* key,
                                                       const char* default_value) const {
  ut_attribute_tree* c = find_child_tree(child);
  return c ? c->get_str_attribute(key, default_value) : default_value;
}

const char* ut_attribute_tree::get_child_optional_str_attribute(const char* child, const char* key,
                                                                const char* default_value) const {
  ut_attribute_tree* c = find_child_tree(child);
  return c ? c->get_optional_str_attribute(key, default_value) : default_value;
}

int32_t ut_attribute_tree::get_child_int32_attribute(const char* child, const char* key,
                                                     int32_t default_value) const {
  ut_attribute_tree* c = find_child_tree(child);
  return c ? c->get_int32_attribute(key, default_value) : default_value;
}

int32_t ut_attribute_tree::get_child_optional_int32_attribute(const char* child, const char* key,
                                                              int32_t default_value) const {
  ut_attribute_tree* c = find_child_tree(child);
  return c ? c->get_optional_int32_attribute(key, default_value) : default_value;
}

bool ut_attribute_tree::get_child_optional_bool_attribute(const char* child, const char* key,
                                                          bool default_value) const {
  ut_attribute_tree* c = find_child_tree(child);
  return c ? c->get_optional_bool_attribute(key, default_value) : default_value;
}

const char* ut_attribute_tree::get_child_child_str_attribute(const char* child,
                                                             const char* grandchild,
                                                             const char* key,
                                                             const char* default_value) const {
  ut_attribute_tree* c = find_child_child_tree(child, grandchild);
  return c ? c->get_str_attribute(key, default_value) : default_value;
}

int32_t ut_attribute_tree::get_child_child_int32_attribute(const char* child,
                                                           const char* grandchild, const char* key,
                                                           int32_t default_value) const {
  ut_attribute_tree* c = find_child_child_tree(child, grandchild);
  return c ? c->get_int32_attribute(key, default_value) : default_value;
}

bool ut_attribute_tree::get_attribute_bool_value(const ut_attribute_tree_attribute* a) {
  if (!a) return false;
  if (a->type() == ut_attribute_type_int32) return a->int32() != 0;
  const char* s = a->str();
  if (!s) return false;
  while (gen_isspace(static_cast<unsigned char>(*s))) ++s;
  return equals_ignoring_case(s, "yes") || equals_ignoring_case(s, "on") ||
         equals_ignoring_case(s, "1") || equals_ignoring_case(s, "true");
}

char** ut_attribute_tree::get_attribute_strlist_value(bool copy, int* count,
                                                      const ut_attribute_tree_attribute* a) {
  std::vector<const char*> items;
  if (a && a->type() == ut_attribute_type_str) {
    items.push_back(a->str());
  } else if (a && a->type() == ut_attribute_type_str_list) {
    for (ut_attribute_str_list* e = a->str_list(); e; e = e->next) items.push_back(e->str.c_str());
  } else {
    if (count) *count = 0;
    return nullptr;
  }
  auto** array = static_cast<char**>(
      gen_alloc(static_cast<long>(items.size()) + 1, static_cast<long>(sizeof(char*))));
  for (size_t i = 0; i < items.size(); ++i)
    array[i] = copy ? gen_copy(items[i]) : const_cast<char*>(items[i]);
  array[items.size()] = nullptr;
  if (count) *count = static_cast<int>(items.size());
  return array;
}

// ---- Changes ----------------------------------------------------------------------------

void ut_attribute_tree::append_attribute(std::string_view key, attribute_value value) {
  attributes_.emplace_back(key, std::move(value));
  if (attribute_index_) attribute_index_->add(attributes_.size() - 1);
}

bool ut_attribute_tree::set_attribute(const char* key, attribute_value value) {
  std::string_view k(key ? key : "");
  size_t i = attribute_index(k);
  if (i != kNotFound) {
    attributes_[i].value_ = std::move(value);
    return true;
  }
  append_attribute(k, std::move(value));
  return false;
}

namespace {

std::optional<std::string> optional_text(const char* s) {
  return s ? std::optional<std::string>(s) : std::nullopt;
}

}  // namespace

void ut_attribute_tree::add_str_attribute(const char* key, const char* value) {
  append_attribute(key ? key : "", optional_text(value));
}

void ut_attribute_tree::add_int32_attribute(const char* key, int32_t value) {
  append_attribute(key ? key : "", value);
}

void ut_attribute_tree::add_str_list_attribute(const char* key, ut_attribute_str_list* first) {
  append_attribute(key ? key : "", ut_attribute_chain<ut_attribute_str_list>(first));
}

void ut_attribute_tree::add_int32_list_attribute(const char* key, ut_attribute_int32_list* first) {
  append_attribute(key ? key : "", ut_attribute_chain<ut_attribute_int32_list>(first));
}

bool ut_attribute_tree::add_or_replace_str_attribute(const char* key, const char* value) {
  return set_attribute(key, optional_text(value));
}

bool ut_attribute_tree::add_or_replace_int32_attribute(const char* key, int32_t value) {
  return set_attribute(key, value);
}

bool ut_attribute_tree::add_or_replace_str_list_attribute(const char* key,
                                                          ut_attribute_str_list* first) {
  return set_attribute(key, ut_attribute_chain<ut_attribute_str_list>(first));
}

bool ut_attribute_tree::add_or_replace_int32_list_attribute(const char* key,
                                                            ut_attribute_int32_list* first) {
  return set_attribute(key, ut_attribute_chain<ut_attribute_int32_list>(first));
}

void ut_attribute_tree::append_str_attribute(const char* key, const char* text) {
  if (!text) text = "";
  ut_attribute_tree_attribute* a = find_attribute(key);
  if (!a) {
    add_str_attribute(key, text);
    return;
  }
  auto* s = std::get_if<std::optional<std::string>>(&a->value_);
  if (s && *s)
    (*s)->append(text);
  else
    a->value_ = std::optional<std::string>(text);
}

void ut_attribute_tree::append_str_list_attribute(const char* key, const char* s) {
  auto* element = new ut_attribute_str_list(s ? s : "");
  ut_attribute_tree_attribute* a = find_attribute(key);
  if (!a) {
    add_str_list_attribute(key, element);
    return;
  }
  if (auto* chain = std::get_if<ut_attribute_chain<ut_attribute_str_list>>(&a->value_))
    chain->append(element);
  else
    a->value_ = ut_attribute_chain<ut_attribute_str_list>(element);
}

void ut_attribute_tree::append_int32_list_attribute(const char* key, int32_t n) {
  auto* element = new ut_attribute_int32_list(n);
  ut_attribute_tree_attribute* a = find_attribute(key);
  if (!a) {
    add_int32_list_attribute(key, element);
    return;
  }
  if (auto* chain = std::get_if<ut_attribute_chain<ut_attribute_int32_list>>(&a->value_))
    chain->append(element);
  else
    a->value_ = ut_attribute_chain<ut_attribute_int32_list>(element);
}

bool ut_attribute_tree::remove_attribute(const char* key) {
  size_t i = attribute_index(key ? key : "");
  if (i == kNotFound) return false;
  attributes_.erase(attributes_.begin() + static_cast<std::ptrdiff_t>(i));
  attribute_index_.reset();
  return true;
}

void ut_attribute_tree::add_copy_of_child_tree_attributes(const ut_attribute_tree* source,
                                                          bool replace) {
  if (!source || source == this) return;
  for (const ut_attribute_tree_attribute& a : source->attributes_) {
    if (a.type() != ut_attribute_type_str && a.type() != ut_attribute_type_int32) continue;
    if (!replace && find_attribute(a.key_)) continue;
    set_attribute(a.key_.c_str(), a.value_);
  }
}
