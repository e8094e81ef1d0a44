#pragma once
// A canvas over a control's client area for drawing outside a paint. A
// control that must show a change at once (a check mark that lights up when
// the mouse enters) cannot wait for WM_PAINT, and its paint canvas has a DC
// only while a paint is in progress. This canvas holds a DC for as long as
// it lives: of the control's own window, or of its parent's window, moved
// and clipped to a windowless control's bounds. It draws in the control's
// font and gives the DC back, with the canvas's objects taken out, when it
// goes.
//
// It makes no window: while the control has nothing on screen to draw on
// (no window yet, no parent), Handle() is null and there is nothing to
// refresh; the next paint draws the control whole.

#include <windows.h>

#include "ui/Canvas.h"
#include "ui/GdiObjects.h"

namespace lumora {

class TControl;

class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl& Control);
  ~TControlCanvas() override;
  TControlCanvas(const TControlCanvas&) = delete;
  TControlCanvas& operator=(const TControlCanvas&) = delete;

 private:
  // Released after the saved state is put back, and both after the canvas
  // has taken its objects out of the DC.
  TWindowDC FDC;
  TSavedDC FSaved;
};

}  // namespace lumora
