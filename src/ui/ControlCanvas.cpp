#include "ui/ControlCanvas.h"

#include "ui/Control.h"

namespace lumora {

TControlCanvas::TControlCanvas(TControl& Control) {
  POINT Origin{0, 0};
  HWND Window = Control.SurfaceWindow(Origin);
  if (!Window) return;
  FDC = TWindowDC::Client(Window);
  if (!FDC) return;
  HDC DC = FDC.Get();
  FSaved = TSavedDC(DC);
  // The control's client area, and nothing of its parent or siblings around
  // it, becomes the surface, with (0, 0) at its top-left corner.
  SetViewportOrgEx(DC, Origin.x, Origin.y, nullptr);
  const RECT Client = Control.ClientRect();
  IntersectClipRect(DC, 0, 0, Client.right, Client.bottom);
  Font().Assign(Control.Font());
  SetHandle(DC);
}

TControlCanvas::~TControlCanvas() {
  SetHandle(nullptr);
}

}  // namespace lumora
