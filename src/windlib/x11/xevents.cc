// Translation of X input events into the toolkit's events: key symbols and
// typed text through the input method, modifiers, click counting.
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <cstring>

#include "windlib/x11/wgui.h"
#include "windlib/x11/wwindow.h"
#include "windlib/x11/xdisplay.h"

namespace {
constexpr unsigned kStateMask = ShiftMask | LockMask | ControlMask | Mod1Mask | Button1Mask |
                                Button2Mask | Button3Mask | Button4Mask | Button5Mask;
constexpr int kClickSlop = 4;  // pixels a click may move and still count as the same

Time last_time = CurrentTime;

struct ClickState {
  Window window = 0;
  unsigned button = 0;
  Time time = 0;
  int x = 0, y = 0;
  int count = 0;
} click;

long multi_click_ms() {
  static long ms = -1;
  if (ms < 0) {
    const char* r = WGetResource("multiClickTime");
    ms = r ? std::strtol(r, nullptr, 10) : 0;
    if (ms <= 0) ms = 400;
  }
  return ms;
}

void append_utf8(std::string* out, unsigned long cp) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xc0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3f));
  } else {
    *out += static_cast<char>(0xe0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
    *out += static_cast<char>(0x80 | (cp & 0x3f));
  }
}

uint32_t key_of_text(const std::string& utf8) {
  unsigned char c = static_cast<unsigned char>(utf8[0]);
  uint32_t cp = c;
  size_t extra = c < 0x80 ? 0 : (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 : 3;
  if (extra) cp = c & (0x3f >> extra);
  for (size_t i = 1; i <= extra && i < utf8.size(); ++i)
    cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3f);
  return cp < 0x100 ? cp : 0x1000000 + cp;
}

void translate_key(WWindow* w, XKeyEvent& xk, WEvent* e) {
  KeySym sym = NoSymbol;
  char buf[256];
  int n = 0;
  WWindow* top = w->root();
  XIC ic = top->xstate() ? top->xstate()->ic : nullptr;
  if (ic && xk.type == KeyPress) {
    Status status;
    n = Xutf8LookupString(ic, &xk, buf, sizeof buf - 1, &sym, &status);
    if (status == XBufferOverflow || status == XLookupNone) n = 0;
    if (status == XLookupChars) sym = NoSymbol;
    if (n > 0) e->text.assign(buf, static_cast<size_t>(n));
    if (sym == NoSymbol && status != XLookupChars) sym = XLookupKeysym(&xk, 0);
  } else {
    n = XLookupString(&xk, buf, sizeof buf - 1, &sym, nullptr);
    // XLookupString gives Latin-1; the toolkit hands on UTF-8.
    for (int i = 0; i < n; ++i) append_utf8(&e->text, static_cast<unsigned char>(buf[i]));
  }
  e->key = static_cast<uint32_t>(sym);
  // Text from the input method without a key symbol (a composed character)
  // gets the key code of its character, as X numbers them.
  if (e->key == 0 && !e->text.empty()) e->key = key_of_text(e->text);
}

// The modifiers and the pointer position that key, button, motion and
// crossing events all carry.
template <typename XPointerEvent>
void take_pointer(const XPointerEvent& x, WEvent* e) {
  e->modifiers = x.state & kStateMask;
  e->x = x.x;
  e->y = x.y;
  e->rootX = x.x_root;
  e->rootY = x.y_root;
}

// The same with the event's time, which is also the latest the server gave.
template <typename XPointerEvent>
void take_timed_pointer(const XPointerEvent& x, WEvent* e) {
  WXNoteTime(x.time);
  take_pointer(x, e);
  e->time = x.time;
}
}  // namespace

Time WXLastEventTime() {
  return last_time;
}
void WXNoteTime(Time t) {
  if (t != CurrentTime) last_time = t;
}

bool WXTranslate(WWindow* w, XEvent& xe, WEvent* e) {
  switch (xe.type) {
    case KeyPress:
    case KeyRelease:
      e->kind = xe.type == KeyPress ? WEventKind::KeyDown : WEventKind::KeyUp;
      take_timed_pointer(xe.xkey, e);
      translate_key(w, xe.xkey, e);
      return e->key != 0 || !e->text.empty();
    case ButtonPress:
    case ButtonRelease: {
      XButtonEvent& b = xe.xbutton;
      e->kind = xe.type == ButtonPress ? WEventKind::ButtonDown : WEventKind::ButtonUp;
      e->button = static_cast<int>(b.button);
      take_timed_pointer(b, e);
      if (xe.type == ButtonPress) {
        bool same = click.window == b.window && click.button == b.button &&
                    b.time - click.time <= static_cast<Time>(multi_click_ms()) &&
                    std::abs(b.x_root - click.x) <= kClickSlop &&
                    std::abs(b.y_root - click.y) <= kClickSlop;
        click.count = same ? click.count + 1 : 1;
        click.window = b.window;
        click.button = b.button;
        click.time = b.time;
        click.x = b.x_root;
        click.y = b.y_root;
      }
      e->clicks = click.count > 0 ? click.count : 1;
      return true;
    }
    case MotionNotify: {
      // Only the newest position of a burst of motion matters.
      Display* d = WXDisplay();
      while (XPending(d)) {
        XEvent next;
        XPeekEvent(d, &next);
        if (next.type != MotionNotify || next.xmotion.window != xe.xmotion.window) break;
        XNextEvent(d, &xe);
      }
      e->kind = WEventKind::Motion;
      take_timed_pointer(xe.xmotion, e);
      return true;
    }
    case EnterNotify:
    case LeaveNotify:
      if (xe.xcrossing.mode != NotifyNormal) return false;
      e->kind = xe.type == EnterNotify ? WEventKind::Enter : WEventKind::Leave;
      take_pointer(xe.xcrossing, e);
      return true;
    case FocusIn:
    case FocusOut: {
      if (xe.xfocus.detail == NotifyPointer || xe.xfocus.detail == NotifyInferior) return false;
      e->kind = xe.type == FocusIn ? WEventKind::FocusGained : WEventKind::FocusLost;
      WXState* x = w->root()->xstate();
      if (x && x->ic) {
        if (xe.type == FocusIn)
          XSetICFocus(x->ic);
        else
          XUnsetICFocus(x->ic);
      }
      return true;
    }
    case MapNotify:
      e->kind = WEventKind::Map;
      return true;
    case UnmapNotify:
      e->kind = WEventKind::Unmap;
      return true;
    default:
      return false;
  }
}

bool WXTakeEscape() {
  Display* d = WXDisplay();
  if (!d) return false;
  XEvent xe;
  auto is_escape = [](Display*, XEvent* ev, XPointer) -> Bool {
    return ev->type == KeyPress && XLookupKeysym(&ev->xkey, 0) == XK_Escape;
  };
  return XCheckIfEvent(d, &xe, is_escape, nullptr);
}
