// Controls on real windows: mouse events and clicks (a real double click
// too), windowless children, enter and leave, notices and queries, focus,
// accelerators, painting and erasing by pixels, drawing outside a paint,
// teardown, recreation of a window and lookups by screen point.

#include "ui/Control.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sys/LumoraError.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Button.h"
#include "ui/Canvas.h"
#include "ui/ControlCanvas.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/GdiObjects.h"
#include "ui/Hints.h"
#include "ui/Image.h"
#include "ui/Menus.h"
#include "ui/UiTestSupport.h"

namespace lumora {
namespace {

using test::PumpFor;
using test::PumpUntil;
using Log = std::vector<std::string>;

std::string NotificationName(UINT Msg) {
  switch (Msg) {
    case CM_ENABLEDCHANGED:
      return "enabled";
    case CM_COLORCHANGED:
      return "color";
    case CM_FONTCHANGED:
      return "font";
    case CM_TEXTCHANGED:
      return "text";
    case CM_PARENTCOLORCHANGED:
      return "parentcolor";
    case CM_PARENTFONTCHANGED:
      return "parentfont";
    case CM_SYSCOLORCHANGE:
      return "syscolor";
    case CM_FOCUSCHANGED:
      return "focuschanged";
    case CM_MOUSEENTER:
      return "enter";
    case CM_MOUSELEAVE:
      return "leave";
    case CM_ENTER:
      return "cmenter";
    case CM_EXIT:
      return "cmexit";
    default:
      return "";
  }
}

// A windowed control that paints itself in one colour and writes down what
// happens to it, and which colour each paint found before it painted: the
// erase's, or what the previous paint left.
class TProbe : public TCustomControl {
 public:
  TProbe(TComponent* AOwner, Log& L, const std::string& Tag) : TCustomControl(AOwner), FLog(L) {
    SetName(Tag);
    SetBounds(0, 0, 40, 30);
    OnMouseDown = [this](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
      FLog.push_back(Name() + " down " + std::to_string(static_cast<int>(B)) + " " +
                     std::to_string(X) + "," + std::to_string(Y) +
                     ((S & ssDouble) ? " double" : ""));
    };
    OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) {
      FLog.push_back(Name() + " up");
    };
    OnClick = [this](TObject*) { FLog.push_back(Name() + " click"); };
    OnDblClick = [this](TObject*) { FLog.push_back(Name() + " dblclick"); };
    OnMouseEnter = [this](TObject*) { FLog.push_back(Name() + " mouseenter"); };
    OnMouseLeave = [this](TObject*) { FLog.push_back(Name() + " mouseleave"); };
  }
  void WndProc(TMessage& M) override {
    const std::string N = NotificationName(M.Msg);
    if (!N.empty() && Recording) FLog.push_back(Name() + " " + N);
    TCustomControl::WndProc(M);
  }
  TColor Face = clRed;
  bool Recording = false;
  std::vector<TColor> Found;

 protected:
  void Paint() override {
    Found.push_back(Canvas().Pixel(2, 2));
    Canvas().Brush().SetColor(Face);
    RECT R = ClientRect();
    Canvas().FillRect(R);
  }

 private:
  Log& FLog;
};

class TControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = new TForm(&Application());
    Form->SetBorderStyle(TFormBorderStyle::bsNone);
    Form->SetBounds(100, 100, 200, 150);
    Form->SetColor(clWhite);
  }
  void TearDown() override { delete Form; }

  TProbe* AddProbe(const std::string& Tag, int X, int Y) {
    auto* P = new TProbe(Form, L, Tag);
    P->SetParent(Form);
    P->SetBounds(X, Y, 40, 30);
    return P;
  }

  TForm* Form = nullptr;
  Log L;
};

TEST_F(TControlTest, ClickIsALeftPressReleasedInside) {
  TProbe* P = AddProbe("P", 10, 10);
  HWND W = P->Handle();
  test::SendClick(W, 5, 6);
  EXPECT_EQ(L, (Log{"P down 0 5,6", "P click", "P up"}));

  L.clear();
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(50, 5));  // released outside
  EXPECT_EQ(L, (Log{"P down 0 5,5", "P up"}));

  L.clear();
  SendMessageA(W, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 2));
  SendMessageA(W, WM_RBUTTONUP, 0, MAKELPARAM(1, 2));
  EXPECT_EQ(L, (Log{"P down 1 1,2", "P up"}));
}

TEST_F(TControlTest, DoubleClickComesAfterTheFirstClick) {
  TProbe* P = AddProbe("P", 10, 10);
  HWND W = P->Handle();
  test::SendClick(W, 3, 3);
  SendMessageA(W, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  // The second press raises the double click, not a second click.
  EXPECT_EQ(L,
            (Log{"P down 0 3,3", "P click", "P up", "P dblclick", "P down 0 3,3 double", "P up"}));
}

// Mouse input as the system delivers it: two quick presses at one point
// become a press and a double click.
void RealDoubleClick(POINT ScreenPoint) {
  SetCursorPos(ScreenPoint.x, ScreenPoint.y);
  test::PumpFor(30);
  INPUT In[4] = {};
  const DWORD Flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                          MOUSEEVENTF_LEFTUP};
  for (int I = 0; I < 4; ++I) {
    In[I].type = INPUT_MOUSE;
    In[I].mi.dwFlags = Flags[I];
  }
  SendInput(4, In, sizeof(INPUT));
}

TEST_F(TControlTest, ARealDoubleClickClicksOnce) {
  TProbe* P = AddProbe("P", 10, 10);
  auto* Image = new TImage(Form);
  Image->SetParent(Form);
  Image->SetBounds(100, 20, 30, 20);
  Log ImageEvents;
  Image->OnMouseDown = [&](TObject*, TMouseButton, TShiftState S, int, int) {
    ImageEvents.push_back((S & ssDouble) ? "down double" : "down");
  };
  Image->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
    ImageEvents.push_back("up");
  };
  Image->OnClick = [&](TObject*) { ImageEvents.push_back("click"); };
  Image->OnDblClick = [&](TObject*) { ImageEvents.push_back("dblclick"); };
  P->OnMouseEnter = nullptr;
  P->OnMouseLeave = nullptr;
  Form->Show();
  SetForegroundWindow(Form->Handle());
  PumpFor(50);

  RealDoubleClick(P->ClientToScreen(POINT{4, 5}));
  EXPECT_TRUE(PumpUntil([&] { return L.size() >= 6; }));
  PumpFor(50);
  EXPECT_EQ(L,
            (Log{"P down 0 4,5", "P click", "P up", "P dblclick", "P down 0 4,5 double", "P up"}));

  // A windowless child, through its parent's window.
  PumpFor(GetDoubleClickTime() + 50);  // no double click across the two
  RealDoubleClick(Image->ClientToScreen(POINT{4, 5}));
  EXPECT_TRUE(PumpUntil([&] { return ImageEvents.size() >= 6; }));
  PumpFor(50);
  EXPECT_EQ(ImageEvents, (Log{"down", "click", "up", "dblclick", "down double", "up"}));
}

TEST_F(TControlTest, WindowlessChildrenGetTheirMouseInTheirOwnCoordinates) {
  auto* Image = new TImage(Form);
  Image->SetParent(Form);
  Image->SetBounds(50, 40, 30, 20);
  Log Events;
  Image->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
    Events.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
  };
  Image->OnClick = [&](TObject*) { Events.push_back("click"); };
  Image->OnDblClick = [&](TObject*) { Events.push_back("dblclick"); };
  Image->OnMouseEnter = [&](TObject*) { Events.push_back("enter"); };
  Image->OnMouseLeave = [&](TObject*) { Events.push_back("leave"); };
  Form->OnClick = [&](TObject*) { Events.push_back("form click"); };
  HWND W = Form->Handle();

  SendMessageA(W, WM_MOUSEMOVE, 0, MAKELPARAM(55, 45));
  test::SendClick(W, 55, 45);
  SendMessageA(W, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(55, 45));
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(55, 45));
  SendMessageA(W, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  test::SendClick(W, 5, 5);
  EXPECT_EQ(Events,
            (Log{"enter", "down 5,5", "click", "dblclick", "down 5,5", "leave", "form click"}));
}

TEST_F(TControlTest, EnterAndLeaveOfAWindowedControl) {
  TProbe* P = AddProbe("P", 10, 10);
  Form->Show();
  HWND W = P->Handle();
  SendMessageA(W, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  SendMessageA(W, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(P->MouseInControl());
  SendMessageA(W, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(P->MouseInControl());
  EXPECT_EQ(L, (Log{"P mouseenter", "P mouseleave"}));
}

TEST_F(TControlTest, ParentColourAndFontFlowDownUntilAChildSetsItsOwn) {
  TProbe* A = AddProbe("A", 0, 0);
  TProbe* B = AddProbe("B", 50, 0);
  A->Recording = B->Recording = true;
  Form->SetColor(clBlue);
  EXPECT_EQ(A->Color(), clBlue);
  EXPECT_TRUE(A->ParentColor());

  B->SetColor(clGreen);
  EXPECT_FALSE(B->ParentColor());
  L.clear();
  Form->SetColor(clYellow);
  EXPECT_EQ(A->Color(), clYellow);
  EXPECT_EQ(B->Color(), clGreen);
  EXPECT_EQ(L, (Log{"A parentcolor", "A color", "B parentcolor"}));

  L.clear();
  Form->Font().SetHeight(-20);
  EXPECT_EQ(A->Font().Height(), -20);
  EXPECT_TRUE(A->ParentFont());
  EXPECT_EQ(L, (Log{"A parentfont", "A font", "B parentfont", "B font"}));
  B->Font().SetName("Arial");
  EXPECT_FALSE(B->ParentFont());
  Form->Font().SetHeight(-9);
  EXPECT_EQ(B->Font().Height(), -20);

  // Back to following: takes the parent's colour at once.
  B->SetParentColor(true);
  EXPECT_EQ(B->Color(), clYellow);
}

TEST_F(TControlTest, NotificationsOfEnabledTextAndSystemColours) {
  TProbe* P = AddProbe("P", 0, 0);
  P->Recording = true;
  P->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(P->Handle()));
  P->SetEnabled(false);  // no change, no notice
  P->SetText("Hello");
  P->SetText("Hello");
  EXPECT_EQ(P->Text(), "Hello");
  char Buffer[16] = {};
  GetWindowTextA(P->Handle(), Buffer, sizeof Buffer);
  EXPECT_STREQ(Buffer, "Hello");
  SendMessageA(Form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(L, (Log{"P enabled", "P text", "P syscolor"}));
}

TEST_F(TControlTest, NoticesReachEveryChildWhateverOneAnswers) {
  // The first child answers every notice; those after it must hear them all
  // the same.
  class TAnswering : public TControl {
   public:
    using TControl::TControl;
    void WndProc(TMessage& M) override {
      TControl::WndProc(M);
      M.Result = 1;
    }
  };
  (new TAnswering(Form))->SetParent(Form);
  TProbe* B = AddProbe("B", 50, 0);
  B->Recording = true;
  struct TCase {
    const char* What;
    std::function<void()> Act;
    std::function<bool()> Heard;
  };
  const TCase Cases[] = {
      {"parent colour", [&] { Form->SetColor(clYellow); }, [&] { return B->Color() == clYellow; }},
      {"parent font", [&] { Form->Font().SetHeight(-20); },
       [&] { return B->Font().Height() == -20; }},
      {"system colours", [&] { SendMessageA(Form->Handle(), WM_SYSCOLORCHANGE, 0, 0); },
       [&] { return std::find(L.begin(), L.end(), "B syscolor") != L.end(); }},
      {"parent hint", [&] { Form->SetShowHint(true); }, [&] { return B->ShowHint(); }},
  };
  for (const TCase& C : Cases) {
    L.clear();
    C.Act();
    EXPECT_TRUE(C.Heard()) << C.What;
  }
}

TEST_F(TControlTest, AQueryStopsAtTheFirstAnswerAGroupNoticeDoesNot) {
  TProbe* A = AddProbe("A", 0, 0);
  TProbe* B = AddProbe("B", 50, 0);
  (void)A;
  (void)B;
  int Seen = 0;
  class TAnswer : public TControl {
   public:
    TAnswer(TComponent* O, int& S) : TControl(O), FSeen(S) {}
    void WndProc(TMessage& M) override {
      if (M.Msg == CM_GROUPNOTIFY) {
        ++FSeen;
        if (M.WParam == 7) M.Result = 1;
        return;
      }
      TControl::WndProc(M);
    }
    int& FSeen;
  };
  auto* First = new TAnswer(Form, Seen);
  First->SetParent(Form);
  auto* Second = new TAnswer(Form, Seen);
  Second->SetParent(Form);
  TMessage Query{CM_GROUPNOTIFY, 3, 0, 0};
  Form->Broadcast(Query);
  EXPECT_EQ(Seen, 2);
  EXPECT_EQ(Query.Result, 0);
  Seen = 0;
  Query = TMessage{CM_GROUPNOTIFY, 7, 0, 0};
  Form->Broadcast(Query);
  EXPECT_EQ(Seen, 1);
  EXPECT_EQ(Query.Result, 1);

  // As a notice, the group change reaches every member.
  Seen = 0;
  Form->NotifyControls(CM_GROUPNOTIFY, 7, 0);
  EXPECT_EQ(Seen, 2);
}

TEST_F(TControlTest, FocusMovesTheActiveControlAndTellsEveryone) {
  auto* E1 = new TEdit(Form);
  E1->SetParent(Form);
  auto* E2 = new TEdit(Form);
  E2->SetParent(Form);
  E2->SetTop(30);
  TProbe* Watcher = AddProbe("W", 0, 80);
  Log Events;
  E1->OnEnter = [&](TObject*) { Events.push_back("E1 enter"); };
  E1->OnExit = [&](TObject*) { Events.push_back("E1 exit"); };
  E2->OnEnter = [&](TObject*) { Events.push_back("E2 enter"); };
  TWinControl* Told = nullptr;
  Watcher->Recording = false;
  class TSpy : public TControl {
   public:
    TSpy(TComponent* O, TWinControl*& T) : TControl(O), FTold(T) {}
    void WndProc(TMessage& M) override {
      if (M.Msg == CM_FOCUSCHANGED) FTold = reinterpret_cast<TWinControl*>(M.LParam);
      TControl::WndProc(M);
    }
    TWinControl*& FTold;
  };
  (new TSpy(Form, Told))->SetParent(Form);

  Form->Show();
  SetForegroundWindow(Form->Handle());
  Form->FocusControl(E1);
  Form->FocusControl(E2);
  EXPECT_EQ(Form->ActiveControl(), E2);
  EXPECT_EQ(Told, E2);
  EXPECT_EQ(GetFocus(), E2->Handle());
  EXPECT_EQ(Events, (Log{"E1 enter", "E1 exit", "E2 enter"}));

  // Tab order: forward from E2 wraps round to E1 (the probe takes no tab).
  Form->SelectNext(true);
  EXPECT_EQ(Form->ActiveControl(), E1);
}

TEST_F(TControlTest, AcceleratorsReachTheControlWhoseCaptionMarksThem) {
  auto* Button = new TButton(Form);
  Button->SetParent(Form);
  Button->SetCaption("&OK");
  int Clicks = 0;
  Button->OnClick = [&](TObject*) { ++Clicks; };
  EXPECT_FALSE(Form->DialogChar('x'));
  EXPECT_TRUE(Form->DialogChar('o'));
  EXPECT_EQ(Clicks, 1);

  // Through the message loop: Alt+O sent to a control of the form.
  Form->Show();
  PostMessageA(Form->Handle(), WM_SYSCHAR, 'O', 0);
  Application().ProcessMessages();
  EXPECT_EQ(Clicks, 2);

  struct TCase {
    char Ch;
    const char* Caption;
    bool Want;
  };
  for (const TCase& C :
       {TCase{'o', "&OK", true}, TCase{'K', "O&k", true}, TCase{'&', "A&&B", false},
        TCase{'b', "A&&&B", true}, TCase{'a', "Plain", false}, TCase{'x', "x&", false}})
    EXPECT_EQ(IsAccel(C.Ch, C.Caption), C.Want) << C.Caption;
}

TEST_F(TControlTest, PaintingIsOwnThenWindowlessChildren) {
  TProbe* P = AddProbe("P", 10, 10);
  P->Face = clRed;
  auto* Image = new TImage(Form);
  Image->SetParent(Form);
  Image->SetBounds(100, 20, 20, 20);
  Image->Picture().SetSize(20, 20);
  Image->Picture().Canvas().Brush().SetColor(clBlue);
  RECT All{0, 0, 20, 20};
  Image->Picture().Canvas().FillRect(All);
  Form->Show();
  Form->Update();
  PumpFor(100);

  // Into a bitmap through WM_PAINT with a DC, as a transparent child asks.
  TBitmap Shot;
  Shot.SetSize(200, 150);
  SendMessageA(Form->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(Shot.Canvas().Handle()), 0);
  SendMessageA(Form->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(Shot.Canvas().Handle()), 0);
  EXPECT_EQ(Shot.Canvas().Pixel(5, 5), clWhite);    // the form's colour
  EXPECT_EQ(Shot.Canvas().Pixel(110, 30), clBlue);  // the picture
  EXPECT_EQ(Shot.Canvas().Pixel(99, 30), clWhite);  // just left of it

  // And on the screen, where the probe's own window paints itself.
  TWindowDC Screen = TWindowDC::Client(nullptr);
  const POINT Probe = P->ClientToScreen(POINT{5, 5});
  EXPECT_EQ(GetPixel(Screen.Get(), Probe.x, Probe.y), static_cast<COLORREF>(clRed));
  const POINT Pic = Image->ClientToScreen(POINT{5, 5});
  EXPECT_EQ(GetPixel(Screen.Get(), Pic.x, Pic.y), static_cast<COLORREF>(clBlue));
}

// A windowless control that paints itself in one colour and writes down the
// colour each paint found there first.
class TSpot : public TGraphicControl {
 public:
  explicit TSpot(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 30, 20); }
  TColor Face = clBlue;
  std::vector<TColor> Found;

 protected:
  void Paint() override {
    Found.push_back(Canvas().Pixel(2, 2));
    Canvas().Brush().SetColor(Face);
    Canvas().FillRect(ClientRect());
  }
};

TEST_F(TControlTest, OpaqueControlsAreNotErasedBeforeTheyPaint) {
  Form->SetColor(clWhite);
  TProbe* Windowed = AddProbe("P", 10, 10);
  Windowed->SetColor(clRed);
  Windowed->Face = clBlue;
  auto* Windowless = new TSpot(Form);
  Windowless->SetParent(Form);
  Windowless->SetBounds(100, 20, 30, 20);
  Form->Show();
  PumpFor(50);

  struct TCase {
    const char* What;
    TControl* Control;
    std::vector<TColor>* Found;
    bool Opaque;
    TColor Want;  // what the paint finds: the erase's colour, or its own face
  };
  const TCase Cases[] = {
      {"windowed", Windowed, &Windowed->Found, false, clRed},
      {"windowed, opaque", Windowed, &Windowed->Found, true, clBlue},
      {"windowless", Windowless, &Windowless->Found, false, clWhite},
      {"windowless, opaque", Windowless, &Windowless->Found, true, clBlue},
  };
  for (const TCase& C : Cases) {
    TControlStyle Style = C.Control->ControlStyle() & ~static_cast<TControlStyle>(csOpaque);
    C.Control->SetControlStyle(C.Opaque ? Style | csOpaque : Style);
    C.Found->clear();
    // Erased and painted again, as when something uncovers the window.
    HWND Window = C.Control == Windowed ? Windowed->Handle() : Form->Handle();
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_FALSE(C.Found->empty()) << C.What;
    EXPECT_EQ(C.Found->back(), C.Want) << C.What;
  }
}

TEST_F(TControlTest, AControlCanvasDrawsOnTheScreenOutsideAPaint) {
  const TColor Lime = 0x00FF00;
  TProbe* Windowed = AddProbe("P", 10, 10);
  auto* Windowless = new TSpot(Form);
  Windowless->SetParent(Form);
  Windowless->SetBounds(100, 20, 30, 20);
  Form->Show();
  PumpFor(50);

  // The paint canvas has no DC now: with the checks on, that is an error,
  // not a draw that shows nothing.
  EXPECT_THROW(Windowed->Canvas().FillRect(RECT{0, 0, 5, 5}), ELumoraError);
  EXPECT_THROW(Windowless->Canvas().FillRect(RECT{0, 0, 5, 5}), ELumoraError);

  for (TControl* C : {static_cast<TControl*>(Windowed), static_cast<TControl*>(Windowless)}) {
    {
      TControlCanvas Canvas(*C);
      ASSERT_NE(Canvas.Handle(), nullptr);
      Canvas.Brush().SetColor(Lime);
      Canvas.FillRect(RECT{-50, -50, 500, 500});  // kept to the control
    }
    PumpFor(50);
    TWindowDC Screen = TWindowDC::Client(nullptr);
    auto At = [&](int X, int Y) {
      const POINT P = C->ClientToScreen(POINT{X, Y});
      return static_cast<TColor>(GetPixel(Screen.Get(), P.x, P.y));
    };
    EXPECT_EQ(At(0, 0), Lime) << C->Name();
    EXPECT_EQ(At(C->Width() - 1, C->Height() - 1), Lime) << C->Name();
    EXPECT_EQ(At(-1, 0), clWhite) << C->Name() << ": the form around it is untouched";
    EXPECT_EQ(At(C->Width(), C->Height()), clWhite) << C->Name();
  }

  // Nothing on screen to draw on: no DC, and no window made for it.
  TProbe Loose(nullptr, L, "Loose");
  TControlCanvas Canvas(Loose);
  EXPECT_EQ(Canvas.Handle(), nullptr);
  EXPECT_FALSE(Loose.HandleAllocated());
}

// Ends something of its own (as hot tracking) in its teardown, which needs
// its members.
class TTracking : public TCustomControl {
 public:
  TTracking(TComponent* AOwner, Log& L) : TCustomControl(AOwner), FLog(L), FWitness{L} {
    SetTabStop(true);
  }
  void BeforeDestruction() override {
    FLog.push_back("stop " + FTracked + (HandleAllocated() ? ", window" : ", no window") +
                   (Parent() ? ", on parent" : ", no parent"));
    TCustomControl::BeforeDestruction();
  }

 private:
  struct TWitness {
    Log& L;
    ~TWitness() { L.push_back("members gone"); }
  };
  Log& FLog;
  std::string FTracked = "tracking";
  TWitness FWitness;
};

TEST_F(TControlTest, AControlTearsDownWholeAndLeavesItsParentsLists) {
  struct TCase {
    const char* How;
    std::function<void(TForm*, Log&)> MakeAndFree;
    Log Want;
  };
  const TCase Cases[] = {
      {"delete",
       [](TForm* F, Log& Events) {
         auto* C = new TTracking(nullptr, Events);
         C->SetParent(F);
         C->HandleNeeded();
         delete C;
       },
       {"stop tracking, window, on parent", "members gone"}},
      {"its owner",
       [](TForm* F, Log& Events) {
         TComponent Owner(nullptr);
         auto* C = new TTracking(&Owner, Events);
         C->SetParent(F);
         C->HandleNeeded();
       },
       {"stop tracking, window, on parent", "members gone"}},
      {"a local variable",
       [](TForm* F, Log& Events) {
         TTracking C(nullptr, Events);
         C.SetParent(F);
         C.HandleNeeded();
       },
       {"members gone"}},
  };
  for (const TCase& C : Cases) {
    Log Events;
    C.MakeAndFree(Form, Events);
    EXPECT_EQ(Events, C.Want) << C.How;
    // Gone from every list of the parent, the tab order included.
    EXPECT_EQ(Form->ControlCount(), 0) << C.How;
    EXPECT_TRUE(Form->TabList().empty()) << C.How;
    EXPECT_EQ(Form->FindNextControl(nullptr, true, true), nullptr) << C.How;
  }
}

TEST_F(TControlTest, BringToFrontKeepsTheWindowAndRaisesIt) {
  TProbe* A = AddProbe("A", 10, 10);
  TProbe* B = AddProbe("B", 20, 20);  // over A
  (void)B;
  HWND Window = A->Handle();
  A->SetText("kept");
  A->BringToFront();
  EXPECT_EQ(A->WindowHandle(), Window);
  EXPECT_EQ(Form->Controls(Form->ControlCount() - 1), A);
  EXPECT_EQ(GetWindow(Form->Handle(), GW_CHILD), Window) << "first in z-order";
  Form->Show();
  PumpFor(50);
  EXPECT_EQ(FindControlAtPos(A->ClientToScreen(POINT{15, 15})), A);

  // A windowless control moves above its windowless siblings.
  auto* Low = new TSpot(Form);
  Low->SetParent(Form);
  Low->SetBounds(100, 20, 30, 20);
  auto* High = new TSpot(Form);
  High->SetParent(Form);
  High->SetBounds(110, 25, 30, 20);
  EXPECT_EQ(Form->ControlAtPos(POINT{115, 30}, false), High);
  Low->BringToFront();
  EXPECT_EQ(Form->ControlAtPos(POINT{115, 30}, false), Low);
}

TEST_F(TControlTest, ANewBorderStyleMakesNewWindowsForTheSameObjects) {
  Form->SetBorderStyle(TFormBorderStyle::bsSingle);
  auto* Edit = new TEdit(Form);
  Edit->SetParent(Form);
  Edit->SetText("kept");
  TProbe* P = AddProbe("P", 10, 40);
  P->SetHint("tip");
  P->SetShowHint(true);
  HWND OldForm = Form->Handle();
  HWND OldEdit = Edit->Handle();
  SetWindowTextA(OldEdit, "typed");  // as a user would

  Form->SetBorderStyle(TFormBorderStyle::bsNone);
  EXPECT_FALSE(IsWindow(OldForm));
  EXPECT_FALSE(IsWindow(OldEdit));
  ASSERT_TRUE(Form->HandleAllocated());
  EXPECT_NE(Form->WindowHandle(), OldForm);
  EXPECT_EQ(FindControl(Form->WindowHandle()), Form);
  EXPECT_EQ(FindControl(Edit->WindowHandle()), Edit);
  EXPECT_EQ(GetParent(Edit->WindowHandle()), Form->WindowHandle());
  EXPECT_EQ(Edit->Text(), "typed");
  EXPECT_EQ(GetWindowLongA(Form->WindowHandle(), GWL_STYLE) & WS_CAPTION, 0);

  // The tooltip follows the new window.
  TOOLINFOA Info{};
  Info.cbSize = TTTOOLINFOA_V2_SIZE;
  Info.hwnd = P->WindowHandle();
  Info.uId = reinterpret_cast<UINT_PTR>(P->WindowHandle());
  char Text[32] = {};
  Info.lpszText = Text;
  SendMessageA(HintWindow(), TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&Info));
  EXPECT_STREQ(Text, "tip");
}

TEST_F(TControlTest, TheControlUnderAScreenPoint) {
  TProbe* P = AddProbe("P", 10, 10);
  auto* Image = new TImage(Form);
  Image->SetParent(Form);
  Image->SetBounds(100, 20, 20, 20);
  Image->SetEnabled(false);  // disabled ones count
  Form->Show();
  PumpFor(50);
  EXPECT_EQ(FindControlAtPos(P->ClientToScreen(POINT{2, 2})), P);
  EXPECT_EQ(FindControlAtPos(Image->ClientToScreen(POINT{2, 2})), Image);
  EXPECT_EQ(FindControlAtPos(Form->ClientToScreen(POINT{150, 100})), Form);
  EXPECT_EQ(FindControlAtPos(POINT{5, 1000}), nullptr);
  const POINT Back = P->ScreenToClient(P->ClientToScreen(POINT{7, 9}));
  EXPECT_EQ(Back.x, 7);
  EXPECT_EQ(Back.y, 9);
}

TEST_F(TControlTest, HintsShowWhenTheMouseRests) {
  auto* Image = new TImage(Form);
  Image->SetParent(Form);
  Image->SetBounds(20, 20, 60, 40);
  Image->SetHint("Drop here");
  Image->SetShowHint(true);
  Form->Show();
  SetForegroundWindow(Form->Handle());
  PumpFor(50);
  ASSERT_NE(HintWindow(), nullptr);
  EXPECT_GE(SendMessageA(HintWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);

  const POINT Over = Image->ClientToScreen(POINT{30, 20});
  SetCursorPos(Over.x, Over.y);
  SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 40));
  EXPECT_TRUE(PumpUntil([] { return IsWindowVisible(HintWindow()) != FALSE; }, 3000));

  // Hidden controls have no tool.
  Image->Hide();
  TOOLINFOA Info{};
  Info.cbSize = TTTOOLINFOA_V2_SIZE;
  Info.hwnd = Form->Handle();
  Info.uId = reinterpret_cast<UINT_PTR>(Image);
  EXPECT_EQ(SendMessageA(HintWindow(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&Info)), 0);
}

TEST(ControlComponent, AControlForgetsAPopupMenuThatIsFreed) {
  TComponent Owner(nullptr);
  auto* Control = new TControl(&Owner);
  auto* Other = new TComponent(nullptr);
  auto* Menu = new TPopupMenu(Other);
  Control->SetPopupMenu(Menu);
  delete Other;  // frees the menu with it
  EXPECT_EQ(Control->PopupMenu(), nullptr);
}

}  // namespace
}  // namespace lumora
