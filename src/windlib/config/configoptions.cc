#include "windlib/config/configoptions.h"

#include <strings.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "windlib/wdisplay.h"
#include "windlib/xswitch.h"

uint32_t AnyRefreshes = 0;
int (*cfg_GuiConfigLineHook)(const char* key, const char* value) = nullptr;
int (*cfg_ColorHook)(_ConfigOption* option, const char* text) = nullptr;

namespace {

// Configuration reports go to the message output, one line each.
void report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void report(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(n > 0 ? n : 0, '\0');
  if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  if (text.empty() || text.back() != '\n') text += '\n';
  mprintf("%s", text.c_str());
}

bool same_text(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool starts_with_text(std::string_view whole, std::string_view start) {
  return start.size() <= whole.size() && strncasecmp(whole.data(), start.data(), start.size()) == 0;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_separator(char c) {
  return is_blank(c) || c == ':' || c == '=';
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (is_blank(s.back()) || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

bool null_not_allowed() {
  return debugFlag[xsDontAllowNullInConfigOptions] != 0;
}

void report_current(_ConfigOption& o) {
  report("Current setting of %s: %s\n", o.name, cfg_ValueText(o).c_str());
}

// The invalid-value report shared by the types that have no own wording.
int invalid(_ConfigOption& o, std::string_view value) {
  if (value.empty()) {
    if (null_not_allowed())
      report("NULL is not a valid setting for %s.\n", o.name);
    else
      report("\"%s\" is not a valid setting of %s.\n", "", o.name);
    report_current(o);
  } else {
    report("\"%s\" is not a valid setting of %s.\n", std::string(value).c_str(), o.name);
  }
  return 0;
}

void set_done(_ConfigOption& o) {
  AnyRefreshes |= o.refreshes;
  o.changed = true;
}

// Stores a number through the setter or into the variable.
int store_number(_ConfigOption& o, int32_t number) {
  if (o.setter) {
    if (o.setter(&o, nullptr, number) != 1) return 0;
  } else if (o.type == cfgBoolean) {
    o.Bool() = number != 0;
  } else {
    o.Int() = number;
  }
  set_done(o);
  return 1;
}

int store_text(_ConfigOption& o, const std::string& text) {
  if (o.setter) {
    if (o.setter(&o, text.c_str(), 0) != 1) return 0;
  } else {
    o.Text() = text;
  }
  set_done(o);
  return 1;
}

int set_boolean(_ConfigOption& o, std::string_view value, bool quiet) {
  if (value.empty()) {
    bool now = !o.Bool();
    if (store_number(o, now) != 1) return 0;
    if (!quiet) report("Toggling %s:  new value is %s\n", o.name, o.Bool() ? "On" : "Off");
    return 1;
  }
  while (!value.empty() && is_blank(value.front())) value.remove_prefix(1);
  for (const char* word : {"yes", "on", "1", "true"})
    if (same_text(value, word)) return store_number(o, 1);
  for (const char* word : {"no", "off", "0", "false"})
    if (same_text(value, word)) return store_number(o, 0);
  report(
      "\"%s\" does not represent a boolean value. Use one of these:\nyes on 1 true no off 0 "
      "false\n",
      std::string(value).c_str());
  return 0;
}

// "all" is the maximum; else a C number (decimal, octal, hex) with an
// optional K (x1024) or M (x1048576) suffix, clamped to the range.
bool parse_integer(std::string_view value, const _MinMax* range, int32_t* out) {
  int64_t lo = range ? range->min : INT32_MIN;
  int64_t hi = range ? range->max : INT32_MAX;
  if (same_text(value, "all")) {
    *out = static_cast<int32_t>(hi);
    return true;
  }
  std::string text(value);
  const char* p = text.c_str();
  while (is_blank(*p)) ++p;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  int base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && isxdigit(static_cast<unsigned char>(p[2]))) {
    base = 16;
    p += 2;
  } else if (p[0] == '0') {
    base = 8;
  }
  auto digit = [base](char c) -> int {
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                   : 99;
    return d < base ? d : -1;
  };
  if (digit(*p) < 0) return false;
  // Saturates well above any range so that clamping still sees "too big".
  constexpr int64_t kCap = int64_t{1} << 40;
  int64_t n = 0;
  for (; digit(*p) >= 0; ++p) n = std::min(kCap, n * base + digit(*p));
  if (*p == 'K' || *p == 'k')
    n = std::min(kCap, n * 1024);
  else if (*p == 'M' || *p == 'm')
    n = std::min(kCap, n * 1048576);
  if (negative) n = -n;
  *out = static_cast<int32_t>(std::max(lo, std::min(hi, n)));
  return true;
}

int set_integer(_ConfigOption& o, std::string_view value) {
  int32_t n;
  if (!parse_integer(value, o.minMax, &n)) return invalid(o, value);
  return store_number(o, n);
}

std::string choice_list(const _ChoiceValues* choices) {
  std::vector<std::string> names;
  for (const _ChoiceValues* c = choices; c->name; ++c) names.push_back(c->name);
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i) out += i + 1 == names.size() ? (names.size() > 2 ? ", and " : " and ") : ", ";
    out += "\"" + names[i] + "\"";
  }
  return out;
}

// The choice a value names, or none after reporting why not.
const _ChoiceValues* find_choice(const _ChoiceValues* choices, std::string_view value) {
  std::string v(value);
  for (const _ChoiceValues* c = choices; c->name; ++c) {
    if (same_text(value, c->name)) return c;
    bool other = c->display && same_text(value, c->display);
    for (const char* const* a = c->aliases; !other && a && *a; ++a) other = same_text(value, *a);
    if (other) {
      if (debugFlag[xsWarnings])
        report("\"%.256s\" is deprecated; use \"%.256s\" instead\n", v.c_str(), c->name);
      return c;
    }
  }
  const _ChoiceValues* found = nullptr;
  for (const _ChoiceValues* c = choices; c->name; ++c) {
    bool prefix =
        starts_with_text(c->name, value) || (c->display && starts_with_text(c->display, value));
    for (const char* const* a = c->aliases; !prefix && a && *a; ++a)
      prefix = starts_with_text(*a, value);
    if (!prefix) continue;
    if (found) {
      report("\"%.256s\" is ambiguous; could mean \"%s\" or \"%s\"", v.c_str(), found->name,
             c->name);
      return nullptr;
    }
    found = c;
  }
  if (!found)
    report("\"%.256s\" is not valid; possible choices are %.256s", v.c_str(),
           choice_list(choices).c_str());
  return found;
}

int set_choice(_ConfigOption& o, std::string_view value) {
  const _ChoiceValues* c = value.empty() ? nullptr : find_choice(o.choices, value);
  if (c) return store_number(o, c->value);
  if (value.empty())
    report("Must give new setting");
  else
    report("Invalid setting: %s", std::string(value).c_str());
  report("Valid settings:");
  for (const _ChoiceValues* v = o.choices; v->name; ++v) report("  %s", v->name);
  if (value.empty()) report_current(o);
  return 0;
}

// One word of the dialog language: a double-quoted string with backslash
// escapes (one to three octal digits give that code), or the text as it is.
bool parse_word(std::string_view value, std::string* out) {
  out->clear();
  if (value.empty() || value.front() != '"') {
    out->assign(value);
    return true;
  }
  size_t i = 1;
  for (; i < value.size() && value[i] != '"'; ++i) {
    char c = value[i];
    if (c != '\\' || i + 1 >= value.size()) {
      *out += c;
      continue;
    }
    c = value[++i];
    if (c >= '0' && c <= '7') {
      int code = 0;
      for (int n = 0; n < 3 && i < value.size() && value[i] >= '0' && value[i] <= '7'; ++n, ++i)
        code = code * 8 + (value[i] - '0');
      --i;
      *out += static_cast<char>(code);
    } else if (c == 'n' || c == '\r') {
      *out += '\n';
    } else {
      *out += c;
    }
  }
  // An unterminated string is not a word; text after the closing quote is
  // not part of it either.
  return i < value.size() && trim(value.substr(i + 1)).empty();
}

int set_string(_ConfigOption& o, std::string_view value, bool quiet) {
  if (value.empty()) {
    if (null_not_allowed()) return invalid(o, value);
    if (!quiet)
      report("Setting option %s to NULL.  Previous value: \"%s\"\n", o.name, o.Text().c_str());
    return store_text(o, "");
  }
  std::string word;
  if (!parse_word(value, &word)) return invalid(o, value);
  if (!o.setter && same_text(word, o.Text())) return 1;
  return store_text(o, word);
}

int set_color(_ConfigOption& o, std::string_view value) {
  if (value.empty()) return invalid(o, value);
  std::string text(value);
  if (cfg_ColorHook) {
    if (cfg_ColorHook(&o, text.c_str()) != 1) return invalid(o, value);
    set_done(o);
    return 1;
  }
  return store_text(o, text);
}

bool parse_size(std::string_view value, _WindowSize* out) {
  std::string text(value);
  int w, h, used = 0;
  if (std::sscanf(text.c_str(), "%dx%d%n", &w, &h, &used) != 2 || !trim(text.substr(used)).empty())
    return false;
  *out = {w, h};
  return true;
}

int set_size(_ConfigOption& o, std::string_view value, bool quiet) {
  if (value.empty()) {
    if (null_not_allowed()) return invalid(o, value);
    if (!quiet)
      report("Setting %s to -1x-1.  Previous value: %s\n", o.name, cfg_ValueText(o).c_str());
    o.Size() = {};
    set_done(o);
    return 1;
  }
  _WindowSize size;
  if (!parse_size(value, &size)) return invalid(o, value);
  if (o.setter) {
    if (o.setter(&o, std::string(value).c_str(), 0) != 1) return 0;
  } else {
    o.Size() = size;
  }
  set_done(o);
  return 1;
}

int set_function(_ConfigOption& o, std::string_view value) {
  if (!o.setter) {
    report("The configuration option %s is not available yet.\n", o.name);
    return 0;
  }
  std::string text(value);
  int result = o.setter(&o, text.c_str(), 0);
  // Below 0: the setter has said why.
  if (result == 0) invalid(o, value);
  if (result != 1) return 0;
  set_done(o);
  return 1;
}

bool is_conditional_key(std::string_view key) {
  for (const char* word : {"endif", "else", "elseif", "elif"})
    if (key == word) return true;
  return false;
}

}  // namespace

int cfg_SetOption(_ConfigOption* option, std::string_view value, bool quiet) {
  _ConfigOption& o = *option;
  switch (o.type) {
    case cfgBoolean:
      return set_boolean(o, value, quiet);
    case cfgInteger:
      return set_integer(o, value);
    case cfgChoice:
      return set_choice(o, value);
    case cfgColor:
      return set_color(o, value);
    case cfgString:
      return set_string(o, value, quiet);
    case cfgSize:
      return set_size(o, value, quiet);
    case cfgFunction:
      return set_function(o, value);
  }
  return 0;
}

_ConfigOption* cfg_FindOption(std::string_view name) {
  if (name.empty()) return nullptr;
  for (int t = 0; t < kConfigTables; ++t) {
    _ConfigOption* table = cfg_Table(t);
    for (int i = 0; table[i].name; ++i) {
      if (same_text(name, table[i].name)) {
        table[i].index = t * 65536 + i;
        return &table[i];
      }
    }
  }
  return nullptr;
}

int cfg_ScanLine(std::string_view line, bool from_file, bool quiet) {
  line = trim(line);
  if (line.empty() || line.front() == '#') return 1;
  size_t end = 0;
  while (end < line.size() && !is_separator(line[end])) ++end;
  std::string_view key = line.substr(0, end);
  while (end < line.size() && is_separator(line[end])) ++end;
  std::string_view value = line.substr(end);
  if (is_conditional_key(key)) return 0;

  if (_ConfigOption* o = cfg_FindOption(key)) {
    // The configuration service is not part of this program: a broadcast
    // change is applied here, where it would otherwise come back from it.
    if (o->broadcast && !from_file && !quiet && debugFlag[xsConfigService] &&
        debugFlag[xsServiceRouter])
      report("Config service has still not started");
    return cfg_SetOption(o, value, quiet);
  }
  std::string k(key), v(value);
  if (cfg_GuiConfigLineHook && cfg_GuiConfigLineHook(k.c_str(), v.c_str()) == 1) return 1;
  report("Unknown configuration option: %s %s", k.c_str(), v.c_str());
  return 0;
}

std::string_view cfg_TextOption(std::string_view name) {
  _ConfigOption* o = cfg_FindOption(name);
  if (!o || (o->type != cfgString && o->type != cfgColor)) return {};
  return o->Text();
}

std::string cfg_ValueText(_ConfigOption& o) {
  switch (o.type) {
    case cfgBoolean:
      return o.Bool() ? "true" : "false";
    case cfgInteger:
      return std::to_string(o.Int());
    case cfgChoice:
      for (const _ChoiceValues* c = o.choices; c && c->name; ++c)
        if (c->value == o.Int()) return c->name;
      return std::to_string(o.Int());
    case cfgColor:
    case cfgString:
      return o.Text();
    case cfgSize:
      return std::to_string(o.Size().width) + "x" + std::to_string(o.Size().height);
    case cfgFunction:
      return {};
  }
  return {};
}

bool cfg_SetOptionSetter(std::string_view name, CfgSetter setter) {
  _ConfigOption* o = cfg_FindOption(name);
  if (!o) return false;
  o->setter = setter;
  return true;
}

namespace {

// Whether the option holds a value of its own: one that is not false, 0 or
// empty. Sizes and functions always count as set.
bool holds_value(_ConfigOption& o) {
  switch (o.type) {
    case cfgBoolean:
      return o.Bool();
    case cfgInteger:
    case cfgChoice:
      return o.Int() != 0;
    case cfgColor:
    case cfgString:
      return !o.Text().empty();
    case cfgSize:
    case cfgFunction:
      return true;
  }
  return false;
}

// Stores the option's default in its variable, without its setter.
void store_default(_ConfigOption& o) {
  switch (o.type) {
    case cfgBoolean:
      o.Bool() = o.defaultNumber != 0;
      break;
    case cfgInteger:
    case cfgChoice:
      o.Int() = o.defaultNumber;
      break;
    case cfgColor:
    case cfgString:
      o.Text() = o.defaultText ? o.defaultText : "";
      break;
    case cfgSize:
      o.Size() = {};
      break;
    case cfgFunction:
      break;
    default:
      std::fputs("Unrecognized Config Option Type\n", stderr);
      break;
  }
}

}  // namespace

void cfg_SetEverythingToDefaults() {
  cfg_ForEachOption([](_ConfigOption& o) {
    if (!holds_value(o)) store_default(o);
  });
}

void cfg_ResetAllOptions() {
  cfg_ForEachOption([](_ConfigOption& o) {
    store_default(o);
    for (int l = 0; l < kConfigLevels; ++l) {
      o.remembered[l].clear();
      o.rememberedSet[l] = false;
    }
    o.changed = false;
  });
  AnyRefreshes = 0;
}
