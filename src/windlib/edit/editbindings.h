// Key and mouse bindings: texts of the form
//   "Up"|Shift@Edit=ContinueSelection;Up
//   Mouse1*Press2|Control@Edit=SelectWord;SelectionAdjust
// (a trigger, the window class, optionally "@menu label", then the command
// string), parsed into tables that map an event to a command string.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EditBinding {
  bool mouse = false;
  std::string key;       // key name as written ("Up", "a", "KP_Enter")
  uint32_t keyCode = 0;  // toolkit key code, 0 when the name is unknown here
  int buttons = 0;       // mouse: button digit(s)
  int action = 0;        // mouse: 0 Press, 1 Release, 2 Either
  int clicks = 1;
  bool atOnce = false;
  unsigned modifiers = 0;  // WModShift, WModControl, WModMeta
  bool anyModifiers = false;
  std::string windowClass;
  std::string menuLabel;
  std::string command;
  std::string text;      // the binding as written
};

// Parses one binding text; false when it is malformed.
bool EditParseBinding(const std::string& text, EditBinding* out);

// The default bindings as texts.
const std::vector<std::string>& edit_DefaultKeys();
const std::vector<std::string>& edit_DefaultMice();

// The bindings in effect: the default keys, then the default mice, each in
// the order given (of two defaults with one trigger the earlier wins), then
// those added since; a binding overridden is left out.
const std::vector<EditBinding>& EditActiveBindings();
// Adds a binding given as text (a configuration "key" or "mouse" line); it
// replaces the binding of the same trigger. False when the text is
// malformed, names an unknown key, or is of the other kind than `mouse`.
bool EditAddBinding(const std::string& text, bool mouse);
// Removes every key binding, or every mouse binding.
void EditClearBindings(bool mouse);
// The command bound to a key in window class `cls` ("Edit"), or none.
// An upper-case letter with a modifier is looked up as lower case.
const std::string* InterpretEditKey(uint32_t key, unsigned modifiers, const char* cls = "Edit");
// The command for a mouse button event.
const std::string* InterpretEditMouse(int button, bool release, int clicks, unsigned modifiers,
                                      const char* cls = "Edit");
// The name a key is shown with in identify mode ("Control+a").
std::string EditKeyDescription(uint32_t key, unsigned modifiers);
