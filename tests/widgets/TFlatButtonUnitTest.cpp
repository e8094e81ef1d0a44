// The flat button's behaviour on real windows: property rules, the press
// state machine and its click edges, groups, keys and accelerators, focus,
// the modal result, and the one shared hot-tracking timer, with the
// platform's own mouse messages and with real pointer moves on the display.

#include "widgets/TFlatButtonUnit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Timer.h"
#include "ui/UiTestSupport.h"

namespace lumora {
namespace {

using test::PumpFor;
using test::PumpUntil;

constexpr POINT Away{1100, 900};  // a point of the screen far from the form

class TFlatButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCursorPos(Away.x, Away.y);
    Form = new TForm(&Application());
    Form->SetBorderStyle(TFormBorderStyle::bsNone);
    Form->SetBounds(200, 200, 360, 120);
    Form->SetParentColor(false);
    Form->SetColor(0x806040);
    Sink = new TButton(Form);
    Sink->SetParent(Form);
    Sink->SetBounds(260, 80, 80, 24);
    B1 = MakeButton(16, "&OK");
    B2 = MakeButton(106, "&Two");
    B3 = MakeButton(196, "T&hree");
    Form->Show();
    SetForegroundWindow(Form->Handle());
    Sink->SetFocus();
    PumpFor(100);
  }
  void TearDown() override {
    delete Form;
    PumpFor(20);
  }

  TFlatButton* MakeButton(int Left, const std::string& Caption) {
    auto* B = new TFlatButton(Form);
    B->SetParent(Form);
    B->SetBounds(Left, 16, 75, 25);
    B->SetCaption(Caption);
    B->OnMouseDown = [this, B](TObject*, TMouseButton, TShiftState, int, int) {
      Log.push_back(Name(B) + " down");
    };
    B->OnMouseUp = [this, B](TObject*, TMouseButton, TShiftState, int, int) {
      Log.push_back(Name(B) + " up");
    };
    B->OnClick = [this, B](TObject*) { Log.push_back(Name(B) + " click"); };
    B->OnDblClick = [this, B](TObject*) { Log.push_back(Name(B) + " dblclick"); };
    return B;
  }
  std::string Name(TFlatButton* B) const { return B == B1 ? "b1" : B == B2 ? "b2" : "b3"; }

  static LPARAM At(int X, int Y) { return MAKELPARAM(static_cast<WORD>(X), static_cast<WORD>(Y)); }
  static void Press(TFlatButton* B, int X, int Y) {
    SendMessageA(B->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(X, Y));
  }
  static void Move(TFlatButton* B, int X, int Y, WPARAM Keys = MK_LBUTTON) {
    SendMessageA(B->Handle(), WM_MOUSEMOVE, Keys, At(X, Y));
  }
  static void Release(TFlatButton* B, int X, int Y) {
    SendMessageA(B->Handle(), WM_LBUTTONUP, 0, At(X, Y));
  }
  static void ClickAt(TFlatButton* B, int X = 10, int Y = 10) {
    Press(B, X, Y);
    Release(B, X, Y);
  }
  static std::string Screen(TFlatButton* B, int X, int Y) {
    const POINT P = B->ClientToScreen(POINT{X, Y});
    return std::to_string(P.x) + " " + std::to_string(P.y);
  }

  TForm* Form = nullptr;
  TButton* Sink = nullptr;
  TFlatButton *B1 = nullptr, *B2 = nullptr, *B3 = nullptr;
  std::vector<std::string> Log;
};

TEST_F(TFlatButtonTest, Defaults) {
  TFlatButton& B = *new TFlatButton(Form);
  EXPECT_EQ(B.Width(), 25);
  EXPECT_EQ(B.Height(), 25);
  EXPECT_EQ(B.ControlStyle(),
            static_cast<TControlStyle>(csCaptureMouse | csOpaque | csDoubleClicks));
  EXPECT_EQ(B.TransparentMode(), tmNone);
  EXPECT_EQ(B.ColorFocused(), 0xE1EAEB);
  EXPECT_EQ(B.ColorDown(), 0xC5D6D9);
  EXPECT_EQ(B.ColorBorder(), 0x8396A0);
  EXPECT_EQ(B.ColorHighLight(), 0xFFFFFF);
  EXPECT_EQ(B.ColorShadow(), 0x000000);
  EXPECT_EQ(B.AdvColorFocused(), 10);
  EXPECT_EQ(B.AdvColorDown(), 10);
  EXPECT_EQ(B.AdvColorBorder(), 50);
  EXPECT_EQ(B.Layout(), blGlyphTop);
  EXPECT_EQ(B.Margin(), -1);
  EXPECT_EQ(B.Spacing(), 4);
  EXPECT_EQ(B.NumGlyphs(), 1);
  EXPECT_TRUE(B.ParentColor());
  EXPECT_TRUE(B.ParentFont());
  EXPECT_FALSE(B.TabStop());
  EXPECT_EQ(B.FaceState(), stUp);
  EXPECT_FALSE(B.IsHot());
  // The declared default colour, until a parent's colour is taken over.
  EXPECT_EQ(B.Color(), 0xE1EAEB);
  B.SetParent(Form);
  EXPECT_EQ(B.Color(), 0x806040);
}

// Loaded draws the button anew with what its owner's design has set.
TEST_F(TFlatButtonTest, LoadedRepaints) {
  PumpFor(50);
  HWND W = B1->Handle();
  ValidateRect(W, nullptr);
  ASSERT_FALSE(GetUpdateRect(W, nullptr, FALSE));
  B1->Loaded();
  EXPECT_TRUE(GetUpdateRect(W, nullptr, FALSE));
}

// A button freed without BeforeDestruction, as a member or a local is, ends
// the shared tracking too: the timer never ticks for a button that is gone.
TEST_F(TFlatButtonTest, ALocalButtonThatGoesEndsTheTracking) {
  {
    TFlatButton Local(nullptr);
    Local.SetParent(Form);
    Local.SetBounds(16, 60, 75, 25);
    Move(&Local, 10, 10, 0);
    ASSERT_EQ(TFlatButton::HotTrackedButton(), &Local);
    ASSERT_TRUE(TFlatButton::HotTrackTimer()->Running());
  }
  EXPECT_EQ(TFlatButton::HotTrackedButton(), nullptr);
  EXPECT_FALSE(TFlatButton::HotTrackTimer()->Running());
}

TEST_F(TFlatButtonTest, GlyphMarginAndDownRules) {
  struct TCase {
    int W, H, Before, After;
  };
  for (const TCase& C : {TCase{64, 16, 1, 4}, TCase{80, 16, 3, 1}, TCase{20, 16, 2, 2},
                         TCase{32, 16, 1, 2}, TCase{48, 16, 1, 3}, TCase{16, 16, 3, 1}}) {
    SCOPED_TRACE(std::to_string(C.W) + "x" + std::to_string(C.H));
    B1->SetNumGlyphs(C.Before);
    TBitmap Glyph(C.W, C.H);
    B1->SetGlyph(&Glyph);
    EXPECT_EQ(B1->NumGlyphs(), C.After);
    EXPECT_EQ(B1->Glyph().Width(), C.W);  // a copy of its own
  }
  B1->SetMargin(5);
  B1->SetMargin(-2);
  EXPECT_EQ(B1->Margin(), 5);
  B1->SetMargin(-1);
  EXPECT_EQ(B1->Margin(), -1);
  // Ungrouped, Down cannot be set.
  B1->SetDown(true);
  EXPECT_FALSE(B1->Down());
  EXPECT_EQ(B1->FaceState(), stUp);
}

// Press, drag off and back, release off: no click, and the button ends cold.
TEST_F(TFlatButtonTest, PressDragOffRelease) {
  Press(B1, 10, 10);
  EXPECT_EQ(B1->FaceState(), stDown);
  EXPECT_TRUE(B1->Pressing());
  Move(B1, 200, 10);
  EXPECT_EQ(B1->FaceState(), stUp);
  Move(B1, 10, 10);
  EXPECT_EQ(B1->FaceState(), stDown);
  Move(B1, 10, 60);
  EXPECT_EQ(B1->FaceState(), stUp);
  Release(B1, 10, 60);
  PumpFor(50);
  EXPECT_EQ(Log, (std::vector<std::string>{"b1 down", "b1 up"}));
  EXPECT_EQ(B1->FaceState(), stUp);
  EXPECT_FALSE(B1->Pressing());
  EXPECT_FALSE(B1->IsHot());
}

// The row just below the button counts as inside, the column just right of
// it does not; a press and release inside gives down, up, click in order.
TEST_F(TFlatButtonTest, ReleaseEdges) {
  struct TCase {
    int X, Y;
    bool Clicks;
  };
  for (const TCase& C : {TCase{10, 10, true}, TCase{10, 25, true}, TCase{74, 25, true},
                         TCase{75, 10, false}, TCase{10, 26, false}, TCase{-1, 10, false}}) {
    SCOPED_TRACE(std::to_string(C.X) + "," + std::to_string(C.Y));
    Log.clear();
    Press(B1, 10, 10);
    Release(B1, C.X, C.Y);
    if (C.Clicks) {
      EXPECT_EQ(Log, (std::vector<std::string>{"b1 down", "b1 up", "b1 click"}));
    } else {
      EXPECT_EQ(Log, (std::vector<std::string>{"b1 down", "b1 up"}));
    }
    EXPECT_EQ(B1->FaceState(), stUp);
  }
}

TEST_F(TFlatButtonTest, Groups) {
  for (TFlatButton* B : {B1, B2, B3}) B->SetGroupIndex(1);
  ClickAt(B1);
  EXPECT_TRUE(B1->Down());
  EXPECT_EQ(B1->FaceState(), stExclusive);
  ClickAt(B2);
  EXPECT_TRUE(B2->Down());
  EXPECT_FALSE(B1->Down());
  EXPECT_EQ(B1->FaceState(), stUp);
  // AllowAllUp False: clicking the down button keeps it down and still clicks.
  Log.clear();
  ClickAt(B2);
  EXPECT_TRUE(B2->Down());
  EXPECT_EQ(B2->FaceState(), stExclusive);
  EXPECT_EQ(Log, (std::vector<std::string>{"b2 down", "b2 up", "b2 click"}));
  // Setting AllowAllUp on one member hands it to the others of the group.
  B2->SetAllowAllUp(true);
  EXPECT_TRUE(B1->AllowAllUp());
  EXPECT_TRUE(B3->AllowAllUp());
  ClickAt(B2);
  EXPECT_FALSE(B2->Down());
  EXPECT_EQ(B2->FaceState(), stUp);
  // Setting Down goes through the same rule and releases the others.
  B3->SetDown(true);
  B1->SetDown(true);
  EXPECT_TRUE(B1->Down());
  EXPECT_FALSE(B3->Down());
  // Another group is not touched.
  B2->SetGroupIndex(2);
  B2->SetDown(true);
  EXPECT_TRUE(B1->Down());
  EXPECT_TRUE(B2->Down());
}

TEST_F(TFlatButtonTest, ModalResultDoubleClickKeysAndAccelerators) {
  // The form's modal result follows the button's, 0 included.
  Form->SetModalResult(5);
  ClickAt(B1);
  EXPECT_EQ(Form->ModalResult(), 0);
  B1->SetModalResult(2);
  B1->FireClick();
  EXPECT_EQ(Form->ModalResult(), 2);
  Form->SetModalResult(0);

  // A double click is a press; only a down button reports it, after the
  // press.
  Log.clear();
  SendMessageA(B1->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(10, 10));
  Release(B1, 10, 10);
  EXPECT_EQ(Log, (std::vector<std::string>{"b1 down", "b1 up", "b1 click"}));
  B1->SetGroupIndex(1);
  B1->SetDown(true);
  Log.clear();
  SendMessageA(B1->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(10, 10));
  Release(B1, 10, 10);
  EXPECT_EQ(Log, (std::vector<std::string>{"b1 down", "b1 dblclick", "b1 up", "b1 click"}));

  // Space: ungrouped, down on press and up with a click on release.
  Log.clear();
  int Keys = 0;
  B2->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++Keys; };
  SendMessageA(B2->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(B2->FaceState(), stDown);
  SendMessageA(B2->Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(B2->FaceState(), stUp);
  EXPECT_EQ(Log, (std::vector<std::string>{"b2 click"}));
  // Other keys are swallowed.
  SendMessageA(B2->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Keys, 0);
  // Grouped with AllowAllUp: down on the press, up again on the release.
  B2->SetGroupIndex(3);
  B2->SetAllowAllUp(true);
  SendMessageA(B2->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(B2->Down());
  SendMessageA(B2->Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_FALSE(B2->Down());
  // Without AllowAllUp it stays down.
  B2->SetAllowAllUp(false);
  SendMessageA(B2->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(B2->Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_TRUE(B2->Down());

  // Accelerators: the & letter without regard to case, only when enabled.
  Log.clear();
  EXPECT_TRUE(Form->DialogChar('h'));
  EXPECT_FALSE(Form->DialogChar('x'));
  B3->SetEnabled(false);
  EXPECT_FALSE(Form->DialogChar('H'));
  EXPECT_EQ(Log, (std::vector<std::string>{"b3 click"}));
}

TEST_F(TFlatButtonTest, FocusEnabledAndDefault) {
  B1->SetFocus();
  PumpFor(30);
  EXPECT_TRUE(B1->IsHot());
  Sink->SetFocus();
  PumpFor(30);
  EXPECT_FALSE(B1->IsHot());

  B1->SetEnabled(false);
  EXPECT_EQ(B1->FaceState(), stDisabled);
  Press(B1, 10, 10);
  EXPECT_FALSE(B1->Pressing());
  B1->SetEnabled(true);
  B1->Repaint();
  EXPECT_EQ(B1->FaceState(), stUp);

  // Default makes the form tell its controls who is active.
  int Told = 0;
  struct TListener : TFlatButton {
    using TFlatButton::TFlatButton;
    int* Count = nullptr;
    void WndProc(TMessage& M) override {
      if (M.Msg == CM_FOCUSCHANGED && Count) ++*Count;
      TFlatButton::WndProc(M);
    }
  };
  auto* L = new TListener(Form);
  L->SetParent(Form);
  L->SetBounds(16, 60, 40, 20);
  L->Count = &Told;
  B1->SetDefault(true);
  EXPECT_GE(Told, 1);
}

// UseAdvColors follows the parent's colour and derives the others from it,
// again whenever the parent's colour changes; 0 percent keeps a colour.
TEST_F(TFlatButtonTest, AdvancedColours) {
  B1->SetParentColor(false);
  B1->SetColor(0x123456);
  B1->SetUseAdvColors(true);
  EXPECT_TRUE(B1->ParentColor());
  EXPECT_EQ(B1->Color(), 0x806040);
  EXPECT_EQ(B1->ColorFocused(), ShiftLightness(0x806040, 0xE1EAEB, 10, lsLighten));
  EXPECT_EQ(B1->ColorDown(), ShiftLightness(0x806040, 0xC5D6D9, 10, lsDarken));
  EXPECT_EQ(B1->ColorBorder(), ShiftLightness(0x806040, 0x8396A0, 50, lsDarken));
  B1->SetAdvColorDown(0);
  const TColor Down = B1->ColorDown();
  Form->SetColor(0x30A0F0);
  EXPECT_EQ(B1->Color(), 0x30A0F0);
  EXPECT_EQ(B1->ColorBorder(), ShiftLightness(0x30A0F0, B1->ColorBorder(), 50, lsDarken));
  EXPECT_EQ(B1->ColorDown(), Down);
  B1->SetAdvColorBorder(300);
  EXPECT_EQ(B1->AdvColorBorder(), 100);
  // Without UseAdvColors nothing is derived.
  B2->SetColorFocused(0x010203);
  Form->SetColor(0x806040);
  EXPECT_EQ(B2->ColorFocused(), 0x010203);
}

// Real pointer moves on the display: hot tracking from the platform's own
// mouse messages, one timer for all buttons, stopped once none is hot and
// freed with the last button.
TEST_F(TFlatButtonTest, SharedTimerAndRealPointer) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  TTimer* Timer = TFlatButton::HotTrackTimer();
  ASSERT_NE(Timer, nullptr);
  EXPECT_FALSE(Timer->Running());
  auto Xdo = [](const std::string& Args) {
    ASSERT_TRUE(test::StartHostProgram("Z:\\usr\\bin\\xdotool " + Args));
  };

  Xdo("mousemove " + Screen(B1, 30, 12));
  ASSERT_TRUE(PumpUntil([&] { return B1->IsHot(); }, 5000));
  EXPECT_EQ(TFlatButton::HotTrackedButton(), B1);
  EXPECT_TRUE(Timer->Running());
  Xdo("mousemove " + Screen(B2, 30, 12));
  ASSERT_TRUE(PumpUntil([&] { return B2->IsHot(); }, 5000));
  EXPECT_FALSE(B1->IsHot());
  EXPECT_EQ(TFlatButton::HotTrackedButton(), B2);
  EXPECT_EQ(TFlatButton::HotTrackTimer(), Timer);
  EXPECT_TRUE(Timer->Running());
  // Off the form: the timer's next tick finds the cursor gone.
  Xdo("mousemove " + std::to_string(Away.x) + " " + std::to_string(Away.y));
  ASSERT_TRUE(PumpUntil([&] { return !B2->IsHot(); }, 5000));
  EXPECT_EQ(TFlatButton::HotTrackedButton(), nullptr);
  EXPECT_FALSE(Timer->Running());

  // Press, release inside: a click, and the face goes up.
  Log.clear();
  Xdo("mousemove " + Screen(B3, 30, 12) + " sleep 0.3 mousedown 1");
  ASSERT_TRUE(PumpUntil([&] { return B3->Pressing(); }, 5000));
  EXPECT_TRUE(B3->IsHot());
  EXPECT_EQ(B3->FaceState(), stDown);
  Xdo("mouseup 1");
  ASSERT_TRUE(PumpUntil([&] { return !B3->Pressing(); }, 5000));
  PumpFor(100);
  EXPECT_EQ(Log, (std::vector<std::string>{"b3 down", "b3 up", "b3 click"}));
  EXPECT_EQ(B3->FaceState(), stUp);
  EXPECT_TRUE(B3->IsHot());  // the cursor is still over it

  // Press, drag off, release: no click, cold, no tracking left.
  Log.clear();
  Xdo("mousemove " + Screen(B1, 30, 12) + " sleep 0.3 mousedown 1 sleep 0.3 mousemove " +
      Screen(B1, 30, 80) + " sleep 0.3 mouseup 1");
  ASSERT_TRUE(PumpUntil([&] { return Log.size() >= 2; }, 5000));
  PumpFor(300);
  EXPECT_EQ(Log, (std::vector<std::string>{"b1 down", "b1 up"}));
  EXPECT_FALSE(B1->IsHot());
  EXPECT_EQ(B1->FaceState(), stUp);
  EXPECT_FALSE(Timer->Running());

  // A hot button that goes stops the tracking; the last one frees the timer.
  Xdo("mousemove " + Screen(B2, 30, 12));
  ASSERT_TRUE(PumpUntil([&] { return B2->IsHot(); }, 5000));
  delete B2;
  B2 = nullptr;
  EXPECT_EQ(TFlatButton::HotTrackedButton(), nullptr);
  EXPECT_FALSE(Timer->Running());
  Xdo("mousemove " + std::to_string(Away.x) + " " + std::to_string(Away.y));
  PumpFor(300);
  delete B1;
  delete B3;
  B1 = B3 = nullptr;
  EXPECT_EQ(TFlatButton::HotTrackTimer(), nullptr);
}

}  // namespace
}  // namespace lumora
