#include "shared/libcxxutil/ut_options_database.h"

#include <cstring>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/ut_client_interface.h"
#include "shared/libcxxutil/ut_file_parser.h"

ut_options_database::ut_options_database(const char* title, ut_client_interface* client,
                                         bool owns_client)
    : ut_attribute_tree(nullptr),
      title_(title ? title : ""),
      client_(client),
      owns_client_(owns_client) {
  set_flags(kFlagDatabaseRoot);
  const char* program_dir = gen_progdir();
  macros_.insert("_ORVEX_DIR", program_dir);
  macros_.insert("__ORVEX_DIR__", program_dir);
  macros_.insert("__ORVEX_HOST__", "solaris2");
}

ut_options_database::~ut_options_database() {
  if (owns_client_) delete client_;
}

const char* ut_options_database::single_opened_file() const {
  return opened_files_.count() == 1 ? opened_files_.get(0).c_str() : nullptr;
}

bool ut_options_database::read_from_file_name_into_node(const char* path, ut_attribute_tree* node) {
  if (!node) node = this;
  if (path && client_ && !client_->preprocess_file(path, 0)) return true;
  ut_file_parser parser(ut_simple_preprocessor_interface::construct('%', &macros_, client_), '%',
                        client_);
  if (!parser.open_file(path)) {
    file_open_error_ = true;
    return false;
  }
  ut_file_parser* outer = current_parser_;
  current_parser_ = &parser;
  bool ok = parse_file(parser, node);
  current_parser_ = outer;
  if (parser.had_include_failure()) file_open_error_ = true;
  opened_files_.add_all(parser.get_opened_files());
  return ok;
}

void ut_options_database::add_macro(const char* name, const char* value) {
  if (name) macros_.insert(name, value);
}

void ut_options_database::add_macro(const char* definition) {
  if (!definition) return;
  const char* equals = std::strchr(definition, '=');
  if (equals) {
    macros_.insert(std::string_view(definition, static_cast<size_t>(equals - definition)),
                   equals + 1);
  } else {
    macros_.insert(definition, "");
  }
}

void ut_options_database::add_int32_macro(const char* name, int32_t n) {
  if (name) macros_.insert(name, std::to_string(n));
}

void ut_options_database::add_macros_from_tree(const ut_attribute_tree* node) {
  if (!node) return;
  for (ut_attribute_tree_attribute* a = node->get_first_attribute(); a;
       a = node->get_next_attribute(a))
    macros_.insert(a->key(), a->str());
}

void ut_options_database::add_macros_from_options_database(const ut_options_database* other) {
  if (!other || other == this) return;
  for (const auto& [name, value] : other->macros_) macros_.insert(name, value);
}
