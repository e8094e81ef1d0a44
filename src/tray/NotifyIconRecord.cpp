#include "tray/NotifyIconRecord.h"

#include <algorithm>
#include <cstring>

#include "sys/FilePath.h"

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

namespace {

template <std::size_t N>
void CopyField(char (&Field)[N], std::string_view Text) {
  std::memset(Field, 0, N);
  std::memcpy(Field, Text.data(), CharacterPrefix(Text, N - 1));
}

}  // namespace

void FillNotifyIconBalloon(NOTIFYICONDATAA& Data, std::string_view Title, std::string_view Text,
                           DWORD InfoFlags) {
  Data.uFlags |= NIF_INFO;
  CopyField(Data.szInfoTitle, Title);
  CopyField(Data.szInfo, Text);
  Data.dwInfoFlags = InfoFlags;
  Data.uTimeout = 0;  // the shell's own
}

void ClearNotifyIconBalloon(NOTIFYICONDATAA& Data) {
  Data.uFlags &= ~static_cast<UINT>(NIF_INFO);
  std::memset(Data.szInfoTitle, 0, sizeof Data.szInfoTitle);
  std::memset(Data.szInfo, 0, sizeof Data.szInfo);
  Data.dwInfoFlags = 0;
}

}  // namespace lumora
