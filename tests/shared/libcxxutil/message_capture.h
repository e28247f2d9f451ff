// Collects the runtime layer's diagnostics as "level: text" lines while in
// scope, instead of printing them.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "shared/indgen/indgen.h"

namespace oetest {

class MessageCapture {
 public:
  MessageCapture() : previous_(gen_domessage) {
    current_ = this;
    gen_domessage = &Hook;
  }
  ~MessageCapture() {
    gen_domessage = previous_;
    current_ = nullptr;
  }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  const std::vector<std::string>& lines() const { return lines_; }
  // Every line, each followed by "\n".
  std::string all() const {
    std::string out;
    for (const std::string& l : lines_) out += l + "\n";
    return out;
  }
  bool empty() const { return lines_.empty(); }
  void clear() { lines_.clear(); }

 private:
  static void Hook(int level, const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
    vsnprintf(text.data(), text.size() + 1, format, args);
    const char* prefix = level == GEN_LEVEL_ERROR     ? "error: "
                         : level == GEN_LEVEL_WARNING ? "warning: "
                         : level == GEN_LEVEL_INFO    ? "info: "
                                                      : "";
    current_->lines_.push_back(prefix + text);
  }

  static inline MessageCapture* current_ = nullptr;
  gen_domessage_fn previous_;
  std::vector<std::string> lines_;
};

}  // namespace oetest
