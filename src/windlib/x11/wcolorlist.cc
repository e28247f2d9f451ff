#include "windlib/x11/wcolorlist.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/delete_at_exit.h"
#include "windlib/x11/wcolorshades.h"
#include "windlib/x11/xdisplay.h"
#include "windlib/xswitch.h"

namespace {

constexpr WColor kDefaultBackground = 0xffffff;
constexpr WColor kDefaultForeground = 0x000000;

// Fixed part of the list; pixels start as the colour defaults.
std::array<ColorListEntry, kColorEntries> entries = {{
    {"background", "backgroundgray", "Background", "#ffffff", "#ffffff", {}, 0xffffff},
    {"foreground", "foregroundgray", "Foreground", "#000000", "#000000", {}, 0x000000},
    {"assembly", "assemblygray", "Foreground", "#0000ff", "#606060", {}, 0x0000ff},
    {"breakcolor", "breakgray", "Foreground", "#ff0000", "#c0c0c0", {}, 0xff0000},
    {"controlcolor", "controlgray", "ControlColor", "#c0c0c0", "#808080", {}, 0xc0c0c0},
    {"pointercolor", "pointergray", "Foreground", "#0000ff", "#c0c0c0", {}, 0x0000ff},
    {"bdotcolor", "bdotgray", "Foreground", "#00cd00", "#606060", {}, 0x00cd00},
    {"select", "selectgray", "Foreground", "#000080", "#303030", {}, 0x000080},
    {"comment", "commentfggray", "Foreground", "#008000", "#c0c0c0", {}, 0x008000},
    {"deadcode", "deadcodefggray", "Foreground", "#808080", "#ffffff", {}, 0x808080},
    {"keyword", "keywordfggray", "Foreground", "#0000ff", "#ffffff", {}, 0x0000ff},
    {"string", "stringfggray", "Foreground", "#800000", "#ffffff", {}, 0x800000},
    {"number", "integerfggray", "Foreground", "#e000e0", "#ffffff", {}, 0xe000e0},
    {"character", "characterfggray", "Foreground", "#c000c0", "#ffffff", {}, 0xc000c0},
    {"customized", "customizedfggray", "Foreground", "#008080", "#ffffff", {}, 0x008080},
    {"nobuild", "nobuild_fggray", "Foreground", "#b00000", "#ffffff", {}, 0xb00000},
    {"program", "program_fggray", "Foreground", "#900010", "#ffffff", {}, 0x900010},
    {"subprogram", "subprogram_fggray", "Foreground", "#c80020", "#ffffff", {}, 0xc80020},
    {"source", "source_fggray", "Foreground", "#00b010", "#ffffff", {}, 0x00b010},
    {"header", "header_fggray", "Foreground", "#007010", "#ffffff", {}, 0x007010},
    {"documentation", "documentation_fggray", "Foreground", "#a0a0a0", "#ffffff", {}, 0xa0a0a0},
    {"library", "library_fggray", "Foreground", "#004580", "#ffffff", {}, 0x004580},
    {"object", "object_fggray", "Foreground", "#000050", "#ffffff", {}, 0x000050},
    {"singlelibrary", "singlelibrary_fggray", "Foreground", "#000080", "#ffffff", {}, 0x000080},
    {"script", "script_fggray", "Foreground", "#808000", "#ffffff", {}, 0x808000},
    {"other", "other_fggray", "Foreground", "#808080", "#ffffff", {}, 0x808080},
    {"TBFunctionNormalFG",
     "TBFunctionNormalFG_fggray",
     "Foreground",
     "#000060",
     "#606060",
     {},
     0x000060},
    {"TBFunctionNoInfoFG",
     "TBFunctionNoInfoFG_fggray",
     "Foreground",
     "#006000",
     "#606060",
     {},
     0x006000},
    {"TBFunctionRecursiveFG",
     "TBFunctionRecursiveFG_fggray",
     "Foreground",
     "#600000",
     "#606060",
     {},
     0x600000},
    {"TBFunctionAdrTakenFG",
     "TBFunctionAdrTakenFG_fggray",
     "Foreground",
     "#606060",
     "#606060",
     {},
     0x606060},
    {"TBDynNormalFG", "TBDynNormalFG_fggray", "Foreground", "#600060", "#606060", {}, 0x600060},
    {"TBDynNoInfoFG", "TBDynNoInfoFG_fggray", "Foreground", "#606060", "#606060", {}, 0x606060},
    {"TBFileNormalFG", "TBFileNormalFG_fggray", "Foreground", "#600000", "#606060", {}, 0x600000},
    {"TBFileNoInfoFG", "TBFileNoInfoFG_fggray", "Foreground", "#606060", "#606060", {}, 0x606060},
    {"TBClassUnionFG", "TBClassUnionFG_fggray", "Foreground", "#006000", "#606060", {}, 0x006000},
    {"TBClassEnumFG", "TBClassEnumFG_fggray", "Foreground", "#606000", "#606060", {}, 0x606000},
    {"TBClassStructFG", "TBClassStructFG_fggray", "Foreground", "#006000", "#606060", {}, 0x006000},
    {"TBClassClassFG", "TBClassClassFG_fggray", "Foreground", "#00A000", "#606060", {}, 0x00a000},
    {"TBClassNoInfoFG", "TBClassNoInfoFG_fggray", "Foreground", "#606060", "#606060", {}, 0x606060},
    {"TBFunctionNormalBG",
     "TBFunctionNormalBG_bggray",
     "Background",
     "#DFDFFF",
     "#DFDFDF",
     {},
     0xdfdfff},
    {"TBFunctionNoInfoBG",
     "TBFunctionNoInfoBG_bggray",
     "Background",
     "#DFFFDF",
     "#DFDFDF",
     {},
     0xdfffdf},
    {"TBFunctionRecursiveBG",
     "TBFunctionRecursiveBG_bggray",
     "Background",
     "#FFDFDF",
     "#DFDFDF",
     {},
     0xffdfdf},
    {"TBFunctionAdrTakenBG",
     "TBFunctionAdrTakenBG_bggray",
     "Background",
     "#DFDFDF",
     "#DFDFDF",
     {},
     0xdfdfdf},
    {"TBDynNormalBG", "TBDynNormalBG_bggray", "Background", "#FFDFEF", "#DFDFDF", {}, 0xffdfef},
    {"TBDynNoInfoBG", "TBDynNoInfoBG_bggray", "Background", "#DFDFDF", "#DFDFDF", {}, 0xdfdfdf},
    {"TBFileNormalBG", "TBFileNormalBG_bggray", "Background", "#FFDFDF", "#DFDFDF", {}, 0xffdfdf},
    {"TBFileNoInfoBG", "TBFileNoInfoBG_bggray", "Background", "#DFDFDF", "#DFDFDF", {}, 0xdfdfdf},
    {"TBClassUnionBG", "TBClassUnionBG_bggray", "Background", "#FFFFDF", "#DFDFDF", {}, 0xffffdf},
    {"TBClassEnumBG", "TBClassEnumBG_bggray", "Background", "#EFFFDF", "#DFDFDF", {}, 0xefffdf},
    {"TBClassStructBG", "TBClassStructBG_bggray", "Background", "#DFFFDF", "#DFDFDF", {}, 0xdfffdf},
    {"TBClassClassBG", "TBClassClassBG_bggray", "Background", "#DFFFDF", "#DFDFDF", {}, 0xdfffdf},
    {"TBClassNoInfoBG", "TBClassNoInfoBG_bggray", "Background", "#DFDFDF", "#DFDFDF", {}, 0xdfdfdf},
    {"fileRelBG", "fileRelBG_gray", "Background", "#FFFFFF", "#FFFFFF", {}, 0xffffff},
    {"procRelBG", "procRelBG_gray", "Background", "#e4e4e4", "#e4e4e4", {}, 0xe4e4e4},
    {"startedConnectionFG",
     "startedConnectionFG_fggray",
     "Foreground",
     "#008000",
     "#606060",
     {},
     0x008000},
    {"stoppedConnectionFG",
     "stoppedConnectionFG_fggray",
     "Foreground",
     "#000000",
     "#000000",
     {},
     0x000000},
    {"invalidConnectionFG",
     "invalidConnectionFG_fggray",
     "Foreground",
     "#c00000",
     "#DFDFDF",
     {},
     0xc00000},
    {"diffHighLightBG", "diffHighLightBG_bggray", "Background", "#e0ffd0", "#DFDFDF", {}, 0xe0ffd0},
}};

}  // namespace

WColor bg_pixel = kDefaultBackground;
WColor fg_pixel = kDefaultForeground;
WColor assembly_pixel = 0x0000ff;
WColor break_pixel = 0xff0000;
WColor control_pixel = 0xc0c0c0;
WColor pointer_pixel = 0x0000ff;
WColor bdot_pixel = 0x00cd00;
WColor select_pixel = 0x000080;
WColor comment_fg = 0x008000;
WColor deadcode_fg = 0x808080;
WColor keyword_fg = 0x0000ff;
WColor string_fg = 0x800000;
WColor integer_fg = 0xe000e0;
WColor character_fg = 0xc000c0;
WColor customized_fg = 0x008080;
WColor nobuild_fg = 0xb00000;
WColor program_fg = 0x900010;
WColor subprogram_fg = 0xc80020;
WColor source_fg = 0x00b010;
WColor header_fg = 0x007010;
WColor documentation_fg = 0xa0a0a0;
WColor library_fg = 0x004580;
WColor object_fg = 0x000050;
WColor singlelibrary_fg = 0x000080;
WColor script_fg = 0x808000;
WColor other_fg = 0x808080;
WColor red_pixel = 0xff0000;
WColor white_pixel = 0xffffff;
WColor black_pixel = 0x000000;
WColor grey_pixel = 0x7f7f7f;
WColor special_pixel = kWNoPixel;
int cdepth = 24;
bool bwstate = false;

WRGB16 bg_rgb{65535, 65535, 65535};
WRGB16 fg_rgb{0, 0, 0};

namespace {

bool greyscale = false;
std::string prefix = "oe.";
XrmDatabase own_resources = nullptr;

// Pixels in force before black-and-white mode, restored when it ends.
struct SavedPixels {
  WColor special, assembly, brk, red, pointer, bdot, select, control;
  std::array<WColor, 18> syntax;  // comment_fg .. other_fg
} saved;
int saved_depth = 24;
// The display has fewer than two bits of depth: the entries are black and
// white whatever their texts say.
bool mono_display = false;

WColor* const kSyntaxPixels[] = {
    &comment_fg,       &deadcode_fg, &keyword_fg, &string_fg,        &integer_fg, &character_fg,
    &customized_fg,    &nobuild_fg,  &program_fg, &subprogram_fg,    &source_fg,  &header_fg,
    &documentation_fg, &library_fg,  &object_fg,  &singlelibrary_fg, &script_fg,  &other_fg};

// The named pixel of entries 0..25, in entry order.
WColor* const kNamedPixels[] = {&bg_pixel,      &fg_pixel,      &assembly_pixel, &break_pixel,
                                &control_pixel, &pointer_pixel, &bdot_pixel,     &select_pixel};

std::string lower_first(std::string s) {
  if (!s.empty()) s[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[0])));
  return s;
}
std::string upper_first(std::string s) {
  if (!s.empty()) s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
  return s;
}

XrmDatabase resource_db() {
  return own_resources ? own_resources : WXResources();
}

// Longest X resource value taken.
constexpr size_t kMaxResourceValue = 512;

const char* lookup(const std::string& pfx, const char* name, const char* cls) {
  XrmDatabase db = resource_db();
  if (!db) return nullptr;
  const std::string res_name = pfx + lower_first(name);
  const std::string res_class = "Orvex." + upper_first(cls ? cls : name);
  char* type = nullptr;
  XrmValue value;
  if (!XrmGetResource(db, res_name.c_str(), res_class.c_str(), &type, &value) || !value.addr)
    return nullptr;
  const char* text = value.addr;
  if (std::strlen(text) >= kMaxResourceValue) {
    gen_warning("ignoring X resource value for '%s', which is too long.", res_name.c_str());
    return nullptr;
  }
  if (debugFlag[xsReportXResources])
    std::fprintf(stderr, "Found X resource: (%s%s.%s) = %s\n", pfx.c_str(), cls ? cls : name, name,
                 text);
  return text;
}

// A flag resource: 1 true, 0 false, -1 not given or not a flag.
int flag_value(const char* text) {
  if (!text) return -1;
  std::string v;
  for (const char* p = text; *p; ++p)
    v += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  for (const char* t : {"on", "true", "yes", "1"})
    if (v == t) return 1;
  for (const char* f : {"off", "false", "no", "0"})
    if (v == f) return 0;
  return -1;
}

void set_named_pixels() {
  for (int n = 0; n < 8; ++n) *kNamedPixels[n] = entries[n].pixel;
  for (int n = 0; n < 18; ++n) *kSyntaxPixels[n] = entries[kColorComment + n].pixel;
}

void remember_pixels() {
  saved = SavedPixels{special_pixel, assembly_pixel, break_pixel,   red_pixel, pointer_pixel,
                      bdot_pixel,    select_pixel,   control_pixel, {}};
  for (size_t i = 0; i < saved.syntax.size(); ++i) saved.syntax[i] = *kSyntaxPixels[i];
}

void restore_pixels() {
  special_pixel = saved.special;
  assembly_pixel = saved.assembly;
  break_pixel = saved.brk;
  red_pixel = saved.red;
  pointer_pixel = saved.pointer;
  bdot_pixel = saved.bdot;
  select_pixel = saved.select;
  control_pixel = saved.control;
  for (size_t i = 0; i < saved.syntax.size(); ++i) *kSyntaxPixels[i] = saved.syntax[i];
}

// Black and white: everything drawn is the foreground, controls the background.
void force_black_white() {
  for (WColor* p : {&special_pixel, &assembly_pixel, &break_pixel, &red_pixel, &pointer_pixel,
                    &bdot_pixel, &select_pixel})
    *p = fg_pixel;
  for (WColor* p : kSyntaxPixels) *p = fg_pixel;
  control_pixel = bg_pixel;
}

// The entry's default in the chosen column.
const char* default_spec(const ColorListEntry& e, bool grey_column) {
  return grey_column ? e.greyDefault : e.colorDefault;
}

bool grey_column = false;
bool control_unparsed = false;

// Frees the colour texts when the program exits.
class ColorTextsAtExit : public DeleteAble {
 public:
  ~ColorTextsAtExit() override;
};
ColorTextsAtExit* texts_at_exit = nullptr;

ColorTextsAtExit::~ColorTextsAtExit() {
  shr_CleanupColors();
  texts_at_exit = nullptr;
}

// Registered once per initialisation that has not been cleaned up yet; late
// in the exit order, after anything that may still read a colour text.
void free_texts_at_exit() {
  if (texts_at_exit && delete_at_exit_pending(texts_at_exit)) return;
  texts_at_exit = new ColorTextsAtExit;
  delete_at_exit(texts_at_exit, 100.0);
}

void set_special_pixel() {
  special_pixel = (mono_display || control_unparsed || entries[kColorControl].pixel == bg_pixel)
                      ? fg_pixel
                      : kWNoPixel;
}

// The named pixels from the entries, black-and-white mode applied on top.
void apply_pixels() {
  set_named_pixels();
  if (mono_display) {
    red_pixel = break_pixel;
    grey_pixel = bg_pixel;
  } else {
    red_pixel = WColorFromRGB16(WRGB16{65535, 0, 0});
    grey_pixel = WColorFromRGB16(WRGB16{32767, 32767, 32767});
  }
  set_special_pixel();
  if (bwstate && !mono_display) {
    remember_pixels();
    force_black_white();
  }
}

}  // namespace

void shr_SetProgramName(const char* path) {
  std::string_view p = path ? path : "";
  size_t slash = p.rfind('/');
  if (slash != std::string_view::npos) p.remove_prefix(slash + 1);
  prefix = lower_first(std::string(p)) + ".";
}

const char* shr_get_default_val(const char* name, const char* cls) {
  if (!name) return nullptr;
  if (const char* v = lookup(prefix, name, cls)) return v;
  return lookup("orvex.", name, cls);
}

void shr_UseResourceText(const char* text) {
  if (own_resources) XrmDestroyDatabase(own_resources);
  own_resources = nullptr;
  if (!text) return;
  XrmInitialize();
  own_resources = XrmGetStringDatabase(text);
}

bool shr_IsGreyScale() {
  return greyscale;
}

void shr_InitializeColorsFor(const ColorScreen& screen) {
  cdepth = screen.depth;
  white_pixel = screen.white;
  black_pixel = screen.black;
  saved_depth = cdepth;
  bwstate = flag_value(shr_get_default_val("blackwhite", "Flag")) == 1;
  if (bwstate) cdepth = 1;
  if (cdepth < 2) bwstate = true;
  mono_display = cdepth < 2;

  greyscale = screen.greyVisual;
  grey_column = greyscale;
  const char* grey = shr_get_default_val("grey", "Grey");
  if (!grey) grey = shr_get_default_val("gray", "Gray");
  switch (flag_value(grey)) {
    case 1:
      greyscale = grey_column = true;
      break;
    case 0:
      grey_column = false;
      break;
    default:
      break;
  }

  control_unparsed = false;
  if (cdepth < 2) {
    for (int n = 0; n < kColorEntries; ++n)
      entries[n].pixel = (n == kColorBackground || n == kColorControl) ? white_pixel : black_pixel;
    bg_rgb = WRGB16{0, 0, 0};
    fg_rgb = WRGB16{65535, 65535, 65535};
  } else {
    std::array<WRGB16, kColorEntries> rgb;
    for (int n = 0; n < kColorEntries; ++n) {
      ColorListEntry& e = entries[n];
      const char* text = greyscale ? shr_get_default_val(e.greyResource, e.resourceClass) : nullptr;
      if (!text) text = shr_get_default_val(e.resource, e.resourceClass);
      if (!text) text = default_spec(e, grey_column);
      e.spec = text;
      if (WParseColor16(e.spec, &rgb[n])) continue;
      std::fprintf(stderr, "%s is an invalid color specification, defaulting to ", text);
      if (n == kColorBackground || n == kColorForeground) {
        const char* fallback = n == kColorBackground ? "white" : "black";
        std::fprintf(stderr, "%s\n", fallback);
        if (!WParseColor16(fallback, &rgb[n])) {
          std::fputs("Can not find black or white, exiting...\n", stderr);
          gen_do_exit(1);
        }
        e.spec = fallback;
      } else if (n == kColorControl) {
        std::fputs("background color\n", stderr);
        rgb[n] = rgb[kColorBackground];
        e.spec = entries[kColorBackground].spec;
        control_unparsed = true;
      } else {
        std::fputs("foreground color\n", stderr);
        rgb[n] = rgb[kColorForeground];
        e.spec = entries[kColorForeground].spec;
      }
    }
    for (int n = 0; n < kColorEntries; ++n) entries[n].pixel = WColorFromRGB16(rgb[n]);
    bg_rgb = rgb[kColorBackground];
    fg_rgb = rgb[kColorForeground];
  }
  apply_pixels();
  remember_pixels();
  ShadesReset();
  free_texts_at_exit();
}

void shr_InitializeColors() {
  Display* d = WXDisplay();
  if (!d) return;
  shr_SetProgramName(gen_progname);
  const int screen = DefaultScreen(d);
  ColorScreen s;
  s.depth = DefaultDepth(d, screen);
  Visual* v = DefaultVisual(d, screen);
  XVisualInfo tmpl;
  tmpl.visualid = XVisualIDFromVisual(v);
  int count = 0;
  if (XVisualInfo* info = XGetVisualInfo(d, VisualIDMask, &tmpl, &count)) {
    s.greyVisual = info->c_class == StaticGray || info->c_class == GrayScale;
    XFree(info);
  }
  // Pixels are colours in this toolkit: the screen's white and black are
  // the colours white and black.
  shr_InitializeColorsFor(s);
}

void shr_CleanupColors() {
  for (ColorListEntry& e : entries) {
    e.spec.clear();
    e.spec.shrink_to_fit();
  }
}

int shr_SetColorEntry(int n, const char* spec) {
  if (n < 0 || n >= kColorEntries || !spec) return 0;
  WRGB16 rgb;
  if (!WParseColor16(spec, &rgb)) return 0;
  entries[n].spec = spec;
  if (n == kColorControl) control_unparsed = false;
  shr_RecomputeColors();
  return 1;
}

void shr_RecomputeColors() {
  for (ColorListEntry& e : entries)
    if (e.spec.empty()) e.spec = default_spec(e, grey_column);
  if (mono_display) return;
  for (int n = 0; n < kColorEntries; ++n) {
    ColorListEntry& e = entries[n];
    WRGB16 rgb;
    if (!WParseColor16(e.spec, &rgb)) continue;
    e.pixel = WColorFromRGB16(rgb);
    if (n == kColorBackground) bg_rgb = rgb;
    if (n == kColorForeground) fg_rgb = rgb;
  }
  apply_pixels();
  ReallocateBackgroundColors();
}

void shr_SetBlackWhite(bool on) {
  if (on == bwstate) return;
  if (on) {
    saved_depth = cdepth;
    remember_pixels();
    cdepth = 1;
    force_black_white();
  } else {
    cdepth = saved_depth;
    restore_pixels();
  }
  bwstate = on;
}

ColorListEntry& ColorListGet(int n) {
  return entries[static_cast<size_t>(n)];
}
