// Background shades by mode, and the input-area colour index of windows.
#include "windlib/x11/wcolorshades.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "windlib/config/configoptions.h"
#include "windlib/x11/wcolorlist.h"
#include "windlib/x11/wcolortable.h"
#include "windlib/x11/wwindow.h"

namespace {

constexpr WRGB16 kWhite{65535, 65535, 65535};

WRGB16 shade(int mode, int n, WRGB16 bg) {
  WRGB16 out{1, 2, 3};
  EXPECT_TRUE(ShadeColor(mode, n, bg, &out)) << mode << " " << n;
  return out;
}

TEST(Shades, OffsetsMoveTheChosenChannelsTowardsTheMiddle) {
  EXPECT_EQ(shade(kBackgroundOffset, 1, kWhite), (WRGB16{57343, 65535, 65535}));
  EXPECT_EQ(shade(kBackgroundOffset, 2, kWhite), (WRGB16{65535, 57343, 65535}));
  EXPECT_EQ(shade(kBackgroundOffset, 4, kWhite), (WRGB16{65535, 65535, 57343}));
  EXPECT_EQ(shade(kBackgroundOffset, 7, kWhite), (WRGB16{57343, 57343, 57343}));
  EXPECT_EQ(shade(kBackgroundOffset, 8, kWhite), (WRGB16{61439, 61439, 61439}));
  // Dark channels are raised; 32768 already counts as the upper half.
  const WRGB16 dark{0, 32767, 32768};
  EXPECT_EQ(shade(kBackgroundOffset, 7, dark), (WRGB16{8192, 40959, 24576}));
  EXPECT_EQ(shade(kBackgroundOffset, 8, dark), (WRGB16{4096, 36863, 28672}));
}

TEST(Shades, PresetsAreFixedAndOffOrOutOfRangeMakeNone) {
  EXPECT_EQ(shade(kBackgroundPreset, 1, kWhite), (WRGB16{26880, 44544, 65280}));
  EXPECT_EQ(shade(kBackgroundPreset, 7, WRGB16{}), (WRGB16{65280, 32768, 0}));
  EXPECT_EQ(shade(kBackgroundPreset, 8, kWhite), (WRGB16{61440, 61440, 61440}));
  WRGB16 out;
  EXPECT_FALSE(ShadeColor(kBackgroundPreset, 0, kWhite, &out));
  EXPECT_FALSE(ShadeColor(kBackgroundPreset, 9, kWhite, &out));
  EXPECT_FALSE(ShadeColor(kBackgroundOffset, -1, kWhite, &out));
  EXPECT_FALSE(ShadeColor(kBackgroundOff, 3, kWhite, &out));
}

class ShadeAllocation : public ::testing::Test {
 protected:
  void SetUp() override {
    mode_ = cfg_FindOption("backgroundmode");
    ASSERT_NE(mode_, nullptr);
    saved_ = mode_->Int();
    mode_->Int() = kBackgroundOffset;
    shr_UseResourceText(nullptr);
    shr_InitializeColorsFor({});
  }
  void TearDown() override {
    mode_->Int() = saved_;
    shr_InitializeColorsFor({});
  }
  _ConfigOption* mode_ = nullptr;
  int saved_ = 0;
};

TEST_F(ShadeAllocation, ShadesAreAllocatedOnFirstUseAndRedoneByANewMode) {
  for (int n = 1; n < kBackgroundShades; ++n) EXPECT_EQ(bg_pixels[n], kWNoPixel) << n;
  EXPECT_EQ(bg_pixels[0], bg_pixel);
  EXPECT_EQ(AllocateBackgroundColor(1), 0xdfffffu);
  EXPECT_EQ(bg_pixels[1], 0xdfffffu);
  EXPECT_EQ(bg_pixels[2], kWNoPixel);

  mode_->Int() = kBackgroundPreset;
  ReallocateBackgroundColors();
  EXPECT_EQ(bg_pixels[1], WColorFromRGB16(WRGB16{26880, 44544, 65280}));
  EXPECT_EQ(bg_pixels[2], kWNoPixel);  // still unused

  mode_->Int() = kBackgroundOff;
  ReallocateBackgroundColors();
  EXPECT_EQ(bg_pixels[1], kWNoPixel);
  EXPECT_EQ(AllocateBackgroundColor(5), bg_pixel);
  EXPECT_EQ(bg_pixels[5], kWNoPixel);

  // A new background redoes the allocated shades from it.
  mode_->Int() = kBackgroundOffset;
  AllocateBackgroundColor(8);
  shr_SetColorEntry(kColorBackground, "#000000");
  EXPECT_EQ(bg_pixels[8], 0x101010u);
}

TEST_F(ShadeAllocation, InputAreaIndexTakesItModuloEightWithMinusOneAsEight) {
  WWindow top(nullptr);
  std::vector<std::pair<int, WColor>> got;
  for (int n : {9, -1, 16}) {
    WSetInputAreaColorIndex(&top, n);
    got.push_back({WGetInputAreaColorIndex(&top), WInputAreaBackground(&top)});
  }
  EXPECT_EQ(got,
            (std::vector<std::pair<int, WColor>>{{1, 0xdfffff}, {8, 0xefefef}, {0, bg_pixel}}));
  EXPECT_EQ(WGetInputAreaColorIndex(nullptr), 0);
  mode_->Int() = kBackgroundOff;
  WSetInputAreaColorIndex(&top, 3);
  EXPECT_EQ(WInputAreaBackground(&top), bg_pixel);
}

TEST_F(ShadeAllocation, ColourWindowIndexReachesEveryWindowInsideAndNotifies) {
  WWindow top(nullptr);
  WWindow* child = new WWindow(&top);
  WWindow* grandchild = new WWindow(child);
  struct Heard {
    WWindow* window = nullptr;
    int change = -1;
    int calls = 0;
  } heard;
  const int key = ColorManager::RegisterNotification(&heard, [](void* ctx, WWindow* w, int c) {
    auto* h = static_cast<Heard*>(ctx);
    h->window = w;
    h->change = c;
    ++h->calls;
  });
  WSetInputAreaColorForColwind(&top, 11);
  ColorManager::UnregisterNotification(key);
  EXPECT_EQ(WGetInputAreaColorIndex(child), 3);
  EXPECT_EQ(WGetInputAreaColorIndex(grandchild), 3);
  EXPECT_EQ(heard.window, &top);
  EXPECT_EQ(std::pair(heard.change, heard.calls), std::pair(0, 1));
}

}  // namespace
