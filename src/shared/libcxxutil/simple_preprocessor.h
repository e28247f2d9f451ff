// The "%" line preprocessor of attribute-tree files: include, conditional
// regions (if, ifdef, elif/elsif/elseif, else, endif), define and undef, and
// the message directives info, echo, warning and error. Conditions are
// integer expressions whose names and functions it resolves for its
// evaluator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/libcxxutil/simple_integer_evaluator.h"
#include "shared/libcxxutil/ut_macro_map.h"
#include "shared/libcxxutil/ut_simple_preprocessor_interface.h"

class simple_preprocessor : public ut_simple_preprocessor_interface,
                            private ut_simple_integer_evaluator_client_interface {
 public:
  // Deepest chain of macro values evaluated as expressions inside one
  // another.
  static constexpr int kMaxValueNesting = 64;

  simple_preprocessor(char directive, const ut_macro_map* macros, ut_client_interface* client);

  void process_line(std::string_view line) override;
  bool is_in_false() const override { return !scopes_.empty() && !scopes_.back().active; }
  bool get_last_directive_was_include() const override { return last_was_include_; }
  const char* get_last_include_file_name() const override { return last_include_.c_str(); }
  void add_define(const char* name, const char* value) override;
  // Both return void through the interface; a text without a name is
  // ignored there and reported by process_line.
  void process_define(std::string_view text) override { define_from(text); }
  void process_undef(std::string_view text) override { undef_from(text); }
  const char* get_define_value(const char* name, bool report) override;
  const char* get_define_value(const ut_string& name, bool report) override {
    return get_define_value(name.c_str(), report);
  }

  // The value of a condition, as an "if" directive computes it.
  uint32_t evaluate(std::string_view expression, bool quiet) {
    return evaluator_.evaluate(expression, quiet);
  }
  // `text` with "${__ORVEX_DIR__}" and "${_ORVEX_DIR}" replaced by the value
  // of _ORVEX_DIR (the program directory when undefined), "${__DIR__}" by
  // the value of __DIR__ (the working directory when undefined) and then
  // every bare "_ORVEX_DIR" by the value of _ORVEX_DIR. Texts without
  // "_DIR" are returned as they are.
  std::string substitute_dir(std::string_view text);

 private:
  // One conditional region.
  struct ifendif_scope {
    bool condition;  // of the current branch
    bool active;     // condition holds and the enclosing scope is active
    bool taken;      // some branch has been true
    bool else_seen;
  };

  uint32_t val_from_name(const char* name, bool quiet) override;
  uint32_t val_from_fcn(const char* name, int count, const char* const* args, bool quiet) override;

  bool enclosing_active() const { return scopes_.size() < 2 || scopes_[scopes_.size() - 2].active; }
  void open_scope(bool condition);
  bool define_from(std::string_view text);
  bool undef_from(std::string_view text);
  bool include_from(std::string_view argument);
  // False, with a report unless quiet, when a one-argument function got
  // another number of arguments.
  static bool check_one_argument(const char* name, int count, bool quiet);
  uint32_t streq(int count, const char* const* args, bool quiet);
  std::string orvex_dir();
  std::string current_dir();

  char directive_;
  ut_macro_map defines_;  // made by define directives, and __DIR__
  const ut_macro_map* macros_;
  ut_client_interface* client_;
  std::string last_include_;
  bool last_was_include_ = false;
  std::vector<ifendif_scope> scopes_;
  simple_integer_evaluator evaluator_;
  std::vector<std::string> evaluating_;  // macros whose values are being evaluated
};
