#include "widgets/a.h"

#include "ui/Canvas.h"

namespace lumora {

TDovaTranPanel::TDovaTranPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  // It lets what lies behind show through, so it must not claim to cover
  // its area; it holds the controls placed on it.
  SetControlStyle((ControlStyle() & ~csOpaque) | csAcceptsControls);
  SetBounds(Left(), Top(), 185, 41);
}

void TDovaTranPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TDovaTranPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

void TDovaTranPanel::SetBorder(bool Value) {
  if (FBorder == Value) return;
  FBorder = Value;
  Invalidate();
}

UINT TDovaTranPanel::TextFlags(TAlignment Value) {
  UINT Flags = DT_LEFT;
  if (Value == TAlignment::taRightJustify) Flags = DT_RIGHT;
  if (Value == TAlignment::taCenter) Flags = DT_CENTER;
  return Flags | DT_VCENTER | DT_EXPANDTABS;
}

void TDovaTranPanel::Paint() {
  TCanvas& C = Canvas();
  RECT R = ClientRect();
  if (FBorder || Designing()) {
    C.Brush().SetStyle(bsSolid);  // the last paint left it clear
    C.Brush().SetColor(clBtnShadow);
    C.FrameRect(R);
  }
  C.Brush().SetStyle(bsClear);
  C.Font().Assign(Font());
  // One line high and centred on the height of "W", whatever the caption:
  // a taller caption is cut to that band.
  const int H = C.TextHeight("W");
  R.top = (R.bottom + R.top - H) / 2;
  R.bottom = R.top + H;
  C.DrawText(Caption(), R, TextFlags(FAlignment));
}

}  // namespace lumora
