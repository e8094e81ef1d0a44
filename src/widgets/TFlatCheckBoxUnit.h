#pragma once
// TFlatCheckBox: an owner-drawn check box with a flat 11 x 11 box beside a
// word-wrapped caption. Every change of Checked, by code, mouse or keyboard,
// raises OnClick. The mouse toggles it on release, and only while the box
// is hot: pressing it, dragging off and releasing elsewhere still toggles.

#include "widgets/FlatMarkControl.h"

namespace lumora {

class TFlatCheckBox : public TFlatMarkControl {
 public:
  explicit TFlatCheckBox(TComponent* AOwner);

  TColor ColorCheck() const { return ColorMark(); }
  void SetColorCheck(TColor Value) { SetColorMark(Value); }
  TCheckBoxLayout Layout() const { return RightLayout() ? checkboxRight : checkboxLeft; }
  void SetLayout(TCheckBoxLayout Value) { SetRightLayout(Value == checkboxRight); }

  // The class's hot-tracking timer (null while no check box exists) and the
  // check box it watches.
  static TTimer* HotTrackTimer();
  static TFlatCheckBox* HotTrackedControl();

 protected:
  void ApplyChecked(bool Value) override;
  void PaintMark(TCanvas& Canvas) override;
  void LeftReleased(int X, int Y) override;
  bool DialogChar(char Ch) override;
};

}  // namespace lumora
