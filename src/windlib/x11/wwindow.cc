#include "windlib/x11/wwindow.h"

#include <algorithm>
#include <deque>
#include <unordered_set>

#include "windlib/handles.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wtooltip.h"
#include "windlib/x11/xdisplay.h"

namespace {
constexpr size_t kMaxInvalidRects = 8;

uint64_t next_serial = 1;
// The registries live as long as the process (never destroyed), so that a
// window deleted during static destruction still finds them.
std::vector<WWindow*>& dirty = *new std::vector<WWindow*>;               // invalid areas or damage
std::unordered_set<WWindow*>& live = *new std::unordered_set<WWindow*>;  // not yet deleted
std::vector<WWindow*>& doomed = *new std::vector<WWindow*>;              // deferred deletes
int delivery_depth = 0;

struct Posted {
  HandleRef target;
  WEvent event;
};
std::deque<Posted>& posted = *new std::deque<Posted>;

void mark_dirty(WWindow* w) {
  if (std::find(dirty.begin(), dirty.end(), w) == dirty.end()) dirty.push_back(w);
}

bool is_key(WEventKind k) {
  return k == WEventKind::KeyDown || k == WEventKind::KeyUp;
}

bool is_input(WEventKind k) {
  return is_key(k) || k == WEventKind::ButtonDown || k == WEventKind::ButtonUp ||
         k == WEventKind::Motion || k == WEventKind::CloseRequest;
}

std::vector<WWindow*>& modal_stack = *new std::vector<WWindow*>;
}  // namespace

void WPushModal(WWindow* root) {
  modal_stack.push_back(root);
}
void WPopModal(WWindow* root) {
  auto it = std::find(modal_stack.rbegin(), modal_stack.rend(), root);
  if (it != modal_stack.rend()) modal_stack.erase(std::next(it).base());
}
WWindow* WCurrentModal() {
  return modal_stack.empty() ? nullptr : modal_stack.back();
}

void WNoteDamage(WWindow* w) {
  mark_dirty(w);
}

WWindow::WWindow(WWindow* parent, const WRect& geometry)
    : parent_(parent),
      geometry_(geometry),
      shown_(parent != nullptr),
      background_(WGetPalette().control),
      serial_(next_serial++) {
  if (geometry_.width < 1) geometry_.width = 1;
  if (geometry_.height < 1) geometry_.height = 1;
  live.insert(this);
  if (parent_) {
    parent_->AddChild(this);
    Realize();
  }
  Invalidate();
}

WWindow::~WWindow() {
  // Children first, while their parent still exists.
  while (!children_.empty()) delete children_.back();
  MHandleDie(this);
  if (WWindow* r = root(); r != this && r->focus_ == this) r->focus_ = nullptr;
  if (parent_) parent_->RemoveChild(this);
  if (x_) WXDestroy(this);
  delete x_;
  live.erase(this);
  WPopModal(this);
  dirty.erase(std::remove(dirty.begin(), dirty.end(), this), dirty.end());
  doomed.erase(std::remove(doomed.begin(), doomed.end(), this), doomed.end());
}

void WWindow::Realize() {
  if (!WXDisplay() || x_) return;
  x_ = new WXState(this);
  WXCreate(this);
}

void WWindow::AddChild(WWindow* child) {
  children_.push_back(child);
}

void WWindow::RemoveChild(WWindow* child) {
  children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
  for (WWindow* w = this; w; w = w->parent_)
    if (w->focus_ == child) w->focus_ = nullptr;
}

WWindow* WWindow::root() {
  WWindow* w = this;
  while (w->parent_) w = w->parent_;
  return w;
}

void WWindow::TranslateTo(const WWindow* other, int* x, int* y) const {
  for (const WWindow* w = this; w && w->parent_; w = w->parent_) {
    *x += w->geometry_.x;
    *y += w->geometry_.y;
  }
  for (const WWindow* w = other; w && w->parent_; w = w->parent_) {
    *x -= w->geometry_.x;
    *y -= w->geometry_.y;
  }
}

void WWindow::ScreenPosition(int* x, int* y) const {
  *x = 0;
  *y = 0;
  const WWindow* w = this;
  for (; w; w = w->parent_) {
    *x += w->geometry_.x;
    *y += w->geometry_.y;
  }
}

void WWindow::SetGeometry(const WRect& requested) {
  WRect r = requested;
  if (r.width < 1) r.width = 1;
  if (r.height < 1) r.height = 1;
  bool resized = r.width != geometry_.width || r.height != geometry_.height;
  if (r == geometry_) return;
  geometry_ = r;
  if (x_) WXConfigure(this);
  if (!resized) return;
  Layout();
  Invalidate();
  WEvent e;
  e.kind = WEventKind::Resize;
  e.width = r.width;
  e.height = r.height;
  Deliver(e);
}

void WWindow::PreferredSize(int* w, int* h) const {
  *w = geometry_.width;
  *h = geometry_.height;
}

void WWindow::Show() {
  if (shown_) return;
  shown_ = true;
  if (x_) WXMap(this, true);
  Invalidate();
}

void WWindow::Hide() {
  if (!shown_) return;
  shown_ = false;
  if (x_) WXMap(this, false);
  // A hidden window gives up the focus of its tree.
  WWindow* r = root();
  for (WWindow* f = r->focus_; f; f = f->parent_) {
    if (f == this) {
      r->focus_ = nullptr;
      break;
    }
  }
}

bool WWindow::viewable() const {
  for (const WWindow* w = this; w; w = w->parent_)
    if (!w->shown_) return false;
  return true;
}

void WWindow::SetBackground(WColor color) {
  background_role_ = WBackgroundRole::Own;
  if (background_ == color) return;
  background_ = color;
  Invalidate();
}

namespace {
WColor palette_colour(WBackgroundRole role, WColor own) {
  const WPalette& pal = WGetPalette();
  switch (role) {
    case WBackgroundRole::Control:
      return pal.control;
    case WBackgroundRole::TextBackground:
      return pal.textBackground;
    case WBackgroundRole::Tooltip:
      return pal.tooltip;
    case WBackgroundRole::Own:
      break;
  }
  return own;
}
}  // namespace

void WWindow::SetBackgroundRole(WBackgroundRole role) {
  SetBackground(palette_colour(role, background_));
  background_role_ = role;
}

void WFollowPalette() {
  for (WWindow* w : live) {
    if (w->destroying()) continue;
    w->background_ = palette_colour(w->background_role_, w->background_);
    w->Invalidate();
  }
}

void WWindow::Invalidate() {
  Invalidate(bounds());
}

void WWindow::Invalidate(const WRect& area) {
  WRect a = area.intersect(bounds());
  if (a.empty()) return;
  for (WRect& r : invalid_) {
    if (!r.intersect(a).empty() || r.contains(a.x, a.y)) {
      r = r.unite(a);
      mark_dirty(this);
      return;
    }
  }
  if (invalid_.size() >= kMaxInvalidRects) {
    WRect all = a;
    for (const WRect& r : invalid_) all = all.unite(r);
    invalid_.assign(1, all);
  } else {
    invalid_.push_back(a);
  }
  mark_dirty(this);
}

void WWindow::ShiftInvalid(int dx, int dy) {
  std::vector<WRect> moved = invalid_;
  for (WRect r : moved) {
    r.x += dx;
    r.y += dy;
    Invalidate(r);
  }
}

WPainter WWindow::Painter() {
  return WPainter(this, bounds());
}

void WWindow::Paint(WPainter& p) {
  p.FillRect(p.clip(), background_);
}

void WWindow::SetCaret(const WRect& r, bool visible, WColor color) {
  if (r == caret_ && visible == caret_visible_ && color == caret_color_) return;
  if (x_) {
    if (caret_visible_) x_->damage.push_back(caret_.intersect(bounds()));
    if (visible) x_->damage.push_back(r.intersect(bounds()));
    mark_dirty(this);
  }
  caret_ = r;
  caret_visible_ = visible;
  caret_color_ = color;
}

bool WWindow::HandleEvent(WEvent& event) {
  (void)event;
  return false;
}

int WWindow::AddEventHook(EventHook hook) {
  hooks_.emplace_back(next_hook_, std::move(hook));
  return next_hook_++;
}

void WWindow::RemoveEventHook(int id) {
  hooks_.erase(
      std::remove_if(hooks_.begin(), hooks_.end(), [&](const auto& h) { return h.first == id; }),
      hooks_.end());
}

bool WWindow::Deliver(WEvent& event) {
  if (is_input(event.kind) && !modal_stack.empty()) {
    WWindow* r = root();
    if (r != modal_stack.back() && !r->override_redirect_) {
      if (event.kind == WEventKind::ButtonDown || event.kind == WEventKind::KeyDown) WBell();
      return false;
    }
  }
  WWindow* target = this;
  if (is_key(event.kind) && !parent_) {
    target = focusWindow();
    if (PreviewKey(event)) return true;
  }
  WTooltipNote(target, event);
  HandleRef guard(kWindowHandleType, target);
  ++delivery_depth;
  struct Depth {
    ~Depth() { --delivery_depth; }
  } depth;
  bool used = target->HandleEvent(event);
  // A key that the focused window does not take goes to its ancestors
  // (a dialog's Return and Escape, a window's menu mnemonics).
  if (!used && is_key(event.kind) && guard.alive()) {
    for (WWindow* up = target->parent_; up && !used; up = up->parent_) {
      HandleRef up_guard(kWindowHandleType, up);
      used = up->HandleEvent(event);
      if (!guard.alive() || !up_guard.alive()) break;
    }
  }
  if (!guard.alive()) return used;
  // Hooks may remove hooks: work on a copy, skipping those removed.
  auto hooks = target->hooks_;
  for (auto& [id, hook] : hooks) {
    if (!guard.alive()) break;
    bool still = std::any_of(target->hooks_.begin(), target->hooks_.end(),
                             [&](const auto& h) { return h.first == id; });
    if (still) hook(target, event);
  }
  return used;
}

void WWindow::Focus() {
  WWindow* r = root();
  WWindow* old = r->focus_;
  if (old == this) return;
  r->focus_ = this;
  if (old) old->OnFocusChange(false);
  OnFocusChange(true);
}

bool WWindow::hasFocus() const {
  WWindow* r = const_cast<WWindow*>(this)->root();
  return r->focus_ == this;
}

WWindow* WWindow::focusWindow() {
  WWindow* r = root();
  return r->focus_ ? r->focus_ : r;
}

void WWindow::FocusNext(bool backwards) {
  // The focusable, viewable windows of the tree in depth-first order.
  std::vector<WWindow*> order;
  std::vector<WWindow*> stack{root()};
  while (!stack.empty()) {
    WWindow* w = stack.back();
    stack.pop_back();
    if (w->focusable_ && w->viewable()) order.push_back(w);
    for (auto it = w->children_.rbegin(); it != w->children_.rend(); ++it) stack.push_back(*it);
  }
  if (order.empty()) return;
  WWindow* current = focusWindow();
  auto it = std::find(order.begin(), order.end(), current);
  size_t n = order.size();
  size_t i = it == order.end() ? (backwards ? n - 1 : 0)
                               : (backwards ? (static_cast<size_t>(it - order.begin()) + n - 1) % n
                                            : (static_cast<size_t>(it - order.begin()) + 1) % n);
  order[i]->Focus();
}

void WWindow::SetPointerShape(WPointerShape shape) {
  if (pointer_ == shape) return;
  pointer_ = shape;
  if (x_) WXSetPointer(this, static_cast<int>(shape));
}

uint64_t WWindow::windowId() const {
  return x_ ? static_cast<uint64_t>(x_->window) : serial_;
}

void WWindow::Destroy() {
  if (destroying_) return;
  destroying_ = true;
  Hide();
  if (delivery_depth == 0) {
    delete this;
    return;
  }
  doomed.push_back(this);
}

// ---- Process-wide functions ----

void WSendEvent(WWindow* window, const WEvent& event) {
  if (!window || !live.count(window)) return;
  WEvent copy = event;
  WithRecoveryPoint([&] { window->Deliver(copy); });
}

void WPostEvent(WWindow* window, const WEvent& event) {
  if (!window) return;
  posted.push_back(Posted{HandleRef(kWindowHandleType, window), event});
}

bool WPostedEventsPending() {
  return !posted.empty();
}

bool WTakeEscape() {
  for (auto it = posted.begin(); it != posted.end(); ++it)
    if (it->event.kind == WEventKind::KeyDown && it->event.key == WK_Escape) {
      posted.erase(it);
      return true;
    }
  return WXTakeEscape();
}

// Delivers the events posted so far (not those their handlers post).
int WDeliverPosted() {
  int n = 0;
  size_t count = posted.size();
  while (count-- > 0 && !posted.empty()) {
    Posted p = std::move(posted.front());
    posted.pop_front();
    if (!p.target.alive()) continue;
    WSendEvent(static_cast<WWindow*>(p.target.get()->object), p.event);
    ++n;
  }
  return n;
}

int WDeliveryDepth() {
  return delivery_depth;
}

void WReapDestroyed() {
  if (delivery_depth > 0) return;
  while (!doomed.empty()) {
    WWindow* w = doomed.back();
    doomed.pop_back();
    delete w;
  }
}

void WFlushDrawing() {
  // Painting may invalidate other windows; go round until nothing is left,
  // but never forever.
  for (int round = 0; round < 4 && !dirty.empty(); ++round) {
    std::vector<WWindow*> work;
    work.swap(dirty);
    for (WWindow* w : work) {
      if (!live.count(w)) continue;
      std::vector<WRect> areas;
      areas.swap(w->invalid_);
      if (w->viewable() && !w->destroying()) {
        if (w->x_ && !WXEnsureBack(w)) continue;
        for (const WRect& a : areas) {
          WPainter p(w, a);
          WithRecoveryPoint([&] { w->Paint(p); });
          if (!live.count(w)) break;
        }
        if (live.count(w) && w->x_) {
          w->x_->painted = true;
          WXCopyDamage(w);
        }
      } else if (w->x_) {
        w->x_->damage.clear();
      }
      // Areas of a hidden window are repainted when it is shown again.
    }
  }
}

WEvent WKeyEvent(uint32_t key, unsigned modifiers, const std::string& text) {
  WEvent e;
  e.kind = WEventKind::KeyDown;
  e.key = key;
  e.modifiers = modifiers;
  e.text = text;
  return e;
}

WEvent WButtonEvent(WEventKind kind, int button, int x, int y, int clicks, unsigned modifiers) {
  WEvent e;
  e.kind = kind;
  e.button = button;
  e.x = x;
  e.y = y;
  e.rootX = x;
  e.rootY = y;
  e.clicks = clicks;
  e.modifiers = modifiers;
  return e;
}

const char* WEventKindName(WEventKind kind) {
  switch (kind) {
    case WEventKind::KeyDown:
      return "KeyDown";
    case WEventKind::KeyUp:
      return "KeyUp";
    case WEventKind::ButtonDown:
      return "ButtonDown";
    case WEventKind::ButtonUp:
      return "ButtonUp";
    case WEventKind::Motion:
      return "Motion";
    case WEventKind::Enter:
      return "Enter";
    case WEventKind::Leave:
      return "Leave";
    case WEventKind::Exposure:
      return "Exposure";
    case WEventKind::Resize:
      return "Resize";
    case WEventKind::FocusGained:
      return "FocusGained";
    case WEventKind::FocusLost:
      return "FocusLost";
    case WEventKind::CloseRequest:
      return "CloseRequest";
    case WEventKind::Map:
      return "Map";
    case WEventKind::Unmap:
      return "Unmap";
  }
  return "?";
}
