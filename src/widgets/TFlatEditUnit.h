#pragma once
// TCustomFlatEdit and TFlatEdit: the system's single-line edit made flat. Its
// window has no 3-D border; three pixels of non-client area on every side
// carry a frame painted straight onto the window's DC: one ring in
// ColorBorder and two in the field colour, so the padding always matches the
// text background. The field is ColorFlat, or ColorFocused while it is hot:
// focused, or under the mouse while no flat edit holds the focus.
//
// The edit keeps a ParentColor flag of its own, apart from the base class's
// (which stays off): following the parent means following it with ColorFlat,
// since the edit sets its Color itself on every redraw.

#include "ui/Edit.h"
#include "widgets/FlatUtilitys.h"

namespace lumora {

class TCustomFlatEdit : public TEdit {
 public:
  explicit TCustomFlatEdit(TComponent* AOwner);

  TColor ColorFocused() const { return FColorFocused; }
  void SetColorFocused(TColor Value);
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor Value);
  TColor ColorFlat() const { return FColorFlat; }
  void SetColorFlat(TColor Value);
  // The edit's own flag (see above), whatever the type it is reached by.
  bool ParentColor() const override { return FEditParentColor; }
  void SetParentColor(bool Value) override;
  TAdvColors AdvColorFocused() const { return FAdvColorFocused; }
  void SetAdvColorFocused(TAdvColors Value);
  TAdvColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TAdvColors Value);
  bool UseAdvColors() const { return FUseAdvColors; }
  void SetUseAdvColors(bool Value);

  // The height that fits the font: its text height + 6. Width unchanged.
  void FitHeight();

  void Loaded() override;
  void WndProc(TMessage& Message) override;

 protected:
  // ColorFocused and ColorBorder derived from ColorFlat while UseAdvColors is on.
  void ApplyAdvColors();
  // Paints the three-pixel frame and sets the field colour for the look the
  // edit has now (flat or hot).
  void RedrawBorder();
  bool IsHot() const { return FIsHot; }

 private:
  // The field colour, without touching the base class's ParentColor.
  void SetFieldColor(TColor Value);

  TColor FColorFocused = clWhite;
  TColor FColorBorder = 0x8396A0;
  TColor FColorFlat = 0xE1EAEB;
  bool FEditParentColor = true;
  TAdvColors FAdvColorFocused = 10;
  TAdvColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
  bool FIsHot = false;
};

class TFlatEdit : public TCustomFlatEdit {
 public:
  explicit TFlatEdit(TComponent* AOwner) : TCustomFlatEdit(AOwner) {}
};

}  // namespace lumora
