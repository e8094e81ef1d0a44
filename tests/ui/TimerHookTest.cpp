// Timers, utility windows, window hooks, popup menus, and the stock edit and
// push button.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sys/LumoraError.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/MainThread.h"
#include "ui/Menus.h"
#include "ui/Timer.h"
#include "ui/UiTestSupport.h"
#include "ui/UtilityWindow.h"
#include "ui/WindowHook.h"

namespace lumora {
namespace {

using test::PumpFor;
using test::PumpUntil;

TEST(Timer, TicksOnlyWhileEnabledWithAnIntervalAndAHandler) {
  TTimer Timer(nullptr);
  int Ticks = 0;
  Timer.SetInterval(30);
  EXPECT_FALSE(Timer.Running());  // no handler yet
  Timer.SetOnTimer([&](TObject* Sender) {
    EXPECT_EQ(Sender, &Timer);
    ++Ticks;
  });
  EXPECT_TRUE(Timer.Running());
  EXPECT_TRUE(PumpUntil([&] { return Ticks >= 3; }));

  Timer.SetEnabled(false);
  const int Stopped = Ticks;
  PumpFor(120);
  EXPECT_EQ(Ticks, Stopped);

  Timer.SetInterval(0);
  Timer.SetEnabled(true);
  EXPECT_FALSE(Timer.Running());
  PumpFor(120);
  EXPECT_EQ(Ticks, Stopped);
}

TEST(Timer, AnOwnedTimerGoesWithItsOwner) {
  int Ticks = 0;
  {
    TComponent Owner(nullptr);
    auto* Timer = new TTimer(&Owner);
    Timer->SetInterval(10);
    Timer->SetOnTimer([&](TObject*) { ++Ticks; });
  }
  PumpFor(80);
  EXPECT_EQ(Ticks, 0);
}

TEST(UtilityWindow, GetsItsMessagesAndDefaultsTheRest) {
  std::vector<UINT> Seen;
  TUtilityWindow Window([&](TMessage& M) {
    if (M.Msg != WM_APP + 1) return false;
    Seen.push_back(M.Msg);
    M.Result = 42;
    return true;
  });
  EXPECT_EQ(SendMessageA(Window.Handle(), WM_APP + 1, 0, 0), 42);
  PostMessageA(Window.Handle(), WM_APP + 1, 0, 0);
  PumpUntil([&] { return Seen.size() == 2; });
  EXPECT_EQ(Seen.size(), 2u);
  EXPECT_FALSE(IsWindowVisible(Window.Handle()));
}

TEST(WindowHook, SeesMessagesFirstPassesThemOnAndGivesTheWindowBack) {
  std::vector<std::string> Log;
  TUtilityWindow Target([&](TMessage& M) {
    if (M.Msg != WM_APP) return false;
    Log.push_back("target " + std::to_string(M.WParam));
    M.Result = 7;
    return true;
  });
  HWND W = Target.Handle();
  const LONG_PTR Original = GetWindowLongPtrA(W, GWLP_WNDPROC);
  {
    TWindowHook Outer, Inner;
    Inner.Install(W, [&](HWND H, UINT Msg, WPARAM WP, LPARAM LP) {
      if (Msg == WM_APP) Log.push_back("inner");
      return Inner.CallSaved(H, Msg, WP, LP);
    });
    Outer.Install(W, [&](HWND H, UINT Msg, WPARAM WP, LPARAM LP) {
      if (Msg == WM_APP) Log.push_back("outer");
      return Outer.CallSaved(H, Msg, WP + 1, LP);
    });
    EXPECT_EQ(SendMessageA(W, WM_APP, 1, 0), 7);
    EXPECT_EQ(Log, (std::vector<std::string>{"outer", "inner", "target 2"}));
    Outer.Remove();
    Inner.Remove();
  }
  EXPECT_EQ(GetWindowLongPtrA(W, GWLP_WNDPROC), Original);
}

// Removed while a newer hook sits on top of it: the window keeps the newer
// one, whose messages still pass through the removed one's place.
TEST(WindowHook, RemovedUnderANewerHookLeavesTheNewerOneInPlace) {
  std::vector<std::string> Log;
  TUtilityWindow Target([&](TMessage& M) {
    if (M.Msg != WM_APP) return false;
    Log.push_back("target " + std::to_string(M.WParam));
    M.Result = 7;
    return true;
  });
  HWND W = Target.Handle();
  TWindowHook Outer;
  {
    TWindowHook Inner;
    Inner.Install(W, [&](HWND H, UINT Msg, WPARAM WP, LPARAM LP) {
      if (Msg == WM_APP) Log.push_back("inner");
      return Inner.CallSaved(H, Msg, WP, LP);
    });
    Outer.Install(W, [&](HWND H, UINT Msg, WPARAM WP, LPARAM LP) {
      if (Msg == WM_APP) Log.push_back("outer");
      return Outer.CallSaved(H, Msg, WP, LP);
    });
    Inner.Remove();
  }
  EXPECT_EQ(SendMessageA(W, WM_APP, 1, 0), 7);
  EXPECT_EQ(Log, (std::vector<std::string>{"outer", "target 1"}));
  Outer.Remove();
  Log.clear();
  EXPECT_EQ(SendMessageA(W, WM_APP, 2, 0), 7);
  EXPECT_EQ(Log, (std::vector<std::string>{"target 2"}));
}

TEST(WindowHook, TheProcedurePoolIsBoundedAndReused) {
  std::vector<std::unique_ptr<TBoundWindowProc>> Held;
  bool Refused = false;
  try {
    for (int I = 0; I < 1000; ++I)
      Held.push_back(std::make_unique<TBoundWindowProc>(
          [](HWND H, UINT M, WPARAM W, LPARAM L) { return DefWindowProcA(H, M, W, L); }));
  } catch (const ELumoraError&) {
    Refused = true;
  }
  EXPECT_TRUE(Refused);
  EXPECT_GE(Held.size(), 32u);
  // Each procedure is distinct.
  EXPECT_NE(Held[0]->Proc(), Held[1]->Proc());
  Held.pop_back();
  EXPECT_NO_THROW(TBoundWindowProc([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }));
}

TEST(PopupMenu, BuildsItsItemsAndRunsThePickedOne) {
  TComponent Owner(nullptr);
  auto* Menu = new TPopupMenu(&Owner);
  std::vector<std::string> Clicked;
  auto Add = [&](const std::string& Caption) {
    auto* Item = new TMenuItem(&Owner);
    Item->SetCaption(Caption);
    Item->OnClick = [&Clicked, Caption](TObject*) { Clicked.push_back(Caption); };
    Menu->Items().Add(Item);
    return Item;
  };
  Add("Set");
  Add("Folder")->SetEnabled(false);
  Add("Exit")->SetDefault(true);
  std::vector<TMenuItem*> Commands;
  HMENU Built = Menu->BuildMenu(Commands);
  EXPECT_EQ(GetMenuItemCount(Built), 3);
  EXPECT_EQ(GetMenuDefaultItem(Built, FALSE, 0), 3u);
  EXPECT_TRUE(GetMenuState(Built, 2, MF_BYCOMMAND) & MF_GRAYED);
  DestroyMenu(Built);

  // A real popup, answered from the keyboard: Up from no selection picks
  // the last item.
  TTimer Answer(nullptr);
  Answer.SetInterval(100);
  Answer.SetOnTimer([&](TObject*) {
    HWND MenuWindow = FindWindowA("#32768", nullptr);
    if (!MenuWindow) return;
    Answer.SetEnabled(false);
    for (WPARAM Key : {VK_UP, VK_RETURN}) PostMessageA(MenuWindow, WM_KEYDOWN, Key, 0);
  });
  Menu->Popup(200, 200);
  EXPECT_EQ(Clicked, (std::vector<std::string>{"Exit"}));
}

TEST(Edit, ChangeRunsOnlyWhenTheTextReallyChanges) {
  TForm F(nullptr);
  auto* Edit = new TEdit(&F);
  Edit->SetParent(&F);
  std::vector<std::string> Changes;
  Edit->OnChange = [&](TObject*) { Changes.push_back(Edit->Text()); };
  Edit->SetText("http://a/");
  Edit->SetText("http://a/");
  Edit->SetText("http://b/");
  SendMessageA(Edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("http://b/"));
  SendMessageA(Edit->Handle(), EM_SETSEL, 9, 9);
  SendMessageA(Edit->Handle(), WM_CHAR, 'x', 0);  // typed at the end
  EXPECT_EQ(Changes, (std::vector<std::string>{"http://a/", "http://b/", "http://b/x"}));

  // A hidden edit with no window yet behaves the same.
  TForm Hidden(nullptr);
  auto* Field = new TEdit(&Hidden);
  int Count = 0;
  Field->OnChange = [&](TObject*) { ++Count; };
  Field->SetText("one");
  Field->SetText("one");
  EXPECT_EQ(Count, 1);
}

TEST(Button, ClickFromCodeAndFromTheWindowRunOnce) {
  TForm F(nullptr);
  auto* Button = new TButton(&F);
  Button->SetParent(&F);
  int Clicks = 0;
  Button->OnClick = [&](TObject*) { ++Clicks; };
  Button->Click();
  EXPECT_EQ(Clicks, 1);
  SendMessageA(Button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Clicks, 2);
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

TEST(MainThread, QueuedCallsRunOnTheGuiThreadInOrder) {
  Application();  // sets the queue up on this thread
  const DWORD Gui = GetCurrentThreadId();
  std::vector<int> Ran;
  bool AllOnGui = true;
  std::vector<std::thread> Workers;
  std::atomic<int> Next{0};
  std::mutex Order;
  std::vector<int> Queued;
  for (int T = 0; T < 4; ++T) {
    Workers.emplace_back([&] {
      for (int I = 0; I < 50; ++I) {
        // Number and queue under one lock, so the queued order is known.
        std::lock_guard<std::mutex> Guard(Order);
        const int N = Next++;
        Queued.push_back(N);
        QueueToMainThread([&, N] {
          if (GetCurrentThreadId() != Gui) AllOnGui = false;
          Ran.push_back(N);
        });
      }
    });
  }
  for (auto& W : Workers) W.join();
  EXPECT_TRUE(PumpUntil([&] { return Ran.size() == 200; }));
  EXPECT_EQ(Ran, Queued);
  EXPECT_TRUE(AllOnGui);

  // A failing call is reported and the next ones still run.
  test::TMessageBoxCatcher Catcher;
  QueueToMainThread([] { throw std::runtime_error("queued call failed"); });
  QueueToMainThread([&] { Ran.push_back(-1); });
  EXPECT_TRUE(PumpUntil([&] { return Ran.back() == -1; }));
  ASSERT_EQ(Catcher.Boxes.size(), 1u);
  EXPECT_EQ(Catcher.Boxes[0].Text, "queued call failed.");
}

TEST(TaskWindowsDisabler, DisablesTheOthersAndGivesThemBack) {
  TForm A(nullptr), B(nullptr), C(nullptr);
  A.Show();
  B.Show();
  C.Show();
  C.SetEnabled(false);
  {
    TTaskWindowsDisabler Others(B.Handle());
    EXPECT_FALSE(IsWindowEnabled(A.Handle()));
    EXPECT_TRUE(IsWindowEnabled(B.Handle()));
  }
  EXPECT_TRUE(IsWindowEnabled(A.Handle()));
  EXPECT_FALSE(IsWindowEnabled(C.Handle())) << "was disabled before, stays so";
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

TEST(Keys, HandlersSeeKeysAndCanKeepThemFromTheWindow) {
  TForm F(nullptr);
  auto* Edit = new TEdit(&F);
  Edit->SetParent(&F);
  std::vector<std::string> Seen;
  Edit->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
    Seen.push_back("down " + std::to_string(Key));
  };
  Edit->OnKeyUp = [&](TObject*, WORD& Key, TShiftState) {
    Seen.push_back("up " + std::to_string(Key));
  };
  Edit->OnKeyPress = [&](TObject*, char& Key) {
    Seen.push_back(std::string("press ") + Key);
    if (Key == 'x') Key = 0;    // refused
    if (Key == 'a') Key = 'b';  // replaced
  };
  HWND W = Edit->Handle();
  SendMessageA(W, WM_KEYDOWN, 'A', 0);
  SendMessageA(W, WM_CHAR, 'a', 0);
  SendMessageA(W, WM_CHAR, 'x', 0);
  SendMessageA(W, WM_KEYUP, 'A', 0);
  EXPECT_EQ(Seen, (std::vector<std::string>{"down 65", "press a", "press x", "up 65"}));
  EXPECT_EQ(Edit->Text(), "b");
}

}  // namespace
}  // namespace lumora
