// The X connection and resource database, for the toolkit's own files.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xresource.h>

// The open display, or none in no-display mode.
Display* WXDisplay();
XrmDatabase WXResources();

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
