#include "windlib/cmdparse.h"

#include <cctype>
#include <cstring>
#include <string>
#include <strings.h>

#include "windlib/handles.h"

namespace {
constexpr int kObjectHandleType = 30;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool word_end(char c) { return c == 0 || c == ' ' || c == '<' || c == '\t' || c == ';' || c == '}'; }

// Case-insensitive (A-Z folded) comparison of n bytes at a with all of b.
bool equal_fold(const char* a, size_t n, const char* b) {
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (y == 0) return false;
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return b[n] == 0;
}

// True when p starts with the word "else" (any case).
bool at_else(const char* p) {
  return strncasecmp(p, "else", 4) == 0 && !std::isalnum(static_cast<unsigned char>(p[4])) &&
         p[4] != '_';
}

// Skips a double-quoted string starting at p (on the quote); returns the
// position after its closing quote (or the end). A backslash escapes the
// next character.
const char* skip_string(const char* p) {
  ++p;
  while (*p && *p != '"') {
    if (*p == '\\' && p[1]) ++p;
    ++p;
  }
  return *p ? p + 1 : p;
}

// Skips a brace group starting at p (on the "{"); returns the position after
// its matching "}".
const char* skip_group(const char* p) {
  int depth = 0;
  while (*p) {
    if (*p == '"') {
      p = skip_string(p);
      continue;
    }
    if (*p == '{') ++depth;
    else if (*p == '}' && --depth == 0) return p + 1;
    ++p;
  }
  return p;
}

// Where the command after the one whose text starts at p begins: after the
// next semicolon, right after a brace group (and its else part), or at a
// closing brace that ends the enclosing group; strings do not count.
const char* next_command(const char* p) {
  while (*p) {
    if (*p == '"') {
      p = skip_string(p);
    } else if (*p == '{') {
      p = skip_group(p);
      const char* q = p;
      while (is_blank(*q)) ++q;
      if (at_else(q)) {
        q += 4;
        while (is_blank(*q)) ++q;
        p = *q == '{' ? skip_group(q) : q;
      }
      return p;
    } else if (*p == ';') {
      return p + 1;
    } else if (*p == '}') {
      return p;
    } else {
      ++p;
    }
  }
  return p;
}

// The condition text between `open` (on its "<") and `close` (on its ">"),
// without the blanks around it.
std::string condition_text(const char* open, const char* close) {
  std::string cond(open + 1, static_cast<size_t>(close - open - 1));
  while (!cond.empty() && is_blank(cond.front())) cond.erase(0, 1);
  while (!cond.empty() && is_blank(cond.back())) cond.pop_back();
  return cond;
}

// Collects the names of the string at p, which ends at its end or at the
// closing brace of the group it is the text of.
void collect_names(const char* p, std::vector<std::string>* commands,
                   std::vector<std::string>* conditions) {
  while (true) {
    while (is_blank(*p) || *p == ';') ++p;
    if (*p == 0 || *p == '}') return;
    const char* word_start = p;
    if (*p == '"') {
      commands->emplace_back("\"");
      p = next_command(word_start);
      continue;
    }
    if (*p == '{') {
      commands->emplace_back("{");
      collect_names(p + 1, commands, conditions);
      p = next_command(word_start);
      continue;
    }
    while (!word_end(*p)) ++p;
    const size_t length = static_cast<size_t>(p - word_start);
    commands->emplace_back(word_start, length);
    while (is_blank(*p)) ++p;
    if (equal_fold(word_start, length, "if") && *p == '<') {
      const char* close = std::strchr(p, '>');
      if (close) {
        conditions->push_back(condition_text(p, close));
        const char* q = close + 1;
        while (is_blank(*q)) ++q;
        if (*q == '{') {
          collect_names(q + 1, commands, conditions);
          const char* r = skip_group(q);
          while (is_blank(*r)) ++r;
          if (at_else(r)) {
            r += 4;
            while (is_blank(*r)) ++r;
            if (*r == '{') collect_names(r + 1, commands, conditions);
          }
        }
      }
    }
    p = next_command(p);
  }
}

void report(void* object, CmdInfo* ci, const std::string& text) {
  if (ci->report) ci->report(object, text);
}

enum ParseResult { kFailed = -1, kEmpty = 0, kRan = 1 };

ParseResult parse(void* object, CmdInfo* ci) {
  const std::string copy = ci->args ? ci->args : "";
  HandleRef target(kObjectHandleType, object);
  const char* p = copy.c_str();
  bool found_any = false;
  while (true) {
    while (is_blank(*p) || *p == ';') ++p;
    if (*p == 0) return found_any ? kRan : kEmpty;
    if (*p == '}') return kRan;  // the end of the enclosing group
    const char* word_start = p;
    std::string word;
    if (*p == '"' || *p == '{') {
      // The typing command and the group are one-character words.
      word.assign(1, *p);
      ++p;
    } else {
      while (!word_end(*p)) ++p;
      word.assign(word_start, static_cast<size_t>(p - word_start));
    }
    const CmdEntry* entry = CmdLookup(ci->table, word);
    if (!entry) {
      if (!ci->ignore_unknown) {
        if (ci->report_unknown)
          report(object, ci,
                 ci->unknown_text ? ci->unknown_text(word, word_start)
                                  : "Unknown command " + std::string(word_start));
        return kFailed;
      }
      p = next_command(word_start);
      continue;
    }
    found_any = true;
    const bool typing = word == "\"";
    if (!typing)
      while (is_blank(*p)) ++p;
    CmdInfo run = *ci;
    run.depth = ci->depth + 1;
    run.args = p;
    run.command = entry->name;
    int result = ci->decide ? ci->decide(object, &run, entry) : entry->handler(object, &run);
    if (!target.alive()) return kRan;
    if (result != 1) return kFailed;
    if (ci->after) ci->after(object, ci);
    if (!target.alive()) return kRan;
    // The typing command's text is a string from its opening quote on, and
    // a group's text a brace group from its opening brace on.
    p = next_command(typing || word == "{" ? word_start : p);
  }
}

// Runs the brace group at p (on its "{"); the group's text ends at its "}".
int run_group(void* object, CmdInfo* ci, const char* p) {
  CmdInfo nested = *ci;
  nested.args = p + 1;
  return parse(object, &nested) == kFailed ? 0 : 1;
}
}  // namespace

void CmdInfo_InitNew(CmdInfo* ci, const char* string, CmdTbl* table) {
  *ci = CmdInfo{};
  ci->args = string ? string : "";
  ci->table = table;
}

const CmdEntry* CmdLookup(CmdTbl* table, const std::string& word) {
  for (CmdTbl* t = table; t; t = t->parent) {
    if (!t->entries) continue;
    for (const CmdEntry* e = t->entries; e->name; ++e)
      if (equal_fold(word.data(), word.size(), e->name)) return e;
  }
  return nullptr;
}

void CmdStringNames(const std::string& string, std::vector<std::string>* commands,
                    std::vector<std::string>* conditions) {
  collect_names(string.c_str(), commands, conditions);
}

int Object_ParseCmd(void* object, CmdInfo* ci) {
  if (ci->before && ci->depth == 0) ci->before(object, ci);
  return parse(object, ci) == kRan ? 1 : 0;
}

int Object_Group(void* object, CmdInfo* ci) {
  CmdInfo nested = *ci;
  return parse(object, &nested) == kFailed ? 0 : 1;
}

int Object_If(void* object, CmdInfo* ci) {
  const char* p = ci->args;
  while (is_blank(*p)) ++p;
  if (*p != '<') {
    report(object, ci, std::string("boolean expression should start with a <: ") + ci->args);
    return 0;
  }
  const char* close = std::strchr(p, '>');
  if (!close) {
    report(object, ci, std::string("boolean expression should end with a >: ") + ci->args);
    return 0;
  }
  const std::string cond = condition_text(p, close);
  const char* q = close + 1;
  while (is_blank(*q)) ++q;
  if (*q != '{') {
    report(object, ci, std::string("if command must be followed by \"{\": ") + ci->args);
    return 0;
  }
  const char* true_part = q;
  const char* r = skip_group(q);
  while (is_blank(*r)) ++r;
  const char* false_part = nullptr;
  if (at_else(r)) {
    r += 4;
    while (is_blank(*r)) ++r;
    if (*r != '{') {
      report(object, ci, std::string("else command must be followed by \"{\": ") + ci->args);
      return 0;
    }
    false_part = r;
  }
  if (!ci->cond) {
    report(object, ci, "Unknown boolean expression: " + cond);
    return 0;
  }
  int truth = ci->cond(object, cond);
  if (truth < 0) return 0;
  if (truth) return run_group(object, ci, true_part);
  if (false_part) return run_group(object, ci, false_part);
  return 1;
}

CmdTableBuilder::CmdTableBuilder(CmdTbl* parent) {
  entries_.reserve(10);
  entries_.push_back(CmdEntry{nullptr, nullptr, 0});
  table_.parent = parent;
  table_.entries = entries_.data();
}

void CmdTableBuilder::Add(const char* name, CmdHandler handler, uint32_t flags) {
  for (auto& e : entries_) {
    if (e.name && equal_fold(name, std::strlen(name), e.name)) {
      e.handler = handler;
      e.flags = flags;
      return;
    }
  }
  // The names are owned here; entries point at them. The list grows ten
  // entries at a time and stays ended by its terminator.
  names_.reserve(names_.size() + 1);
  std::vector<std::string> names = names_;
  names.emplace_back(name);
  std::vector<CmdEntry> entries;
  entries.reserve((names.size() / 10 + 1) * 10 + 1);
  for (size_t i = 0; i + 1 < entries_.size(); ++i) entries.push_back(entries_[i]);
  entries.push_back(CmdEntry{nullptr, handler, flags});
  names_ = std::move(names);
  for (size_t i = 0; i < names_.size(); ++i) entries[i].name = names_[i].c_str();
  entries.push_back(CmdEntry{nullptr, nullptr, 0});
  entries_ = std::move(entries);
  table_.entries = entries_.data();
}
