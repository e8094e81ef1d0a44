// The tray icon in Wine's own notification area (explorer's "Wine System
// Tray" window): the shell calls and their record, the mouse messages the
// shell sends back (also from real clicks on the icon), the menu, the
// hooks on the application window and the owner's window, and cycling.

#include "tray/CoolTrayIcon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tray/NotifyIconRecord.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/UiTestSupport.h"
#include "ui/UtilityWindow.h"

namespace lumora {
namespace {

using test::PumpFor;
using test::PumpUntil;

// A 16x16 icon of one colour, owned by the caller.
HICON MakeSolidIcon(COLORREF Colour) {
  HDC Screen = GetDC(nullptr);
  HBITMAP Colours = CreateCompatibleBitmap(Screen, 16, 16);
  HDC DC = CreateCompatibleDC(Screen);
  HGDIOBJ Old = SelectObject(DC, Colours);
  HBRUSH Brush = CreateSolidBrush(Colour);
  RECT All{0, 0, 16, 16};
  FillRect(DC, &All, Brush);
  DeleteObject(Brush);
  SelectObject(DC, Old);
  DeleteDC(DC);
  ReleaseDC(nullptr, Screen);
  std::vector<BYTE> Zero(16 * 16 / 8, 0);  // AND mask all zero: opaque
  HBITMAP Mask = CreateBitmap(16, 16, 1, 1, Zero.data());
  ICONINFO Info{TRUE, 0, 0, Mask, Colours};
  HICON Icon = CreateIconIndirect(&Info);
  DeleteObject(Mask);
  DeleteObject(Colours);
  return Icon;
}

void SetSolidIcon(TCoolTrayIcon& Tray, COLORREF Colour) {
  TIcon Icon;
  Icon.SetHandle(MakeSolidIcon(Colour));
  Tray.SetIcon(Icon);
}

// Writes every shell call and every event into one log, so that tests see
// their order.
class TLoggedTrayIcon : public TCoolTrayIcon {
 public:
  explicit TLoggedTrayIcon(TComponent* AOwner) : TCoolTrayIcon(AOwner) {
    OnClick = [this](TObject* S) { Event(S, "click"); };
    OnDblClick = [this](TObject* S) { Event(S, "dblclick"); };
    OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int, int) {
      Event(S, "down " + Name(B) + Buttons(Sh));
    };
    OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int, int) {
      Event(S, "up " + Name(B) + Buttons(Sh));
    };
  }
  bool AddIcon() override { return Call("add", TCoolTrayIcon::AddIcon()); }
  bool DeleteIcon() override { return Call("delete", TCoolTrayIcon::DeleteIcon()); }
  bool UpdateIcon() override { return Call("modify", TCoolTrayIcon::UpdateIcon()); }

  std::vector<std::string> Log;
  bool LogShell = true;

 private:
  void Event(TObject* Sender, const std::string& What) {
    EXPECT_EQ(Sender, this);
    Log.push_back(What);
  }
  bool Call(const std::string& What, bool Ok) {
    if (LogShell) Log.push_back(What + (Ok ? " ok " : " failed ") + IconData().szTip);
    return Ok;
  }
  static std::string Name(TMouseButton B) {
    return B == TMouseButton::mbLeft ? "left" : B == TMouseButton::mbRight ? "right" : "middle";
  }
  // The button flag must match the button, and Double is never set.
  static std::string Buttons(TShiftState S) {
    std::string R;
    if (S & ssLeft) R += "+L";
    if (S & ssRight) R += "+R";
    if (S & ssMiddle) R += "+M";
    if (S & ssDouble) R += "+D";
    return R;
  }
};

// A tray icon on a form, set up as the program does, with its icon in
// Wine's tray.
// The form stays hidden: a shown window costs time without a window
// manager, and it would lie over the tray.
TForm* HiddenForm() {
  auto* Form = new TForm(&Application());
  Form->SetVisible(false);
  return Form;
}

struct TTrayFixture {
  TForm* Form = HiddenForm();
  TLoggedTrayIcon* Tray = new TLoggedTrayIcon(Form);
  explicit TTrayFixture(const std::string& Hint = "Lumora") {
    Tray->SetHint(Hint);
    SetSolidIcon(*Tray, RGB(220, 30, 30));
    Tray->Loaded();
    Tray->Log.clear();
  }
  ~TTrayFixture() { delete Form; }
  void Send(LPARAM Mouse) {
    SendMessageA(Tray->IconWindow(), NotifyIconCallbackMessage(), Tray->IconData().uID, Mouse);
  }
  static UINT NotifyIconCallbackMessage() { return 2048; }
};

// The tray exists once some program has added an icon; explorer shows it.
HWND FindTrayWindow() {
  return FindWindowA(nullptr, "Wine System Tray");
}

// Wine's tray window hides when its last icon goes and shows again with the
// next one, which costs seconds without a window manager. An icon of
// another window keeps it up while the tests add and remove theirs.
class TTrayKeeper : public ::testing::Environment {
 public:
  void SetUp() override {
    FWindow = std::make_unique<TUtilityWindow>([](TMessage&) { return false; });
    FData = MakeNotifyIconData(FWindow->Handle());
    FData.uID = 99;
    FillNotifyIconData(FData, LoadIcon(nullptr, IDI_APPLICATION), "keeper", true);
    Shell_NotifyIconA(NIM_ADD, &FData);
  }
  void TearDown() override {
    Shell_NotifyIconA(NIM_DELETE, &FData);
    FWindow.reset();
  }

 private:
  std::unique_ptr<TUtilityWindow> FWindow;
  NOTIFYICONDATAA FData{};
};
[[maybe_unused]] ::testing::Environment* const Keeper =
    ::testing::AddGlobalTestEnvironment(new TTrayKeeper);

TEST(CoolTrayIcon, TheShellGetsTheIconAddedModifiedAndDeleted) {
  TForm* Form = HiddenForm();
  auto* Tray = new TLoggedTrayIcon(Form);
  const NOTIFYICONDATAA& Data = Tray->IconData();
  EXPECT_EQ(Data.hWnd, Tray->IconWindow());
  EXPECT_NE(Data.hWnd, nullptr);
  EXPECT_EQ(Data.uID, 1u);
  EXPECT_EQ(Data.uFlags, 7u);
  EXPECT_EQ(Data.uCallbackMessage, 2048u);
  EXPECT_FALSE(IsWindowVisible(Tray->IconWindow()));
  EXPECT_TRUE(Tray->IconVisible());

  // As a form loads it: the stored values first, then Loaded adds the icon
  // (the modify before it fails, the icon is not there yet).
  Tray->LogShell = false;
  Tray->SetHint("Lumora");
  SetSolidIcon(*Tray, RGB(220, 30, 30));
  Tray->LogShell = true;
  Tray->Loaded();
  EXPECT_EQ(Tray->Log, (std::vector<std::string>{"modify failed Lumora", "add ok Lumora"}));
  EXPECT_EQ(Data.hIcon, Tray->Icon().Handle());
  EXPECT_NE(Data.hIcon, nullptr);
  EXPECT_TRUE(PumpUntil([] { return FindTrayWindow() != nullptr; }, 5000));

  struct Case {
    std::string Hint;
    bool ShowHint;
    std::string Tip;
  } const Cases[] = {
      {std::string(200, 'h'), true, std::string(127, 'h')},
      {"Lumora", false, ""},
      {"", true, ""},
      {"Lumora", true, "Lumora"},
  };
  for (const Case& C : Cases) {
    Tray->Log.clear();
    Tray->SetShowHint(C.ShowHint);
    Tray->SetHint(C.Hint);
    EXPECT_EQ(Tray->Log.back(), "modify ok " + C.Tip) << C.Hint.size() << " " << C.ShowHint;
    EXPECT_EQ(std::string(Data.szTip), C.Tip);
    for (std::size_t I = C.Tip.size(); I < sizeof Data.szTip; ++I) ASSERT_EQ(Data.szTip[I], 0);
  }

  Tray->Log.clear();
  Tray->SetIconVisible(false);
  EXPECT_FALSE(Tray->IconVisible());
  Tray->SetHint("gone");  // nothing in the tray to modify now
  Tray->SetIconVisible(true);
  EXPECT_TRUE(Tray->IconVisible());
  EXPECT_EQ(Tray->Log,
            (std::vector<std::string>{"delete ok Lumora", "modify failed gone", "add ok gone"}));

  delete Form;
}

// The shell takes a balloon for an icon in the tray, never for one that is
// not there; the record carries it for that call only, so the next change
// of the tip shows no balloon again.
TEST(CoolTrayIcon, ABalloonGoesWithOneCallOnly) {
  TTrayFixture F;
  EXPECT_TRUE(F.Tray->ShowBalloon("Lumora", "Lumora could not save into D:\\pic\\: access denied"));
  EXPECT_EQ(F.Tray->IconData().uFlags, 7u);
  EXPECT_EQ(F.Tray->IconData().szInfo[0], 0);
  F.Tray->SetIconVisible(false);
  EXPECT_FALSE(F.Tray->ShowBalloon("Lumora", "not in the tray"));
  F.Tray->SetIconVisible(true);
}

TEST(CoolTrayIcon, FreeingRemovesTheIconAndTheHooks) {
  const HWND App = Application().Handle();
  const LONG_PTR AppProc = GetWindowLongPtrA(App, GWLP_WNDPROC);
  TForm* Form = HiddenForm();
  const HWND Owner = Form->Handle();
  const LONG_PTR OwnerProc = GetWindowLongPtrA(Owner, GWLP_WNDPROC);
  auto* Tray = new TCoolTrayIcon(Form);
  Tray->SetHint("going");
  Tray->Loaded();
  EXPECT_NE(GetWindowLongPtrA(App, GWLP_WNDPROC), AppProc);
  EXPECT_NE(GetWindowLongPtrA(Owner, GWLP_WNDPROC), OwnerProc);
  NOTIFYICONDATAA Copy = Tray->IconData();
  delete Tray;
  EXPECT_EQ(GetWindowLongPtrA(App, GWLP_WNDPROC), AppProc);
  EXPECT_EQ(GetWindowLongPtrA(Owner, GWLP_WNDPROC), OwnerProc);
  // The shell no longer knows the icon.
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &Copy));
  delete Form;
}

// The mouse messages the shell sends to the icon window, and the events
// they become.
TEST(CoolTrayIcon, MouseMessagesBecomeEventsInOrder) {
  struct Case {
    const char* Name;
    std::vector<LPARAM> Messages;
    bool Enabled;
    std::vector<std::string> Events;
  } const Cases[] = {
      {"left double click",
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
       true,
       {"down left+L", "click", "up left+L", "dblclick", "up left+L"}},
      {"right click", {WM_RBUTTONDOWN, WM_RBUTTONUP}, true, {"down right+R", "up right+R"}},
      {"middle click", {WM_MBUTTONDOWN, WM_MBUTTONUP}, true, {"down middle+M", "up middle+M"}},
      {"right and middle double clicks are ignored",
       {WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_MOUSEWHEEL},
       true,
       {}},
      {"disabled", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}, false, {}},
  };
  TTrayFixture F;
  int Moves = 0;
  F.Tray->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++Moves; };
  for (const Case& C : Cases) {
    F.Tray->Log.clear();
    Moves = 0;
    F.Tray->SetEnabled(C.Enabled);
    for (LPARAM M : C.Messages) F.Send(M);
    F.Send(WM_MOUSEMOVE);
    EXPECT_EQ(F.Tray->Log, C.Events) << C.Name;
    EXPECT_EQ(Moves, C.Enabled ? 1 : 0) << C.Name;
    EXPECT_EQ(SendMessageA(F.Tray->IconWindow(), WM_QUERYENDSESSION, 0, 0), 1);
  }
}

// Closes the menu that is showing, once the popup has been seen.
struct TMenuCloser {
  TTimer Timer{nullptr};
  explicit TMenuCloser(TPopupMenu& Menu, std::vector<std::string>& Log) {
    Menu.OnPopup = [&Log](TObject*) {
      Log.push_back("popup " + std::to_string(GetForegroundWindow() != nullptr));
    };
    Timer.SetInterval(150);
    Timer.SetOnTimer([](TObject*) { EndMenu(); });
  }
};

TEST(CoolTrayIcon, TheMenuAndItsDefaultItem) {
  struct Case {
    const char* Name;
    bool LeftPopup;
    bool AutoPopup;
    std::vector<LPARAM> Messages;
    std::vector<std::string> Events;
  } const Cases[] = {
      {"double click runs the first default item",
       false,
       true,
       {WM_LBUTTONDBLCLK},
       {"dblclick", "item Show"}},
      {"no automatic popup: no default item",
       false,
       false,
       {WM_LBUTTONDBLCLK, WM_RBUTTONDOWN},
       {"dblclick", "down right+R"}},
      {"right press pops up the menu", false, true, {WM_RBUTTONDOWN}, {"down right+R", "popup 1"}},
      {"left popup: left press pops up, double click runs nothing",
       true,
       true,
       {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK},
       {"down left+L", "popup 1", "dblclick"}},
  };
  TTrayFixture F;
  auto* Menu = new TPopupMenu(F.Form);
  for (const char* Caption : {"Set", "Show", "Exit"}) {
    auto* Item = new TMenuItem(F.Form);
    Item->SetCaption(Caption);
    Item->SetDefault(std::string(Caption) != "Set");
    Item->OnClick = [&F, Caption](TObject*) {
      F.Tray->Log.push_back(std::string("item ") + Caption);
    };
    Menu->Items().Add(Item);
  }
  TMenuCloser Closer(*Menu, F.Tray->Log);
  F.Tray->SetPopupMenu(Menu);
  for (const Case& C : Cases) {
    F.Tray->Log.clear();
    Menu->SetPopupComponent(nullptr);
    Menu->SetAutoPopup(C.AutoPopup);
    F.Tray->SetLeftPopup(C.LeftPopup);
    for (LPARAM M : C.Messages) F.Send(M);
    EXPECT_EQ(F.Tray->Log, C.Events) << C.Name;
    const bool Popped = C.Events.size() > 1 && C.Events[1] == "popup 1";
    EXPECT_EQ(Menu->PopupComponent(), Popped ? F.Tray : nullptr) << C.Name;
  }
}

TEST(CoolTrayIcon, ForgetsAMenuOrImageListFreedElsewhere) {
  TTrayFixture F;
  TComponent Elsewhere(nullptr);
  auto* Menu = new TPopupMenu(&Elsewhere);
  auto* List = new TImageList(&Elsewhere);
  for (COLORREF C : {RGB(255, 0, 0), RGB(0, 255, 0)}) {
    TIcon I;
    I.SetHandle(MakeSolidIcon(C));
    List->AddIcon(I);
  }
  F.Tray->SetPopupMenu(Menu);
  F.Tray->SetIconList(List);
  F.Tray->SetIconIndex(1);
  delete Menu;
  EXPECT_EQ(F.Tray->PopupMenu(), nullptr);
  F.Send(WM_RBUTTONDOWN);  // no menu to show
  F.Tray->Log.clear();
  delete List;
  EXPECT_EQ(F.Tray->IconList(), nullptr);
  EXPECT_EQ(F.Tray->IconIndex(), 0);
  EXPECT_EQ(F.Tray->Log, std::vector<std::string>{"modify ok Lumora"});
}

TEST(CoolTrayIcon, CyclesThroughTheImageList) {
  TTrayFixture F;
  TImageList List(nullptr);
  const COLORREF Colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  for (COLORREF C : Colours) {
    TIcon I;
    I.SetHandle(MakeSolidIcon(C));
    List.AddIcon(I);
  }
  F.Tray->SetIconList(&List);
  F.Tray->SetIconIndex(10);
  EXPECT_EQ(F.Tray->IconIndex(), 2);
  EXPECT_EQ(F.Tray->IconData().hIcon, F.Tray->Icon().Handle());
  EXPECT_NE(F.Tray->Icon().Handle(), nullptr);

  std::vector<std::string> Ticks;
  F.Tray->OnCycle = [&](TObject* S, int Next) {
    EXPECT_EQ(S, F.Tray);
    Ticks.push_back(std::to_string(F.Tray->IconIndex()) + "->" + std::to_string(Next));
  };
  // Cycling starts from the first image; with no interval it never ticks.
  F.Tray->SetCycleIcons(true);
  EXPECT_EQ(F.Tray->IconIndex(), 0);
  PumpFor(200);
  EXPECT_TRUE(Ticks.empty());

  F.Tray->SetIconIndex(2);
  F.Tray->SetCycleInterval(40);
  EXPECT_TRUE(PumpUntil([&] { return Ticks.size() >= 2; }));
  F.Tray->SetCycleIcons(false);
  ASSERT_GE(Ticks.size(), 2u);
  EXPECT_EQ(Ticks[0], "2->0");
  EXPECT_EQ(Ticks[1], "0->1");
  const std::size_t Stopped = Ticks.size();
  PumpFor(150);
  EXPECT_EQ(Ticks.size(), Stopped);
  F.Tray->SetIconList(nullptr);
}

// The application window's hook: minimise to the tray, and the shell's
// restart broadcast.
TEST(CoolTrayIcon, MinimisingTheApplicationSendsTheMainFormToTheTray) {
  ASSERT_EQ(Application().MainForm(), nullptr);
  TForm* Main = nullptr;
  Application().CreateForm(Main);
  auto* Tray = new TLoggedTrayIcon(Main);
  Tray->SetMinimizeToTray(true);
  Tray->SetEnabled(false);  // the mouse only; minimising still works
  Tray->SetHint("Lumora");
  Tray->Loaded();
  Main->Show();
  const HWND App = Application().Handle();
  ShowWindow(App, SW_SHOWNA);
  Tray->Log.clear();

  Application().Minimize();
  PumpFor(100);
  EXPECT_FALSE(Main->Visible());
  EXPECT_FALSE(IsWindowVisible(Main->WindowHandle()));
  EXPECT_FALSE(IsWindowVisible(App));
  // The icon is added again (the shell refuses it, as it is there).
  ASSERT_EQ(Tray->Log.size(), 1u);
  EXPECT_EQ(Tray->Log[0].substr(0, 4), "add ");

  Tray->ShowMainWindow();
  EXPECT_TRUE(Main->Visible());
  EXPECT_TRUE(IsWindowVisible(App));
  EXPECT_FALSE(IsIconic(App));
  Tray->HideMainWindow();
  EXPECT_FALSE(Main->Visible());
  EXPECT_FALSE(IsWindowVisible(App));
  Tray->ShowMainWindow();

  // Without MinimizeToTray the form stays where it is.
  Tray->SetMinimizeToTray(false);
  Tray->Log.clear();
  Application().Minimize();
  PumpFor(100);
  EXPECT_TRUE(Main->Visible());
  EXPECT_TRUE(Tray->Log.empty());
  Application().Restore();
  delete Main;
  EXPECT_EQ(Application().MainForm(), nullptr);
  ShowWindow(App, SW_SHOWNA);
}

TEST(CoolTrayIcon, StartMinimizedKeepsTheMainFormAndTheTaskbarButtonHidden) {
  const HWND App = Application().Handle();
  TForm* Form = HiddenForm();
  auto* Tray = new TLoggedTrayIcon(Form);
  Tray->SetStartMinimized(true);
  Tray->SetHint("Lumora");
  ASSERT_TRUE(Application().ShowMainForm());
  Tray->Log.clear();
  Tray->Loaded();
  EXPECT_FALSE(Application().ShowMainForm());
  EXPECT_FALSE(IsWindowVisible(App));
  EXPECT_EQ(Tray->Log, (std::vector<std::string>{"modify failed Lumora", "add ok Lumora"}));
  delete Form;
  Application().SetShowMainForm(true);
  ShowWindow(App, SW_SHOWNA);
}

TEST(CoolTrayIcon, TheShellsRestartBroadcastAddsTheIconAgain) {
  TTrayFixture F("before");
  ASSERT_EQ(F.Tray->Log.size(), 0u);
  F.Tray->SetEnabled(false);  // the mouse only
  // The shell forgets the icon, as a restarted shell has.
  NOTIFYICONDATAA Copy = F.Tray->IconData();
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &Copy));
  F.Tray->SetHint("after");
  SetSolidIcon(*F.Tray, RGB(0, 0, 200));
  F.Tray->Log.clear();

  PostMessageA(HWND_BROADCAST, TCoolTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !F.Tray->Log.empty(); }));
  EXPECT_EQ(F.Tray->Log, std::vector<std::string>{"add ok after"});
  EXPECT_EQ(F.Tray->IconData().hIcon, F.Tray->Icon().Handle());

  // A hidden icon stays hidden.
  F.Tray->SetIconVisible(false);
  F.Tray->Log.clear();
  SendMessageA(Application().Handle(), TCoolTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(F.Tray->Log.empty());
}

// The owner's hook acts on the window it was installed on; the owner's
// window made anew is no longer hooked.
TEST(CoolTrayIcon, TheOwnersWindowIsHookedUntilItIsMadeAnew) {
  TTrayFixture F;
  const HWND App = Application().Handle();
  const auto ShownCallRestoresTheApplication = [&](HWND Owner) {
    ShowWindow(App, SW_HIDE);
    SendMessageA(Owner, WM_SHOWWINDOW, 1, 0);
    const bool Restored = IsWindowVisible(App);
    ShowWindow(App, SW_SHOWNA);
    return Restored;
  };
  const HWND First = F.Form->Handle();
  EXPECT_TRUE(ShownCallRestoresTheApplication(First));
  F.Form->SetBorderStyle(TFormBorderStyle::bsNone);
  const HWND Second = F.Form->Handle();
  ASSERT_NE(Second, First);
  EXPECT_FALSE(ShownCallRestoresTheApplication(Second));
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

// Real clicks on the icon in Wine's tray window, through the X server: the
// tray turns them into the callbacks that become the events.
TEST(CoolTrayIconInTheTray, RealClicksOnTheIcon) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  TTrayFixture F;
  HWND TrayWindow = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] { return (TrayWindow = FindTrayWindow()) != nullptr && IsWindowVisible(TrayWindow); },
      5000));
  PumpFor(300);
  // The tray lays its icons out from the left in square cells as high as
  // its client area, in the order they came; ours follows the keeper's.
  RECT Client{};
  GetClientRect(TrayWindow, &Client);
  POINT Icon{Client.bottom * 3 / 2, Client.bottom / 2};
  ClientToScreen(TrayWindow, &Icon);
  const std::string At = std::to_string(Icon.x) + " " + std::to_string(Icon.y);
  if (const char* Shot = std::getenv("LUMORA_TRAY_SCREENSHOT")) {
    test::StartHostProgram(std::string("Z:\\usr\\bin\\import -window root ") + Shot);
    PumpFor(1500);
  }

  ASSERT_TRUE(test::StartHostProgram("Z:\\usr\\bin\\xdotool mousemove " + At +
                                     " sleep 0.3 click --repeat 2 --delay 80 1"));
  EXPECT_TRUE(PumpUntil([&] { return F.Tray->Log.size() >= 5; }, 8000));
  PumpFor(300);
  EXPECT_EQ(F.Tray->Log, (std::vector<std::string>{"down left+L", "click", "up left+L", "dblclick",
                                                   "up left+L"}));

  // The right press pops the menu up at once.
  auto* Menu = new TPopupMenu(F.Form);
  auto* Item = new TMenuItem(F.Form);
  Item->SetCaption("Exit");
  Menu->Items().Add(Item);
  TMenuCloser Closer(*Menu, F.Tray->Log);
  F.Tray->SetPopupMenu(Menu);
  F.Tray->Log.clear();
  ASSERT_TRUE(
      test::StartHostProgram("Z:\\usr\\bin\\xdotool mousemove " + At + " sleep 0.3 click 3"));
  EXPECT_TRUE(PumpUntil([&] { return F.Tray->Log.size() >= 3; }, 8000));
  // The press comes first; the release may come before the menu shows, as
  // the menu lets the messages waiting be handled first.
  std::vector<std::string> Log = F.Tray->Log;
  ASSERT_EQ(Log.size(), 3u);
  EXPECT_EQ(Log[0], "down right+R");
  std::sort(Log.begin() + 1, Log.end());
  EXPECT_EQ(Log[1], "popup 1");
  EXPECT_EQ(Log[2], "up right+R");

  // Disabled, the icon ignores the mouse.
  F.Tray->SetEnabled(false);
  F.Tray->Log.clear();
  ASSERT_TRUE(test::StartHostProgram("Z:\\usr\\bin\\xdotool mousemove " + At +
                                     " sleep 0.3 click --repeat 2 --delay 80 1 click 3"));
  PumpFor(1500);
  EXPECT_TRUE(F.Tray->Log.empty());
}

}  // namespace
}  // namespace lumora
