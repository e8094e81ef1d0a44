#include "ui/ImageList.h"

#include <gtest/gtest.h>

#include "sys/LumoraError.h"

namespace lumora {
namespace {

constexpr TColor Key = 0xFF00FF, Blue = 0xFF0000, Backdrop = 0x00FFFF;

// A strip of Count 16 x 16 cells: cell k is filled with Colors[k] and has a
// key-coloured 4 x 4 square in its top-left corner.
void MakeStrip(TBitmap& Strip, std::initializer_list<TColor> Colors) {
  Strip.SetSize(16 * static_cast<int>(Colors.size()), 16);
  TCanvas& C = Strip.Canvas();
  int X = 0;
  for (TColor Color : Colors) {
    C.Brush().SetColor(Color);
    C.FillRect(RECT{X, 0, X + 16, 16});
    C.Brush().SetColor(Key);
    C.FillRect(RECT{X, 0, X + 4, 4});
    X += 16;
  }
}

void Fill(TBitmap& Target, TColor Color) {
  Target.Canvas().Brush().SetColor(Color);
  Target.Canvas().FillRect(RECT{0, 0, Target.Width(), Target.Height()});
}

TEST(ImageList, MaskedImagesLeaveKeyColouredPixelsUntouched) {
  TComponent Owner(nullptr);
  auto* List = new TImageList(&Owner);
  TBitmap Strip;
  MakeStrip(Strip, {clRed, Blue, 0x00FF00});
  EXPECT_EQ(List->AddMasked(Strip, Key), 0);
  EXPECT_EQ(List->Count(), 3) << "one image per 16 pixels of width";
  EXPECT_EQ(Strip.Canvas().Pixel(0, 0), Key) << "the caller's bitmap is not touched";

  TBitmap Target(40, 20);
  Fill(Target, Backdrop);
  List->Draw(Target.Canvas(), 2, 2, 1);
  TCanvas& T = Target.Canvas();
  EXPECT_EQ(T.Pixel(2, 2), Backdrop) << "key colour is left out";
  EXPECT_EQ(T.Pixel(5, 5), Backdrop);
  EXPECT_EQ(T.Pixel(6, 6), Blue);
  EXPECT_EQ(T.Pixel(17, 17), Blue);
  EXPECT_EQ(T.Pixel(18, 18), Backdrop);
  List->Draw(Target.Canvas(), 0, 0, 7);  // outside the list: nothing
  EXPECT_EQ(T.Pixel(0, 0), Backdrop);

  List->Clear();
  EXPECT_EQ(List->Count(), 0);
}

TEST(ImageList, ExplicitMasksDisabledLookAndIcons) {
  TImageList List(nullptr, 16, 16);
  TBitmap Image, Mask;
  MakeStrip(Image, {clRed});
  Mask.SetSize(16, 16);
  Fill(Mask, clBlack);
  Mask.Canvas().Brush().SetColor(clWhite);
  Mask.Canvas().FillRect(RECT{8, 8, 16, 16});  // white = transparent
  EXPECT_EQ(List.Add(Image, &Mask), 0);
  EXPECT_EQ(List.Add(Image, nullptr), 1);

  TBitmap Target(20, 20);
  Fill(Target, Backdrop);
  List.Draw(Target.Canvas(), 0, 0, 0);
  EXPECT_EQ(Target.Canvas().Pixel(0, 0), Key) << "the mask, not a key colour, decides";
  EXPECT_EQ(Target.Canvas().Pixel(5, 5), clRed);
  EXPECT_EQ(Target.Canvas().Pixel(12, 12), Backdrop);

  Fill(Target, Backdrop);
  List.Draw(Target.Canvas(), 0, 0, 0, false);
  const TColor Shadow = ColorToRGB(clBtnShadow), Highlight = ColorToRGB(clBtnHighlight);
  EXPECT_EQ(Target.Canvas().Pixel(3, 3), Shadow);
  EXPECT_EQ(Target.Canvas().Pixel(8, 12), Highlight) << "the highlight shows beside the shape";
  EXPECT_EQ(Target.Canvas().Pixel(12, 12), Backdrop);

  TIcon Icon;
  List.GetIcon(1, Icon);
  EXPECT_FALSE(Icon.Empty());
  EXPECT_EQ(Icon.Width(), 16);
  EXPECT_EQ(Icon.Height(), 16);
  EXPECT_EQ(List.AddIcon(Icon), 2);
  List.GetIcon(5, Icon);
  EXPECT_TRUE(Icon.Empty());
}

TEST(Icon, OwnsItsHandleAndCopiesOnAssign) {
  HINSTANCE Self = ::GetModuleHandleA(nullptr);
  TIcon A;
  int Changes = 0;
  A.OnChange = [&](TObject*) { ++Changes; };
  A.LoadFromResource(Self, "REDICON", 16, 16);
  EXPECT_EQ(A.Width(), 16);
  EXPECT_EQ(A.Height(), 16);
  HICON First = A.Handle();

  TIcon B;
  B.Assign(A);
  EXPECT_FALSE(B.Empty());
  EXPECT_NE(B.Handle(), First) << "a copy of its own";

  A.LoadFromResource(Self, "REDICON");
  EXPECT_EQ(A.Width(), ::GetSystemMetrics(SM_CXICON));
  ICONINFO Info{};
  EXPECT_FALSE(::GetIconInfo(First, &Info)) << "the replaced icon is destroyed";
  EXPECT_EQ(Changes, 2);

  // The copy still draws: red where the icon is opaque, the backdrop elsewhere.
  TBitmap Target(16, 16);
  Fill(Target, Backdrop);
  ::DrawIconEx(Target.Canvas().Handle(), 0, 0, B.Handle(), 16, 16, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(Target.Canvas().Pixel(1, 8), Backdrop);
  EXPECT_EQ(Target.Canvas().Pixel(8, 8), clRed);

  EXPECT_THROW(B.LoadFromResource(Self, "NOSUCH"), ELumoraError);
  EXPECT_FALSE(B.Empty());
  B.Assign(TIcon());
  EXPECT_TRUE(B.Empty());
}

}  // namespace
}  // namespace lumora
