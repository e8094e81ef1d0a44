#include "widgets/TFlatEditUnit.h"

#include "ui/Form.h"
#include "ui/GdiObjects.h"

namespace lumora {

namespace {

// The width of the frame on every side.
constexpr int FrameWidth = 3;

TBrushHandle SolidBrush(TColor Color) {
  return TBrushHandle(::CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color))));
}

}  // namespace

TCustomFlatEdit::TCustomFlatEdit(TComponent* AOwner) : TEdit(AOwner) {
  TEdit::SetParentFont(true);
  SetBorderStyleSingle(false);
  SetControlStyle(ControlStyle() & ~csFramed);
  SetBounds(Left(), Top(), 121, 19);
  // The field starts flat; the base class's ParentColor stays off for good.
  TEdit::SetParentColor(false);
  ChangeColor(FColorFlat);
}

void TCustomFlatEdit::SetFieldColor(TColor Value) {
  // Every redraw comes here; an unchanged colour needs no repaint.
  if (Value != Color()) ChangeColor(Value);
}

void TCustomFlatEdit::SetColorFocused(TColor Value) {
  FColorFocused = Value;
  RedrawBorder();
}

void TCustomFlatEdit::SetColorBorder(TColor Value) {
  FColorBorder = Value;
  RedrawBorder();
}

void TCustomFlatEdit::SetColorFlat(TColor Value) {
  FColorFlat = Value;
  FEditParentColor = false;
  RedrawBorder();
}

void TCustomFlatEdit::SetParentColor(bool Value) {
  if (Value == FEditParentColor) return;
  FEditParentColor = Value;
  if (!Value) return;
  if (Parent()) FColorFlat = Parent()->Color();
  RedrawBorder();
}

// Outside 0..100 the shifted channels would wrap.
void TCustomFlatEdit::SetAdvColorFocused(TAdvColors Value) {
  FAdvColorFocused = ClampAdvColors(Value);
  if (!FUseAdvColors) return;
  ApplyAdvColors();
  RedrawBorder();
}

void TCustomFlatEdit::SetAdvColorBorder(TAdvColors Value) {
  FAdvColorBorder = ClampAdvColors(Value);
  if (!FUseAdvColors) return;
  ApplyAdvColors();
  RedrawBorder();
}

void TCustomFlatEdit::SetUseAdvColors(bool Value) {
  if (Value == FUseAdvColors) return;
  FUseAdvColors = Value;
  SetParentColor(Value);
  ApplyAdvColors();
  RedrawBorder();
}

void TCustomFlatEdit::ApplyAdvColors() {
  if (!FUseAdvColors) return;
  FColorFocused = ShiftLightness(FColorFlat, FColorFocused, FAdvColorFocused, lsLighten);
  FColorBorder = ShiftLightness(FColorFlat, FColorBorder, FAdvColorBorder, lsDarken);
}

void TCustomFlatEdit::RedrawBorder() {
  if (!HandleAllocated()) return;
  HWND Window = WindowHandle();
  TWindowDC DC = TWindowDC::Window(Window);
  if (!DC) return;
  RECT R;
  ::GetWindowRect(Window, &R);
  ::OffsetRect(&R, -R.left, -R.top);
  const TBrushHandle BorderBrush = SolidBrush(FColorBorder);
  const TBrushHandle FlatBrush = SolidBrush(FColorFlat);
  const TBrushHandle FocusedBrush = SolidBrush(FColorFocused);

  // While a flat edit holds the focus, only that one lights up.
  TWinControl* Active = Screen().ActiveControl();
  const bool Hot = !Designing() && (Focused() || (FIsHot && !dynamic_cast<TFlatEdit*>(Active)));
  SetFieldColor(Hot ? FColorFocused : FColorFlat);
  HBRUSH Padding = Hot ? FocusedBrush.Get() : FlatBrush.Get();
  ::FrameRect(DC.Get(), &R, BorderBrush.Get());
  ::InflateRect(&R, -1, -1);
  ::FrameRect(DC.Get(), &R, Padding);
  ::InflateRect(&R, -1, -1);
  ::FrameRect(DC.Get(), &R, Padding);
}

void TCustomFlatEdit::FitHeight() {
  TWindowDC DC = TWindowDC::Client(nullptr);
  if (!DC) return;
  TEXTMETRICA Metrics{};
  {
    TSelection Selected(DC.Get(), Font().Handle());
    ::GetTextMetricsA(DC.Get(), &Metrics);
  }
  SetHeight(Metrics.tmHeight + 2 * FrameWidth);
}

void TCustomFlatEdit::Loaded() {
  TEdit::Loaded();
  if (!Designing()) FitHeight();
}

void TCustomFlatEdit::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_NCCALCSIZE: {
      TEdit::WndProc(M);
      RECT* Client = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(M.LParam);
      ::InflateRect(Client, -FrameWidth, -FrameWidth);
      return;
    }
    case WM_NCPAINT:
      TEdit::WndProc(M);
      RedrawBorder();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TEdit::WndProc(M);
      if (!Designing()) RedrawBorder();
      return;
    case CM_MOUSEENTER:
      TEdit::WndProc(M);
      if (::GetActiveWindow()) {
        FIsHot = true;
        RedrawBorder();
      }
      return;
    case CM_MOUSELEAVE:
      TEdit::WndProc(M);
      FIsHot = false;
      RedrawBorder();
      return;
    case CM_ENABLEDCHANGED:
      TEdit::WndProc(M);
      RedrawBorder();
      return;
    case CM_FONTCHANGED:
      TEdit::WndProc(M);
      if (!(Designing() && Loading())) FitHeight();
      return;
    case CM_PARENTCOLORCHANGED:
    case CM_SYSCOLORCHANGE:
      TEdit::WndProc(M);
      if (FUseAdvColors) {
        if (Parent()) FColorFlat = Parent()->Color();
        ApplyAdvColors();
      } else if (FEditParentColor && Parent()) {
        FColorFlat = Parent()->Color();
      }
      RedrawBorder();
      return;
    default:
      TEdit::WndProc(M);
  }
}

}  // namespace lumora
