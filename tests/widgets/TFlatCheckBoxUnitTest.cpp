// The flat check box on a real form under Wine: its box checked pixel by
// pixel, its caption, and the mouse and keyboard through the X server and
// the input queue.

#include "widgets/TFlatCheckBoxUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ui/Timer.h"
#include "widgets/FlatMarkTestSupport.h"

namespace lumora {
namespace {

using test::AppPumpFor;
using test::AppPumpUntil;

constexpr TColor Face = 0xFFC1C1, Focused = 0x80FF80, Down = 0x4080FF, Border = 0x8396A0;

// The pixels of the six strokes, relative to the box's top-left corner.
std::set<std::pair<int, int>> CheckPixels() {
  return {{2, 4}, {3, 5}, {4, 6}, {5, 7}, {2, 5}, {3, 6}, {4, 7}, {2, 6}, {3, 7}, {4, 8}, {8, 2},
          {7, 3}, {6, 4}, {5, 5}, {8, 3}, {7, 4}, {6, 5}, {5, 6}, {8, 4}, {7, 5}, {6, 6}};
}

// Every pixel of the 11 x 11 box at (L, 3): the frame, the check (none when
// Check is clNone), the face.
void ExpectBox(TBitmap& B, int L, TColor FaceColor, TColor Check) {
  const auto Ticks = CheckPixels();
  for (int Y = 0; Y < 11; ++Y)
    for (int X = 0; X < 11; ++X) {
      TColor Want = FaceColor;
      if (X == 0 || Y == 0 || X == 10 || Y == 10)
        Want = Border;
      else if (Check != clNone && Ticks.count({X, Y}))
        Want = Check;
      ASSERT_EQ(B.Canvas().Pixel(L + X, 3 + Y), ColorToRGB(Want)) << "box pixel " << X << "," << Y;
    }
}

struct TInk {
  int Top = 1000, Bottom = -1, Left = 1000, Right = -1, Count = 0;
};
// Where Colour lies within Rect.
TInk InkOf(TBitmap& B, const RECT& Rect, TColor Colour) {
  TInk I;
  for (int Y = Rect.top; Y < Rect.bottom; ++Y)
    for (int X = Rect.left; X < Rect.right; ++X)
      if (B.Canvas().Pixel(X, Y) == ColorToRGB(Colour)) {
        I.Top = std::min(I.Top, Y);
        I.Bottom = std::max(I.Bottom, Y);
        I.Left = std::min(I.Left, X);
        I.Right = std::max(I.Right, X);
        ++I.Count;
      }
  return I;
}

class FlatCheckBox : public ::testing::Test {
 protected:
  void SetUp() override {
    Box = F.Add<TFlatCheckBox>(20, 20);
    Box->SetCaption("Check me");
    Box->SetColor(Face);
    Box->SetColorFocused(Focused);
    Box->SetColorDown(Down);
    Box->OnClick = [this](TObject*) { ++Clicks; };
    Box->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { ++Ups; };
    AppPumpFor(50);
  }
  // Runs xdotool and waits until Done.
  void Xdo(const std::string& Args, const std::function<bool()>& Done) {
    ASSERT_TRUE(test::XdoTool(Args));
    ASSERT_TRUE(AppPumpUntil(Done, 5000)) << "xdotool " << Args;
  }
  std::string OnBox() { return test::ScreenXY(*Box, 60, 8); }
  std::string OffBox() { return test::ScreenXY(*F.Form, 160, 120); }

  test::TMarkForm F;
  TFlatCheckBox* Box = nullptr;
  int Clicks = 0, Ups = 0;
};

TEST_F(FlatCheckBox, Defaults) {
  auto* Fresh = new TFlatCheckBox(F.Form);
  EXPECT_EQ(Fresh->Color(), 0xE1EAEB);  // declared default until a parent is set
  Fresh->SetParent(F.Form);
  EXPECT_EQ(Fresh->Color(), clWhite);
  EXPECT_TRUE(Fresh->ParentColor());
  EXPECT_EQ(Fresh->Width(), 121);
  EXPECT_EQ(Fresh->Height(), 17);
  EXPECT_TRUE(Fresh->TabStop());
  EXPECT_FALSE(Fresh->Checked());
  EXPECT_FALSE(Fresh->Transparent());
  EXPECT_EQ(Fresh->ColorFocused(), 0xFFFFFF);
  EXPECT_EQ(Fresh->ColorDown(), 0xC5D6D9);
  EXPECT_EQ(Fresh->ColorCheck(), 0x000000);
  EXPECT_EQ(Fresh->ColorBorder(), 0x8396A0);
  EXPECT_EQ(Fresh->AdvColorFocused(), 10);
  EXPECT_EQ(Fresh->AdvColorDown(), 10);
  EXPECT_EQ(Fresh->AdvColorBorder(), 50);
  EXPECT_FALSE(Fresh->UseAdvColors());
  EXPECT_EQ(Fresh->Layout(), checkboxLeft);
  Fresh->SetAdvColorBorder(250);
  EXPECT_EQ(Fresh->AdvColorBorder(), 100);
}

TEST_F(FlatCheckBox, OneTimerForTheClassFromTheFirstToTheLast) {
  TTimer* Timer = TFlatCheckBox::HotTrackTimer();
  ASSERT_NE(Timer, nullptr);
  EXPECT_FALSE(Timer->Running());
  auto* Second = F.Add<TFlatCheckBox>(20, 60);
  EXPECT_EQ(TFlatCheckBox::HotTrackTimer(), Timer);
  delete Second;
  EXPECT_EQ(TFlatCheckBox::HotTrackTimer(), Timer);
  delete Box;
  Box = nullptr;
  EXPECT_EQ(TFlatCheckBox::HotTrackTimer(), nullptr);
}

TEST_F(FlatCheckBox, EveryChangeOfCheckedClicks) {
  Box->SetChecked(true);
  Box->SetChecked(true);
  Box->SetChecked(false);
  EXPECT_EQ(Clicks, 2);
}

TEST_F(FlatCheckBox, BoxPixelsFollowFocusCheckedAndEnabled) {
  struct {
    const char* Name;
    bool Checked, Focus, Enabled;
    TColor Face, Check;
  } const Cases[] = {
      {"cold", false, false, true, Face, clNone},
      {"cold checked", true, false, true, Face, clBlack},
      {"focused", false, true, true, Focused, clNone},
      {"focused checked", true, true, true, Focused, clBlack},
      {"disabled checked", true, false, false, Face, clBtnShadow},
      // Disabling takes the focus away: no focused face either.
      {"disabled while focused", true, true, false, Face, clBtnShadow},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Box->SetEnabled(true);
    Box->SetChecked(C.Checked);
    if (C.Focus)
      Box->SetFocus();
    else
      F.Sink->SetFocus();
    Box->SetEnabled(C.Enabled);
    AppPumpFor(50);
    auto Shot = test::ScreenShot(*Box);
    ExpectBox(*Shot, 1, C.Face, C.Check);
    EXPECT_EQ(Shot->Canvas().Pixel(0, 8), Face);  // one pixel left of the box
  }
}

TEST_F(FlatCheckBox, RightLayout) {
  Box->SetColorCheck(0x000080);
  Box->SetLayout(checkboxRight);
  Box->SetChecked(true);
  auto Shot = test::ScreenShot(*Box);
  ExpectBox(*Shot, 121 - 12, Face, 0x000080);
  EXPECT_EQ(Shot->Canvas().Pixel(120, 8), Face);
  // The caption ends just short of its rectangle's right edge, R - 16.
  const TInk Text = InkOf(*Shot, RECT{0, 0, 121, 17}, clBlack);
  ASSERT_GT(Text.Count, 0);
  EXPECT_LE(Text.Right, 121 - 16 - 1);
  EXPECT_GE(Text.Right, 121 - 16 - 3);
  EXPECT_GT(Text.Left, 40);
}

TEST_F(FlatCheckBox, DisabledCaptionIsEmbossed) {
  Box->SetEnabled(false);
  auto Shot = test::ScreenShot(*Box);
  const RECT Caption{16, 1, 120, 17};
  const TInk Shadow = InkOf(*Shot, Caption, clBtnShadow);
  const TInk Light = InkOf(*Shot, Caption, clBtnHighlight);
  EXPECT_EQ(InkOf(*Shot, Caption, clBlack).Count, 0);
  ASSERT_GT(Shadow.Count, 10);
  ASSERT_GT(Light.Count, 5);
  // The highlight pass lies one pixel down and right of the shadow pass.
  EXPECT_EQ(Light.Bottom, Shadow.Bottom + 1);
  EXPECT_EQ(Light.Right, Shadow.Right + 1);
}

TEST_F(FlatCheckBox, LongCaptionWrapsWithinItsRectangle) {
  Box->SetHeight(60);
  Box->SetCaption("A caption far too long for one line of this box");
  auto Shot = test::ScreenShot(*Box);
  const TInk Text = InkOf(*Shot, RECT{0, 0, 121, 60}, clBlack);
  EXPECT_GE(Text.Left, 16);
  EXPECT_LE(Text.Right, 119);
  EXPECT_GT(Text.Bottom - Text.Top, 20);  // at least two lines of an 11-pixel font
}

// Real mouse: the box lights up under the pointer, takes the pressed colour
// while held, stays hot while dragged off, and toggles on the release there.
TEST_F(FlatCheckBox, PressHotDragOffAndReleaseElsewhereToggles) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  Xdo("mousemove " + OnBox(), [&] { return Box->IsHot(); });
  EXPECT_EQ(TFlatCheckBox::HotTrackedControl(), Box);
  EXPECT_TRUE(TFlatCheckBox::HotTrackTimer()->Running());
  ExpectBox(*test::ScreenShot(*Box), 1, Focused, clNone);

  Xdo("mousedown 1", [&] { return Box->Pressing(); });
  ExpectBox(*test::ScreenShot(*Box), 1, Down, clNone);

  ASSERT_TRUE(test::XdoTool("mousemove " + OffBox()));
  AppPumpFor(400);  // several ticks of the timer: held, the box stays hot
  EXPECT_TRUE(Box->IsHot());
  EXPECT_FALSE(Box->Checked());

  Xdo("mouseup 1", [&] { return Ups == 1; });
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1);  // the change; the release was not on the box
  // The next tick finds the pointer elsewhere: cold, and the timer stops.
  EXPECT_TRUE(AppPumpUntil([&] { return !Box->IsHot(); }));
  EXPECT_EQ(TFlatCheckBox::HotTrackedControl(), nullptr);
  EXPECT_FALSE(TFlatCheckBox::HotTrackTimer()->Running());
  ExpectBox(*test::ScreenShot(*Box), 1, Focused, clBlack);  // it kept the focus
}

TEST_F(FlatCheckBox, NoToggleAfterTheFocusWentWhileTheMouseStoodStill) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  Box->SetFocus();
  Xdo("mousemove " + OnBox(), [&] { return Box->IsHot(); });
  F.Sink->SetFocus();
  EXPECT_FALSE(Box->IsHot());
  Xdo("click 1", [&] { return Ups == 1; });
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Clicks, 1);  // only the standard click of a release inside

  // Once the mouse has been away, the box lights up and toggles again.
  Xdo("mousemove " + OffBox(), [&] { return !TFlatCheckBox::HotTrackedControl(); });
  Xdo("mousemove " + OnBox(), [&] { return Box->IsHot(); });
  Xdo("sleep 0.7 click 1", [&] { return Ups == 2; });  // not a double click
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 3);
}

TEST_F(FlatCheckBox, SpaceTogglesTheFocusedBoxAndTheAcceleratorAnyBox) {
  Box->SetCaption("&Check me");
  std::string Pressed;
  Box->OnKeyPress = [&](TObject*, char& Key) { Pressed += Key; };
  Box->SetFocus();
  test::TypeKey(VK_SPACE);
  ASSERT_TRUE(AppPumpUntil([&] { return Box->Checked(); }));
  AppPumpFor(50);
  EXPECT_EQ(Pressed, " ");  // not used up
  test::TypeKey(VK_SPACE);
  ASSERT_TRUE(AppPumpUntil([&] { return !Box->Checked(); }));
  test::TypeKey(VK_SPACE, true);  // Alt+Space is the window menu's
  AppPumpFor(300);
  EXPECT_FALSE(Box->Checked());

  // Space in the edit is the edit's.
  F.Sink->SetFocus();
  test::TypeKey(VK_SPACE);
  AppPumpFor(200);
  EXPECT_FALSE(Box->Checked());

  test::TypeKey('C', true);
  ASSERT_TRUE(AppPumpUntil([&] { return Box->Checked(); }));
  EXPECT_TRUE(Box->Focused());
  EXPECT_EQ(Clicks, 3);

  Box->SetEnabled(false);  // cannot take the focus: the accelerator passes
  test::TypeKey('C', true);
  AppPumpFor(200);
  EXPECT_TRUE(Box->Checked());
}

TEST_F(FlatCheckBox, AdvancedColoursFollowTheParent) {
  Box->SetUseAdvColors(true);
  EXPECT_TRUE(Box->ParentColor());
  EXPECT_EQ(Box->Color(), clWhite);
  // White comes out at lightness 100 of 240 however it is shifted.
  EXPECT_EQ(Box->ColorFocused(), 0x6A6A6A);
  F.Form->SetColor(0x206020);
  EXPECT_EQ(Box->Color(), 0x206020);
  EXPECT_EQ(Box->ColorFocused(), ShiftLightness(0x206020, 0, 10, lsLighten));
  EXPECT_EQ(Box->ColorDown(), ShiftLightness(0x206020, 0, 10, lsDarken));
  EXPECT_EQ(Box->ColorBorder(), ShiftLightness(0x206020, 0, 50, lsDarken));
}

}  // namespace
}  // namespace lumora
