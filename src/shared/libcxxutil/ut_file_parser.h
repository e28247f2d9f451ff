// The tokenizer of attribute-tree files. It reads logical lines (backslash
// continuation, LF or CR line ends) from a stack of open files, hands every
// directive line to the preprocessor, follows includes, skips excluded
// regions, and splits the remaining lines into tokens, expanding ${NAME}
// macro references and the references inside quoted strings.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shared/libcxxutil/ut_simple_preprocessor_interface.h"
#include "shared/libcxxutil/ut_string_list.h"

class ut_client_interface;

struct ut_token {
  enum kind_type : uint8_t {
    end_of_input,
    end_of_line,  // only when the search was restricted to the current line
    word,         // letters, digits, "_" and "/", or the name of a failed ${NAME}
    quoted,       // a double-quoted string; `text` is decoded
    op,           // an operator of one or two characters
    error,        // a runaway expansion; `text` is the message
  };
  kind_type kind = end_of_input;
  std::string_view text;
  std::string_view raw;  // as written
  uint64_t line = 0;     // sequence number of the logical line it came from

  bool is_op(std::string_view s) const { return kind == op && text == s; }
  bool is_name() const { return kind == word || kind == quoted; }
};

class ut_file_parser {
 public:
  // Files open at once, counting the first: deeper includes are refused.
  static constexpr int kMaxOpenFiles = 64;
  // Macro values being expanded inside one another.
  static constexpr int kMaxMacroNesting = 256;
  // Bytes that macro expansions may add to one logical line.
  static constexpr size_t kMaxExpansionPerLine = size_t{256} * 1024;

  ut_file_parser(std::unique_ptr<ut_simple_preprocessor_interface> preprocessor, char directive,
                 ut_client_interface* client);
  ~ut_file_parser();
  ut_file_parser(const ut_file_parser&) = delete;
  ut_file_parser& operator=(const ut_file_parser&) = delete;

  // Opens the first file; false when it cannot be opened.
  bool open_file(const char* path);
  // The next token. With `line_only` the search stops at the end of the
  // current line (end_of_line) instead of reading the next one. A token
  // stays valid until the next call.
  ut_token eat_next(bool line_only);
  // Makes `token`, a word, operator or quoted token just returned by
  // eat_next, the result of the next call.
  void put_back(const ut_token& token) {
    put_back_ = token;
    has_put_back_ = true;
  }
  // "\"file\", line N" for the line being read; empty when no file is open.
  std::string get_position() const;
  // Every file opened, included ones too, in opening order.
  const ut_string_list& get_opened_files() const { return opened_; }
  ut_simple_preprocessor_interface* get_preprocessor() const { return preprocessor_.get(); }
  // True once an include could not be opened (the input then ended).
  bool had_include_failure() const { return include_failed_; }

 private:
  struct input_file;
  struct source;
  enum class expansion { pushed, failed, runaway };

  bool push_file(const std::string& path);
  void close_top_file();
  void end_input();
  bool read_physical_line(input_file& f, std::string* out);
  bool read_logical_line(input_file& f);
  bool next_line();
  bool include_file(const std::string& name);

  bool being_expanded(std::string_view name) const;
  void report_recursion(std::string_view name) const;
  bool charge_expansion(size_t bytes);
  expansion push_macro(std::string_view name);
  ut_token scan_quoted(std::string_view text, size_t* pos);
  bool expand_into_raw(std::string_view name, bool report);
  ut_token make(ut_token::kind_type kind, std::string_view text, std::string_view raw) const;
  ut_token runaway_error();

  std::unique_ptr<ut_simple_preprocessor_interface> preprocessor_;
  char directive_;
  ut_client_interface* client_;
  std::vector<std::unique_ptr<input_file>> files_;
  std::vector<std::unique_ptr<source>> sources_;  // the line, then macro values
  std::vector<std::unique_ptr<source>> retired_;  // popped since the last token
  std::vector<std::string> quote_expanding_;      // macros expanding inside a quoted string
  ut_string_list opened_;
  std::string line_;
  std::string raw_;
  std::string token_;
  std::string error_;
  uint64_t line_sequence_ = 0;
  size_t expansion_bytes_ = 0;  // added to the current line by expansions
  bool runaway_ = false;
  ut_token put_back_;
  bool has_put_back_ = false;
  bool include_failed_ = false;
};
