// Forms: creation and destruction order, creation parameters, layered
// alpha, closing, modal results, and the default error report.

#include "ui/Form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sys/LumoraError.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/ErrorReport.h"
#include "ui/Timer.h"
#include "ui/UiTestSupport.h"

namespace lumora {
namespace {

using Log = std::vector<std::string>;

class TLoggedControl : public TControl {
 public:
  TLoggedControl(TComponent* O, Log& L, const std::string& N) : TControl(O), FLog(L) { SetName(N); }
  ~TLoggedControl() override { FLog.push_back("free " + Name()); }
  void Loaded() override {
    TControl::Loaded();
    FLog.push_back("loaded " + Name());
  }
  Log& FLog;
};

// A form in the style of the program's windows: controls made and set in
// the constructor, then the creation steps.
class TSampleForm : public TForm {
 public:
  TSampleForm(TComponent* AOwner, Log& L) : TForm(AOwner), FLog(L) {
    auto* A = new TLoggedControl(this, L, "A");
    A->SetParent(this);
    auto* B = new TLoggedControl(this, L, "B");
    B->SetParent(this);
    OnCreate = [this](TObject*) {
      FLog.push_back("create, handle " + std::string(HandleAllocated() ? "yes" : "no"));
    };
    OnDestroy = [this](TObject*) {
      FLog.push_back("destroy, children " + std::to_string(ControlCount()));
    };
  }
  Log& FLog;
};

// Extended styles and no owner window, as the floating drop window asks.
class TTopForm : public TForm {
 public:
  using TForm::TForm;

 protected:
  void CreateParams(TCreateParams& P) override {
    TForm::CreateParams(P);
    P.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    P.WndParent = nullptr;
  }
};

TEST(Form, CreationAndDestructionRunInOrder) {
  Log L;
  auto* F = new TSampleForm(&Application(), L);
  F->AfterConstruction();
  EXPECT_EQ(L, (Log{"loaded A", "loaded B", "create, handle no"}));
  L.clear();
  delete F;
  // The destruction event sees the controls; they go last created first.
  EXPECT_EQ(L, (Log{"destroy, children 2", "free B", "free A"}));
}

TEST(Form, CreateParamsDecideStylesAndOwner) {
  TForm Plain(nullptr);
  EXPECT_EQ(GetWindow(Plain.Handle(), GW_OWNER), Application().Handle());

  TTopForm Top(nullptr);
  HWND W = Top.Handle();
  EXPECT_EQ(GetWindow(W, GW_OWNER), nullptr);
  const LONG Ex = GetWindowLongA(W, GWL_EXSTYLE);
  EXPECT_TRUE(Ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(Ex & WS_EX_TOPMOST);

  Top.SetAlphaBlendValue(200);
  Top.SetAlphaBlend(true);
  EXPECT_TRUE(GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(W, nullptr, &Alpha, &Flags));
  EXPECT_EQ(Alpha, 200);
  EXPECT_TRUE(Flags & LWA_ALPHA);

  // Kept when the window is made anew.
  Top.SetBorderStyle(TFormBorderStyle::bsNone);
  ASSERT_TRUE(GetLayeredWindowAttributes(Top.Handle(), nullptr, &Alpha, &Flags));
  EXPECT_EQ(Alpha, 200);
}

TEST(Form, ClosingAFormThatIsNotTheMainOneHidesIt) {
  TForm F(&Application());
  F.Show();
  ASSERT_TRUE(IsWindowVisible(F.Handle()));
  SendMessageA(F.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(F.Visible());
  EXPECT_FALSE(IsWindowVisible(F.Handle()));
  EXPECT_TRUE(IsWindow(F.Handle()));
  EXPECT_FALSE(Application().Terminated());
}

TEST(Form, ShowModalReturnsTheModalResultOfTheButton) {
  TForm Dialog(nullptr);
  auto* Ok = new TButton(&Dialog);
  Ok->SetParent(&Dialog);
  Ok->SetModalResult(1);
  TForm Other(nullptr);
  Other.Show();
  bool OtherDisabled = false;
  TTimer Timer(nullptr);
  Timer.SetInterval(50);
  Timer.SetOnTimer([&](TObject*) {
    Timer.SetEnabled(false);
    OtherDisabled = !IsWindowEnabled(Other.Handle());
    SendMessageA(Ok->Handle(), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(Dialog.ShowModal(), 1);
  EXPECT_TRUE(OtherDisabled);
  EXPECT_TRUE(IsWindowEnabled(Other.Handle()));
  EXPECT_FALSE(Dialog.Visible());
}

TEST(ErrorReport, TextGetsAFullStopAfterCharactersAboveIt) {
  struct TCase {
    const char* In;
    const char* Out;
  };
  for (const TCase& C :
       {TCase{"Failed", "Failed."}, TCase{"Done.", "Done."}, TCase{"Stop!", "Stop!"},
        TCase{"Why?", "Why?."}, TCase{"1,2,", "1,2,"}, TCase{"a-", "a-"}, TCase{"x/", "x/."},
        TCase{"", ""}, TCase{"\xE9", "\xE9."}})
    EXPECT_EQ(ErrorReportText(C.In), C.Out) << C.In;
}

TEST(ErrorReport, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
  TForm F(nullptr);
  auto* Button = new TButton(&F);
  Button->SetParent(&F);
  bool RestRan = false;
  Button->OnClick = [&](TObject*) {
    throw ELumoraError("'x' is not a valid integer value");
    RestRan = true;
  };
  test::TMessageBoxCatcher Catcher;
  SendMessageA(Button->Handle(), BM_CLICK, 0, 0);  // through the window procedure
  ASSERT_EQ(Catcher.Boxes.size(), 1u);
  EXPECT_EQ(Catcher.Boxes[0].Text, "'x' is not a valid integer value.");
  EXPECT_EQ(Catcher.Boxes[0].Caption, Application().Title());
  EXPECT_EQ(Catcher.Boxes[0].VisibleButtons, 1);
  EXPECT_EQ(Catcher.Boxes[0].Icon, LoadIcon(nullptr, IDI_ERROR));
  EXPECT_FALSE(RestRan);

  // A timer's handler too, and the program goes on. (Wine stops a timer
  // whose tick ran a message box, even in plain Win32 code, so the proof of
  // life is another timer.)
  TTimer Timer(nullptr);
  int Ticks = 0;
  Timer.SetInterval(20);
  Timer.SetOnTimer([&](TObject*) {
    Timer.SetEnabled(false);
    ++Ticks;
    throw std::runtime_error("tick failed");
  });
  EXPECT_TRUE(test::PumpUntil([&] { return Ticks == 1; }));
  ASSERT_EQ(Catcher.Boxes.size(), 2u);
  EXPECT_EQ(Catcher.Boxes[1].Text, "tick failed.");
  TTimer After(nullptr);
  int AfterTicks = 0;
  After.SetInterval(20);
  After.SetOnTimer([&](TObject*) { ++AfterTicks; });
  EXPECT_TRUE(test::PumpUntil([&] { return AfterTicks >= 2; }));
}

}  // namespace
}  // namespace lumora
