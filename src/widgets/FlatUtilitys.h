#pragma once
// What every flat control shares: the enumerations they publish, the rule
// that derives their advanced colours, and the drawing helpers for bevels,
// transparency, glyph-and-caption layout and embossed disabled glyphs. None
// keeps state between calls; each draws on a canvas the caller owns.

#include <algorithm>

#include "ui/Color.h"

#ifdef _WIN32
#include <windows.h>

#include <memory>
#include <string>

#include "ui/ButtonLayout.h"
#endif

namespace lumora {

enum TCheckBoxLayout { checkboxLeft = 0, checkboxRight = 1 };
enum TRadioButtonLayout { radioLeft = 0, radioRight = 1 };
enum TGroupBoxBorder { brFull = 0, brOnlyTopLine = 1 };
enum TTransparentMode { tmAlways = 0, tmNotFocused = 1, tmNone = 2 };

// Glyph cells side by side in a button's glyph: 1..4.
using TNumGlyphs = int;
inline constexpr TNumGlyphs MinNumGlyphs = 1, MaxNumGlyphs = 4;
// A percentage, 0..100, for ShiftLightness.
using TAdvColors = int;
inline constexpr TAdvColors MaxAdvColors = 100;
// A percentage past either end would shift the lightness off its scale.
inline constexpr TAdvColors ClampAdvColors(TAdvColors Value) {
  return std::clamp(Value, 0, MaxAdvColors);
}

enum TLightShift { lsLighten = 0, lsDarken = 1 };

// The advanced-colour rule: Base's lightness, raised by 10 on the 0..240
// scale, moved by Percent in Direction and clamped to 0..100 (not 240: light
// bases all come out at lightness 100). Percent 0 gives Fallback unchanged.
TColor ShiftLightness(TColor Base, TColor Fallback, int Percent, TLightShift Direction);

#ifdef _WIN32
class TCanvas;
class TBitmap;
class TControl;

// Width concentric one-pixel rings inside Rect: top and left in TopLeft;
// right, bottom and the top-right and bottom-left corners in BottomRight.
void DrawBevelFrame(TCanvas& Canvas, RECT Rect, TColor TopLeft, TColor BottomRight, int Width);

// Lets Parent paint its background and face into Canvas as if the canvas
// were the control's client area at (Left, Top) in the parent, clipped to
// the parent's client size. Parent 0 does nothing.
void PaintParentBackgroundAt(HWND Parent, int ParentClientWidth, int ParentClientHeight, int Left,
                             int Top, TCanvas& Canvas);
// The same for Control and its parent: makes Control look transparent. A
// control without a parent leaves the canvas untouched.
void PaintParentBackground(TControl* Control, TCanvas& Canvas);

// Places a glyph (NumGlyphs cells wide, Glyph may be null) and a one-line
// caption in Client; Offset moves both for a pressed button. Margin or
// Spacing -1 means "work it out". The canvas must carry the caption font.
void LayoutGlyphAndText(TCanvas& Canvas, const RECT& Client, int Offset, TButtonLayout Layout,
                        int Spacing, int Margin, TBitmap* Glyph, int NumGlyphs,
                        const std::string& Caption, POINT& GlyphPos, RECT& TextBounds);

// The embossed look of a disabled glyph: Back everywhere, and where Source
// has the Outline colour the HighLight colour one pixel down and right (when
// DrawHighLight) under the Shadow colour in place.
std::unique_ptr<TBitmap> MakeDisabledGlyph(TBitmap& Source, TColor Outline, TColor Back,
                                           TColor HighLight, TColor Shadow, bool DrawHighLight);
#endif

}  // namespace lumora
