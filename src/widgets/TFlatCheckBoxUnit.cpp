#include "widgets/TFlatCheckBoxUnit.h"

#include "ui/Canvas.h"

namespace lumora {
namespace {
THotTrackTimer& CheckBoxHotTrack() {
  static THotTrackTimer Shared;
  return Shared;
}
}  // namespace

TFlatCheckBox::TFlatCheckBox(TComponent* AOwner)
    : TFlatMarkControl(AOwner, 11, CheckBoxHotTrack()) {
  SetTabStop(true);
}

TTimer* TFlatCheckBox::HotTrackTimer() {
  return CheckBoxHotTrack().Timer();
}

TFlatCheckBox* TFlatCheckBox::HotTrackedControl() {
  return static_cast<TFlatCheckBox*>(CheckBoxHotTrack().Tracked());
}

void TFlatCheckBox::ApplyChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  Click();
  DrawMark();
}

void TFlatCheckBox::PaintMark(TCanvas& C) {
  const RECT R = MarkRect();
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(FaceColor());
  C.FillRect(R);
  if (FChecked) {
    C.Pen().SetStyle(psSolid);
    C.Pen().SetWidth(1);
    C.Pen().SetColor(Enabled() ? ColorMark() : clBtnShadow);
    const int L = R.left, T = R.top;
    // Three strokes down to the bottom of the tick, three up to its top
    // right; each line leaves out its end point.
    static constexpr int Strokes[6][4] = {{2, 4, 6, 8}, {2, 5, 5, 8}, {2, 6, 5, 9},
                                          {8, 2, 4, 6}, {8, 3, 4, 7}, {8, 4, 5, 7}};
    for (const auto& S : Strokes) {
      C.MoveTo(L + S[0], T + S[1]);
      C.LineTo(L + S[2], T + S[3]);
    }
  }
  C.Brush().SetColor(ColorBorder());
  C.FrameRect(R);
}

void TFlatCheckBox::LeftReleased(int, int) {
  if (IsHot()) ApplyChecked(!FChecked);
}

bool TFlatCheckBox::DialogChar(char Ch) {
  if (IsAccel(Ch, Caption()) && CanFocus()) {
    SetFocus();
    ApplyChecked(!FChecked);
    return true;
  }
  // Space toggles the focused box but is not used up: the box's own key
  // events still see it.
  if (Ch == ' ' && HasFocus()) ApplyChecked(!FChecked);
  return false;
}

}  // namespace lumora
