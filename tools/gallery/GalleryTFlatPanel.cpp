// TFlatPanel in the gallery: the one-ring bevel, the caption alignments, a
// frame in the face colour and transparency.

#include "GalleryClasses.h"
#include "ui/Form.h"
#include "widgets/TFlatPanelUnit.h"

namespace lumora::gallery {
namespace {

TFlatPanel* Panel(TWinControl* C) {
  return static_cast<TFlatPanel*>(C);
}

}  // namespace

const TGalleryClass& GalleryTFlatPanel() {
  static const TGalleryClass Class = [] {
    TGalleryClass C;
    C.Name = "TFlatPanel";
    C.Create = [](TForm* Form) -> TWinControl* {
      auto* P = new TFlatPanel(Form);
      P->SetParent(Form);
      return P;
    };
    AddControlProps(C.Props);
    C.Props["Transparent"] = [](TWinControl* P, const TPropValue& V) {
      Panel(P)->SetTransparent(BoolValue(V));
    };
    C.Props["ColorHighLight"] = [](TWinControl* P, const TPropValue& V) {
      Panel(P)->SetColorHighLight(static_cast<TColor>(IntValue(V)));
    };
    C.Props["ColorShadow"] = [](TWinControl* P, const TPropValue& V) {
      Panel(P)->SetColorShadow(static_cast<TColor>(IntValue(V)));
    };
    C.Props["Alignment"] = [](TWinControl* P, const TPropValue& V) {
      Panel(P)->SetAlignment(static_cast<TAlignment>(
          EnumValue(V, {{"taLeftJustify", static_cast<int>(TAlignment::taLeftJustify)},
                        {"taRightJustify", static_cast<int>(TAlignment::taRightJustify)},
                        {"taCenter", static_cast<int>(TAlignment::taCenter)}})));
    };
    C.Measure = TMeasure::CalcRect;
    return C;
  }();
  return Class;
}

}  // namespace lumora::gallery
