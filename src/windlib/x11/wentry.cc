#include "windlib/x11/wentry.h"

#include <algorithm>

#include "windlib/handles.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wselection.h"

namespace {
constexpr int kPad = 4;

}

WEntry::WEntry(WWindow* parent, const std::string& text) : WWindow(parent), text_(text) {
  SetFocusable(true);
  SetBackgroundRole(WBackgroundRole::TextBackground);
  SetPointerShape(WPointerShape::Text);
  cursor_ = text_.size();
  int w, h;
  PreferredSize(&w, &h);
  SetGeometry(WRect{0, 0, w, h});
}

void WEntry::PreferredSize(int* w, int* h) const {
  *w = std::max(width(), 200);
  *h = WUIFont()->Height() + 2 * kPad + 2;
}

void WEntry::SetText(const std::string& text) {
  text_ = text;
  cursor_ = text_.size();
  sel_start_ = sel_end_ = 0;
  scroll_ = 0;
  Changed();
}

void WEntry::SetCursor(size_t position) {
  cursor_ = std::min(position, text_.size());
  while (cursor_ > 0 && cursor_ < text_.size() && (text_[cursor_] & 0xc0) == 0x80) --cursor_;
  sel_start_ = sel_end_ = cursor_;
  KeepCursorVisible();
  Invalidate();
}

void WEntry::SelectAll() {
  sel_start_ = 0;
  sel_end_ = text_.size();
  cursor_ = text_.size();
  if (hasSelection()) WSelectionOwn("PRIMARY", text_);
  Invalidate();
}

std::string WEntry::selectedText() const {
  size_t a = std::min(sel_start_, sel_end_), b = std::max(sel_start_, sel_end_);
  return text_.substr(a, b - a);
}

void WEntry::DeleteSelection() {
  if (!hasSelection()) return;
  size_t a = std::min(sel_start_, sel_end_), b = std::max(sel_start_, sel_end_);
  text_.erase(a, b - a);
  cursor_ = a;
  sel_start_ = sel_end_ = a;
}

void WEntry::Insert(const std::string& text) {
  DeleteSelection();
  std::string clean;
  for (char c : text)
    if (c != '\n' && c != '\r') clean += c == '\t' ? ' ' : c;
  text_.insert(cursor_, clean);
  cursor_ += clean.size();
  sel_start_ = sel_end_ = cursor_;
  Changed();
}

void WEntry::Changed() {
  KeepCursorVisible();
  Invalidate();
  if (on_change_) on_change_(this);
}

size_t WEntry::PrevChar(size_t pos) const {
  if (pos == 0) return 0;
  --pos;
  while (pos > 0 && (text_[pos] & 0xc0) == 0x80) --pos;
  return pos;
}

size_t WEntry::NextChar(size_t pos) const {
  if (pos >= text_.size()) return text_.size();
  ++pos;
  while (pos < text_.size() && (text_[pos] & 0xc0) == 0x80) ++pos;
  return pos;
}

size_t WEntry::PositionAt(int x) const {
  WFont* f = WUIFont();
  size_t pos = 0;
  while (pos < text_.size()) {
    size_t next = NextChar(pos);
    int mid = (f->TextWidth(text_.substr(0, pos)) + f->TextWidth(text_.substr(0, next))) / 2;
    if (kPad - scroll_ + mid > x) break;
    pos = next;
  }
  return pos;
}

void WEntry::KeepCursorVisible() {
  int cx = WUIFont()->TextWidth(text_.substr(0, cursor_));
  int room = std::max(1, width() - 2 * kPad - 2);
  if (cx - scroll_ > room) scroll_ = cx - room;
  if (cx - scroll_ < 0) scroll_ = cx;
  UpdateCaret();
}

void WEntry::UpdateCaret() {
  int cx = kPad - scroll_ + WUIFont()->TextWidth(text_.substr(0, cursor_));
  SetCaret(WRect{cx, kPad, 2, WUIFont()->Height()}, hasFocus(), WGetPalette().caret);
}

void WEntry::OnFocusChange(bool) {
  UpdateCaret();
  Invalidate();
}

void WEntry::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  WFont* f = WUIFont();
  p.FillRect(p.clip(), background());
  p.Bevel(bounds(), false, 1);
  WPainter inner = p;
  inner.SetClip(WRect{1, 1, width() - 2, height() - 2});
  int x0 = kPad - scroll_;
  if (hasSelection()) {
    size_t a = std::min(sel_start_, sel_end_), b = std::max(sel_start_, sel_end_);
    int sx = x0 + f->TextWidth(text_.substr(0, a));
    int ex = x0 + f->TextWidth(text_.substr(0, b));
    inner.FillRect(WRect{sx, kPad, ex - sx, f->Height()}, pal.selection);
  }
  inner.Text(x0, kPad, text_, pal.text, f);
}

bool WEntry::HandleEvent(WEvent& e) {
  if (e.kind == WEventKind::ButtonDown) {
    Focus();
    if (e.button == 2) {
      // Paste PRIMARY at the click, as terminals and editors do.
      SetCursor(PositionAt(e.x));
      HandleRef self(kWindowHandleType, this);
      WSelectionRequest("PRIMARY", [this, self](bool ok, const std::string& bytes) {
        if (ok && self.alive()) Insert(bytes);
      });
      return true;
    }
    if (e.button != 1) return false;
    if (e.clicks >= 2)
      SelectAll();
    else
      SetCursor(PositionAt(e.x));
    return true;
  }
  if (e.kind == WEventKind::Motion && (e.modifiers & WModButton1)) {
    size_t pos = PositionAt(e.x);
    sel_end_ = pos;
    cursor_ = pos;
    KeepCursorVisible();
    Invalidate();
    return true;
  }
  if (e.kind == WEventKind::ButtonUp && e.button == 1) {
    if (hasSelection()) WSelectionOwn("PRIMARY", selectedText());
    return true;
  }
  if (e.kind != WEventKind::KeyDown) return false;
  bool ctrl = e.modifiers & WModControl;
  switch (e.key) {
    case WK_Left:
      SetCursor(PrevChar(cursor_));
      return true;
    case WK_Right:
      SetCursor(NextChar(cursor_));
      return true;
    case WK_Home:
      SetCursor(0);
      return true;
    case WK_End:
      SetCursor(text_.size());
      return true;
    case WK_BackSpace:
      if (hasSelection())
        DeleteSelection();
      else if (cursor_ > 0) {
        size_t p = PrevChar(cursor_);
        text_.erase(p, cursor_ - p);
        cursor_ = p;
        sel_start_ = sel_end_ = p;
      }
      Changed();
      return true;
    case WK_Delete:
      if (hasSelection())
        DeleteSelection();
      else if (cursor_ < text_.size())
        text_.erase(cursor_, NextChar(cursor_) - cursor_);
      Changed();
      return true;
    case WK_Return:
    case WK_KP_Enter:
      if (on_activate_) {
        on_activate_(this);
        return true;
      }
      return false;
    default:
      break;
  }
  if (ctrl) {
    switch (e.key) {
      case 'a':
        SelectAll();
        return true;
      case 'e':
        SetCursor(text_.size());
        return true;
      case 'u':
        SetText("");
        return true;
      case 'k':
        text_.erase(cursor_);
        Changed();
        return true;
      case 'c':
        if (hasSelection()) WSelectionOwn("CLIPBOARD", selectedText());
        return true;
      case 'x':
        if (hasSelection()) {
          WSelectionOwn("CLIPBOARD", selectedText());
          DeleteSelection();
          Changed();
        }
        return true;
      case 'v': {
        HandleRef self(kWindowHandleType, this);
        WSelectionRequest(
            "CLIPBOARD",
            [this, self](bool ok, const std::string& bytes) {
              if (ok && self.alive()) Insert(bytes);
            },
            WSelectionTarget::Utf8);
        return true;
      }
      default:
        return false;
    }
  }
  if (!e.text.empty() && !(e.modifiers & WModMeta) && static_cast<unsigned char>(e.text[0]) >= 32 &&
      e.text[0] != 127) {
    Insert(e.text);
    return true;
  }
  return false;
}
