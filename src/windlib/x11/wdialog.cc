#include "windlib/x11/wdialog.h"

#include <algorithm>

#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/handles.h"
#include "windlib/orvexjmp.h"
#include "windlib/wwait.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfilechooser.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wmenu.h"
#include "windlib/x11/xdisplay.h"

namespace {
WTopWindowOptions dialog_options() {
  WTopWindowOptions o;
  o.listed = false;
  return o;
}

// Without a display nothing can answer a dialog unless something is queued
// or registered that may still post an event.
bool nothing_can_answer() {
  if (WXDisplay() || WPostedEventsPending()) return false;
  IdleNotifier* n = getIdleNotifier();
  bool waiting = n && (n->getNumSocketListeners() > 0 || n->getTimeBeforeNextTimer() >= 0);
  return !waiting && ExtraProcess_NumberPending() == 0;
}
}  // namespace

WDialog::WDialog(const std::string& title, int width, int height)
    : WTopWindow(title, width, height, dialog_options()) {}

void WDialog::SetDefaultButton(WButton* button) {
  if (default_) default_->SetDefault(false);
  default_ = button;
  if (default_) default_->SetDefault(true);
}

std::vector<WButton*> WDialog::AddButtonRow(const std::vector<std::string>& labels) {
  std::vector<WButton*> row;
  for (size_t i = 0; i < labels.size(); ++i) {
    int result = static_cast<int>(i);
    row.push_back(new WButton(client(), labels[i], [this, result] { EndModal(result); }));
  }
  buttons_ = row;
  return row;
}

int WDialog::RunModal() {
  WTopWindow* owner = WActiveTopWindow();
  if (owner == this) owner = nullptr;
  HandleRef owner_ref;
  if (owner) {
    SetTransientFor(owner);
    owner_ref = HandleRef(kWindowHandleType, owner);
  }
  // Centre on the screen before the window appears.
  WRect g = geometry();
  int sw = 1280, sh = 1024;
  if (Display* d = WXDisplay()) {
    sw = DisplayWidth(d, DefaultScreen(d));
    sh = DisplayHeight(d, DefaultScreen(d));
  }
  g.x = std::max(0, (sw - g.width) / 2);
  g.y = std::max(0, (sh - g.height) / 3);
  SetGeometry(g);
  Show();
  if (focusWindow() == this) FocusNext(false);
  HandleRef self(kWindowHandleType, this);
  running_ = true;
  result_ = cancel_;
  WPushModal(this);
  while (running_ && self.alive()) {
    // A panic inside the dialog abandons one round, not the dialog.
    WithRecoveryPoint([&] {
      WEventAll(0);
      if (!running_ || !self.alive()) return;
      if (nothing_can_answer()) {
        EndModal(cancel_);
        return;
      }
      long next = kExtraProcessIdleWait;
      ExtraProcess_Wait(&next);
      WYield(std::max(0L, next - 10));
    });
  }
  if (!self.alive()) return cancel_;
  WPopModal(this);
  Hide();
  // The keyboard goes back to the window the dialog was asked from.
  if (owner_ref.alive()) WXSetInputFocus(owner);
  WFlush();
  return result_;
}

void WDialog::EndModal(int result) {
  result_ = result;
  running_ = false;
}

bool WDialog::Close() {
  EndModal(cancel_);
  return true;
}

bool WDialog::HandleEvent(WEvent& e) {
  if (e.kind == WEventKind::CloseRequest) {
    EndModal(cancel_);
    return true;
  }
  if (e.kind == WEventKind::Map && WXDisplay()) {
    WXSetInputFocus(this);
    return false;
  }
  if (e.kind != WEventKind::KeyDown) return WTopWindow::HandleEvent(e);
  switch (e.key) {
    case WK_Escape:
      EndModal(cancel_);
      return true;
    case WK_Return:
    case WK_KP_Enter:
      if (default_ && default_->enabled()) {
        default_->Activate();
        return true;
      }
      return false;
    case WK_Tab:
    case WK_ISO_Left_Tab:
      FocusNext(e.key == WK_ISO_Left_Tab || (e.modifiers & WModShift));
      return true;
    default:
      break;
  }
  // Alt+letter presses the button with that mnemonic.
  if ((e.modifiers & WModMeta) && e.text.size() == 1) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(e.text[0])));
    for (WButton* b : buttons_) {
      if (b->enabled() && WMenuMnemonic(b->label()) == c) {
        b->Activate();
        return true;
      }
    }
  }
  return WTopWindow::HandleEvent(e);
}

// ---- Alert ----

WAlertDialog::WAlertDialog(const std::string& title, const std::string& text,
                           const std::vector<std::string>& labels, int default_button)
    : WDialog(title, 100, 100) {
  std::vector<std::string> names = labels.empty() ? std::vector<std::string>{"OK"} : labels;
  label_ = new WLabel(client(), text);
  AddButtonRow(names);
  // Escape means the last button (Cancel, No) when there is a choice.
  SetCancelValue(static_cast<int>(names.size()) - 1);
  if (default_button >= 0 && default_button < static_cast<int>(buttons_.size())) {
    SetDefaultButton(buttons_[static_cast<size_t>(default_button)]);
    buttons_[static_cast<size_t>(default_button)]->Focus();
  }
  // Size: the text at most 480 pixels wide, the buttons in one row.
  int lw, lh;
  label_->PreferredSize(&lw, &lh);
  lw = std::min(std::max(lw, 200), 480);
  lh = label_->HeightFor(lw);
  int row_w = 0, bh = 0;
  for (WButton* b : buttons_) {
    int w, h;
    b->PreferredSize(&w, &h);
    row_w += w + 8;
    bh = h;
  }
  int w = std::max(lw, row_w) + 2 * kMargin;
  int h = lh + bh + 3 * kMargin;
  SetGeometry(WRect{0, 0, w, h});
  client()->SetLayout([this, lh, bh](WContainer* c) {
    label_->SetGeometry(WRect{kMargin, kMargin, c->width() - 2 * kMargin, lh});
    int x = c->width() - kMargin;
    for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
      int w, h;
      (*it)->PreferredSize(&w, &h);
      x -= w;
      (*it)->SetGeometry(WRect{x, c->height() - kMargin - bh, w, bh});
      x -= 8;
    }
  });
}

// ---- Prompt ----

WPromptDialog::WPromptDialog(const std::string& title, const std::string& text,
                             const std::string& initial)
    : WDialog(title, 420, 100) {
  auto* label = new WLabel(client(), text);
  entry_ = new WEntry(client(), initial);
  entry_->SelectAll();
  AddButtonRow({"OK", "Cancel"});
  SetCancelValue(1);
  SetDefaultButton(buttons_[0]);
  entry_->SetOnActivate([this](WEntry*) { EndModal(0); });
  entry_->Focus();
  int lh = label->HeightFor(420 - 2 * kMargin);
  int eh, ew, bw, bh;
  entry_->PreferredSize(&ew, &eh);
  buttons_[0]->PreferredSize(&bw, &bh);
  SetGeometry(WRect{0, 0, 420, lh + eh + bh + 4 * kMargin});
  client()->SetLayout([this, label, lh, eh, bh](WContainer* c) {
    int w = c->width() - 2 * kMargin;
    label->SetGeometry(WRect{kMargin, kMargin, w, lh});
    entry_->SetGeometry(WRect{kMargin, 2 * kMargin + lh, w, eh});
    int x = c->width() - kMargin;
    for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
      int bw2, bh2;
      (*it)->PreferredSize(&bw2, &bh2);
      x -= bw2;
      (*it)->SetGeometry(WRect{x, c->height() - kMargin - bh, bw2, bh});
      x -= 8;
    }
  });
}

// ---- WAsk ----

WAskReply WAskWithDialogs(const WAskRequest& r) {
  WAskReply reply;
  switch (r.kind) {
    case WAskKind::Alert: {
      WAlertDialog d(r.title, r.text, r.buttons, r.defaultButton);
      reply.button = d.RunModal();
      break;
    }
    case WAskKind::Prompt: {
      WPromptDialog d(r.title, r.text, r.defaultText);
      reply.button = d.RunModal() == 0 ? 0 : 1;
      reply.text = d.entry()->text();
      break;
    }
    case WAskKind::FileChooser: {
      WFileChooserDialog d(r.title, r.directory, r.filter, r.defaultText, r.fileTypePreset,
                           r.fileTypes);
      reply.button = d.RunModal() == 0 ? 0 : 1;
      reply.text = reply.button == 0 ? d.chosenPath() : std::string();
      break;
    }
  }
  return reply;
}

void WInstallDialogs() {
  WSetDisplayAsker(WAskWithDialogs);
}
