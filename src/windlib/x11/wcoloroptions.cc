// The colour options keep their texts in the entries of the colour list.
#include "windlib/x11/wcoloroptions.h"

#include <cstring>

#include "windlib/config/configoptions.h"
#include "windlib/x11/wcolorlist.h"
#include "windlib/x11/wcolorshades.h"
#include "windlib/x11/wcolortable.h"

namespace {
// The option whose text an entry holds, when its name differs from the
// entry's resource name.
struct OptionAlias {
  const char* option;
  int entry;
};
const OptionAlias kOptionAliases[] = {
    {"fileRelLineBG", kColorFileRelBG},
    {"procRelLineBG", kColorProcRelBG},
    {"diffHighlight", kColorDiffHighlight},
};
// Entries up to this one share their names with their options.
constexpr int kLastSameNamedEntry = kColorOther;

// Change types of the notices.
constexpr int kChangeColors = 1;

int set_background_mode(_ConfigOption* option, const char*, int32_t mode) {
  option->Int() = mode;
  ReallocateBackgroundColors();
  WLoadPalette();
  ColorManager::NotifyColorChange(nullptr, kChangeColors);
  return 1;
}

int set_black_white(_ConfigOption* option, const char*, int32_t on) {
  option->Bool() = on != 0;
  shr_SetBlackWhite(on != 0);
  WLoadPalette();
  ColorManager::NotifyColorChange(nullptr, kChangeColors);
  return 1;
}

}  // namespace

int shr_ColorEntryOfOption(const char* option) {
  if (!option) return -1;
  for (int n = 0; n <= kLastSameNamedEntry; ++n)
    if (std::strcmp(ColorListGet(n).resource, option) == 0) return n;
  for (const OptionAlias& a : kOptionAliases)
    if (std::strcmp(a.option, option) == 0) return a.entry;
  return -1;
}

void shr_BindColorOptions() {
  cfg_ForEachOption([](_ConfigOption& o) {
    if (o.type != cfgColor || o.value) return;
    const int n = shr_ColorEntryOfOption(o.name);
    if (n < 0) return;
    // A text the option took before it was bound stays in force.
    if (!o.own.s.empty()) ColorListGet(n).spec = o.own.s;
    o.value = &ColorListGet(n).spec;
  });
  cfg_SetOptionSetter("backgroundmode", set_background_mode);
  cfg_SetOptionSetter("blackwhite", set_black_white);
}

int shr_SetColorOption(const char* option, const char* text) {
  const int n = shr_ColorEntryOfOption(option);
  if (n < 0) return -1;
  // Colours are taken only while colours are drawn.
  if (cdepth < 2) return 0;
  if (shr_SetColorEntry(n, text) != 1) return 0;
  WLoadPalette();
  ColorManager::NotifyColorChange(nullptr, kChangeColors);
  return 1;
}
