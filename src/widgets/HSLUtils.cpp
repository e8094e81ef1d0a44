#include "widgets/HSLUtils.h"

#include <cmath>
#include <cstdint>

namespace lumora {

namespace {

// Half to even, done by hand so that no floating-point rounding mode set
// elsewhere changes a colour. Values far out of range (only reachable with
// arguments outside 0..1) saturate instead of overflowing, and NaN gives 0.
std::int64_t RoundHalfEven(double X) {
  if (std::isnan(X)) return 0;
  constexpr double Limit = 4611686018427387904.0;  // 2^62
  if (X >= Limit) return static_cast<std::int64_t>(Limit);
  if (X <= -Limit) return -static_cast<std::int64_t>(Limit);
  const double Floor = std::floor(X);
  const double Fraction = X - Floor;
  auto Result = static_cast<std::int64_t>(Floor);
  if (Fraction > 0.5 || (Fraction == 0.5 && (Result & 1) != 0)) ++Result;
  return Result;
}

// The low 8 bits of the rounded channel value.
int ChannelByte(double Value) {
  return static_cast<int>(static_cast<std::uint64_t>(RoundHalfEven(Value * 255)) & 0xFFu);
}

double Channel(double M1, double M2, double X) {
  if (X < 0)
    X += 1;
  else if (X > 1)
    X -= 1;
  if (6 * X < 1) return M1 + (M2 - M1) * X * 6;
  if (2 * X < 1) return M2;
  if (3 * X < 2) return M1 + (M2 - M1) * (2.0 / 3 - X) * 6;
  return M1;
}

int ScaledInt(double X) {
  return static_cast<int>(RoundHalfEven(X));
}

}  // namespace

double MaxReal(double A, double B) {
  return A > B ? A : B;
}

double MinReal(double A, double B) {
  return A < B ? A : B;
}

void ColorToHsl(TColor Color, double& H, double& S, double& L) {
  const double R = RedOf(Color) / 255.0, G = GreenOf(Color) / 255.0, B = BlueOf(Color) / 255.0;
  const double Max = MaxReal(R, MaxReal(G, B));
  const double Min = MinReal(R, MinReal(G, B));
  L = (Max + Min) / 2;
  if (Max == Min) {
    H = 0;
    S = 0;
    return;
  }
  const double D = Max - Min;
  S = L < 0.5 ? D / (Max + Min) : D / (2 - Max - Min);
  if (R == Max)
    H = (G - B) / D;
  else if (G == Max)
    H = 2 + (B - R) / D;
  else
    H = 4 + (R - G) / D;
  H /= 6;
  if (H < 0) H += 1;
}

TColor HslToColor(double H, double S, double L) {
  if (S == 0) {
    const int V = ChannelByte(L);
    return RGBColor(V, V, V);
  }
  const double M2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
  const double M1 = 2 * L - M2;
  return RGBColor(ChannelByte(Channel(M1, M2, H + 1.0 / 3)), ChannelByte(Channel(M1, M2, H)),
                  ChannelByte(Channel(M1, M2, H - 1.0 / 3)));
}

void ColorToHslScaled(TColor Color, int& H, int& S, int& L) {
  double Hd, Sd, Ld;
  ColorToHsl(Color, Hd, Sd, Ld);
  H = ScaledInt(Hd * (HslScale - 1));
  S = ScaledInt(Sd * HslScale);
  L = ScaledInt(Ld * HslScale);
}

TColor HslScaledToColor(int H, int S, int L) {
  return HslToColor(H / static_cast<double>(HslScale - 1), S / static_cast<double>(HslScale),
                    L / static_cast<double>(HslScale));
}

}  // namespace lumora
