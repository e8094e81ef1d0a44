#include "ui/UiTestSupport.h"

#include <algorithm>

#include "ui/Canvas.h"

namespace lumora::test {

namespace {
// The window layer's tests run with the canvas's handle checks on, as a
// debug build has them: a draw call without a DC fails the test instead of
// quietly drawing nothing.
[[maybe_unused]] const bool HandleChecksOn = (TCanvas::SetHandleChecks(true), true);
}  // namespace

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

std::vector<std::string>& TMemberForm::Journal() {
  static std::vector<std::string> Lines;
  return Lines;
}

TMemberForm::TMemberForm(TComponent* AOwner)
    : TForm(AOwner), FTag(std::make_shared<std::string>("form")), FWitness{FTag} {
  FField = new TEdit(this);
  FField->SetParent(this);
  FField->SetText("field");
  // The tag is held by the handler too, so that a late OnDestroy can still
  // say who it is.
  OnDestroy = [this, Tag = FTag](TObject*) {
    auto& J = Journal();
    if (std::find(J.begin(), J.end(), *Tag + " members gone") != J.end()) {
      J.push_back(*Tag + " destroy after its members went");
      return;
    }
    J.push_back(*Tag + " destroy: " + std::to_string(FQueue.size()) + " queued, " + FField->Text());
    FQueue.clear();
  };
}

void TMemberForm::SetTag(const std::string& Value) {
  *FTag = Value;
  FField->SetText("field of " + Value);
}

TMemberForm::TWitness::~TWitness() {
  Journal().push_back(*Tag + " members gone");
}

bool StartHostProgram(const std::string& CommandLine) {
  STARTUPINFOA Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  std::string Line = CommandLine;
  if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup,
                      &Process))
    return false;
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
  return true;
}

bool HostHasXdotool() {
  return GetFileAttributesA("Z:\\usr\\bin\\xdotool") != INVALID_FILE_ATTRIBUTES;
}

}  // namespace lumora::test
