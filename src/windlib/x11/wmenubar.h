// The menu bar of a top-level window: a row of menu titles with mnemonics.
// A click or Alt+mnemonic opens the menu below its title; Left and Right
// move between the menus while one is open.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "windlib/x11/wmenu.h"
#include "windlib/x11/wwindow.h"

class WPopupMenu;

class WMenuBar : public WWindow {
 public:
  explicit WMenuBar(WWindow* parent);

  // Appends a menu titled `label` ("&File").
  void AddMenu(const std::string& label, std::shared_ptr<WMenu> menu);
  void Clear();
  int menuCount() const { return static_cast<int>(entries_.size()); }
  std::shared_ptr<WMenu> menuAt(int i) const { return entries_[static_cast<size_t>(i)].menu; }
  // Opens menu `index`; with `select_first` its first item is selected.
  void OpenMenu(int index, bool select_first);
  // The index of the open menu, or -1.
  int openIndex() const { return open_index_; }
  WPopupMenu* openPopup() const { return popup_; }
  // Alt+letter: opens the menu with that mnemonic; true when one did.
  bool HandleMnemonic(char c);
  // Runs the enabled item whose shown accelerator the key matches; true when one did.
  bool HandleAccelerator(uint32_t key, unsigned modifiers);
  // The title under (x, y), or -1.
  int EntryAt(int x, int y) const;
  WRect EntryRect(int index) const;

  void PreferredSize(int* w, int* h) const override;
  void Paint(WPainter& p) override;
  bool HandleEvent(WEvent& e) override;

 private:
  friend class WPopupMenu;
  void MoveOpenMenu(int delta);
  void PopupClosed(WPopupMenu* popup);
  bool PressIsOnBar(int root_x, int root_y) const;
  void HandleRootPress(int root_x, int root_y);
  void TrackRootMotion(int root_x, int root_y);

  struct Entry {
    std::string label;
    std::shared_ptr<WMenu> menu;
  };
  std::vector<Entry> entries_;
  int open_index_ = -1;
  WPopupMenu* popup_ = nullptr;
};
