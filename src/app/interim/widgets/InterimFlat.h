#pragma once
// Plain stand-ins for the flat controls while they are being built, with
// the same names and properties that the main window uses: system buttons,
// boxes and edits. The build uses them only when src/widgets has no real
// control of that name.

#include <windows.h>

#include "ui/Bitmap.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/WinControl.h"

namespace lumora::interim {

class TCheckButton : public TButton {
 public:
  TCheckButton(TComponent* AOwner, DWORD Kind) : TButton(AOwner), FKind(Kind) {}
  bool Checked() const {
    if (WindowHandle()) return SendMessageA(WindowHandle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    return FChecked;
  }
  void SetChecked(bool Value) {
    FChecked = Value;
    if (HandleAllocated())
      SendMessageA(WindowHandle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (Value && FKind == BS_AUTORADIOBUTTON && Parent())
      for (int I = 0; I < Parent()->ControlCount(); ++I)
        if (auto* R = dynamic_cast<TCheckButton*>(Parent()->Controls(I));
            R && R != this && R->FKind == FKind)
          R->SetChecked(false);
  }

 protected:
  void CreateParams(TCreateParams& P) override {
    TButton::CreateParams(P);
    P.Style |= FKind;
  }
  void CreateHandleDone() override {
    TButton::CreateHandleDone();
    SendMessageA(WindowHandle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  DWORD FKind;
  bool FChecked = false;
};

class TBoxPanel : public TCustomControl {
 public:
  explicit TBoxPanel(TComponent* AOwner) : TCustomControl(AOwner) {}
  void SetColorHighLight(TColor) {}
  void SetColorShadow(TColor) {}
  void SetColorBorder(TColor) {}

 protected:
  void Paint() override {
    Canvas().Brush().SetColor(Color());
    RECT R = ClientRect();
    Canvas().FillRect(R);
  }
};

}  // namespace lumora::interim
