// What the layers above the toolkit may ask of the display without knowing
// whether one exists: questions and alerts, the bell, the message output.
// The X layer installs its implementations; without a display the defaults
// print on standard error and take the default answer.
#pragma once

#include <functional>
#include <string>
#include <vector>

// True while an X connection is open and windows can be shown.
extern bool wDisplayActive;

enum class WAskKind {
  Alert,        // a text with buttons; the reply is the button index
  Prompt,       // a one-line text entry with a default; OK (0) or Cancel (1)
  FileChooser,  // a file name; OK (0) or Cancel (1)
};

struct WAskRequest {
  WAskKind kind = WAskKind::Alert;
  std::string title;
  std::string text;
  std::vector<std::string> buttons;    // Alert: in order; index 0 first
  int defaultButton = 0;               // the answer taken without a display
  std::string defaultText;             // Prompt: initial text; FileChooser: initial name
  std::string directory;               // FileChooser: where it starts
  std::string filter;                  // FileChooser: shell pattern such as "*.c"
  std::string fileTypePreset;          // FileChooser: the preset of its type pulldown
  std::vector<std::string> fileTypes;  // FileChooser: further types offered
};

struct WAskReply {
  int button = 0;
  std::string text;
};

using WAskHandler = std::function<WAskReply(const WAskRequest&)>;

// The one entry point for every question and alert. A scripted responder
// (tests) answers first; else the display's dialogs; else the question goes
// to standard error and the default answer is returned.
WAskReply WAsk(const WAskRequest& request);
void WSetScriptedResponder(WAskHandler responder);
void WSetDisplayAsker(WAskHandler asker);

// Conveniences over WAsk.
int wAlert(const std::string& title, const std::string& text,
           const std::vector<std::string>& buttons = {"OK"}, int default_button = 0);
bool WYesNo(const std::string& title, const std::string& text, bool default_yes);
// False when cancelled; `result` holds the text entered.
bool WPrompt(const std::string& title, const std::string& text, const std::string& initial,
             std::string* result);
// `preset` names the file types the chooser offers ("" for none).
bool WChooseFile(const std::string& title, const std::string& directory, const std::string& filter,
                 const std::string& initial, std::string* result, const std::string& preset = "");

// Bell and user-input hooks, set by the X layer. The bell sounds only while
// vfBeep (the "beep" option) is on.
extern bool vfBeep;
void WBell();
void WEnableUserInput();
extern void (*WBellHook)();
extern void (*WEnableUserInputHook)();

// The message output: where reports go when no window can show them. The
// text goes to the output manager (outputmanager.h), unless a hook is set.
void mprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
extern void (*mprintf_hook)(const char* text);
