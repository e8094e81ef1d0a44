#include "widgets/FlatScreenSupport.h"

#include "ui/Application.h"
#include "ui/GdiObjects.h"
#include "ui/UiTestSupport.h"

namespace lumora::test {

TForm& ScreenForm() {
  static TForm* Form = [] {
    auto* F = new TForm(&Application());
    F->SetBorderStyle(TFormBorderStyle::bsNone);
    F->SetBounds(40, 40, 400, 300);
    F->SetColor(FormColor);
    F->AfterConstruction();
    F->Show();
    SetForegroundWindow(F->Handle());
    PumpUntil([F] { return GetActiveWindow() == F->WindowHandle(); }, 3000);
    PumpFor(200);
    return F;
  }();
  return *Form;
}

std::unique_ptr<TBitmap> ScreenShot(HWND Window, bool WholeWindow) {
  RECT R{};
  if (WholeWindow) {
    GetWindowRect(Window, &R);
    OffsetRect(&R, -R.left, -R.top);
  } else {
    GetClientRect(Window, &R);
  }
  auto Shot = std::make_unique<TBitmap>(R.right, R.bottom);
  TWindowDC DC = WholeWindow ? TWindowDC::Window(Window) : TWindowDC::Client(Window);
  BitBlt(Shot->Canvas().Handle(), 0, 0, R.right, R.bottom, DC.Get(), 0, 0, SRCCOPY);
  return Shot;
}

bool Xdotool(const std::string& Args) {
  // xdotool gets NUL for its standard handles: left with ours, it could
  // leave this process's output unusable (seen after "type" under Wine).
  SECURITY_ATTRIBUTES Inherit{sizeof Inherit, nullptr, TRUE};
  HANDLE Null = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            &Inherit, OPEN_EXISTING, 0, nullptr);
  if (Null == INVALID_HANDLE_VALUE) return false;
  STARTUPINFOA Startup{};
  Startup.cb = sizeof Startup;
  Startup.dwFlags = STARTF_USESTDHANDLES;
  Startup.hStdInput = Startup.hStdOutput = Startup.hStdError = Null;
  PROCESS_INFORMATION Process{};
  std::string Line = "Z:\\usr\\bin\\xdotool " + Args;
  const BOOL Started = CreateProcessA(nullptr, Line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &Startup, &Process);
  CloseHandle(Null);
  if (!Started) return false;
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
  return true;
}

bool MovePointer(POINT Screen) {
  if (!Xdotool("mousemove " + std::to_string(Screen.x) + " " + std::to_string(Screen.y)))
    return false;
  const bool There = PumpUntil(
      [&] {
        POINT P{};
        GetCursorPos(&P);
        return P.x == Screen.x && P.y == Screen.y;
      },
      5000);
  PumpFor(150);
  return There;
}

POINT AwayPoint() {
  return ScreenPointOf(ScreenForm().Handle(), 390, 290);
}

POINT ScreenPointOf(HWND Window, int X, int Y) {
  POINT P{X, Y};
  ClientToScreen(Window, &P);
  return P;
}

}  // namespace lumora::test
