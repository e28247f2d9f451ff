#include "windlib/outputmanager.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "shared/indgen/strformat.h"

namespace {
OutputManager default_manager;
}  // namespace

OutputManager* outputManager = &default_manager;
bool outputNoDisplay = false;

void OutputSetManager(OutputManager* manager) {
  outputManager = manager ? manager : &default_manager;
}

void OutputManager::CreateDefaultStack() {
  default_top_ = PeekGrabber();
}

void OutputManager::PrintOutput(const char* text) {
  if (!text) text = "";
  if (!SendToGrabbers(text)) {
    fflush(stdout);
    fprintf(stderr, "%s", text);
    fflush(stderr);
  }
}

bool OutputManager::SendToGrabbers(const char* text) {
  // A grabber may push or pop while it handles the text: walk by position
  // and look again at the stack after every call.
  OutputGrabber* taker = nullptr;
  for (size_t i = stack_.size(); i-- > 0;) {
    if (i >= stack_.size()) continue;
    OutputGrabber* g = stack_[i];
    if (g->suspended > 0) continue;
    if (g->HandleOutput(text)) {
      taker = g;
      break;
    }
  }
  if (!taker) return false;
  // The taker may have been popped meanwhile; only a grabber still known
  // may be asked.
  bool blocked = IsGrabberOnStack(taker) && taker->BlockListeners();
  if (!blocked) {
    for (OutputGrabber* l : std::vector<OutputGrabber*>(listeners_)) {
      if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end())
        l->HandleOutput(text);
    }
  }
  return true;
}

void OutputManager::PushGrabber(OutputGrabber* g) {
  if (!g) return;
  g->refCount++;
  stack_.push_back(g);
}

OutputGrabber* OutputManager::PopGrabber() {
  if (stack_.empty()) return nullptr;
  OutputGrabber* g = stack_.back();
  stack_.pop_back();
  return g;
}

OutputGrabber* OutputManager::PeekGrabber(bool activeOnly) const {
  for (size_t i = stack_.size(); i-- > 0;)
    if (!activeOnly || stack_[i]->suspended <= 0) return stack_[i];
  return nullptr;
}

void OutputManager::PopOne() {
  OutputGrabber* g = PopGrabber();
  if (g && --g->refCount <= 0) {
    if (default_top_ == g) default_top_ = nullptr;
    RemoveListener(g);
    delete g;
  }
}

bool OutputManager::PopToGrabber(OutputGrabber* g) {
  if (!g || !IsGrabberOnStack(g)) return false;
  // The entry nearest the top is the one pushed last.
  size_t target = stack_.size();
  while (target-- > 0 && stack_[target] != g) {
  }
  while (stack_.size() > target) PopOne();
  return true;
}

void OutputManager::PopAllGrabbers() {
  while (!stack_.empty()) PopOne();
}

void OutputManager::PopToDefaultStack() {
  if (!default_top_) {
    PopAllGrabbers();
    return;
  }
  if (!IsGrabberOnStack(default_top_)) return;
  while (!stack_.empty() && stack_.back() != default_top_) PopOne();
}

bool OutputManager::IsGrabberOnStack(const OutputGrabber* g) const {
  return g && std::find(stack_.begin(), stack_.end(), g) != stack_.end();
}

bool OutputManager::IsDefaultStackTopped(bool activeOnly) const {
  return PeekGrabber(activeOnly) == default_top_;
}

void OutputManager::AddListener(OutputGrabber* g) {
  if (g && std::find(listeners_.begin(), listeners_.end(), g) == listeners_.end())
    listeners_.push_back(g);
}

void OutputManager::RemoveListener(OutputGrabber* g) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), g), listeners_.end());
}

OutputSilencer::OutputSilencer() : grabber_(NullOutputGrabber::MakeNullOutputGrabber()) {
  outputManager->PushGrabber(grabber_);
}

OutputSilencer::~OutputSilencer() {
  // Work that popped past the silencer has already released it.
  outputManager->PopToGrabber(grabber_);
}

void OutputMessage(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string line = gen_format_message(level, format, args);
  va_end(args);
  outputManager->PrintOutput(line.c_str());
}
