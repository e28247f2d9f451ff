// A text area: a window of fixed-size character cells that the editor draws
// into. Each byte takes one cell. The owner draws through the Draw calls
// (into the back buffer; the screen is updated before the toolkit sleeps)
// and repaints in its paint handler whatever the toolkit asks for (after
// exposure, resize or Invalidate).
#pragma once

#include <functional>

#include "windlib/x11/wwindow.h"

class WFont;

class WTextArea : public WWindow {
 public:
  enum class CaretShape { Bar, Block, Underline };

  // `font` defaults to the text font.
  explicit WTextArea(WWindow* parent, WFont* font = nullptr);
  ~WTextArea() override;

  WFont* font() const { return font_; }
  // Changes the font; everything is repainted.
  void SetFont(WFont* font);
  int charWidth() const;
  int lineHeight() const;
  int ascent() const;
  // Cells that fit, counting a partly visible last one.
  int columns() const;
  int rows() const;
  // The cell under pixel (x, y) (columns and rows from 0, clamped at 0).
  void CellAt(int x, int y, int* column, int* row) const;

  // ---- Drawing, now ----
  // `count` bytes with their top left cell at pixel (x, y).
  void DrawBytes(int x, int y, const char* bytes, int count, WColor fg, WColor bg);
  void DrawCells(int column, int row, const char* bytes, int count, WColor fg, WColor bg);
  void Fill(const WRect& r, WColor color);
  // Scrolls the contents by (dx, dy) pixels: what stays visible is moved,
  // and the strips uncovered are repainted through the paint handler.
  void Scroll(int dx, int dy);
  // Fills row `row` from `column` to the right edge.
  void ClearToEnd(int column, int row, WColor color);

  // ---- Caret ----
  void SetCaretCell(int column, int row, bool visible, CaretShape shape = CaretShape::Bar);
  void SetCaretRect(const WRect& r, bool visible);
  // Blinks the caret every `ms` milliseconds while the area has the focus;
  // 0 keeps it steady.
  void SetCaretBlink(int ms);
  int caretBlink() const { return blink_ms_; }

  // ---- Owner's handlers ----
  // Repaints p.clip(); without one the area is filled with its background.
  void SetPaintHandler(std::function<void(WTextArea*, WPainter&)> fn) { on_paint_ = std::move(fn); }
  // Receives every event first; returns true when used.
  void SetEventHandler(std::function<bool(WTextArea*, WEvent&)> fn) { on_event_ = std::move(fn); }

  void Paint(WPainter& p) override;
  bool HandleEvent(WEvent& e) override;

 protected:
  void OnFocusChange(bool focused) override;

 private:
  class Blinker;
  friend class Blinker;
  void Blink();
  void UpdateCaret();

  WFont* font_;
  std::function<void(WTextArea*, WPainter&)> on_paint_;
  std::function<bool(WTextArea*, WEvent&)> on_event_;
  WRect caret_rect_;
  bool caret_wanted_ = false;  // the owner wants it shown
  bool blink_on_ = true;       // phase of the blink
  int blink_ms_ = 0;
  Blinker* blinker_;
};
