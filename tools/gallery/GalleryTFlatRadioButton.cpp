// TFlatRadioButton in the gallery: the circle's faces, the dot, both
// layouts and the disabled look.

#include "GalleryClasses.h"
#include "ui/Form.h"
#include "widgets/TFlatRadioButtonUnit.h"

namespace lumora::gallery {

// Defined with the check box's entry.
void AddFlatMarkProps(std::map<std::string, TPropSetter>& Props);

const TGalleryClass& GalleryTFlatRadioButton() {
  static const TGalleryClass Class = [] {
    TGalleryClass C;
    C.Name = "TFlatRadioButton";
    C.Create = [](TForm* Form) -> TWinControl* {
      auto* Radio = new TFlatRadioButton(Form);
      Radio->SetParent(Form);
      return Radio;
    };
    AddFlatMarkProps(C.Props);
    C.Props["ColorDot"] = [](TWinControl* R, const TPropValue& V) {
      static_cast<TFlatRadioButton*>(R)->SetColorDot(static_cast<TColor>(IntValue(V)));
    };
    C.Props["Layout"] = [](TWinControl* R, const TPropValue& V) {
      static_cast<TFlatRadioButton*>(R)->SetLayout(static_cast<TRadioButtonLayout>(
          EnumValue(V, {{"radioLeft", radioLeft}, {"radioRight", radioRight}})));
    };
    C.Props["GroupIndex"] = [](TWinControl* R, const TPropValue& V) {
      static_cast<TFlatRadioButton*>(R)->SetGroupIndex(static_cast<int>(IntValue(V)));
    };
    C.Measure = TMeasure::None;
    return C;
  }();
  return Class;
}

}  // namespace lumora::gallery
