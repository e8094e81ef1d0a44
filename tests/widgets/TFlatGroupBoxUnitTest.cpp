// The flat group box on a shown form: defaults, transparency (also on a
// flat panel), the controls placed on it, the accelerator from the keyboard
// and a real click. The caption gap, the borders and the disabled caption
// are checked on the gallery's pictures (tests/gallery/GalleryGroupBoxTest.cpp).

#include "widgets/TFlatGroupBoxUnit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/Application.h"
#include "ui/Canvas.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/UiTestSupport.h"
#include "widgets/FlatScreenSupport.h"
#include "widgets/TFlatEditUnit.h"
#include "widgets/TFlatPanelUnit.h"

namespace lumora {
namespace {

constexpr TColor Face = 0xFAFAFA;
constexpr TColor Border = 0x0000A0;

class TFlatGroupBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TForm& Form = test::ScreenForm();
    Box = new TFlatGroupBox(&Form);
    Box->SetBounds(16, 16, 185, 105);
    Box->SetParent(&Form);
    Box->SetColor(Face);
    Box->SetColorBorder(Border);
    Box->Font().SetColor(clBlack);
  }
  void TearDown() override { delete Box; }

  std::unique_ptr<TBitmap> Shot() {
    Box->Repaint();
    test::PumpFor(50);
    return test::ScreenShot(Box->Handle());
  }
  TFlatGroupBox* Box = nullptr;
};

// Percentages outside 0..100 are clamped in the box and the edit as in the
// other flat controls: a negative one would wrap the shifted channels.
TEST_F(TFlatGroupBoxTest, AdvancedColourPercentagesAreClampedInTheBoxAndTheEdit) {
  TFlatEdit Edit(nullptr);
  const struct {
    TAdvColors Given, Kept;
  } Cases[] = {{-40, 0}, {0, 0}, {55, 55}, {100, 100}, {250, 100}};
  for (const auto& C : Cases) {
    Box->SetAdvColorBorder(C.Given);
    Edit.SetAdvColorFocused(C.Given);
    Edit.SetAdvColorBorder(C.Given);
    EXPECT_EQ(Box->AdvColorBorder(), C.Kept) << C.Given;
    EXPECT_EQ(Edit.AdvColorFocused(), C.Kept) << C.Given;
    EXPECT_EQ(Edit.AdvColorBorder(), C.Kept) << C.Given;
  }
  // Derived colours: below 0 leaves them as 0 percent does.
  Box->SetUseAdvColors(true);
  const TColor BoxBorder = Box->ColorBorder();
  Box->SetAdvColorBorder(-40);
  EXPECT_EQ(Box->ColorBorder(), BoxBorder);
  Edit.SetUseAdvColors(true);
  const TColor EditFocused = Edit.ColorFocused(), EditBorder = Edit.ColorBorder();
  Edit.SetAdvColorFocused(-40);
  Edit.SetAdvColorBorder(-40);
  EXPECT_EQ(Edit.ColorFocused(), EditFocused);
  EXPECT_EQ(Edit.ColorBorder(), EditBorder);
}

TEST_F(TFlatGroupBoxTest, Defaults) {
  TFlatGroupBox Fresh(nullptr);
  EXPECT_EQ(Fresh.Width(), 185);
  EXPECT_EQ(Fresh.Height(), 105);
  EXPECT_FALSE(Fresh.Transparent());
  EXPECT_EQ(Fresh.ColorBorder(), 0x8396A0);
  EXPECT_EQ(Fresh.Border(), brFull);
  EXPECT_EQ(Fresh.AdvColorBorder(), 50);
  EXPECT_FALSE(Fresh.UseAdvColors());
  EXPECT_FALSE(Fresh.TabStop());
  EXPECT_TRUE(Fresh.ParentColor());
  EXPECT_TRUE(Fresh.ParentFont());
  EXPECT_EQ(Fresh.Color(), clWindow);
  EXPECT_TRUE(Fresh.ControlStyle() & csAcceptsControls);
  EXPECT_TRUE(Fresh.ControlStyle() & csOpaque);
  // On a parent it takes the parent's colour.
  Fresh.SetParent(&test::ScreenForm());
  EXPECT_EQ(Fresh.Color(), test::FormColor);
}

TEST_F(TFlatGroupBoxTest, TransparentShowsTheParent) {
  auto Opaque = Shot();
  EXPECT_EQ(Opaque->Canvas().Pixel(90, 50), Face);
  Box->SetTransparent(true);
  auto See = Shot();
  EXPECT_EQ(See->Canvas().Pixel(90, 50), test::FormColor);
  EXPECT_EQ(See->Canvas().Pixel(0, 50), Border);  // the frame is still drawn

  // On a flat panel it shows the panel's face and, where it covers it, the
  // panel's bevel.
  auto* Holder = new TFlatPanel(&test::ScreenForm());
  Holder->SetBounds(210, 10, 180, 120);
  Holder->SetColor(0x00C000);
  Holder->SetColorHighLight(0xFF0000);
  Holder->SetParent(&test::ScreenForm());
  Box->SetCaption("Options");
  Box->SetParent(Holder);
  Box->SetBounds(0, 0, 150, 100);
  auto OnPanel = Shot();
  EXPECT_EQ(OnPanel->Canvas().Pixel(70, 50), 0x00C000);
  EXPECT_EQ(OnPanel->Canvas().Pixel(70, 0), 0xFF0000);  // the panel's top edge
  Box->SetParent(&test::ScreenForm());
  delete Holder;
}

// The controls placed on it stay on top when it paints: a windowed child is
// clipped out of its painting and a windowless one is painted over it.
TEST_F(TFlatGroupBoxTest, ChildrenPaintOverIt) {
  Box->SetCaption("Options");
  auto* Child = new TFlatPanel(&test::ScreenForm());
  Child->SetBounds(20, 30, 60, 40);
  Child->SetColor(0x00C000);
  Child->SetParent(Box);
  auto* Label = new TLabel(&test::ScreenForm());
  Label->SetAutoSize(false);
  Label->SetBounds(100, 30, 50, 20);
  Label->SetColor(0x0000C0);
  Label->SetParent(Box);
  // A flat edit, whose frame lies in its non-client area, as on the
  // program's settings panel.
  auto* Field = new TFlatEdit(&test::ScreenForm());
  Field->SetBounds(20, 75, 121, 21);
  Field->SetParent(Box);
  Field->SetColorBorder(0x0000FF);
  test::PumpFor(50);
  for (int Round = 0; Round < 2; ++Round) {
    auto S = Shot();  // the box repaints, the children must survive it
    EXPECT_EQ(S->Canvas().Pixel(50, 50), 0x00C000);
    EXPECT_EQ(S->Canvas().Pixel(140, 45), 0x0000C0);
    EXPECT_EQ(S->Canvas().Pixel(160, 80), Face);
    EXPECT_EQ(S->Canvas().Pixel(20, 85), 0x0000FF);
    EXPECT_EQ(S->Canvas().Pixel(21, 85), Face);  // the field follows the box's colour
    EXPECT_EQ(S->Canvas().Pixel(140, 80), 0x0000FF);
    EXPECT_EQ(S->Canvas().Pixel(80, 75 + Field->Height() - 1), 0x0000FF);
  }
  delete Field;
  delete Label;
  delete Child;
}

TEST_F(TFlatGroupBoxTest, AcceleratorTakesTheFocus) {
  Box->SetCaption("&Options");
  auto* Other = new TEdit(&test::ScreenForm());
  Other->SetBounds(250, 200, 80, 20);
  Other->SetParent(&test::ScreenForm());
  Other->SetFocus();
  test::PumpFor(50);
  ASSERT_TRUE(Other->Focused());
  EXPECT_FALSE(test::ScreenForm().DialogChar('x'));
  EXPECT_FALSE(Box->Focused());
  // Disabled it cannot take the focus, so it leaves the character alone.
  Box->SetEnabled(false);
  EXPECT_FALSE(test::ScreenForm().DialogChar('o'));
  Box->SetEnabled(true);
  ASSERT_TRUE(Other->Focused());

  // Alt+O on the keyboard, through the application's own message handling.
  INPUT Keys[4]{};
  const WORD Vk[4] = {VK_MENU, 'O', 'O', VK_MENU};
  for (int I = 0; I < 4; ++I) {
    Keys[I].type = INPUT_KEYBOARD;
    Keys[I].ki.wVk = Vk[I];
    Keys[I].ki.dwFlags = I >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  ASSERT_EQ(SendInput(4, Keys, sizeof(INPUT)), 4u);
  EXPECT_TRUE(test::PumpUntil(
      [&] {
        Application().ProcessMessages();
        return Box->Focused();
      },
      3000));
  Application().ProcessMessages();
  delete Other;
}

TEST_F(TFlatGroupBoxTest, RealClickRaisesOnClick) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  int Clicks = 0;
  Box->OnClick = [&](TObject*) { ++Clicks; };
  ASSERT_TRUE(test::MovePointer(test::ScreenPointOf(Box->Handle(), 90, 60)));
  ASSERT_TRUE(test::Xdotool("click 1"));
  EXPECT_TRUE(test::PumpUntil([&] { return Clicks == 1; }, 5000));
  ASSERT_TRUE(test::MovePointer(test::AwayPoint()));
}

}  // namespace
}  // namespace lumora
