#include "shared/libcxxutil/ut_file_parser.h"

#include <algorithm>
#include <cstring>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/string_parser.h"
#include "shared/libcxxutil/ut_client_interface.h"

namespace {

constexpr size_t kReadChunk = 64 * 1024;
// Charged for each expansion besides its bytes, so that chains of empty
// values are bounded too.
constexpr size_t kExpansionOverhead = 16;

bool is_word_start(int c) {
  return gen_isalnum(c) || c == '_';
}
bool is_word_char(int c) {
  return gen_isalnum(c) || c == '_' || c == '/';
}

// Operators of two characters; every other operator is one character.
bool is_two_char_operator(char a, char b) {
  static const char* const kPairs[] = {
      "%=", "*=", "/=", "^=", "&&", "&=", "++", "+=", "--", "-=", "||", "|="};
  for (const char* p : kPairs) {
    if (p[0] == a && p[1] == b) return true;
  }
  return false;
}

std::string directory_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string join_path(const std::string& dir, const std::string& name) {
  if (name[0] == '/' || name[0] == '~') return name;
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

}  // namespace

struct ut_file_parser::input_file {
  std::string path;  // as given
  std::string dir;
  FILE* stream = nullptr;
  int line_start = 0;  // first physical line of the current logical line
  int next_line = 1;   // number of the next physical line
  std::vector<char> buffer;
  size_t pos = 0;
  size_t len = 0;
  bool eof = false;

  ~input_file() {
    if (stream) fclose(stream);
  }
  bool fill() {
    if (eof) return false;
    if (buffer.empty()) buffer.resize(kReadChunk);
    len = fread(buffer.data(), 1, buffer.size(), stream);
    pos = 0;
    if (len == 0) eof = true;
    return len > 0;
  }
};

struct ut_file_parser::source {
  bool is_line = false;
  std::string value;  // a macro's value
  std::string macro;  // the macro being expanded
  size_t pos = 0;
  std::string_view text(const std::string& line) const { return is_line ? line : value; }
};

ut_file_parser::ut_file_parser(std::unique_ptr<ut_simple_preprocessor_interface> preprocessor,
                               char directive, ut_client_interface* client)
    : preprocessor_(std::move(preprocessor)), directive_(directive), client_(client) {}

ut_file_parser::~ut_file_parser() = default;

// ---- Files and lines ----------------------------------------------------------------

bool ut_file_parser::open_file(const char* path) {
  return path && *path && push_file(path);
}

bool ut_file_parser::push_file(const std::string& path) {
  FILE* stream = fopen(path.c_str(), "r");
  if (!stream) return false;
  auto f = std::make_unique<input_file>();
  f->path = path;
  f->dir = directory_of(path);
  f->stream = stream;
  preprocessor_->add_define("__DIR__", f->dir.c_str());
  opened_.add(path.c_str());
  files_.push_back(std::move(f));
  return true;
}

void ut_file_parser::close_top_file() {
  files_.pop_back();
  if (!files_.empty()) preprocessor_->add_define("__DIR__", files_.back()->dir.c_str());
}

void ut_file_parser::end_input() {
  while (!files_.empty()) files_.pop_back();
  sources_.clear();
}

std::string ut_file_parser::get_position() const {
  if (files_.empty()) return "";
  const input_file& f = *files_.back();
  return "\"" + f.path + "\", line " + std::to_string(f.line_start);
}

// Appends one physical line to `out`. A line ends at LF, or at CR together
// with the one character after it. False at the end of the file.
bool ut_file_parser::read_physical_line(input_file& f, std::string* out) {
  bool any = false;
  for (;;) {
    if (f.pos >= f.len && !f.fill()) return any;
    const char* begin = f.buffer.data() + f.pos;
    const char* end = f.buffer.data() + f.len;
    const char* p = begin;
    while (p < end && *p != '\n' && *p != '\r') ++p;
    out->append(begin, p);
    f.pos += static_cast<size_t>(p - begin);
    any = true;
    if (p == end) continue;
    char c = *p;
    ++f.pos;
    if (c == '\r' && (f.pos < f.len || f.fill())) ++f.pos;
    return true;
  }
}

bool ut_file_parser::read_logical_line(input_file& f) {
  line_.clear();
  f.line_start = f.next_line;
  if (!read_physical_line(f, &line_)) return false;
  ++f.next_line;
  // A backslash before the line end joins the next physical line.
  while (!line_.empty() && line_.back() == '\\') {
    line_.pop_back();
    if (!read_physical_line(f, &line_)) break;
    ++f.next_line;
  }
  return true;
}

bool ut_file_parser::next_line() {
  sources_.clear();
  for (;;) {
    if (files_.empty()) return false;
    if (!read_logical_line(*files_.back())) {
      close_top_file();
      continue;
    }
    if (!line_.empty() && line_[0] == directive_) {
      // Directives are seen inside excluded regions too, so that nesting
      // is followed there.
      preprocessor_->process_line(line_);
      if (preprocessor_->is_in_false()) continue;
      if (preprocessor_->get_last_directive_was_include() &&
          !include_file(preprocessor_->get_last_include_file_name())) {
        end_input();
        return false;
      }
      continue;
    }
    if (preprocessor_->is_in_false()) continue;
    auto s = std::make_unique<source>();
    s->is_line = true;
    sources_.push_back(std::move(s));
    ++line_sequence_;
    expansion_bytes_ = 0;
    runaway_ = false;
    return true;
  }
}

// False when the include cannot be followed; the input then ends.
bool ut_file_parser::include_file(const std::string& name) {
  const input_file& from = *files_.back();
  std::string path = join_path(from.dir, name);
  if (client_ && !client_->preprocess_file(path.c_str(), static_cast<int>(files_.size())))
    return true;
  if (static_cast<int>(files_.size()) >= kMaxOpenFiles) {
    gen_error("includes nested deeper than %d files: \"%s\" referenced at \"%s\":%d", kMaxOpenFiles,
              path.c_str(), from.path.c_str(), from.line_start);
    include_failed_ = true;
    return false;
  }
  if (!push_file(path)) {
    gen_error("could not open \"%s\" which was referenced at \"%s\":%d", path.c_str(),
              from.path.c_str(), from.line_start);
    include_failed_ = true;
    return false;
  }
  return true;
}

// ---- Macro expansion ----------------------------------------------------------------

bool ut_file_parser::being_expanded(std::string_view name) const {
  for (const auto& s : sources_) {
    if (!s->is_line && s->macro == name) return true;
  }
  return std::find(quote_expanding_.begin(), quote_expanding_.end(), name) !=
         quote_expanding_.end();
}

void ut_file_parser::report_recursion(std::string_view name) const {
  std::string message = "macro recursion detected for: \"" + std::string(name) + "\"";
  gen_error("%s: error: %s", get_position().c_str(), message.c_str());
}

// Counts `bytes` against the line's expansion budget; false once it is
// exhausted.
bool ut_file_parser::charge_expansion(size_t bytes) {
  expansion_bytes_ += bytes + kExpansionOverhead;
  if (expansion_bytes_ > kMaxExpansionPerLine) runaway_ = true;
  return !runaway_;
}

ut_token ut_file_parser::runaway_error() {
  error_ = "macro expansion of one line exceeds " + std::to_string(kMaxExpansionPerLine) +
           " bytes or " + std::to_string(kMaxMacroNesting) + " levels";
  return make(ut_token::error, error_, error_);
}

ut_file_parser::expansion ut_file_parser::push_macro(std::string_view name) {
  if (being_expanded(name)) {
    report_recursion(name);
    return expansion::failed;
  }
  std::string key(name);
  const char* value = preprocessor_->get_define_value(key.c_str(), true);
  if (!value) return expansion::failed;
  if (static_cast<int>(sources_.size()) > kMaxMacroNesting) runaway_ = true;
  if (!charge_expansion(std::strlen(value))) return expansion::runaway;
  auto s = std::make_unique<source>();
  s->value = value;
  s->macro = std::move(key);
  sources_.push_back(std::move(s));
  return expansion::pushed;
}

// Appends the value of macro `name` to the raw quoted text, escaped so that
// decoding gives the value back; identifiers in the value that name
// defined macros are expanded in turn. False when nothing was expanded.
bool ut_file_parser::expand_into_raw(std::string_view name, bool report) {
  if (runaway_) return false;
  if (being_expanded(name)) {
    report_recursion(name);
    return false;
  }
  std::string key(name);
  const char* found = preprocessor_->get_define_value(key.c_str(), report);
  if (!found) return false;
  if (static_cast<int>(quote_expanding_.size() + sources_.size()) > kMaxMacroNesting)
    runaway_ = true;
  std::string value(found);
  if (!charge_expansion(value.size())) return true;
  quote_expanding_.push_back(std::move(key));
  string_parser p(value);
  while (!p.at_end() && !runaway_) {
    unsigned char c = static_cast<unsigned char>(p.peek());
    if (string_parser::is_identifier_start(c)) {
      std::string_view id = p.scan_identifier();
      if (!expand_into_raw(id, false)) raw_.append(id);
    } else if (gen_isdigit(c)) {
      size_t start = p.position();
      while (!p.at_end() && string_parser::is_identifier_char(static_cast<unsigned char>(p.peek())))
        p.advance();
      raw_.append(value, start, p.position() - start);
    } else {
      string_parser::append_escaped(&raw_, std::string_view(&value[p.position()], 1));
      p.advance();
    }
  }
  quote_expanding_.pop_back();
  return true;
}

// ---- Tokens ---------------------------------------------------------------------------

ut_token ut_file_parser::make(ut_token::kind_type kind, std::string_view text,
                              std::string_view raw) const {
  ut_token t;
  t.kind = kind;
  t.text = text;
  t.raw = raw;
  t.line = line_sequence_;
  return t;
}

ut_token ut_file_parser::scan_quoted(std::string_view text, size_t* pos) {
  size_t start = *pos;
  size_t i = start + 1;
  raw_.clear();
  while (i < text.size() && !runaway_) {
    char c = text[i];
    if (c == '"') {
      ++i;
      break;
    }
    if (c == '\\') {
      // The escaped character stays in the token, undecoded for now.
      raw_.append(text.substr(i, 2));
      i += 2;
      continue;
    }
    if (c == '$' && i + 1 < text.size() && text[i + 1] == '{') {
      size_t close = text.find_first_of("}\"", i + 2);
      if (close != std::string_view::npos && text[close] == '}') {
        std::string_view name = text.substr(i + 2, close - i - 2);
        // An undefined braced reference leaves only the name.
        if (!expand_into_raw(name, true)) raw_.append(name);
        i = close + 1;
        continue;
      }
    } else if (c == '$' && i + 1 < text.size() &&
               string_parser::is_identifier_start(static_cast<unsigned char>(text[i + 1]))) {
      string_parser p(text);
      p.set_position(i + 1);
      std::string_view name = p.scan_identifier();
      // An undefined bare reference stays as written.
      if (!expand_into_raw(name, false)) raw_.append(text.substr(i, name.size() + 1));
      i = p.position();
      continue;
    }
    raw_ += c;
    ++i;
  }
  if (i > text.size()) i = text.size();
  *pos = i;
  if (runaway_) return runaway_error();
  token_.clear();
  string_parser::decode_escapes(raw_, &token_);
  // The value is a C string: a decoded NUL ends it.
  token_.resize(std::strlen(token_.c_str()));
  return make(ut_token::quoted, token_, text.substr(start, i - start));
}

ut_token ut_file_parser::eat_next(bool line_only) {
  if (has_put_back_) {
    has_put_back_ = false;
    return put_back_;
  }
  retired_.clear();
  for (;;) {
    if (sources_.empty()) {
      if (line_only) return make(ut_token::end_of_line, {}, {});
      if (!next_line()) return make(ut_token::end_of_input, {}, {});
      continue;
    }
    source& s = *sources_.back();
    std::string_view text = s.text(line_);
    size_t& pos = s.pos;
    while (pos < text.size() && gen_isblank(static_cast<unsigned char>(text[pos]))) ++pos;
    if (pos < text.size() && text[pos] == '#') pos = text.size();  // a comment
    if (pos >= text.size()) {
      if (!s.is_line) {
        retired_.push_back(std::move(sources_.back()));
        sources_.pop_back();
        continue;
      }
      if (line_only) return make(ut_token::end_of_line, {}, {});
      if (!next_line()) return make(ut_token::end_of_input, {}, {});
      continue;
    }
    size_t start = pos;
    char c = text[pos];
    if (c == '"') return scan_quoted(text, &pos);
    if (c == '$' && pos + 1 < text.size() && text[pos + 1] == '{') {
      size_t close = text.find('}', pos + 2);
      if (close == std::string_view::npos) {
        ++pos;
        return make(ut_token::op, text.substr(start, 1), text.substr(start, 1));
      }
      std::string_view name = text.substr(pos + 2, close - pos - 2);
      pos = close + 1;
      switch (push_macro(name)) {
        case expansion::pushed:
          continue;
        case expansion::runaway:
          return runaway_error();
        case expansion::failed:
          return make(ut_token::word, name, text.substr(start, pos - start));
      }
    }
    if (is_word_start(static_cast<unsigned char>(c))) {
      ++pos;
      while (pos < text.size() && is_word_char(static_cast<unsigned char>(text[pos]))) ++pos;
      std::string_view word = text.substr(start, pos - start);
      return make(ut_token::word, word, word);
    }
    size_t n = pos + 1 < text.size() && is_two_char_operator(c, text[pos + 1]) ? 2 : 1;
    pos += n;
    std::string_view op = text.substr(start, n);
    return make(ut_token::op, op, op);
  }
}
