#include "ui/Panel.h"

#include "ui/Canvas.h"

namespace lumora {

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle =
      csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
  FWidth = 185;
  FHeight = 41;
  FLastWidth = FWidth;
  FLastHeight = FHeight;
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::Resize() {
  if (OnResize) OnResize(this);
}

void TCustomPanel::WndProc(TMessage& M) {
  TCustomControl::WndProc(M);
  // A move alone is no resize.
  if (M.Msg == CM_POSCHANGED && (Width() != FLastWidth || Height() != FLastHeight)) {
    FLastWidth = Width();
    FLastHeight = Height();
    Resize();
  }
}

void TCustomPanel::Paint() {
  TCanvas& C = Canvas();
  RECT R = ClientRect();
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(Color());
  C.FillRect(R);
  C.Brush().SetStyle(bsClear);
  UINT Flags = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
  if (FAlignment == TAlignment::taLeftJustify) Flags = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
  if (FAlignment == TAlignment::taRightJustify) Flags = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
  C.DrawText(Caption(), R, Flags);
}

}  // namespace lumora
