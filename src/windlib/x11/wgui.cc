// Display start-up, the resource database and the event functions of the
// main loop.
#include "windlib/x11/wgui.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xresource.h>
#include <fontconfig/fontconfig.h>
#include <poll.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"
#include "windlib/wwait.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wcolorlist.h"
#include "windlib/x11/wdialog.h"
#include "windlib/x11/wdraw.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wpopupmenu.h"
#include "windlib/x11/wwindow.h"
#include "windlib/x11/xdisplay.h"
#include "windlib/xswitch.h"

void (*WXUnclaimedEventHook)(XEvent& event) = nullptr;

namespace {
constexpr char kClassName[] = "Orvex";

Display* display = nullptr;
XrmDatabase resources = nullptr;
XIM input_method = nullptr;
std::unordered_map<std::string, Atom> atoms;
std::unordered_map<Window, WXEventTarget*> targets;
bool exit_requested = false;
void (*exit_handler)() = nullptr;

// The X resource options of the command line.
XrmOptionDescRec kOptions[] = {
    {const_cast<char*>("-display"), const_cast<char*>(".display"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-filedialogue"), const_cast<char*>(".filedialogue"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("-geometry"), const_cast<char*>(".geometry"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("="), const_cast<char*>(".geometry"), XrmoptionIsArg, nullptr},
    {const_cast<char*>("#"), const_cast<char*>(".icongeometry"), XrmoptionIsArg, nullptr},
    {const_cast<char*>("-bg"), const_cast<char*>(".background"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-background"), const_cast<char*>(".background"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-fg"), const_cast<char*>(".foreground"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-foreground"), const_cast<char*>(".foreground"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-ac"), const_cast<char*>(".assembly"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-assemblyc"), const_cast<char*>(".assembly"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-cc"), const_cast<char*>(".controlcolor"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-controlc"), const_cast<char*>(".controlcolor"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-pc"), const_cast<char*>(".pointercolor"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-pointerc"), const_cast<char*>(".pointercolor"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-bc"), const_cast<char*>(".breakcolor"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-breakc"), const_cast<char*>(".breakcolor"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-bd"), const_cast<char*>(".bdotcolor"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-bdotc"), const_cast<char*>(".bdotcolor"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-fn"), const_cast<char*>(".font"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-font"), const_cast<char*>(".font"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-16bitfont"), const_cast<char*>(".16bitfont"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-bw"), const_cast<char*>(".blackwhite"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("-gray"), const_cast<char*>(".grey"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("-grey"), const_cast<char*>(".grey"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("-synchronous"), const_cast<char*>(".synchronous"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("+synchronous"), const_cast<char*>(".synchronous"), XrmoptionNoArg,
     const_cast<char*>("off")},
    {const_cast<char*>("-xrm"), nullptr, XrmoptionResArg, nullptr},
    {const_cast<char*>("-configure"), const_cast<char*>(".configure"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-save"), const_cast<char*>(".saveEvents"), XrmoptionNoArg,
     const_cast<char*>("saveEvents")},
    {const_cast<char*>("-restore"), const_cast<char*>(".restoreEvents"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-dump"), const_cast<char*>(".dumpResources"), XrmoptionNoArg,
     const_cast<char*>("./WResources")},
    {const_cast<char*>("-resources"), const_cast<char*>(".loadResources"), XrmoptionSepArg,
     nullptr},
    {const_cast<char*>("-debug"), const_cast<char*>(".debuglevel"), XrmoptionSepArg, nullptr},
    {const_cast<char*>("-reversevideo"), const_cast<char*>(".reversevideo"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("-rv"), const_cast<char*>(".reversevideo"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("+rv"), const_cast<char*>(".reversevideo"), XrmoptionNoArg,
     const_cast<char*>("off")},
    {const_cast<char*>("-iconic"), const_cast<char*>(".iconify"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("-iconify"), const_cast<char*>(".iconify"), XrmoptionNoArg,
     const_cast<char*>("on")},
    {const_cast<char*>("+iconify"), const_cast<char*>(".iconify"), XrmoptionNoArg,
     const_cast<char*>("off")},
};

[[noreturn]] void no_display(const char* given) {
  const char* prog = gen_progname ? gen_progname : "oe";
  fflush(stdout);
  fprintf(stderr, "%s failed to start up in GUI mode\n", prog);
  if (given && *given) fprintf(stderr, "Unknown display: %s\n", given);
  fprintf(stderr, "Check that your DISPLAY environment variable is set appropriately, or\n");
  fprintf(stderr, "enter the display name on the command line with '%s -display xxx'\n", prog);
  fprintf(stderr, "This program is only available in GUI mode, so you must have an X server\n");
  fflush(stderr);
  gen_do_exit(1);
}

// Errors of the protocol are not fatal: a request about a window that another
// client has just destroyed (a selection requestor, say) fails harmlessly.
int on_x_error(Display* d, XErrorEvent* e) {
  if (e->error_code == BadWindow) return 0;
  // Giving the keyboard to a window the window manager has just iconified fails.
  if (e->request_code == X_SetInputFocus && e->error_code == BadMatch) return 0;
  char text[256];
  XGetErrorText(d, e->error_code, text, sizeof text);
  gen_warning("X error: %s (request %d.%d)", text, e->request_code, e->minor_code);
  return 0;
}

// The connection itself is gone: nothing can be shown any more.
int on_io_error(Display*) {
  gen_error("lost the connection to the X server");
  gen_do_exit(1);
  return 0;
}

// Makes X input end a wait of the central notifier. X events themselves are
// taken by WEventAll, so the handlers do nothing.
class XSocketListener : public WakeListener {
 public:
  int wakeFD() override { return display ? ConnectionNumber(display) : -1; }
};
XSocketListener x_listener;

void open_input_method() {
  // Typed text comes through the input method in the user's locale.
  if (!std::setlocale(LC_CTYPE, "") || !XSupportsLocale()) std::setlocale(LC_CTYPE, "C.UTF-8");
  XSetLocaleModifiers("");
  input_method = XOpenIM(display, nullptr, nullptr, nullptr);
  if (!input_method) {
    XSetLocaleModifiers("@im=none");
    input_method = XOpenIM(display, nullptr, nullptr, nullptr);
  }
}

// Translates and dispatches one event inside its own recovery point, so that
// a panic abandons only this event.
void dispatch(XEvent& event) {
  // Keys typed ahead while the program was busy were addressed to the
  // window that had the keyboard then; once a menu has taken the keyboard
  // they are the menu's, as they would have been had they come later.
  if ((event.type == KeyPress || event.type == KeyRelease) && WPopupMenu::Current() &&
      WPopupMenu::Current()->xstate())
    event.xkey.window = WPopupMenu::Current()->xstate()->window;
  if (XFilterEvent(&event, None)) return;
  WithRecoveryPoint([&] {
    if (WXSelectionEvent(event)) return;
    auto it = targets.find(event.xany.window);
    if (it != targets.end())
      it->second->HandleXEvent(event);
    else if (WXUnclaimedEventHook)
      WXUnclaimedEventHook(event);
  });
}
}  // namespace

Display* WXDisplay() {
  return display;
}
XrmDatabase WXResources() {
  return resources;
}
XIM WXInputMethod() {
  return input_method;
}

Atom WXAtom(const char* name) {
  auto it = atoms.find(name);
  if (it != atoms.end()) return it->second;
  Atom a = XInternAtom(display, name, False);
  atoms[name] = a;
  return a;
}

void WXRegisterWindow(Window window, WXEventTarget* target) {
  targets[window] = target;
}
void WXUnregisterWindow(Window window) {
  targets.erase(window);
}
WXEventTarget* WXTargetOf(Window window) {
  auto it = targets.find(window);
  return it == targets.end() ? nullptr : it->second;
}

int WGUIInit(int* argc, char** argv, GApplication* app, bool, bool, int) {
  (void)app;
  XrmInitialize();
  XrmParseCommand(&resources, kOptions, static_cast<int>(sizeof kOptions / sizeof kOptions[0]),
                  kClassName, argc, argv);
  const char* given = WGetResource("display");
  if (!given) given = gen_getenv("DISPLAY", nullptr);
  display = XOpenDisplay(given);
  if (!display) no_display(given);
  const char* sync = WGetResource("synchronous");
  if (sync && std::strcmp(sync, "on") == 0) XSynchronize(display, True);
  XSetErrorHandler(on_x_error);
  XSetIOErrorHandler(on_io_error);
  // Resources set on the server (xrdb) under the program's names count too,
  // below those of the command line.
  if (char* server = XResourceManagerString(display)) {
    XrmDatabase db = XrmGetStringDatabase(server);
    XrmMergeDatabases(resources, &db);
    resources = db;
  }
  open_input_method();
  wDisplayActive = true;
  WBellHook = WBellNow;
  shr_InitializeColors();
  WLoadPalette();
  WXSelectionInit();
  if (IdleNotifier* n = getIdleNotifier()) n->addSocketListener(&x_listener);
  WInstallDialogs();
  return 1;
}

const char* WGetResource(const char* name) {
  if (!resources || !name) return nullptr;
  std::string res_name = std::string(gen_progname ? gen_progname : "oe") + "." + name;
  std::string res_class = std::string(kClassName) + "." + name;
  char* type = nullptr;
  XrmValue value;
  if (XrmGetResource(resources, res_name.c_str(), res_class.c_str(), &type, &value) && value.addr)
    return value.addr;
  return nullptr;
}

void WSetResource(const char* name, const char* value) {
  if (!name || !value) return;
  std::string spec = std::string("*") + name;
  XrmPutStringResource(&resources, spec.c_str(), value);
}

int WEventAll(int) {
  int dispatched = 0;
  if (display) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      dispatch(event);
      // A burst of events must not starve the timers.
      if (++dispatched % 11 == 0 && ExtraProcess_AnyTimedOut()) break;
    }
  }
  dispatched += WDeliverPosted();
  WReapDestroyed();
  if (IdleNotifier* n = getIdleNotifier()) {
    n->notifyIdle(false);
    n->notifyTimers();
    n->notifySocketActivity(0, true);
  }
  WReapDestroyed();
  WFlushDrawing();
  if (exit_requested && exit_handler) {
    exit_requested = false;
    exit_handler();
  }
  return dispatched;
}

void WServeExposures() {
  if (display) {
    XEvent event;
    while (XCheckMaskEvent(display, ExposureMask, &event)) dispatch(event);
  }
  WFlushDrawing();
  if (display) XFlush(display);
}

void WYield(long ms) {
  if (ms < 0) ms = 0;
  WFlushDrawing();
  if (WPostedEventsPending()) return;
  if (display) {
    if (XPending(display)) return;  // also sends what is buffered
    if (!debugFlag[xsUseFDRegistry]) {
      if (ms > 500) ms = 500;
      struct pollfd pfd = {ConnectionNumber(display), POLLIN, 0};
      // A signal ends the wait early, which only makes the loop go round once more.
      poll(&pfd, 1, static_cast<int>(ms));
      return;
    }
  }
  if (IdleNotifier* n = getIdleNotifier()) {
    n->notifySocketActivity(ms, false);
    return;
  }
  poll(nullptr, 0, static_cast<int>(ms));
}

void WSync() {
  WFlushDrawing();
  if (display) XSync(display, False);
}

void WFlush() {
  WFlushDrawing();
  if (display) XFlush(display);
}

void WCloseDisplay() {
  if (!display) return;
  WXSelectionShutdown();
  if (IdleNotifier* n = getIdleNotifier()) n->removeSocketListener(&x_listener);
  WDrawReset();
  WFontsReset();
  targets.clear();
  if (input_method) XCloseIM(input_method);
  input_method = nullptr;
  XCloseDisplay(display);
  display = nullptr;
  atoms.clear();
  // Fontconfig keeps caches for the life of the process; the display was the
  // last user of fonts, so they can go now.
  FcFini();
  wDisplayActive = false;
}

void WBellNow() {
  if (display) XBell(display, 0);
}

void WRequestExit() {
  exit_requested = true;
}
void WSetExitRequestHandler(void (*handler)()) {
  exit_handler = handler;
}
