#include "tray/NotifyIconRecord.h"

#include <algorithm>
#include <cstring>

namespace lumora {

NOTIFYICONDATAA MakeNotifyIconData(HWND Window) {
  NOTIFYICONDATAA Data;
  std::memset(&Data, 0, sizeof Data);
  Data.cbSize = NotifyIconDataSize;
  Data.hWnd = Window;
  Data.uID = NotifyIconID;
  Data.uFlags = NotifyIconFlags;
  Data.uCallbackMessage = NotifyIconCallbackMessage;
  return Data;
}

void FillNotifyIconData(NOTIFYICONDATAA& Data, HICON Icon, std::string_view Hint, bool ShowHint) {
  Data.hIcon = Icon;
  std::memset(Data.szTip, 0, sizeof Data.szTip);
  if (!ShowHint) return;
  const std::size_t Length = std::min(Hint.size(), sizeof Data.szTip - 1);
  std::memcpy(Data.szTip, Hint.data(), Length);
}

}  // namespace lumora
