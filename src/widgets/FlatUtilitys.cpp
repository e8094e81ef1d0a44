#include "widgets/FlatUtilitys.h"

#include "widgets/HSLUtils.h"

namespace lumora {

TColor ShiftLightness(TColor Base, TColor Fallback, int Percent, TLightShift Direction) {
  if (Percent == 0) return Fallback;
  int H, S, L;
  ColorToHslScaled(ColorToRGB(Base), H, S, L);
  L += 10;
  if (Direction == lsLighten)
    L = L + Percent > 100 ? 100 : L + Percent;
  else
    L = L - Percent < 0 ? 0 : L - Percent;
  return HslScaledToColor(H, S, L);
}

}  // namespace lumora
