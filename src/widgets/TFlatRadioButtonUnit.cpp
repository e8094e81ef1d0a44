#include "widgets/TFlatRadioButtonUnit.h"

#include <vector>

#include "ui/Canvas.h"

namespace lumora {
namespace {
THotTrackTimer& RadioHotTrack() {
  static THotTrackTimer Shared;
  return Shared;
}
}  // namespace

TFlatRadioButton::TFlatRadioButton(TComponent* AOwner)
    : TFlatMarkControl(AOwner, 10, RadioHotTrack()) {}

TTimer* TFlatRadioButton::HotTrackTimer() {
  return RadioHotTrack().Timer();
}

TFlatRadioButton* TFlatRadioButton::HotTrackedControl() {
  return static_cast<TFlatRadioButton*>(RadioHotTrack().Tracked());
}

void TFlatRadioButton::ApplyChecked(bool Value) {
  if (Value == FChecked) return;
  SetTabStop(Value);
  FChecked = Value;
  if (Value) {
    if (TWinControl* P = Parent()) {
      std::vector<TFlatRadioButton*> Others;
      for (int I = 0; I < P->ControlCount(); ++I) {
        auto* R = dynamic_cast<TFlatRadioButton*>(P->Controls(I));
        if (R && R != this && R->FGroupIndex == FGroupIndex) Others.push_back(R);
      }
      for (TFlatRadioButton* R : Others) R->ApplyChecked(false);
    }
    Click();
  }
  DrawMark();
}

void TFlatRadioButton::PaintMark(TCanvas& C) {
  const RECT R = MarkRect();
  C.Pen().SetStyle(psSolid);
  C.Pen().SetWidth(1);
  C.Pen().SetColor(ColorBorder());
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(FaceColor());
  C.Ellipse(R);
  if (FChecked) {
    const TColor Dot = Enabled() ? ColorMark() : clBtnShadow;
    C.Pen().SetColor(Dot);
    C.Brush().SetColor(Dot);
    C.Ellipse(RECT{R.left + 3, R.top + 3, R.left + 7, R.top + 7});
  }
}

void TFlatRadioButton::LeftReleased(int X, int Y) {
  // Both edges count as inside: the release may come through the capture
  // from just past the right or bottom edge.
  if (X >= 0 && X <= Width() && Y >= 0 && Y <= Height() && !FChecked) ApplyChecked(true);
}

bool TFlatRadioButton::DialogChar(char Ch) {
  if (IsAccel(Ch, Caption()) && CanFocus()) {
    SetFocus();
    return true;
  }
  return false;
}

void TFlatRadioButton::Entered() {
  if (Pressing() && IsHot()) ApplyChecked(true);
}

}  // namespace lumora
