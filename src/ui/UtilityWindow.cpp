#include "ui/UtilityWindow.h"

#include <utility>

#include "sys/LumoraError.h"
#include "ui/ErrorReport.h"

namespace lumora {
namespace {

const char UtilityClassName[] = "LumoraUtilWindow";

void RegisterUtilityClass(WNDPROC Proc) {
  WNDCLASSA Existing{};
  HINSTANCE Instance = GetModuleHandleA(nullptr);
  if (GetClassInfoA(Instance, UtilityClassName, &Existing)) return;
  WNDCLASSA Class{};
  Class.lpfnWndProc = Proc;
  Class.hInstance = Instance;
  Class.lpszClassName = UtilityClassName;
  if (!RegisterClassA(&Class)) throw ELumoraError("Cannot register the utility window class");
}

}  // namespace

TUtilityWindow::TUtilityWindow(THandler Handler) : FHandler(std::move(Handler)) {
  RegisterUtilityClass(&WindowProc);
  // A hidden top-level popup rather than a message-only window: the shell's
  // notification-area callbacks and broadcasts must reach it.
  FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, UtilityClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, GetModuleHandleA(nullptr), this);
  if (!FHandle) throw ELumoraError("Cannot create a utility window");
}

TUtilityWindow::~TUtilityWindow() {
  if (FHandle) DestroyWindow(FHandle);
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCCREATE) {
    auto* Create = reinterpret_cast<CREATESTRUCTA*>(LParam);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
  }
  auto* Self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (Msg == WM_NCDESTROY && Self) {
    SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
    Self->FHandle = nullptr;
    return DefWindowProcA(Window, Msg, WParam, LParam);
  }
  if (Self && Self->FHandler) {
    TMessage M{Msg, WParam, LParam, 0};
    bool Handled = false;
    GuardCallback([&] { Handled = Self->FHandler(M); });
    if (Handled) return M.Result;
  }
  return DefWindowProcA(Window, Msg, WParam, LParam);
}

}  // namespace lumora
