// TFlatCheckBox in the gallery: the box's faces, the check, both layouts,
// the embossed caption, transparency and derived colours. The properties it
// shares with the radio button are set here for both.

#include "GalleryClasses.h"
#include "ui/Form.h"
#include "widgets/TFlatCheckBoxUnit.h"

namespace lumora::gallery {
namespace {

TFlatMarkControl* Mark(TWinControl* C) {
  return static_cast<TFlatMarkControl*>(C);
}

TPropSetter ColorSetter(void (TFlatMarkControl::*Set)(TColor)) {
  return [Set](TWinControl* C, const TPropValue& V) {
    (Mark(C)->*Set)(static_cast<TColor>(IntValue(V)));
  };
}

TPropSetter AdvSetter(void (TFlatMarkControl::*Set)(TAdvColors)) {
  return [Set](TWinControl* C, const TPropValue& V) {
    (Mark(C)->*Set)(static_cast<TAdvColors>(IntValue(V)));
  };
}

TPropSetter BoolSetter(void (TFlatMarkControl::*Set)(bool)) {
  return [Set](TWinControl* C, const TPropValue& V) { (Mark(C)->*Set)(BoolValue(V)); };
}

}  // namespace

// What the check box and the radio button publish alike.
void AddFlatMarkProps(std::map<std::string, TPropSetter>& Props) {
  AddControlProps(Props);
  Props["Transparent"] = BoolSetter(&TFlatMarkControl::SetTransparent);
  Props["Checked"] = BoolSetter(&TFlatMarkControl::SetChecked);
  Props["ColorFocused"] = ColorSetter(&TFlatMarkControl::SetColorFocused);
  Props["ColorDown"] = ColorSetter(&TFlatMarkControl::SetColorDown);
  Props["ColorBorder"] = ColorSetter(&TFlatMarkControl::SetColorBorder);
  Props["AdvColorFocused"] = AdvSetter(&TFlatMarkControl::SetAdvColorFocused);
  Props["AdvColorDown"] = AdvSetter(&TFlatMarkControl::SetAdvColorDown);
  Props["AdvColorBorder"] = AdvSetter(&TFlatMarkControl::SetAdvColorBorder);
  Props["UseAdvColors"] = BoolSetter(&TFlatMarkControl::SetUseAdvColors);
}

const TGalleryClass& GalleryTFlatCheckBox() {
  static const TGalleryClass Class = [] {
    TGalleryClass C;
    C.Name = "TFlatCheckBox";
    C.Create = [](TForm* Form) -> TWinControl* {
      auto* Box = new TFlatCheckBox(Form);
      Box->SetParent(Form);
      return Box;
    };
    AddFlatMarkProps(C.Props);
    C.Props["ColorCheck"] = [](TWinControl* B, const TPropValue& V) {
      static_cast<TFlatCheckBox*>(B)->SetColorCheck(static_cast<TColor>(IntValue(V)));
    };
    C.Props["Layout"] = [](TWinControl* B, const TPropValue& V) {
      static_cast<TFlatCheckBox*>(B)->SetLayout(static_cast<TCheckBoxLayout>(
          EnumValue(V, {{"checkboxLeft", checkboxLeft}, {"checkboxRight", checkboxRight}})));
    };
    C.Measure = TMeasure::None;
    return C;
  }();
  return Class;
}

}  // namespace lumora::gallery
