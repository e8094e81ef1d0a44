#pragma once
// TDovaTranPanel: a light windowed container made with the transparent
// extended style, an optional one-pixel frame and a one-line caption centred
// vertically. The drop window carries its picture on one and drags itself by
// the panel's mouse events.

#include "ui/Alignment.h"
#include "ui/WinControl.h"

namespace lumora {

class TDovaTranPanel : public TCustomControl {
 public:
  explicit TDovaTranPanel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool Border() const { return FBorder; }
  void SetBorder(bool Value);

  // The DrawTextA flags for an alignment: the horizontal flag, vertical
  // centring and tab expansion.
  static UINT TextFlags(TAlignment Value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  TAlignment FAlignment = TAlignment::taCenter;
  bool FBorder = false;
};

}  // namespace lumora
