// A loaded attribute-tree document: the root node of the tree, the macros
// shared by every read into it, the list of files its reads opened, and the
// reader and writer of the text format.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "shared/libcxxutil/ut_attribute_tree.h"
#include "shared/libcxxutil/ut_macro_map.h"
#include "shared/libcxxutil/ut_string_list.h"

class ut_client_interface;
class ut_file_parser;

class ut_options_database : public ut_attribute_tree {
 public:
  // Deepest nesting of nodes a read may create below its target node.
  static constexpr int kMaxReadDepth = 1000;

  // `title` names the kind of document. The client, when given, is
  // destroyed with the database when `owns_client`.
  explicit ut_options_database(const char* title, ut_client_interface* client = nullptr,
                               bool owns_client = false);
  ~ut_options_database() override;

  const char* get_title() const { return title_.c_str(); }
  // Flat dotted format on reading and writing; every value read is a str.
  void set_compatibility_mode(bool on) { compatibility_mode_ = on; }
  bool get_compatibility_mode() const { return compatibility_mode_; }
  // Numbers read may carry a K (x1024) or M (x1048576) suffix.
  void set_memory_size_shortcut_mode(bool on) { memory_size_shortcut_mode_ = on; }
  // Brace lists of numbers are read as int32_list attributes.
  void set_allow_int32_lists(bool on) { allow_int32_lists_ = on; }

  ut_attribute_tree* get_root_node() { return this; }
  // Reads a file into the root, or into `node` as the top scope. A read adds
  // to what earlier reads built; it stops at the first statement error,
  // keeping what it made before. True on success.
  bool read_from_file_name(const char* path) { return read_from_file_name_into_node(path, this); }
  bool read_from_file_name_into_node(const char* path, ut_attribute_tree* node);
  // True once any read failed to open a file or met a parse error.
  bool got_file_open_or_parse_error() const { return file_open_error_ || parse_error_; }
  const ut_string_list& get_opened_files_list() const { return opened_files_; }
  // The parser of the read in progress, else null.
  ut_file_parser* get_current_parser() const { return current_parser_; }

  // Writes the tree below the root; true when the stream shows no error.
  bool write_to_file(FILE* stream) const;
  // Writes to a new file; false when it cannot be opened (silently) or the
  // writing fails (reported).
  bool write_to_file_name(const char* path) const;
  // The text write_to_file would write.
  std::string write_to_string() const;

  void add_macro(const char* name, const char* value);
  // "name=value", split at the first "="; without "=" the name is defined
  // with no value.
  void add_macro(const char* definition);
  void add_int32_macro(const char* name, int32_t n);
  // Each attribute of `node` as a macro: its key and its str value (none
  // for other types).
  void add_macros_from_tree(const ut_attribute_tree* node);
  void add_macros_from_options_database(const ut_options_database* other);
  const ut_macro_map& get_macros() const { return macros_; }

 protected:
  const char* single_opened_file() const override;

 private:
  class statement_parser;

  // The statements of one read, with `node` as the first scope.
  bool parse_file(ut_file_parser& parser, ut_attribute_tree* node);

  std::string title_;
  ut_macro_map macros_;
  ut_file_parser* current_parser_ = nullptr;
  ut_string_list opened_files_;
  ut_client_interface* client_;
  bool owns_client_;
  bool file_open_error_ = false;
  bool parse_error_ = false;
  bool compatibility_mode_ = false;
  bool memory_size_shortcut_mode_ = false;
  bool allow_int32_lists_ = false;
};
