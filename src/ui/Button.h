#pragma once
// The push button: the system button wrapped as a windowed control. Click
// runs OnClick, whether the user pressed the button or code called it.

#include "ui/WinControl.h"

namespace lumora {

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* AOwner);

  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }

  void Click() override;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  int FModalResult = 0;
};

}  // namespace lumora
