#include "shared/libcxxutil/ut_attribute_tree.h"

#include <algorithm>
#include <cstring>

#include "shared/libcxxutil/ut_attribute_key_index.h"

namespace {

struct sort_entry {
  const char* keys[3];
  ut_attribute_tree* node;
};

// Element-wise strcmp where a missing string sorts after every string.
bool sort_before(const sort_entry& a, const sort_entry& b) {
  for (int i = 0; i < 3; ++i) {
    const char* x = a.keys[i];
    const char* y = b.keys[i];
    if (!x && !y) continue;
    if (!x) return false;
    if (!y) return true;
    int c = std::strcmp(x, y);
    if (c != 0) return c < 0;
  }
  return false;
}

}  // namespace

const char* ut_attribute_type_name(ut_attribute_type type) {
  switch (type) {
    case ut_attribute_type_str:
      return "str";
    case ut_attribute_type_int32:
      return "int32";
    case ut_attribute_type_str_list:
      return "str_list";
    case ut_attribute_type_int32_list:
      return "int32_list";
  }
  return "unknown";
}

ut_attribute_tree::ut_attribute_tree(const char* name) : name_(name ? name : "") {}

ut_attribute_tree::~ut_attribute_tree() {
  // Descendants are destroyed from a work list, so a deep tree cannot
  // exhaust the stack.
  std::vector<ut_attribute_tree*> pending;
  for (ut_attribute_tree* c = first_child_; c; c = c->next_sibling_) pending.push_back(c);
  first_child_ = last_child_ = nullptr;
  while (!pending.empty()) {
    ut_attribute_tree* node = pending.back();
    pending.pop_back();
    for (ut_attribute_tree* c = node->first_child_; c; c = c->next_sibling_) pending.push_back(c);
    node->first_child_ = node->last_child_ = nullptr;
    delete node;
  }
}

// ---- Children ------------------------------------------------------------------

ut_attribute_tree* ut_attribute_tree::find_child_tree(const char* name) const {
  return name ? find_child_tree(std::string_view(name)) : nullptr;
}

ut_attribute_tree* ut_attribute_tree::find_child_tree(std::string_view name) const {
  if (name.empty()) return nullptr;
  if (child_count_ >= kIndexThreshold) {
    if (!child_index_) {
      child_index_ = std::make_unique<child_map>();
      for (ut_attribute_tree* c = first_child_; c; c = c->next_sibling_)
        child_index_->emplace(c->name_, c);
    }
    auto it = child_index_->find(name);
    return it == child_index_->end() ? nullptr : it->second;
  }
  for (ut_attribute_tree* c = first_child_; c; c = c->next_sibling_) {
    if (c->name_ == name) return c;
  }
  return nullptr;
}

ut_attribute_tree* ut_attribute_tree::find_child_child_tree(const char* a, const char* b) const {
  ut_attribute_tree* child = find_child_tree(a);
  return child ? child->find_child_tree(b) : nullptr;
}

ut_attribute_tree* ut_attribute_tree::find_child_child_child_tree(const char* a, const char* b,
                                                                  const char* c) const {
  ut_attribute_tree* child = find_child_child_tree(a, b);
  return child ? child->find_child_tree(c) : nullptr;
}

ut_attribute_tree* ut_attribute_tree::add_child_tree(const char* name) {
  return add_child_tree(std::string_view(name ? name : ""));
}

ut_attribute_tree* ut_attribute_tree::add_child_tree(std::string_view name) {
  auto* child = new ut_attribute_tree();
  child->name_.assign(name);
  link_child(child);
  return child;
}

ut_attribute_tree* ut_attribute_tree::find_or_add_child_tree(const char* name) {
  return find_or_add_child_tree(std::string_view(name ? name : ""));
}

ut_attribute_tree* ut_attribute_tree::find_or_add_child_tree(std::string_view name) {
  ut_attribute_tree* child = find_child_tree(name);
  return child ? child : add_child_tree(name);
}

void ut_attribute_tree::link_child(ut_attribute_tree* child) {
  child->parent_ = this;
  child->next_sibling_ = nullptr;
  if (last_child_)
    last_child_->next_sibling_ = child;
  else
    first_child_ = child;
  last_child_ = child;
  ++child_count_;
  if (child_index_) child_index_->emplace(child->name_, child);
}

void ut_attribute_tree::unlink_child(ut_attribute_tree* child, ut_attribute_tree* previous) {
  if (previous)
    previous->next_sibling_ = child->next_sibling_;
  else
    first_child_ = child->next_sibling_;
  if (last_child_ == child) last_child_ = previous;
  child->parent_ = nullptr;
  child->next_sibling_ = nullptr;
  --child_count_;
  child_index_.reset();
}

ut_attribute_tree* ut_attribute_tree::remove_child_tree(ut_attribute_tree* child, bool destroy) {
  if (!child || child->parent_ != this) return child;
  ut_attribute_tree* previous = nullptr;
  for (ut_attribute_tree* c = first_child_; c && c != child; c = c->next_sibling_) previous = c;
  unlink_child(child, previous);
  if (destroy) {
    delete child;
    return nullptr;
  }
  return child;
}

ut_attribute_tree* ut_attribute_tree::remove_child_tree(const char* name, bool destroy) {
  ut_attribute_tree* child = find_child_tree(name);
  return child ? remove_child_tree(child, destroy) : nullptr;
}

ut_attribute_tree* ut_attribute_tree::add_copy_of_child_tree(const ut_attribute_tree* source,
                                                             bool deep, const char* name) {
  if (!source) return nullptr;
  // The copy is built detached and linked last, so copying a node into
  // itself or into one of its descendants does not see the copy.
  auto copy = std::make_unique<ut_attribute_tree>(name ? name : source->name_.c_str());
  copy->attributes_ = source->attributes_;
  if (deep) {
    for (const ut_attribute_tree* c = source->first_child_; c; c = c->next_sibling_)
      copy->add_copy_of_child_tree(c, true, nullptr);
  }
  ut_attribute_tree* result = copy.release();
  link_child(result);
  return result;
}

int ut_attribute_tree::count_child_trees(bool skip_hidden) const {
  if (!skip_hidden) return child_count_;
  int n = 0;
  for (ut_attribute_tree* c = first_child_; c; c = c->next_sibling_) n += !c->is_hidden();
  return n;
}

ut_attribute_tree* ut_attribute_tree::get_first_child(bool skip_hidden) const {
  ut_attribute_tree* c = first_child_;
  while (c && skip_hidden && c->is_hidden()) c = c->next_sibling_;
  return c;
}

ut_attribute_tree* ut_attribute_tree::get_next_child(bool skip_hidden) const {
  ut_attribute_tree* c = next_sibling_;
  while (c && skip_hidden && c->is_hidden()) c = c->next_sibling_;
  return c;
}

void ut_attribute_tree::relink_children(const std::vector<ut_attribute_tree*>& order) {
  first_child_ = last_child_ = nullptr;
  for (ut_attribute_tree* c : order) {
    c->next_sibling_ = nullptr;
    if (last_child_)
      last_child_->next_sibling_ = c;
    else
      first_child_ = c;
    last_child_ = c;
  }
  child_index_.reset();
}

void ut_attribute_tree::sort_children_by_name() {
  sort_children_by_str_attribute(nullptr, nullptr);
}

void ut_attribute_tree::sort_children_by_str_attribute(const char* key1, const char* key2) {
  if (child_count_ < 2) return;
  auto value = [](const ut_attribute_tree* node, const char* key) -> const char* {
    ut_attribute_tree_attribute* a = node->find_attribute(key);
    return a ? a->str() : nullptr;
  };
  std::vector<sort_entry> entries;
  entries.reserve(static_cast<size_t>(child_count_));
  for (ut_attribute_tree* c = first_child_; c; c = c->next_sibling_) {
    sort_entry e{{nullptr, nullptr, nullptr}, c};
    if (key1 && key2) {
      e.keys[0] = value(c, key1);
      e.keys[1] = value(c, key2);
      e.keys[2] = c->name_.c_str();
    } else if (key1) {
      e.keys[0] = value(c, key1);
      e.keys[1] = c->name_.c_str();
    } else {
      e.keys[0] = c->name_.c_str();
    }
    entries.push_back(e);
  }
  std::sort(entries.begin(), entries.end(), sort_before);
  std::vector<ut_attribute_tree*> order;
  order.reserve(entries.size());
  for (const sort_entry& e : entries) order.push_back(e.node);
  relink_children(order);
}

void ut_attribute_tree::move_child_to_front(const char* name) {
  if (!name) return;
  std::vector<ut_attribute_tree*> moved, rest;
  for (ut_attribute_tree* c = first_child_; c; c = c->next_sibling_)
    (c->name_ == name ? moved : rest).push_back(c);
  if (moved.empty()) return;
  // Each one moved to the head in turn: the last one found ends up first.
  std::reverse(moved.begin(), moved.end());
  moved.insert(moved.end(), rest.begin(), rest.end());
  relink_children(moved);
}

const ut_attribute_tree* ut_attribute_tree::top_root() const {
  const ut_attribute_tree* node = this;
  while (node->parent_) node = node->parent_;
  return node;
}

ut_string ut_attribute_tree::get_path_name(bool with_file) const {
  std::vector<const ut_attribute_tree*> chain;
  for (const ut_attribute_tree* n = this; n; n = n->parent_) chain.push_back(n);
  std::string path;
  if (with_file) {
    if (const char* file = chain.back()->single_opened_file()) {
      path = file;
      path += ':';
    }
  }
  for (size_t i = chain.size(); i-- > 0;) {
    const ut_attribute_tree* n = chain[i];
    path += n->name_;
    if (i > 0 && !(n->flags_ & kFlagDatabaseRoot)) path += '.';
  }
  return ut_string(std::move(path));
}
