#include "orvex/syntax_coloring/synfile.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "orvex/syntax_coloring/synextra.h"
#include "orvex/syntax_coloring/synlanguage.h"
#include "orvex/syntax_coloring/synstate.h"
#include "windlib/config/configoptions.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editfill.h"
#include "windlib/edit/editruns.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/filesyntax.h"

namespace {
// Lines computed before and after a change at once.
constexpr int32_t kLinesBefore = 15;
constexpr int32_t kLinesAfter = 20;

// A remembered line record of a file and its number, so that walking to a
// line starts near it; dropped when a change above it may have moved it.
struct LineHint {
  Line* record = nullptr;
  int32_t number = 0;
  uint32_t epoch = 0;
};
std::map<const File*, LineHint>& hints() {
  static auto* m = new std::map<const File*, LineHint>;
  return *m;
}

Line* line_record(File* f, int32_t n) {
  LineHint& h = hints()[f];
  const bool usable = h.record && h.epoch == f->lineEpoch && h.number >= 1 && h.number <= f->nLines;
  Line* l = FileLine(f, n, usable ? h.record : nullptr, usable ? h.number : 0);
  if (l) h = LineHint{l, n, f->lineEpoch};
  return l;
}

// After a change from `changedLine` on, a hint at or after it may have
// moved; the change's own first record takes its place.
void rehint(File* f, int32_t changedLine, Line* firstRecord) {
  auto it = hints().find(f);
  if (it != hints().end() && it->second.number < changedLine) return;
  if (firstRecord && changedLine >= 1 && changedLine <= f->nLines)
    hints()[f] = LineHint{firstRecord, changedLine, f->lineEpoch};
  else if (it != hints().end())
    hints().erase(it);
}

// Text of a line for scanning: in-file lines come through the shared
// syntax window so that the file's own window stays where drawing left it.
const char* scan_text(File* f, Line* l) {
  if (!LineInFile(l)) return l->text.buf;
  const int64_t off = l->text.offset;
  if (syn_stamp != f || syn_cacheBase < 0 || off < syn_cacheBase ||
      off + l->len > syn_cacheBase + syn_cacheLen)
    FileCache(f, l, 1, 2);
  if (syn_stamp != f || syn_cacheBase < 0 || off < syn_cacheBase ||
      off + l->len > syn_cacheBase + syn_cacheLen)
    return FileLineText(f, l);
  return syn_cache + (off - syn_cacheBase);
}

// The options the colouring follows, read where they are used so that a
// change takes effect at the next line drawn.
void read_switches() {
  static _ConfigOption* color_syntax = cfg_FindOption("colorsyntax");
  static _ConfigOption* cpp_comments = cfg_FindOption("cppCommentsInC");
  synColorSwitches& s = syn_Switches();
  if (color_syntax) s.colorSyntax = color_syntax->Bool();
  if (cpp_comments) s.cppCommentsInC = cpp_comments->Bool();
}

synPropagateCount last_propagate;

// The view's rows from its first line to its last one, not past the file.
int32_t last_visible(const Edit* e) {
  return std::min(e->topLineNo + std::max(e->rows(), 1) - 1, e->file->nLines);
}

// Computes the start states of lines first..last in order, each from the
// one before, and calls `changed` for each line whose stored states moved.
template <typename Changed>
void compute(File* f, int32_t first, int32_t last, Changed changed) {
  const synLanguage* lang = f->language;
  const bool tracks = lang->NeedQuickLineParser();
  Line* l = line_record(f, first);
  uint32_t state = 0, pstate = 0;
  if (l && first > 1 && tracks) {
    Line* prev = l->prev;
    state = prev->synState;
    lang->QuickLineParser(&state, prev->extra, scan_text(f, prev), prev->len, &pstate, f->name,
                          nullptr);
  }
  int32_t n = first;
  for (; l && n <= last; ++n, l = l->next) {
    if (l->synState != state || l->extra != pstate) {
      l->synState = state;
      l->extra = pstate;
      changed(n);
    }
    if (tracks && l->next && n < last)
      lang->QuickLineParser(&state, l->extra, scan_text(f, l), l->len, &pstate, f->name, nullptr);
  }
  f->colouredLines = std::max(f->colouredLines, n - 1);
  if (n - 1 >= first) {
    // Leave the walk's end as the next starting point.
    LineHint& h = hints()[f];
    h = LineHint{FileLine(f, n - 1, l ? l->prev : f->last, n - 1), n - 1, f->lineEpoch};
  }
}

// Lines whose state changed, as ranges to redraw in the views.
class RedrawSet {
 public:
  void Add(int32_t line) {
    if (!ranges_.empty() && ranges_.back().second + 1 == line)
      ranges_.back().second = line;
    else
      ranges_.push_back({line, line});
    ++count_;
  }
  void Draw(File* f) const {
    for (Edit* e = f->edits; e; e = e->nextSame)
      for (const auto& [from, to] : ranges_) e->RedrawLines(from, to);
  }
  int32_t count() const { return count_; }

 private:
  std::vector<std::pair<int32_t, int32_t>> ranges_;
  int32_t count_ = 0;
};

// Brings states up to `line` when it is past the known ones.
void ensure_known(File* f, int32_t line) {
  if (line > f->colouredLines) syn_Recalculate(f, f->colouredLines + 1, line, false);
}

// ---- Drawing ----------------------------------------------------------------
struct SpanContext {
  std::vector<EditColorSpan>* out;
};

void add_span(const synLanguage* lang, void* ctx, const char*, int32_t start, int32_t length,
              uint32_t state) {
  uint32_t pixel = 0;
  if (!lang->GetColorForStatus(state, &pixel)) return;
  static_cast<SpanContext*>(ctx)->out->push_back(
      EditColorSpan{start, start + length, static_cast<WColor>(pixel)});
}

void row_spans(File* f, Line* line, int32_t lineNo, std::vector<EditColorSpan>* out) {
  out->clear();
  if (!syn_FileColoured(f)) return;
  ensure_known(f, lineNo);
  SpanContext ctx{out};
  f->language->CalculateTextSynstate(line->synState, line->extra, scan_text(f, line), 0, line->len,
                                     line->len, false, add_span, &ctx, syn_FileExtraItems(f));
}

// ---- Questions of the layers below ------------------------------------------
uint32_t line_state_hook(File* f, int32_t line) {
  if (!syn_FileColoured(f) || line < 1 || line > f->nLines) return synNull;
  ensure_known(f, line);
  Line* l = line_record(f, line);
  return l ? l->synState : synNull;
}

// Counts changes to any file's text, so that remembered scans go stale.
uint64_t text_generation = 0;

// The runs of the line last asked about, so that questions about many
// columns of one line (matching delimiters) scan it once.
struct LineRuns {
  const File* file = nullptr;
  const synLanguage* language = nullptr;
  int32_t line = 0;
  uint64_t generation = 0;
  bool cppComments = true;
  uint32_t synState = 0, extra = 0;                  // the line's start states when scanned
  std::vector<std::pair<int32_t, uint32_t>> starts;  // run start, state
  int32_t length = 0;
  uint32_t open = 0;  // the state at the line end
};

void remember_run(const synLanguage*, void* ctx, const char*, int32_t start, int32_t,
                  uint32_t state) {
  static_cast<LineRuns*>(ctx)->starts.push_back({start, state});
}

uint32_t state_at_hook(File* f, int32_t line, int32_t column) {
  if (!syn_FileColoured(f) || line < 1 || line > f->nLines) return synNull;
  ensure_known(f, line);
  static LineRuns memo;
  Line* l = line_record(f, line);
  if (!l) return synNull;
  if (memo.file != f || memo.line != line || memo.generation != text_generation ||
      memo.language != f->language || memo.cppComments != syn_Switches().cppCommentsInC ||
      memo.synState != l->synState || memo.extra != l->extra) {
    memo = LineRuns{};
    memo.file = f;
    memo.language = f->language;
    memo.line = line;
    memo.generation = text_generation;
    memo.cppComments = syn_Switches().cppCommentsInC;
    memo.synState = l->synState;
    memo.extra = l->extra;
    memo.length = l->len;
    if (l->synState & synDeadCode) {
      memo.starts.push_back({0, l->synState});
      memo.open = l->synState;
    } else {
      memo.open = f->language->CalculateTextSynstate(l->synState, l->extra, scan_text(f, l), 0,
                                                     l->len, l->len, false, remember_run, &memo,
                                                     syn_FileExtraItems(f));
    }
  }
  if (column >= memo.length) return memo.open;
  auto it = std::upper_bound(memo.starts.begin(), memo.starts.end(),
                             std::make_pair(std::max(column, 0), UINT32_MAX));
  return it == memo.starts.begin() ? synNull : std::prev(it)->second;
}

EditCommentKind comment_at(Edit* e, int32_t line, int32_t column) {
  const uint32_t s = e->file ? state_at_hook(e->file, line, column) : synNull;
  if (IsInLineComment(s)) return kLineComment;
  if (IsInComment(s)) return kBlockComment;
  return kNotComment;
}

// ---- Printsyn ---------------------------------------------------------------
int cmd_printsyn(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  File* f = e->file;
  if (!f) return 0;
  std::string out =
      "Dump Starting Syntax States(marked to " + std::to_string(f->colouredLines) + "):\n";
  const int32_t first = std::max(1, e->topLineNo - 5);
  const int32_t last = std::min(e->topLineNo + std::max(e->rows(), 1) - 1 + 11, f->nLines);
  Line* l = line_record(f, first);
  char buf[64];
  for (int32_t n = first; l && n <= last; ++n, l = l->next) {
    snprintf(buf, sizeof buf, "\tline %5d\t", n);
    out += buf;
    if (l->synState != synNull) {
      snprintf(buf, sizeof buf, "0x%08x: ", l->synState);
      out += buf + GetNameForSynstate(l->synState);
    }
    out += '\n';
  }
  fputs(out.c_str(), stderr);
  fflush(stderr);
  return 1;
}

// ---- Following the files ----------------------------------------------------
class SyntaxFollower : public FileObserver {
 public:
  void FileTextChanged(File* f, const FileChangeEvent& e) override {
    ++text_generation;
    rehint(f, e.start.line, e.firstRecord);
    // Lines after the change are known no further than the change.
    f->colouredLines = std::min(f->colouredLines, std::max(e.start.line, 1));
    syn_Propagate(f, e.start.line);
  }
  void FileReloaded(File* f) override { Forget(f); }
  void FileRegistered(File* f) override { Forget(f); }
  void FileSaved(File* f, PRS*, const char*, bool renamed) override {
    if (renamed) Forget(f);
  }
  void FileContentsGone(File* f) override { Forget(f); }

 private:
  static void Forget(File* f) {
    ++text_generation;
    hints().erase(f);
    f->colouredLines = 0;
  }
};
}  // namespace

bool syn_FileColoured(const File* f) {
  if (!f || !f->language || f->language->name == "None") return false;
  read_switches();
  return syn_Switches().colorSyntax;
}

uint32_t syn_GetSynstate(File* f, Line* line, int32_t number, uint32_t* pstate) {
  *pstate = 0;
  if (!syn_FileColoured(f) || number <= 1 || !line || !line->prev) return synNull;
  if (!f->language->NeedQuickLineParser()) return synNull;
  Line* prev = line->prev;
  uint32_t state = prev->synState;
  f->language->QuickLineParser(&state, prev->extra, scan_text(f, prev), prev->len, pstate, f->name,
                               nullptr);
  return state;
}

namespace {
struct AtContext {
  int32_t column;
  uint32_t state = synNull;
  bool found = false;
};
void state_covering(const synLanguage*, void* ctx, const char*, int32_t start, int32_t length,
                    uint32_t state) {
  auto* c = static_cast<AtContext*>(ctx);
  if (start <= c->column && c->column < start + length) {
    c->state = state;
    c->found = true;
  }
}
}  // namespace

uint32_t syn_SynstateAt(uint32_t state, uint32_t pstate, const char* text, int32_t length,
                        int32_t column, const synLanguage* language, const ExtraSyntaxInfo* extra) {
  if (!language) return synNull;
  if (state & synDeadCode) return state;
  AtContext ctx{std::max(column, 0)};
  // The scan stops one past the column, with the element there complete;
  // at the line end it runs over the whole line.
  const int32_t to = ctx.column >= length ? length : ctx.column + 1;
  const uint32_t open = language->CalculateTextSynstate(state, pstate, text, 0, to, length, true,
                                                        state_covering, &ctx, extra);
  if (ctx.column >= length) return open;
  return ctx.found ? ctx.state : synNull;
}

int32_t syn_Recalculate(File* f, int32_t from, int32_t to, bool redraw) {
  if (!syn_FileColoured(f) || f->nLines == 0) return 0;
  if (to < 0 || to > f->nLines) to = f->nLines;
  int32_t first = std::max(1, std::min(from, f->colouredLines));
  if (first > to) return 0;
  RedrawSet changed;
  compute(f, first, to, [&](int32_t n) { changed.Add(n); });
  f->colouredLines = to;
  if (redraw) changed.Draw(f);
  return to - first + 1;
}

void syn_Propagate(File* f, int32_t line) {
  last_propagate = {};
  if (!syn_FileColoured(f)) return;
  f->colouredLines = std::min(f->colouredLines, f->nLines);
  const int32_t from =
      f->language->grabPrototype ? std::max(1, line - kLinesBefore) : std::max(1, line);
  const int32_t to = std::min(line + kLinesAfter, f->nLines);
  const int32_t first = std::max(1, std::min(from, f->colouredLines));
  // A change past the last line leaves no line to compute.
  if (first > to) return;
  RedrawSet changed;
  compute(f, first, to, [&](int32_t n) { changed.Add(n); });
  f->colouredLines = to;
  last_propagate.computed = to - first + 1;
  // Lines shown below the window come into view known.
  int32_t shown = 0;
  for (Edit* e = f->edits; e; e = e->nextSame) shown = std::max(shown, last_visible(e));
  if (shown > f->colouredLines) {
    const int32_t start = f->colouredLines + 1;
    compute(f, start, shown, [&](int32_t n) { changed.Add(n); });
    f->colouredLines = shown;
    last_propagate.computed += shown - start + 1;
  }
  changed.Draw(f);
  last_propagate.redrawn = changed.count();
}

void syn_Redraw(File* f, int32_t from) {
  if (!f) return;
  for (Edit* e = f->edits; e; e = e->nextSame) {
    const int32_t last = last_visible(e);
    if (syn_FileColoured(f) && last > f->colouredLines)
      syn_Recalculate(f, f->colouredLines + 1, last, false);
    e->RedrawLines(std::max(from, e->topLineNo), last);
  }
}

synPropagateCount syn_LastPropagate() {
  return last_propagate;
}

void syn_LanguageChanged(File* f) {
  if (!f) return;
  hints().erase(f);
  f->colouredLines = 0;
  // States of the old language must not survive in lines not yet computed.
  for (Line* l = f->first; l; l = l->next) l->synState = l->extra = 0;
  syn_Redraw(f, 1);
}

void syn_StartColouring() {
  static bool started = false;
  if (started) return;
  started = true;
  read_switches();
  static SyntaxFollower follower;
  FilesAddObserver(&follower);
  FileLineSynstateHook = line_state_hook;
  FileSynstateAtHook = state_at_hook;
  EditSyntaxSpansHook = row_spans;
  EditCommentAtHook = comment_at;
  EditAddCmd("Printsyn", cmd_printsyn, 0);
}
