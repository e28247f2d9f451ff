// The statements of attribute-tree files: names with ".", "{", "}", "=" and
// "+=", and the values after "=" and "+=".
#include <string>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/string_parser.h"
#include "shared/libcxxutil/ut_file_parser.h"
#include "shared/libcxxutil/ut_options_database.h"

namespace {

char lower(char c) {
  return gen_isupper(static_cast<unsigned char>(c)) ? c - 'A' + 'a' : c;
}

bool starts_with_ignoring_case(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (lower(s[i]) != prefix[i]) return false;
  }
  return true;
}

// The boolean words: 0 or 1, or -1 when `word` is none of them.
int boolean_value(std::string_view word) {
  if (word.size() == 5 && starts_with_ignoring_case(word, "false")) return 0;
  if (starts_with_ignoring_case(word, "no")) return 0;
  if (starts_with_ignoring_case(word, "on")) return 1;
  if (starts_with_ignoring_case(word, "off")) return 0;
  if (starts_with_ignoring_case(word, "true")) return 1;
  if (starts_with_ignoring_case(word, "yes")) return 1;
  return -1;
}

// A token's characters as the statements see them: a quoted string with its
// quotes, any other token as its text (a failed ${NAME} is the name).
std::string_view as_written(const ut_token& t) {
  return t.kind == ut_token::quoted ? t.raw : t.text;
}

}  // namespace

class ut_options_database::statement_parser {
 public:
  statement_parser(ut_options_database& db, ut_file_parser& parser, ut_attribute_tree* target)
      : db_(db), p_(parser), target_(target), scope_(target), current_(target) {}

  bool run() {
    for (;;) {
      ut_token t = p_.eat_next(false);
      if (t.kind == ut_token::end_of_input) return finish(true);
      if (t.kind == ut_token::error) return fail(t.text);
      if (t.line != line_) {
        // Each line starts again at the brace scope.
        current_ = scope_;
        current_depth_ = scope_depth_;
        line_ = t.line;
      }
      if (t.is_op(";")) continue;
      ut_token op = t;
      name_.clear();
      if (t.is_name()) {
        // Names are C strings: a NUL (possible in a failed ${...}) ends one.
        name_.assign(t.text.substr(0, t.text.find('\0')));
        op = p_.eat_next(true);
        if (op.kind == ut_token::end_of_line) return fail("unexpected end of file");
        if (op.kind == ut_token::error) return fail(op.text);
      }
      bool ok;
      if (op.is_op(".")) {
        ok = descend(false);
      } else if (op.is_op("{")) {
        ok = descend(true);
      } else if (op.is_op("}")) {
        ok = close_scope();
      } else if (op.is_op("=")) {
        ok = assign(false);
      } else if (op.is_op("+=")) {
        ok = assign(true);
      } else {
        std::string first_two(as_written(op).substr(0, 2));
        ok = fail("unknown operator sequence \"" + first_two + "\" ");
      }
      if (!ok) return false;
    }
  }

 private:
  bool descend(bool open) {
    if (current_depth_ >= kMaxReadDepth)
      return fail("nodes nested deeper than " + std::to_string(kMaxReadDepth) + " levels");
    // "{" after no name always opens a new unnamed child.
    current_ = open && name_.empty() ? current_->add_child_tree(std::string_view())
                                     : current_->find_or_add_child_tree(name_);
    ++current_depth_;
    if (open) {
      current_->set_flags(kFlagOpenScope);
      scope_ = current_;
      scope_depth_ = current_depth_;
    }
    return true;
  }

  bool close_scope() {
    if (scope_ == target_) return fail("unmatched '}'");
    scope_->clear_flags(kFlagOpenScope);
    ut_attribute_tree* node = scope_->get_parent();
    int depth = scope_depth_ - 1;
    while (node && node != target_ && !(node->get_flags() & kFlagOpenScope)) {
      node = node->get_parent();
      --depth;
    }
    if (!node) {
      node = target_;
      depth = 0;
    }
    scope_ = current_ = node;
    scope_depth_ = current_depth_ = depth;
    return true;
  }

  bool assign(bool append) {
    if (name_.empty()) return fail("empty attribute name");
    ut_token v = p_.eat_next(false);
    if (v.kind == ut_token::end_of_input) return fail("empty attribute value");
    if (v.kind == ut_token::error) return fail(v.text);
    const char* key = name_.c_str();
    if (v.kind == ut_token::quoted) {
      std::string text(v.text);
      if (append)
        current_->append_str_attribute(key, text.c_str());
      else
        current_->add_or_replace_str_attribute(key, text.c_str());
      return true;
    }
    if (db_.compatibility_mode_) {
      std::string text(as_written(v));
      if (v.is_op("-")) {
        // A negative number as written by the writer: "-" and its digits.
        ut_token digits = p_.eat_next(true);
        if (digits.kind == ut_token::word)
          text.append(digits.text);
        else if (digits.kind != ut_token::end_of_line)
          p_.put_back(digits);
      }
      if (append)
        current_->append_str_attribute(key, text.c_str());
      else
        current_->add_or_replace_str_attribute(key, text.c_str());
      return true;
    }
    if (v.is_op("{")) return read_list(append);
    return read_number(v, append);
  }

  bool read_number(const ut_token& v, bool append) {
    int32_t value;
    int boolean = boolean_value(as_written(v));
    if (boolean >= 0) {
      value = boolean;
    } else {
      bool negate = v.is_op("-");
      std::string_view text = as_written(v);
      if (negate) {
        ut_token n = p_.eat_next(true);
        if (n.kind == ut_token::end_of_line) return fail("unexpected end of line");
        if (n.kind == ut_token::error) return fail(n.text);
        text = as_written(n);
      }
      size_t used = 0;
      uint32_t u = string_parser::to_uint32(text, &used);
      if (used == 0) return fail("");
      if (db_.memory_size_shortcut_mode_ && used < text.size()) {
        if (text[used] == 'K' || text[used] == 'k')
          u *= 1024u;
        else if (text[used] == 'M' || text[used] == 'm')
          u *= 1048576u;
      }
      value = static_cast<int32_t>(negate ? 0u - u : u);
    }
    if (!append) {
      current_->add_or_replace_int32_attribute(name_.c_str(), value);
      return true;
    }
    if (!db_.allow_int32_lists_) return fail("");
    current_->append_int32_list_attribute(name_.c_str(), value);
    return true;
  }

  // A list element of an int32 list: a number, possibly after "-".
  bool list_number(ut_token t, int32_t* value) {
    bool negate = t.is_op("-");
    if (negate) {
      t = p_.eat_next(true);
      if (t.kind == ut_token::end_of_line) return fail("unexpected end of line");
      if (t.kind == ut_token::error) return fail(t.text);
    }
    size_t used = 0;
    uint32_t u = string_parser::to_uint32(t.text, &used);
    if (t.kind != ut_token::word || used == 0) return fail("expected a number");
    *value = static_cast<int32_t>(negate ? 0u - u : u);
    return true;
  }

  // The elements after "{" up to "}", all on the current line.
  bool read_list(bool append) {
    ut_token t = p_.eat_next(true);
    if (t.kind == ut_token::end_of_line) return fail("unexpected end of line");
    if (t.kind == ut_token::error) return fail(t.text);
    bool numbers = db_.allow_int32_lists_ && t.kind != ut_token::quoted;
    ut_attribute_chain<ut_attribute_str_list> strings;
    ut_attribute_chain<ut_attribute_int32_list> ints;
    if (!t.is_op("}")) {
      for (;;) {
        if (numbers) {
          int32_t n = 0;
          if (!list_number(t, &n)) return false;
          ints.append(new ut_attribute_int32_list(n));
        } else {
          if (t.kind != ut_token::quoted) return fail("expected a quoted string");
          strings.append(new ut_attribute_str_list(t.text));
        }
        t = p_.eat_next(true);
        if (t.kind == ut_token::error) return fail(t.text);
        if (t.is_op("}")) break;
        if (!t.is_op(",")) return fail("expected '}'");
        t = p_.eat_next(true);
        if (t.kind == ut_token::end_of_line) return fail("unexpected end of line");
        if (t.kind == ut_token::error) return fail(t.text);
      }
    }
    const char* key = name_.c_str();
    if (numbers && append) {
      for (ut_attribute_int32_list* e = ints.head(); e; e = e->next)
        current_->append_int32_list_attribute(key, e->value);
    } else if (numbers) {
      current_->add_or_replace_int32_list_attribute(key, ints.release());
    } else if (append) {
      for (ut_attribute_str_list* e = strings.head(); e; e = e->next)
        current_->append_str_list_attribute(key, e->str.c_str());
    } else {
      current_->add_or_replace_str_list_attribute(key, strings.release());
    }
    return true;
  }

  bool fail(std::string_view message) {
    std::string text(message);
    gen_error("%s: parse error: %s", p_.get_position().c_str(), text.c_str());
    db_.parse_error_ = true;
    return finish(false);
  }

  // Scopes left open by the read are closed.
  bool finish(bool ok) {
    for (ut_attribute_tree* n = scope_; n && n != target_; n = n->get_parent())
      n->clear_flags(kFlagOpenScope);
    return ok;
  }

  ut_options_database& db_;
  ut_file_parser& p_;
  ut_attribute_tree* target_;
  ut_attribute_tree* scope_;
  ut_attribute_tree* current_;
  int scope_depth_ = 0;  // below the target
  int current_depth_ = 0;
  uint64_t line_ = 0;
  std::string name_;
};

bool ut_options_database::parse_file(ut_file_parser& parser, ut_attribute_tree* node) {
  return statement_parser(*this, parser, node).run();
}
