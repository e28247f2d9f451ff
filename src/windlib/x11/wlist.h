// A list of text rows with one selected row, a vertical scroll bar, keyboard
// motion, type-ahead and double-click activation.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "windlib/x11/wwindow.h"

class WScrollBar;

class WList : public WWindow {
 public:
  explicit WList(WWindow* parent);

  void SetItems(std::vector<std::string> items);
  const std::vector<std::string>& items() const { return items_; }
  int selected() const { return selected_; }
  // Selects row `index` (-1: none) and scrolls it into view.
  void Select(int index);
  int rowHeight() const;
  int topRow() const;

  // Called when the selection changes, and when a row is double-clicked or
  // Return is pressed on it.
  void SetOnSelect(std::function<void(WList*, int)> fn) { on_select_ = std::move(fn); }
  void SetOnActivate(std::function<void(WList*, int)> fn) { on_activate_ = std::move(fn); }

  void Layout() override;
  void Paint(WPainter& p) override;
  bool HandleEvent(WEvent& e) override;

 protected:
  void OnFocusChange(bool) override { Invalidate(); }

 private:
  int VisibleRows() const;
  void UpdateScrollBar();
  void ScrollTo(long pixels);
  int RowAt(int y) const;

  std::vector<std::string> items_;
  int selected_ = -1;
  long scroll_ = 0;  // pixels scrolled
  WScrollBar* bar_;
  std::function<void(WList*, int)> on_select_;
  std::function<void(WList*, int)> on_activate_;
};
