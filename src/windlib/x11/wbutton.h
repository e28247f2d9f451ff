// Push buttons and text labels.
#pragma once

#include <functional>
#include <string>

#include "windlib/x11/wwindow.h"

// Draws a label whose mnemonic (after "&") is underlined; (x, y) is the top
// left corner of the text. Returns the width drawn.
int WDrawMnemonicLabel(WPainter& p, int x, int y, const std::string& label, WColor color);

class WButton : public WWindow {
 public:
  WButton(WWindow* parent, const std::string& label, std::function<void()> action);

  void SetLabel(const std::string& label);
  const std::string& label() const { return label_; }
  void SetAction(std::function<void()> action) { action_ = std::move(action); }
  void SetEnabled(bool enabled);
  bool enabled() const { return enabled_; }
  // The default button of a dialog has a heavier frame.
  void SetDefault(bool on);
  // A flat button (tool bars) shows its frame only under the pointer.
  void SetFlat(bool on) {
    flat_ = on;
    Invalidate();
  }
  // A text for the status line while the pointer is over the button.
  void SetStatusText(const std::string& text) { status_text_ = text; }
  const std::string& statusText() const { return status_text_; }
  // Runs the action, as a click does.
  void Activate();

  void PreferredSize(int* w, int* h) const override;
  void Paint(WPainter& p) override;
  bool HandleEvent(WEvent& e) override;

 protected:
  void OnFocusChange(bool) override { Invalidate(); }

 private:
  std::string label_;
  std::function<void()> action_;
  std::string status_text_;
  bool enabled_ = true;
  bool is_default_ = false;
  bool flat_ = false;
  bool pressed_ = false;  // button 1 went down here and is held
  bool inside_ = false;   // the pointer is over the button
};

// Static text, wrapped at word boundaries to the label's width.
class WLabel : public WWindow {
 public:
  WLabel(WWindow* parent, const std::string& text);
  void SetText(const std::string& text);
  const std::string& text() const { return text_; }
  // The lines the text breaks into at `width` pixels.
  std::vector<std::string> Lines(int width) const;
  // The height the text needs at `width`.
  int HeightFor(int width) const;
  void PreferredSize(int* w, int* h) const override;
  void Paint(WPainter& p) override;

 private:
  std::string text_;
};
