// TFlatGroupBox in the gallery: the caption gap for both borders, the
// embossed disabled caption and the derived border colour.

#include "GalleryClasses.h"
#include "ui/Form.h"
#include "widgets/TFlatGroupBoxUnit.h"

namespace lumora::gallery {
namespace {

TFlatGroupBox* Box(TWinControl* C) {
  return static_cast<TFlatGroupBox*>(C);
}

}  // namespace

const TGalleryClass& GalleryTFlatGroupBox() {
  static const TGalleryClass Class = [] {
    TGalleryClass C;
    C.Name = "TFlatGroupBox";
    C.Create = [](TForm* Form) -> TWinControl* {
      auto* B = new TFlatGroupBox(Form);
      B->SetParent(Form);
      return B;
    };
    AddControlProps(C.Props);
    C.Props["Transparent"] = [](TWinControl* B, const TPropValue& V) {
      Box(B)->SetTransparent(BoolValue(V));
    };
    C.Props["ColorBorder"] = [](TWinControl* B, const TPropValue& V) {
      Box(B)->SetColorBorder(static_cast<TColor>(IntValue(V)));
    };
    C.Props["AdvColorBorder"] = [](TWinControl* B, const TPropValue& V) {
      Box(B)->SetAdvColorBorder(static_cast<TAdvColors>(IntValue(V)));
    };
    C.Props["UseAdvColors"] = [](TWinControl* B, const TPropValue& V) {
      Box(B)->SetUseAdvColors(BoolValue(V));
    };
    C.Props["Border"] = [](TWinControl* B, const TPropValue& V) {
      Box(B)->SetBorder(static_cast<TGroupBoxBorder>(
          EnumValue(V, {{"brFull", brFull}, {"brOnlyTopLine", brOnlyTopLine}})));
    };
    C.Measure = TMeasure::TextExtent;
    return C;
  }();
  return Class;
}

}  // namespace lumora::gallery
