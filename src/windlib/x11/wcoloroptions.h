// The colour options and their entries in the colour list are one value;
// `backgroundmode` and `blackwhite` act on the shades and the pixels.
#pragma once

// The entry whose text the colour option `option` holds, or -1.
int shr_ColorEntryOfOption(const char* option);
// Makes every colour option with an entry keep its text in that entry, and
// installs the setters of `backgroundmode` and `blackwhite`.
void shr_BindColorOptions();
// Sets the colour option `option` to `text`: the entry takes the text and a
// new pixel and every window hears of it. 1 when taken, 0 when `text` is no
// colour or the display draws in black and white, -1 when the option has
// no entry.
int shr_SetColorOption(const char* option, const char* text);
