#include "windlib/x11/wtooltip.h"

#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/handles.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wwindow.h"

namespace {
bool enabled = true;
int delay_ms = 600;

class TipWindow : public WWindow {
 public:
  explicit TipWindow(const std::string& text) : WWindow(nullptr), text_(text) {
    SetOverrideRedirect(true);
    Realize();
    WFont* f = WUIFont();
    SetGeometry(WRect{0, 0, f->TextWidth(text) + 10, f->Height() + 6});
    SetBackgroundRole(WBackgroundRole::Tooltip);
  }
  const std::string& text() const { return text_; }
  void Paint(WPainter& p) override {
    p.FillRect(p.clip(), background());
    p.FrameRect(bounds(), WGetPalette().controlText);
    p.Text(5, 3, text_, WGetPalette().controlText, WUIFont());
  }

 private:
  std::string text_;
};

TipWindow* tip = nullptr;
HandleRef pending;  // the window the pointer rests over
int pending_x = 0, pending_y = 0;

class TipTimer : public TimerListener {
 public:
  void handleTimer(int64_t) override {
    if (IdleNotifier* n = getIdleNotifier()) n->removeTimerListener(this);
    if (!pending.alive()) return;
    auto* w = static_cast<WWindow*>(pending.get()->object);
    if (!w->viewable() || w->tooltip().empty()) return;
    WShowTooltip(w->tooltip(), pending_x + 12, pending_y + 18);
  }
} timer;

void cancel() {
  if (IdleNotifier* n = getIdleNotifier()) n->removeTimerListener(&timer);
  pending.reset();
}
}  // namespace

void WSetTooltipsEnabled(bool on) {
  enabled = on;
  if (!on) WHideTooltip();
}
bool WTooltipsEnabled() {
  return enabled;
}
void WSetTooltipDelay(int ms) {
  delay_ms = ms < 0 ? 0 : ms;
}

void WShowTooltip(const std::string& text, int x, int y) {
  WHideTooltip();
  if (text.empty()) return;
  tip = new TipWindow(text);
  WRect g = tip->geometry();
  g.x = x;
  g.y = y;
  tip->SetGeometry(g);
  tip->Show();
}

void WHideTooltip() {
  if (tip) tip->Destroy();
  tip = nullptr;
}

std::string WTooltipShown() {
  return tip ? tip->text() : "";
}

void WTooltipNote(WWindow* window, const WEvent& e) {
  if (window == tip) return;
  switch (e.kind) {
    case WEventKind::Enter:
      cancel();
      if (!enabled || window->tooltip().empty()) return;
      pending = HandleRef(kWindowHandleType, window);
      pending_x = e.rootX;
      pending_y = e.rootY;
      if (IdleNotifier* n = getIdleNotifier()) n->addTimerListener(&timer, delay_ms);
      return;
    case WEventKind::Motion:
      if (pending.get() && pending.get()->object == window) {
        pending_x = e.rootX;
        pending_y = e.rootY;
      }
      return;
    case WEventKind::Leave:
    case WEventKind::ButtonDown:
    case WEventKind::KeyDown:
      cancel();
      WHideTooltip();
      return;
    default:
      return;
  }
}
