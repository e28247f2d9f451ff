// Inside the auto-indent parser: the element stack, the tokens of one line
// and what each language's elements share. Only the parser's own files
// include this.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "windlib/file/aindent.h"

// Element kinds of both languages.
enum AIKind : uint8_t {
  // Shared by both languages.
  aiNothing,
  aiStatement,
  aiComment,
  aiLineComment,
  aiPreproc,
  aiParen,
  aiString,
  aiChar,
  // The C family.
  aiBrace,
  aiIf,
  aiLoop,  // for, while or switch
  aiInitialization,
  aiHaveEquals,
  aiDefinition,
  aiSuperClass,
  aiHaveDefStart,
  aiInitExpr,
  aiTemplate,
  aiBracket,
  // Ada.
  aiBlock,
  aiLabel,
  aiWhen,
  aiAfterIs,
};

// One element of the stack. `col` places the lines inside it, `close` its
// own closing line; the rest is what each kind keeps.
struct AIElem {
  AIKind kind = aiNothing;
  uint8_t phase = 0;
  uint16_t flags = 0;
  int32_t col = 0;
  int32_t close = 0;
  int32_t id = 0;
  int32_t aux = 0;
  int32_t line = 0;  // the line it started on
};

// One open preprocessor conditional.
struct AICond {
  std::vector<AIElem> before;  // the stack when the conditional began
  std::vector<AIElem> kept;    // the end state of the branch that is kept
  bool hasKept = false;
  bool sawElse = false;
  int32_t counter = 1;
  int32_t keep = 1;
};

struct AutoIndentLine_Tag {
  AI_Lang lang = AI_LangC;
  char leader = '#';
  bool utf8 = false;        // columns count UTF-8 characters, else bytes
  int32_t firstCol = 0;     // indentation of the current line
  int32_t wished = -1;      // its wished column; -1 until known
  int32_t wishedId = -1;    // the element that decided it (-1: none adopts)
  int8_t wishedField = -1;  // 0 that element's col, 1 its close
  int32_t wishedOffset = 0;
  bool really = false;       // the line really begins a construct
  bool commentLine = false;  // the line parsed last started with or inside a comment
  int32_t nextId = 1;
  std::vector<AIElem> stack;
  std::vector<AICond> conds;
};

// Token kinds are positions in the language's table; two more follow it.
struct AIToken {
  int16_t kind;
  int32_t pos, len;  // bytes in the line
  int32_t col;       // display column
};

// Everything a take function needs about the line being parsed.
struct AICtx {
  AutoIndentLine_Tag* s;
  const char* text;
  int32_t len;
  const std::vector<AIToken>* toks;
  int32_t indent;
  int32_t tabsize;
  int32_t lineNo;
  bool commentLine = false;  // the line starts with or inside a comment

  const AIToken& tok(size_t i) const { return (*toks)[i]; }
  size_t count() const { return toks->size(); }
  std::string_view word(size_t i) const {
    const AIToken& t = tok(i);
    return std::string_view(text + t.pos, static_cast<size_t>(t.len));
  }
  AIElem& top() { return s->stack.back(); }
  AIElem& below(size_t n = 1) { return s->stack[s->stack.size() - 1 - n]; }
  size_t depth() const { return s->stack.size(); }
};

// What a take function did with a token.
enum AITake { aiTaken, aiPass };

// The deepest stack the parser builds; deeper nesting is not tracked.
constexpr size_t kAIMaxDepth = 500;
constexpr size_t kAIMaxConds = 64;

// ---- Shared helpers (aindent.cc) ----
AIElem& AIPush(AICtx& c, AIKind kind, int32_t col, int32_t close);
// Pops the top element; with `notify` the element below hears that it
// ended.
void AIPop(AICtx& c, bool notify);
// Replaces the top element by a new one of `kind`.
AIElem& AIReplace(AICtx& c, AIKind kind, int32_t col, int32_t close);
// Decides the current line's column unless it is decided: the element at
// stack index `index` applied `offset` to its field (0 col, 1 close) and
// adopts the line's real column at its end; field -1 adopts nothing.
void AIDecide(AICtx& c, int32_t value, size_t index, int field, int32_t offset);
inline void AIDecideTop(AICtx& c, int field, int32_t offset = 0) {
  const AIElem& e = c.top();
  AIDecide(c, (field == 1 ? e.close : e.col) + offset, c.depth() - 1, field, offset);
}
// Keeps the line where it is.
void AIKeep(AICtx& c);
// The column of the token after token i on its line, or `fallback` when
// nothing but a comment follows it.
int32_t AINextCol(const AICtx& c, size_t i, int32_t fallback);
bool AIEndsLine(const AICtx& c, size_t i);
// The column of the lines inside a parenthesis opened by token i: under the
// token after it, or two levels in from the line in that paren mode.
int32_t AIParenCol(const AICtx& c, size_t i);

// Preprocessor directives, as each language's directive words name them.
enum { aiDirOther, aiDirIf, aiDirIf0, aiDirIfdef, aiDirElse, aiDirElif, aiDirEndif };
// What the preprocessor element needs from a language's table.
struct AIPreprocTokens {
  int16_t eol;
  int16_t backslash;
  int16_t dquote;
  int16_t squote;                              // -1: a "'" opens nothing there
  int (*directive)(const AICtx& c, size_t i);  // the aiDir* that token i names
};
// The preprocessor element: its lines stay where they are, its first word
// is the directive (conditionals keep the stack consistent across
// branches), strings in it are skipped and a backslash at the end carries
// it on to the next line.
AITake AIPreprocTake(AICtx& c, size_t i, const AIPreprocTokens& lang);

// ---- Per language ----
AITake AICTake(AICtx& c, size_t i);
void AICChildDone(AICtx& c, AIKind child);
int32_t AICPlainCol(AICtx& c);
AITake AIAdaTake(AICtx& c, size_t i);
void AIAdaChildDone(AICtx& c, AIKind child);
int32_t AIAdaPlainCol(AICtx& c);

// Token kinds of the C family table.
enum AICTok : int16_t {
  cLBrace,
  cRBrace,
  cEquals,
  cIf,
  cElse,
  cFor,
  cWhile,
  cSwitch,
  cClass,
  cStruct,
  cUnion,
  cEnum,
  cIfdef,
  cIfndef,
  cElif,
  cEndif,
  cLeader,
  cCommentOpen,
  cCommentClose,
  cLineComment,
  cLParen,
  cRParen,
  cLBracket,
  cRBracket,
  cDQuote,
  cSemicolon,
  cScope,
  cColon,
  cSQuote,
  cEscDQuote,
  cEscSQuote,
  cEscBackslash,
  cQuestion,
  cBackslash,
  cLess,
  cGreater,
  cPublic,
  cProtected,
  cPrivate,
  cOther = 40,
  cEol = 41,
};

// Token kinds of the Ada table.
enum AIAdaTok : int16_t {
  aBegin,
  aEnd,
  aSemicolon,
  aComment,
  aLabelOpen,
  aLabelClose,
  aLParen,
  aRParen,
  aAndThen,
  aUseType,
  aIf,
  aThen,
  aElsif,
  aElse,
  aLoop,
  aFor,
  aWhile,
  aDeclare,
  aException,
  aWhen,
  aArrow,
  aCase,
  aSelect,
  aOr,
  aAccept,
  aDo,
  aSeparate,
  aProcedure,
  aIs,
  aFunction,
  aPackage,
  aTask,
  aGeneric,
  aPrivate,
  aNew,
  aType,
  aSubtype,
  aRecord,
  aUse,
  aTagged,
  aWith,
  aDQuote,
  aSQuote,
  aAssign,
  aColon,
  aAbort,
  aLeader,
  aBackslash,
  aEndif,
  aProtected,
  aEntry,
  aBox,
  aOther = 53,
  aEol = 54,
};
