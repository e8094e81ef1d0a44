#pragma once
// A text label: a windowless control that draws its caption in its font,
// embossed when disabled, on its colour or (Transparent) on its parent.

#include "ui/Alignment.h"
#include "ui/WinControl.h"

namespace lumora {

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* AOwner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // The "&" marks an accelerator unless ShowAccelChar is off.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);

  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;

 private:
  UINT TextFlags() const;
  void AdjustBounds();

  bool FAutoSize = true;
  bool FTransparent = false;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  bool FShowAccelChar = true;
};

}  // namespace lumora
