#include "shared/libcxxutil/simple_integer_evaluator.h"

#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/string_parser.h"

namespace {

enum class binop {
  none,
  comma,
  lor,
  land,
  bor,
  bxor,
  band,
  eq,
  ne,
  lt,
  gt,
  le,
  ge,
  shl,
  shr,
  add,
  sub
};

int precedence(binop op) {
  switch (op) {
    case binop::comma:
      return 1;
    case binop::lor:
      return 2;
    case binop::land:
      return 3;
    case binop::bor:
      return 4;
    case binop::bxor:
      return 5;
    case binop::band:
      return 6;
    case binop::eq:
    case binop::ne:
      return 7;
    case binop::lt:
    case binop::gt:
    case binop::le:
    case binop::ge:
      return 8;
    case binop::shl:
    case binop::shr:
      return 9;
    case binop::add:
    case binop::sub:
      return 10;
    case binop::none:
      break;
  }
  return 0;
}

// The binary operator at the start of `s` and its length.
binop binary_operator(std::string_view s, size_t* length) {
  char c = s.empty() ? '\0' : s[0];
  char d = s.size() > 1 ? s[1] : '\0';
  *length = 2;
  switch (c) {
    case ',':
      *length = 1;
      return binop::comma;
    case '|':
      if (d == '|') return binop::lor;
      *length = 1;
      return binop::bor;
    case '&':
      if (d == '&') return binop::land;
      *length = 1;
      return binop::band;
    case '^':
      *length = 1;
      return binop::bxor;
    case '=':
      return d == '=' ? binop::eq : binop::none;
    case '!':
      return d == '=' ? binop::ne : binop::none;
    case '<':
      if (d == '=') return binop::le;
      if (d == '<') return binop::shl;
      *length = 1;
      return binop::lt;
    case '>':
      if (d == '=') return binop::ge;
      if (d == '>') return binop::shr;
      *length = 1;
      return binop::gt;
    case '+':
      *length = 1;
      return binop::add;
    case '-':
      *length = 1;
      return binop::sub;
    default:
      return binop::none;
  }
}

uint32_t apply(binop op, uint32_t a, uint32_t b) {
  switch (op) {
    case binop::comma:
      return b;
    case binop::lor:
      return (a || b) ? 1 : 0;
    case binop::land:
      return (a && b) ? 1 : 0;
    case binop::bor:
      return a | b;
    case binop::bxor:
      return a ^ b;
    case binop::band:
      return a & b;
    case binop::eq:
      return a == b;
    case binop::ne:
      return a != b;
    case binop::lt:
      return a < b;
    case binop::gt:
      return a > b;
    case binop::le:
      return a <= b;
    case binop::ge:
      return a >= b;
    case binop::shl:
      return a << (b & 31);
    case binop::shr:
      return a >> (b & 31);
    case binop::add:
      return a + b;
    case binop::sub:
      return a - b;
    case binop::none:
      break;
  }
  return 0;
}

}  // namespace

// One pass of precedence climbing over one text. Binary operator chains are
// reduced with explicit stacks, so only parentheses nest on the C++ stack.
class expression_parser {
 public:
  expression_parser(simple_integer_evaluator& owner, std::string_view text, bool quiet)
      : owner_(owner), p_(text), quiet_(quiet) {}

  bool parse_top(uint32_t* out) {
    uint32_t value = 0;
    if (!parse_expression(&value)) return false;
    p_.skip_blanks();
    if (!p_.at_end()) return fail_near(p_.position());
    *out = value;
    return true;
  }

 private:
  bool parse_expression(uint32_t* out) {
    std::vector<uint32_t> values;
    std::vector<binop> ops;
    uint32_t value = 0;
    if (!parse_unary(&value)) return false;
    values.push_back(value);
    for (;;) {
      p_.skip_blanks();
      size_t length = 0;
      binop op = binary_operator(p_.rest(), &length);
      if (op == binop::none) break;
      p_.advance(length);
      // Equal precedence is not reduced: it groups from the right.
      while (!ops.empty() && precedence(ops.back()) > precedence(op)) reduce(&values, &ops);
      ops.push_back(op);
      if (!parse_unary(&value)) return false;
      values.push_back(value);
    }
    while (!ops.empty()) reduce(&values, &ops);
    *out = values.front();
    return true;
  }

  static void reduce(std::vector<uint32_t>* values, std::vector<binop>* ops) {
    uint32_t right = values->back();
    values->pop_back();
    values->back() = apply(ops->back(), values->back(), right);
    ops->pop_back();
  }

  // Prefix operators bind to the primary that follows them: no binary
  // operator has the precedence of their operands (11 and 12).
  bool parse_unary(uint32_t* out) {
    std::string prefixes;
    for (;;) {
      p_.skip_blanks();
      char c = p_.peek();
      if (c != '!' && c != '-' && c != '+') break;
      prefixes += c;
      p_.advance();
    }
    uint32_t value = 0;
    if (!parse_primary(&value)) return false;
    for (size_t i = prefixes.size(); i-- > 0;) {
      if (prefixes[i] == '!')
        value = !value;
      else if (prefixes[i] == '-')
        value = 0u - value;
    }
    *out = value;
    return true;
  }

  bool parse_primary(uint32_t* out) {
    if (++owner_.steps_ > simple_integer_evaluator::kMaxSteps) {
      if (!owner_.exhausted_ && !quiet_) gen_error("parse error: expression too complex");
      owner_.exhausted_ = true;
    }
    if (owner_.exhausted_) return false;
    p_.skip_blanks();
    size_t start = p_.position();
    char c = p_.peek();
    if (p_.at_end()) return fail_near(start);
    if (gen_isdigit(static_cast<unsigned char>(c))) {
      size_t used = 0;
      *out = string_parser::to_uint32(p_.rest(), &used);
      p_.advance(used);
      return true;
    }
    if (c == '(') {
      if (depth_ >= simple_integer_evaluator::kMaxParentheses) {
        if (!quiet_) gen_error("parse error: expression nested too deeply");
        return false;
      }
      p_.advance();
      ++depth_;
      bool ok = parse_expression(out);
      --depth_;
      if (!ok) return false;
      p_.skip_blanks();
      if (p_.peek() != ')') return fail_near(p_.at_end() ? start : p_.position());
      p_.advance();
      return true;
    }
    if (string_parser::is_identifier_start(static_cast<unsigned char>(c))) {
      std::string name(p_.scan_identifier());
      size_t after_name = p_.position();
      p_.skip_blanks();
      if (p_.peek() == '(') return parse_call(name, start, out);
      p_.set_position(after_name);
      *out = quiet_ ? 0 : owner_.client_->val_from_name(name.c_str(), quiet_);
      return true;
    }
    return fail_near(start);
  }

  bool parse_call(const std::string& name, size_t start, uint32_t* out) {
    p_.advance();  // the "("
    std::vector<std::string> args;
    bool need_argument = false;
    for (;;) {
      p_.skip_blanks();
      if (p_.at_end()) return fail_near(start);
      char c = p_.peek();
      if (c == ')') {
        if (need_argument) return fail_near(p_.position());
        p_.advance();
        break;
      }
      if (c == ',') {
        if (args.empty() || need_argument) return fail_near(p_.position());
        need_argument = true;
        p_.advance();
        continue;
      }
      std::string arg;
      if (c == '"') {
        if (!scan_string_constant(&arg)) return false;
      } else if (string_parser::is_identifier_start(static_cast<unsigned char>(c))) {
        arg = p_.scan_identifier();
      } else {
        return fail_near(p_.position());
      }
      if (static_cast<int>(args.size()) == simple_integer_evaluator::kMaxArguments) {
        if (!quiet_) gen_error("parse error: too many arguments");
        return false;
      }
      args.push_back(std::move(arg));
      need_argument = false;
    }
    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& a : args) argv.push_back(a.c_str());
    *out = owner_.client_->val_from_fcn(name.c_str(), static_cast<int>(argv.size()), argv.data(),
                                        quiet_);
    return true;
  }

  // A double-quoted constant with escapes, decoded into `arg`.
  bool scan_string_constant(std::string* arg) {
    size_t start = p_.position();
    std::string_view text = p_.text();
    size_t i = start + 1;
    while (i < text.size() && text[i] != '"') i += text[i] == '\\' ? 2 : 1;
    if (i >= text.size()) return fail_near(start);
    string_parser::decode_escapes(text.substr(start + 1, i - start - 1), arg);
    p_.set_position(i + 1);
    return true;
  }

  bool fail_near(size_t at) {
    if (!quiet_) {
      std::string near(p_.text().substr(at));
      gen_error("parse error: near: \"%s\"", near.c_str());
    }
    return false;
  }

  simple_integer_evaluator& owner_;
  string_parser p_;
  bool quiet_;
  int depth_ = 0;
};

uint32_t simple_integer_evaluator::evaluate(std::string_view text, bool quiet) {
  if (active_ == 0) {
    steps_ = 0;
    exhausted_ = false;
  }
  ++active_;
  uint32_t value = 0;
  expression_parser parser(*this, text, quiet);
  bool ok = parser.parse_top(&value);
  --active_;
  last_error_ = !ok;
  return ok ? value : 0;
}
