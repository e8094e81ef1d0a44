#include "widgets/TFlatGroupBoxUnit.h"

#include "ui/Bitmap.h"
#include "ui/Canvas.h"

namespace lumora {

TFlatGroupBox::TFlatGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
  // Follows the parent's colour; clWindow until it has one.
  FColor = clWindow;
  SetBounds(Left(), Top(), 185, 105);
}

void TFlatGroupBox::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TFlatGroupBox::SetColorBorder(TColor Value) {
  FColorBorder = Value;
  Invalidate();
}

void TFlatGroupBox::SetBorder(TGroupBoxBorder Value) {
  FBorder = Value;
  Invalidate();
}

void TFlatGroupBox::SetAdvColorBorder(TAdvColors Value) {
  // Outside 0..100 the shifted channels would wrap.
  FAdvColorBorder = ClampAdvColors(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatGroupBox::SetUseAdvColors(bool Value) {
  if (Value == FUseAdvColors) return;
  FUseAdvColors = Value;
  SetParentColor(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatGroupBox::ApplyAdvColors() {
  if (FUseAdvColors)
    FColorBorder = ShiftLightness(Color(), FColorBorder, FAdvColorBorder, lsDarken);
}

void TFlatGroupBox::Paint() {
  const RECT Client = ClientRect();
  const int L = Client.left, T = Client.top, R = Client.right, B = Client.bottom;
  if (R <= L || B <= T) return;
  TBitmap Face(R - L, B - T);
  TCanvas& C = Face.Canvas();
  C.Font().Assign(Font());
  const std::string Text = Caption();
  const SIZE Extent = C.TextExtent(Text);
  const int TW = Extent.cx, TH = Extent.cy;
  RECT TextRect{L + 10, T, R - 10, T + TH};

  if (FTransparent) {
    PaintParentBackground(this, C);
  } else {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color());
    C.FillRect(Client);
  }

  // The top edge stops after L + 5 and starts again at L + TW + 12: the
  // caption sits in between, even an empty one.
  C.Pen().SetColor(FColorBorder);
  C.Pen().SetWidth(1);
  const int Y = T + TH / 2;
  if (FBorder == brFull) {
    const POINT Frame[] = {{L + 5, Y},     {L, Y},     {L, B - 1},
                           {R - 1, B - 1}, {R - 1, Y}, {L + TW + 12, Y}};
    C.Polyline(Frame);
  } else {
    C.MoveTo(L + 5, Y);
    C.LineTo(L, Y);
    C.MoveTo(R - 1, Y);
    C.LineTo(L + TW + 12, Y);
  }

  C.Brush().SetStyle(bsClear);
  if (Enabled()) {
    C.DrawText(Text, TextRect, DT_SINGLELINE);
  } else {
    ::OffsetRect(&TextRect, 1, 1);
    C.Font().SetColor(clBtnHighlight);
    C.DrawText(Text, TextRect, DT_SINGLELINE);
    ::OffsetRect(&TextRect, -1, -1);
    C.Font().SetColor(clBtnShadow);
    C.DrawText(Text, TextRect, DT_SINGLELINE);
  }

  Canvas().Draw(L, T, Face);
}

void TFlatGroupBox::WndProc(TMessage& M) {
  switch (M.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<char>(M.WParam), Caption()) && CanFocus()) {
        SetFocus();
        M.Result = 1;
      }
      return;
    case CM_PARENTCOLORCHANGED:
    case CM_SYSCOLORCHANGE:
      TCustomControl::WndProc(M);
      if (FUseAdvColors) {
        SetParentColor(true);
        ApplyAdvColors();
      }
      Invalidate();
      return;
    case CM_POSCHANGED:
      TCustomControl::WndProc(M);
      // What shows through has moved under it.
      if (FTransparent) Invalidate();
      return;
    default:
      // Enabled and caption changes repaint in the standard handling.
      TCustomControl::WndProc(M);
  }
}

}  // namespace lumora
