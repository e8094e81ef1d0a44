#pragma once
// The plain panel: a windowed container with a caption placed by Alignment
// and an OnResize event. Its own painting is a face in Color with the
// caption; flat descendants replace it entirely.

#include "ui/Alignment.h"
#include "ui/WinControl.h"

namespace lumora {

class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment Value);

  void WndProc(TMessage& Message) override;

  // Raised after the panel's size has changed.
  TNotifyEvent OnResize;

 protected:
  void Paint() override;
  virtual void Resize();

  TAlignment FAlignment = TAlignment::taCenter;

 private:
  int FLastWidth = -1, FLastHeight = -1;
};

}  // namespace lumora
