#include <gtest/gtest.h>

#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "widgets/FlatUtilitys.h"

namespace lumora {
namespace {

constexpr TColor Backdrop = 0x00FFFF, Blue = 0xFF0000, Green = 0x00FF00;

void Fill(TBitmap& Target, TColor Color) {
  Target.Canvas().Brush().SetColor(Color);
  Target.Canvas().FillRect(RECT{0, 0, Target.Width(), Target.Height()});
}

TEST(DrawBevelFrame, TwoRingsOnTheEdgesWithFarCornersInTheBottomRightColour) {
  TBitmap B(25, 25);
  Fill(B, Backdrop);
  DrawBevelFrame(B.Canvas(), RECT{0, 0, 25, 25}, clRed, Blue, 2);
  struct Probe {
    int X, Y;
    TColor Expected;
  };
  const Probe Probes[] = {
      {0, 0, clRed},    {12, 0, clRed},     {0, 12, clRed},    {1, 1, clRed},      {12, 1, clRed},
      {24, 0, Blue},    {0, 24, Blue},      {24, 12, Blue},    {12, 24, Blue},     {24, 24, Blue},
      {23, 1, Blue},    {1, 23, Blue},      {23, 23, Blue},    {23, 12, Blue},     {1, 12, clRed},
      {2, 2, Backdrop}, {22, 22, Backdrop}, {12, 2, Backdrop}, {12, 12, Backdrop},
  };
  for (const Probe& P : Probes)
    EXPECT_EQ(B.Canvas().Pixel(P.X, P.Y), P.Expected) << P.X << "," << P.Y;
  EXPECT_EQ(B.Canvas().Pen().Width(), 1);
}

TEST(LayoutGlyphAndText, PlacesGlyphAndCaptionByLayoutMarginAndSpacing) {
  TBitmap Face(100, 100);
  TCanvas& C = Face.Canvas();
  const SIZE OK = C.TextExtent("OK");
  const std::string Long = "A caption far wider than its button";
  const SIZE LongSize = C.TextExtent(Long);
  TBitmap Glyph(32, 16);  // two 16 x 16 cells
  TBitmap NoPicture;

  struct Case {
    const char* Name;
    RECT Client;
    int Offset;
    TButtonLayout Layout;
    int Spacing, Margin;
    TBitmap* Glyph;
    int NumGlyphs;
    std::string Caption;
    POINT GlyphPos;
    RECT Text;
  };
  const int TX = (60 - OK.cx + 1) / 2, TY = (21 - OK.cy + 1) / 2;
  const int SpacingR = (60 - (2 + 16) - OK.cx) / 2;
  const Case Cases[] = {
      // No glyph: the spacing becomes 0 and the caption is centred both ways.
      {"text only, top",
       {0, 0, 60, 21},
       0,
       blGlyphTop,
       4,
       -1,
       nullptr,
       1,
       "OK",
       {30, TY},
       {TX, TY, TX + OK.cx, TY + OK.cy}},
      {"empty glyph counts as none",
       {0, 0, 60, 21},
       0,
       blGlyphTop,
       4,
       -1,
       &NoPicture,
       1,
       "OK",
       {30, TY},
       {TX, TY, TX + OK.cx, TY + OK.cy}},
      // Glyph only: no caption makes the spacing 0, so the glyph is centred;
      // moved by the client's corner and the press offset.
      {"glyph only, pressed",
       {10, 20, 70, 41},
       1,
       blGlyphLeft,
       -1,
       -1,
       &Glyph,
       2,
       "",
       {(60 - 16 + 1) / 2 + 11, (21 - 16 + 1) / 2 + 21},
       {49, 32, 49, 32}},
      // Fixed margin, automatic spacing: the caption centred after the glyph.
      {"glyph right",
       {0, 0, 60, 21},
       0,
       blGlyphRight,
       -1,
       2,
       &Glyph,
       2,
       "OK",
       {60 - 2 - 16, 3},
       {60 - 2 - 16 - SpacingR - OK.cx, TY, 60 - 2 - 16 - SpacingR, TY + OK.cy}},
      {"glyph bottom, both fixed",
       {0, 0, 60, 60},
       0,
       blGlyphBottom,
       2,
       3,
       &Glyph,
       2,
       "OK",
       {(60 - 16 + 1) / 2, 60 - 3 - 16},
       {(60 - OK.cx + 1) / 2, 60 - 3 - 16 - 2 - OK.cy, (60 - OK.cx + 1) / 2 + OK.cx,
        60 - 3 - 16 - 2}},
      // Wider than the client: the margin goes negative, truncated toward zero.
      {"overflow",
       {0, 0, 20, 20},
       0,
       blGlyphLeft,
       -1,
       -1,
       nullptr,
       1,
       Long,
       {(20 - LongSize.cx + 1) / 2, 10},
       {(20 - LongSize.cx + 1) / 2, (20 - LongSize.cy + 1) / 2,
        (20 - LongSize.cx + 1) / 2 + LongSize.cx, (20 - LongSize.cy + 1) / 2 + LongSize.cy}},
      // No cell count would divide by zero; it reads as one cell.
      {"zero cells", {0, 0, 60, 21}, 0, blGlyphLeft, 0, 0, &Glyph, 0, "", {0, 3}, {32, 11, 32, 11}},
  };
  for (const Case& K : Cases) {
    POINT GlyphPos{-99, -99};
    RECT Text{-99, -99, -99, -99};
    LayoutGlyphAndText(C, K.Client, K.Offset, K.Layout, K.Spacing, K.Margin, K.Glyph, K.NumGlyphs,
                       K.Caption, GlyphPos, Text);
    EXPECT_EQ(GlyphPos.x, K.GlyphPos.x) << K.Name;
    EXPECT_EQ(GlyphPos.y, K.GlyphPos.y) << K.Name;
    EXPECT_EQ(Text.left, K.Text.left) << K.Name;
    EXPECT_EQ(Text.top, K.Text.top) << K.Name;
    EXPECT_EQ(Text.right, K.Text.right) << K.Name;
    EXPECT_EQ(Text.bottom, K.Text.bottom) << K.Name;
  }
  EXPECT_LT((20 - LongSize.cx + 1) / 2, 0) << "the overflow case really overflows";
}

// A parent window whose background is green and whose WM_PAINT, given a DC,
// paints a red square at (55, 35)-(60, 40) of its client area.
LRESULT CALLBACK ParentProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
  if (Message == WM_PAINT && W) {
    RECT Square{55, 35, 60, 40};
    HBRUSH Red = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(reinterpret_cast<HDC>(W), &Square, Red);
    ::DeleteObject(Red);
    return 0;
  }
  return ::DefWindowProcA(Window, Message, W, L);
}

TEST(PaintParentBackground, ParentPaintsIntoTheCanvasAtTheControlsPlace) {
  TBitmap B(20, 20);
  Fill(B, Backdrop);
  PaintParentBackgroundAt(nullptr, 200, 100, 50, 30, B.Canvas());
  for (int Y = 0; Y < 20; Y += 3)
    for (int X = 0; X < 20; X += 3) ASSERT_EQ(B.Canvas().Pixel(X, Y), Backdrop);

  HBRUSH Background = ::CreateSolidBrush(RGB(0, 255, 0));
  WNDCLASSA Class{};
  Class.lpfnWndProc = ParentProc;
  Class.hInstance = ::GetModuleHandleA(nullptr);
  Class.hbrBackground = Background;
  Class.lpszClassName = "LumoraTestParent";
  ASSERT_NE(::RegisterClassA(&Class), 0);
  HWND Parent = ::CreateWindowExA(0, "LumoraTestParent", "", WS_POPUP, 0, 0, 200, 100, nullptr,
                                  nullptr, Class.hInstance, nullptr);
  ASSERT_NE(Parent, nullptr);

  PaintParentBackgroundAt(Parent, 200, 100, 50, 30, B.Canvas());
  EXPECT_EQ(B.Canvas().Pixel(0, 0), Green);
  EXPECT_EQ(B.Canvas().Pixel(19, 19), Green);
  EXPECT_EQ(B.Canvas().Pixel(5, 5), clRed) << "parent (55, 35) is control (5, 5)";
  EXPECT_EQ(B.Canvas().Pixel(9, 9), clRed);
  EXPECT_EQ(B.Canvas().Pixel(10, 10), Green);

  // Only the parent's client area, here 195 wide: the control's column 5 on
  // lies outside it and keeps its pixels.
  Fill(B, Backdrop);
  PaintParentBackgroundAt(Parent, 195, 100, 190, 30, B.Canvas());
  EXPECT_EQ(B.Canvas().Pixel(4, 10), Green);
  EXPECT_EQ(B.Canvas().Pixel(5, 10), Backdrop);

  // The DC comes back as it was: origin and clipping.
  POINT Origin{1, 1};
  ::GetViewportOrgEx(B.Canvas().Handle(), &Origin);
  EXPECT_EQ(Origin.x, 0);
  EXPECT_EQ(Origin.y, 0);
  Fill(B, Blue);
  EXPECT_EQ(B.Canvas().Pixel(19, 19), Blue);

  ::DestroyWindow(Parent);
  ::UnregisterClassA("LumoraTestParent", Class.hInstance);
  ::DeleteObject(Background);
}

TEST(MakeDisabledGlyph, EmbossesOutlinePixelsWithHighlightUnderShadow) {
  // White source with black (outline) pixels at (2, 2) and (3, 3) and a red one.
  TBitmap Source(8, 8);
  Fill(Source, clWhite);
  Source.Canvas().SetPixel(2, 2, clBlack);
  Source.Canvas().SetPixel(3, 3, clBlack);
  Source.Canvas().SetPixel(6, 1, clRed);
  TBitmap MonoSource;
  MonoSource.Assign(Source);
  MonoSource.Canvas().Brush().SetColor(clWhite);
  MonoSource.SetMonochrome(true);  // black pixels clear

  struct Case {
    const char* Name;
    TBitmap* Source;
    bool DrawHighLight;
    TColor At33, At44, At61;
  };
  const Case Cases[] = {
      {"colour", &Source, true, Blue, clRed, Green},
      // Converting made the red pixel clear, that is black, so it is embossed too.
      {"monochrome", &MonoSource, true, Blue, clRed, Blue},
      {"no highlight", &Source, false, Blue, Green, Green},
  };
  for (const Case& K : Cases) {
    std::unique_ptr<TBitmap> Result =
        MakeDisabledGlyph(*K.Source, clBlack, Green, clRed, Blue, K.DrawHighLight);
    ASSERT_EQ(Result->Width(), 8) << K.Name;
    ASSERT_EQ(Result->Height(), 8) << K.Name;
    ASSERT_FALSE(Result->Monochrome()) << K.Name;
    TCanvas& R = Result->Canvas();
    EXPECT_EQ(R.Pixel(0, 0), Green) << K.Name;
    EXPECT_EQ(R.Pixel(2, 2), Blue) << K.Name << ": shadow in place";
    EXPECT_EQ(R.Pixel(3, 3), K.At33) << K.Name << ": shadow over highlight";
    EXPECT_EQ(R.Pixel(4, 4), K.At44) << K.Name << ": highlight one down and right";
    EXPECT_EQ(R.Pixel(6, 1), K.At61) << K.Name << ": other colours are not embossed";
    EXPECT_EQ(R.Pixel(7, 7), Green) << K.Name;
  }

  // As the button calls it: system colours resolved.
  std::unique_ptr<TBitmap> Button =
      MakeDisabledGlyph(Source, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
  EXPECT_EQ(Button->Canvas().Pixel(0, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(Button->Canvas().Pixel(2, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Button->Canvas().Pixel(4, 4), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(Source.Canvas().Pixel(2, 2), clBlack) << "the source is untouched";

  TBitmap Empty;
  EXPECT_TRUE(MakeDisabledGlyph(Empty, clBlack, Green, clRed, Blue, true)->Empty());
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

// A windowless control that draws only what its parent shows behind it.
class TSeeThrough : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    PaintParentBackground(this, Canvas());
  }
};

TEST(PaintParentBackground, AControlSeesItsFormAndTheSiblingsBehindIt) {
  TForm Form(nullptr);
  Form.SetBorderStyle(TFormBorderStyle::bsNone);
  Form.SetBounds(0, 0, 120, 80);
  Form.SetColor(clWhite);
  auto* Behind = new TImage(&Form);
  Behind->SetParent(&Form);
  Behind->SetBounds(30, 20, 10, 10);
  Behind->Picture().SetSize(10, 10);
  RECT All{0, 0, 10, 10};
  Behind->Picture().Canvas().Brush().SetColor(clBlue);
  Behind->Picture().Canvas().FillRect(All);
  auto* Glass = new TSeeThrough(&Form);
  Glass->SetParent(&Form);
  Glass->SetBounds(25, 15, 30, 30);

  TBitmap Shot(30, 30);
  Fill(Shot, Backdrop);
  Form.HandleNeeded();
  Glass->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Shot.Canvas().Handle()), 0);
  EXPECT_EQ(Glass->Paints, 1) << "painted once, not again through its parent";
  EXPECT_EQ(Shot.Canvas().Pixel(1, 1), clWhite);
  EXPECT_EQ(Shot.Canvas().Pixel(6, 6), clBlue);  // the form's (31, 21)

  // No parent: untouched.
  TSeeThrough Orphan(nullptr);
  Fill(Shot, Backdrop);
  Orphan.Perform(WM_PAINT, reinterpret_cast<WPARAM>(Shot.Canvas().Handle()), 0);
  EXPECT_EQ(Shot.Canvas().Pixel(6, 6), Backdrop);
}

}  // namespace
}  // namespace lumora
