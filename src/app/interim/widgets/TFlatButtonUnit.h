#pragma once
#include "widgets/InterimFlat.h"
namespace lumora {
class TFlatButton : public TButton {
 public:
  explicit TFlatButton(TComponent* AOwner) : TButton(AOwner) {}
  void SetColorFocused(TColor) {}
  void SetColorDown(TColor) {}
  TBitmap& Glyph() { return FGlyph; }
  void SetGlyph(const TBitmap* Value) { FGlyph.Assign(*Value); }

 private:
  TBitmap FGlyph;
};
}  // namespace lumora
