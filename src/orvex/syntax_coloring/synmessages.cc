#include "orvex/syntax_coloring/synmessages.h"

#include <cctype>
#include <cstdarg>
#include <cstring>
#include <string>
#include <string_view>

#include "shared/indgen/strformat.h"
#include "windlib/wdisplay.h"

bool (*synColorCheckHook)(const char* text) = nullptr;

void syn_Message(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = gen_vformat(format, args);
  va_end(args);
  mprintf("%s", text.c_str());
}

namespace {
bool all_hex(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}
}  // namespace

bool syn_ColorTextLooksValid(const char* text) {
  if (!text) return false;
  std::string_view t(text);
  if (t == "none") return true;
  if (t.starts_with('#')) {
    std::string_view digits = t.substr(1);
    return all_hex(digits) && digits.size() % 3 == 0 && digits.size() <= 12;
  }
  if (t.starts_with("rgb:")) {
    std::string_view rest = t.substr(4);
    for (int group = 0; group < 3; ++group) {
      size_t slash = group < 2 ? rest.find('/') : rest.size();
      if (slash == std::string_view::npos) return false;
      std::string_view part = rest.substr(0, slash);
      if (!all_hex(part) || part.size() > 4) return false;
      rest = group < 2 ? rest.substr(slash + 1) : std::string_view();
    }
    return true;
  }
  if (t.empty() || !isalpha(static_cast<unsigned char>(t[0]))) return false;
  for (char c : t)
    if (!isalnum(static_cast<unsigned char>(c)) && c != ' ') return false;
  return true;
}

bool syn_ColorValid(const char* text) {
  if (text && std::strcmp(text, "none") == 0) return true;
  return synColorCheckHook ? synColorCheckHook(text) : syn_ColorTextLooksValid(text);
}
