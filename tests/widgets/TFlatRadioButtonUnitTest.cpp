// The flat radio button on a real form under Wine: groups per parent, the
// tab stop that follows the check, the mouse that only checks, the keyboard
// that only focuses, and its circle and dot on the screen.

#include "widgets/TFlatRadioButtonUnit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Timer.h"
#include "widgets/FlatMarkTestSupport.h"
#include "widgets/a.h"

namespace lumora {
namespace {

using test::AppPumpFor;
using test::AppPumpUntil;

constexpr TColor Face = 0xFFC1C1, Dot = 0x0000C0, Border = 0x8396A0;

class FlatRadioButton : public ::testing::Test {
 protected:
  TFlatRadioButton* Add(int X, int Y, int Group, TWinControl* Parent = nullptr) {
    auto* R = F.Add<TFlatRadioButton>(X, Y, Parent);
    R->SetGroupIndex(Group);
    R->SetCaption("Pick me");
    R->SetColor(Face);
    R->SetColorDot(Dot);
    R->OnClick = [this, R](TObject*) { Log.push_back(R); };
    return R;
  }
  void Release(TFlatRadioButton* R, int X, int Y) {
    HWND W = R->Handle();
    SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(W, WM_LBUTTONUP, 0,
                 MAKELPARAM(static_cast<WORD>(static_cast<short>(X)),
                            static_cast<WORD>(static_cast<short>(Y))));
  }

  test::TMarkForm F;
  std::vector<TFlatRadioButton*> Log;  // whose OnClick ran, in order
};

TEST_F(FlatRadioButton, Defaults) {
  auto* R = new TFlatRadioButton(F.Form);
  EXPECT_FALSE(R->TabStop());
  EXPECT_EQ(R->GroupIndex(), 0);
  EXPECT_EQ(R->ColorDot(), 0x000000);
  EXPECT_EQ(R->ColorFocused(), 0xFFFFFF);
  EXPECT_EQ(R->Layout(), radioLeft);
  EXPECT_EQ(R->Width(), 121);
  EXPECT_EQ(R->Height(), 17);
  EXPECT_NE(TFlatRadioButton::HotTrackTimer(), nullptr);
  delete R;
  // Its own timer, not the check boxes'.
  EXPECT_EQ(TFlatRadioButton::HotTrackTimer(), nullptr);
}

TEST_F(FlatRadioButton, CheckingUnchecksItsGroupUnderItsParentOnlyAndTakesTheTabStop) {
  auto* Panel = F.Add<TDovaTranPanel>(10, 100);
  TFlatRadioButton* A1 = Add(10, 10, 0);
  TFlatRadioButton* A2 = Add(10, 30, 0);
  TFlatRadioButton* A3 = Add(10, 50, 1);
  TFlatRadioButton* B1 = Add(0, 0, 0, Panel);
  TFlatRadioButton* B2 = Add(0, 20, 0, Panel);

  A3->SetChecked(true);
  B1->SetChecked(true);
  A2->SetChecked(true);
  A1->SetChecked(true);
  EXPECT_TRUE(A1->Checked());
  EXPECT_FALSE(A2->Checked());
  EXPECT_TRUE(A3->Checked());  // another group
  EXPECT_TRUE(B1->Checked());  // another parent
  EXPECT_FALSE(B2->Checked());
  for (auto [R, Stop] : {std::pair{A1, true}, {A2, false}, {A3, true}, {B1, true}, {B2, false}})
    EXPECT_EQ(R->TabStop(), Stop);
  // One click per button that became checked; none for the one displaced.
  EXPECT_EQ(Log, (std::vector<TFlatRadioButton*>{A3, B1, A2, A1}));

  // Unchecking by code clicks nothing and gives up the tab stop.
  A1->SetChecked(false);
  EXPECT_FALSE(A1->TabStop());
  EXPECT_EQ(Log.size(), 4u);
}

// Releases through the capture: both edges of the control count as inside.
TEST_F(FlatRadioButton, ReleaseChecksOnlyWithinItsBoundsEdgesIncluded) {
  struct {
    int X, Y;
    bool Checks;
  } const Cases[] = {{60, 8, true},   {121, 17, true}, {0, 0, true},   {122, 8, false},
                     {60, 18, false}, {-1, 8, false},  {60, -1, false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::to_string(C.X) + "," + std::to_string(C.Y));
    TFlatRadioButton* R = Add(10, 10, 7);
    Release(R, C.X, C.Y);
    EXPECT_EQ(R->Checked(), C.Checks);
    EXPECT_FALSE(R->Pressing());
    delete R;
  }
}

TEST_F(FlatRadioButton, RealClickChecksAndASecondClickKeepsItChecked) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  TFlatRadioButton* R = Add(20, 20, 0);
  TFlatRadioButton* Other = Add(20, 40, 0);
  Other->SetChecked(true);
  Log.clear();
  int Ups = 0;
  R->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Ups; };
  ASSERT_TRUE(test::XdoTool("mousemove " + test::ScreenXY(*R, 60, 8) + " sleep 0.2 click 1"));
  ASSERT_TRUE(AppPumpUntil([&] { return Ups == 1; }, 5000));
  EXPECT_TRUE(R->IsHot());
  EXPECT_TRUE(R->Checked());
  EXPECT_FALSE(Other->Checked());
  EXPECT_TRUE(R->Focused());
  // The standard click of the release, then the change.
  EXPECT_EQ(Log, (std::vector<TFlatRadioButton*>{R, R}));

  // Later than a double click would be.
  ASSERT_TRUE(test::XdoTool("sleep 0.7 click 1"));
  ASSERT_TRUE(AppPumpUntil([&] { return Ups == 2; }, 5000));
  EXPECT_TRUE(R->Checked());
  EXPECT_EQ(Log.size(), 3u);  // only the standard click

  // Hot and focused: the circle's face is ColorFocused, the dot inside it.
  auto Shot = test::ScreenShot(*R);
  EXPECT_EQ(Shot->Canvas().Pixel(1 + 2, 3 + 5), clWhite);
  EXPECT_EQ(Shot->Canvas().Pixel(1 + 5, 3 + 5), Dot);
}

TEST_F(FlatRadioButton, SpaceDoesNothingAndTheAcceleratorOnlyFocuses) {
  TFlatRadioButton* R = Add(20, 20, 0);
  R->SetCaption("&Pick me");
  R->SetFocus();
  test::TypeKey(VK_SPACE);
  AppPumpFor(200);
  EXPECT_FALSE(R->Checked());

  F.Sink->SetFocus();
  test::TypeKey('P', true);
  ASSERT_TRUE(AppPumpUntil([&] { return R->Focused(); }));
  EXPECT_FALSE(R->Checked());
  EXPECT_TRUE(Log.empty());
}

TEST_F(FlatRadioButton, CircleAndDotOnTheScreen) {
  struct {
    const char* Name;
    bool Right, Enabled;
    TColor DotColour;
  } const Cases[] = {{"left", false, true, Dot}, {"right, disabled", true, false, clBtnShadow}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFlatRadioButton* R = Add(20, 20, 0);
    if (C.Right) R->SetLayout(radioRight);
    R->SetChecked(true);
    R->SetEnabled(C.Enabled);
    AppPumpFor(50);
    auto Shot = test::ScreenShot(*R);
    const int L = C.Right ? 121 - 11 : 1, T = 3;
    TCanvas& P = Shot->Canvas();
    EXPECT_EQ(P.Pixel(L + 5, T), Border);      // top of the circle
    EXPECT_EQ(P.Pixel(L + 5, T + 9), Border);  // its bottom
    EXPECT_EQ(P.Pixel(L + 1, T + 1), Face);    // a corner, outside it
    EXPECT_EQ(P.Pixel(L + 2, T + 5), Face);    // inside, beside the dot
    EXPECT_EQ(P.Pixel(L + 4, T + 4), ColorToRGB(C.DotColour));
    EXPECT_EQ(P.Pixel(L + 5, T + 5), ColorToRGB(C.DotColour));
    EXPECT_EQ(P.Pixel(L + 8, T + 5), Face);
    delete R;
  }
}

}  // namespace
}  // namespace lumora
