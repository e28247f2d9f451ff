// Matching delimiters: ( ) [ ] { }.
#include <string>

#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/wwait.h"

namespace {
const char kOpen[] = "([{";
const char kClose[] = ")]}";

// Finds the delimiter matching the one at (line, col); false when none.
bool find_match(Edit* e, int32_t line, int32_t col, int32_t* mline, int32_t* mcol) {
  Line* l = EditLineAt(e, line);
  if (!l || col < 0 || col >= l->len) return false;
  char c = FileLineText(e->file, l)[col];
  const char* o = std::char_traits<char>::find(kOpen, 3, c);
  const char* k = std::char_traits<char>::find(kClose, 3, c);
  if (!o && !k) return false;
  const bool forward = o != nullptr;
  const char open = forward ? c : kOpen[k - kClose];
  const char close = forward ? kClose[o - kOpen] : c;
  int depth = 0;
  int32_t n = line, i = col;
  while (l) {
    const char* t = FileLineText(e->file, l);
    if (forward) {
      for (; i < l->len; ++i) {
        if (t[i] == open) ++depth;
        else if (t[i] == close && --depth == 0) {
          *mline = n;
          *mcol = i;
          return true;
        }
      }
      l = l->next;
      ++n;
      i = 0;
    } else {
      for (; i >= 0; --i) {
        if (t[i] == close) ++depth;
        else if (t[i] == open && --depth == 0) {
          *mline = n;
          *mcol = i;
          return true;
        }
      }
      l = l->prev;
      --n;
      i = l ? l->len - 1 : 0;
    }
  }
  return false;
}

// The delimiter the command works on: the one at the caret, else the one
// before it.
bool delimiter_at_caret(Edit* e, int32_t* line, int32_t* col) {
  Line* l = EditLineAt(e, e->caretLine);
  if (!l) return false;
  const char* t = FileLineText(e->file, l);
  auto is_delim = [](char c) { return std::string("()[]{}").find(c) != std::string::npos; };
  for (int32_t c : {e->caretColumn - 1, e->caretColumn}) {
    if (c >= 0 && c < l->len && is_delim(t[c])) {
      *line = e->caretLine;
      *col = c;
      return true;
    }
  }
  return false;
}

struct Flash {
  Edit* edit;
  HandleRef alive;
  int32_t line, col;
};

int end_flash(void* data, int) {
  auto* flash = static_cast<Flash*>(data);
  if (flash->alive.alive()) flash->edit->PlaceCaret();
  delete flash;
  return 1;
}

int CmdShowMatch(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t line, col, ml, mc;
  if (!delimiter_at_caret(e, &line, &col) || !find_match(e, line, col, &ml, &mc)) return 1;
  if (ml < e->topLineNo || ml >= e->topLineNo + e->fullRows()) {
    // Off screen: show the matching line instead.
    Line* l = EditLineAt(e, ml);
    std::string text = l ? std::string(FileLineText(e->file, l), static_cast<size_t>(l->len)) : "";
    EditSetMsg(e, ("Matches: " + text).c_str());
    return 1;
  }
  // On screen: the caret stands on the match for a moment.
  int32_t dcol = EditDisplayColumn(e, ml, mc) - e->hScroll;
  e->text->SetCaretCell(dcol, ml - e->topLineNo, true, WTextArea::CaretShape::Block);
  auto* flash = new Flash{e, HandleRef(30, e), ml, mc};
  mHandle* timer = ExtraProcess_Create(epTimer, 300, end_flash, nullptr, flash);
  MHandleDestroy(timer);
  return 1;
}

int CmdSelectToMatch(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t line, col, ml, mc;
  if (!delimiter_at_caret(e, &line, &col) || !find_match(e, line, col, &ml, &mc)) return 1;
  if (ml < line || (ml == line && mc < col)) EditSetSelection(e, line, col + 1, ml, mc);
  else EditSetSelection(e, line, col, ml, mc + 1);
  e->ShowCaret();
  return 1;
}

int CmdSelectMatch(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  int32_t line, col, ml, mc;
  if (!delimiter_at_caret(e, &line, &col) || !find_match(e, line, col, &ml, &mc)) return 1;
  EditSetSelection(e, ml, mc, ml, mc + 1);
  e->ShowCaret();
  return 1;
}

const CmdEntry kCommands[] = {
    {"ShowMatch", CmdShowMatch, 0},
    {"SelectToMatch", CmdSelectToMatch, kCmdMoves},
    {"SelectMatch", CmdSelectMatch, kCmdMoves},
};
}  // namespace

EditCmdSet EditMatchCmds() { return {kCommands, {}}; }
