// Integer expressions of preprocessor conditions: 32-bit unsigned values,
// numbers in strtoul base-0 form, macro names and function calls resolved by
// a client, and the operators , || && | ^ & == != < > <= >= << >> + - with
// prefix ! + -. Operators of equal precedence group from the right.
#pragma once

#include <cstdint>
#include <string_view>

class ut_simple_integer_evaluator_client_interface {
 public:
  virtual ~ut_simple_integer_evaluator_client_interface() = default;
  // The value of a name that is not followed by "(".
  virtual uint32_t val_from_name(const char* name, bool quiet) = 0;
  // The value of a function call; `args` holds `count` identifiers (as
  // their names) and decoded string constants.
  virtual uint32_t val_from_fcn(const char* name, int count, const char* const* args,
                                bool quiet) = 0;
};

class simple_integer_evaluator {
 public:
  static constexpr int kMaxArguments = 12;
  // Deepest nesting of parentheses in one expression.
  static constexpr int kMaxParentheses = 200;
  // Most primaries one top-level evaluation may visit, counting the
  // expressions that macro values expand to.
  static constexpr long kMaxSteps = 100000;

  explicit simple_integer_evaluator(ut_simple_integer_evaluator_client_interface* client)
      : client_(client) {}

  // The value of `text`; 0 after a syntax error, which is reported with
  // gen_error unless `quiet`. May be called again from inside the client's
  // callbacks (a macro value that is itself an expression).
  uint32_t evaluate(std::string_view text, bool quiet);
  // Whether the last completed evaluate() met an error.
  bool get_last_had_error() const { return last_error_; }

 private:
  friend class expression_parser;

  ut_simple_integer_evaluator_client_interface* client_;
  int active_ = 0;          // evaluate() calls in progress
  long steps_ = 0;          // primaries visited by the outermost call
  bool exhausted_ = false;  // the step budget of the outermost call ran out
  bool last_error_ = false;
};
