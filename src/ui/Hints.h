#pragma once
// Tooltips for controls' hints: one tooltip window for the program, one tool
// per control whose hint is shown. The layer relays every mouse message of
// its windows to the tooltip, so no window is subclassed behind its back.

#include <windows.h>

#include <string>

namespace lumora {

class TControl;

// A windowless control: a rectangle of its parent's window.
void SetHintTool(TControl* Control, HWND Host, const RECT& Rect, const std::string& Text);
// A windowed control: its whole window.
void SetHintToolWindow(TControl* Control, HWND Window, const std::string& Text);
void RemoveHintTool(TControl* Control);
void RelayHintMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// The tooltip window, or nullptr before the first hint.
HWND HintWindow();

}  // namespace lumora
