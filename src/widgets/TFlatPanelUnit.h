#pragma once
// TFlatPanel: a panel painted flat: a face in Color (or the parent's image
// when Transparent), a one-ring bevel in ColorHighLight and ColorShadow and a
// single-line caption placed by Alignment over the whole client area.
// Painted off screen and copied in one go.

#include "ui/Panel.h"
#include "widgets/FlatUtilitys.h"

namespace lumora {

class TFlatPanel : public TCustomPanel {
 public:
  explicit TFlatPanel(TComponent* AOwner);

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  TColor ColorHighLight() const { return FColorHighLight; }
  void SetColorHighLight(TColor Value);
  TColor ColorShadow() const { return FColorShadow; }
  void SetColorShadow(TColor Value);
  void SetAlignment(TAlignment Value) override;

  // The DrawTextA flags of an alignment: one line, centred vertically.
  static UINT TextFlags(TAlignment Value);

 protected:
  void Paint() override;

 private:
  bool FTransparent = false;
  TColor FColorHighLight = 0x8396A0;
  TColor FColorShadow = 0x8396A0;
};

}  // namespace lumora
