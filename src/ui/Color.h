#pragma once
// Colours as the window layer and the flat widgets keep them: 0x00BBGGRR for
// an RGB value; a top byte of 0x80 names a system colour by its index. Such a
// value means nothing to arithmetic or to GDI until it is resolved.

#include <cstdint>

namespace lumora {

using TColor = std::int32_t;

inline constexpr TColor SystemColorFlag = static_cast<TColor>(0x80000000u);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TColor clScrollBar = SystemColorFlag | 0;
inline constexpr TColor clBackground = SystemColorFlag | 1;
inline constexpr TColor clWindow = SystemColorFlag | 5;
inline constexpr TColor clWindowText = SystemColorFlag | 8;
inline constexpr TColor clBtnFace = SystemColorFlag | 15;
inline constexpr TColor clBtnShadow = SystemColorFlag | 16;
inline constexpr TColor clGrayText = SystemColorFlag | 17;
inline constexpr TColor clBtnText = SystemColorFlag | 18;
inline constexpr TColor clBtnHighlight = SystemColorFlag | 20;
inline constexpr TColor clInfoText = SystemColorFlag | 23;
inline constexpr TColor clInfoBk = SystemColorFlag | 24;

constexpr bool IsSystemColor(TColor Color) {
  return (static_cast<std::uint32_t>(Color) & 0xFF000000u) == 0x80000000u;
}

// The RGB value of a colour: system colours through the system's current
// scheme (natively, the classic Windows scheme), every other value unchanged.
TColor ColorToRGB(TColor Color);

constexpr TColor RGBColor(int R, int G, int B) {
  return static_cast<TColor>((static_cast<std::uint32_t>(B & 0xFF) << 16) |
                             (static_cast<std::uint32_t>(G & 0xFF) << 8) |
                             static_cast<std::uint32_t>(R & 0xFF));
}
constexpr int RedOf(TColor Color) {
  return Color & 0xFF;
}
constexpr int GreenOf(TColor Color) {
  return (Color >> 8) & 0xFF;
}
constexpr int BlueOf(TColor Color) {
  return (Color >> 16) & 0xFF;
}

}  // namespace lumora
