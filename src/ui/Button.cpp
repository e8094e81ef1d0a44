#include "ui/Button.h"

#include "ui/Form.h"

namespace lumora {

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  FSystemPaint = true;
  FTabStop = true;
  FWidth = 75;
  FHeight = 25;
  FControlStyle = csSetCaption | csDoubleClicks;
}

void TButton::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.SysClassName = "BUTTON";
  P.WinClassName = "LumoraButton";
  P.Style |= BS_PUSHBUTTON;
  P.ClassStyle = CS_DBLCLKS;
}

void TButton::Click() {
  if (FModalResult != 0) {
    if (TForm* Form = ParentForm()) Form->SetModalResult(FModalResult);
  }
  TWinControl::Click();
}

void TButton::WndProc(TMessage& M) {
  if (M.Msg == CN_COMMAND) {
    if (HIWORD(M.WParam) == BN_CLICKED) Click();
    return;
  }
  if (M.Msg == CM_DIALOGCHAR) {
    if (Enabled() && Visible() && IsAccel(static_cast<char>(M.WParam), Caption())) {
      Click();
      M.Result = 1;
    }
    return;
  }
  TWinControl::WndProc(M);
}

}  // namespace lumora
