#include "widgets/TFlatPanelUnit.h"

#include "ui/Bitmap.h"
#include "ui/Canvas.h"

namespace lumora {

TFlatPanel::TFlatPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
  SetParentFont(true);
  SetParentColor(true);
  SetBounds(Left(), Top(), 185, 41);
}

void TFlatPanel::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TFlatPanel::SetColorHighLight(TColor Value) {
  FColorHighLight = Value;
  Invalidate();
}

void TFlatPanel::SetColorShadow(TColor Value) {
  FColorShadow = Value;
  Invalidate();
}

void TFlatPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

UINT TFlatPanel::TextFlags(TAlignment Value) {
  switch (Value) {
    case TAlignment::taLeftJustify:
      return DT_SINGLELINE | DT_VCENTER;  // 0x24
    case TAlignment::taRightJustify:
      return DT_SINGLELINE | DT_VCENTER | DT_RIGHT;  // 0x26
    case TAlignment::taCenter:
      break;
  }
  return DT_SINGLELINE | DT_VCENTER | DT_CENTER;  // 0x25
}

void TFlatPanel::Paint() {
  const UINT Flags = TextFlags(FAlignment);
  const RECT Client = ClientRect();
  if (Client.right <= Client.left || Client.bottom <= Client.top) return;
  TBitmap Face(Client.right - Client.left, Client.bottom - Client.top);
  TCanvas& C = Face.Canvas();

  if (FTransparent) {
    PaintParentBackground(this, C);
  } else {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color());
    C.FillRect(Client);
  }
  DrawBevelFrame(C, Client, FColorHighLight, FColorShadow, 1);

  // The caption's rectangle is the whole client area, bevel included.
  C.Font().Assign(Font());
  C.Brush().SetStyle(bsClear);
  const std::string Text = Caption();
  RECT TextRect = Client;
  if (Enabled()) {
    C.DrawText(Text, TextRect, Flags);
  } else {
    ::OffsetRect(&TextRect, 1, 1);
    C.Font().SetColor(clBtnHighlight);
    C.DrawText(Text, TextRect, Flags);
    TextRect = Client;
    C.Font().SetColor(clBtnShadow);
    C.DrawText(Text, TextRect, Flags);
  }

  Canvas().Draw(Client.left, Client.top, Face);
}

}  // namespace lumora
