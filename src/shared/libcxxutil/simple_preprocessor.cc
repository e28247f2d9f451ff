#include "shared/libcxxutil/simple_preprocessor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/string_parser.h"
#include "shared/libcxxutil/ut_client_interface.h"

namespace {

void* streq_context = nullptr;
ut_simple_preprocessor_interface::streq_interceptor_fn streq_interceptor = nullptr;

std::string_view trim_trailing_blanks(std::string_view s) {
  while (!s.empty() && gen_isblank(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string_view skip_leading_blanks(std::string_view s) {
  while (!s.empty() && gen_isblank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  return s;
}

// Replaces every occurrence of each pattern, scanning on after each
// inserted value.
std::string replace_all(std::string_view text, std::initializer_list<std::string_view> patterns,
                        const std::string& value) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    bool replaced = false;
    for (std::string_view pattern : patterns) {
      if (text.substr(i).starts_with(pattern)) {
        out += value;
        i += pattern.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

bool is_readable_file(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

}  // namespace

std::unique_ptr<ut_simple_preprocessor_interface> ut_simple_preprocessor_interface::construct(
    char directive, const ut_macro_map* macros, ut_client_interface* client) {
  return std::make_unique<simple_preprocessor>(directive, macros, client);
}

void ut_simple_preprocessor_interface::set_streq_interceptor(void* context,
                                                             streq_interceptor_fn function) {
  streq_context = context;
  streq_interceptor = function;
}

simple_preprocessor::simple_preprocessor(char directive, const ut_macro_map* macros,
                                         ut_client_interface* client)
    : directive_(directive), macros_(macros), client_(client), evaluator_(this) {}

void simple_preprocessor::process_line(std::string_view line) {
  last_was_include_ = false;
  string_parser p(line);
  if (p.peek() != directive_) return;
  p.advance();
  p.skip_blanks();
  std::string_view name = p.scan_identifier();
  // The argument keeps its leading blanks; each directive skips them itself.
  std::string_view argument = trim_trailing_blanks(p.rest());
  bool excluded = is_in_false();

  if (name == "if") {
    open_scope(evaluator_.evaluate(argument, excluded) != 0);
  } else if (name == "ifdef") {
    std::string macro(argument);
    open_scope(get_define_value(macro.c_str(), false) != nullptr);
  } else if (name == "elif" || name == "elsif" || name == "elseif") {
    if (scopes_.empty()) {
      gen_error("unexpected directive: %.*s", static_cast<int>(name.size()), name.data());
      return;
    }
    bool outer = enclosing_active();
    ifendif_scope& scope = scopes_.back();
    bool quiet = scope.taken || !outer;
    uint32_t value = evaluator_.evaluate(argument, quiet);
    scope.condition = !scope.taken && value != 0;
    scope.active = scope.condition && outer;
    scope.taken = scope.taken || scope.condition;
  } else if (name == "else") {
    if (scopes_.empty() || scopes_.back().else_seen) {
      gen_error("unexpected directive: else");
      return;
    }
    bool outer = enclosing_active();
    ifendif_scope& scope = scopes_.back();
    scope.condition = !scope.taken;
    scope.active = scope.condition && outer;
    scope.taken = true;
    scope.else_seen = true;
  } else if (name == "endif") {
    if (scopes_.empty()) {
      gen_error("unexpected directive: endif");
      return;
    }
    scopes_.pop_back();
  } else if (excluded) {
    // Only the conditionals are followed inside an excluded region.
  } else if (name == "include") {
    if (!include_from(argument)) {
      std::string text(line);
      gen_error("illegal directive: \"%s\"", text.c_str());
    }
  } else if (name == "define") {
    if (!define_from(argument)) {
      std::string text(line);
      gen_error("illegal directive: \"%s\"", text.c_str());
    }
  } else if (name == "undef") {
    if (!undef_from(argument)) {
      std::string text(line);
      gen_error("illegal directive: \"%s\"", text.c_str());
    }
  } else if (name == "info" || name == "echo" || name == "warning" || name == "error") {
    std::string text(skip_leading_blanks(argument));
    if (name == "warning")
      gen_warning("%s", text.c_str());
    else if (name == "error")
      gen_error("%s", text.c_str());
    else
      gen_info("%s", text.c_str());
  } else {
    std::string text(line);
    gen_error("illegal directive: \"%s\"", text.c_str());
  }
}

void simple_preprocessor::open_scope(bool condition) {
  bool outer = !is_in_false();
  scopes_.push_back({condition, condition && outer, condition, false});
}

bool simple_preprocessor::include_from(std::string_view argument) {
  size_t open = argument.find('"');
  if (open == std::string_view::npos) return false;
  size_t close = argument.find('"', open + 1);
  if (close == std::string_view::npos || close == open + 1) return false;
  last_include_ = substitute_dir(argument.substr(open + 1, close - open - 1));
  last_was_include_ = true;
  return true;
}

bool simple_preprocessor::define_from(std::string_view text) {
  // A "#" outside double quotes starts a comment, which goes with the
  // blanks before it.
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (quoted && text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      quoted = !quoted;
    } else if (text[i] == '#' && !quoted) {
      text = text.substr(0, i);
      break;
    }
  }
  text = trim_trailing_blanks(text);
  string_parser p(text);
  p.skip_blanks();
  std::string_view name = p.scan_identifier();
  if (name.empty()) return false;
  p.skip_blanks();
  defines_.insert(name, p.rest());
  return true;
}

bool simple_preprocessor::undef_from(std::string_view text) {
  string_parser p(text);
  p.skip_blanks();
  std::string_view name = p.scan_identifier();
  if (name.empty()) return false;
  defines_.remove(name);
  return true;
}

void simple_preprocessor::add_define(const char* name, const char* value) {
  if (name) defines_.insert(name, value);
}

const char* simple_preprocessor::get_define_value(const char* name, bool report) {
  if (!name) return nullptr;
  if (const char* v = defines_.lookup(name)) return v;
  if (macros_) {
    if (const char* v = macros_->lookup(name)) return v;
  }
  if (client_) {
    if (const char* v = client_->lookup(name)) return v;
    if (client_->is_defined(name)) return "";
  }
  if (report) gen_error("macro not defined(%s) ...", name);
  return nullptr;
}

uint32_t simple_preprocessor::val_from_name(const char* name, bool quiet) {
  if (quiet) return 0;
  const char* found = get_define_value(name, true);
  if (!found || !*found) return 0;
  std::string value(found);
  size_t used = 0;
  uint32_t number = string_parser::to_uint32(value, &used);
  if (used == value.size()) return number;
  // Any other value is itself an expression.
  if (std::find(evaluating_.begin(), evaluating_.end(), name) != evaluating_.end()) {
    gen_error("macro recursion detected for: \"%s\"", name);
    return 0;
  }
  if (static_cast<int>(evaluating_.size()) >= kMaxValueNesting) {
    gen_error("macro values nested too deeply: \"%s\"", name);
    return 0;
  }
  evaluating_.emplace_back(name);
  uint32_t result = evaluator_.evaluate(value, quiet);
  evaluating_.pop_back();
  return result;
}

bool simple_preprocessor::check_one_argument(const char* name, int count, bool quiet) {
  if (count == 1) return true;
  if (!quiet) {
    if (count == 0)
      gen_error("too few arguments %s", name);
    else
      gen_error("too many arguments %s", name);
  }
  return false;
}

uint32_t simple_preprocessor::val_from_fcn(const char* name, int count, const char* const* args,
                                           bool quiet) {
  std::string_view fn(name);
  if (fn == "defined" || fn == "notempty") {
    if (!check_one_argument(name, count, quiet)) return 0;
    const char* value = get_define_value(args[0], false);
    if (fn == "defined") return value != nullptr;
    return value && *value;
  }
  if (fn == "fileexists" || fn == "file_exists") {
    if (!check_one_argument(name, count, quiet)) return 0;
    return is_readable_file(substitute_dir(args[0]));
  }
  if (fn == "env") {
    if (!check_one_argument(name, count, quiet)) return 0;
    const char* value = client_ ? client_->lookup(args[0]) : nullptr;
    if (!value || !*value) return 0;
    return string_parser::to_uint32(value, nullptr);
  }
  if (fn == "streq") {
    if (count < 2) {
      if (!quiet) gen_error("too few arguments %s", name);
      return 0;
    }
    return streq(count, args, quiet);
  }
  if (!quiet) gen_error("unknown function: %s", name);
  return 0;
}

uint32_t simple_preprocessor::streq(int count, const char* const* args, bool quiet) {
  // Every argument but the first stands for its macro's value when it
  // names a defined macro, else for its own text.
  std::vector<std::string> values;
  values.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const char* v = get_define_value(args[i], false);
    values.emplace_back(v ? v : args[i]);
  }
  if (streq_interceptor) {
    std::vector<const char*> replaced;
    for (const std::string& v : values) replaced.push_back(v.c_str());
    streq_interceptor(streq_context, count, replaced.data());
  }
  const char* first = get_define_value(args[0], !quiet);
  if (!first) return 0;
  std::string subject(first);
  for (int i = 1; i < count; ++i) {
    if (subject == values[static_cast<size_t>(i)]) return 1;
  }
  return 0;
}

std::string simple_preprocessor::orvex_dir() {
  const char* v = get_define_value("_ORVEX_DIR", false);
  return v ? v : gen_progdir();
}

std::string simple_preprocessor::current_dir() {
  if (const char* v = get_define_value("__DIR__", false)) return v;
  std::string dir(4096, '\0');
  if (!getcwd(dir.data(), dir.size())) return ".";
  dir.resize(std::char_traits<char>::length(dir.c_str()));
  return dir;
}

std::string simple_preprocessor::substitute_dir(std::string_view text) {
  if (text.find("_DIR") == std::string_view::npos) return std::string(text);
  std::string out = text.find("${") == std::string_view::npos
                        ? std::string(text)
                        : replace_all(text, {"${__ORVEX_DIR__}", "${_ORVEX_DIR}"}, orvex_dir());
  if (out.find("${__DIR__}") != std::string::npos)
    out = replace_all(out, {"${__DIR__}"}, current_dir());
  if (out.find("_ORVEX_DIR") != std::string::npos)
    out = replace_all(out, {"_ORVEX_DIR"}, orvex_dir());
  return out;
}
