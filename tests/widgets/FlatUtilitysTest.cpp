#include "widgets/FlatUtilitys.h"

#include <gtest/gtest.h>

#include "widgets/HSLUtils.h"

namespace lumora {
namespace {

int ScaledLightness(TColor Color) {
  int H, S, L;
  ColorToHslScaled(Color, H, S, L);
  return L;
}

TEST(ShiftLightness, FollowsTheAdvancedColourRule) {
  struct Case {
    TColor Base, Fallback;
    int Percent;
    TLightShift Direction;
    TColor Expected;
  };
  const Case Cases[] = {
      {0x123456, 0xABCDEF, 0, lsLighten, 0xABCDEF},  // percent 0: the fallback, untouched
      {0x123456, 0xABCDEF, 0, lsDarken, 0xABCDEF},
      {clWhite, 0, 10, lsLighten, 0x6A6A6A},  // clamped at 100 of 240, not white
      {clWhite, 0, 100, lsLighten, 0x6A6A6A},
      {RGBColor(10, 0, 0), clWhite, 20, lsDarken, clBlack},  // lightness 5 + 10 - 20 < 0
      {clBlack, 0, 10, lsLighten, 0x151515},  // 0 + 10 + 10 = 20 of 240: 21.25 of 255
  };
  for (const Case& C : Cases)
    EXPECT_EQ(ShiftLightness(C.Base, C.Fallback, C.Percent, C.Direction), C.Expected)
        << std::hex << C.Base << " " << std::dec << C.Percent;
}

TEST(ShiftLightness, KeepsHueAndResolvesSystemColours) {
  // The border grey 0x8396A0 has lightness 137: +10 -50 = 97.
  const TColor Darker = ShiftLightness(0x8396A0, 0, 50, lsDarken);
  EXPECT_NEAR(ScaledLightness(Darker), 97, 1);
  int H0, S0, L0, H1, S1, L1;
  ColorToHslScaled(0x8396A0, H0, S0, L0);
  ColorToHslScaled(Darker, H1, S1, L1);
  EXPECT_NEAR(H1, H0, 2);
  EXPECT_NEAR(S1, S0, 3);

  EXPECT_EQ(ShiftLightness(clBtnFace, 0, 30, lsDarken),
            ShiftLightness(ColorToRGB(clBtnFace), 0, 30, lsDarken))
      << "a system colour is resolved before the arithmetic";
  EXPECT_EQ(ShiftLightness(clBtnFace, clBtnShadow, 0, lsDarken), clBtnShadow)
      << "the fallback comes back unresolved";
}

}  // namespace
}  // namespace lumora
