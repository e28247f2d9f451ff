// Matching delimiters: ( ) [ ] { }, the preprocessor group and begin / end.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editmatch.h"
#include "windlib/edit/editsearch.h"
#include "windlib/file/filesyntax.h"
#include "windlib/wwait.h"
#include "windlib/x11/wgui.h"

namespace {
// One delimiter: its text ('#' stands for the language's preprocessor
// character), its group and whether it opens the group.
struct Token {
  const char* text;
  int group;
  bool opens;
};
enum { kParen, kBracket, kBrace, kBlock, kPreprocessor };

const Token kCTokens[] = {
    {"(", kParen, true},
    {")", kParen, false},
    {"[", kBracket, true},
    {"]", kBracket, false},
    {"{", kBrace, true},
    {"}", kBrace, false},
    {"#if", kPreprocessor, true},
    {"#ifdef", kPreprocessor, true},
    {"#ifndef", kPreprocessor, true},
    {"#endif", kPreprocessor, false},
};
const Token kBlockTokens[] = {
    {"begin", kBlock, true},
    {"end", kBlock, false},
    {"(", kParen, true},
    {")", kParen, false},
    {"[", kBracket, true},
    {"]", kBracket, false},
    {"#if", kPreprocessor, true},
    {"#ifdef", kPreprocessor, true},
    {"#ifndef", kPreprocessor, true},
    {"#endif", kPreprocessor, false},
};

// Characters scanned between two looks at pending events.
constexpr int32_t kPollEvery = 32768;
// How far before a position a word or preprocessor token may start and
// still touch it.
constexpr int32_t kLongestToken = 64;

bool is_word(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// A language's delimiters, and the characters one of them can start with
// (most characters start none, so most are passed at one look).
struct Vocabulary {
  std::vector<Token> tokens;
  bool starts[256] = {};
};

Vocabulary vocabulary_of(const EditMatchLanguage& lang) {
  Vocabulary v;
  if (lang.beginEnd)
    v.tokens.assign(std::begin(kBlockTokens), std::end(kBlockTokens));
  else
    v.tokens.assign(std::begin(kCTokens), std::end(kCTokens));
  for (const Token& tok : v.tokens) {
    auto c = static_cast<unsigned char>(tok.text[0] == '#' ? lang.preprocessor : tok.text[0]);
    v.starts[c] = true;
    if (lang.caseInsensitive) {
      v.starts[static_cast<unsigned char>(std::tolower(c))] = true;
      v.starts[static_cast<unsigned char>(std::toupper(c))] = true;
    }
  }
  return v;
}

bool same(char a, char b, bool fold) {
  if (!fold) return a == b;
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// The length of `tok` standing at column i of the text, or 0.
int32_t token_length(const EditMatchLanguage& lang, const char* t, int32_t len, int32_t i,
                     const Token& tok) {
  const char* word = tok.text;
  int32_t j = i;
  if (word[0] == '#') {
    if (i >= len || t[i] != lang.preprocessor) return 0;
    ++j;
    while (j < len && (t[j] == ' ' || t[j] == '\t')) ++j;
    ++word;
  } else if (is_word(word[0]) && i > 0 && is_word(t[i - 1])) {
    return 0;  // inside a longer word
  }
  for (; *word; ++word, ++j)
    if (j >= len || !same(t[j], *word, lang.caseInsensitive)) return 0;
  // A word ends where the token ends: "#if" is no part of "#ifdef".
  if (is_word(word[-1]) && j < len && is_word(t[j])) return 0;
  return j - i;
}

// The delimiter standing at column i, if any.
const Token* token_at(const EditMatchLanguage& lang, const Vocabulary& vocabulary, const char* t,
                      int32_t len, int32_t i, int32_t* length) {
  if (!vocabulary.starts[static_cast<unsigned char>(t[i])]) return nullptr;
  for (const Token& tok : vocabulary.tokens) {
    if (int32_t n = token_length(lang, t, len, i, tok)) {
      *length = n;
      return &tok;
    }
  }
  return nullptr;
}

// Watches for the user's interrupt while a scan runs: Escape and Abort ask
// the view's search to give up.
class Interrupt {
 public:
  explicit Interrupt(Edit* edit) : edit_(edit), alive_(30, edit), file_(edit->file) {
    epoch_ = file_->lineEpoch;
    state_ = EditSearchState(edit);
    state_->set(ssRunning, true);
    state_->set(ssAbort, false);
  }
  ~Interrupt() {
    if (!alive_.alive()) return;
    state_->set(ssRunning | ssAbort, false);
    state_->pending = 0;  // a search asked for meanwhile was refused
  }
  // True when the scan must give up: the user asked, or the view went or
  // shows another file.
  bool Step() {
    if (++scanned_ < kPollEvery) return false;
    scanned_ = 0;
    WEventAll(0);
    return !alive_.alive() || edit_->file != file_ || state_->has(ssAbort);
  }
  // True once after the file's line records were replaced meanwhile: the
  // scan must find its lines again by number.
  bool LinesMoved() {
    if (file_->lineEpoch == epoch_) return false;
    epoch_ = file_->lineEpoch;
    return true;
  }

 private:
  Edit* edit_;
  HandleRef alive_;
  File* file_;
  uint32_t epoch_;
  _SearchAble* state_;
  int32_t scanned_ = 0;
};

// A place in the text while scanning.
struct Cursor {
  Line* l;
  int32_t n, i;
};

// Scans from the delimiter `from` (standing on `token`) for its match. An
// opener met on the way (a closer, going backward) is matched first; one
// that has no match by the file's edge is passed over and the scan goes on
// after it.
int scan(Edit* e, const EditMatchLanguage& lang, const Token& from, TextRange token,
         TextRange* match) {
  const Vocabulary tokens = vocabulary_of(lang);
  const bool forward = from.opens;
  // The pairs waiting for their other half, innermost last, each with
  // where the scan goes on when it has none.
  struct Waiting {
    int group;
    Cursor resume;
  };
  Line* first = EditLineAt(e, token.begin.line);
  if (!first) return 0;
  Cursor c{first, token.begin.line, forward ? token.end.col : token.begin.col - 1};
  std::vector<Waiting> open = {{from.group, c}};
  Interrupt interrupt(e);
  for (;;) {
    if (forward ? c.i >= c.l->len : c.i < 0) {
      Line* next = forward ? c.l->next : c.l->prev;
      if (next) {
        c = Cursor{next, c.n + (forward ? 1 : -1), forward ? 0 : next->len - 1};
        continue;
      }
      if (open.size() == 1) return 0;
      c = open.back().resume;
      open.pop_back();
      continue;
    }
    if (interrupt.Step()) return -1;
    if (interrupt.LinesMoved()) {
      // Events served meanwhile changed the text: the places are found
      // again by their line numbers.
      auto relocate = [e](Cursor* at) {
        at->l = FileLine(e->file, at->n, nullptr, 0);
        return at->l != nullptr;
      };
      if (!relocate(&c)) return 0;
      for (Waiting& w : open)
        if (!relocate(&w.resume)) return 0;
      if (!forward) c.i = std::min(c.i, c.l->len - 1);  // the line may be shorter now
      continue;
    }
    int32_t len = 0;
    // Delimiters in comments, strings and dead code do not count.
    const Token* tok = FileIsCode(e->file, c.n, c.i)
                           ? token_at(lang, tokens, FileLineText(e->file, c.l), c.l->len, c.i, &len)
                           : nullptr;
    const int32_t at = c.i;
    const int32_t step = forward ? (tok ? len : 1) : -1;
    c.i += step;
    if (!tok) continue;
    if (tok->opens != forward && tok->group == open.back().group) {
      open.pop_back();
      if (open.empty()) {
        *match = TextRange{{c.n, at}, {c.n, at + len}};
        return 1;
      }
    } else if (tok->opens == forward) {
      open.push_back({tok->group, c});
    }
  }
}

bool delimiter_near(Edit* e, const EditMatchLanguage& lang, TextPos at, Token* found,
                    TextRange* token) {
  Line* l = EditLineAt(e, at.line);
  if (!l) return false;
  const char* t = FileLineText(e->file, l);
  const Vocabulary tokens = vocabulary_of(lang);
  auto take = [&](const Token* tok, int32_t i, int32_t len) {
    *token = TextRange{{at.line, i}, {at.line, i + len}};
    *found = *tok;
    return true;
  };
  for (int32_t i : {at.col - 1, at.col}) {
    int32_t len = 0;
    if (i < 0 || i >= l->len) continue;
    const Token* tok = token_at(lang, tokens, t, l->len, i, &len);
    if (tok && tok->text[1] == '\0') return take(tok, i, len);
  }
  for (int32_t i = std::min(at.col, l->len - 1); i >= 0 && i >= at.col - kLongestToken; --i) {
    int32_t len = 0;
    const Token* tok = token_at(lang, tokens, t, l->len, i, &len);
    if (tok && i + len >= at.col) return take(tok, i, len);
  }
  return false;
}

int find_for_command(Edit* e, TextRange* token, TextRange* match) {
  return EditFindMatch(e, EditMatchLanguageOf(e), {e->caretLine, e->caretColumn}, token, match);
}

struct Flash {
  Edit* edit;
  HandleRef alive;
};

int end_flash(void* data, int) {
  auto* flash = static_cast<Flash*>(data);
  if (flash->alive.alive()) flash->edit->PlaceCaret();
  delete flash;
  return 1;
}

int CmdShowMatch(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  TextRange token, match;
  if (find_for_command(e, &token, &match) != 1) return 1;
  const int32_t ml = match.begin.line;
  if (ml < e->topLineNo || ml >= e->topLineNo + e->fullRows()) {
    // Off screen: show the matching line instead.
    Line* l = EditLineAt(e, ml);
    std::string text = l ? std::string(FileLineText(e->file, l), static_cast<size_t>(l->len)) : "";
    EditSetMsg(e, ("Matches: " + text).c_str());
    return 1;
  }
  // On screen: the caret stands on the match for a moment.
  int32_t dcol = EditDisplayColumn(e, ml, match.begin.col) - e->hScroll;
  e->text->SetCaretCell(dcol, ml - e->topLineNo, true, WTextArea::CaretShape::Block);
  auto* flash = new Flash{e, HandleRef(30, e)};
  mHandle* timer = ExtraProcess_Create(epTimer, 300, end_flash, nullptr, flash);
  MHandleDestroy(timer);
  return 1;
}

int CmdSelectToMatch(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  TextRange token, match;
  if (find_for_command(e, &token, &match) != 1) return 1;
  // From the delimiter at the caret over its match, both included.
  if (match.begin < token.begin)
    EditSetSelection(e, token.end.line, token.end.col, match.begin.line, match.begin.col);
  else
    EditSetSelection(e, token.begin.line, token.begin.col, match.end.line, match.end.col);
  e->ShowCaret();
  return 1;
}

int CmdSelectMatch(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  TextRange token, match;
  if (find_for_command(e, &token, &match) != 1) return 1;
  EditSetSelection(e, match.begin.line, match.begin.col, match.end.line, match.end.col);
  e->ShowCaret();
  return 1;
}

const CmdEntry kCommands[] = {
    {"ShowMatch", CmdShowMatch, 0},
    {"SelectToMatch", CmdSelectToMatch, kCmdMoves},
    {"SelectMatch", CmdSelectMatch, kCmdMoves},
};
}  // namespace

EditCmdSet EditMatchCmds() {
  return {kCommands, {}};
}

bool (*EditFileLanguageHook)(File* file, std::string* name, EditMatchLanguage* match) = nullptr;

EditMatchLanguage EditMatchLanguageOf(Edit* edit) {
  EditMatchLanguage lang;
  std::string name;
  if (EditFileLanguageHook && edit->file) EditFileLanguageHook(edit->file, &name, &lang);
  return lang;
}

int EditFindMatch(Edit* edit, const EditMatchLanguage& lang, TextPos at, TextRange* token,
                  TextRange* match) {
  if (!edit->file) return 0;
  Token tok;
  if (!delimiter_near(edit, lang, at, &tok, token)) return 0;
  return scan(edit, lang, tok, *token, match);
}
