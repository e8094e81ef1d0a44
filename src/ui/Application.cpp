#include "ui/Application.h"

#include <commctrl.h>

#include <algorithm>

#include "sys/LumoraError.h"
#include "ui/ErrorReport.h"
#include "ui/Form.h"
#include "ui/MainThread.h"

namespace lumora {
namespace {

const char ApplicationClassName[] = "LumoraApplication";

std::string DefaultTitle() {
  char Path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Path, MAX_PATH);
  std::string Name = Path;
  const size_t Slash = Name.find_last_of("\\/:");
  if (Slash != std::string::npos) Name.erase(0, Slash + 1);
  const size_t Dot = Name.rfind('.');
  if (Dot != std::string::npos) Name.erase(Dot);
  return Name;
}

}  // namespace

TApplication& Application() {
  // Never freed: forms and components may still be going away at exit.
  static auto* Instance = new TApplication;
  return *Instance;
}

TApplication::TApplication() : TComponent(nullptr), FTitle(DefaultTitle()) {
  INITCOMMONCONTROLSEX Init{sizeof Init, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&Init);
  InitMainThreadQueue();
}

TApplication::~TApplication() {
  DestroyComponents();
  if (FHandle) DestroyWindow(FHandle);
}

HWND TApplication::Handle() {
  if (FHandle) return FHandle;
  HINSTANCE Instance = GetModuleHandleA(nullptr);
  WNDCLASSA Existing{};
  if (!GetClassInfoA(Instance, ApplicationClassName, &Existing)) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = &WindowProc;
    Class.hInstance = Instance;
    Class.hIcon = LoadIcon(Instance, "MAINICON");
    if (!Class.hIcon) Class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Class.lpszClassName = ApplicationClassName;
    if (!RegisterClassA(&Class)) throw ELumoraError("Cannot register the application window class");
  }
  // Visible but of no size, in the middle of the screen: Windows gives it
  // the taskbar button, and the forms it owns get none of their own.
  const int X = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int Y = GetSystemMetrics(SM_CYSCREEN) / 2;
  FHandle = CreateWindowExA(
      0, ApplicationClassName, FTitle.c_str(),
      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, X, Y, 0,
      0, nullptr, nullptr, Instance, this);
  if (!FHandle) throw ELumoraError("Cannot create the application window");
  return FHandle;
}

LRESULT CALLBACK TApplication::WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCCREATE) {
    auto* Create = reinterpret_cast<CREATESTRUCTA*>(LParam);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
    if (auto* Bound = static_cast<TApplication*>(Create->lpCreateParams)) Bound->FHandle = Window;
  }
  auto* Self = reinterpret_cast<TApplication*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (!Self) return DefWindowProcA(Window, Msg, WParam, LParam);
  TMessage M{Msg, WParam, LParam, 0};
  if (Msg == WM_NCDESTROY) {
    SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
    if (Self->FHandle == Window) Self->FHandle = nullptr;
    return DefWindowProcA(Window, Msg, WParam, LParam);
  }
  GuardCallback([&] { Self->WndProc(M); });
  return M.Result;
}

void TApplication::WndProc(TMessage& M) {
  auto Default = [&] { M.Result = DefWindowProcA(FHandle, M.Msg, M.WParam, M.LParam); };
  switch (M.Msg) {
    case WM_SYSCOMMAND:
      switch (M.WParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          return;
        case SC_RESTORE:
          Restore();
          return;
      }
      Default();
      return;
    case WM_CLOSE:
      if (FMainForm) FMainForm->Close();
      return;
    case WM_SETFOCUS:
      // The taskbar button activates this window; the focus belongs to the
      // main form when it shows.
      if (FMainForm && FMainForm->HandleAllocated() && IsWindowVisible(FMainForm->WindowHandle()) &&
          IsWindowEnabled(FMainForm->WindowHandle()))
        ::SetFocus(FMainForm->WindowHandle());
      else
        Default();
      return;
    case WM_QUERYENDSESSION:
      M.Result = 1;
      return;
    case WM_ENDSESSION:
      if (M.WParam) Terminate();
      return;
    default:
      Default();
  }
}

void TApplication::SetTitle(const std::string& Value) {
  FTitle = Value;
  if (FHandle) SetWindowTextA(FHandle, Value.c_str());
}

void TApplication::AddForm(TForm* Form) {
  FForms.push_back(Form);
}

void TApplication::RemoveForm(TForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FMainForm == Form) FMainForm = nullptr;
}

void TApplication::Run() {
  if (!FTerminated) {
    if (FShowMainForm && FMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
  }
  // The application object itself is never freed (components may still be
  // going away at exit), so its forms go here, each with its OnDestroy.
  DestroyComponents();
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& Msg) {
  // Tab navigation and accelerators for the forms' own controls; an edit
  // keeps the characters it types.
  TWinControl* Target = FindControl(Msg.hwnd);
  if (!Target) return false;
  TForm* Form = Target->ParentForm();
  if (!Form) return false;
  const LRESULT Code = SendMessageA(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, 0);
  if (Msg.message == WM_KEYDOWN && Msg.wParam == VK_TAB && !(Code & DLGC_WANTTAB) &&
      GetKeyState(VK_CONTROL) >= 0) {
    Form->SelectNext(GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  // Alt+Space opens the window menu; it is nobody's accelerator (and must
  // not reach a focused check box as a plain space).
  if ((Msg.message == WM_SYSCHAR && Msg.wParam != ' ') ||
      (Msg.message == WM_CHAR && !(Code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_HASSETSEL)))) {
    return Form->DialogChar(static_cast<char>(Msg.wParam));
  }
  return false;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool Handled = false;
  GuardCallback([&] { Handled = IsKeyMsg(Msg); });
  if (!Handled) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG Msg;
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(Msg);
}

void TApplication::HandleMessage() {
  MSG Msg;
  const BOOL Got = GetMessageA(&Msg, nullptr, 0, 0);
  if (Got == -1) {
    FTerminated = true;
    return;
  }
  if (Got == 0) {
    FTerminated = true;
    return;
  }
  ProcessMessage(Msg);
}

void TApplication::Minimize() {
  HWND W = Handle();
  if (!IsIconic(W)) ShowWindow(W, SW_MINIMIZE);
}

void TApplication::Restore() {
  HWND W = Handle();
  if (IsIconic(W)) ShowWindow(W, SW_RESTORE);
  if (FMainForm && FMainForm->Visible() && FMainForm->HandleAllocated())
    SetForegroundWindow(FMainForm->WindowHandle());
}

void TApplication::ShowException(const std::string& Text) {
  HWND Owner = GetActiveWindow();
  if (!Owner) Owner = FHandle;
  MessageBoxA(Owner, Text.c_str(), FTitle.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace lumora
