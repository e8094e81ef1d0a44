// The classes lumora-gallery knows, and the helpers their entries share.
// A control class joins by defining its entry in Gallery<Class>.cpp and
// adding one line to the list below.

#include "GalleryClasses.h"

#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/WinControl.h"

namespace lumora::gallery {

const TGalleryClass& GalleryTFlatButton();
const TGalleryClass& GalleryTFlatGroupBox();
const TGalleryClass& GalleryTFlatPanel();
const TGalleryClass& GalleryTFlatEdit();
const TGalleryClass& GalleryTDovaTranPanel();
const TGalleryClass& GalleryTFlatCheckBox();
const TGalleryClass& GalleryTFlatRadioButton();

const std::vector<const TGalleryClass*>& GalleryClasses() {
  static const std::vector<const TGalleryClass*> Classes = {
      &GalleryTFlatButton(),    &GalleryTFlatCheckBox(), &GalleryTFlatRadioButton(),
      &GalleryTFlatGroupBox(),  &GalleryTFlatPanel(),    &GalleryTFlatEdit(),
      &GalleryTDovaTranPanel(),
  };
  return Classes;
}

const TGalleryClass* FindGalleryClass(const std::string& Name) {
  for (const TGalleryClass* Class : GalleryClasses())
    if (Class->Name == Name) return Class;
  return nullptr;
}

bool BoolValue(const TPropValue& Value) {
  if (Value.Kind != TPropValue::TKind::Bool) throw EGalleryError{"expects true or false"};
  return Value.Bool;
}

long long IntValue(const TPropValue& Value) {
  if (Value.Kind != TPropValue::TKind::Int) throw EGalleryError{"expects an integer"};
  return Value.Int;
}

const std::string& TextValue(const TPropValue& Value) {
  if (Value.Kind != TPropValue::TKind::Text) throw EGalleryError{"expects a text"};
  return Value.Text;
}

int EnumValue(const TPropValue& Value, const std::vector<std::pair<std::string, int>>& Names) {
  if (Value.Kind != TPropValue::TKind::Text)
    throw EGalleryError{"expects an enumeration value by name"};
  for (const auto& [Name, Ordinal] : Names)
    if (Name == Value.Text) return Ordinal;
  throw EGalleryError{"unknown value \"" + Value.Text + "\""};
}

std::unique_ptr<TBitmap> MakeTestGlyph(int Width, int Height, int Cells) {
  if (Width <= 0 || Height <= 0 || Cells <= 0 || Cells > Width)
    throw EGalleryError{"test_glyph needs a positive size and 1 to W cells"};
  auto Glyph = std::make_unique<TBitmap>(Width, Height);
  TCanvas& C = Glyph->Canvas();
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(RGBColor(255, 0, 255));
  C.FillRect(RECT{0, 0, Width, Height});
  static constexpr TColor Fills[] = {RGBColor(0, 0, 0), RGBColor(192, 0, 0), RGBColor(0, 192, 0),
                                     RGBColor(0, 0, 192)};
  const int W = Width / Cells;
  for (int K = 0; K < Cells; ++K) {
    const int X0 = K * W;
    C.Brush().SetColor(Fills[K % 4]);
    C.FillRect(RECT{X0 + 2, 2, X0 + W - 2, Height - 2});
    if (W > 4 && Height > 4) C.SetPixel(X0 + 2, 2, RGBColor(255, 255, 255));
  }
  return Glyph;
}

void AddControlProps(std::map<std::string, TPropSetter>& Props) {
  Props["Caption"] = [](TWinControl* C, const TPropValue& V) { C->SetCaption(TextValue(V)); };
  Props["Color"] = [](TWinControl* C, const TPropValue& V) {
    C->SetColor(static_cast<TColor>(IntValue(V)));
  };
  Props["Enabled"] = [](TWinControl* C, const TPropValue& V) { C->SetEnabled(BoolValue(V)); };
  Props["ParentColor"] = [](TWinControl* C, const TPropValue& V) {
    C->SetParentColor(BoolValue(V));
  };
  Props["ParentFont"] = [](TWinControl* C, const TPropValue& V) { C->SetParentFont(BoolValue(V)); };
  Props["Visible"] = [](TWinControl* C, const TPropValue& V) { C->SetVisible(BoolValue(V)); };
}

}  // namespace lumora::gallery
