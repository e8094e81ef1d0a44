#include "ui/Edit.h"

namespace lumora {

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FSystemPaint = true;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FWidth = 121;
  FHeight = 21;
  FControlStyle = csClickEvents | csSetCaption | csDoubleClicks | csFramed;
}

void TEdit::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.SysClassName = "EDIT";
  P.WinClassName = "LumoraEdit";
  P.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (FReadOnly) P.Style |= ES_READONLY;
  if (FCharCase == TEditCharCase::ecUpperCase) P.Style |= ES_UPPERCASE;
  if (FCharCase == TEditCharCase::ecLowerCase) P.Style |= ES_LOWERCASE;
  if (FPasswordChar) P.Style |= ES_PASSWORD;
  if (FBorder) P.ExStyle |= WS_EX_CLIENTEDGE;
  P.ClassStyle = CS_DBLCLKS;
}

void TEdit::CreateHandleDone() {
  HWND W = WindowHandle();
  SendMessageA(W, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (FPasswordChar)
    SendMessageA(W, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
  FLastText = Text();
}

void TEdit::SetMaxLength(int Value) {
  FMaxLength = Value;
  if (HandleAllocated()) SendMessageA(WindowHandle(), EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (HandleAllocated()) SendMessageA(WindowHandle(), EM_SETREADONLY, Value, 0);
}

void TEdit::SetPasswordChar(char Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  RecreateWnd();
}

void TEdit::SetCharCase(TEditCharCase Value) {
  if (Value == FCharCase) return;
  FCharCase = Value;
  RecreateWnd();
}

void TEdit::SetBorderStyleSingle(bool Value) {
  if (Value == FBorder) return;
  FBorder = Value;
  RecreateWnd();
}

void TEdit::SelectAll() {
  if (HandleAllocated()) SendMessageA(WindowHandle(), EM_SETSEL, 0, -1);
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

void TEdit::WndProc(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND:
      if (HIWORD(M.WParam) == EN_CHANGE) {
        std::string Now = Text();
        if (Now != FLastText) {
          FLastText = std::move(Now);
          Change();
        }
      }
      return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
      // The field's colour is the control's Color, its text the font's.
      HDC DC = reinterpret_cast<HDC>(M.WParam);
      SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Font().Color())));
      SetBkColor(DC, static_cast<COLORREF>(ColorToRGB(Color())));
      SetDCBrushColor(DC, static_cast<COLORREF>(ColorToRGB(Color())));
      M.Result = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
      return;
    }
    case CM_TEXTCHANGED:
      TWinControl::WndProc(M);
      // Text set while there is no window: the change is still a change.
      if (!HandleAllocated() && Text() != FLastText) {
        FLastText = Text();
        Change();
      }
      return;
    case CM_COLORCHANGED:
      TWinControl::WndProc(M);
      Invalidate();
      return;
    case WM_SETFOCUS:
      TWinControl::WndProc(M);
      if (FAutoSelect) SelectAll();
      return;
    default:
      TWinControl::WndProc(M);
  }
}

}  // namespace lumora
