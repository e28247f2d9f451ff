// Fonts. The text font is a fixed-width font of which every byte takes one
// cell; the interface font draws labels, menus and dialogs. Names are
// fontconfig patterns ("DejaVu Sans Mono:size=10") or XLFD names.
#pragma once

#include <string>

class WFont {
 public:
  ~WFont();
  WFont(const WFont&) = delete;
  WFont& operator=(const WFont&) = delete;

  // Opens `name`; falls back to `fallback` and then to the built-in default
  // when the name matches no font. Without a display the metrics are fixed
  // (8 x 16, ascent 12) so that tests can count cells.
  static WFont* Open(const std::string& name, const std::string& fallback);

  const std::string& Name() const { return name_; }
  int CharWidth() const { return char_width_; }  // width of one cell
  int Height() const { return ascent_ + descent_; }
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  // Width of UTF-8 text in this font.
  int TextWidth(const std::string& utf8) const;
  void* native() const { return native_; }

 private:
  WFont() = default;
  std::string name_;
  int char_width_ = 8, ascent_ = 12, descent_ = 4;
  void* native_ = nullptr;  // XftFont*
};

// The text font: the "font" resource (-fn), else "DejaVu Sans Mono:size=10".
WFont* WTextFont();
// The interface font: the "buttonfont" resource, else "DejaVu Sans:size=9".
WFont* WUIFont();
// Replaces the text font; false (and the old font kept) when `name` opens nothing.
bool WSetTextFont(const std::string& name);
// Forgets the fonts (when the display closes).
void WFontsReset();
