// The elements of the C family: how each takes the tokens of a line and
// where it puts the lines that start inside it.
#include <cctype>
#include <cstdio>

#include "windlib/config/aindentsettings.h"
#include "windlib/file/aindent_state.h"

namespace {

// Statement and definition flags.
constexpr uint16_t fHadParen = 1;    // a parenthesised part was seen
constexpr uint16_t fHadComma = 2;    // a "," was seen
constexpr uint16_t fTemplate = 4;    // it starts with "template"
constexpr uint16_t fAfterGt = 8;     // its last line ended with ">"
constexpr uint16_t fLineStart = 16;  // it started with the first token of its line
constexpr uint16_t fAccess = 32;     // "public", "protected" or "private" waits for its ":"
constexpr uint16_t fSeen = 64;       // it has taken its first token

bool is_quote(int16_t k) {
  return k == cDQuote || k == cSQuote;
}

bool first_of_line(const AICtx& c, size_t i) {
  return i == 0 && c.tok(i).kind != cEol;
}

void push_quote(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AIPush(c, t.kind == cDQuote ? aiString : aiChar, t.col, t.col);
}

void push_paren(AICtx& c, size_t i) {
  const int32_t col = AIParenCol(c, i);
  AIPush(c, c.tok(i).kind == cLBracket ? aiBracket : aiParen, col, col);
}

// Opens what token i opens inside an expression: a parenthesis, a bracket,
// a string or a character. False when it opens none of them.
bool open_nested(AICtx& c, size_t i) {
  const int16_t k = c.tok(i).kind;
  if (k == cLParen || k == cLBracket)
    push_paren(c, i);
  else if (is_quote(k))
    push_quote(c, i);
  else
    return false;
  return true;
}

// Tokens that end an expression element: what follows is no longer in it.
bool ends_expression(int16_t k) {
  return k == cSemicolon || k == cLBrace || k == cRBrace;
}

// The inner column of braces opened by token i: one level in when the "{"
// ends its line, else under the token after it.
int32_t brace_list_col(const AICtx& c, size_t i) {
  return AINextCol(c, i, c.s->firstCol + c.indent);
}

void push_statement(AICtx& c, size_t i) {
  AIElem& e = AIPush(c, aiStatement, c.s->firstCol + c.indent, c.s->firstCol);
  if (i == 0) e.flags |= fLineStart;
}

bool starts_statement(int16_t k) {
  return k != cIf && k != cElse && k != cFor && k != cWhile && k != cSwitch && k != cRBrace &&
         k != cSemicolon && k != cRParen && k != cRBracket && k != cEol;
}

AITake take_nothing(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  if (first_of_line(c, i)) AIDecide(c, 0, c.depth() - 1, -1, 0);
  if (!starts_statement(t.kind)) return aiTaken;
  if (i == 0 && t.col == 0) c.s->really = true;
  push_statement(c, i);
  return aiPass;
}

int32_t statement_line_col(const AIElem& e) {
  if ((e.flags & fTemplate) && (e.flags & fAfterGt)) return e.close;
  return e.close == 0 && !(e.flags & fHadComma) ? 0 : e.col;
}

// A ":" that ends a label: the label's line goes one level left of the
// lines around it.
void end_label(AICtx& c) {
  const bool relabel = (c.top().flags & fLineStart) && c.top().line == c.lineNo;
  AIPop(c, false);
  if (!relabel || c.top().kind != aiBrace) return;
  c.s->wished = -1;
  AIDecideTop(c, 0, -c.indent);
}

AITake take_statement(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AIElem& e = c.top();
  const bool first = first_of_line(c, i) && (e.flags & fSeen);
  if (first) {
    if (t.kind == cLBrace || ((e.flags & fTemplate) && (e.flags & fAfterGt)))
      AIDecideTop(c, 1);
    else if (t.kind == cColon && (e.flags & fHadParen) && e.aux == 0)
      AIDecideTop(c, 0);
    else if (e.close == 0 && !(e.flags & fHadComma))
      AIDecide(c, 0, c.depth() - 1, -1, 0);
    else
      AIDecideTop(c, 0);
  }
  if (!(e.flags & fSeen)) {
    e.flags |= fSeen;
    if (c.word(i) == "template") e.flags |= fTemplate;
  }
  if (t.kind != cEol) e.flags &= ~fAfterGt;
  switch (t.kind) {
    case cLBrace: {
      const int32_t col = e.col, close = e.close;
      AIPush(c, aiBrace, col, close);
      return aiTaken;
    }
    case cRBrace:
      AIPop(c, true);
      return aiPass;
    case cSemicolon:
      AIPop(c, true);
      return aiTaken;
    case cEquals: {
      // Like a ",", an "=" makes the continuation lines go in.
      e.flags |= fHadComma;
      const int32_t col = e.col, close = e.close;
      AIPush(c, aiHaveEquals, col, close);
      return aiTaken;
    }
    case cIf: {
      const int32_t close = e.close;
      AIReplace(c, aiIf, close + c.indent, close);
      return aiTaken;
    }
    case cFor:
    case cWhile:
    case cSwitch: {
      const int32_t close = e.close;
      AIElem& n = AIReplace(c, aiLoop, close + c.indent, close);
      n.aux = t.kind == cSwitch;
      return aiTaken;
    }
    case cClass:
    case cStruct:
    case cUnion:
    case cEnum:
      AIPush(c, aiHaveDefStart, c.s->firstCol, c.s->firstCol);
      return aiTaken;
    case cLParen:
      e.flags |= fHadParen;
      push_paren(c, i);
      return aiTaken;
    case cLBracket:
      push_paren(c, i);
      return aiTaken;
    case cDQuote:
    case cSQuote:
      push_quote(c, i);
      return aiTaken;
    case cQuestion:
      ++e.aux;
      return aiTaken;
    case cColon: {
      if (e.aux > 0) {
        --e.aux;
        return aiTaken;
      }
      if (!(e.flags & fHadParen)) {
        end_label(c);
        return aiTaken;
      }
      // A constructor's initializer list.
      const int32_t col =
          aIndent_parenIndentMode == kParenEvenWithParen ? AINextCol(c, i, t.col + t.len) : e.col;
      AIPush(c, aiInitExpr, col, col);
      return aiTaken;
    }
    case cEol:
      if (i > 0 && c.tok(i - 1).kind == cGreater) e.flags |= fAfterGt;
      return aiTaken;
    default:
      if (c.word(i) == ",") e.flags |= fHadComma;
      return aiTaken;
  }
}

AITake take_brace(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  if (first_of_line(c, i)) AIDecideTop(c, t.kind == cRBrace ? 1 : 0);
  switch (t.kind) {
    case cRBrace:
      AIPop(c, true);
      return aiTaken;
    case cSemicolon:
    case cEol:
    case cRParen:
    case cRBracket:
      return aiTaken;
    default:
      push_statement(c, i);
      return aiPass;
  }
}

// The condition-and-body elements: "if" (with "else") and "for", "while"
// and "switch". Phases: 0 before the condition, 1 waiting for the body, 2
// in it, 3 an if's body is done, 4 after "else", 5 in the else body.
AITake take_if_or_loop(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AIElem& e = c.top();
  const bool first = first_of_line(c, i);
  const bool is_if = e.kind == aiIf;
  switch (e.phase) {
    case 0:
      if (t.kind == cLBrace || t.kind == cSemicolon) {
        e.phase = 1;
        return aiPass;
      }
      if (first) AIDecideTop(c, 0);
      if (t.kind == cLParen)
        push_paren(c, i);
      else if (t.kind == cRBrace) {
        AIPop(c, true);
        return aiPass;
      }
      return aiTaken;
    case 1:
    case 4: {
      if (t.kind == cEol) return aiTaken;
      if (t.kind == cIf && e.phase == 4) {
        if (first) AIDecideTop(c, 1);
        e.phase = 0;
        return aiTaken;
      }
      if (t.kind == cSemicolon) {
        if (first) AIDecideTop(c, 0);
        if (is_if && e.phase == 1)
          e.phase = 3;
        else
          AIPop(c, true);
        return aiTaken;
      }
      if (t.kind == cRBrace) {
        AIPop(c, true);
        return aiPass;
      }
      ++e.phase;
      const int32_t close = e.close, inner = e.col;
      if (t.kind == cLBrace) {
        if (first) AIDecideTop(c, 1);
        const bool two = e.kind == aiLoop && e.aux && aIndent_switchInTwo;
        AIPush(c, aiStatement, close + (two ? 2 : 1) * c.indent, close).flags |= fSeen;
        return aiPass;
      }
      if (first) AIDecideTop(c, 0);
      AIElem& body = AIPush(c, aiStatement, inner + c.indent, inner);
      if (i == 0) body.flags |= fLineStart;
      return aiPass;
    }
    case 3:
      if (t.kind == cEol) return aiTaken;
      if (t.kind == cElse) {
        if (first) AIDecideTop(c, 1);
        e.phase = 4;
        return aiTaken;
      }
      AIPop(c, true);
      return aiPass;
    default:
      // A body that ended without saying so.
      AIPop(c, true);
      return aiPass;
  }
}

AITake take_have_equals(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  if (first_of_line(c, i)) AIDecideTop(c, 0);
  if (t.kind == cEol) return aiTaken;
  if (t.kind == cLBrace) {
    const int32_t close = c.s->firstCol;
    AIReplace(c, aiInitialization, brace_list_col(c, i), close);
    return aiTaken;
  }
  AIPop(c, false);
  return aiPass;
}

AITake take_initialization(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  if (first_of_line(c, i)) AIDecideTop(c, t.kind == cRBrace ? 1 : 0);
  switch (t.kind) {
    case cLBrace:
      AIPush(c, aiInitialization, brace_list_col(c, i), c.s->firstCol);
      return aiTaken;
    case cRBrace:
      AIPop(c, true);
      return aiTaken;
    default:
      open_nested(c, i);
      return aiTaken;
  }
}

// Tokens that end a definition's start before its body: the words were a
// declaration, which goes on as a statement.
bool ends_definition_start(int16_t k) {
  switch (k) {
    case cRBrace:
    case cEquals:
    case cIf:
    case cElse:
    case cFor:
    case cWhile:
    case cSwitch:
    case cLParen:
    case cRParen:
    case cLBracket:
    case cRBracket:
    case cDQuote:
    case cSQuote:
    case cSemicolon:
      return true;
    default:
      return false;
  }
}

void push_template(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  const int32_t col = AINextCol(c, i, t.col + t.len);
  AIPush(c, aiTemplate, col, col);
}

AITake take_definition_start(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AIElem& e = c.top();
  const bool super = e.kind == aiSuperClass;
  if (first_of_line(c, i)) AIDecideTop(c, super && t.kind == cLBrace ? 1 : 0);
  if (t.kind == cLBrace) {
    const int32_t close = super ? e.close : c.s->firstCol;
    AIReplace(c, aiDefinition, brace_list_col(c, i), close);
    return aiTaken;
  }
  if (t.kind == cColon && !super) {
    const int32_t close = e.col;
    const int32_t col = i == 0 ? e.col + c.indent : AINextCol(c, i, t.col + t.len);
    AIReplace(c, aiSuperClass, col, close);
    return aiTaken;
  }
  if (t.kind == cLess) {
    push_template(c, i);
    return aiTaken;
  }
  if (ends_definition_start(t.kind)) {
    AIPop(c, false);
    return aiPass;
  }
  return aiTaken;
}

AITake take_definition(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  AIElem& e = c.top();
  const bool access = t.kind == cPublic || t.kind == cProtected || t.kind == cPrivate;
  if (first_of_line(c, i)) {
    if (t.kind == cRBrace)
      AIDecideTop(c, 1);
    else if (access)
      AIDecide(c, e.close, c.depth() - 1, -1, 0);
    else if (t.kind == cColon)
      AIDecideTop(c, 0, c.indent);
    else
      AIDecideTop(c, 0);
  }
  if (access) {
    e.flags |= fAccess;
    return aiTaken;
  }
  switch (t.kind) {
    case cRBrace:
      AIPop(c, true);
      return aiTaken;
    case cLBrace: {
      const int32_t col = e.col;
      AIPush(c, aiBrace, col + c.indent, col);
      return aiTaken;
    }
    case cClass:
    case cStruct:
    case cUnion:
    case cEnum:
      AIPush(c, aiHaveDefStart, c.s->firstCol, c.s->firstCol);
      return aiTaken;
    case cColon: {
      if (e.flags & fAccess) {
        e.flags &= ~fAccess;
        return aiTaken;
      }
      // An initializer list or a bit-field.
      const int32_t close = e.col + c.indent;
      const int32_t col = aIndent_parenIndentMode == kParenEvenWithParen
                              ? AINextCol(c, i, t.col + t.len)
                              : close + c.indent;
      AIPush(c, aiInitExpr, col, close);
      return aiTaken;
    }
    case cSemicolon:
      e.flags &= ~fAccess;
      return aiTaken;
    default:
      open_nested(c, i);
      return aiTaken;
  }
}

AITake take_init_expr(AICtx& c, size_t i) {
  if (ends_expression(c.tok(i).kind)) {
    AIPop(c, false);
    return aiPass;
  }
  if (first_of_line(c, i)) AIDecideTop(c, 0);
  open_nested(c, i);
  return aiTaken;
}

AITake take_template(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  if (ends_expression(t.kind)) {
    AIPop(c, false);
    return aiPass;
  }
  if (first_of_line(c, i)) AIDecideTop(c, 0);
  if (t.kind == cLess)
    push_template(c, i);
  else if (t.kind == cGreater)
    AIPop(c, false);
  else if (is_quote(t.kind))
    push_quote(c, i);
  return aiTaken;
}

AITake take_paren(AICtx& c, size_t i) {
  const AIToken& t = c.tok(i);
  const AIElem& e = c.top();
  if (first_of_line(c, i)) AIDecideTop(c, 0);
  if (open_nested(c, i)) return aiTaken;
  if ((t.kind == cRParen && e.kind == aiParen) || (t.kind == cRBracket && e.kind == aiBracket))
    AIPop(c, true);
  return aiTaken;
}

int directive_of(const AICtx& c, size_t i) {
  switch (c.tok(i).kind) {
    case cIf: {
      const AIToken& t = c.tok(i);
      const char* p = c.text + t.pos + t.len;
      const char* end = c.text + c.len;
      while (p < end && (*p == ' ' || *p == '\t')) ++p;
      const bool zero =
          p < end && *p == '0' &&
          (p + 1 == end || !(std::isalnum(static_cast<unsigned char>(p[1])) || p[1] == '_'));
      return zero ? aiDirIf0 : aiDirIf;
    }
    case cIfdef:
    case cIfndef:
      return aiDirIfdef;
    case cElse:
      return aiDirElse;
    case cElif:
      return aiDirElif;
    case cEndif:
      return aiDirEndif;
    default:
      return aiDirOther;
  }
}

constexpr AIPreprocTokens kPreproc{cEol, cBackslash, cDQuote, cSQuote, directive_of};

}  // namespace

AITake AICTake(AICtx& c, size_t i) {
  switch (c.top().kind) {
    case aiNothing:
      return take_nothing(c, i);
    case aiStatement:
      return take_statement(c, i);
    case aiBrace:
      return take_brace(c, i);
    case aiIf:
    case aiLoop:
      return take_if_or_loop(c, i);
    case aiHaveEquals:
      return take_have_equals(c, i);
    case aiInitialization:
      return take_initialization(c, i);
    case aiHaveDefStart:
    case aiSuperClass:
      return take_definition_start(c, i);
    case aiDefinition:
      return take_definition(c, i);
    case aiInitExpr:
      return take_init_expr(c, i);
    case aiTemplate:
      return take_template(c, i);
    case aiParen:
    case aiBracket:
      return take_paren(c, i);
    case aiPreproc:
      return AIPreprocTake(c, i, kPreproc);
    default:
      fprintf(stderr, "C_%d_TakeToken called on line %d with an element of another language.\n",
              static_cast<int>(c.top().kind), c.lineNo);
      AIPop(c, false);
      return aiPass;
  }
}

void AICChildDone(AICtx& c, AIKind child) {
  AIElem& e = c.top();
  switch (e.kind) {
    case aiIf:
    case aiLoop:
      if (e.phase == 0 && child == aiParen)
        e.phase = 1;
      else if (e.phase == 2 && e.kind == aiIf)
        e.phase = 3;
      else if (e.phase == 2 || e.phase == 5)
        AIPop(c, true);
      return;
    case aiStatement:
      if (child == aiBrace) AIPop(c, true);
      return;
    default:
      return;
  }
}

int32_t AICPlainCol(AICtx& c) {
  const AIElem& e = c.top();
  switch (e.kind) {
    case aiNothing:
      return 0;
    case aiStatement:
      return statement_line_col(e);
    case aiIf:
      return e.phase == 3 ? e.close : e.col;
    case aiComment:
      return e.phase == 2 ? e.col : e.close + 1;
    case aiPreproc:
      return -1;
    default:
      return e.col;
  }
}
