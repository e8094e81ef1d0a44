// TFlatButton in the gallery: faces, frames, glyph cells and layouts.

#include "GalleryClasses.h"
#include "ui/Form.h"
#include "widgets/TFlatButtonUnit.h"

namespace lumora::gallery {
namespace {

TFlatButton* Button(TWinControl* C) {
  return static_cast<TFlatButton*>(C);
}

// A setter of a TColor property.
TPropSetter ColorSetter(void (TFlatButton::*Set)(TColor)) {
  return [Set](TWinControl* C, const TPropValue& V) {
    (Button(C)->*Set)(static_cast<TColor>(IntValue(V)));
  };
}

TPropSetter IntSetter(void (TFlatButton::*Set)(int)) {
  return [Set](TWinControl* C, const TPropValue& V) {
    (Button(C)->*Set)(static_cast<int>(IntValue(V)));
  };
}

TPropSetter BoolSetter(void (TFlatButton::*Set)(bool)) {
  return [Set](TWinControl* C, const TPropValue& V) { (Button(C)->*Set)(BoolValue(V)); };
}

}  // namespace

const TGalleryClass& GalleryTFlatButton() {
  static const TGalleryClass Class = [] {
    TGalleryClass C;
    C.Name = "TFlatButton";
    C.Create = [](TForm* Form) -> TWinControl* {
      auto* B = new TFlatButton(Form);
      B->SetParent(Form);
      return B;
    };
    AddControlProps(C.Props);
    C.Props["ColorFocused"] = ColorSetter(&TFlatButton::SetColorFocused);
    C.Props["ColorDown"] = ColorSetter(&TFlatButton::SetColorDown);
    C.Props["ColorBorder"] = ColorSetter(&TFlatButton::SetColorBorder);
    C.Props["ColorHighLight"] = ColorSetter(&TFlatButton::SetColorHighLight);
    C.Props["ColorShadow"] = ColorSetter(&TFlatButton::SetColorShadow);
    C.Props["AdvColorFocused"] = IntSetter(&TFlatButton::SetAdvColorFocused);
    C.Props["AdvColorDown"] = IntSetter(&TFlatButton::SetAdvColorDown);
    C.Props["AdvColorBorder"] = IntSetter(&TFlatButton::SetAdvColorBorder);
    C.Props["UseAdvColors"] = BoolSetter(&TFlatButton::SetUseAdvColors);
    C.Props["Default"] = BoolSetter(&TFlatButton::SetDefault);
    C.Props["AllowAllUp"] = BoolSetter(&TFlatButton::SetAllowAllUp);
    C.Props["GroupIndex"] = IntSetter(&TFlatButton::SetGroupIndex);
    C.Props["Down"] = BoolSetter(&TFlatButton::SetDown);
    C.Props["Margin"] = IntSetter(&TFlatButton::SetMargin);
    C.Props["Spacing"] = IntSetter(&TFlatButton::SetSpacing);
    C.Props["NumGlyphs"] = IntSetter(&TFlatButton::SetNumGlyphs);
    C.Props["ModalResult"] = IntSetter(&TFlatButton::SetModalResult);
    C.Props["TransparentMode"] = [](TWinControl* B, const TPropValue& V) {
      Button(B)->SetTransparentMode(static_cast<TTransparentMode>(EnumValue(
          V, {{"tmAlways", tmAlways}, {"tmNotFocused", tmNotFocused}, {"tmNone", tmNone}})));
    };
    C.Props["Layout"] = [](TWinControl* B, const TPropValue& V) {
      Button(B)->SetLayout(
          static_cast<TButtonLayout>(EnumValue(V, {{"blGlyphLeft", blGlyphLeft},
                                                   {"blGlyphRight", blGlyphRight},
                                                   {"blGlyphTop", blGlyphTop},
                                                   {"blGlyphBottom", blGlyphBottom}})));
    };
    C.Props["Glyph"] = [](TWinControl* B, const TPropValue& V) {
      if (V.Kind != TPropValue::TKind::Glyph) throw EGalleryError{"expects a test_glyph"};
      auto Glyph = MakeTestGlyph(V.GlyphWidth, V.GlyphHeight, V.GlyphCells);
      Button(B)->SetGlyph(Glyph.get());
    };
    C.Measure = TMeasure::CalcRect;
    return C;
  }();
  return Class;
}

}  // namespace lumora::gallery
