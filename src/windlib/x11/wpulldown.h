// A pulldown: a button that shows the chosen one of a list of texts and,
// when pressed, opens the list as a pop-up menu below itself. With the
// keyboard focus, Up and Down choose the previous or next text directly and
// Space opens the list.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "windlib/x11/wwindow.h"

class WPulldown : public WWindow {
 public:
  explicit WPulldown(WWindow* parent);

  void SetItems(std::vector<std::string> items);
  const std::vector<std::string>& items() const { return items_; }
  // The index of the chosen text, or -1 when none is chosen.
  int selected() const { return selected_; }
  // Shows `index` as chosen (-1: none) without telling the change handler.
  void Select(int index);
  // What the pulldown shows while no text is chosen.
  void SetNoneText(const std::string& text) {
    none_text_ = text;
    Invalidate();
  }
  // Shows `index` as chosen and, when it changed, tells the handler.
  void Choose(int index);
  void SetOnChange(std::function<void(WPulldown*, int)> fn) { on_change_ = std::move(fn); }
  // Opens the list below the pulldown, the chosen text checked.
  void OpenList();

  void PreferredSize(int* w, int* h) const override;
  void Paint(WPainter& p) override;
  bool HandleEvent(WEvent& e) override;

 protected:
  void OnFocusChange(bool) override { Invalidate(); }

 private:
  std::vector<std::string> items_;
  int selected_ = -1;
  std::string none_text_;
  std::function<void(WPulldown*, int)> on_change_;
};
