#include "windlib/x11/wpopupmenu.h"

#include <X11/Xlib.h>

#include <algorithm>

#include "windlib/x11/wbutton.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wmenubar.h"
#include "windlib/x11/xdisplay.h"

namespace {
constexpr int kSeparatorHeight = 7;
constexpr int kPadX = 20;  // room for the check mark on the left
constexpr int kGap = 24;   // between label and accelerator
WPopupMenu* outermost = nullptr;

int item_height(const WMenuItem& it) {
  return it.separator ? kSeparatorHeight : WUIFont()->Height() + 6;
}

void screen_size(int* w, int* h) {
  if (Display* d = WXDisplay()) {
    *w = DisplayWidth(d, DefaultScreen(d));
    *h = DisplayHeight(d, DefaultScreen(d));
  } else {
    *w = 1280;
    *h = 1024;
  }
}
}  // namespace

WPopupMenu* WPopupMenu::Open(std::shared_ptr<WMenu> menu, int x, int y) {
  CloseAll();
  auto* p = new WPopupMenu(std::move(menu), nullptr);
  int sw, sh;
  screen_size(&sw, &sh);
  WRect g = p->geometry();
  g.x = std::max(0, std::min(x, sw - g.width));
  g.y = std::max(0, std::min(y, sh - g.height));
  p->SetGeometry(g);
  p->Show();
  outermost = p;
  if (Display* d = WXDisplay()) {
    Window w = p->xstate()->window;
    // Every pointer event comes to this menu, wherever it happens: a press
    // outside the menus (in another of our windows too) closes them.
    XGrabPointer(d, w, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(d, w, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    p->grabbed_ = true;
  }
  return p;
}

WPopupMenu* WPopupMenu::Current() {
  return outermost;
}

void WPopupMenu::CloseAll() {
  if (outermost) outermost->CloseThis();
}

WPopupMenu::WPopupMenu(std::shared_ptr<WMenu> menu, WPopupMenu* parent_popup)
    : WWindow(nullptr), menu_(std::move(menu)), parent_popup_(parent_popup) {
  SetOverrideRedirect(true);
  Realize();
  menu_->Opening();
  Measure();
}

WPopupMenu::~WPopupMenu() {
  if (outermost == this) outermost = nullptr;
  if (parent_popup_ && parent_popup_->child_ == this) parent_popup_->child_ = nullptr;
}

void WPopupMenu::Measure() {
  WFont* f = WUIFont();
  label_width_ = accel_width_ = 0;
  int h = 4;
  for (const WMenuItem& it : menu_->items()) {
    h += item_height(it);
    if (it.separator) continue;
    label_width_ = std::max(label_width_, f->TextWidth(WMenuLabelText(it.label)));
    accel_width_ = std::max(accel_width_, f->TextWidth(it.accelerator));
  }
  int w = kPadX + label_width_ + (accel_width_ ? kGap + accel_width_ : 0) + 24;
  SetGeometry(WRect{geometry().x, geometry().y, std::max(w, 80), std::max(h, 10)});
}

WRect WPopupMenu::ItemRect(int index) const {
  int y = 2;
  const auto& items = menu_->items();
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    int h = item_height(items[static_cast<size_t>(i)]);
    if (i == index) return WRect{2, y, width() - 4, h};
    y += h;
  }
  return WRect{};
}

int WPopupMenu::ItemAt(int x, int y) const {
  for (int i = 0; i < static_cast<int>(menu_->items().size()); ++i)
    if (ItemRect(i).contains(x, y)) return i;
  return -1;
}

void WPopupMenu::Select(int index) {
  if (index == selected_) return;
  if (selected_ >= 0) Invalidate(ItemRect(selected_));
  selected_ = index;
  if (selected_ >= 0) Invalidate(ItemRect(selected_));
}

void WPopupMenu::Paint(WPainter& p) {
  const WPalette& pal = WGetPalette();
  WFont* f = WUIFont();
  p.FillRect(p.clip(), pal.control);
  p.Bevel(bounds(), true, 1);
  const auto& items = menu_->items();
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const WMenuItem& it = items[static_cast<size_t>(i)];
    WRect r = ItemRect(i);
    if (r.intersect(p.clip()).empty()) continue;
    if (it.separator) {
      int y = r.y + r.height / 2;
      p.Line(r.x + 2, y, r.right() - 3, y, pal.controlDark);
      p.Line(r.x + 2, y + 1, r.right() - 3, y + 1, pal.controlLight);
      continue;
    }
    bool sel = i == selected_ && it.enabled;
    WColor fg = !it.enabled ? pal.disabledText : sel ? pal.selectionText : pal.controlText;
    if (sel) p.FillRect(r, pal.selection);
    int ty = r.y + (r.height - f->Height()) / 2;
    if (it.checkable && it.checked) p.Text(r.x + 4, ty, "\xe2\x9c\x93", fg, f);
    WDrawMnemonicLabel(p, r.x + kPadX, ty, it.label, fg);
    if (!it.accelerator.empty())
      p.Text(r.right() - 12 - f->TextWidth(it.accelerator), ty, it.accelerator, fg, f);
    if (it.submenu) p.Text(r.right() - 12, ty, "\xe2\x96\xb8", fg, f);
  }
}

void WPopupMenu::MoveSelection(int delta) {
  const auto& items = menu_->items();
  int n = static_cast<int>(items.size());
  if (n == 0) return;
  int i = selected_;
  for (int step = 0; step < n; ++step) {
    i = i < 0 ? (delta > 0 ? 0 : n - 1) : (i + delta + n) % n;
    if (!items[static_cast<size_t>(i)].separator && items[static_cast<size_t>(i)].enabled) {
      Select(i);
      return;
    }
  }
}

void WPopupMenu::OpenSubmenu(bool select_first) {
  if (selected_ < 0) return;
  const WMenuItem& it = menu_->items()[static_cast<size_t>(selected_)];
  if (!it.submenu || !it.enabled) return;
  CloseSubmenu();
  child_ = new WPopupMenu(it.submenu, this);
  int sx, sy;
  ScreenPosition(&sx, &sy);
  WRect r = ItemRect(selected_);
  WRect g = child_->geometry();
  int sw, sh;
  screen_size(&sw, &sh);
  g.x = sx + width() - 4;
  if (g.x + g.width > sw) g.x = std::max(0, sx - g.width + 4);
  g.y = std::max(0, std::min(sy + r.y - 2, sh - g.height));
  child_->SetGeometry(g);
  child_->Show();
  if (select_first) child_->MoveSelection(1);
}

void WPopupMenu::CloseSubmenu() {
  if (child_) child_->CloseThis();
}

void WPopupMenu::CloseThis() {
  CloseSubmenu();
  if (grabbed_ && WXDisplay()) {
    XUngrabPointer(WXDisplay(), CurrentTime);
    XUngrabKeyboard(WXDisplay(), CurrentTime);
    grabbed_ = false;
  }
  if (parent_popup_ && parent_popup_->child_ == this) parent_popup_->child_ = nullptr;
  parent_popup_ = nullptr;  // the parent may be deleted before this menu
  if (outermost == this) outermost = nullptr;
  auto on_close = std::move(on_close_);
  WMenuBar* bar = bar_;
  bar_ = nullptr;
  Destroy();
  if (bar) bar->PopupClosed(this);
  if (on_close) on_close();
}

void WPopupMenu::Choose(int index) {
  const auto& items = menu_->items();
  if (index < 0 || index >= static_cast<int>(items.size())) return;
  const WMenuItem& it = items[static_cast<size_t>(index)];
  if (it.separator || !it.enabled) return;
  if (it.submenu) {
    Select(index);
    OpenSubmenu(true);
    return;
  }
  std::function<void()> action = it.action;
  // Close every menu first: the action may open dialogs or other menus.
  WPopupMenu* top = this;
  while (top->parent_popup_) top = top->parent_popup_;
  top->CloseThis();
  if (action) action();
}

bool WPopupMenu::HandleKey(WEvent& e) {
  if (child_) return child_->HandleKey(e);
  switch (e.key) {
    case WK_Up:
      MoveSelection(-1);
      return true;
    case WK_Down:
      MoveSelection(1);
      return true;
    case WK_Home:
      selected_ = -1;
      MoveSelection(1);
      return true;
    case WK_End:
      selected_ = -1;
      MoveSelection(-1);
      return true;
    case WK_Return:
    case WK_KP_Enter:
    case ' ':
      Choose(selected_);
      return true;
    case WK_Escape:
      if (parent_popup_)
        CloseThis();
      else
        CloseAll();
      return true;
    case WK_Right:
      if (selected_ >= 0 && menu_->items()[static_cast<size_t>(selected_)].submenu) {
        OpenSubmenu(true);
      } else {
        WPopupMenu* top = this;
        while (top->parent_popup_) top = top->parent_popup_;
        if (top->bar_) top->bar_->MoveOpenMenu(1);
      }
      return true;
    case WK_Left:
      if (parent_popup_) {
        CloseThis();
      } else if (bar_) {
        bar_->MoveOpenMenu(-1);
      }
      return true;
    default:
      break;
  }
  if (e.text.size() == 1 && !(e.modifiers & (WModControl | WModMeta))) {
    int i = menu_->FindMnemonic(e.text[0]);
    if (i >= 0) {
      Select(i);
      Choose(i);
      return true;
    }
  }
  return true;  // a menu that has the keyboard swallows every key
}

// Pointer events of any open menu; with the pointer grabbed, events outside
// every menu arrive at the outermost one.
bool WPopupMenu::HandlePointer(WEvent& e) {
  // Find the open menu under the pointer, deepest first.
  std::vector<WPopupMenu*> chain;
  WPopupMenu* top = this;
  while (top->parent_popup_) top = top->parent_popup_;
  for (WPopupMenu* m = top; m; m = m->child_) chain.push_back(m);
  WPopupMenu* under = nullptr;
  int lx = 0, ly = 0;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    int sx, sy;
    (*it)->ScreenPosition(&sx, &sy);
    if ((*it)->bounds().contains(e.rootX - sx, e.rootY - sy)) {
      under = *it;
      lx = e.rootX - sx;
      ly = e.rootY - sy;
      break;
    }
  }
  if (!under) {
    if (e.kind == WEventKind::ButtonDown) {
      // A press on the menu bar that opened the menu is the bar's to judge.
      if (top->bar_ && top->bar_->PressIsOnBar(e.rootX, e.rootY)) {
        top->bar_->HandleRootPress(e.rootX, e.rootY);
        return true;
      }
      CloseAll();
    } else if (e.kind == WEventKind::Motion && top->bar_) {
      top->bar_->TrackRootMotion(e.rootX, e.rootY);
    }
    return true;
  }
  int i = under->ItemAt(lx, ly);
  switch (e.kind) {
    case WEventKind::Motion:
      under->button_seen_ = true;
      if (i >= 0 && i != under->selected_) {
        under->Select(i);
        if (under->child_) under->CloseSubmenu();
        const WMenuItem& item = under->menu_->items()[static_cast<size_t>(i)];
        if (item.submenu && item.enabled) under->OpenSubmenu(false);
      }
      return true;
    case WEventKind::ButtonDown:
      under->button_seen_ = true;
      if (i >= 0) under->Select(i);
      return true;
    case WEventKind::ButtonUp:
      if (i >= 0 && under->button_seen_) under->Choose(i);
      return true;
    default:
      return true;
  }
}

bool WPopupMenu::HandleEvent(WEvent& e) {
  switch (e.kind) {
    case WEventKind::KeyDown:
      return HandleKey(e);
    case WEventKind::ButtonDown:
    case WEventKind::ButtonUp:
    case WEventKind::Motion:
      if (e.rootX == e.x && e.rootY == e.y) {
        // Events built without screen positions (tests) are local to this menu.
        int sx, sy;
        ScreenPosition(&sx, &sy);
        e.rootX = e.x + sx;
        e.rootY = e.y + sy;
      }
      return HandlePointer(e);
    default:
      return false;
  }
}
