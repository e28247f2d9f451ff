// The X side of WWindow: creating, configuring and mapping X windows, their
// back buffers, and copying what changed to the screen.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "shared/indgen/indgen.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wwindow.h"
#include "windlib/x11/xdisplay.h"

namespace {
constexpr long kChildEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                              PointerMotionMask | EnterWindowMask | LeaveWindowMask;
constexpr long kTopEvents = kChildEvents | KeyPressMask | KeyReleaseMask | FocusChangeMask |
                            StructureNotifyMask | PropertyChangeMask;

std::unordered_map<WColor, XftColor> xft_colors;
std::unordered_map<int, Cursor> cursors;

Visual* visual(Display* d) {
  return DefaultVisual(d, DefaultScreen(d));
}
Colormap colormap(Display* d) {
  return DefaultColormap(d, DefaultScreen(d));
}

Cursor cursor_for(Display* d, int shape) {
  auto it = cursors.find(shape);
  if (it != cursors.end()) return it->second;
  Cursor c = None;
  switch (static_cast<WPointerShape>(shape)) {
    case WPointerShape::Default:
      c = XCreateFontCursor(d, XC_left_ptr);
      break;
    case WPointerShape::Text:
      c = XCreateFontCursor(d, XC_xterm);
      break;
    case WPointerShape::Hand:
      c = XCreateFontCursor(d, XC_hand2);
      break;
    case WPointerShape::Busy:
      c = XCreateFontCursor(d, XC_watch);
      break;
    case WPointerShape::Blank: {
      // An invisible pointer: a one-pixel cursor whose mask is empty.
      static char empty = 0;
      Pixmap p = XCreateBitmapFromData(d, DefaultRootWindow(d), &empty, 1, 1);
      XColor black = {};
      c = XCreatePixmapCursor(d, p, p, &black, &black, 0, 0);
      XFreePixmap(d, p);
      break;
    }
  }
  cursors[shape] = c;
  return c;
}
}  // namespace

XftColor* WXColor(WColor c) {
  auto it = xft_colors.find(c);
  if (it != xft_colors.end()) return &it->second;
  Display* d = WXDisplay();
  XRenderColor rc = {static_cast<unsigned short>(((c >> 16) & 255) * 257),
                     static_cast<unsigned short>(((c >> 8) & 255) * 257),
                     static_cast<unsigned short>((c & 255) * 257), 0xffff};
  XftColor xc = {};
  if (!XftColorAllocValue(d, visual(d), colormap(d), &rc, &xc)) {
    xc.pixel = (c & 0x808080) ? WhitePixel(d, DefaultScreen(d)) : BlackPixel(d, DefaultScreen(d));
    xc.color = rc;
  }
  return &(xft_colors[c] = xc);
}

unsigned long WXPixel(WColor c) {
  return WXColor(c)->pixel;
}

void WXCreate(WWindow* w) {
  Display* d = WXDisplay();
  WXState* x = w->xstate();
  XSetWindowAttributes a = {};
  a.background_pixmap = None;  // the back buffer paints everything: no flash of background
  a.bit_gravity = NorthWestGravity;
  a.override_redirect = w->overrideRedirect() ? True : False;
  a.event_mask = w->parent() ? kChildEvents : kTopEvents;
  a.colormap = colormap(d);
  unsigned long mask = CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWEventMask | CWColormap;
  if (w->overrideRedirect()) {
    a.save_under = True;
    mask |= CWSaveUnder;
  }
  Window parent =
      w->parent() && w->parent()->xstate() ? w->parent()->xstate()->window : DefaultRootWindow(d);
  const WRect& g = w->geometry();
  x->window = XCreateWindow(d, parent, g.x, g.y, static_cast<unsigned>(g.width),
                            static_cast<unsigned>(g.height), 0, CopyFromParent, InputOutput,
                            visual(d), mask, &a);
  x->gc = XCreateGC(d, x->window, 0, nullptr);
  XSetGraphicsExposures(d, x->gc, False);
  WXRegisterWindow(x->window, x);
  if (!w->parent()) {
    Atom protocols[] = {WXAtom("WM_DELETE_WINDOW")};
    XSetWMProtocols(d, x->window, protocols, 1);
    XClassHint hint;
    std::string name = gen_progname ? gen_progname : "oe";
    hint.res_name = name.data();
    hint.res_class = const_cast<char*>("Orvex");
    XSetClassHint(d, x->window, &hint);
    XWMHints wm = {};
    wm.flags = InputHint | StateHint;
    wm.input = True;
    wm.initial_state = NormalState;
    XSetWMHints(d, x->window, &wm);
    long pid = static_cast<long>(getpid());
    XChangeProperty(d, x->window, WXAtom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    if (XIM im = WXInputMethod()) {
      x->ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                        x->window, XNFocusWindow, x->window, nullptr);
      if (x->ic) {
        long filter = 0;
        XGetICValues(x->ic, XNFilterEvents, &filter, nullptr);
        XSelectInput(d, x->window, kTopEvents | filter);
      }
    }
  }
  if (w->shown() && w->parent()) XMapWindow(d, x->window);
}

void WXDestroy(WWindow* w) {
  Display* d = WXDisplay();
  WXState* x = w->xstate();
  if (!d || !x) return;
  WXUnregisterWindow(x->window);
  if (x->ic) XDestroyIC(x->ic);
  if (x->draw) XftDrawDestroy(x->draw);
  if (x->back) XFreePixmap(d, x->back);
  if (x->gc) XFreeGC(d, x->gc);
  // Destroying an X window destroys its X children too; a child's own
  // destruction comes first (the tree is deleted bottom-up), so each X
  // window is destroyed once.
  XDestroyWindow(d, x->window);
  x->ic = nullptr;
  x->draw = nullptr;
  x->back = 0;
  x->gc = nullptr;
  x->window = 0;
}

void WXConfigure(WWindow* w) {
  WXState* x = w->xstate();
  if (!x || !x->window || x->configuring_from_server) return;
  const WRect& g = w->geometry();
  XMoveResizeWindow(WXDisplay(), x->window, g.x, g.y, static_cast<unsigned>(g.width),
                    static_cast<unsigned>(g.height));
}

void WXMap(WWindow* w, bool map) {
  WXState* x = w->xstate();
  if (!x || !x->window) return;
  if (map) {
    XMapWindow(WXDisplay(), x->window);
    if (!w->parent()) XRaiseWindow(WXDisplay(), x->window);
  } else if (w->parent()) {
    XUnmapWindow(WXDisplay(), x->window);
  } else {
    XWithdrawWindow(WXDisplay(), x->window, DefaultScreen(WXDisplay()));
  }
}

void WXSetPointer(WWindow* w, int shape) {
  WXState* x = w->xstate();
  if (!x || !x->window) return;
  XDefineCursor(WXDisplay(), x->window, cursor_for(WXDisplay(), shape));
}

void WXSetTitle(WWindow* w, const std::string& title, const std::string& icon_name) {
  WXState* x = w->xstate();
  if (!x || !x->window) return;
  Display* d = WXDisplay();
  Atom utf8 = WXAtom("UTF8_STRING");
  XChangeProperty(d, x->window, WXAtom("_NET_WM_NAME"), utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()),
                  static_cast<int>(title.size()));
  XChangeProperty(d, x->window, WXAtom("_NET_WM_ICON_NAME"), utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(icon_name.data()),
                  static_cast<int>(icon_name.size()));
  XStoreName(d, x->window, title.c_str());
  XSetIconName(d, x->window, icon_name.c_str());
}

void WXSetTransientFor(WWindow* w, WWindow* owner) {
  WXState* x = w->xstate();
  if (!x || !x->window || !owner || !owner->xstate()) return;
  XSetTransientForHint(WXDisplay(), x->window, owner->xstate()->window);
}

void WXSetSizeHints(WWindow* w, bool user_position, int min_w, int min_h) {
  WXState* x = w->xstate();
  if (!x || !x->window) return;
  XSizeHints* h = XAllocSizeHints();
  const WRect& g = w->geometry();
  h->flags = PSize | PMinSize | (user_position ? USPosition | USSize : PPosition);
  h->x = g.x;
  h->y = g.y;
  h->width = g.width;
  h->height = g.height;
  h->min_width = min_w;
  h->min_height = min_h;
  XSetWMNormalHints(WXDisplay(), x->window, h);
  XFree(h);
}

void WXRaise(WWindow* w) {
  WXState* x = w->xstate();
  if (!x || !x->window) return;
  // A shown top-level window may be iconified by the window manager: mapping
  // it again brings it back.
  if (!w->parent() && w->shown())
    XMapRaised(WXDisplay(), x->window);
  else
    XRaiseWindow(WXDisplay(), x->window);
}

void WXSetIconic(WWindow* w, bool iconic) {
  WXState* x = w->xstate();
  if (!x || !x->window) return;
  XWMHints* h = XGetWMHints(WXDisplay(), x->window);
  XWMHints fresh = {};
  XWMHints* use = h ? h : &fresh;
  use->flags |= StateHint;
  use->initial_state = iconic ? IconicState : NormalState;
  XSetWMHints(WXDisplay(), x->window, use);
  if (h) XFree(h);
}

void WXSetInputFocus(WWindow* w) {
  WXState* x = w->xstate();
  if (x && x->window && w->viewable())
    XSetInputFocus(WXDisplay(), x->window, RevertToParent, CurrentTime);
}

bool WXEnsureBack(WWindow* w) {
  Display* d = WXDisplay();
  WXState* x = w->xstate();
  if (!d || !x || !x->window) return false;
  int want_w = std::max(1, w->width()), want_h = std::max(1, w->height());
  if (x->back && x->backWidth == want_w && x->backHeight == want_h) return true;
  Pixmap fresh =
      XCreatePixmap(d, x->window, static_cast<unsigned>(want_w), static_cast<unsigned>(want_h),
                    static_cast<unsigned>(DefaultDepth(d, DefaultScreen(d))));
  // Start from the background and what was drawn so far, so that a window
  // that grows shows no garbage before it repaints.
  XSetClipMask(d, x->gc, None);
  XSetForeground(d, x->gc, WXPixel(w->background()));
  XFillRectangle(d, fresh, x->gc, 0, 0, static_cast<unsigned>(want_w),
                 static_cast<unsigned>(want_h));
  if (x->back) {
    XCopyArea(d, x->back, fresh, x->gc, 0, 0, static_cast<unsigned>(x->backWidth),
              static_cast<unsigned>(x->backHeight), 0, 0);
    XftDrawDestroy(x->draw);
    XFreePixmap(d, x->back);
  }
  x->back = fresh;
  x->backWidth = want_w;
  x->backHeight = want_h;
  x->draw = XftDrawCreate(d, fresh, visual(d), colormap(d));
  return true;
}

void WXCopyDamage(WWindow* w) {
  Display* d = WXDisplay();
  WXState* x = w->xstate();
  if (!d || !x || !x->back || x->damage.empty()) return;
  // Many small rectangles are copied as their bounding box.
  std::vector<WRect> areas;
  areas.swap(x->damage);
  if (areas.size() > 16) {
    WRect all;
    for (const WRect& r : areas) all = all.unite(r);
    areas.assign(1, all);
  }
  XSetClipMask(d, x->gc, None);
  for (const WRect& r0 : areas) {
    WRect r = r0.intersect(w->bounds());
    if (r.empty()) continue;
    XCopyArea(d, x->back, x->window, x->gc, r.x, r.y, static_cast<unsigned>(r.width),
              static_cast<unsigned>(r.height), r.x, r.y);
    if (w->caretVisible()) {
      WRect c = w->caret().intersect(r);
      if (!c.empty()) {
        XSetForeground(d, x->gc, WXPixel(WGetPalette().caret));
        XFillRectangle(d, x->window, x->gc, c.x, c.y, static_cast<unsigned>(c.width),
                       static_cast<unsigned>(c.height));
      }
    }
  }
}

// Events that only the X side knows about are handled here; the rest become
// toolkit events.
void WXState::HandleXEvent(XEvent& xe) {
  WWindow* w = owner;
  switch (xe.type) {
    case Expose: {
      WRect r{xe.xexpose.x, xe.xexpose.y, xe.xexpose.width, xe.xexpose.height};
      if (painted && back) {
        damage.push_back(r);
        WNoteDamage(w);
      } else {
        w->Invalidate(r);
      }
      // The window's handlers hear of it too, though nothing needs doing.
      WEvent e;
      e.kind = WEventKind::Exposure;
      e.area = r;
      w->Deliver(e);
      return;
    }
    case ConfigureNotify: {
      if (w->parent()) return;
      int rx = xe.xconfigure.x, ry = xe.xconfigure.y;
      if (!xe.xconfigure.send_event) {
        Window child;
        XTranslateCoordinates(WXDisplay(), window, DefaultRootWindow(WXDisplay()), 0, 0, &rx, &ry,
                              &child);
      }
      WRect g{rx, ry, xe.xconfigure.width, xe.xconfigure.height};
      configuring_from_server = true;
      w->SetGeometry(g);
      configuring_from_server = false;
      return;
    }
    case ClientMessage:
      if (static_cast<Atom>(xe.xclient.data.l[0]) == WXAtom("WM_DELETE_WINDOW")) {
        WEvent e;
        e.kind = WEventKind::CloseRequest;
        w->Deliver(e);
      }
      return;
    default:
      break;
  }
  WEvent e;
  if (WXTranslate(w, xe, &e)) w->Deliver(e);
}
