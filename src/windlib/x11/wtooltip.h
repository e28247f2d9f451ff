// Tool tips: a small window with a window's tool-tip text that appears when
// the pointer rests over it and goes away when the pointer leaves, a button
// is pressed or a key is typed.
#pragma once

#include <string>

class WWindow;
struct WEvent;

// Tool tips are on by default.
void WSetTooltipsEnabled(bool on);
bool WTooltipsEnabled();
// Milliseconds the pointer must rest before the tip shows (default 600).
void WSetTooltipDelay(int ms);

// Shows `text` at screen position (x, y) now (prototype tips of the editor).
void WShowTooltip(const std::string& text, int x, int y);
void WHideTooltip();
// The text shown now, or "" when no tip is up.
std::string WTooltipShown();

// Told every event delivered to a window (by the event delivery itself).
void WTooltipNote(WWindow* window, const WEvent& e);
