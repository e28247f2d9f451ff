// The elements of Ada, indenting as GNAT sources are laid out: the bodies
// of units, blocks, ifs, loops and records one level in with "begin",
// "exception", "elsif", "else", "private" and "end" at the level of their
// construct; "when" arms one level in and their statements another level in;
// continuation lines by the continuation indent.
#include <strings.h>

#include <cstdio>
#include <cstring>

#include "windlib/config/aindentsettings.h"
#include "windlib/file/aindent_state.h"

namespace {

// What a statement turns into, from its first words.
enum StatementSort : int32_t {
  stPlain,
  stIf,        // "if": "then" makes it an if block
  stElsif,     // the condition of an "elsif": "then" ends it
  stCase,      // "case": "is" makes it a case block
  stUnit,      // a subprogram, package, task, protected or entry: "is" opens its body
  stType,      // "type" or "subtype": "is" goes on, "record" opens a block
  stSeparate,  // "separate (Parent)", which ends with its line
  stEnd,       // "end" and the words that name what it ends
};

// Sorts of blocks (aiBlock's aux).
enum BlockSort : int32_t { bkIf, bkLoop, bkCase, bkRecord, bkSelect, bkBegin, bkGeneric };

constexpr uint16_t fSeen = 1;

bool first_of_line(const AICtx& c, size_t i) {
  return i == 0 && c.tok(i).kind != aEol;
}

bool word_is(const AICtx& c, size_t i, const char* w) {
  const std::string_view s = c.word(i);
  return s.size() == strlen(w) && strncasecmp(s.data(), w, s.size()) == 0;
}

void push_paren(AICtx& c, size_t i) {
  const int32_t col = AIParenCol(c, i);
  AIPush(c, aiParen, col, col);
}

// A "'" starts a character literal only when a "'" follows the next
// character; otherwise it is an attribute's tick.
void maybe_push_char(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  if (t.pos + 2 < c.len && c.text[t.pos + 2] == '\'') AIPush(c, aiChar, t.col, t.col);
}

// Opens what token i opens inside an expression: a parenthesis, a string
// or a character literal.
void open_nested(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  if (t.kind == aLParen)
    push_paren(c, i);
  else if (t.kind == aDQuote)
    AIPush(c, aiString, t.col, t.col);
  else if (t.kind == aSQuote)
    maybe_push_char(c, i);
}

// The sort of statement a first word begins, or stPlain.
StatementSort sort_of_first_word(int16_t k) {
  switch (k) {
    case aIf:
      return stIf;
    case aCase:
      return stCase;
    case aType:
    case aSubtype:
      return stType;
    case aSeparate:
      return stSeparate;
    default:
      return stPlain;
  }
}

AIElem& push_statement(AICtx& c) {
  return AIPush(c, aiStatement, c.s->firstCol + aIndent_indentForContinuation, c.s->firstCol);
}

AIElem& make_block(AICtx& c, AIKind kind, int32_t sort) {
  const int32_t close = c.top().close;
  AIElem& b = AIReplace(c, kind, close + c.indent, close);
  b.aux = sort;
  return b;
}

bool unit_word(int16_t k) {
  return k == aProcedure || k == aFunction || k == aPackage || k == aTask || k == aProtected ||
         k == aEntry;
}

AITake take_nothing(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  if (first_of_line(c, i)) AIDecide(c, 0, c.depth() - 1, -1, 0);
  switch (t.kind) {
    case aEol:
    case aSemicolon:
    case aEnd:
      return aiTaken;
    case aOther:
    case aWith:
    case aUse:
    case aUseType:
    case aPackage:
    case aProcedure:
    case aFunction:
    case aGeneric:
    case aSeparate:
    case aTask:
    case aProtected:
    case aType:
    case aSubtype:
      if (i == 0 && t.col == 0) c.s->really = true;
      break;
    default:
      break;
  }
  push_statement(c);
  return aiPass;
}

// "is" in a unit's header opens its body unless the unit is an instance, a
// renaming, separate, abstract, null or an expression function.
bool is_opens_body(const AICtx& c, size_t i) {
  if (AIEndsLine(c, i)) return true;
  const int16_t k = c.tok(i + 1).kind;
  if (k == aNew || k == aSeparate || k == aLParen || k == aBox) return false;
  return !word_is(c, i + 1, "abstract") && !word_is(c, i + 1, "null");
}

AITake take_statement(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AIElem& e = c.top();
  if (first_of_line(c, i) && (e.flags & fSeen)) {
    const bool closing_word = t.kind == aThen || t.kind == aLoop || t.kind == aIs || t.kind == aDo;
    AIDecideTop(c, closing_word ? 1 : 0);
  }
  if (!(e.flags & fSeen) && t.kind != aEol) {
    e.flags |= fSeen;
    if (t.kind == aGeneric) {
      make_block(c, aiBlock, bkGeneric);
      return aiTaken;
    }
    const StatementSort sort = sort_of_first_word(t.kind);
    if (sort != stPlain) {
      e.aux = sort;
      return aiTaken;
    }
  }
  if (e.aux == stEnd) {
    if (t.kind == aSemicolon) AIPop(c, true);
    return aiTaken;
  }
  if (unit_word(t.kind) && e.aux == stPlain) e.aux = stUnit;
  switch (t.kind) {
    case aSemicolon:
      AIPop(c, true);
      return aiTaken;
    case aThen:
      if (e.aux == stIf)
        make_block(c, aiBlock, bkIf);
      else if (e.aux == stElsif)
        AIPop(c, false);
      return aiTaken;
    case aLoop:
      make_block(c, aiBlock, bkLoop);
      return aiTaken;
    case aIs:
      if (e.aux == stCase)
        make_block(c, aiBlock, bkCase);
      else if (e.aux == stUnit && is_opens_body(c, i))
        make_block(c, aiAfterIs, 0);
      return aiTaken;
    case aRecord:
      if (AIEndsLine(c, i) || c.tok(i + 1).kind != aSemicolon) make_block(c, aiBlock, bkRecord);
      return aiTaken;
    case aDo:
    case aBegin:
      make_block(c, aiBlock, bkBegin);
      return aiTaken;
    case aDeclare:
      make_block(c, aiAfterIs, 0);
      return aiTaken;
    case aSelect:
      make_block(c, aiBlock, bkSelect);
      return aiTaken;
    case aEol:
      if (e.aux == stSeparate) AIPop(c, true);
      return aiTaken;
    default:
      open_nested(c, i);
      return aiTaken;
  }
}

// The end of a construct: "end" and the words after it up to ";" make a
// statement of their own that the ";" ends.
void end_construct(AICtx& c) {
  AIPop(c, true);
  AIElem& e = push_statement(c);
  e.flags |= fSeen;
  e.aux = stEnd;
}

// Blocks: ifs, loops, case statements, records, selects, plain blocks and
// generic formal parts (aiBlock), and the bodies after a unit's "is" or a
// "declare" (aiAfterIs), whose phase says: 0 declarations, 1 statements
// after "begin", 2 exception handlers.
AITake take_block(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AIElem& e = c.top();
  const bool first = first_of_line(c, i);
  const bool after_is = e.kind == aiAfterIs;
  const int32_t sort = after_is ? -1 : e.aux;
  if (t.kind == aEol || t.kind == aSemicolon) return aiTaken;
  if (sort == bkGeneric && (t.kind == aProcedure || t.kind == aFunction || t.kind == aPackage)) {
    AIPop(c, true);
    return aiPass;
  }
  bool at_close = false;
  switch (t.kind) {
    case aEnd:
      if (first) AIDecideTop(c, 1);
      end_construct(c);
      return aiTaken;
    case aElsif:
    case aElse:
      if (sort != bkIf && sort != bkSelect) break;
      if (first) AIDecideTop(c, 1);
      if (t.kind == aElsif) push_statement(c).aux = stElsif;
      return aiTaken;
    case aOr:
    case aThen:
      at_close = sort == bkSelect;
      break;
    case aBegin:
      at_close = after_is && e.phase == 0;
      if (at_close) e.phase = 1;
      break;
    case aException:
      at_close = after_is || sort == bkBegin;
      if (at_close) e.phase = 2;
      break;
    case aPrivate:
      at_close = after_is && e.phase == 0 && first;
      break;
    case aWhen:
      if (sort == bkCase || sort == bkSelect || e.phase == 2) {
        if (first) AIDecideTop(c, 0);
        const int32_t col = e.col;
        AIPush(c, aiWhen, col + c.indent, col);
        return aiTaken;
      }
      break;
    default:
      break;
  }
  if (at_close) {
    if (first) AIDecideTop(c, 1);
    return aiTaken;
  }
  if (first) AIDecideTop(c, 0);
  push_statement(c);
  return aiPass;
}

// A "when" of a case, a handler or a select: phase 0 its choices up to
// "=>", phase 1 the statements of its arm.
AITake take_when(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AIElem& e = c.top();
  const bool first = first_of_line(c, i);
  if (e.phase == 0) {
    if (first) AIDecide(c, e.close + aIndent_indentForContinuation, c.depth() - 1, -1, 0);
    if (t.kind == aArrow)
      e.phase = 1;
    else
      open_nested(c, i);
    return aiTaken;
  }
  switch (t.kind) {
    case aEol:
    case aSemicolon:
      return aiTaken;
    case aWhen:
    case aEnd:
    case aOr:
    case aElse:
    case aException:
      AIPop(c, false);
      return aiPass;
    default:
      if (first) AIDecideTop(c, 0);
      push_statement(c);
      return aiPass;
  }
}

AITake take_label(AICtx& c, size_t i) {
  if (first_of_line(c, i)) AIDecideTop(c, 0);
  if (c.tok(i).kind == aLabelClose) AIPop(c, false);
  return aiTaken;
}

AITake take_paren(AICtx& c, size_t i) {
  if (first_of_line(c, i)) AIDecideTop(c, 0);
  if (c.tok(i).kind == aRParen)
    AIPop(c, true);
  else
    open_nested(c, i);
  return aiTaken;
}

int directive_of(const AICtx& c, size_t i) {
  switch (c.tok(i).kind) {
    case aIf: {
      const AIToken& t = c.tok(i);
      size_t p = static_cast<size_t>(t.pos + t.len);
      while (p < static_cast<size_t>(c.len) && (c.text[p] == ' ' || c.text[p] == '\t')) ++p;
      return p < static_cast<size_t>(c.len) && c.text[p] == '0' ? aiDirIf0 : aiDirIf;
    }
    case aElsif:
      return aiDirElif;
    case aElse:
      return aiDirElse;
    case aEnd:
    case aEndif:
      return aiDirEndif;
    default:
      return aiDirOther;
  }
}

// A "'" on a preprocessor line opens nothing.
constexpr AIPreprocTokens kPreproc{aEol, aBackslash, aDQuote, -1, directive_of};

}  // namespace

AITake AIAdaTake(AICtx& c, size_t i) {
  // "<<" opens a label wherever statements stand.
  switch (c.top().kind) {
    case aiNothing:
      return take_nothing(c, i);
    case aiStatement:
      if (c.tok(i).kind == aLabelOpen) {
        AIPush(c, aiLabel, c.top().col, c.top().col);
        return aiTaken;
      }
      return take_statement(c, i);
    case aiBlock:
    case aiAfterIs:
      return take_block(c, i);
    case aiWhen:
      return take_when(c, i);
    case aiLabel:
      return take_label(c, i);
    case aiParen:
      return take_paren(c, i);
    case aiPreproc:
      return AIPreprocTake(c, i, kPreproc);
    default:
      fprintf(stderr, "Ada_%d_TakeToken called on line %d with an element of another language.\n",
              static_cast<int>(c.top().kind), c.lineNo);
      AIPop(c, false);
      return aiPass;
  }
}

void AIAdaChildDone(AICtx&, AIKind) {}

int32_t AIAdaPlainCol(AICtx& c) {
  const AIElem& e = c.top();
  switch (e.kind) {
    case aiNothing:
      return 0;
    case aiWhen:
      return e.phase == 0 ? e.close + aIndent_indentForContinuation : e.col;
    case aiPreproc:
      return -1;
    default:
      return e.col;
  }
}
