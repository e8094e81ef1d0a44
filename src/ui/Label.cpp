#include "ui/Label.h"

#include "ui/Canvas.h"
#include "ui/GdiObjects.h"

namespace lumora {

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csOpaque;
  FControlStyle &= ~csSetCaption;
  FWidth = 65;
  FHeight = 17;
}

void TLabel::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TLabel::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  if (Value)
    FControlStyle &= ~csOpaque;
  else
    FControlStyle |= csOpaque;
  Invalidate();
}

void TLabel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
  if (Value == FShowAccelChar) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

UINT TLabel::TextFlags() const {
  UINT Flags = DT_EXPANDTABS | DT_SINGLELINE;
  if (FAlignment == TAlignment::taRightJustify) Flags |= DT_RIGHT;
  if (FAlignment == TAlignment::taCenter) Flags |= DT_CENTER;
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  return Flags;
}

void TLabel::AdjustBounds() {
  if (!FAutoSize) return;
  // Measure on the screen's DC with the label's font.
  TWindowDC DC = TWindowDC::Client(nullptr);
  TCanvas C(DC.Get());
  C.Font().Assign(Font());
  RECT R{0, 0, 0, 0};
  std::string Text = Caption().empty() ? std::string(" ") : Caption();
  C.DrawText(Text, R, TextFlags() | DT_CALCRECT);
  SetBounds(FLeft, FTop, R.right, R.bottom);
}

void TLabel::WndProc(TMessage& M) {
  TGraphicControl::WndProc(M);
  if (M.Msg == CM_TEXTCHANGED || M.Msg == CM_FONTCHANGED) AdjustBounds();
}

void TLabel::Paint() {
  TCanvas& C = Canvas();
  RECT R = ClientRect();
  if (!FTransparent) {
    C.Brush().SetColor(Color());
    C.Brush().SetStyle(bsSolid);
    C.FillRect(R);
  }
  C.Brush().SetStyle(bsClear);
  const std::string Text = Caption();
  if (Enabled()) {
    C.DrawText(Text, R, TextFlags());
    return;
  }
  // Disabled text is embossed: light, one pixel down and right, then shadow.
  OffsetRect(&R, 1, 1);
  C.Font().SetColor(clBtnHighlight);
  C.DrawText(Text, R, TextFlags());
  OffsetRect(&R, -1, -1);
  C.Font().SetColor(clBtnShadow);
  C.DrawText(Text, R, TextFlags());
}

}  // namespace lumora
