// The line preprocessor of attribute-tree files, as the file reader sees it:
// it is handed every directive line, tells whether the current line is in an
// excluded region and what the last include directive named, and resolves
// macro names.
#pragma once

#include <memory>
#include <string_view>

#include "shared/libcxxutil/ut_string.h"

class ut_client_interface;
class ut_macro_map;

class ut_simple_preprocessor_interface {
 public:
  // Observer of every "streq" call: the argument count and the arguments
  // with macro names replaced by their values.
  using streq_interceptor_fn = void (*)(void* context, int count, const char* const* args);

  virtual ~ut_simple_preprocessor_interface() = default;

  // Handles one line that starts with the directive character.
  virtual void process_line(std::string_view line) = 0;
  // True while the current line is in an excluded region.
  virtual bool is_in_false() const = 0;
  virtual bool get_last_directive_was_include() const = 0;
  // The file named by the last include directive, after the _DIR
  // substitution.
  virtual const char* get_last_include_file_name() const = 0;
  // Defines `name` among the directives' own definitions.
  virtual void add_define(const char* name, const char* value) = 0;
  // The argument of a define directive: a name, blanks and the value.
  virtual void process_define(std::string_view text) = 0;
  // The argument of an undef directive.
  virtual void process_undef(std::string_view text) = 0;
  // The value of a macro from the directives' own definitions, the macro
  // table and the client, in that order; null when it is found nowhere
  // (reported when `report`). The text stays valid until the next define,
  // undef or client call.
  virtual const char* get_define_value(const char* name, bool report) = 0;
  virtual const char* get_define_value(const ut_string& name, bool report) = 0;

  // A simple_preprocessor for `directive` lines over the read-only macro
  // table and the optional client.
  static std::unique_ptr<ut_simple_preprocessor_interface> construct(char directive,
                                                                     const ut_macro_map* macros,
                                                                     ut_client_interface* client);
  // Installs a process-wide observer of "streq"; a null function removes it.
  static void set_streq_interceptor(void* context, streq_interceptor_fn function);
};
