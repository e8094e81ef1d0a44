// The flat edit: its frame from the screen (GetWindowDC) when flat, hot and
// focused, the hot rule between two flat edits, the height that fits the
// font after loading, its own ParentColor flag and the derived colours, and
// typing on the keyboard.

#include "widgets/TFlatEditUnit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/Button.h"
#include "ui/Canvas.h"
#include "ui/UiTestSupport.h"
#include "widgets/FlatScreenSupport.h"

namespace lumora {
namespace {

constexpr TColor Flat = 0xFFC1C1, Focus = 0xE0FFFF, Rim = 0x8396A0;

class TFlatEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MovePointer(test::AwayPoint());
    TForm& Form = test::ScreenForm();
    // The focus sink: an ordinary control that is not a flat edit.
    Sink = new TButton(&Form);
    Sink->SetBounds(300, 250, 60, 25);
    Sink->SetParent(&Form);
    Edit = MakeEdit(16, 16);
    Sink->SetFocus();
    test::PumpFor(50);
  }
  void TearDown() override {
    delete Edit;
    delete Sink;
  }

  static TFlatEdit* MakeEdit(int X, int Y) {
    auto* E = new TFlatEdit(&test::ScreenForm());
    E->SetBounds(X, Y, 121, 21);
    E->SetParent(&test::ScreenForm());
    E->SetColorFlat(Flat);
    E->SetColorFocused(Focus);
    return E;
  }

  // The three rings and the text area next to them, from the screen.
  struct TRings {
    TColor Outer, Middle, Inner, Text;
  };
  static TRings Rings(TFlatEdit* E) {
    test::PumpFor(50);
    auto S = test::ScreenShot(E->Handle(), true);
    TCanvas& P = S->Canvas();
    const int Y = S->Height() / 2;
    // Down the left side, away from any text.
    EXPECT_EQ(P.Pixel(0, 0), P.Pixel(0, Y));
    EXPECT_EQ(P.Pixel(S->Width() - 1, S->Height() - 1), P.Pixel(0, Y));
    return TRings{P.Pixel(0, Y), P.Pixel(1, Y), P.Pixel(2, Y), P.Pixel(3, Y)};
  }
  static void ExpectLook(TFlatEdit* E, TColor Field, const char* What) {
    SCOPED_TRACE(What);
    const TRings R = Rings(E);
    EXPECT_EQ(R.Outer, Rim);
    EXPECT_EQ(R.Middle, Field);
    EXPECT_EQ(R.Inner, Field);
    EXPECT_EQ(R.Text, Field);
  }
  static POINT Middle(TFlatEdit* E) {
    return test::ScreenPointOf(E->Handle(), E->ClientWidth() / 2, E->ClientHeight() / 2);
  }
  // The real pointer onto E's text area, or away from the form; waits until
  // E has heard of it (the X server may take a while to report the move).
  static bool Hover(TFlatEdit* E) {
    return test::MovePointer(Middle(E)) &&
           test::PumpUntil([E] { return E->MouseInControl(); }, 3000);
  }
  static bool Away(TFlatEdit* E) {
    return test::MovePointer(test::AwayPoint()) &&
           test::PumpUntil([E] { return !E->MouseInControl(); }, 3000);
  }

  TButton* Sink = nullptr;
  TFlatEdit* Edit = nullptr;
};

TEST_F(TFlatEditTest, DefaultsAndTheNonClientFrame) {
  TFlatEdit Fresh(nullptr);
  EXPECT_EQ(Fresh.Width(), 121);
  EXPECT_EQ(Fresh.Height(), 19);
  EXPECT_EQ(Fresh.ColorFocused(), 0xFFFFFF);
  EXPECT_EQ(Fresh.ColorBorder(), 0x8396A0);
  EXPECT_EQ(Fresh.ColorFlat(), 0xE1EAEB);
  EXPECT_TRUE(Fresh.ParentColor());
  EXPECT_EQ(Fresh.AdvColorFocused(), 10);
  EXPECT_EQ(Fresh.AdvColorBorder(), 50);
  EXPECT_FALSE(Fresh.UseAdvColors());
  EXPECT_TRUE(Fresh.TabStop());
  EXPECT_TRUE(Fresh.ParentFont());
  EXPECT_FALSE(Fresh.BorderStyleSingle());
  EXPECT_FALSE(Fresh.ControlStyle() & csFramed);

  HWND W = Edit->Handle();
  EXPECT_FALSE(GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  RECT Client{}, Window{};
  GetClientRect(W, &Client);
  GetWindowRect(W, &Window);
  EXPECT_EQ(Client.right, Window.right - Window.left - 6);
  EXPECT_EQ(Client.bottom, Window.bottom - Window.top - 6);
  POINT Origin{0, 0};
  ClientToScreen(W, &Origin);
  EXPECT_EQ(Origin.x - Window.left, 3);
  EXPECT_EQ(Origin.y - Window.top, 3);
}

TEST_F(TFlatEditTest, RingsFlatHotAndFocused) {
  ExpectLook(Edit, Flat, "flat");
  EXPECT_EQ(Edit->Color(), Flat);

  Edit->SetFocus();
  test::PumpFor(50);
  ASSERT_TRUE(Edit->Focused());
  ExpectLook(Edit, Focus, "focused");
  EXPECT_EQ(Edit->Color(), Focus);
  Sink->SetFocus();
  ExpectLook(Edit, Flat, "focus gone");

  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  ASSERT_TRUE(Hover(Edit));
  ExpectLook(Edit, Focus, "hot under the real pointer");
  ASSERT_TRUE(Away(Edit));
  ExpectLook(Edit, Flat, "pointer gone");
}

TEST_F(TFlatEditTest, ColoursAreRepaintedAtOnce) {
  Edit->SetColorBorder(0x0000A0);
  Edit->SetColorFlat(0x00A000);
  const TRings R = Rings(Edit);
  EXPECT_EQ(R.Outer, 0x0000A0);
  EXPECT_EQ(R.Middle, 0x00A000);
  EXPECT_EQ(R.Text, 0x00A000);
  Edit->SetEnabled(false);
  const TRings Off = Rings(Edit);
  EXPECT_EQ(Off.Outer, 0x0000A0);
  EXPECT_EQ(Off.Middle, 0x00A000);
}

// While one flat edit holds the focus, hovering over another leaves that one
// flat; while an ordinary control holds it, the hovered edit lights up.
TEST_F(TFlatEditTest, HoverWhileAnotherFlatEditHasTheFocus) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  TFlatEdit* Other = MakeEdit(16, 60);
  Other->SetFocus();
  test::PumpFor(50);
  ASSERT_TRUE(Other->Focused());
  ASSERT_TRUE(Hover(Edit));
  ExpectLook(Edit, Flat, "hovered while a flat edit has the focus");
  ExpectLook(Other, Focus, "the focused one");
  ASSERT_TRUE(Away(Edit));

  Sink->SetFocus();
  test::PumpFor(50);
  ASSERT_TRUE(Hover(Edit));
  ExpectLook(Edit, Focus, "hovered while a button has the focus");
  ExpectLook(Other, Flat, "the other one");
  ASSERT_TRUE(Away(Edit));
  delete Other;
}

TEST_F(TFlatEditTest, ARealClickFocusesItAndKeysTypeIntoIt) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  std::string Changes;
  Edit->OnChange = [&](TObject*) { Changes += Edit->Text() + ";"; };
  // A click gives it the focus, as a user would.
  ASSERT_TRUE(test::MovePointer(Middle(Edit)));
  ASSERT_TRUE(test::Xdotool("click 1"));
  ASSERT_TRUE(test::PumpUntil([&] { return Edit->Focused(); }, 5000));
  // The keys through the system's input queue, as the keyboard brings them.
  // (xdotool's keys would do too, but under Wine they leave this process's
  // standard output dead, and with it the test's report.)
  for (WORD Key : {WORD('A'), WORD('B')}) {
    INPUT Press[2]{};
    Press[0].type = Press[1].type = INPUT_KEYBOARD;
    Press[0].ki.wVk = Press[1].ki.wVk = Key;
    Press[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, Press, sizeof(INPUT)), 2u);
    test::PumpFor(50);
  }
  EXPECT_TRUE(test::PumpUntil([&] { return Edit->Text() == "ab"; }, 5000));
  EXPECT_EQ(Changes, "a;ab;");
  ExpectLook(Edit, Focus, "focused while typing");
  ASSERT_TRUE(test::MovePointer(test::AwayPoint()));
}

// A form whose design holds an edit with a 15-pixel font and a stored
// height of 30: loading fits the height to the font.
class TLoadForm : public TForm {
 public:
  explicit TLoadForm(TComponent* AOwner) : TForm(AOwner) {
    Edit1 = new TFlatEdit(this);
    Edit1->SetParentFont(false);
    Edit1->Font().SetName("Tahoma");
    Edit1->Font().SetHeight(15);  // a cell height of 15 pixels
    Edit1->SetBounds(8, 8, 121, 30);
    Edit1->SetParent(this);
  }
  TFlatEdit* Edit1;
};

TEST(TFlatEditLoading, FifteenPixelFontGivesTwentyOne) {
  TLoadForm Form(nullptr);
  {
    TWindowDC DC = TWindowDC::Client(nullptr);
    TSelection Font(DC.Get(), Form.Edit1->Font().Handle());
    TEXTMETRICA Tm{};
    GetTextMetricsA(DC.Get(), &Tm);
    ASSERT_EQ(Tm.tmHeight, 15);
  }
  // The font change while loading already fitted it; put the stored height
  // back, as the design would have it just before Loaded.
  Form.Edit1->SetHeight(30);
  Form.AfterConstruction();
  EXPECT_EQ(Form.Edit1->Height(), 21);
  EXPECT_EQ(Form.Edit1->Width(), 121);
  // A later font change fits it again.
  Form.Edit1->Font().SetHeight(20);
  EXPECT_EQ(Form.Edit1->Height(), 26);
}

TEST_F(TFlatEditTest, ItsOwnParentColorFlag) {
  TForm& Form = test::ScreenForm();
  auto* E = new TFlatEdit(&Form);
  E->SetParent(&Form);
  // Following the parent means following it with ColorFlat.
  EXPECT_TRUE(E->ParentColor());
  EXPECT_EQ(E->ColorFlat(), test::FormColor);
  EXPECT_FALSE(E->TEdit::ParentColor());
  Form.SetColor(0x123456);
  EXPECT_EQ(E->ColorFlat(), 0x123456);
  // Assigning ColorFlat ends it: a later parent colour no longer reaches it.
  E->SetColorFlat(Flat);
  EXPECT_FALSE(E->ParentColor());
  Form.SetColor(0x654321);
  EXPECT_EQ(E->ColorFlat(), Flat);
  // Turning it on copies the parent's colour at once.
  E->SetParentColor(true);
  EXPECT_EQ(E->ColorFlat(), 0x654321);
  // Reached as any control, it is the same flag.
  E->SetColorFlat(Flat);
  TControl* AsControl = E;
  AsControl->SetParentColor(true);
  EXPECT_TRUE(AsControl->ParentColor());
  EXPECT_TRUE(E->ParentColor());
  EXPECT_EQ(E->ColorFlat(), 0x654321);
  EXPECT_FALSE(E->TEdit::ParentColor());
  Form.SetColor(test::FormColor);
  delete E;
}

TEST_F(TFlatEditTest, AdvancedColoursComeFromColorFlat) {
  Edit->SetUseAdvColors(true);
  // UseAdvColors turns ParentColor on: ColorFlat is the form's colour.
  EXPECT_TRUE(Edit->ParentColor());
  EXPECT_EQ(Edit->ColorFlat(), test::FormColor);
  EXPECT_EQ(Edit->ColorFocused(), ShiftLightness(test::FormColor, Focus, 10, lsLighten));
  EXPECT_EQ(Edit->ColorBorder(), ShiftLightness(test::FormColor, Rim, 50, lsDarken));
  const TRings R = Rings(Edit);
  EXPECT_EQ(R.Outer, Edit->ColorBorder());
  EXPECT_EQ(R.Middle, test::FormColor);
  // A percentage change applies while it is on.
  Edit->SetAdvColorBorder(20);
  EXPECT_EQ(Edit->ColorBorder(), ShiftLightness(test::FormColor, Rim, 20, lsDarken));
  // Off, percentages are only stored.
  Edit->SetUseAdvColors(false);
  const TColor Before = Edit->ColorBorder();
  Edit->SetAdvColorBorder(80);
  EXPECT_EQ(Edit->ColorBorder(), Before);
}

}  // namespace
}  // namespace lumora
