// The flat panel from the screen: its one-ring bevel, the caption placed by
// each alignment over the whole client area, a frame in the face colour,
// transparency, the embossed disabled caption, OnResize and a real click.

#include "widgets/TFlatPanelUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "ui/Canvas.h"
#include "ui/UiTestSupport.h"
#include "widgets/FlatScreenSupport.h"

namespace lumora {
namespace {

constexpr TColor Face = 0xE0E0E0, Light = 0xFFFFFF, Dark = 0x404040;

class TFlatPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TForm& Form = test::ScreenForm();
    Panel = new TFlatPanel(&Form);
    Panel->SetBounds(16, 16, 185, 41);
    Panel->SetParent(&Form);
    Panel->SetColor(Face);
    Panel->SetColorHighLight(Light);
    Panel->SetColorShadow(Dark);
    Panel->Font().SetColor(clBlack);
  }
  void TearDown() override { delete Panel; }

  std::unique_ptr<TBitmap> Shot() {
    Panel->Repaint();
    test::PumpFor(50);
    return test::ScreenShot(Panel->Handle());
  }

  // The box around the pixels of one colour.
  static RECT InkBox(TBitmap& B, TColor Ink) {
    RECT R{B.Width(), B.Height(), -1, -1};
    for (int Y = 0; Y < B.Height(); ++Y)
      for (int X = 0; X < B.Width(); ++X)
        if (B.Canvas().Pixel(X, Y) == Ink) {
          R.left = std::min<LONG>(R.left, X);
          R.top = std::min<LONG>(R.top, Y);
          R.right = std::max<LONG>(R.right, X + 1);
          R.bottom = std::max<LONG>(R.bottom, Y + 1);
        }
    return R;
  }

  TFlatPanel* Panel = nullptr;
};

TEST_F(TFlatPanelTest, Defaults) {
  TFlatPanel Fresh(nullptr);
  EXPECT_EQ(Fresh.Width(), 185);
  EXPECT_EQ(Fresh.Height(), 41);
  EXPECT_EQ(Fresh.ColorHighLight(), 0x8396A0);
  EXPECT_EQ(Fresh.ColorShadow(), 0x8396A0);
  EXPECT_EQ(Fresh.Alignment(), TAlignment::taCenter);
  EXPECT_FALSE(Fresh.Transparent());
  EXPECT_TRUE(Fresh.ParentColor());
  EXPECT_TRUE(Fresh.ParentFont());
  EXPECT_TRUE(Fresh.ControlStyle() & csAcceptsControls);
  EXPECT_TRUE(Fresh.ControlStyle() & csOpaque);
  Fresh.SetParent(&test::ScreenForm());
  EXPECT_EQ(Fresh.Color(), test::FormColor);
  EXPECT_EQ(TFlatPanel::TextFlags(TAlignment::taLeftJustify), 0x24u);
  EXPECT_EQ(TFlatPanel::TextFlags(TAlignment::taRightJustify), 0x26u);
  EXPECT_EQ(TFlatPanel::TextFlags(TAlignment::taCenter), 0x25u);
}

TEST_F(TFlatPanelTest, OneRingBevel) {
  auto S = Shot();
  TCanvas& P = S->Canvas();
  EXPECT_EQ(P.Pixel(0, 0), Light);
  EXPECT_EQ(P.Pixel(90, 0), Light);
  EXPECT_EQ(P.Pixel(0, 20), Light);
  // The far corners belong to the shadow side.
  EXPECT_EQ(P.Pixel(184, 0), Dark);
  EXPECT_EQ(P.Pixel(0, 40), Dark);
  EXPECT_EQ(P.Pixel(184, 20), Dark);
  EXPECT_EQ(P.Pixel(90, 40), Dark);
  // One ring only.
  EXPECT_EQ(P.Pixel(1, 1), Face);
  EXPECT_EQ(P.Pixel(183, 39), Face);
}

TEST_F(TFlatPanelTest, CaptionByAlignmentOverTheWholeClientArea) {
  Panel->SetCaption("Panel");
  TBitmap M(1, 1);
  M.Canvas().Font().Assign(Panel->Font());
  const SIZE Ext = M.Canvas().TextExtent("Panel");
  struct TCase {
    TAlignment Alignment;
    int Left;  // where the text cell starts
  } Cases[] = {
      {TAlignment::taLeftJustify, 0},
      {TAlignment::taCenter, (185 - static_cast<int>(Ext.cx)) / 2},
      {TAlignment::taRightJustify, 185 - static_cast<int>(Ext.cx)},
  };
  const int Top = (41 - static_cast<int>(Ext.cy)) / 2;
  for (const TCase& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Alignment));
    Panel->SetAlignment(C.Alignment);
    auto S = Shot();
    const RECT Ink = InkBox(*S, clBlack);
    ASSERT_GE(Ink.right, 0) << "no caption";
    // The ink lies inside the text cell, within a pixel of its rounding.
    EXPECT_GE(Ink.left, C.Left);
    EXPECT_LE(Ink.right, C.Left + Ext.cx + 1);
    EXPECT_LE(Ink.left - C.Left, 3);
    EXPECT_GE(Ink.top, Top - 1);
    EXPECT_LE(Ink.bottom, Top + Ext.cy + 1);
  }
}

TEST_F(TFlatPanelTest, FrameInTheFaceColourVanishes) {
  Panel->SetColor(0xFFC1C1);
  Panel->SetColorHighLight(0xFFC1C1);
  Panel->SetColorShadow(0xFFC1C1);
  auto S = Shot();
  const RECT Ink = InkBox(*S, 0xFFC1C1);
  EXPECT_EQ(Ink.left, 0);
  EXPECT_EQ(Ink.top, 0);
  EXPECT_EQ(Ink.right, 185);
  EXPECT_EQ(Ink.bottom, 41);
  for (int Y = 0; Y < 41; ++Y)
    for (int X = 0; X < 185; ++X) ASSERT_EQ(S->Canvas().Pixel(X, Y), 0xFFC1C1);
}

TEST_F(TFlatPanelTest, TransparentShowsTheParentUnderTheBevel) {
  Panel->SetCaption("Panel");
  Panel->SetTransparent(true);
  auto S = Shot();
  EXPECT_EQ(S->Canvas().Pixel(10, 10), test::FormColor);
  EXPECT_EQ(S->Canvas().Pixel(0, 0), Light);
  EXPECT_EQ(S->Canvas().Pixel(184, 40), Dark);
  EXPECT_GE(InkBox(*S, clBlack).right, 0);
}

TEST_F(TFlatPanelTest, DisabledCaptionIsEmbossed) {
  Panel->SetCaption("Panel");
  Panel->SetAlignment(TAlignment::taRightJustify);
  Panel->SetEnabled(false);
  auto S = Shot();
  EXPECT_LT(InkBox(*S, clBlack).right, 0);
  const RECT Shadow = InkBox(*S, ColorToRGB(clBtnShadow));
  ASSERT_GE(Shadow.right, 0);
  EXPECT_LE(Shadow.right, 185);
  if (ColorToRGB(clBtnHighlight) != Light) {
    // The highlight pass lies one pixel down and right.
    const RECT High = InkBox(*S, ColorToRGB(clBtnHighlight));
    EXPECT_EQ(High.bottom, Shadow.bottom + 1);
  }
  EXPECT_EQ(S->Canvas().Pixel(0, 0), Light);
  EXPECT_EQ(S->Canvas().Pixel(184, 40), Dark);
}

TEST_F(TFlatPanelTest, OnResizeOnlyForANewSize) {
  int Resized = 0;
  Panel->OnResize = [&](TObject*) { ++Resized; };
  Panel->SetLeft(30);
  EXPECT_EQ(Resized, 0);
  Panel->SetWidth(150);
  EXPECT_EQ(Resized, 1);
}

TEST_F(TFlatPanelTest, RealClickRaisesOnClick) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  int Clicks = 0;
  Panel->OnClick = [&](TObject*) { ++Clicks; };
  ASSERT_TRUE(test::MovePointer(test::ScreenPointOf(Panel->Handle(), 90, 20)));
  ASSERT_TRUE(test::Xdotool("click 1"));
  EXPECT_TRUE(test::PumpUntil([&] { return Clicks == 1; }, 5000));
  ASSERT_TRUE(test::MovePointer(test::AwayPoint()));
}

}  // namespace
}  // namespace lumora
