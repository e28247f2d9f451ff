#include "windlib/file/fileindent.h"

#include <string>
#include <utility>

#include "windlib/config/aindentsettings.h"
#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/filesyntax.h"
#include "windlib/file/lineindent.h"
#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"

bool (*FileAutoIndentLanguageHook)(File* f, AI_Lang* lang, char* leader) = nullptr;

namespace {

// The cached parser state of a file (File::autoIndentTag): the state at the
// start of `line`, made with these settings.
struct AICache {
  int32_t line = 0;
  AutoIndentLine_Tag* state = nullptr;
  int32_t indentSize = 0, tabsize = 0, parenMode = 0, continuation = 0;
  bool switchInTwo = false;
  bool utf8 = false;
  AI_Lang lang = AI_LangC;
  char leader = 0;

  ~AICache() { AIndent_Delete(state); }
};

AICache* cache_of(File* f) {
  return static_cast<AICache*>(f->autoIndentTag);
}

bool cache_fits(const AICache* c, File* f, int32_t indentSize, AI_Lang lang, char leader) {
  return c && c->indentSize == indentSize && c->tabsize == cfgTabSize &&
         c->utf8 == GeomFileUtf8(f) && c->parenMode == aIndent_parenIndentMode &&
         c->continuation == aIndent_indentForContinuation &&
         c->switchInTwo == aIndent_switchInTwo && c->lang == lang && c->leader == leader;
}

// A change above the cached line makes its state stale.
class CacheKeeper : public FileObserver {
 public:
  void FileTextChanged(File* f, const FileChangeEvent& e) override {
    const AICache* c = cache_of(f);
    if (c && e.start.line < c->line) FileAutoIndentForget(f);
  }
  void FileReloaded(File* f) override { FileAutoIndentForget(f); }
  void FileContentsGone(File* f) override { FileAutoIndentForget(f); }
};

void keep_caches() {
  static CacheKeeper keeper;
  static bool added = false;
  if (!added) {
    FilesAddObserver(&keeper);
    added = true;
  }
}

void store_cache(File* f, int32_t line, const AutoIndentLine_Tag* st, int32_t indentSize,
                 AI_Lang lang, char leader) {
  FileAutoIndentForget(f);
  auto* c = new AICache;
  c->line = line;
  c->state = AIndent_Clone(st);
  c->indentSize = indentSize;
  c->tabsize = cfgTabSize;
  c->parenMode = aIndent_parenIndentMode;
  c->continuation = aIndent_indentForContinuation;
  c->switchInTwo = aIndent_switchInTwo;
  c->utf8 = GeomFileUtf8(f);
  c->lang = lang;
  c->leader = leader;
  f->autoIndentTag = c;
}

// The state at the start of line `first`: parsed from the nearest line
// above that begins a construct, or from the cached state.
AutoIndentLine_Tag* state_before(File* f, Line* line, int32_t first, int32_t indentSize,
                                 AI_Lang lang, char leader) {
  keep_caches();
  AICache* cache = cache_of(f);
  if (!cache_fits(cache, f, indentSize, lang, leader)) {
    FileAutoIndentForget(f);
    cache = nullptr;
  }
  int32_t start = first;
  Line* l = line;
  if (first > 1) {
    start = first - 1;
    l = line ? line->prev : f->last;
    for (; start > 1 && l; --start, l = l->prev) {
      if (cache && cache->line == start) break;
      const char* text = FileLineText(f, l);
      if (AIndent_ReallyBeginning(lang, leader, text, l->len) && !FileLineStartsInComment(f, start))
        break;
    }
    if (!l) l = f->first;
  }
  AutoIndentLine_Tag* st;
  if (cache && cache->line == start) {
    st = AIndent_Clone(cache->state);
  } else {
    FileAutoIndentForget(f);
    st = AIndent_New(lang, leader);
  }
  AIndent_AdjustPreprocesorLeader(st, leader);
  AIndent_SetUtf8(st, GeomFileUtf8(f));
  for (int32_t n = start; n < first && l; ++n, l = l->next) {
    if (n == first - 15) store_cache(f, n, st, indentSize, lang, leader);
    AIndent_ParseLine(st, FileLineText(f, l), l->len, indentSize, cfgTabSize, n);
  }
  return st;
}

}  // namespace

bool FileAutoIndentLanguage(File* f, AI_Lang* lang, char* leader) {
  if (!f || !f->language || !FileAutoIndentLanguageHook) return false;
  return FileAutoIndentLanguageHook(f, lang, leader);
}

void FileAutoIndentForget(File* f) {
  delete cache_of(f);
  f->autoIndentTag = nullptr;
}

void FileIndent(File* f, Line* hint, int32_t hintNo, int32_t first, int32_t last, int32_t delta) {
  if (first > last) std::swap(first, last);
  if (first < 1) first = 1;
  if (last > f->nLines) last = f->nLines;
  if (first > last || delta == 0) return;
  FileCloseUndo(f);
  FilexIndent(f, hint, hintNo, first, last, delta, 0);
  FileCloseUndo(f);
}

int32_t FileAutoIndent(File* f, Line* hint, int32_t hintNo, int32_t l1, int32_t c1, int32_t l2,
                       int32_t c2, int32_t indentSize, bool explicitly) {
  AI_Lang lang;
  char leader = 0;
  if (!FileAutoIndentLanguage(f, &lang, &leader)) return -1;
  SelectionNormalize(&l1, &c1, &l2, &c2);
  if (l2 > l1 && c2 == 0) --l2;
  if (l1 < 1) l1 = 1;
  if (l2 > f->nLines + 1) l2 = f->nLines + 1;
  if (l1 > l2) return 0;
  const bool several = l2 > l1;
  const bool touch = aIndent_touchComments;
  if (!several) aIndent_touchComments = true;

  Line* line = l1 <= f->nLines ? FileLine(f, l1, hint, hintNo) : nullptr;
  AutoIndentLine_Tag* st = state_before(f, line, l1, indentSize, lang, leader);
  FileCloseUndo(f);
  Undo* mark = f->undo;
  const bool tabs = cfgTabSize != 0 && !vfTabsAreSpaces;
  const GeomRule rule{cfgTabSize, GeomEscapes::kControlDel};
  int32_t changed = 0;
  for (int32_t n = l1; n <= l2; ++n) {
    const char* text = line ? FileLineText(f, line) : "";
    const int32_t len = line ? line->len : 0;
    AutoIndentLine_Tag* probe = AIndent_Clone(st);
    int32_t wished = AIndent_GetIndentColumn(probe, text, len, indentSize, cfgTabSize, n);
    // Indenting implied by typing leaves comments alone when so set.
    const bool keep = !explicitly && !aIndent_implicitAIndentInComments &&
                      (AIndent_InComment(st) || AIndent_LineIsComment(probe));
    AIndent_Delete(probe);
    if (wished < 0) wished = 0;
    int32_t bytes = 0;
    const int32_t current = GeomIndentOf(text, len, rule, &bytes).v;
    std::string indent;
    bool change = false;
    if (keep) {
      change = false;
    } else if (bytes == len && several) {
      change = len > 0;  // blank lines of a range lose their blanks
    } else if (wished != current) {
      indent = GeomIndentText(DisplayCol(wished), tabs ? cfgTabSize : 0);
      change = true;
    }
    if (change) {
      FileChange(f, line, n, n, 0, n, bytes, indent.data(), static_cast<int32_t>(indent.size()),
                 false);
      FileCloseUndo(f);
      ++changed;
      if (!line) line = f->last;  // the missing last line was made
    }
    if (line) AIndent_ParseLine(st, FileLineText(f, line), line->len, indentSize, cfgTabSize, n);
    line = line ? line->next : nullptr;
  }
  AIndent_Delete(st);
  aIndent_touchComments = touch;
  if (changed > 0 && !f->undoOff && f->undo != mark)
    f->undo = UndoGroupFrom(f->undo, mark, l1, 0, l2, 0);
  return changed;
}
