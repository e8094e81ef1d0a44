// The drawing half of FlatUtilitys: it needs GDI, so it lives in the Windows
// widget library while the colour rule stays portable.

#include <windows.h>

#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/GdiObjects.h"
#include "ui/WinControl.h"
#include "widgets/FlatUtilitys.h"

namespace lumora {

namespace {

// Paints the DC's brush where the 1-bit source is set, leaves the rest.
constexpr DWORD ropDSPDxax = 0x00E20746;

}  // namespace

void DrawBevelFrame(TCanvas& Canvas, RECT Rect, TColor TopLeft, TColor BottomRight, int Width) {
  Canvas.Pen().SetWidth(1);
  // Right and Bottom name the last pixel column and row from here on.
  --Rect.right;
  --Rect.bottom;
  for (int Ring = 0; Ring < Width; ++Ring) {
    Canvas.Pen().SetColor(TopLeft);
    const POINT Upper[] = {{Rect.left, Rect.bottom}, {Rect.left, Rect.top}, {Rect.right, Rect.top}};
    Canvas.Polyline(Upper);
    Canvas.Pen().SetColor(BottomRight);
    // Polylines leave their last point out, so the bottom row runs to Left - 1.
    const POINT Lower[] = {
        {Rect.right, Rect.top}, {Rect.right, Rect.bottom}, {Rect.left - 1, Rect.bottom}};
    Canvas.Polyline(Lower);
    ::InflateRect(&Rect, -1, -1);
  }
}

void PaintParentBackgroundAt(HWND Parent, int ParentClientWidth, int ParentClientHeight, int Left,
                             int Top, TCanvas& Canvas) {
  HDC DC = Canvas.Handle();
  if (!Parent || !DC) return;
  // Whatever the parent's painting does to the DC is undone here, including
  // the moved origin and the clipping.
  TSavedDC Saved(DC);
  POINT Origin{};
  ::GetViewportOrgEx(DC, &Origin);
  ::SetViewportOrgEx(DC, Origin.x - Left, Origin.y - Top, nullptr);
  ::IntersectClipRect(DC, 0, 0, ParentClientWidth, ParentClientHeight);
  ::SendMessageA(Parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
  ::SendMessageA(Parent, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
}

void PaintParentBackground(TControl* Control, TCanvas& Canvas) {
  if (!Control || !Control->Parent()) return;
  TWinControl* Parent = Control->Parent();
  TPaintExclusion Exclusion(Control);
  PaintParentBackgroundAt(Parent->Handle(), Parent->ClientWidth(), Parent->ClientHeight(),
                          Control->Left(), Control->Top(), Canvas);
}

void LayoutGlyphAndText(TCanvas& Canvas, const RECT& Client, int Offset, TButtonLayout Layout,
                        int Spacing, int Margin, TBitmap* Glyph, int NumGlyphs,
                        const std::string& Caption, POINT& GlyphPos, RECT& TextBounds) {
  const int CW = Client.right - Client.left, CH = Client.bottom - Client.top;
  // A cell count below one would divide by zero; one cell is the sound reading.
  if (NumGlyphs < 1) NumGlyphs = 1;
  int GW = 0, GH = 0;
  if (Glyph && !Glyph->Empty()) {
    GW = Glyph->Width() / NumGlyphs;
    GH = Glyph->Height();
  }
  int TW = 0, TH = 0;
  if (!Caption.empty()) {
    TextBounds = RECT{0, 0, CW, 0};
    Canvas.DrawText(Caption, TextBounds, DT_CALCRECT | DT_SINGLELINE);
    TW = TextBounds.right - TextBounds.left;
    TH = TextBounds.bottom - TextBounds.top;
  } else {
    TextBounds = RECT{0, 0, 0, 0};
  }

  const bool Horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  int GX = 0, GY = 0, TX = 0, TY = 0;
  // Cross axis: both centred (C++ division truncates toward zero, as wanted).
  if (Horizontal) {
    GY = (CH - GH + 1) / 2;
    TY = (CH - TH + 1) / 2;
  } else {
    GX = (CW - GW + 1) / 2;
    TX = (CW - TW + 1) / 2;
  }

  if (TW == 0 || GW == 0) Spacing = 0;
  const int Extent = Horizontal ? CW : CH;
  const int GlyphSize = Horizontal ? GW : GH;
  const int TextSize = Horizontal ? TW : TH;
  if (Margin == -1 && Spacing == -1) {
    Margin = (Extent - (GlyphSize + TextSize)) / 3;
    Spacing = Margin;
  } else if (Margin == -1) {
    Margin = (Extent - (GlyphSize + Spacing + TextSize) + 1) / 2;
  } else if (Spacing == -1) {
    Spacing = (Extent - (Margin + GlyphSize) - TextSize) / 2;
  }

  switch (Layout) {
    case blGlyphLeft:
      GX = Margin;
      TX = GX + GW + Spacing;
      break;
    case blGlyphRight:
      GX = CW - Margin - GW;
      TX = GX - Spacing - TW;
      break;
    case blGlyphTop:
      GY = Margin;
      TY = GY + GH + Spacing;
      break;
    case blGlyphBottom:
      GY = CH - Margin - GH;
      TY = GY - Spacing - TH;
      break;
  }

  GlyphPos = POINT{GX + Client.left + Offset, GY + Client.top + Offset};
  ::OffsetRect(&TextBounds, TX + Client.left + Offset, TY + Client.top + Offset);
}

std::unique_ptr<TBitmap> MakeDisabledGlyph(TBitmap& Source, TColor Outline, TColor Back,
                                           TColor HighLight, TColor Shadow, bool DrawHighLight) {
  const int W = Source.Width(), H = Source.Height();
  auto Result = std::make_unique<TBitmap>();
  Result->SetSize(W, H);
  TBitmap Mask;
  Mask.Assign(Source);

  // The mask: pixels of the outline colour set, all others clear. A 1-bit
  // source goes through colour first so that its black pixels are the ones set.
  TCanvas& MaskCanvas = Mask.Canvas();
  MaskCanvas.Brush().SetColor(Outline);
  if (Mask.Monochrome()) {
    MaskCanvas.Font().SetColor(clWhite);
    Mask.SetMonochrome(false);
    MaskCanvas.Brush().SetColor(clWhite);
  }
  Mask.SetMonochrome(true);

  TCanvas& Out = Result->Canvas();
  Out.Brush().SetColor(Back);
  Out.FillRect(RECT{0, 0, W, H});
  if (Result->Empty() || Mask.Empty()) return Result;

  HDC DC = Out.Handle();
  ::SetTextColor(DC, RGB(0, 0, 0));
  ::SetBkColor(DC, RGB(255, 255, 255));
  auto Emboss = [&](TColor Color, int Offset) {
    Out.Brush().SetColor(Color);
    TSelection Brush(DC, Out.Brush().Handle());
    ::BitBlt(DC, Offset, Offset, W, H, MaskCanvas.Handle(), 0, 0, ropDSPDxax);
  };
  if (DrawHighLight) Emboss(HighLight, 1);
  Emboss(Shadow, 0);
  return Result;
}

}  // namespace lumora
