// The flat panel's defaults, OnResize and a real click. Its pixels (bevel,
// caption placement, transparency, disabled caption) are checked on the
// gallery's pictures (tests/gallery/GalleryPanelTest.cpp).

#include "widgets/TFlatPanelUnit.h"

#include <gtest/gtest.h>

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
