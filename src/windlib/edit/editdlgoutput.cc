#include "windlib/edit/editdlgoutput.h"

#include <algorithm>
#include <cstdio>

#include "shared/indgen/indgen.h"
#include "windlib/edit/editopen.h"
#include "windlib/edit/editoutput.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wbutton.h"
#include "windlib/x11/wtopwindow.h"

namespace {
std::vector<EditDlgOutputGrabber*> all_grabbers;
bool initialized = false;
std::string default_title;
std::vector<std::string> cached_output;
bool dont_bring_it_up = false;
bool making_dialog = false;
bool in_handler = false;  // a message made while one is being shown

constexpr int kColumns = 72, kRows = 12, kButtonHeight = 28, kMargin = 8;
}  // namespace

EditDlgOutputGrabber* EditDlgOutputGrabber::MakeEditDlgOutputGrabber(const char* title) {
  return new EditDlgOutputGrabber(title);
}

EditDlgOutputGrabber::EditDlgOutputGrabber(const char* title) {
  all_grabbers.push_back(this);
  if (title) title_ = title;
}

EditDlgOutputGrabber::~EditDlgOutputGrabber() {
  WatchIdle(false);
  all_grabbers.erase(std::remove(all_grabbers.begin(), all_grabbers.end(), this),
                     all_grabbers.end());
  EditReleaseMessageFile(file_);
}

bool EditDlgOutputGrabber::IsInitialized() {
  return initialized;
}
const std::string& EditDlgOutputGrabber::DefaultTitle() {
  return default_title;
}
const std::vector<std::string>& EditDlgOutputGrabber::CachedOutput() {
  return cached_output;
}
bool EditDlgOutputGrabber::DontBringItUp() {
  return dont_bring_it_up;
}

void EditDlgOutputGrabber::ResetForTests() {
  initialized = false;
  outputNoDisplay = false;
  default_title.clear();
  cached_output.clear();
  dont_bring_it_up = false;
}

void EditDlgOutputGrabber::OrvexIsInitialized() {
  if (initialized || outputNoDisplay) return;
  if (!wDisplayActive) {
    outputNoDisplay = true;
    return;
  }
  initialized = true;
  default_title = std::string("Messages from ") + (gen_progname ? gen_progname : "");
  for (EditDlgOutputGrabber* g : std::vector<EditDlgOutputGrabber*>(all_grabbers))
    g->OpenEditMessageDlg(false);
}

void EditDlgOutputGrabber::SpewCacheToStderr() {
  if (initialized || cached_output.empty()) return;
  for (const std::string& line : cached_output) fputs(line.c_str(), stderr);
  fflush(stderr);
}

bool EditDlgOutputGrabber::HandleOutput(const char* text) {
  if (outputNoDisplay || in_handler) {
    fputs(text, stdout);
    fflush(stdout);
    return true;
  }
  // The dialog is filled at the next idle moment: the message may come from
  // inside the X error handler, where nothing may touch the display.
  if (initialized && !dont_bring_it_up && *text) {
    pending_ += text;
    WatchIdle(true);
  }
  if (*text) cached_output.push_back(text);
  return true;
}

void EditDlgOutputGrabber::Flush() {
  WatchIdle(false);
  if (pending_.empty() || in_handler) return;
  std::string text;
  text.swap(pending_);
  struct Guard {
    ~Guard() { in_handler = false; }
  } guard;
  in_handler = true;
  PutIntoDialog(text);
}

void EditDlgOutputGrabber::DiscardGrabbedStuff() {
  cached_output.clear();
  pending_.clear();
}

WTopWindow* EditDlgOutputGrabber::Dialog() const {
  return dialog_.alive() ? dialog_ptr_ : nullptr;
}

Edit* EditDlgOutputGrabber::View() const {
  return Dialog() ? text_ : nullptr;
}

void EditDlgOutputGrabber::PutIntoDialog(const std::string& text) {
  if (!Dialog()) {
    // A new dialog shows everything collected, this text included.
    OpenEditMessageDlg(true);
    return;
  }
  EditAppendMessages(text_, text, &open_line_);
  if (!kept_) dialog_ptr_->Raise();
}

void EditDlgOutputGrabber::OpenEditMessageDlg(bool force) {
  if (!initialized || !wDisplayActive || dont_bring_it_up) return;
  if (!force && cached_output.empty()) return;
  if (Dialog() || making_dialog) return;
  making_dialog = true;
  const std::string& title = title_ ? *title_ : default_title;
  auto* dlg = new WTopWindow(title, 400, 300);
  EditReleaseMessageFile(file_);
  file_ = EditMessageFile(title);
  Edit* text =
      EditCreate(dlg->client(), 0, 0, -1, -1, title.c_str(), file_, nullptr, false, true, false);
  keep_button_ = new WButton(dlg->client(), "", [this] { PressTackButton(); });
  hide_button_ = new WButton(dlg->client(), "", [this] { PressHideButton(); });
  dlg->client()->SetLayout([text, this](WContainer* c) {
    WRect r = c->bounds();
    int text_h = std::max(1, r.height - kButtonHeight - 2 * kMargin);
    text->SetGeometry(WRect{0, 0, r.width, text_h});
    int bw = 120, y = text_h + kMargin;
    keep_button_->SetGeometry(WRect{r.width - 2 * (bw + kMargin), y, bw, kButtonHeight});
    hide_button_->SetGeometry(WRect{r.width - (bw + kMargin), y, bw, kButtonHeight});
  });
  dlg->SetGeometry(WRect{
      dlg->geometry().x, dlg->geometry().y, kColumns * text->charWidth() + WScrollBar::Thickness(),
      kRows * text->lineHeight() + WScrollBar::Thickness() + kButtonHeight + 2 * kMargin});
  dialog_ = HandleRef(kWindowHandleType, static_cast<WWindow*>(dlg));
  dialog_ptr_ = dlg;
  text_ = text;
  kept_ = false;
  open_line_ = false;
  RefreshLabels();
  std::string all;
  for (const std::string& line : cached_output) all += line;
  EditAppendMessages(text_, all, &open_line_);
  dlg->Show();
  making_dialog = false;
}

void EditDlgOutputGrabber::ShowCachedWarningsInDlg() {
  bool hidden = dont_bring_it_up;
  dont_bring_it_up = false;
  EditDlgOutputGrabber* g = MakeEditDlgOutputGrabber(nullptr);
  g->OpenEditMessageDlg(true);
  g->PressTackButton();
  dont_bring_it_up = hidden;
  // The grabber lives for its dialog only: nothing routes messages to it.
  all_grabbers.erase(std::remove(all_grabbers.begin(), all_grabbers.end(), g), all_grabbers.end());
  if (WTopWindow* dlg = g->Dialog())
    dlg->SetCloseHandler([g](WTopWindow*) {
      g->dialog_.reset();
      delete g;
      return true;
    });
  else
    delete g;
}

void EditDlgOutputGrabber::PressTackButton() {
  kept_ = !kept_;
  RefreshLabels();
}

void EditDlgOutputGrabber::PressHideButton() {
  dont_bring_it_up = !dont_bring_it_up;
  for (EditDlgOutputGrabber* g : all_grabbers) g->RefreshLabels();
  RefreshLabels();
}

void EditDlgOutputGrabber::RefreshLabels() {
  if (!Dialog()) return;
  keep_button_->SetLabel(kept_ ? "[x] Keep" : "[ ] Keep");
  hide_button_->SetLabel(dont_bring_it_up ? "[x] Hide" : "[ ] Hide");
}
