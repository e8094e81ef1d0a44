#pragma once
// TFlatGroupBox: a container with a one-pixel frame whose top edge stops for
// the caption at the top left (or only that top edge). It can show its
// parent's image as background instead of its colour. Painted off screen and
// copied in one go; the controls placed on it paint over that.

#include "ui/WinControl.h"
#include "widgets/FlatUtilitys.h"

namespace lumora {

class TFlatGroupBox : public TCustomControl {
 public:
  explicit TFlatGroupBox(TComponent* AOwner);

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor Value);
  TGroupBoxBorder Border() const { return FBorder; }
  void SetBorder(TGroupBoxBorder Value);
  TAdvColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TAdvColors Value);
  bool UseAdvColors() const { return FUseAdvColors; }
  void SetUseAdvColors(bool Value);

  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;
  // ColorBorder derived from Color while UseAdvColors is on.
  void ApplyAdvColors();

 private:
  bool FTransparent = false;
  TColor FColorBorder = 0x8396A0;
  TGroupBoxBorder FBorder = brFull;
  TAdvColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
};

}  // namespace lumora
