#pragma once
// RGB to HSL and back, on the unit interval and on the integer scale the
// flat widgets use (saturation and lightness 0..240, hue 0..239). Colours
// must already be resolved to RGB. Rounding is half to even throughout.

#include "ui/Color.h"

namespace lumora {

// The integer scale of saturation and lightness; hue tops out one below.
inline constexpr int HslScale = 240;

double MaxReal(double A, double B);
double MinReal(double A, double B);

void ColorToHsl(TColor Color, double& H, double& S, double& L);
TColor HslToColor(double H, double S, double L);

void ColorToHslScaled(TColor Color, int& H, int& S, int& L);
TColor HslScaledToColor(int H, int S, int L);

}  // namespace lumora
