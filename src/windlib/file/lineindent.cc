#include "windlib/file/lineindent.h"

#include <string>

#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/file/textgeom.h"
#include "windlib/file/undo.h"

int32_t GetCurrentIndent(const char** text, const char* end, int tabsize) {
  int32_t n = 0;
  const GeomRule rule{tabsize, GeomEscapes::kControlDel};
  const DisplayCol col = GeomIndentOf(*text, static_cast<int32_t>(end - *text), rule, &n);
  *text += n;
  return col.v;
}

void LineIndent(Line* line, int32_t delta, bool tabs_allowed, int tabsize) {
  const char* start = line->text.buf;
  const char* p = start;
  const int32_t col = GetCurrentIndent(&p, start + line->len, tabsize) + delta;
  const std::string indent =
      GeomIndentText(DisplayCol(col), tabs_allowed && !vfTabsAreSpaces ? tabsize : 0);
  LineChange(line, 0, static_cast<int32_t>(p - start), indent.data(),
             static_cast<int32_t>(indent.size()));
}

void FilexIndent(File* f, Line* hint, int32_t hintNo, int32_t first, int32_t last, int32_t amount,
                 int direction) {
  if (first > last) std::swap(first, last);
  if (!f->undoOff) {
    Undo* u = UndoAlloc();
    u->startLine = first;
    u->endLine = last;
    u->startCol = u->endCol = -1;
    u->oldLineSpan = u->oldColSpan = -1;
    u->savedLen = -amount;
    Undo** list = direction == 1 ? &f->redo : &f->undo;
    if (*list) (*list)->flags |= undoClosed;
    u->next = *list;
    *list = u;
    if (direction == 0) {
      UndoesFree(f->redo);
      f->redo = nullptr;
    }
  }
  Line* first_line = FileLine(f, first, hint, hintNo);
  Line* l = first_line;
  for (int32_t n = first; l && n <= last; ++n, l = l->next) {
    FileInstanciateLine(f, l);
    LineIndent(l, amount, cfgTabSize != 0, cfgTabSize);
    FileSetMaxW(f, l);
  }
  f->modified = 1;
  f->journalDirty = 1;
  FileDoModifyCallback(f);
  FileChangeEvent e;
  e.start = TextPos{first, 0};
  e.linesRemoved = e.linesAdded = last - first + 1;
  e.oldEnd = e.newEnd = TextPos{last + 1, 0};
  e.firstRecord = first_line;
  e.direction = direction;
  FileNotifyTextChanged(f, e);
}
