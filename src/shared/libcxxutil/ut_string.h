// The library's growable string, used at the interfaces of the class-based
// modules. It always holds a terminated text, so c_str() is never null.
#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>

class ut_string {
 public:
  ut_string() = default;
  ut_string(const char* s) : text_(s ? s : "") {}  // NOLINT: converts like a C string
  ut_string(const char* s, size_t n) : text_(s ? std::string(s, n) : std::string()) {}
  explicit ut_string(std::string_view s) : text_(s) {}
  explicit ut_string(std::string s) : text_(std::move(s)) {}

  const char* c_str() const { return text_.c_str(); }
  size_t length() const { return text_.size(); }
  bool is_empty() const { return text_.empty(); }
  const std::string& str() const { return text_; }
  std::string_view view() const { return text_; }

  ut_string& append(const char* s) {
    if (s) text_ += s;
    return *this;
  }
  ut_string& append(const char* s, size_t n) {
    if (s) text_.append(s, n);
    return *this;
  }
  ut_string& append(char c) {
    text_ += c;
    return *this;
  }
  ut_string& append(const ut_string& s) {
    text_ += s.text_;
    return *this;
  }
  ut_string& operator+=(const char* s) { return append(s); }
  ut_string& operator+=(const ut_string& s) { return append(s); }
  ut_string& operator+=(char c) { return append(c); }
  void clear() { text_.clear(); }

  friend bool operator==(const ut_string& a, const ut_string& b) { return a.text_ == b.text_; }
  friend bool operator==(const ut_string& a, const char* b) { return a.text_ == (b ? b : ""); }
  friend bool operator==(const ut_string& a, std::string_view b) { return a.text_ == b; }
  friend std::strong_ordering operator<=>(const ut_string& a, const ut_string& b) {
    return a.text_.compare(b.text_) <=> 0;
  }

 private:
  std::string text_;
};
