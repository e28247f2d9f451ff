#include "windlib/x11/wtopwindow.h"

#include <X11/Xutil.h>

#include <cctype>
#include <cstring>

#include "windlib/x11/wcolor.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wpopupmenu.h"
#include "windlib/x11/xdisplay.h"

namespace {
bool geometry_used = false;
WTopWindow* active = nullptr;
}  // namespace

WTopWindow* WActiveTopWindow() {
  return active;
}

WTopWindow::WTopWindow(const std::string& title, int width, int height,
                       const WTopWindowOptions& options)
    : WWindow(nullptr, WRect{0, 0, width, height}),
      title_(title),
      icon_name_(title),
      listed_(options.listed) {
  if (listed_) ApplyGeometryResource();
  Realize();
  if (options.menuBar) menu_bar_ = new WMenuBar(this);
  if (options.toolBar) tool_bar_ = new WToolBar(this);
  if (options.statusLine) status_ = new WStatusLine(this);
  if (tool_bar_) tool_bar_->SetStatusLine(status_);
  client_ = new WContainer(this);
  WXSetTitle(this, title_, icon_name_);
  Layout();
  if (listed_ && ApplicationInstance) ApplicationInstance->cwInsertList(this);
}

WTopWindow::~WTopWindow() {
  if (active == this) active = nullptr;
  if (listed_ && ApplicationInstance && !closed_) ApplicationInstance->cwRemoveList(this);
}

void WTopWindow::ApplyGeometryResource() {
  if (geometry_used) return;
  const char* spec = WGetResource("geometry");
  if (!spec) return;
  geometry_used = true;
  int x = 0, y = 0;
  unsigned w = 0, h = 0;
  int mask = XParseGeometry(spec, &x, &y, &w, &h);
  WRect g = geometry();
  if ((mask & WidthValue) && w > 0) g.width = static_cast<int>(w);
  if ((mask & HeightValue) && h > 0) g.height = static_cast<int>(h);
  if (mask & (XValue | YValue)) {
    int sw = 1280, sh = 1024;
    if (Display* d = WXDisplay()) {
      sw = DisplayWidth(d, DefaultScreen(d));
      sh = DisplayHeight(d, DefaultScreen(d));
    }
    g.x = (mask & XNegative) ? sw - g.width + x : x;
    g.y = (mask & YNegative) ? sh - g.height + y : y;
    user_position_ = true;
  }
  SetGeometry(g);
}

void WTopWindow::SetTitle(const std::string& title) {
  title_ = title;
  WXSetTitle(this, title_, icon_name_);
}

void WTopWindow::SetIconName(const std::string& name) {
  icon_name_ = name;
  WXSetTitle(this, title_, icon_name_);
}

void WTopWindow::ShowMenuBar(bool on) {
  if (!menu_bar_) return;
  on ? menu_bar_->Show() : menu_bar_->Hide();
  Layout();
}

void WTopWindow::ShowToolBar(bool on) {
  if (!tool_bar_) return;
  on ? tool_bar_->Show() : tool_bar_->Hide();
  Layout();
}

void WTopWindow::ShowStatusLine(bool on) {
  if (!status_) return;
  on ? status_->Show() : status_->Hide();
  Layout();
}

void WTopWindow::SetMinimumSize(int width, int height) {
  min_w_ = width;
  min_h_ = height;
  WXSetSizeHints(this, user_position_, min_w_, min_h_);
}

void WTopWindow::SetTransientFor(WTopWindow* owner) {
  WXSetTransientFor(this, owner);
}

void WTopWindow::Raise() {
  WXRaise(this);
}

void WTopWindow::Layout() {
  int y = 0, bottom = height();
  int w = width(), pw, ph;
  if (menu_bar_ && menu_bar_->shown()) {
    menu_bar_->PreferredSize(&pw, &ph);
    menu_bar_->SetGeometry(WRect{0, y, w, ph});
    y += ph;
  }
  if (tool_bar_ && tool_bar_->shown()) {
    tool_bar_->PreferredSize(&pw, &ph);
    tool_bar_->SetGeometry(WRect{0, y, w, ph});
    y += ph;
  }
  if (status_ && status_->shown()) {
    status_->PreferredSize(&pw, &ph);
    bottom -= ph;
    status_->SetGeometry(WRect{0, bottom, w, ph});
  }
  if (client_) client_->SetGeometry(WRect{0, y, w, std::max(1, bottom - y)});
}

void WTopWindow::Show() {
  WXSetSizeHints(this, user_position_, min_w_, min_h_);
  // -iconic: the program's windows start as icons.
  const char* iconify = WGetResource("iconify");
  if (listed_) WXSetIconic(this, iconify && std::strcmp(iconify, "on") == 0);
  WWindow::Show();
}

bool WTopWindow::Close() {
  if (closed_ || destroying()) return true;
  if (close_handler_ && !close_handler_(this)) return false;
  closed_ = true;
  if (listed_ && ApplicationInstance) ApplicationInstance->cwRemoveList(this);
  if (active == this) active = nullptr;
  Destroy();
  return true;
}

void WTopWindow::ShowMessage(const std::string& text) {
  if (status_) status_->SetMessage(text);
}

bool WTopWindow::PreviewKey(WEvent& e) {
  // Alt+letter opens the menu with that mnemonic before the focused window
  // sees the key; letters that open no menu go on as usual.
  if (e.kind != WEventKind::KeyDown || !menu_bar_ || !menu_bar_->shown()) return false;
  if (!(e.modifiers & WModMeta) || (e.modifiers & WModControl)) return false;
  if (e.key >= 256 || !std::isalnum(static_cast<int>(e.key))) return false;
  return menu_bar_->HandleMnemonic(static_cast<char>(e.key));
}

bool WTopWindow::HandleEvent(WEvent& e) {
  switch (e.kind) {
    case WEventKind::CloseRequest:
      Close();
      return true;
    case WEventKind::FocusGained:
    case WEventKind::FocusLost: {
      if (e.kind == WEventKind::FocusGained && listed_) active = this;
      // The window that has the keys inside learns that the window has (or
      // lost) the keyboard.
      WWindow* f = focusWindow();
      if (f != this) f->Deliver(e);
      return false;
    }
    case WEventKind::KeyDown:
      // Keys that nothing inside took: menu mnemonics and accelerators.
      if (menu_bar_ && menu_bar_->shown()) {
        if (e.key == WK_F1 + 9 && !(e.modifiers & kWModKeyMask) && menu_bar_->menuCount() > 0) {
          menu_bar_->OpenMenu(0, true);  // F10 opens the first menu
          return true;
        }
        if (menu_bar_->HandleAccelerator(e.key, e.modifiers)) return true;
      }
      return false;
    default:
      return false;
  }
}
