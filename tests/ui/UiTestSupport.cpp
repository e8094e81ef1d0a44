#include "ui/UiTestSupport.h"

namespace lumora::test {

bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs) {
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Done()) {
    if (std::chrono::steady_clock::now() >= End) return false;
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&Msg);
      DispatchMessageA(&Msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(int Milliseconds) {
  PumpUntil([] { return false; }, Milliseconds);
}

namespace {
TMessageBoxCatcher* Current = nullptr;
}

TMessageBoxCatcher::TMessageBoxCatcher() {
  Current = this;
  FHook = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
}

TMessageBoxCatcher::~TMessageBoxCatcher() {
  if (FHook) UnhookWindowsHookEx(FHook);
  Current = nullptr;
}

LRESULT CALLBACK TMessageBoxCatcher::Hook(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HCBT_ACTIVATE && Current) {
    HWND Box = reinterpret_cast<HWND>(WParam);
    char Class[64] = {};
    GetClassNameA(Box, Class, sizeof Class);
    if (std::string(Class) == "#32770") {
      TCaughtBox Caught;
      char Buffer[1024] = {};
      GetWindowTextA(Box, Buffer, sizeof Buffer);
      Caught.Caption = Buffer;
      // The text is the static control with id 0xFFFF.
      if (HWND Text = GetDlgItem(Box, 0xFFFF)) {
        GetWindowTextA(Text, Buffer, sizeof Buffer);
        Caught.Text = Buffer;
      }
      // The icon control's id differs between systems (20 or 1088).
      for (int Id : {20, 1088}) {
        if (HWND Icon = GetDlgItem(Box, Id))
          Caught.Icon = reinterpret_cast<HICON>(SendMessageA(Icon, STM_GETICON, 0, 0));
      }
      for (HWND Child = GetWindow(Box, GW_CHILD); Child; Child = GetWindow(Child, GW_HWNDNEXT)) {
        GetClassNameA(Child, Class, sizeof Class);
        if (std::string(Class) == "Button" && (GetWindowLongA(Child, GWL_STYLE) & WS_VISIBLE))
          ++Caught.VisibleButtons;
      }
      Current->Boxes.push_back(Caught);
      PostMessageA(Box, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

void SendClick(HWND Window, int X, int Y) {
  SendMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
  SendMessageA(Window, WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
}

}  // namespace lumora::test
