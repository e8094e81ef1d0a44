// TDovaTranPanel in the gallery: its frame and its one-line caption band.

#include "GalleryClasses.h"
#include "ui/Form.h"
#include "widgets/a.h"

namespace lumora::gallery {

const TGalleryClass& GalleryTDovaTranPanel() {
  static const TGalleryClass Class = [] {
    TGalleryClass C;
    C.Name = "TDovaTranPanel";
    C.Create = [](TForm* Form) -> TWinControl* {
      auto* Panel = new TDovaTranPanel(Form);
      Panel->SetParent(Form);
      return Panel;
    };
    AddControlProps(C.Props);
    C.Props["Border"] = [](TWinControl* P, const TPropValue& V) {
      static_cast<TDovaTranPanel*>(P)->SetBorder(BoolValue(V));
    };
    C.Props["Alignment"] = [](TWinControl* P, const TPropValue& V) {
      static_cast<TDovaTranPanel*>(P)->SetAlignment(static_cast<TAlignment>(
          EnumValue(V, {{"taLeftJustify", static_cast<int>(TAlignment::taLeftJustify)},
                        {"taRightJustify", static_cast<int>(TAlignment::taRightJustify)},
                        {"taCenter", static_cast<int>(TAlignment::taCenter)}})));
    };
    C.Measure = TMeasure::WHeight;
    return C;
  }();
  return Class;
}

}  // namespace lumora::gallery
