#pragma once
// TFlatRadioButton: an owner-drawn radio button with a flat 10 x 10 circle
// beside a word-wrapped caption. Checking one unchecks the other radio
// buttons of its GroupIndex under the same parent and moves the tab stop to
// it; OnClick is raised when it becomes checked. The mouse only ever checks
// it, never unchecks.

#include "widgets/FlatMarkControl.h"

namespace lumora {

class TFlatRadioButton : public TFlatMarkControl {
 public:
  explicit TFlatRadioButton(TComponent* AOwner);

  TColor ColorDot() const { return ColorMark(); }
  void SetColorDot(TColor Value) { SetColorMark(Value); }
  TRadioButtonLayout Layout() const { return RightLayout() ? radioRight : radioLeft; }
  void SetLayout(TRadioButtonLayout Value) { SetRightLayout(Value == radioRight); }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }

  // The class's hot-tracking timer (null while no radio button exists) and
  // the radio button it watches.
  static TTimer* HotTrackTimer();
  static TFlatRadioButton* HotTrackedControl();

 protected:
  void ApplyChecked(bool Value) override;
  void PaintMark(TCanvas& Canvas) override;
  void LeftReleased(int X, int Y) override;
  bool DialogChar(char Ch) override;
  void Entered() override;

 private:
  int FGroupIndex = 0;
};

}  // namespace lumora
