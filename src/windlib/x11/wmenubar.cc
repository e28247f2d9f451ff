#include "windlib/x11/wmenubar.h"

#include "windlib/x11/wbutton.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wpopupmenu.h"

namespace {
constexpr int kEntryPad = 10;

bool run_accelerator(WMenu& menu, uint32_t key, unsigned modifiers) {
  for (WMenuItem& it : menu.items()) {
    if (it.separator || !it.enabled) continue;
    if (it.submenu) {
      if (run_accelerator(*it.submenu, key, modifiers)) return true;
      continue;
    }
    if (it.action && WAcceleratorMatches(it.accelerator, key, modifiers)) {
      auto action = it.action;
      action();
      return true;
    }
  }
  return false;
}
}  // namespace

WMenuBar::WMenuBar(WWindow* parent) : WWindow(parent) {
  int w, h;
  PreferredSize(&w, &h);
  SetGeometry(WRect{0, 0, w, h});
}

void WMenuBar::AddMenu(const std::string& label, std::shared_ptr<WMenu> menu) {
  entries_.push_back(Entry{label, std::move(menu)});
  Invalidate();
}

void WMenuBar::Clear() {
  if (popup_) WPopupMenu::CloseAll();
  entries_.clear();
  Invalidate();
}

void WMenuBar::PreferredSize(int* w, int* h) const {
  *w = width();
  // One font height plus a few pixels, as tall as the titles need.
  *h = WUIFont()->Height() + 6;
}

WRect WMenuBar::EntryRect(int index) const {
  WFont* f = WUIFont();
  int x = 2;
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    int w = f->TextWidth(WMenuLabelText(entries_[static_cast<size_t>(i)].label)) + 2 * kEntryPad;
    if (i == index) return WRect{x, 1, w, height() - 2};
    x += w;
  }
  return WRect{};
}

int WMenuBar::EntryAt(int x, int y) const {
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i)
    if (EntryRect(i).contains(x, y)) return i;
  return -1;
}

void WMenuBar::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  p.FillRect(p.clip(), pal.control);
  p.Line(0, height() - 1, width() - 1, height() - 1, pal.controlDark);
  WFont* f = WUIFont();
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    WRect r = EntryRect(i);
    bool open = i == open_index_;
    if (open) p.FillRect(r, pal.selection);
    WDrawMnemonicLabel(p, r.x + kEntryPad, r.y + (r.height - f->Height()) / 2,
                       entries_[static_cast<size_t>(i)].label,
                       open ? pal.selectionText : pal.controlText);
  }
}

void WMenuBar::OpenMenu(int index, bool select_first) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  WPopupMenu::CloseAll();
  int sx, sy;
  ScreenPosition(&sx, &sy);
  WRect r = EntryRect(index);
  popup_ = WPopupMenu::Open(entries_[static_cast<size_t>(index)].menu, sx + r.x, sy + height());
  popup_->bar_ = this;
  open_index_ = index;
  if (select_first) popup_->MoveSelection(1);
  Invalidate();
}

void WMenuBar::PopupClosed(WPopupMenu* popup) {
  if (popup != popup_) return;
  popup_ = nullptr;
  open_index_ = -1;
  Invalidate();
}

void WMenuBar::MoveOpenMenu(int delta) {
  int n = static_cast<int>(entries_.size());
  if (n == 0 || open_index_ < 0) return;
  OpenMenu((open_index_ + delta + n) % n, true);
}

bool WMenuBar::HandleMnemonic(char c) {
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    if (WMenuMnemonic(entries_[static_cast<size_t>(i)].label) ==
        static_cast<char>(std::tolower(static_cast<unsigned char>(c)))) {
      OpenMenu(i, true);
      return true;
    }
  }
  return false;
}

bool WMenuBar::HandleAccelerator(uint32_t key, unsigned modifiers) {
  for (Entry& e : entries_)
    if (run_accelerator(*e.menu, key, modifiers)) return true;
  return false;
}

bool WMenuBar::PressIsOnBar(int root_x, int root_y) const {
  int sx, sy;
  ScreenPosition(&sx, &sy);
  return EntryAt(root_x - sx, root_y - sy) >= 0;
}

void WMenuBar::HandleRootPress(int root_x, int root_y) {
  int sx, sy;
  ScreenPosition(&sx, &sy);
  int i = EntryAt(root_x - sx, root_y - sy);
  // A press on the open menu's own title closes it; on another title, switches.
  if (i == open_index_)
    WPopupMenu::CloseAll();
  else
    OpenMenu(i, false);
}

void WMenuBar::TrackRootMotion(int root_x, int root_y) {
  int sx, sy;
  ScreenPosition(&sx, &sy);
  int i = EntryAt(root_x - sx, root_y - sy);
  if (i >= 0 && i != open_index_) OpenMenu(i, false);
}

bool WMenuBar::HandleEvent(WEvent& e) {
  if (e.kind != WEventKind::ButtonDown || e.button != 1) return false;
  int i = EntryAt(e.x, e.y);
  if (i < 0) return false;
  if (i == open_index_)
    WPopupMenu::CloseAll();
  else
    OpenMenu(i, false);
  return true;
}
