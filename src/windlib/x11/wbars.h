// The tool bar row and the status line of a top-level window, and a plain
// container whose children are placed by a layout function.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "windlib/x11/wbutton.h"
#include "windlib/x11/wwindow.h"

class WStatusLine;

// A row of flat buttons; a button's status text shows in the window's
// status line while the pointer is over it.
class WToolBar : public WWindow {
 public:
  explicit WToolBar(WWindow* parent);
  // Inserts a button at `index` (-1: at the end); returns it.
  WButton* AddButton(const std::string& label, const std::string& status_text,
                     std::function<void()> action, int index = -1);
  // A separator is a gap between groups of buttons.
  void AddSeparator(int index = -1);
  void Clear();
  int count() const { return static_cast<int>(items_.size()); }
  // The button at `index`, or none for a separator.
  WButton* buttonAt(int index) const { return items_[static_cast<size_t>(index)]; }
  void SetStatusLine(WStatusLine* status) { status_ = status; }

  void PreferredSize(int* w, int* h) const override;
  void Layout() override;
  void Paint(WPainter& p) override;

 private:
  std::vector<WButton*> items_;  // none for a separator
  WStatusLine* status_ = nullptr;
};

// The message line at the bottom of a window: a message on the left and
// fixed fields (line and column, say) on the right.
class WStatusLine : public WWindow {
 public:
  explicit WStatusLine(WWindow* parent);
  void SetMessage(const std::string& text);
  const std::string& message() const { return message_; }
  // Sets field `index` (created when missing) to `text`, at least
  // `min_chars` characters wide.
  void SetField(int index, const std::string& text, int min_chars = 0);
  std::string field(int index) const;
  int fieldCount() const { return static_cast<int>(fields_.size()); }

  void PreferredSize(int* w, int* h) const override;
  void Paint(WPainter& p) override;

 private:
  WRect FieldRect(int index) const;
  std::string message_;
  struct Field {
    std::string text;
    int min_chars = 0;
  };
  std::vector<Field> fields_;
};

class WContainer : public WWindow {
 public:
  explicit WContainer(WWindow* parent) : WWindow(parent) {}
  // Called whenever the container changes size, to place the children.
  void SetLayout(std::function<void(WContainer*)> layout) {
    layout_ = std::move(layout);
    Layout();
  }
  void Layout() override {
    if (layout_) layout_(this);
  }

 private:
  std::function<void(WContainer*)> layout_;
};
