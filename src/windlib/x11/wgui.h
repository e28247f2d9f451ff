// The toolkit's start-up and event functions, as the layers above see them.
// No X type appears here: everything above the toolkit also runs without a
// display.
#pragma once

class GApplication;

// Opens the display (the -display option or DISPLAY), parses the X resource
// options of the command line into the resource database (removing them from
// argv) and brings the toolkit up. Returns 1 on success; without a display it
// prints why and ends the program with status 1.
int WGUIInit(int* argc, char** argv, GApplication* app, bool show_errors, bool with_windows,
             int feature);

// Dispatches every queued X event without waiting, then runs idle work,
// timers and socket notifications, and the exit request if one is pending.
int WEventAll(int wait);
// Repaints what the server reports exposed and what was invalidated, and
// leaves every other event queued: long work calls it between its steps.
void WServeExposures();
// Sleeps until X input (or a registered socket) is ready, or for at most
// `ms` milliseconds. Returns at once when X events are already queued.
void WYield(long ms);
// Paints what was invalidated, flushes requests and waits until the server
// has handled them.
void WSync();
// Paints what was invalidated and sends the buffered requests.
void WFlush();
// Rings the display's bell (nothing without a display).
void WBellNow();
// Closes the display connection.
void WCloseDisplay();

// A value of the resource database: `name` is looked up under the program
// name and under the program's class ("Orvex"). None when unset.
const char* WGetResource(const char* name);
// Sets a resource for this process (as -xrm "*name: value" would).
void WSetResource(const char* name, const char* value);

// The exit request run by the next WEventAll (a window-manager quit, say).
void WRequestExit();
void WSetExitRequestHandler(void (*handler)());
