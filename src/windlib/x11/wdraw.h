// Drawing. Every window draws through a WPainter into its own back buffer;
// the toolkit copies the changed parts to the screen before it sleeps, so
// nothing flickers. Every call is counted and, while a WDrawRecorder lives,
// recorded: tests check what was drawn without a display.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "windlib/x11/wtypes.h"

class WWindow;
class WFont;

enum class WDrawKind { FillRect, FrameRect, Line, Cells, Text, Copy };

// Attributes of text in cells, drawn where the font offers them: bold and
// italic need a face of the same cell width (bold is otherwise struck twice,
// italic drawn upright); the underline is always drawn.
enum WTextAttr : uint8_t { WAttrBold = 1, WAttrItalic = 2, WAttrUnderline = 4 };

// How cells look.
struct WCellStyle {
  WColor fg = 0, bg = 0;
  uint8_t attrs = 0;  // WTextAttr bits
  bool operator==(const WCellStyle&) const = default;
};

struct WDrawOp {
  WDrawKind kind;
  WWindow* window;
  WRect rect;        // the area the call covers (before clipping)
  std::string text;  // Cells: the bytes; Text: the UTF-8 text
  WColor fg = 0, bg = 0;
  uint8_t attrs = 0;  // Cells: WTextAttr bits
};

class WPainter {
 public:
  // A painter for `window`, clipped to `clip` (window coordinates).
  WPainter(WWindow* window, const WRect& clip);
  WWindow* window() const { return window_; }
  const WRect& clip() const { return clip_; }
  // Narrows the clip; the result is the intersection with the current one.
  void SetClip(const WRect& r);

  void FillRect(const WRect& r, WColor color);
  // A one-pixel outline inside `r`.
  void FrameRect(const WRect& r, WColor color);
  void Line(int x1, int y1, int x2, int y2, WColor color);
  // A raised or sunken bevel inside `r`, `width` pixels wide.
  void Bevel(const WRect& r, bool raised, int width = 1);
  // `count` bytes of UTF-8 in the fixed-cell font `font`: each character
  // fills one cell (two when wide, none when combining), the top left
  // corner of the first being (x, y). The cells' background is filled with
  // `bg`. A byte that is not part of valid UTF-8 is drawn as its Latin-1
  // character in one cell.
  void Cells(int x, int y, const char* bytes, int count, WColor fg, WColor bg, const WFont* font);
  // The same with the attributes of `style`.
  void Cells(int x, int y, const char* bytes, int count, const WCellStyle& style,
             const WFont* font);
  // The same for glyphs whose cells the caller has already counted (as
  // `GeomGlyphCells` counts them), so a drawn row is not measured twice.
  void Cells(int x, int y, std::string_view glyphs, int cells, const WCellStyle& style,
             const WFont* font);
  // Moves the contents of `from` by (dx, dy) within the window (scrolling);
  // what the area left behind shows is up to the caller.
  void Copy(const WRect& from, int dx, int dy);
  // UTF-8 text whose top is at y, over what is already there.
  void Text(int x, int y, const std::string& utf8, WColor fg, const WFont* font);

 private:
  void Record(WDrawKind kind, const WRect& r, std::string_view text, WColor fg, WColor bg,
              uint8_t attrs = 0);
  WWindow* window_;
  WRect clip_;
};

// Records every drawing call made while it lives (recorders nest; the
// innermost one records).
class WDrawRecorder {
 public:
  WDrawRecorder();
  ~WDrawRecorder();
  WDrawRecorder(const WDrawRecorder&) = delete;
  WDrawRecorder& operator=(const WDrawRecorder&) = delete;

  const std::vector<WDrawOp>& ops() const { return ops_; }
  int count() const { return static_cast<int>(ops_.size()); }
  int count(WDrawKind kind) const;
  // Calls made into `window`.
  int countIn(const WWindow* window) const;
  // The text of every Cells call into `window`, in order.
  std::vector<std::string> cellsIn(const WWindow* window) const;
  void clear() { ops_.clear(); }

 private:
  friend class WPainter;
  std::vector<WDrawOp> ops_;
  WDrawRecorder* outer_;
};

// Drawing calls made since the start of the process.
long WDrawCallCount();
// Forgets the bold and italic faces opened for drawing (before the display
// closes).
void WDrawReset();
