#pragma once
// The one NOTIFYICONDATAA record the tray icon hands to every
// Shell_NotifyIconA call. Its size is the shell's version-2 size of the
// record (up to, not including, guidItem): the shell then keeps to the
// version-2 behaviour on every system, and on 32-bit Windows that size is
// 488 bytes. It is taken from the structure, never written as a number, so
// the 64-bit build hands over the size its own layout has.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstddef>
#include <string_view>

namespace lumora {

inline constexpr DWORD NotifyIconDataSize = NOTIFYICONDATAA_V2_SIZE;
#if defined(_WIN32) && !defined(_WIN64)
static_assert(NotifyIconDataSize == 488, "the 32-bit version-2 NOTIFYICONDATAA is 488 bytes");
#endif
static_assert(NotifyIconDataSize <= sizeof(NOTIFYICONDATAA));

inline constexpr UINT NotifyIconID = 1;
inline constexpr UINT NotifyIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
inline constexpr UINT NotifyIconCallbackMessage = 0x0800;                  // 2048
static_assert(NotifyIconFlags == 7);

// The fixed fields: size, window, id, flags, callback message; all else zero.
NOTIFYICONDATAA MakeNotifyIconData(HWND Window);

// Fills the fields that change before every call: the icon, and the tip,
// which is at most the first 127 characters of Hint and a NUL, or all zero
// when Hint is empty or not shown.
void FillNotifyIconData(NOTIFYICONDATAA& Data, HICON Icon, std::string_view Hint, bool ShowHint);

// Makes the record show a balloon with its next call: NIF_INFO, Title and
// Text (each cut between two characters to what its field holds, 63 and 255
// bytes), and InfoFlags (NIIF_WARNING, say), with the shell's own timeout.
void FillNotifyIconBalloon(NOTIFYICONDATAA& Data, std::string_view Title, std::string_view Text,
                           DWORD InfoFlags);
// Takes the balloon out of the record again, so that later calls only
// change the icon and tip.
void ClearNotifyIconBalloon(NOTIFYICONDATAA& Data);

}  // namespace lumora
