#pragma once
// Helpers for the flat controls' screen tests: one shown, active form for a
// whole test binary, pictures of what the screen shows, and the real pointer
// and keyboard of the X display moved through xdotool.

#include <windows.h>

#include <memory>
#include <string>

#include "ui/Bitmap.h"
#include "ui/Form.h"

namespace lumora::test {

// The form shared by the tests of a binary: borderless at (40, 40), 400 x 300,
// client colour FormColor, shown and in the foreground.
inline constexpr TColor FormColor = 0x806040;
TForm& ScreenForm();

// What the screen shows of Window: its client area, or (WholeWindow) the
// whole window with the non-client area, from GetDC or GetWindowDC.
std::unique_ptr<TBitmap> ScreenShot(HWND Window, bool WholeWindow = false);

// Runs "xdotool ARGS" on the display.
bool Xdotool(const std::string& Args);
// Moves the real pointer to a screen point and waits until it is there and
// the messages it caused are handled.
bool MovePointer(POINT Screen);
// A point on the shared form away from every control the tests place. Wine
// hears of the pointer only while it is over one of its windows: a pointer
// taken off the form and put back where it was would bring no mouse move.
POINT AwayPoint();
// A point of Window's client area, in screen coordinates.
POINT ScreenPointOf(HWND Window, int X, int Y);

}  // namespace lumora::test
