// The views' side of the configuration: the options whose values the edit
// layer takes (key and mouse bindings), and bringing the views up to date
// after options changed.
#pragma once

// Installs the setters of the edit layer's function options ("key",
// "keybind", "mouse", "clearkeys", "clearmice") and the check of colour
// values. Run once by EditInit.
void EditConfigInit();

// Applies and clears the refresh flags the options or'ed into AnyRefreshes:
// relays out and redraws every view, gives views their selection margin or
// takes it away, and restarts the journal timer. Returns the flags applied.
unsigned EditApplyConfigRefreshes();
