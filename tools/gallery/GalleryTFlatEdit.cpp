// TFlatEdit in the gallery: its three rings flat, hot, focused, derived and
// disabled, taken from the whole window, and its height fitted to the font.

#include "GalleryClasses.h"
#include "ui/Form.h"
#include "widgets/TFlatEditUnit.h"

namespace lumora::gallery {
namespace {

TFlatEdit* Edit(TWinControl* C) {
  return static_cast<TFlatEdit*>(C);
}

TPropSetter ColorSetter(void (TCustomFlatEdit::*Set)(TColor)) {
  return [Set](TWinControl* C, const TPropValue& V) {
    (Edit(C)->*Set)(static_cast<TColor>(IntValue(V)));
  };
}

TPropSetter IntSetter(void (TCustomFlatEdit::*Set)(int)) {
  return [Set](TWinControl* C, const TPropValue& V) {
    (Edit(C)->*Set)(static_cast<int>(IntValue(V)));
  };
}

TPropSetter BoolSetter(void (TCustomFlatEdit::*Set)(bool)) {
  return [Set](TWinControl* C, const TPropValue& V) { (Edit(C)->*Set)(BoolValue(V)); };
}

}  // namespace

const TGalleryClass& GalleryTFlatEdit() {
  static const TGalleryClass Class = [] {
    TGalleryClass C;
    C.Name = "TFlatEdit";
    C.Create = [](TForm* Form) -> TWinControl* {
      auto* E = new TFlatEdit(Form);
      E->SetParent(Form);
      return E;
    };
    AddControlProps(C.Props);
    // The field colour is the edit's own business, and ParentColor is the
    // edit's own flag, not the base class's.
    C.Props.erase("Color");
    C.Props["ParentColor"] = BoolSetter(&TCustomFlatEdit::SetParentColor);
    C.Props["Text"] = [](TWinControl* E, const TPropValue& V) { E->SetText(TextValue(V)); };
    C.Props["ColorFocused"] = ColorSetter(&TCustomFlatEdit::SetColorFocused);
    C.Props["ColorBorder"] = ColorSetter(&TCustomFlatEdit::SetColorBorder);
    C.Props["ColorFlat"] = ColorSetter(&TCustomFlatEdit::SetColorFlat);
    C.Props["AdvColorFocused"] = IntSetter(&TCustomFlatEdit::SetAdvColorFocused);
    C.Props["AdvColorBorder"] = IntSetter(&TCustomFlatEdit::SetAdvColorBorder);
    C.Props["UseAdvColors"] = BoolSetter(&TCustomFlatEdit::SetUseAdvColors);
    C.Props["ReadOnly"] = [](TWinControl* E, const TPropValue& V) {
      Edit(E)->SetReadOnly(BoolValue(V));
    };
    C.Measure = TMeasure::TmHeight;
    C.WholeWindow = true;
    C.FitsHeightToFont = true;
    return C;
  }();
  return Class;
}

}  // namespace lumora::gallery
