#include "windlib/x11/wcolorlist.h"

#include <array>

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

ColorListEntry& ColorListGet(int n) {
  return entries[static_cast<size_t>(n)];
}
