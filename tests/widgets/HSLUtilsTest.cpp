#include "widgets/HSLUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumora {
namespace {

TEST(HSLUtils, ColorToHslFollowsTheChannelOrder) {
  struct Case {
    TColor Color;
    double H, S, L;
  };
  const Case Cases[] = {
      {0x0000FF, 0, 1, 0.5},                  // pure red
      {0x00FF00, 1.0 / 3, 1, 0.5},            // green
      {0xFF0000, 2.0 / 3, 1, 0.5},            // blue
      {0x00FFFF, 1.0 / 6, 1, 0.5},            // yellow: red wins the tie with green
      {0xFF00FF, 5.0 / 6, 1, 0.5},            // magenta: red wins, negative hue wraps
      {0x808080, 0, 0, 128 / 255.0},          // grey has no hue or saturation
      {0x8080FF, 0, 1, (255 + 128) / 510.0},  // light: the other saturation formula
      {0x000000, 0, 0, 0},
  };
  for (const Case& C : Cases) {
    double H = -1, S = -1, L = -1;
    ColorToHsl(C.Color, H, S, L);
    EXPECT_NEAR(H, C.H, 1e-12) << std::hex << C.Color;
    EXPECT_NEAR(S, C.S, 1e-12) << std::hex << C.Color;
    EXPECT_NEAR(L, C.L, 1e-12) << std::hex << C.Color;
  }
}

TEST(HSLUtils, HslToColorRoundsHalfToEvenAndKeepsTheLowByte) {
  EXPECT_EQ(HslToColor(0, 0, 0.5), 0x808080) << "127.5 rounds to 128";
  EXPECT_EQ(HslToColor(0, 1, 0.5), 0x0000FF);
  EXPECT_EQ(HslToColor(1.0 / 3, 1, 0.5), 0x00FF00);
  EXPECT_EQ(HslToColor(2.0 / 3, 1, 0.5), 0xFF0000);
  EXPECT_EQ(HslToColor(0, 0, 1), 0xFFFFFF);
  // Out of range: 382.5 rounds to the even 382, whose low byte is 126;
  // -127.5 rounds to -128, low byte 128.
  EXPECT_EQ(HslToColor(0, 0, 1.5), 0x7E7E7E);
  EXPECT_EQ(HslToColor(0, 0, -0.5), 0x808080);
  // Nonsense never overflows.
  EXPECT_EQ(HslToColor(0, 0, 1e300) & ~0xFFFFFF, 0);
  EXPECT_EQ(HslToColor(0, 0, std::nan("")), 0);
}

TEST(HSLUtils, RoundTrips) {
  int WorstScaled = 0;
  for (int R = 0; R < 256; R += 15)
    for (int G = 0; G < 256; G += 15)
      for (int B = 0; B < 256; B += 15) {
        const TColor Color = RGBColor(R, G, B);
        double H, S, L;
        ColorToHsl(Color, H, S, L);
        ASSERT_GE(H, 0);
        ASSERT_LT(H, 1);
        ASSERT_EQ(HslToColor(H, S, L), Color) << std::hex << Color;

        int Hs, Ss, Ls;
        ColorToHslScaled(Color, Hs, Ss, Ls);
        ASSERT_GE(Hs, 0);
        ASSERT_LE(Hs, HslScale - 1);
        ASSERT_LE(Ss, HslScale);
        ASSERT_LE(Ls, HslScale);
        const TColor Back = HslScaledToColor(Hs, Ss, Ls);
        for (int Shift : {0, 8, 16})
          WorstScaled =
              std::max(WorstScaled, std::abs(((Back >> Shift) & 0xFF) - ((Color >> Shift) & 0xFF)));
      }
  // 240 steps cannot hold 256 levels; the loss stays within a few levels.
  EXPECT_LE(WorstScaled, 4);

  int H, S, L;
  ColorToHslScaled(0x0000FF, H, S, L);
  EXPECT_EQ(H, 0);
  EXPECT_EQ(S, 240);
  EXPECT_EQ(L, 120);
  ColorToHslScaled(0xFF0000, H, S, L);
  EXPECT_EQ(H, 159) << "2/3 of 239";
  EXPECT_EQ(HslScaledToColor(0, 0, 240), 0xFFFFFF);
  EXPECT_EQ(MaxReal(1, 2), 2);
  EXPECT_EQ(MinReal(1, 2), 1);
}

}  // namespace
}  // namespace lumora
