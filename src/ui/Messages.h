#pragma once
// Messages as the window layer passes them around: Win32 messages and the
// layer's own notifications (CM_*) travel the same road, through a control's
// WndProc, so that a control reacts to "font changed" or "mouse entered" the
// same way it reacts to WM_PAINT, and a descendant can add behaviour after
// the standard handling by calling the base first.

#include <windows.h>

#include <cstdint>

namespace lumora {

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// The layer's notifications. Parameters are given where they mean something.
enum : UINT {
  CM_BASE = 0xB000,
  CM_ENABLEDCHANGED = CM_BASE + 1,      // Enabled was set
  CM_COLORCHANGED = CM_BASE + 2,        // Color was set
  CM_FONTCHANGED = CM_BASE + 3,         // Font changed
  CM_TEXTCHANGED = CM_BASE + 4,         // Caption/Text was set
  CM_PARENTCOLORCHANGED = CM_BASE + 5,  // the parent's Color changed
  CM_PARENTFONTCHANGED = CM_BASE + 6,   // the parent's Font changed
  CM_SYSCOLORCHANGE = CM_BASE + 7,      // the system colour scheme changed
  CM_DIALOGCHAR = CM_BASE + 8,          // WParam: character; Result 1 = handled
  CM_FOCUSCHANGED = CM_BASE + 9,        // LParam: the form's new active TWinControl*
  CM_MOUSEENTER = CM_BASE + 10,
  CM_MOUSELEAVE = CM_BASE + 11,
  CM_ENTER = CM_BASE + 12,  // became the form's active control
  CM_EXIT = CM_BASE + 13,   // stopped being it
  CM_VISIBLECHANGED = CM_BASE + 14,
  CM_PARENTSHOWHINTCHANGED = CM_BASE + 15,
  CM_HINTCHANGED = CM_BASE + 16,
  CM_GROUPNOTIFY = CM_BASE + 17,  // WParam: group index; LParam: sending TControl*
  CM_LOADED = CM_BASE + 18,
  CM_POSCHANGED = CM_BASE + 19,  // bounds changed (after the move or size)
  // Notifications a parent reflects to the child they concern.
  CN_BASE = 0xBC00,
  CN_COMMAND = CN_BASE + WM_COMMAND,
  CN_NOTIFY = CN_BASE + WM_NOTIFY,
  CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
  CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
  CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
};

// Shift state: keys and buttons held during a mouse or key event.
enum TShiftFlag : std::uint8_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = std::uint8_t;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// From the MK_* flags of a mouse message; Alt is read from the keyboard.
TShiftState KeysToShiftState(WPARAM Keys);
// From the keyboard as it is now (GetKeyState).
TShiftState KeyboardStateToShiftState();
// The mouse position packed in a message's LParam, sign kept.
POINT PointFromLParam(LPARAM LParam);

}  // namespace lumora
