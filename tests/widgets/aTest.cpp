// The transparent panel by its pixels: the frame, the one-line caption band
// centred on the height of "W", the alignment flags with tab expansion, and
// the transparent style of its window.

#include "widgets/a.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/UiTestSupport.h"

namespace lumora {
namespace {

class TPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = new TForm(&Application());
    Form->SetBorderStyle(TFormBorderStyle::bsNone);
    Form->SetBounds(50, 50, 300, 100);
    Form->SetParentColor(false);
    Form->SetColor(clWhite);
    Panel = new TDovaTranPanel(Form);
    Panel->SetParent(Form);
    Panel->SetLeft(10);
    Panel->SetTop(10);
    Panel->Font().SetColor(clBlack);
    Form->HandleNeeded();
  }
  void TearDown() override { delete Form; }

  // The panel's erase and paint, into a bitmap of its size.
  std::unique_ptr<TBitmap> Shot() {
    auto B = std::make_unique<TBitmap>();
    B->SetSize(Panel->Width(), Panel->Height());
    HDC DC = B->Canvas().Handle();
    SendMessageA(Panel->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    SendMessageA(Panel->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    return B;
  }

  // Rows and columns holding caption ink (black), inside the frame.
  struct TInk {
    int Top = -1, Bottom = -1, Left = -1;
  };
  static TInk Ink(TBitmap& B) {
    TInk I;
    for (int Y = 1; Y < B.Height() - 1; ++Y)
      for (int X = 1; X < B.Width() - 1; ++X)
        if (B.Canvas().Pixel(X, Y) == clBlack) {
          if (I.Top < 0) I.Top = Y;
          I.Bottom = Y;
          if (I.Left < 0 || X < I.Left) I.Left = X;
        }
    return I;
  }

  TForm* Form = nullptr;
  TDovaTranPanel* Panel = nullptr;
};

TEST_F(TPanelTest, DefaultsAndStyles) {
  EXPECT_EQ(Panel->Width(), 185);
  EXPECT_EQ(Panel->Height(), 41);
  EXPECT_EQ(Panel->Alignment(), TAlignment::taCenter);
  EXPECT_FALSE(Panel->Border());
  EXPECT_EQ(Panel->Anchors(), static_cast<TAnchors>(akLeft | akTop));
  EXPECT_EQ(Panel->Align(), TAlign::alNone);
  EXPECT_FALSE(Panel->ControlStyle() & csOpaque);
  EXPECT_TRUE(Panel->ControlStyle() & csAcceptsControls);
  EXPECT_TRUE(GetWindowLongA(Panel->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  // The style comes back with a new window.
  Panel->RecreateWnd();
  EXPECT_TRUE(GetWindowLongA(Panel->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

TEST_F(TPanelTest, TextFlags) {
  EXPECT_EQ(TDovaTranPanel::TextFlags(TAlignment::taLeftJustify), 0x44u);
  EXPECT_EQ(TDovaTranPanel::TextFlags(TAlignment::taCenter), 0x45u);
  EXPECT_EQ(TDovaTranPanel::TextFlags(TAlignment::taRightJustify), 0x46u);
}

TEST_F(TPanelTest, FrameOnlyWithBorder) {
  const TColor Shadow = ColorToRGB(clBtnShadow);
  auto Off = Shot();
  EXPECT_EQ(Off->Canvas().Pixel(0, 0), clWhite);  // the parent's colour
  EXPECT_EQ(Off->Canvas().Pixel(184, 40), clWhite);
  Panel->SetBorder(true);
  auto On = Shot();
  for (POINT P : {POINT{0, 0}, POINT{92, 0}, POINT{184, 20}, POINT{92, 40}, POINT{0, 20}})
    EXPECT_EQ(On->Canvas().Pixel(P.x, P.y), Shadow) << P.x << "," << P.y;
  EXPECT_EQ(On->Canvas().Pixel(1, 1), clWhite);  // one pixel wide
}

TEST_F(TPanelTest, CaptionBandIsOneLineCentredOnTheHeightOfW) {
  Panel->Font().SetHeight(-11);
  Panel->SetCaption("WWW");
  TCanvas Measure(GetDC(nullptr));
  Measure.Font().Assign(Panel->Font());
  const int H = Measure.TextHeight("W");
  ReleaseDC(nullptr, Measure.Handle());
  const int Top = (41 - H) / 2;

  TInk One = Ink(*Shot());
  ASSERT_GE(One.Top, 0) << "no caption drawn";
  EXPECT_GE(One.Top, Top);
  EXPECT_LE(One.Bottom, Top + H - 1);

  // A second line is cut away: nothing below the band.
  Panel->SetCaption("WWW\r\nWWW\r\nWWW");
  TInk Three = Ink(*Shot());
  EXPECT_GE(Three.Top, Top);
  EXPECT_LE(Three.Bottom, Top + H - 1);
}

TEST_F(TPanelTest, AlignmentAndTabs) {
  Panel->SetCaption("W");
  Panel->SetAlignment(TAlignment::taLeftJustify);
  const TInk Left = Ink(*Shot());
  Panel->SetAlignment(TAlignment::taCenter);
  const TInk Centre = Ink(*Shot());
  Panel->SetAlignment(TAlignment::taRightJustify);
  const TInk Right = Ink(*Shot());
  EXPECT_LT(Left.Left, 5);
  EXPECT_GT(Centre.Left, 80);
  EXPECT_LT(Centre.Left, 95);
  EXPECT_GT(Right.Left, 165);

  // A tab goes to the next tab stop (eight average characters on).
  Panel->SetAlignment(TAlignment::taLeftJustify);
  Panel->SetCaption("\tW");
  const TInk Tabbed = Ink(*Shot());
  EXPECT_GT(Tabbed.Left, Left.Left + 20);
}

}  // namespace
}  // namespace lumora
