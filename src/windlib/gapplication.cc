#include "windlib/gapplication.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "shared/indgen/strformat.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"

GApplication* ApplicationInstance = nullptr;

void GUIApplication::Panic(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = gen_vformat(format, args);
  va_end(args);
  fflush(stdout);
  fprintf(stderr, "%s\n", text.c_str());
  fflush(stderr);
  WBell();
  // Showing the message must not itself unwind past this point.
  WithRecoveryPoint([&] {
    wAlert("Error", text);
    for (WTopLevel* w : std::vector<WTopLevel*>(windows_)) w->ShowMessage(text);
  });
  ErrorJump(1);
}

void GUIApplication::cwInsertList(WTopLevel* window) {
  if (std::find(windows_.begin(), windows_.end(), window) == windows_.end())
    windows_.push_back(window);
}

void GUIApplication::cwRemoveList(WTopLevel* window) {
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
  if (error_window_ == window) error_window_ = nullptr;
}

WTopLevel* GUIApplication::cwGetList() { return windows_.empty() ? nullptr : windows_.front(); }

bool GUIApplication::cwDestroyAll() {
  // Closing removes a window from the list, so work on a copy.
  for (WTopLevel* w : std::vector<WTopLevel*>(windows_)) {
    if (std::find(windows_.begin(), windows_.end(), w) == windows_.end()) continue;
    if (!w->Close()) return false;
  }
  return true;
}

void GUIApplication::error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = gen_vformat(format, args);
  va_end(args);
  if (error_window_) error_window_->ShowMessage(text);
  else wAlert("Error", text);
}

void GUIApplication::ReregisterWindows() {
  for (WTopLevel* w : std::vector<WTopLevel*>(windows_)) w->Reregister();
}
