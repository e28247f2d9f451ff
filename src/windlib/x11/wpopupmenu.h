// A pop-up menu: a window outside the window manager's control that shows a
// WMenu, follows the pointer and the keys, and runs the chosen item's action
// after it has closed. Submenus open as further pop-ups to the right.
#pragma once

#include <functional>
#include <memory>

#include "windlib/x11/wmenu.h"
#include "windlib/x11/wwindow.h"

class WMenuBar;

class WPopupMenu : public WWindow {
 public:
  // Opens `menu` with its top left corner at (x, y) on the screen, moved so
  // that it stays on the screen. The menu closes itself (and is deleted)
  // when an item is chosen, on Escape, or on a click outside it.
  static WPopupMenu* Open(std::shared_ptr<WMenu> menu, int x, int y);

  // The pop-up menu that is open now, if any (the outermost one).
  static WPopupMenu* Current();
  // Closes the whole chain of open pop-up menus without choosing.
  static void CloseAll();

  // Called after the menu has closed, whether or not an item was chosen.
  void SetOnClose(std::function<void()> fn) { on_close_ = std::move(fn); }

  int selected() const { return selected_; }
  void Select(int index);
  // The item under (x, y) of this window, or -1.
  int ItemAt(int x, int y) const;
  WRect ItemRect(int index) const;
  WPopupMenu* submenuPopup() const { return child_; }
  const WMenu& menu() const { return *menu_; }

  void Paint(WPainter& p) override;
  bool HandleEvent(WEvent& e) override;

 private:
  friend class WMenuBar;
  WPopupMenu(std::shared_ptr<WMenu> menu, WPopupMenu* parent_popup);
  ~WPopupMenu() override;
  void Measure();
  void MoveSelection(int delta);
  void Choose(int index);
  void OpenSubmenu(bool select_first);
  void CloseSubmenu();
  // Closes this menu and its submenus (not its parent).
  void CloseThis();
  bool HandleKey(WEvent& e);
  bool HandlePointer(WEvent& e);

  std::shared_ptr<WMenu> menu_;
  WPopupMenu* parent_popup_;
  WPopupMenu* child_ = nullptr;
  WMenuBar* bar_ = nullptr;  // the menu bar that opened this menu
  int selected_ = -1;
  int label_width_ = 0, accel_width_ = 0;
  bool grabbed_ = false;
  bool button_seen_ = false;  // a release only chooses after a press or motion inside
  std::function<void()> on_close_;
};
