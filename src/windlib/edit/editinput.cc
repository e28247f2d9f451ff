#include "windlib/edit/editinput.h"

#include <algorithm>
#include <string>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editbindings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editsearch.h"
#include "windlib/edit/edittype.h"
#include "windlib/handles.h"
#include "windlib/wwait.h"
#include "windlib/x11/wkeys.h"

namespace {
// A drag at an edge of the text scrolls once every this many ms.
constexpr long kDragScrollMs = 60;

// Drag state of the view being dragged in (one pointer, one drag at a time).
struct Drag {
  Edit* edit = nullptr;
  int pressX = 0, pressY = 0;
  bool moved = false;
  int lastX = 0, lastY = 0;
  mHandle* timer = nullptr;
} drag;

// Shows a key's characters for identify mode: printable bytes as they are,
// others as backslash and three octal digits.
std::string quoted_chars(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    }
  }
  return out + "\"";
}

bool would_insert(const WEvent& e) {
  return !e.text.empty() && !(e.modifiers & (WModControl | WModMeta)) &&
         static_cast<unsigned char>(e.text[0]) >= 32;
}

void extend_to_pointer(Edit* edit, int x, int y) {
  int32_t line, col;
  EditPositionAt(edit, x, y, &line, &col);
  EditMoveCaret(edit, line, col, true);
  edit->ShowCaret();
}

// Shows where a dragged selection would land: the caret goes to the cell
// under the pointer while the selection stays as it is.
void show_drop_point(Edit* edit, int x, int y) {
  int32_t line, col;
  EditPositionAt(edit, x, std::clamp(y, 0, std::max(0, edit->text->height() - 1)), &line, &col);
  const int32_t row = line - edit->topLineNo;
  const int32_t dcol = EditDisplayColumn(edit, line, col) - edit->hScroll;
  edit->text->SetCaretCell(std::max(dcol, 0), std::max(row, 0),
                           row >= 0 && row < edit->rows() && dcol >= 0);
}

// How many lines (columns) a drag scrolls by at pointer offset `pos` in a
// text area `size` pixels long with cells of `cell` pixels: within half a
// cell of an edge or past it, towards that edge, the faster the further
// out; 0 inside.
int32_t scroll_step(int pos, int size, int cell) {
  const int band = std::max(cell / 2, 1);
  if (pos < band) return -(1 + std::max(0, -pos) / std::max(cell, 1));
  if (pos >= size - band) return 1 + std::max(0, pos - size) / std::max(cell, 1);
  return 0;
}

// Scrolls the view during a drag when the pointer is at or past the top or
// bottom edge of the text, or at or past the left or right edge while there
// is text that way; true when it scrolled.
bool drag_scroll(Edit* edit, int x, int y) {
  if (!edit->file) return false;
  bool moved = false;
  const int32_t dy = scroll_step(y, edit->text->height(), edit->lineHeight());
  if (dy != 0) {
    const int32_t top = edit->topLineNo;
    edit->ScrollTo(top + dy);
    moved = edit->topLineNo != top;
  }
  int32_t dx = scroll_step(x, edit->text->width(), edit->charWidth());
  // Right only while the widest line goes on past the right edge.
  const int32_t widest_start = std::max(0, edit->file->maxWidth + 1 - edit->columns());
  const int32_t h = std::clamp(edit->hScroll + dx, 0, std::max(edit->hScroll, widest_start));
  if (h != edit->hScroll) {
    edit->hScroll = h;
    edit->UpdateScrollBars();
    edit->RedrawAll();
    moved = true;
  }
  return moved;
}

// Follows the pointer of a drag: a dragged selection shows its drop point,
// any other drag extends the selection to the pointer.
void follow_pointer(Edit* edit, int x, int y) {
  if (edit->dragSelection)
    show_drop_point(edit, x, y);
  else
    extend_to_pointer(edit, x, std::clamp(y, 0, std::max(0, edit->text->height() - 1)));
}

// While the pointer is at an edge of the text during a drag, the view
// scrolls and the drag follows.
int autoscroll(void*, int) {
  Edit* edit = drag.edit;
  if (!edit || !drag.timer) return 1;
  if (drag_scroll(edit, drag.lastX, drag.lastY)) follow_pointer(edit, drag.lastX, drag.lastY);
  ExtraProcess_SetTimeout(drag.timer, kDragScrollMs);
  return 0;
}

void stop_drag() {
  if (drag.timer) {
    ExtraProcess_Kill(drag.timer, 0);
    MHandleDestroy(drag.timer);
  }
  // The caret leaves the drop point.
  if (drag.edit && drag.edit->dragSelection) drag.edit->PlaceCaret();
  drag = Drag{};
}

// Text typed without a command edits: it ends the view's modal operation
// first, unless the operation takes the text (*taken). False when the view
// went.
bool end_modal(Edit* edit, const std::string& text, bool* taken) {
  *taken = false;
  EditModal* op = EditModalOf(edit);
  if (!op) return true;
  if (op->TakeText(edit, text)) {
    *taken = true;
    return true;
  }
  HandleRef alive(30, edit);
  EditEndModal(edit);
  return alive.alive();
}

bool key_event(Edit* edit, WEvent& e) {
  HandleRef alive(30, edit);
  const unsigned mods = e.modifiers & kWModKeyMask;
  if (WKeyIsModifier(e.key)) return false;
  if (edit->quoteNext) {
    edit->quoteNext = false;
    bool taken = false;
    if (!e.text.empty() && end_modal(edit, e.text, &taken) && !taken)
      EditTypedChars(edit, e.text.data(), static_cast<int32_t>(e.text.size()));
    return true;
  }
  // Escape ends or cancels an incremental search rather than run its binding.
  if (e.key == WK_Escape && !mods && EditSearchEscape(edit)) return true;
  const std::string* command = nullptr;
  bool bypass = edit->insertMode && would_insert(e);
  if (!bypass) command = InterpretEditKey(e.key, mods);
  std::string std_command;
  if (!command && e.text.size() == 1) {
    char c = e.text[0];
    if (c == '\n' || c == '\r') std_command = "Return";
    else if (c == '\b' || c == 127) std_command = "Backspace";
    if (!std_command.empty()) command = &std_command;
  }
  if (edit->identifyMode) {
    edit->identifyMode = false;
    EditIdentifyStr(edit, command ? *command : quoted_chars(e.text),
                    EditKeyDescription(e.key, mods));
    return true;
  }
  if (command) {
    EditParseCmdLoc(edit, -1, -1, command->c_str());
    return true;
  }
  if (e.key == WK_Insert && !mods) {
    if (vfAllowOvertypeMode) {
      edit->overtype = !edit->overtype;
      edit->PlaceCaret();
    }
    return true;
  }
  // Printable text goes in; control characters are stripped.
  std::string text;
  for (char c : e.text)
    if (static_cast<unsigned char>(c) >= 32 && c != 127) text += c;
  if (text.empty() || (mods & (WModControl | WModMeta))) return false;
  bool taken = false;
  if (!end_modal(edit, text, &taken)) return true;
  if (taken) return true;
  EditTypedChars(edit, text.data(), static_cast<int32_t>(text.size()));
  if (alive.alive() && vfBlankPointerWhileTyping) {
    edit->pointerBlanked = true;
    edit->text->SetPointerShape(WPointerShape::Blank);
  }
  if (alive.alive()) vUpdateTitle(edit, true);
  return true;
}

bool mouse_event(Edit* edit, WEvent& e) {
  const bool release = e.kind == WEventKind::ButtonUp;
  if (!release && e.button <= 3) {
    drag.edit = edit;
    drag.pressX = drag.lastX = e.x;
    drag.pressY = drag.lastY = e.y;
    drag.moved = false;
  }
  int x = e.x, y = e.y;
  // A press that moved less than the allowed motion is a click where it began.
  if (release && drag.edit == edit && !drag.moved) {
    x = drag.pressX;
    y = drag.pressY;
  }
  const std::string* command =
      InterpretEditMouse(e.button, release, std::max(e.clicks, 1), e.modifiers);
  if (release && drag.edit == edit) stop_drag();
  if (!command) return false;
  if (edit->identifyMode) {
    edit->identifyMode = false;
    EditIdentifyStr(edit, *command, "Mouse" + std::to_string(e.button));
    return true;
  }
  CmdInfo ci;
  CmdInfo_InitNew(&ci, command->c_str(), nullptr);
  ci.x = x;
  ci.y = y;
  EditParseCmd(edit, ci);
  return true;
}

bool motion_event(Edit* edit, WEvent& e) {
  if (edit->pointerBlanked) {
    edit->pointerBlanked = false;
    edit->text->SetPointerShape(WPointerShape::Text);
  }
  if (drag.edit != edit || !(e.modifiers & WModButton1)) return false;
  drag.lastX = e.x;
  drag.lastY = e.y;
  if (!drag.moved && std::abs(e.x - drag.pressX) <= cfgIgnoreMotion &&
      std::abs(e.y - drag.pressY) <= cfgIgnoreMotion)
    return true;
  drag.moved = true;
  // A drag of the selection leaves it alone until the drop.
  follow_pointer(edit, e.x, e.y);
  const bool at_edge = scroll_step(e.y, edit->text->height(), edit->lineHeight()) != 0 ||
                       scroll_step(e.x, edit->text->width(), edit->charWidth()) != 0;
  if (at_edge && !drag.timer)
    drag.timer = ExtraProcess_Create(epTimer, kDragScrollMs, autoscroll, nullptr, nullptr);
  return true;
}
}  // namespace

void EditPositionAt(Edit* edit, int x, int y, int32_t* line, int32_t* col) {
  int lh = std::max(edit->lineHeight(), 1), cw = std::max(edit->charWidth(), 1);
  int32_t row = y < 0 ? -1 : y / lh;
  *line = edit->topLineNo + row;
  if (!edit->file) {
    *line = 1;
    *col = 0;
    return;
  }
  *line = std::clamp(*line, 1, edit->file->nLines + 1);
  // The nearest boundary between cells: the half of a cell decides.
  int32_t dcol = (std::max(0, x) + cw / 2) / cw + edit->hScroll;
  *col = *line > edit->file->nLines ? 0 : EditColumnFromDisplay(edit, *line, dcol);
}

bool EditEventParse(Edit* edit, WEvent& e) {
  switch (e.kind) {
    case WEventKind::KeyDown:
      return key_event(edit, e);
    case WEventKind::ButtonDown:
    case WEventKind::ButtonUp:
      return mouse_event(edit, e);
    case WEventKind::Motion:
      return motion_event(edit, e);
    case WEventKind::Resize:
      edit->UpdateScrollBars();
      edit->PlaceCaret();
      return false;
    default:
      return false;
  }
}
