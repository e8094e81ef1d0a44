#pragma once
// What the check box and radio button tests share: a shown, active form with
// a focus sink, pumping through the application (so that typed characters
// reach the controls as dialog characters, as in the program), pictures of
// a control as the screen shows it, and real input from the X server.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/GdiObjects.h"
#include "ui/UiTestSupport.h"

namespace lumora::test {

inline bool AppPumpUntil(const std::function<bool()>& Done, int TimeoutMs = 3000) {
  const DWORD End = GetTickCount() + static_cast<DWORD>(TimeoutMs);
  while (!Done()) {
    if (static_cast<int>(End - GetTickCount()) <= 0) return false;
    Application().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline void AppPumpFor(int Milliseconds) {
  AppPumpUntil([] { return false; }, Milliseconds);
}

// A white, borderless form at (100, 100), 320 x 200, in front and active,
// with an edit at its right edge that holds the focus.
struct TMarkForm {
  TMarkForm() {
    Form = new TForm(&Application());
    Form->SetBorderStyle(TFormBorderStyle::bsNone);
    Form->SetBounds(100, 100, 320, 200);
    Form->SetColor(clWhite);
    Form->Font().SetName("Tahoma");
    Form->Font().SetHeight(-11);
    Form->Font().SetColor(clBlack);
    Sink = new TEdit(Form);
    Sink->SetParent(Form);
    Sink->SetBounds(250, 170, 60, 21);
    // The pointer waits off the form: a control that appears under it
    // would light up.
    SetCursorPos(1200, 1000);
    Form->Show();
    SetForegroundWindow(Form->Handle());
    Sink->SetFocus();
    AppPumpUntil([&] { return GetActiveWindow() == Form->Handle(); });
  }
  ~TMarkForm() { delete Form; }
  TMarkForm(const TMarkForm&) = delete;
  TMarkForm& operator=(const TMarkForm&) = delete;

  // Puts Control on the form at (X, Y) and lets it paint.
  template <class T>
  T* Add(int X, int Y, TWinControl* Parent = nullptr) {
    auto* C = new T(Form);
    C->SetParent(Parent ? Parent : Form);
    C->SetLeft(X);
    C->SetTop(Y);
    C->Update();
    return C;
  }

  TForm* Form = nullptr;
  TEdit* Sink = nullptr;
};

// The control's client area as the screen shows it.
inline std::unique_ptr<TBitmap> ScreenShot(TWinControl& Control) {
  Control.Update();
  auto B = std::make_unique<TBitmap>(Control.Width(), Control.Height());
  TWindowDC DC = TWindowDC::Client(Control.Handle());
  BitBlt(B->Canvas().Handle(), 0, 0, Control.Width(), Control.Height(), DC.Get(), 0, 0, SRCCOPY);
  return B;
}

// "X Y" of a client point of Control on the screen, for xdotool.
inline std::string ScreenXY(TControl& Control, int X, int Y) {
  const POINT P = Control.ClientToScreen(POINT{X, Y});
  return std::to_string(P.x) + " " + std::to_string(P.y);
}

// Runs xdotool on the display with Args; false when it cannot be started.
inline bool XdoTool(const std::string& Args) {
  return StartHostProgram("Z:\\usr\\bin\\xdotool " + Args);
}

// Types a key (a virtual-key code, Alt held when WithAlt) through SendInput.
inline void TypeKey(WORD Key, bool WithAlt = false) {
  INPUT In[4] = {};
  int N = 0;
  auto Add = [&](WORD K, bool Up) {
    In[N].type = INPUT_KEYBOARD;
    In[N].ki.wVk = K;
    In[N].ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    ++N;
  };
  if (WithAlt) Add(VK_MENU, false);
  Add(Key, false);
  Add(Key, true);
  if (WithAlt) Add(VK_MENU, true);
  SendInput(static_cast<UINT>(N), In, sizeof(INPUT));
}

}  // namespace lumora::test
