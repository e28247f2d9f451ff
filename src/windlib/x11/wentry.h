// A one-line text field: typing, deletion, cursor motion, select-all and
// the clipboard (Ctrl+C, Ctrl+X, Ctrl+V, middle-button paste of PRIMARY).
#pragma once

#include <functional>
#include <string>

#include "windlib/x11/wwindow.h"

class WEntry : public WWindow {
 public:
  WEntry(WWindow* parent, const std::string& text = "");

  void SetText(const std::string& text);
  const std::string& text() const { return text_; }
  // The cursor, a byte offset on a character boundary.
  size_t cursor() const { return cursor_; }
  void SetCursor(size_t position);
  // Selects everything (typing then replaces it).
  void SelectAll();
  bool hasSelection() const { return sel_start_ != sel_end_; }
  std::string selectedText() const;
  // Inserts at the cursor, replacing the selection.
  void Insert(const std::string& text);

  // Called after every change of the text.
  void SetOnChange(std::function<void(WEntry*)> fn) { on_change_ = std::move(fn); }
  // Called on Return.
  void SetOnActivate(std::function<void(WEntry*)> fn) { on_activate_ = std::move(fn); }

  void PreferredSize(int* w, int* h) const override;
  void Paint(WPainter& p) override;
  bool HandleEvent(WEvent& e) override;

 protected:
  void OnFocusChange(bool focused) override;

 private:
  void DeleteSelection();
  void Changed();
  size_t PrevChar(size_t pos) const;
  size_t NextChar(size_t pos) const;
  size_t PositionAt(int x) const;
  void KeepCursorVisible();
  void UpdateCaret();

  std::string text_;
  size_t cursor_ = 0;
  size_t sel_start_ = 0, sel_end_ = 0;
  int scroll_ = 0;  // pixels of text scrolled out on the left
  std::function<void(WEntry*)> on_change_;
  std::function<void(WEntry*)> on_activate_;
};
