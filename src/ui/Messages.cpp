#include "ui/Messages.h"

namespace lumora {

TShiftState KeysToShiftState(WPARAM Keys) {
  TShiftState S = 0;
  if (Keys & MK_SHIFT) S |= ssShift;
  if (Keys & MK_CONTROL) S |= ssCtrl;
  if (Keys & MK_LBUTTON) S |= ssLeft;
  if (Keys & MK_RBUTTON) S |= ssRight;
  if (Keys & MK_MBUTTON) S |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) S |= ssAlt;
  return S;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState S = 0;
  if (GetKeyState(VK_SHIFT) < 0) S |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) S |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) S |= ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) S |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) S |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) S |= ssMiddle;
  return S;
}

POINT PointFromLParam(LPARAM LParam) {
  return POINT{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
}

}  // namespace lumora
