// The colour list: its table, how the display's resources fill it, the
// fallbacks for colours that do not parse, and black-and-white mode.
#include "windlib/x11/wcolorlist.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "windlib/x11/wcolorshades.h"
#include "windlib/xswitch.h"

namespace {

// Each test describes the resources and the screen; afterwards the list is
// put back to its defaults for a colour screen without resources.
class ColorListTest : public ::testing::Test {
 protected:
  void Init(const char* resources, ColorScreen screen = {}) {
    shr_UseResourceText(resources);
    shr_InitializeColorsFor(screen);
  }
  // The colour texts of `entries`, blank-separated.
  static std::string Specs(std::initializer_list<int> entries) {
    std::string out;
    for (int n : entries) out += (out.empty() ? "" : " ") + ColorListGet(n).spec;
    return out;
  }
  std::string InitCapturingErrors(const char* resources) {
    ::testing::internal::CaptureStderr();
    Init(resources);
    return ::testing::internal::GetCapturedStderr();
  }
  void TearDown() override {
    shr_SetBlackWhite(false);
    shr_SetProgramName("oe");
    Init(nullptr);
    shr_UseResourceText(nullptr);
    WLoadPalette();
  }
};

TEST_F(ColorListTest, TableHoldsEveryEntryInOrderWithParsableDefaults) {
  const struct {
    int n;
    const char *name, *grey, *cls, *color, *greyDefault;
  } samples[] = {
      {0, "background", "backgroundgray", "Background", "#ffffff", "#ffffff"},
      {4, "controlcolor", "controlgray", "ControlColor", "#c0c0c0", "#808080"},
      {12, "number", "integerfggray", "Foreground", "#e000e0", "#ffffff"},
      {25, "other", "other_fggray", "Foreground", "#808080", "#ffffff"},
      {26, "TBFunctionNormalFG", "TBFunctionNormalFG_fggray", "Foreground", "#000060", "#606060"},
      {38, "TBClassNoInfoFG", "TBClassNoInfoFG_fggray", "Foreground", "#606060", "#606060"},
      {39, "TBFunctionNormalBG", "TBFunctionNormalBG_bggray", "Background", "#DFDFFF", "#DFDFDF"},
      {51, "TBClassNoInfoBG", "TBClassNoInfoBG_bggray", "Background", "#DFDFDF", "#DFDFDF"},
      {52, "fileRelBG", "fileRelBG_gray", "Background", "#FFFFFF", "#FFFFFF"},
      {57, "diffHighLightBG", "diffHighLightBG_bggray", "Background", "#e0ffd0", "#DFDFDF"},
  };
  for (const auto& s : samples) {
    const ColorListEntry& e = ColorListGet(s.n);
    EXPECT_STREQ(e.resource, s.name) << s.n;
    EXPECT_STREQ(e.greyResource, s.grey) << s.n;
    EXPECT_STREQ(e.resourceClass, s.cls) << s.n;
    EXPECT_STREQ(e.colorDefault, s.color) << s.n;
    EXPECT_STREQ(e.greyDefault, s.greyDefault) << s.n;
  }
  // Before any display the pixels are the colour defaults, named ones too.
  for (int n = 0; n < kColorEntries; ++n) {
    const ColorListEntry& e = ColorListGet(n);
    ASSERT_NE(e.resource, nullptr) << n;
    WColor c, g;
    EXPECT_TRUE(WParseColor(e.colorDefault, &c)) << n;
    EXPECT_TRUE(WParseColor(e.greyDefault, &g)) << n;
    EXPECT_EQ(e.pixel, c) << e.resource;
  }
  EXPECT_EQ(comment_fg, ColorListGet(kColorComment).pixel);
  EXPECT_EQ(other_fg, ColorListGet(kColorOther).pixel);
  EXPECT_EQ(select_pixel, 0x000080u);
}

TEST_F(ColorListTest, ResourcesUnderTheProgramNameWinOverTheFallbackPrefix) {
  shr_SetProgramName("/usr/local/bin/Oe");
  Init(
      "oe.background: #ffe0e0\n"
      "orvex.background: #000000\n"
      "orvex.foreground: #102030\n");
  EXPECT_EQ(Specs({kColorBackground, kColorForeground}), "#ffe0e0 #102030");
  EXPECT_EQ(bg_pixel, 0xffe0e0u);
  EXPECT_EQ(fg_pixel, 0x102030u);
  EXPECT_EQ(bg_rgb, (WRGB16{0xffff, 0xe0e0, 0xe0e0}));
  // A class binding matches every entry of the class that has no value of
  // its own under the same prefix.
  Init("Orvex.Foreground: #010203\noe.foreground: #102030\n");
  EXPECT_EQ((std::vector<WColor>{fg_pixel, keyword_fg, comment_fg}),
            (std::vector<WColor>{0x102030, 0x010203, 0x010203}));
  EXPECT_STREQ(shr_get_default_val("keyword", "Foreground"), "#010203");
  EXPECT_EQ(shr_get_default_val("nosuchthing", nullptr), nullptr);
}

TEST_F(ColorListTest, OverLongResourceIsIgnoredForTheNextSource) {
  const std::string long_value(600, 'a');
  const std::string text = "oe.comment: " + long_value + "\norvex.comment: #123456\n";
  ::testing::internal::CaptureStderr();
  Init(text.c_str());
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("ignoring X resource value for 'oe.comment', which is too long."),
            std::string::npos)
      << said;
  EXPECT_EQ(comment_fg, 0x123456u);
}

TEST_F(ColorListTest, FoundResourcesAreReportedWithTheSwitchOn) {
  debugFlag[xsReportXResources] = 1;
  ::testing::internal::CaptureStderr();
  shr_UseResourceText("orvex.string: #111111\n");
  shr_get_default_val("string", "Foreground");
  const std::string said = ::testing::internal::GetCapturedStderr();
  debugFlag[xsReportXResources] = 0;
  EXPECT_EQ(said, "Found X resource: (orvex.Foreground.string) = #111111\n");
}

TEST_F(ColorListTest, ControlColourEqualToTheBackgroundMakesTheSpecialPixelTheForeground) {
  Init("oe.background: #203040\noe.controlcolor: #203040\noe.foreground: #ffff00\n");
  EXPECT_EQ(special_pixel, 0xffff00u);
  Init("oe.background: #203040\noe.controlcolor: #203041\n");
  EXPECT_EQ(special_pixel, kWNoPixel);
}

TEST_F(ColorListTest, GreyFalseOnAGreyScreenTakesTheColourDefaults) {
  ColorScreen grey;
  grey.greyVisual = true;
  Init(nullptr, grey);
  EXPECT_TRUE(shr_IsGreyScale());
  EXPECT_EQ(ColorListGet(kColorAssembly).spec, "#606060");
  Init("oe.grey: false\n", grey);
  EXPECT_EQ(ColorListGet(kColorAssembly).spec, "#0000ff");
  EXPECT_TRUE(shr_IsGreyScale());  // the visual keeps it so
  // "gray" counts only without "grey".
  Init("oe.gray: on\n");
  EXPECT_TRUE(shr_IsGreyScale());
  EXPECT_EQ(ColorListGet(kColorSelect).spec, "#303030");
  Init("oe.grey: off\noe.gray: on\n");
  EXPECT_FALSE(shr_IsGreyScale());
  EXPECT_EQ(ColorListGet(kColorSelect).spec, "#000080");
}

TEST_F(ColorListTest, GreyResourceNameFirstThenTheColourName) {
  ColorScreen grey;
  grey.greyVisual = true;
  Init("oe.comment: #111111\n", grey);
  EXPECT_EQ(ColorListGet(kColorComment).spec, "#111111");
  Init("oe.comment: #111111\noe.commentfggray: #222222\n", grey);
  EXPECT_EQ(ColorListGet(kColorComment).spec, "#222222");
  // On a colour screen the grey name is not read.
  Init("oe.comment: #111111\noe.commentfggray: #222222\n");
  EXPECT_EQ(ColorListGet(kColorComment).spec, "#111111");
}

TEST_F(ColorListTest, UnparsableColourTextsFallBackWithTheirMessages) {
  const std::string said = InitCapturingErrors(
      "oe.background: nonsense\n"
      "oe.foreground: #00ff00\n"
      "oe.controlcolor: #12\n"
      "oe.keyword: what\n");
  EXPECT_EQ(said,
            "nonsense is an invalid color specification, defaulting to white\n"
            "#12 is an invalid color specification, defaulting to background color\n"
            "what is an invalid color specification, defaulting to foreground color\n");
  EXPECT_EQ(Specs({kColorBackground, kColorControl, kColorKeyword}), "white white #00ff00");
  // An unparsable control colour makes the special pixel the foreground.
  EXPECT_EQ((std::vector<WColor>{bg_pixel, control_pixel, keyword_fg, special_pixel}),
            (std::vector<WColor>{0xffffff, 0xffffff, 0x00ff00, 0x00ff00}));

  EXPECT_EQ(InitCapturingErrors("oe.foreground: ???\n"),
            "??? is an invalid color specification, defaulting to black\n");
  EXPECT_EQ(fg_pixel, 0u);
}

TEST_F(ColorListTest, MonochromeDisplayIsBlackAndWhiteWithoutReadingTexts) {
  ColorScreen mono;
  mono.depth = 1;
  ::testing::internal::CaptureStderr();
  Init("oe.background: nonsense\n", mono);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(bwstate);
  EXPECT_EQ(cdepth, 1);
  EXPECT_EQ((std::vector<WColor>{bg_pixel, control_pixel, grey_pixel, fg_pixel, comment_fg,
                                 ColorListGet(kColorDiffHighlight).pixel, special_pixel}),
            (std::vector<WColor>{0xffffff, 0xffffff, 0xffffff, 0, 0, 0, 0}));
  EXPECT_EQ(red_pixel, break_pixel);
  // The "blackwhite" resource does the same on a colour screen.
  Init("oe.blackwhite: on\n");
  EXPECT_TRUE(bwstate);
  EXPECT_EQ(cdepth, 1);
  EXPECT_EQ(keyword_fg, 0u);
}

TEST_F(ColorListTest, BlackAndWhiteModeRemembersAndRestoresThePixels) {
  Init("oe.background: #eeeeee\noe.foreground: #111111\n");
  const WColor keyword = keyword_fg, select = select_pixel, control = control_pixel;
  shr_SetBlackWhite(true);
  EXPECT_EQ(cdepth, 1);
  for (WColor p : {special_pixel, assembly_pixel, break_pixel, red_pixel, pointer_pixel, bdot_pixel,
                   select_pixel, comment_fg, keyword_fg, other_fg})
    EXPECT_EQ(p, 0x111111u);
  EXPECT_EQ(control_pixel, 0xeeeeeeu);
  shr_SetBlackWhite(false);
  EXPECT_EQ(cdepth, 24);
  EXPECT_EQ((std::vector<WColor>{keyword_fg, select_pixel, control_pixel, special_pixel}),
            (std::vector<WColor>{keyword, select, control, kWNoPixel}));
}

TEST_F(ColorListTest, SettingAnEntryRecomputesTheDerivedPixels) {
  Init(nullptr);
  EXPECT_EQ(shr_SetColorEntry(kColorBackground, "#c0c0c0"), 1);
  EXPECT_EQ(bg_pixel, 0xc0c0c0u);
  EXPECT_EQ(bg_pixels[0], 0xc0c0c0u);
  // The control colour now equals the background.
  EXPECT_EQ(special_pixel, fg_pixel);
  EXPECT_EQ(shr_SetColorEntry(kColorBackground, "no colour"), 0);
  EXPECT_EQ(ColorListGet(kColorBackground).spec, "#c0c0c0");
  // Black-and-white mode stays on over a change, and its end shows it.
  shr_SetBlackWhite(true);
  EXPECT_EQ(shr_SetColorEntry(kColorKeyword, "#abcdef"), 1);
  EXPECT_EQ(keyword_fg, fg_pixel);
  shr_SetBlackWhite(false);
  EXPECT_EQ(keyword_fg, 0xabcdefu);
}

TEST_F(ColorListTest, ToolkitPaletteFollowsTheList) {
  Init(
      "oe.controlcolor: #405060\noe.select: #ffffc0\n"
      "oe.foreground: #101010\noe.background: #f0f0f0\n");
  WLoadPalette();
  const WPalette& p = WGetPalette();
  // Light text on a dark control, dark text on a light selection.
  EXPECT_EQ((std::vector<WColor>{p.text, p.textBackground, p.control, p.controlText, p.selection,
                                 p.selectionText}),
            (std::vector<WColor>{0x101010, 0xf0f0f0, 0x405060, 0xf0f0f0, 0xffffc0, 0x101010}));
  EXPECT_NE(p.controlLight, p.control);
  EXPECT_NE(p.controlDark, p.control);
}

TEST_F(ColorListTest, CleanupForgetsTheTexts) {
  Init(nullptr);
  shr_CleanupColors();
  for (int n = 0; n < kColorEntries; ++n) EXPECT_TRUE(ColorListGet(n).spec.empty()) << n;
}

}  // namespace
