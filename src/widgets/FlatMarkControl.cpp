#include "widgets/FlatMarkControl.h"

#include <algorithm>
#include <utility>

#include "ui/Canvas.h"
#include "ui/ControlCanvas.h"
#include "ui/Timer.h"

namespace lumora {

void THotTrackTimer::AddInstance() {
  if (FInstances++ > 0) return;
  FTimer = new TTimer(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(100);
}

void THotTrackTimer::RemoveInstance() {
  if (--FInstances > 0) return;
  FTracked = nullptr;
  delete FTimer;
  FTimer = nullptr;
}

void THotTrackTimer::Track(TControl* Control, std::function<void()> Check) {
  FTimer->SetEnabled(false);
  FTracked = Control;
  FTimer->SetOnTimer([Check = std::move(Check)](TObject*) { Check(); });
  FTimer->SetEnabled(true);
}

void THotTrackTimer::Stop(TControl* Control) {
  if (!Control || Control != FTracked) return;
  FTimer->SetEnabled(false);
  FTracked = nullptr;
}

TFlatMarkControl::TFlatMarkControl(TComponent* AOwner, int MarkSize, THotTrackTimer& HotTrack)
    : TCustomControl(AOwner), FHotTrack(HotTrack), FMarkSize(MarkSize) {
  FHotTrack.AddInstance();
  // The declared default; while ParentColor holds, the parent's colour
  // replaces it as soon as there is a parent.
  FColor = 0xE1EAEB;
  SetBounds(Left(), Top(), 121, 17);
}

TFlatMarkControl::~TFlatMarkControl() {
  // A control freed without BeforeDestruction must not stay watched either.
  FHotTrack.Stop(this);
  FHotTrack.RemoveInstance();
}

void TFlatMarkControl::BeforeDestruction() {
  StopHotTrack();
  TCustomControl::BeforeDestruction();
}

void TFlatMarkControl::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TFlatMarkControl::SetColorFocused(TColor Value) {
  FColorFocused = Value;
  Invalidate();
}

void TFlatMarkControl::SetColorDown(TColor Value) {
  FColorDown = Value;
  Invalidate();
}

void TFlatMarkControl::SetColorBorder(TColor Value) {
  FColorBorder = Value;
  Invalidate();
}

void TFlatMarkControl::SetColorMark(TColor Value) {
  FColorMark = Value;
  Invalidate();
}

void TFlatMarkControl::SetRightLayout(bool Value) {
  FRightLayout = Value;
  Invalidate();
}

void TFlatMarkControl::SetAdvColorFocused(TAdvColors Value) {
  FAdvColorFocused = ClampAdvColors(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatMarkControl::SetAdvColorDown(TAdvColors Value) {
  FAdvColorDown = ClampAdvColors(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatMarkControl::SetAdvColorBorder(TAdvColors Value) {
  FAdvColorBorder = ClampAdvColors(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatMarkControl::SetUseAdvColors(bool Value) {
  if (Value == FUseAdvColors) return;
  FUseAdvColors = Value;
  SetParentColor(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatMarkControl::ApplyAdvColors() {
  if (!FUseAdvColors) return;
  FColorFocused = ShiftLightness(Color(), FColorFocused, FAdvColorFocused, lsLighten);
  FColorDown = ShiftLightness(Color(), FColorDown, FAdvColorDown, lsDarken);
  FColorBorder = ShiftLightness(Color(), FColorBorder, FAdvColorBorder, lsDarken);
}

RECT TFlatMarkControl::MarkRect() const {
  const RECT R = ClientRect();
  if (FRightLayout)
    return RECT{R.right - 1 - FMarkSize, R.top + 3, R.right - 1, R.top + 3 + FMarkSize};
  return RECT{R.left + 1, R.top + 3, R.left + 1 + FMarkSize, R.top + 3 + FMarkSize};
}

RECT TFlatMarkControl::CaptionRect() const {
  const RECT R = ClientRect();
  if (FRightLayout) return RECT{R.left + 1, R.top + 1, R.right - 16, R.bottom - 1};
  return RECT{R.left + 16, R.top + 1, R.right - 1, R.bottom - 1};
}

TColor TFlatMarkControl::FaceColor() const {
  if (FHasFocus || FIsHot) return FPressing ? FColorDown : FColorFocused;
  return Color();
}

void TFlatMarkControl::Paint() {
  TCanvas& C = Canvas();
  // Without Transparent the erase step has filled the client area with Color.
  if (FTransparent) PaintParentBackground(this, C);
  PaintMark(C);
  DrawCaptionText(C);
}

void TFlatMarkControl::DrawMark() {
  TControlCanvas C(*this);
  if (!C.Handle()) return;  // nothing on screen yet; the first paint draws it
  PaintMark(C);
}

void TFlatMarkControl::DrawCaptionText(TCanvas& C) {
  RECT R = CaptionRect();
  const UINT Flags = FRightLayout ? DT_WORDBREAK | DT_RIGHT : DT_WORDBREAK;
  const std::string Text = Caption();
  C.Brush().SetStyle(bsClear);
  if (Enabled()) {
    C.Font().SetColor(Font().Color());
    C.DrawText(Text, R, Flags);
    return;
  }
  OffsetRect(&R, 1, 1);
  C.Font().SetColor(clBtnHighlight);
  C.DrawText(Text, R, Flags);
  OffsetRect(&R, -1, -1);
  C.Font().SetColor(clBtnShadow);
  C.DrawText(Text, R, Flags);
}

void TFlatMarkControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != TMouseButton::mbLeft || !Enabled()) return;
  SetFocus();
  FPressing = true;
  DrawMark();
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFlatMarkControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != TMouseButton::mbLeft || !Enabled()) return;
  FPressing = false;
  LeftReleased(X, Y);
  DrawMark();
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TFlatMarkControl::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  const POINT Screen = ClientToScreen(POINT{X, Y});
  if (FHotTrack.Tracked() == this || FindControlAtPos(Screen) != this) return;
  // Only controls of this class are ever tracked by this timer.
  if (auto* Old = static_cast<TFlatMarkControl*>(FHotTrack.Tracked())) Old->LeaveHot();
  // An inactive program does not light its controls up.
  if (!GetActiveWindow()) return;
  FHotTrack.Track(this, [this] { HotTrackCheck(); });
  EnterHot();
}

void TFlatMarkControl::HotTrackCheck() {
  POINT Cursor;
  if (!GetCursorPos(&Cursor)) return;
  if (FindControlAtPos(Cursor) == this) return;
  if (FIsHot) {
    LeaveHot();
  } else {
    // The flag went with the focus while the mouse stood on the control;
    // now that the mouse has left, the next visit must light it up again.
    StopHotTrack();
  }
}

void TFlatMarkControl::EnterHot() {
  if (!Enabled() || FIsHot) return;
  FIsHot = true;
  DrawMark();
}

void TFlatMarkControl::LeaveHot() {
  if (!Enabled() || !FIsHot || FPressing) return;
  FIsHot = false;
  StopHotTrack();
  DrawMark();
}

void TFlatMarkControl::StopHotTrack() {
  FHotTrack.Stop(this);
}

void TFlatMarkControl::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_SETFOCUS:
      TCustomControl::WndProc(M);
      if (Enabled()) {
        FHasFocus = true;
        DrawMark();
      }
      return;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(M);
      if (Enabled()) {
        FIsHot = false;
        FHasFocus = false;
        DrawMark();
      }
      return;
    case CM_ENTER:
      TCustomControl::WndProc(M);
      Entered();
      FHasFocus = true;
      DrawMark();
      return;
    case CM_EXIT:
      TCustomControl::WndProc(M);
      FHasFocus = false;
      DrawMark();
      return;
    case CM_DIALOGCHAR:
      if (DialogChar(static_cast<char>(M.WParam))) {
        M.Result = 1;
        return;
      }
      TCustomControl::WndProc(M);
      return;
    case CM_ENABLEDCHANGED:
      TCustomControl::WndProc(M);
      if (!Enabled()) {
        FIsHot = false;
        FPressing = false;
        // The window lost the focus while already disabled, which the focus
        // handling above ignores; a disabled control shows no focused face.
        FHasFocus = false;
        StopHotTrack();
      }
      Invalidate();
      return;
    case CM_TEXTCHANGED:
      TCustomControl::WndProc(M);
      Invalidate();
      return;
    case CM_PARENTCOLORCHANGED:
    case CM_SYSCOLORCHANGE:
      TCustomControl::WndProc(M);
      if (FUseAdvColors) {
        SetParentColor(true);
        ApplyAdvColors();
      }
      Invalidate();
      return;
    case CM_POSCHANGED:
      TCustomControl::WndProc(M);
      if (FTransparent) Invalidate();
      return;
    default:
      TCustomControl::WndProc(M);
  }
}

}  // namespace lumora
