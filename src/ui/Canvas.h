#pragma once
// A drawing surface over a DC that it does not own. The canvas's font, pen
// and brush are descriptions; the canvas selects their GDI objects into the
// DC only when a call needs them, makes new ones after a change, and puts the
// DC's own objects back when it lets the DC go (SetHandle, destruction).
// System colours are resolved at the moment of use.
//
// Drawing needs a DC. A control's paint canvas has one only during a paint;
// drawing through it at any other time would show nothing, so with handle
// checks on (the default in debug builds) every draw call without a DC
// raises ELumoraError instead. With them off it does nothing. To draw
// outside a paint, use a TControlCanvas.

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "sys/Object.h"
#include "ui/Color.h"
#include "ui/Font.h"
#include "ui/GdiObjects.h"

namespace lumora {

class TBitmap;

enum TPenStyle {
  psSolid = PS_SOLID,
  psDash = PS_DASH,
  psDot = PS_DOT,
  psDashDot = PS_DASHDOT,
  psDashDotDot = PS_DASHDOTDOT,
  psClear = PS_NULL,
  psInsideFrame = PS_INSIDEFRAME
};

class TPen : public TObject {
 public:
  TColor Color() const { return FColor; }
  int Width() const { return FWidth; }
  TPenStyle Style() const { return FStyle; }
  void SetColor(TColor Value);
  void SetWidth(int Value);
  void SetStyle(TPenStyle Value);
  void Assign(const TPen& Source);

  HPEN Handle() const { return SharedHandle()->Get(); }
  std::shared_ptr<const TPenHandle> SharedHandle() const;

  TNotifyEvent OnChange;

 private:
  void Changed();
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  mutable std::shared_ptr<TPenHandle> FHandle;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TObject {
 public:
  TColor Color() const { return FColor; }
  TBrushStyle Style() const { return FStyle; }
  void SetColor(TColor Value);
  void SetStyle(TBrushStyle Value);
  void Assign(const TBrush& Source);

  HBRUSH Handle() const { return SharedHandle()->Get(); }
  std::shared_ptr<const TBrushHandle> SharedHandle() const;

  TNotifyEvent OnChange;

 private:
  void Changed();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  mutable std::shared_ptr<TBrushHandle> FHandle;
};

class TCanvas : public TObject {
 public:
  TCanvas() = default;
  explicit TCanvas(HDC DC) : FHandle(DC) {}
  ~TCanvas() override { Deselect(); }

  HDC Handle() const { return FHandle; }
  // Puts the previous DC's own objects back, then draws on DC.
  void SetHandle(HDC DC);

  // Whether drawing without a DC raises (see above); process-wide.
  static bool HandleChecks();
  static void SetHandleChecks(bool Value);

  TFont& Font() { return FFont; }
  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }

  // Every call below but Pixel draws or measures, and needs a DC.

  // Both with the brush; a clear brush fills and frames nothing.
  void FillRect(const RECT& Rect);
  void FrameRect(const RECT& Rect);
  // Outlined with the pen, filled with the brush.
  void Rectangle(const RECT& Rect);
  void Ellipse(const RECT& Rect);
  // Pen lines; as in GDI, the end point of a line is not painted.
  void Polyline(std::span<const POINT> Points);
  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);

  SIZE TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
  // Text in the font and its colour. The text background is transparent when
  // the brush is clear, else opaque in the brush colour.
  void TextOut(int X, int Y, const std::string& Text);
  int DrawText(const std::string& Text, RECT& Rect, UINT Format);

  // The pixel's RGB value; -1 (CLR_INVALID) outside the surface.
  TColor Pixel(int X, int Y) const;
  void SetPixel(int X, int Y, TColor Color);

  // The whole bitmap with its top-left corner at (X, Y).
  void Draw(int X, int Y, TBitmap& Bitmap);
  // Source's SourceRect into Dest, stretched when the sizes differ.
  void CopyRect(const RECT& Dest, TCanvas& Source, const RECT& SourceRect);

 private:
  // True when there is a DC to draw on; raises when there is none and handle
  // checks are on.
  bool CanDraw() const;
  void NeedFont();
  void NeedPen();
  void NeedBrush();
  void PrepareText();
  void Deselect();

  HDC FHandle = nullptr;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  // The shared handles keep what is selected alive even after its
  // description has changed; declared first, so they outlive the selections
  // that put the DC's own objects back.
  std::shared_ptr<const TFontHandle> FSelectedFont;
  std::shared_ptr<const TPenHandle> FSelectedPen;
  std::shared_ptr<const TBrushHandle> FSelectedBrush;
  TSelection FFontSelection, FPenSelection, FBrushSelection;
};

}  // namespace lumora
