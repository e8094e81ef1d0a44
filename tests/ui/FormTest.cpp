// Forms: creation and destruction order, teardown while the form is whole,
// loading, creation parameters, layered alpha, closing, modal results, and
// the default error report (also for an error in OnCreate).

#include "ui/Form.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sys/LumoraError.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Edit.h"
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

TEST(Form, OnDestroyRunsWhileTheWholeFormExists) {
  struct TCase {
    const char* How;
    std::function<void(test::TMemberForm*)> Free;
  };
  const TCase Cases[] = {
      {"delete", [](test::TMemberForm* F) { delete F; }},
      {"delete through TComponent",
       [](test::TMemberForm* F) {
         TComponent* C = F;
         delete C;
       }},
  };
  for (const TCase& C : Cases) {
    auto* F = new test::TMemberForm(&Application());
    F->AfterConstruction();
    F->SetTag("F");
    test::TMemberForm::Journal().clear();
    C.Free(F);
    EXPECT_EQ(test::TMemberForm::Journal(),
              (Log{"F destroy: 3 queued, field of F", "F members gone"}))
        << C.How;
  }

  // Freed by their owner: last created first, each whole in its OnDestroy.
  test::TMemberForm::Journal().clear();
  {
    TComponent Owner(nullptr);
    for (const char* Tag : {"A", "B"}) {
      auto* F = new test::TMemberForm(&Owner);
      F->AfterConstruction();
      F->SetTag(Tag);
    }
  }
  EXPECT_EQ(test::TMemberForm::Journal(),
            (Log{"B destroy: 3 queued, field of B", "B members gone",
                 "A destroy: 3 queued, field of A", "A members gone"}));
}

// A form whose constructor makes its design: a component, and one that the
// component makes itself; and one more in OnCreate, in code.
class TDesignedForm : public TForm {
 public:
  explicit TDesignedForm(TComponent* AOwner) : TForm(AOwner) {
    Designed = new TTimer(this);
    Inner = new TTimer(Designed);
    LoadingWhileBuilt = Loading() && Designed->Loading() && Inner->Loading();
    OnCreate = [this](TObject*) { InCode = new TTimer(this); };
  }
  TTimer* Designed;
  TTimer* Inner;
  TTimer* InCode = nullptr;
  bool LoadingWhileBuilt;
};

TEST(Form, TheDesignLoadsUntilCreationWhatCodeMakesNever) {
  auto* F = new TDesignedForm(&Application());
  EXPECT_TRUE(F->LoadingWhileBuilt);
  F->AfterConstruction();
  EXPECT_FALSE(F->Loading());
  EXPECT_FALSE(F->Designed->Loading());
  EXPECT_FALSE(F->Inner->Loading());
  ASSERT_NE(F->InCode, nullptr);
  EXPECT_FALSE(F->InCode->Loading());
  TTimer Alone(nullptr);
  EXPECT_FALSE(Alone.Loading());
  TTimer OwnedByTheApplication(&Application());
  EXPECT_FALSE(OwnedByTheApplication.Loading());
  delete F;
}

// Start-up that fails half-way, as a window whose settings file is damaged.
class TFailingForm : public TForm {
 public:
  explicit TFailingForm(TComponent* AOwner) : TForm(AOwner) {
    Field = new TEdit(this);
    Field->SetParent(this);
    Field->OnChange = [this](TObject*) { Steps.push_back("changed to " + Field->Text()); };
    OnCreate = [this](TObject*) {
      Steps.push_back("reading settings");
      throw ELumoraError("The settings file is damaged");
    };
  }
  TEdit* Field;
  Log Steps;
};

TEST(Form, AnErrorInOnCreateIsReportedAndTheFormGoesOn) {
  test::TMessageBoxCatcher Catcher;
  TFailingForm* F = nullptr;
  ASSERT_NO_THROW(Application().CreateForm(F));
  ASSERT_NE(F, nullptr);
  ASSERT_EQ(Catcher.Boxes.size(), 1u);
  EXPECT_EQ(Catcher.Boxes[0].Text, "The settings file is damaged.");
  EXPECT_EQ(Catcher.Boxes[0].Caption, Application().Title());
  EXPECT_EQ(Catcher.Boxes[0].Icon, LoadIcon(nullptr, IDI_ERROR));

  // The form is there and works.
  EXPECT_TRUE(IsWindow(F->Handle()));
  F->Field->SetText("http://a/b.jpg");
  EXPECT_EQ(F->Steps, (Log{"reading settings", "changed to http://a/b.jpg"}));
  delete F;
  EXPECT_EQ(Catcher.Boxes.size(), 1u);
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
