// WWindow: the base of every widget. A window has a parent (none for a
// top-level or pop-up window), a rectangle relative to its parent, a back
// buffer it draws into, and an event handler. With a display each window is
// an X window; without one the same objects exist, lay themselves out,
// paint (counted by the drawing recorder) and take synthetic events.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "windlib/x11/wdraw.h"
#include "windlib/x11/wtypes.h"

struct WXState;

// The type of every window's mHandle.
constexpr int kWindowHandleType = 21;

enum class WPointerShape { Default, Text, Hand, Busy, Blank };

// The colour of the palette a window's background follows when the palette
// is reloaded; Own for a colour the window was given.
enum class WBackgroundRole { Own, Control, TextBackground, Tooltip };

class WWindow {
 public:
  // A child of `parent` (which owns it and deletes it with itself), or a
  // top-level window when `parent` is none. Children start shown, top-level
  // windows hidden. With a display a child gets its X window at once; a
  // top-level window when its class calls Realize (WTopWindow, pop-ups), so
  // a bare WWindow without parent stays an object without an X window.
  explicit WWindow(WWindow* parent, const WRect& geometry = WRect{0, 0, 1, 1});
  virtual ~WWindow();
  WWindow(const WWindow&) = delete;
  WWindow& operator=(const WWindow&) = delete;

  // ---- Tree ----
  WWindow* parent() const { return parent_; }
  const std::vector<WWindow*>& children() const { return children_; }
  // The top-level window this one lives in (itself for a top-level window).
  WWindow* root();
  // Position of (x, y) of this window in `other`'s coordinates (both in one tree).
  void TranslateTo(const WWindow* other, int* x, int* y) const;
  // Position of this window's origin on the screen.
  void ScreenPosition(int* x, int* y) const;

  // ---- Geometry ----
  const WRect& geometry() const { return geometry_; }
  int width() const { return geometry_.width; }
  int height() const { return geometry_.height; }
  WRect bounds() const { return WRect{0, 0, geometry_.width, geometry_.height}; }
  // Moves and sizes the window; a change of size lays out the children,
  // repaints everything and delivers a Resize event.
  void SetGeometry(const WRect& r);
  // Places the children after a change of size; the default does nothing.
  virtual void Layout() {}
  // The size the window would like (for layouts); the default is its size.
  virtual void PreferredSize(int* w, int* h) const;

  // ---- Visibility ----
  virtual void Show();
  virtual void Hide();
  bool shown() const { return shown_; }
  // Shown, and every ancestor shown.
  bool viewable() const;

  // ---- Drawing ----
  // A colour of the window's own, kept when the palette changes.
  void SetBackground(WColor color);
  // The palette's colour for `role`, now and after every palette reload
  // (windows start with Control).
  void SetBackgroundRole(WBackgroundRole role);
  WColor background() const { return background_; }
  // Which background shade an input area inside this window takes (0..8).
  int inputAreaColorIndex = 0;
  // Asks for Paint over the area (all of the window by default) before the
  // toolkit next sleeps.
  void Invalidate();
  void Invalidate(const WRect& area);
  // A painter for drawing now, outside Paint; clipped to the window.
  WPainter Painter();
  // Draws the area p.clip(); the default fills it with the background.
  virtual void Paint(WPainter& p);
  // The caret: a rectangle drawn over the window's contents without
  // disturbing them, so that moving it needs no repaint.
  void SetCaret(const WRect& r, bool visible, WColor color);
  const WRect& caret() const { return caret_; }
  bool caretVisible() const { return caret_visible_; }

  // ---- Events ----
  // Handles one event; true when it was used. The default offers key events
  // to nobody and returns false.
  virtual bool HandleEvent(WEvent& event);
  // A top-level window sees each key before its focused window does; true
  // when it took the key (menu mnemonics).
  virtual bool PreviewKey(WEvent& event) {
    (void)event;
    return false;
  }
  // A handler that sees every event the window receives, after HandleEvent.
  using EventHook = std::function<void(WWindow*, const WEvent&)>;
  int AddEventHook(EventHook hook);
  void RemoveEventHook(int id);
  // Delivers an event now: HandleEvent, then the hooks. Keys go to the
  // focused window of the tree. Returns whether HandleEvent used it.
  bool Deliver(WEvent& event);

  // ---- Focus ----
  void SetFocusable(bool focusable) { focusable_ = focusable; }
  bool focusable() const { return focusable_; }
  // Makes this window the one that receives the keys of its tree.
  void Focus();
  bool hasFocus() const;
  // The focused window of this tree (the root when none is).
  WWindow* focusWindow();
  // Moves the focus to the next (or previous) focusable shown window.
  void FocusNext(bool backwards);

  // ---- Pointer and tool tip ----
  void SetPointerShape(WPointerShape shape);
  void SetTooltip(const std::string& text) { tooltip_ = text; }
  const std::string& tooltip() const { return tooltip_; }

  // ---- Identity and life ----
  // The X window id, or a number unique in the process without a display.
  uint64_t windowId() const;
  // Deletes the window once the event being handled is finished (at once
  // when no event is being handled). Safe from the window's own handlers.
  void Destroy();
  bool destroying() const { return destroying_; }
  // Drawing calls made into this window.
  long drawCount() const { return draw_count_; }

  // For the X layer.
  WXState* xstate() const { return x_; }
  bool overrideRedirect() const { return override_redirect_; }

 protected:
  // Pop-up windows (menus, tool tips) bypass the window manager.
  void SetOverrideRedirect(bool on) { override_redirect_ = on; }
  // Creates the X window when a display is open; top-level subclasses call
  // it after setting their kind.
  void Realize();
  virtual void OnFocusChange(bool focused) { (void)focused; }
  // After the contents moved by (dx, dy): areas still waiting for Paint are
  // waited for at their new place too.
  void ShiftInvalid(int dx, int dy);

 private:
  friend class WPainter;
  friend struct WWindowAccess;
  friend void WFlushDrawing();
  friend void WFollowPalette();
  void AddChild(WWindow* child);
  void RemoveChild(WWindow* child);

  WWindow* parent_;
  std::vector<WWindow*> children_;
  WRect geometry_;
  bool shown_;
  bool focusable_ = false;
  bool override_redirect_ = false;
  bool destroying_ = false;
  WColor background_;
  WBackgroundRole background_role_ = WBackgroundRole::Control;
  WRect caret_;
  bool caret_visible_ = false;
  WColor caret_color_ = 0;
  std::vector<WRect> invalid_;
  std::vector<std::pair<int, EventHook>> hooks_;
  int next_hook_ = 1;
  WWindow* focus_ = nullptr;  // in a root: the focused descendant
  std::string tooltip_;
  WPointerShape pointer_ = WPointerShape::Default;
  long draw_count_ = 0;
  uint64_t serial_;
  WXState* x_ = nullptr;
};

// Delivers `event` to `window` inside its own recovery point, as the toolkit
// delivers translated X events; a panic abandons only this event.
void WSendEvent(WWindow* window, const WEvent& event);
// Queues `event` for `window`; the next WEventAll delivers it. Tests and
// modal loops without a display drive the toolkit this way.
void WPostEvent(WWindow* window, const WEvent& event);
bool WPostedEventsPending();
// Takes an Escape key press out of the posted events or, with a display,
// out of the server's queue: true when there was one. Long work polls it
// to let the user cancel.
bool WTakeEscape();
// Delivers the events posted so far; returns how many.
int WDeliverPosted();

// Modal windows: while one is pushed, input events (keys, buttons, motion)
// reach only its tree and pop-up windows; the others are refused.
void WPushModal(WWindow* root);
void WPopModal(WWindow* root);
WWindow* WCurrentModal();

// Paints every invalidated window and copies what changed to the screen.
void WFlushDrawing();
// Deletes the windows whose Destroy was deferred.
void WReapDestroyed();
// Number of events being delivered right now (nested by modal loops).
int WDeliveryDepth();

// Builds a key event, for tests and for code that synthesises keys.
WEvent WKeyEvent(uint32_t key, unsigned modifiers = 0, const std::string& text = "");
WEvent WButtonEvent(WEventKind kind, int button, int x, int y, int clicks = 1,
                    unsigned modifiers = 0);

// After the palette was reloaded: every window that follows it takes its new
// colour, and every window is painted again (controls, menus and lists read
// the palette as they paint).
void WFollowPalette();
