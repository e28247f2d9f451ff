// The X connection, the resource database and the X side of windows, for the
// toolkit's own files only.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <string>
#include <vector>

#include "windlib/x11/wtypes.h"

class WWindow;

// The open display, or none in no-display mode.
Display* WXDisplay();
XrmDatabase WXResources();
XIM WXInputMethod();
// Takes the first Escape key press out of the server's queue, if any.
bool WXTakeEscape();
// Interned atoms, cached.
Atom WXAtom(const char* name);

// Receives the X events of one window.
class WXEventTarget {
 public:
  virtual ~WXEventTarget() = default;
  virtual void HandleXEvent(XEvent& event) = 0;
};

void WXRegisterWindow(Window window, WXEventTarget* target);
void WXUnregisterWindow(Window window);
WXEventTarget* WXTargetOf(Window window);

// Hook for events no registered window takes (selection requests, say).
extern void (*WXUnclaimedEventHook)(XEvent& event);

// The X side of one WWindow.
struct WXState : WXEventTarget {
  explicit WXState(WWindow* w) : owner(w) {}
  void HandleXEvent(XEvent& event) override;

  WWindow* owner;
  Window window = 0;
  Pixmap back = 0;  // the back buffer, as large as the window
  int backWidth = 0, backHeight = 0;
  XftDraw* draw = nullptr;
  GC gc = nullptr;
  XIC ic = nullptr;           // top-level windows: the input context
  std::vector<WRect> damage;  // parts of the back buffer newer than the screen
  bool painted = false;       // the back buffer holds the window's contents
  // Set while a size from the window manager is applied, so that it is not
  // sent back to the server.
  bool configuring_from_server = false;
};

// Asks for the damaged parts of `w` to be copied to the screen.
void WNoteDamage(WWindow* w);

// Creates the X window of `w` (and the back buffer on demand).
void WXCreate(WWindow* w);
void WXDestroy(WWindow* w);
void WXConfigure(WWindow* w);
void WXMap(WWindow* w, bool map);
void WXSetPointer(WWindow* w, int shape);
// Title, icon name and the window-manager properties of a top-level window.
void WXSetTitle(WWindow* w, const std::string& title, const std::string& icon_name);
void WXSetTransientFor(WWindow* w, WWindow* owner);
void WXSetSizeHints(WWindow* w, bool user_position, int min_w, int min_h);
void WXRaise(WWindow* w);
// Whether a top-level window first appears as an icon.
void WXSetIconic(WWindow* w, bool iconic);
void WXSetInputFocus(WWindow* w);
// Makes sure the back buffer exists and matches the window's size.
bool WXEnsureBack(WWindow* w);
// Copies the damaged parts of the back buffer to the screen, caret on top.
void WXCopyDamage(WWindow* w);
// An XftColor for `c` (cached).
XftColor* WXColor(WColor c);
unsigned long WXPixel(WColor c);

// Translates an X event for `w` into the toolkit's event; false when the
// event has no meaning for the layers above.
bool WXTranslate(WWindow* w, XEvent& xe, WEvent* out);
// The server time of the last event seen (for selection requests).
Time WXLastEventTime();
void WXNoteTime(Time t);

// Selections: handles SelectionRequest, SelectionNotify, SelectionClear and
// the PropertyNotify of incremental transfers. True when taken.
bool WXSelectionEvent(XEvent& event);
void WXSelectionInit();
void WXSelectionShutdown();
