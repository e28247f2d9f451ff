// The colour list: 58 named colours every window draws with, each with its
// X resource names, class and defaults for colour and greyscale displays,
// the colour text in force and its pixel. The named pixels below are
// what the drawing code reads; they hold the colour defaults until a
// display is opened, so everything drawn without a display (unit tests,
// cmdrun) sees the default colours.
#pragma once

#include <cstdint>
#include <string>

#include "windlib/x11/wcolor.h"
#include "windlib/x11/wtypes.h"

// No pixel: an unallocated shade, or `special_pixel` when the control colour
// is distinct.
constexpr WColor kWNoPixel = 0xffffffffu;

// Entry numbers of the colour list.
enum ColorEntry : int {
  kColorBackground = 0,
  kColorForeground = 1,
  kColorAssembly = 2,
  kColorBreak = 3,
  kColorControl = 4,
  kColorPointer = 5,
  kColorBdot = 6,
  kColorSelect = 7,
  kColorComment = 8,
  kColorDeadcode = 9,
  kColorKeyword = 10,
  kColorString = 11,
  kColorNumber = 12,
  kColorCharacter = 13,
  kColorCustomized = 14,
  kColorNobuild = 15,
  kColorOther = 25,
  kColorTBFirst = 26,  // tree-browser foregrounds 26..38, backgrounds 39..51
  kColorFileRelBG = 52,
  kColorProcRelBG = 53,
  kColorStartedConnection = 54,
  kColorStoppedConnection = 55,
  kColorInvalidConnection = 56,
  kColorDiffHighlight = 57,
};
constexpr int kColorEntries = 58;

// Pixels of the entries with a name of their own.
extern WColor bg_pixel;        // 0
extern WColor fg_pixel;        // 1
extern WColor assembly_pixel;  // 2
extern WColor break_pixel;     // 3
extern WColor control_pixel;   // 4
extern WColor pointer_pixel;   // 5
extern WColor bdot_pixel;      // 6
extern WColor select_pixel;    // 7
extern WColor comment_fg;      // 8
extern WColor deadcode_fg;     // 9
extern WColor keyword_fg;      // 10
extern WColor string_fg;       // 11
extern WColor integer_fg;      // 12
extern WColor character_fg;    // 13
extern WColor customized_fg;   // 14
extern WColor nobuild_fg;      // 15
extern WColor program_fg;
extern WColor subprogram_fg;
extern WColor source_fg;
extern WColor header_fg;
extern WColor documentation_fg;
extern WColor library_fg;
extern WColor object_fg;
extern WColor singlelibrary_fg;
extern WColor script_fg;
extern WColor other_fg;  // 25
extern WColor red_pixel;
extern WColor white_pixel;
extern WColor black_pixel;
extern WColor grey_pixel;
// The foreground when the control colour cannot be told from the
// background (or on a monochrome display), else kWNoPixel.
extern WColor special_pixel;

// Colour depth as used for drawing (1 in black-and-white mode).
extern int cdepth;
// Black-and-white mode is on.
extern bool bwstate;

// One entry of the list: fixed names and defaults, then the current state.
struct ColorListEntry {
  const char* resource;
  const char* greyResource;
  const char* resourceClass;
  const char* colorDefault;
  const char* greyDefault;
  std::string spec;  // the colour text in force; empty before initialisation
  WColor pixel;      // its pixel
};
// Entry `n` (0..57) of the list.
ColorListEntry& ColorListGet(int n);

// The parsed background and foreground, 16 bits a channel.
extern WRGB16 bg_rgb;
extern WRGB16 fg_rgb;

// What the initialisation needs to know of the screen.
struct ColorScreen {
  int depth = 24;
  bool greyVisual = false;  // StaticGray or GrayScale default visual
  WColor white = 0xffffff;
  WColor black = 0x000000;
};

// The resource prefix: the base name of `path`, first letter lower case, ".".
void shr_SetProgramName(const char* path);
// The X resource prefix + `name` of class "Orvex." + `cls` (`name` when
// none), then the same under "orvex."; none when neither is set.
const char* shr_get_default_val(const char* name, const char* cls);
// Resource lookups read this text (X resource file syntax) instead of the
// display's resources; none goes back to the display's.
void shr_UseResourceText(const char* text);

// Sets up the list from the resources and defaults when the display opens.
void shr_InitializeColors();
// The same for a described screen.
void shr_InitializeColorsFor(const ColorScreen& screen);
// Forgets the 58 colour texts.
void shr_CleanupColors();
bool shr_IsGreyScale();

// Entry `n` takes `spec` and a new pixel; 0 (entry unchanged) when `spec`
// is not a colour.
int shr_SetColorEntry(int n, const char* spec);
// Re-parses every entry's text (an empty one takes its default) and sets
// the pixels; black-and-white mode keeps its pixels.
void shr_RecomputeColors();

// Black-and-white mode on or off.
void shr_SetBlackWhite(bool on);
