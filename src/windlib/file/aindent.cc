#include "windlib/file/aindent.h"

#include <strings.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "windlib/config/aindentsettings.h"
#include "windlib/file/aindent_state.h"
#include "windlib/file/textgeom.h"

namespace {

bool is_word(unsigned char c) {
  return std::isalnum(c) || c == '_';
}

// One language's token table with an index by first byte.
struct TokenTable {
  std::vector<std::string> entries;
  bool caseSensitive = true;
  int16_t other = 0, eol = 0;
  std::array<std::vector<int16_t>, 256> byFirst;

  TokenTable(std::vector<std::string> list, bool sensitive, char leader)
      : entries(std::move(list)), caseSensitive(sensitive) {
    other = static_cast<int16_t>(entries.size() + 1);
    eol = static_cast<int16_t>(entries.size() + 2);
    for (std::string& e : entries)
      if (e == "#" && leader) e[0] = leader;
    for (size_t k = 0; k < entries.size(); ++k) {
      const unsigned char c = static_cast<unsigned char>(entries[k][0]);
      byFirst[c].push_back(static_cast<int16_t>(k));
      if (!caseSensitive && std::isalpha(c))
        byFirst[static_cast<unsigned char>(std::toupper(c))].push_back(static_cast<int16_t>(k));
    }
  }

  // The table entry that matches at p, or -1.
  int16_t match(const char* p, const char* end) const {
    for (int16_t k : byFirst[static_cast<unsigned char>(*p)]) {
      const std::string& e = entries[static_cast<size_t>(k)];
      const size_t n = e.size();
      if (static_cast<size_t>(end - p) < n) continue;
      if (caseSensitive ? std::memcmp(p, e.data(), n) != 0 : strncasecmp(p, e.data(), n) != 0)
        continue;
      // A word entry must not run on into a longer word.
      if (p + n == end || !is_word(static_cast<unsigned char>(e.back())) ||
          !is_word(static_cast<unsigned char>(p[n])))
        return k;
    }
    return -1;
  }
};

const std::vector<std::string>& c_entries() {
  static const std::vector<std::string> list = {
      "{",     "}",      "=",     "if",   "else",   "for",       "while",  "switch",
      "class", "struct", "union", "enum", "ifdef",  "ifndef",    "elif",   "endif",
      "#",     "/*",     "*/",    "//",   "(",      ")",         "[",      "]",
      "\"",    ";",      "::",    ":",    "'",      "\\\"",      "\\'",    "\\\\",
      "?",     "\\",     "<",     ">",    "public", "protected", "private"};
  return list;
}

const std::vector<std::string>& ada_entries() {
  static const std::vector<std::string> list = {
      "begin",    "end",       ";",         "--",        "<<",      ">>",       "(",       ")",
      "and then", "use type",  "if",        "then",      "elsif",   "else",     "loop",    "for",
      "while",    "declare",   "exception", "when",      "=>",      "case",     "select",  "or",
      "accept",   "do",        "separate",  "procedure", "is",      "function", "package", "task",
      "generic",  "private",   "new",       "type",      "subtype", "record",   "use",     "tagged",
      "with",     "\"",        "'",         ":=",        ":",       "abort",    "#",       "\\",
      "endif",    "protected", "entry",     "<>"};
  return list;
}

// The tables for one leader, made once per leader and language.
const TokenTable& table_for(AI_Lang lang, char leader) {
  static std::array<std::unique_ptr<TokenTable>, 512> tables;
  const size_t slot =
      static_cast<size_t>(lang == AI_LangAda) * 256 + static_cast<unsigned char>(leader);
  if (!tables[slot]) {
    if (lang == AI_LangAda) {
      tables[slot] = std::make_unique<TokenTable>(ada_entries(), false, leader);
    } else {
      tables[slot] = std::make_unique<TokenTable>(c_entries(), true, leader);
    }
  }
  return *tables[slot];
}

void tokenize(const TokenTable& t, const char* text, int32_t len, int32_t tabsize, bool utf8,
              std::vector<AIToken>* out) {
  out->clear();
  const GeomRule rule{tabsize, GeomEscapes::kControlDel, utf8};
  const char* end = text + len;
  const char* p = text;
  DisplayCol col(0);
  while (p < end) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == ' ' || c == '\t' || c == '\r') {
      col = GeomWidthFrom(col, p, 1, rule);
      ++p;
      continue;
    }
    int16_t kind = t.match(p, end);
    int32_t n;
    if (kind >= 0) {
      n = static_cast<int32_t>(t.entries[static_cast<size_t>(kind)].size());
    } else {
      kind = t.other;
      const char* q = p;
      if (is_word(c)) {
        while (q < end && is_word(static_cast<unsigned char>(*q))) ++q;
      } else {
        // One character; a multi-byte character stays whole.
        ++q;
        if (c >= 0xc0)
          while (q < end && (static_cast<unsigned char>(*q) & 0xc0) == 0x80) ++q;
      }
      n = static_cast<int32_t>(q - p);
    }
    out->push_back(AIToken{kind, static_cast<int32_t>(p - text), n, col.v});
    col = GeomWidthFrom(col, p, n, rule);
    p += n;
  }
  out->push_back(AIToken{t.eol, len, 0, col.v});
}

bool comment_token(const AutoIndentLine_Tag* s, int16_t kind) {
  return s->lang == AI_LangAda ? kind == aComment : kind == cCommentOpen || kind == cLineComment;
}

bool inert(AIKind k) {
  return k == aiString || k == aiChar || k == aiComment || k == aiLineComment;
}

int32_t plain_col(AICtx& c) {
  return c.s->lang == AI_LangAda ? AIAdaPlainCol(c) : AICPlainCol(c);
}

// The star-like characters that continue a block comment.
bool star_like(char ch) {
  return ch == '*' || (ch && aIndent_charsLikeStarInsideComment.find(ch) != std::string::npos);
}

// A block comment's layout is decided by the line after its opening line.
void comment_line_start(AICtx& c, size_t i) {
  AIElem& e = c.top();
  if (e.phase == 1) {
    const char* p = c.text + c.tok(i).pos;
    const char* end = c.text + c.len;
    if (star_like(*p))
      e.col = p + 1 < end && star_like(p[1]) ? e.close : e.close + 1;
    else
      e.col = e.aux;
    e.phase = 2;
  }
  c.commentLine = true;
  if (aIndent_touchComments)
    AIDecide(c, e.col, c.depth() - 1, -1, 0);
  else
    AIKeep(c);
}

AITake inert_take(AICtx& c, size_t i) {
  AIElem& e = c.top();
  const int16_t k = c.tok(i).kind;
  const bool ada = c.s->lang == AI_LangAda;
  const int16_t eol = ada ? int16_t{aEol} : int16_t{cEol};
  if (i == 0 && k != eol) {
    if (e.kind == aiComment)
      comment_line_start(c, i);
    else
      AIKeep(c);
  }
  switch (e.kind) {
    case aiComment:
      if (k == cCommentClose)
        AIPop(c, false);
      else if (k == eol && e.phase == 0)
        e.phase = 1;
      return aiTaken;
    case aiLineComment:
      if (k != eol) return aiTaken;
      AIPop(c, false);
      return aiPass;
    case aiString:
    case aiChar: {
      const int16_t quote = ada ? int16_t{e.kind == aiString ? aDQuote : aSQuote}
                                : int16_t{e.kind == aiString ? cDQuote : cSQuote};
      if (k == quote) {
        AIPop(c, false);
        return aiTaken;
      }
      if (k == eol) {
        // Only a backslash at its end carries a string over the line end.
        const bool continued = !ada && i > 0 && c.tok(i - 1).kind == cBackslash;
        if (continued) return aiTaken;
        AIPop(c, false);
        return aiPass;
      }
      return aiTaken;
    }
    default:
      return aiTaken;
  }
}

// Comments and the preprocessor leader behave alike in every element.
bool generic_take(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AutoIndentLine_Tag* s = c.s;
  const int16_t leader = s->lang == AI_LangAda ? int16_t{aLeader} : int16_t{cLeader};
  if (t.kind == leader && i == 0 && c.top().kind != aiPreproc) {
    AIDecide(c, 0, c.depth() - 1, -1, 0);
    AIPush(c, aiPreproc, 0, 0);
    return true;
  }
  if (!comment_token(s, t.kind)) return false;
  if (i == 0) {
    c.commentLine = true;
    if (aIndent_commentsStayFlushLeft && t.col == 0)
      AIDecide(c, 0, c.depth() - 1, -1, 0);
    else if (!aIndent_touchComments)
      AIKeep(c);
    else
      AIDecide(c, plain_col(c), c.depth() - 1, -1, 0);
  }
  if (s->lang == AI_LangC && t.kind == cCommentOpen) {
    AIElem& e = AIPush(c, aiComment, t.col + 1, t.col);
    // Lines that do not start with a star line up with the opening text.
    e.aux = AINextCol(c, i, t.col + 3);
    if (AIEndsLine(c, i) || c.tok(i + 1).kind == cEol) e.aux = t.col + 3;
  } else {
    AIPush(c, aiLineComment, t.col, t.col);
  }
  return true;
}

int32_t parse(AutoIndentLine_Tag* s, const char* text, int32_t len, int32_t indentSize,
              int32_t tabsize, int32_t lineNo) {
  static thread_local std::vector<AIToken> toks;
  tokenize(table_for(s->lang, s->leader), text, len, tabsize, s->utf8, &toks);
  AICtx c{s, text, len, &toks, indentSize > 0 ? indentSize : 1, tabsize, lineNo};
  s->firstCol = toks.front().col;
  s->wished = -1;
  s->wishedId = -1;
  s->wishedField = -1;
  s->wishedOffset = 0;
  s->really = false;
  const bool blank = toks.size() == 1;
  bool broken = false;
  if (blank && !s->stack.empty()) {
    const int32_t col = inert(c.top().kind) && c.top().kind != aiComment ? -1 : plain_col(c);
    s->wished = col;
  }
  for (size_t i = 0; i < toks.size() && !broken; ++i) {
    // Every element passes a token on at most once per element below it.
    for (size_t guard = s->stack.size() + 2; guard > 0; --guard) {
      if (s->stack.empty()) {
        fputs("Error: Stack empty in ParseLine\n", stderr);
        s->stack.push_back(AIElem{});
        broken = true;
        break;
      }
      AITake r;
      if (inert(c.top().kind))
        r = inert_take(c, i);
      else if (generic_take(c, i))
        r = aiTaken;
      else
        r = s->lang == AI_LangAda ? AIAdaTake(c, i) : AICTake(c, i);
      if (r == aiTaken) break;
    }
  }
  s->commentLine = c.commentLine;
  if (broken) {
    s->wished = s->firstCol;
    return s->wished;
  }
  if (s->wished < 0) s->wished = s->firstCol;
  // The element that placed the line follows where the line really is.
  if (!blank && s->wishedId >= 0) {
    for (size_t k = s->stack.size(); k-- > 0;) {
      AIElem& e = s->stack[k];
      if (e.id != s->wishedId) continue;
      (s->wishedField == 1 ? e.close : e.col) = s->firstCol - s->wishedOffset;
      break;
    }
  }
  return s->wished;
}

}  // namespace

// ---- Helpers shared with the languages' elements ----

AIElem& AIPush(AICtx& c, AIKind kind, int32_t col, int32_t close) {
  AIElem e;
  e.kind = kind;
  e.col = col;
  e.close = close;
  e.id = c.s->nextId++;
  e.line = c.lineNo;
  if (c.s->stack.size() >= kAIMaxDepth) {
    // Nesting this deep is not tracked: the top stands for everything above.
    c.s->stack.back() = e;
    return c.s->stack.back();
  }
  c.s->stack.push_back(e);
  return c.s->stack.back();
}

void AIPop(AICtx& c, bool notify) {
  if (c.s->stack.empty()) return;
  const AIKind kind = c.top().kind;
  c.s->stack.pop_back();
  // The outermost element never goes.
  if (c.s->stack.empty()) {
    c.s->stack.push_back(AIElem{});
    return;
  }
  if (!notify) return;
  if (c.s->lang == AI_LangAda)
    AIAdaChildDone(c, kind);
  else
    AICChildDone(c, kind);
}

AIElem& AIReplace(AICtx& c, AIKind kind, int32_t col, int32_t close) {
  AIElem& e = c.top();
  const int32_t line = e.line;
  e = AIElem{};
  e.kind = kind;
  e.col = col;
  e.close = close;
  e.id = c.s->nextId++;
  e.line = line;
  return e;
}

void AIDecide(AICtx& c, int32_t value, size_t index, int field, int32_t offset) {
  AutoIndentLine_Tag* s = c.s;
  if (s->wished >= 0) return;
  s->wished = value < 0 ? 0 : value;
  s->wishedId = field >= 0 && index < s->stack.size() ? s->stack[index].id : -1;
  s->wishedField = static_cast<int8_t>(field);
  s->wishedOffset = offset;
}

void AIKeep(AICtx& c) {
  AIDecide(c, c.s->firstCol, 0, -1, 0);
}

bool AIEndsLine(const AICtx& c, size_t i) {
  if (i + 1 >= c.count()) return true;
  const int16_t k = c.tok(i + 1).kind;
  if (c.s->lang == AI_LangAda) return k == aEol || k == aComment;
  return k == cEol || k == cLineComment || k == cCommentOpen;
}

int32_t AINextCol(const AICtx& c, size_t i, int32_t fallback) {
  return AIEndsLine(c, i) ? fallback : c.tok(i + 1).col;
}

int32_t AIParenCol(const AICtx& c, size_t i) {
  if (aIndent_parenIndentMode == kParenIndentInTwo) return c.s->firstCol + 2 * c.indent;
  const AIToken& t = c.tok(i);
  return AINextCol(c, i, t.col + t.len);
}

namespace {

// A directive with the preprocessor element on top: each branch of a
// conditional starts from the stack the conditional began with, and its end
// goes on from the branch that is kept.
void preproc_directive(AICtx& c, int directive) {
  AutoIndentLine_Tag* s = c.s;
  const AIElem pre = c.top();
  auto without_top = [&] { return std::vector<AIElem>(s->stack.begin(), s->stack.end() - 1); };
  auto restore = [&](const std::vector<AIElem>& st) {
    s->stack = st;
    if (s->stack.empty()) s->stack.push_back(AIElem{});
    s->stack.push_back(pre);
  };
  switch (directive) {
    case aiDirIf:
    case aiDirIf0:
    case aiDirIfdef: {
      if (s->conds.size() >= kAIMaxConds) return;
      AICond r;
      r.before = without_top();
      r.keep = directive == aiDirIf ? 1 : 2;
      s->conds.push_back(std::move(r));
      return;
    }
    case aiDirElse:
    case aiDirElif: {
      if (s->conds.empty() || s->conds.back().sawElse) return;
      AICond& r = s->conds.back();
      if (directive == aiDirElse) r.sawElse = true;
      if (r.counter == r.keep) {
        r.kept = without_top();
        r.hasKept = true;
      }
      restore(r.before);
      ++r.counter;
      return;
    }
    case aiDirEndif: {
      if (s->conds.empty()) return;
      AICond r = std::move(s->conds.back());
      s->conds.pop_back();
      if (r.counter == r.keep) {
        r.kept = without_top();
        r.hasKept = true;
      }
      restore(r.hasKept ? r.kept : r.before);
      return;
    }
    default:
      return;
  }
}

}  // namespace

AITake AIPreprocTake(AICtx& c, size_t i, const AIPreprocTokens& lang) {
  const AIToken& t = c.tok(i);
  AIElem& e = c.top();
  if (i == 0 && t.kind != lang.eol) AIKeep(c);
  if (t.kind == lang.eol) {
    // A line that ends in a backslash goes on on the next.
    if (i > 0 && c.tok(i - 1).kind == lang.backslash) return aiTaken;
    AIPop(c, false);
    return aiPass;
  }
  if (e.phase == 0) {
    e.phase = 1;
    preproc_directive(c, lang.directive(c, i));
    return aiTaken;
  }
  if (t.kind == lang.dquote)
    AIPush(c, aiString, t.col, t.col);
  else if (t.kind == lang.squote)
    AIPush(c, aiChar, t.col, t.col);
  return aiTaken;
}

// ---- The interface ----

AutoIndentLine_Tag* AIndent_New(AI_Lang lang, char leader) {
  auto* s = new AutoIndentLine_Tag;
  s->lang = lang;
  s->leader = leader ? leader : '#';
  s->utf8 = GeomFileUtf8(nullptr);
  s->stack.push_back(AIElem{});
  return s;
}

AutoIndentLine_Tag* AIndent_Clone(const AutoIndentLine_Tag* state) {
  return state ? new AutoIndentLine_Tag(*state) : nullptr;
}

void AIndent_Delete(AutoIndentLine_Tag* state) {
  delete state;
}

void AIndent_SetUtf8(AutoIndentLine_Tag* state, bool utf8) {
  if (state) state->utf8 = utf8;
}

void AIndent_AdjustPreprocesorLeader(AutoIndentLine_Tag* state, char leader) {
  if (state) state->leader = leader ? leader : '#';
}

void AIndent_ParseLine(AutoIndentLine_Tag* state, const char* text, int32_t len, int32_t indentSize,
                       int32_t tabsize, int32_t lineNo) {
  parse(state, text, len, indentSize, tabsize, lineNo);
}

int32_t AIndent_GetIndentColumn(AutoIndentLine_Tag* state, const char* text, int32_t len,
                                int32_t indentSize, int32_t tabsize, int32_t lineNo) {
  return parse(state, text, len, indentSize, tabsize, lineNo);
}

bool AIndent_ReallyBeginning(AI_Lang lang, char leader, const char* text, int32_t len) {
  if (len <= 0 || !is_word(static_cast<unsigned char>(text[0]))) return false;
  AutoIndentLine_Tag s;
  s.lang = lang;
  s.leader = leader ? leader : '#';
  s.stack.push_back(AIElem{});
  parse(&s, text, len, 4, 8, 1);
  return s.really;
}

bool AIndent_LineIsComment(const AutoIndentLine_Tag* state) {
  return state && state->commentLine;
}

bool AIndent_InComment(const AutoIndentLine_Tag* state) {
  return state && !state->stack.empty() && state->stack.back().kind == aiComment;
}
