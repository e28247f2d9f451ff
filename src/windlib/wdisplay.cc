#include "windlib/wdisplay.h"

#include <cstdarg>
#include <cstdio>

#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "windlib/outputmanager.h"

bool wDisplayActive = false;
void (*WBellHook)() = nullptr;
void (*WEnableUserInputHook)() = nullptr;
void (*mprintf_hook)(const char* text) = nullptr;

namespace {
WAskHandler scripted;
WAskHandler display_asker;

WAskReply default_reply(const WAskRequest& r) {
  fflush(stdout);
  fprintf(stderr, "%s%s%s", r.title.c_str(), r.title.empty() ? "" : ": ", r.text.c_str());
  if (r.kind == WAskKind::Alert && r.buttons.size() > 1) {
    fputs(" [", stderr);
    for (size_t i = 0; i < r.buttons.size(); ++i)
      fprintf(stderr, "%s%s", i ? "/" : "", r.buttons[i].c_str());
    fputc(']', stderr);
  }
  fputc('\n', stderr);
  fflush(stderr);
  WAskReply reply;
  reply.button = r.kind == WAskKind::Alert ? r.defaultButton : 1;  // prompts cancel
  reply.text = r.defaultText;
  return reply;
}
}  // namespace

WAskReply WAsk(const WAskRequest& request) {
  if (scripted) return scripted(request);
  if (wDisplayActive && display_asker) return display_asker(request);
  return default_reply(request);
}

void WSetScriptedResponder(WAskHandler responder) { scripted = std::move(responder); }
void WSetDisplayAsker(WAskHandler asker) { display_asker = std::move(asker); }

int wAlert(const std::string& title, const std::string& text,
           const std::vector<std::string>& buttons, int default_button) {
  WAskRequest r;
  r.kind = WAskKind::Alert;
  r.title = title;
  r.text = text;
  r.buttons = buttons.empty() ? std::vector<std::string>{"OK"} : buttons;
  r.defaultButton = default_button;
  return WAsk(r).button;
}

bool WYesNo(const std::string& title, const std::string& text, bool default_yes) {
  return wAlert(title, text, {"Yes", "No"}, default_yes ? 0 : 1) == 0;
}

bool WPrompt(const std::string& title, const std::string& text, const std::string& initial,
             std::string* result) {
  WAskRequest r;
  r.kind = WAskKind::Prompt;
  r.title = title;
  r.text = text;
  r.defaultText = initial;
  WAskReply reply = WAsk(r);
  if (reply.button != 0) return false;
  if (result) *result = reply.text;
  return true;
}

bool WChooseFile(const std::string& title, const std::string& directory, const std::string& filter,
                 const std::string& initial, std::string* result, const std::string& preset) {
  WAskRequest r;
  r.kind = WAskKind::FileChooser;
  r.title = title;
  r.directory = directory;
  r.filter = filter;
  r.defaultText = initial;
  r.fileTypePreset = preset;
  WAskReply reply = WAsk(r);
  if (reply.button != 0 || reply.text.empty()) return false;
  if (result) *result = reply.text;
  return true;
}

bool vfBeep = true;

void WBell() {
  if (vfBeep && WBellHook) WBellHook();
}

void WEnableUserInput() {
  if (WEnableUserInputHook) WEnableUserInputHook();
}

void mprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = gen_vformat(format, args);
  va_end(args);
  if (mprintf_hook) {
    mprintf_hook(text.c_str());
  } else {
    outputManager->PrintOutput(text.c_str());
  }
}
