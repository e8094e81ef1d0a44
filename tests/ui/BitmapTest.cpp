#include "ui/Bitmap.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "sys/LumoraError.h"

namespace lumora {
namespace {

constexpr TColor Blue = 0xFF0000, Green = 0x00FF00;

int BitsPerPixel(HBITMAP Bitmap) {
  BITMAP Info{};
  ::GetObjectA(Bitmap, sizeof Info, &Info);
  return Info.bmBitsPixel;
}

TEST(Bitmap, SizesKeepTheOverlapAndEmptyMeansNoPicture) {
  TBitmap B;
  EXPECT_TRUE(B.Empty());
  int Changes = 0;
  B.OnChange = [&](TObject*) { ++Changes; };
  B.SetSize(10, 5);
  EXPECT_FALSE(B.Empty());
  EXPECT_EQ(BitsPerPixel(B.Handle()), 24);
  B.Canvas().SetPixel(9, 4, clRed);
  B.Canvas().SetPixel(2, 2, Green);
  B.SetWidth(12);
  EXPECT_EQ(B.Width(), 12);
  EXPECT_EQ(B.Canvas().Pixel(9, 4), clRed) << "the canvas follows the new picture";
  EXPECT_EQ(B.Canvas().Pixel(11, 4), clBlack);
  B.SetHeight(3);
  EXPECT_EQ(B.Canvas().Pixel(2, 2), Green);
  EXPECT_EQ(Changes, 3);
  B.SetSize(12, 3);
  EXPECT_EQ(Changes, 3) << "no change, no event";
  B.SetSize(0, 3);
  EXPECT_TRUE(B.Empty());
  EXPECT_EQ(B.Handle(), nullptr);
  B.Canvas().FillRect(RECT{0, 0, 5, 5});  // drawing on nothing is harmless
}

TEST(Bitmap, MonochromeSetsTheBrushColourAndReturnsInFontAndBrushColours) {
  TBitmap B(3, 1);
  TCanvas& C = B.Canvas();
  C.SetPixel(0, 0, clRed);
  C.SetPixel(1, 0, Blue);
  C.SetPixel(2, 0, clRed);
  C.Brush().SetColor(clRed);
  B.SetMonochrome(true);
  EXPECT_TRUE(B.Monochrome());
  EXPECT_EQ(BitsPerPixel(B.Handle()), 1);
  EXPECT_EQ(C.Pixel(0, 0), clWhite) << "brush-coloured pixels are set";
  EXPECT_EQ(C.Pixel(1, 0), clBlack);

  C.Font().SetColor(Green);
  C.Brush().SetColor(Blue);
  B.SetMonochrome(false);
  EXPECT_EQ(BitsPerPixel(B.Handle()), 24);
  EXPECT_EQ(C.Pixel(0, 0), Blue) << "set bits take the brush colour";
  EXPECT_EQ(C.Pixel(1, 0), Green) << "clear bits take the font colour";

  TBitmap Mono;
  Mono.SetMonochrome(true);
  Mono.SetSize(4, 4);
  EXPECT_EQ(BitsPerPixel(Mono.Handle()), 1) << "the depth survives resizing";
  EXPECT_EQ(Mono.Canvas().Pixel(3, 3), clBlack);
}

TEST(Bitmap, AssignCopiesDeeplyAndCopiesAreFree) {
  TBitmap A(5, 5);
  A.Canvas().SetPixel(1, 1, clRed);
  TBitmap B;
  B.Assign(A);
  EXPECT_NE(B.Handle(), A.Handle());
  EXPECT_EQ(B.Canvas().Pixel(1, 1), clRed);
  B.Canvas().SetPixel(1, 1, Green);
  EXPECT_EQ(A.Canvas().Pixel(1, 1), clRed) << "the copy is deep";

  // Copies are selected nowhere, so other APIs can select them.
  TBitmapHandle Copy = A.CopyHandle();
  TMemoryDC DC(nullptr);
  TSelection Sel(DC.Get(), Copy.Get());
  ASSERT_TRUE(Sel);
  EXPECT_EQ(::GetPixel(DC.Get(), 1, 1), static_cast<COLORREF>(clRed));

  TBitmapHandle Mask = A.CopyMask(clRed);
  EXPECT_EQ(BitsPerPixel(Mask.Get()), 1);
  TMemoryDC MaskDC(nullptr);
  TSelection MaskSel(MaskDC.Get(), Mask.Get());
  EXPECT_EQ(::GetPixel(MaskDC.Get(), 1, 1), 0xFFFFFFu);
  EXPECT_EQ(::GetPixel(MaskDC.Get(), 0, 0), 0u);

  TBitmap Empty;
  B.Assign(Empty);
  EXPECT_TRUE(B.Empty());
}

// Stripe.bmp: 4 x 2, top row red, green, blue, white; bottom row black.
void ExpectStripe(TBitmap& B) {
  ASSERT_EQ(B.Width(), 4);
  ASSERT_EQ(B.Height(), 2);
  EXPECT_EQ(B.Canvas().Pixel(0, 0), clRed);
  EXPECT_EQ(B.Canvas().Pixel(1, 0), Green);
  EXPECT_EQ(B.Canvas().Pixel(2, 0), Blue);
  EXPECT_EQ(B.Canvas().Pixel(3, 0), clWhite);
  EXPECT_EQ(B.Canvas().Pixel(3, 1), clBlack);
}

TEST(Bitmap, LoadsFromResourcesAndFilesAndReportsWhatIsMissing) {
  HINSTANCE Self = ::GetModuleHandleA(nullptr);
  TBitmap ByName, ById, FromFile;
  ByName.LoadFromResource(Self, "STRIPE");
  ExpectStripe(ByName);
  ById.LoadFromResourceID(Self, 101);
  ExpectStripe(ById);

  char Path[MAX_PATH];
  ::GetModuleFileNameA(nullptr, Path, MAX_PATH);
  test::TTempFolder Dir;
  // The bitmap resource is the file minus its 14-byte file header.
  HRSRC Res = ::FindResourceA(Self, "STRIPE", MAKEINTRESOURCEA(2));
  ASSERT_NE(Res, nullptr);
  const char* Dib = static_cast<const char*>(::LockResource(::LoadResource(Self, Res)));
  const std::string Body(Dib, ::SizeofResource(Self, Res));
  std::string File = "BM";
  const DWORD FileSize = static_cast<DWORD>(14 + Body.size()), Offset = 54;
  File.append(reinterpret_cast<const char*>(&FileSize), 4);
  File.append(4, '\0');
  File.append(reinterpret_cast<const char*>(&Offset), 4);
  File += Body;
  test::WriteWholeFile(Dir.Path() + "stripe.bmp", File);
  FromFile.LoadFromFile(Dir.Path() + "stripe.bmp");
  ExpectStripe(FromFile);

  EXPECT_THROW(ById.LoadFromResourceID(Self, 999), ELumoraError);
  EXPECT_THROW(ById.LoadFromResource(Self, "NOSUCH"), ELumoraError);
  EXPECT_THROW(ById.LoadFromFile(Dir.Path() + "missing.bmp"), ELumoraError);
  ExpectStripe(ById);  // a failed load keeps the picture
}

}  // namespace
}  // namespace lumora
