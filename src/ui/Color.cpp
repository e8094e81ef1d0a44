#include "ui/Color.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumora {

TColor ColorToRGB(TColor Color) {
  if (!IsSystemColor(Color)) return Color;
  const int Index = Color & 0xFF;
#ifdef _WIN32
  return static_cast<TColor>(GetSysColor(Index));
#else
  // The classic scheme, so that the colour rules can be tested off Windows.
  static constexpr TColor Classic[] = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
      0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
      0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF0000, 0xFFFFFF};
  if (Index < static_cast<int>(sizeof Classic / sizeof Classic[0])) return Classic[Index];
  return clBlack;
#endif
}

}  // namespace lumora
