// The change routine: every edit of a file's text goes through FilexChange,
// which replaces the text between two positions and records what it
// replaced for undo.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "windlib/file/file.h"
#include "windlib/file/fileincr.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/undo.h"

namespace {

// The record being undone or redone, so that recording its inverse can see
// its flags.
Undo* undoing_record = nullptr;

Line* change(File* f, Line* hint, int32_t hintNo, int32_t lS, int32_t cS, int32_t lE, int32_t cE,
             const char* text, int32_t len, bool mayAppend, int direction);

// New text from the user ends its lines at LF or CR LF; text restored by
// undo and redo is the file's own text, whose lines end at LF only (a CR
// before it is part of the line).

// A position advanced over `text`: a line end moves to the next line at
// column 0, any other byte adds one column.
void advance(const char* text, int32_t len, bool crlf_ends, int32_t* line, int32_t* col) {
  for (int32_t i = 0; i < len; ++i) {
    if (text[i] == '\n') {
      ++*line;
      *col = 0;
    } else if (crlf_ends && text[i] == '\r' && i + 1 < len && text[i + 1] == '\n') {
      // counted with the LF that follows
    } else {
      ++*col;
    }
  }
}

// Splits text into its lines. k line ends give k + 1 pieces (the last one
// possibly empty).
std::vector<std::string_view> split_lines(const char* text, int32_t len, bool crlf_ends) {
  std::vector<std::string_view> pieces;
  int32_t start = 0;
  for (int32_t i = 0; i < len; ++i) {
    if (text[i] != '\n') continue;
    int32_t end = (crlf_ends && i > start && text[i - 1] == '\r') ? i - 1 : i;
    pieces.emplace_back(text + start, static_cast<size_t>(end - start));
    start = i + 1;
  }
  pieces.emplace_back(text + start, static_cast<size_t>(len - start));
  return pieces;
}

// The text from (lS, cS) to (lE, cE), lines joined by LF. An end at column
// 0 of line nLines + 1 takes the last line's end with it.
std::string copy_range(File* f, Line* first, int32_t lS, int32_t cS, int32_t lE, int32_t cE) {
  std::string out;
  Line* l = first;
  for (int32_t n = lS; l && n <= lE; ++n, l = l->next) {
    const char* t = FileLineText(f, l);
    int32_t from = n == lS ? std::min(cS, l->len) : 0;
    if (n == lE) {
      int32_t to = std::min(cE, l->len);
      if (to > from) out.append(t + from, static_cast<size_t>(to - from));
      break;
    }
    out.append(t + from, static_cast<size_t>(l->len - from));
    out += '\n';
  }
  return out;
}

void push_record(Undo** list, Undo* u) {
  if (*list) (*list)->flags |= undoClosed;
  u->next = *list;
  *list = u;
}

// The undo record of a change, made before the text changes (it reads the
// text being replaced) and linked in only when the change is committed.
struct PreparedRecord {
  Undo* record = nullptr;  // a new record, not yet linked
  bool extend = false;     // typing extends the newest record instead
  TextPos extendedEnd;
};

PreparedRecord prepare_record(File* f, Line* first, int32_t lS, int32_t cS, int32_t lE,
                              int32_t cE, TextPos newEnd, bool mayAppend, int direction) {
  PreparedRecord p;
  if (f->undoOff) return p;
  Undo* head = f->undo;
  if (direction == 0 && mayAppend && head && !(head->flags & (undoClosed | undoGroup)) &&
      head->saved && (lS > head->startLine || (lS == head->startLine && cS >= head->startCol)) &&
      lE == head->endLine && cE == head->endCol) {
    // The replaced text lies inside what the record inserted: nothing to keep.
    p.extend = true;
    p.extendedEnd = newEnd;
    return p;
  }
  std::string saved = copy_range(f, first, lS, cS, lE, cE);
  if (direction == 1 && undoing_record && (undoing_record->flags & undoNoFinalNewline) &&
      !saved.empty())
    saved.pop_back();
  char* copy = gen_copyn(saved.data(), static_cast<long>(saved.size()));
  Undo* u = UndoAlloc();
  u->startLine = lS;
  u->startCol = cS;
  u->endLine = newEnd.line;
  u->endCol = newEnd.col;
  u->oldLineSpan = lE - lS;
  u->oldColSpan = cE - cS;
  u->saved = copy;
  u->savedLen = static_cast<int32_t>(saved.size());
  p.record = u;
  return p;
}

// Links the prepared record in; cannot fail.
void commit_record(File* f, PreparedRecord& p, int direction) {
  if (p.extend) {
    f->undo->endLine = p.extendedEnd.line;
    f->undo->endCol = p.extendedEnd.col;
    return;
  }
  if (!p.record) return;
  push_record(direction == 1 ? &f->redo : &f->undo, p.record);
  p.record = nullptr;
  if (direction == 0) {
    UndoesFree(f->redo);
    f->redo = nullptr;
  }
}

Line* new_line(std::string_view s) {
  return LineFAllocS(s.data(), static_cast<int32_t>(s.size()));
}
}  // namespace

TextPos FileInsertedEnd(TextPos at, const char* text, int32_t len) {
  advance(text, len, true, &at.line, &at.col);
  return at;
}

void FileChange(File* f, Line* hint, int32_t hintNo, int32_t lS, int32_t cS, int32_t lE,
                int32_t cE, const char* text, int32_t len, bool mayAppend) {
  FilexChange(f, hint, hintNo, lS, cS, lE, cE, text, len, mayAppend, 0);
}

void FilexChange(File* f, Line* hint, int32_t hintNo, int32_t lS, int32_t cS, int32_t lE,
                 int32_t cE, const char* text, int32_t len, bool mayAppend, int direction) {
  change(f, hint, hintNo, lS, cS, lE, cE, text, len, mayAppend, direction);
}

namespace {
// The change routine; returns the line that has the start line's number
// afterwards (none past the end), a good hint for the next change.
Line* change(File* f, Line* hint, int32_t hintNo, int32_t lS, int32_t cS, int32_t lE, int32_t cE,
             const char* text, int32_t len, bool mayAppend, int direction) {
  if (!text) len = 0;
  if (len < 0) len = 0;
  SelectionNormalize(&lS, &cS, &lE, &cE);
  // Positions are clamped to the text: lines 1 .. nLines + 1 (the end).
  const int32_t n = f->nLines;
  auto clamp = [n](int32_t* l, int32_t* c) {
    if (*l < 1) *l = 1, *c = 0;
    if (*l > n + 1) *l = n + 1, *c = 0;
    if (*c < 0) *c = 0;
  };
  clamp(&lS, &cS);
  clamp(&lE, &cE);

  Line* first = FileLine(f, lS, hint, hintNo);
  Line* last = lE == lS ? first : FileLine(f, lE, first ? first : hint, first ? lS : hintNo);
  if (first) FileCache(f, first, 1, 1);
  cS = first ? std::min(cS, first->len) : 0;
  if (last && cE > last->len) {
    // The range takes the line end with it.
    ++lE;
    cE = 0;
    last = last->next;
  }
  if (!last) cE = 0;

  const bool past_end = lE > n;
  int32_t old_count = (past_end ? n : lE) - lS + 1;  // lines lS .. lE (or to the end)
  if (lS > n) old_count = 0;
  const bool single_line = last == first && first &&
                           !std::memchr(text ? text : "", '\n', static_cast<size_t>(len));
  // Where the new text ends: user text ends lines at LF or CR LF.
  TextPos new_end{lS, cS};
  advance(text, len, direction == 0, &new_end.line, &new_end.col);

  // ---- Prepare: everything that reads the temporary copy or allocates, so
  // that a failure here (a panic from the cache) leaves text and undo as
  // they were.
  PreparedRecord rec;
  std::vector<std::string> lines;
  std::vector<char*> buffers;  // new text of the reused records
  std::vector<Line*> fresh;    // records to insert, not yet linked
  int32_t reused = 0;
  try {
    rec = prepare_record(f, first, lS, cS, lE, cE, new_end, mayAppend, direction);
    if (single_line) {
      // Only the representation changes here, not the text.
      FileInstanciateLine(f, first);
      LineReserve(first, first->len - (cE - cS) + len);
    } else {
      std::string prefix =
          first ? std::string(FileLineText(f, first), static_cast<size_t>(cS)) : "";
      std::string suffix;
      if (last) suffix.assign(FileLineText(f, last) + cE, static_cast<size_t>(last->len - cE));
      std::vector<std::string_view> pieces = split_lines(text, len, direction == 0);
      lines.reserve(pieces.size());
      for (size_t i = 0; i < pieces.size(); ++i) {
        std::string s(pieces[i]);
        if (i == 0) s.insert(0, prefix);
        if (i + 1 == pieces.size()) s += suffix;
        lines.push_back(std::move(s));
      }
      // Past the end, an empty final piece is the end of the text, not a line.
      if (!last && lines.back().empty()) lines.pop_back();
      const int32_t count = static_cast<int32_t>(lines.size());
      reused = std::min(count, old_count);
      buffers.reserve(static_cast<size_t>(reused));
      fresh.reserve(static_cast<size_t>(count - reused));
      for (int32_t i = 0; i < reused; ++i)
        buffers.push_back(LineNewBuffer(lines[static_cast<size_t>(i)].data(),
                                        static_cast<int32_t>(lines[static_cast<size_t>(i)].size())));
      for (int32_t i = reused; i < count; ++i) fresh.push_back(new_line(lines[static_cast<size_t>(i)]));
    }
  } catch (...) {
    if (rec.record) UndoFree(rec.record);
    for (char* b : buffers) gen_free(b);
    for (Line* l : fresh) LineFree(l);
    throw;
  }

  // ---- Commit: nothing below reads the temporary copy or allocates.
  commit_record(f, rec, direction);
  if (past_end && (len == 0 || text[len - 1] != '\n') && !f->undoOff) {
    Undo* newest = direction == 1 ? f->redo : f->undo;
    if (newest) newest->flags |= undoNoFinalNewline;
  }
  // The language is told here how many lines the change replaces and brings.

  int32_t new_count;
  Line* at_start = first;
  if (single_line) {
    LineChange(first, cS, cE, text, len);
    FileSetMaxW(f, first);
    new_count = 1;
  } else {
    new_count = static_cast<int32_t>(lines.size());
    // Reuse the records of the range in order, then insert or remove.
    Line* l = first;
    for (int32_t i = 0; i < reused; ++i, l = l->next) {
      LineAdoptBuffer(l, buffers[static_cast<size_t>(i)],
                      static_cast<int32_t>(lines[static_cast<size_t>(i)].size()));
      FileSetMaxW(f, l);
    }
    Line* before = l;  // the first record not reused (or the line after the range)
    for (Line* added : fresh) FileInsertL(f, before, added);
    for (int32_t k = new_count; k < old_count; ++k) {
      Line* gone = before;
      before = before->next;
      FileRemove(f, gone);
    }
    if (new_count == 0) at_start = before;
    // Lines added past the old end: they sit at the end of the list.
    if (!at_start && new_count > 0) at_start = FileLine(f, lS, f->last, f->nLines);
  }

  f->modified = 1;
  f->journalDirty = 1;
  FileDoModifyCallback(f);
  FileChangeEvent event;
  event.start = TextPos{lS, cS};
  event.oldEnd = TextPos{lE, cE};
  event.newEnd = new_end;
  event.linesRemoved = old_count;
  event.linesAdded = new_count;
  event.firstRecord = at_start;
  event.direction = direction;
  FileNotifyTextChanged(f, event);
  // The language is told here how many lines were inserted.
  return at_start;
}
}  // namespace

// ---- Undo and redo ----------------------------------------------------------------

namespace {
// Each step passes on the line where it worked as the next step's hint, so
// that undoing a group of many changes stays linear in its size.
struct Hint {
  Line* line;
  int32_t no;
};

int32_t do_it(File* f, Undo* u, Hint& hint, int direction, const int32_t current[4]);

int32_t do_text(File* f, Undo* u, Hint& hint, int direction) {
  Undo* outer = undoing_record;
  undoing_record = u;
  int32_t end_line = u->endLine, end_col = u->endCol;
  if (u->flags & undoNoFinalNewline) {
    // The change left a last line without a line end of its own: the line
    // end that the line list adds goes too.
    ++end_line;
    end_col = 0;
  }
  Line* at = change(f, hint.line, hint.no, u->startLine, u->startCol, end_line, end_col, u->saved,
                    u->savedLen, false, direction);
  hint = at ? Hint{at, u->startLine} : Hint{nullptr, 0};
  undoing_record = outer;
  FileNotifyUndoSelection(f,
                          TextRange{TextPos{u->startLine, u->startCol},
                                    TextPos{u->startLine + u->oldLineSpan,
                                            u->startCol + u->oldColSpan}},
                          direction == -1);
  return u->startLine;
}

int32_t do_it(File* f, Undo* u, Hint& hint, int direction, const int32_t current[4]) {
  if (!UndoIsGroup(u)) {
    if (u->saved) return do_text(f, u, hint, direction);
    FilexIndent(f, hint.line, hint.no, u->startLine, u->endLine, u->savedLen, direction);
    hint = Hint{nullptr, 0};
    return u->startLine;
  }
  // The inverse group restores the selection that the view had before.
  const int32_t* sel = current;
  Undo** target = direction == 1 ? &f->redo : &f->undo;
  Undo* mark = *target;
  int32_t smallest = INT32_MAX;
  for (Undo* m = UndoMembers(u); m; m = m->next)
    smallest = std::min(smallest, do_it(f, m, hint, direction, current));
  if (*target != mark) *target = UndoGroupFrom(*target, mark, sel[0], sel[1], sel[2], sel[3]);
  Undo* newest = UndoMembers(u);
  if (newest && UndoIsIndent(newest)) {
    int32_t end_col = u->endLine <= f->nLines ? u->endCol : 0;
    FileNotifyUndoSelection(
        f, TextRange{TextPos{u->startLine, u->startCol}, TextPos{u->endLine, end_col}},
        direction == -1);
  }
  return smallest == INT32_MAX ? 1 : smallest;
}

void set_modified(File* f, bool modified) {
  f->modified = modified;
  if (modified) FileDoModifyCallback(f);
  else if (f->haslock) incr_ReleaseLock(f);
  FileNotifyModifiedChanged(f);
}

// Whether the text differs from the saved one, judged by the undo list's
// head: it carries the saved mark, or there is no head and no save.
bool modified_at_head(const File* f) {
  return !((f->undo && (f->undo->flags & undoSavedMark)) || (!f->undo && !f->savedOnce));
}
}  // namespace

namespace {
// Applies the newest record of the undo list (direction 1) or of the redo
// list (-1); its inverse lands on the other list.
int32_t step_back(File* f, Line* hint, int32_t hintNo, const TextRange* currentSel,
                  int direction) {
  Undo** list = direction == 1 ? &f->undo : &f->redo;
  Undo* u = *list;
  if (!u) return -100;
  Hint h{hint, hintNo};
  int32_t current[4] = {0, 0, 0, 0};
  if (currentSel) {
    current[0] = currentSel->begin.line;
    current[1] = currentSel->begin.col;
    current[2] = currentSel->end.line;
    current[3] = currentSel->end.col;
  }
  int32_t result = do_it(f, u, h, direction, current);
  const bool saved_state = u->flags & undoSavedMark;
  // The inverse takes over the mark of the state it leads back to.
  Undo* inverse = direction == 1 ? f->redo : f->undo;
  if (inverse && saved_state) inverse->flags |= undoSavedMark;
  if (direction == 1 || UndoIsGroup(u)) f->undoGrouping = 0;
  // The record applied is below whatever applying it may have pushed.
  for (Undo** p = list; *p; p = &(*p)->next) {
    if (*p == u) {
      *p = u->next;
      break;
    }
  }
  u->next = nullptr;
  UndoFree(u);
  bool modified = !saved_state;
  if (direction == 1) modified = modified_at_head(f);
  set_modified(f, modified);
  FileNotifyUndone(f, direction == -1);
  return result;
}
}  // namespace

int32_t FileUndo(File* f, Line* hint, int32_t hintNo, const TextRange* currentSel) {
  return step_back(f, hint, hintNo, currentSel, 1);
}

int32_t FileRedo(File* f, Line* hint, int32_t hintNo, const TextRange* currentSel) {
  return step_back(f, hint, hintNo, currentSel, -1);
}

void FileDiscardChanges(File* f, Undo* mark) {
  if (f->undo == mark) return;
  // Undo off: applying a record leaves no inverse on either list.
  const unsigned undo_off = f->undoOff;
  f->undoOff = 1;
  Hint h{nullptr, 0};
  const int32_t none[4] = {0, 0, 0, 0};
  while (f->undo && f->undo != mark) {
    Undo* u = f->undo;
    do_it(f, u, h, 1, none);
    f->undo = u->next;
    u->next = nullptr;
    UndoFree(u);
  }
  f->undoOff = undo_off;
  set_modified(f, modified_at_head(f));
}

void FileCloseUndo(File* f) {
  if (f->undo) f->undo->flags |= undoClosed;
}

Undo* UndoGroupFrom(Undo* head, Undo* mark) {
  Undo* g = UndoAlloc();
  g->flags = undoGroup | undoClosed;
  g->saved = reinterpret_cast<char*>(head);
  Undo* u = head;
  while (u && u->next != mark) u = u->next;
  if (u) u->next = nullptr;
  g->next = mark;
  return g;
}

Undo* UndoGroupFrom(Undo* head, Undo* mark, int32_t startLine, int32_t startCol, int32_t endLine,
                    int32_t endCol) {
  Undo* g = UndoGroupFrom(head, mark);
  g->startLine = startLine;
  g->startCol = startCol;
  g->endLine = endLine;
  g->endCol = endCol;
  return g;
}

void UndoGroupBegin(File* f, const int32_t sel[4]) {
  if (f->undoGrouping) return;
  f->undoGrouping = 1;
  f->groupMark = f->undo;
  for (int i = 0; i < 4; ++i) f->groupSel[i] = sel ? sel[i] : 0;
}

void UndoGroupEnd(File* f) {
  if (!f->undoGrouping) return;
  if (f->undo && f->undo != f->groupMark) {
    const int32_t* sel = f->groupSel;
    f->undo = UndoGroupFrom(f->undo, f->groupMark, sel[0], sel[1], sel[2], sel[3]);
  }
  f->undoGrouping = 0;
}

void UndoMarkSaved(File* f) {
  for (Undo* list : {f->undo, f->redo})
    for (Undo* u = list; u; u = u->next) u->flags &= static_cast<uint8_t>(~undoSavedMark);
  if (f->undo) f->undo->flags |= undoSavedMark;
  f->savedOnce = 1;
}

void UndoMarkTags(File* f) {
  for (Undo* u = f->undo; u; u = u->next) u->flags &= static_cast<uint8_t>(~undoTagMark);
  Undo* target = nullptr;
  if (f->modified) {
    for (Undo* u = f->undo; u && !target; u = u->next)
      if (u->flags & undoSavedMark) target = u;
  } else {
    target = f->undo;
  }
  if (target) target->flags |= undoTagMark;
}

namespace {
int32_t map_line(File* f, int32_t n, uint8_t mark) {
  int32_t result = n;
  for (Undo* u = f->undo; u && !(u->flags & mark); u = u->next) {
    Undo* members = UndoIsGroup(u) ? UndoMembers(u) : u;
    for (Undo* m = members; m; m = UndoIsGroup(u) ? m->next : nullptr) {
      if (m->saved && !UndoIsGroup(m) && m->endLine <= n)
        result += m->endLine - m->startLine - m->oldLineSpan;
    }
  }
  return result;
}
}  // namespace

int32_t FileLinenoFDiskLineno(File* f, int32_t n) { return map_line(f, n, undoSavedMark); }

int32_t FileLinenoFTagLineno(File* f, int32_t n) {
  if (n <= 0) return -n;
  return map_line(f, n, undoTagMark);
}
