#include "ui/Hints.h"

#include <commctrl.h>

#include <map>

namespace lumora {
namespace {

struct TTool {
  HWND Host;
  UINT_PTR Id;
};

struct THints {
  HWND Window = nullptr;
  std::map<TControl*, TTool> Tools;
};

THints& Hints() {
  static auto* Instance = new THints;
  return *Instance;
}

HWND NeedWindow() {
  THints& H = Hints();
  if (H.Window && IsWindow(H.Window)) return H.Window;
  INITCOMMONCONTROLSEX Init{sizeof Init, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&Init);
  H.Window = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (H.Window) SendMessageA(H.Window, TTM_SETMAXTIPWIDTH, 0, 400);
  return H.Window;
}

TOOLINFOA MakeInfo(HWND Host, UINT_PTR Id, UINT Flags) {
  TOOLINFOA Info{};
  // The size every version of the common controls accepts.
  Info.cbSize = TTTOOLINFOA_V2_SIZE;
  Info.uFlags = Flags;
  Info.hwnd = Host;
  Info.uId = Id;
  return Info;
}

void AddTool(TControl* Control, HWND Host, UINT_PTR Id, UINT Flags, const RECT& Rect,
             const std::string& Text) {
  RemoveHintTool(Control);
  HWND Tip = NeedWindow();
  if (!Tip) return;
  TOOLINFOA Info = MakeInfo(Host, Id, Flags);
  Info.rect = Rect;
  std::string Copy = Text;  // the tooltip copies the text
  Info.lpszText = Copy.data();
  if (SendMessageA(Tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&Info)))
    Hints().Tools[Control] = TTool{Host, Id};
}

}  // namespace

void SetHintTool(TControl* Control, HWND Host, const RECT& Rect, const std::string& Text) {
  AddTool(Control, Host, reinterpret_cast<UINT_PTR>(Control), 0, Rect, Text);
}

void SetHintToolWindow(TControl* Control, HWND Window, const std::string& Text) {
  AddTool(Control, Window, reinterpret_cast<UINT_PTR>(Window), TTF_IDISHWND, RECT{}, Text);
}

void RemoveHintTool(TControl* Control) {
  THints& H = Hints();
  auto Found = H.Tools.find(Control);
  if (Found == H.Tools.end()) return;
  if (H.Window && IsWindow(H.Window)) {
    TOOLINFOA Info = MakeInfo(Found->second.Host, Found->second.Id, 0);
    SendMessageA(H.Window, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&Info));
  }
  H.Tools.erase(Found);
}

void RelayHintMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  THints& H = Hints();
  if (!H.Window || H.Tools.empty() || !Window) return;
  MSG M{};
  M.hwnd = Window;
  M.message = Msg;
  M.wParam = WParam;
  M.lParam = LParam;
  M.time = static_cast<DWORD>(GetMessageTime());
  DWORD Pos = GetMessagePos();
  M.pt = POINT{static_cast<short>(LOWORD(Pos)), static_cast<short>(HIWORD(Pos))};
  SendMessageA(H.Window, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&M));
}

HWND HintWindow() {
  return Hints().Window;
}

}  // namespace lumora
