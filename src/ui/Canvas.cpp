#include "ui/Canvas.h"

#include <atomic>

#include "sys/LumoraError.h"
#include "ui/Bitmap.h"

namespace lumora {

namespace {

#ifdef NDEBUG
std::atomic<bool> HandleChecksOn{false};
#else
std::atomic<bool> HandleChecksOn{true};
#endif

COLORREF Rgb(TColor Color) {
  return static_cast<COLORREF>(ColorToRGB(Color)) & 0x00FFFFFFu;
}

// Selects Wanted unless it is already in; the first selection remembers the
// DC's own object. The previously selected handle is dropped only after the
// new one is in, so GDI never deletes a selected object.
template <class H>
void SelectInto(HDC DC, std::shared_ptr<const TGdiHandle<H>> Wanted, TSelection& Selection,
                std::shared_ptr<const TGdiHandle<H>>& Selected) {
  if (!DC || Wanted == Selected) return;
  if (Selection)
    ::SelectObject(DC, Wanted->Get());
  else
    Selection = TSelection(DC, Wanted->Get());
  Selected = std::move(Wanted);
}

}  // namespace

// ---- TPen

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TPen::SetWidth(int Value) {
  if (Value < 1) Value = 1;
  if (Value == FWidth) return;
  FWidth = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TPen::Assign(const TPen& Source) {
  if (&Source == this) return;
  if (Source.FColor == FColor && Source.FWidth == FWidth && Source.FStyle == FStyle) return;
  FColor = Source.FColor;
  FWidth = Source.FWidth;
  FStyle = Source.FStyle;
  Changed();
}

void TPen::Changed() {
  FHandle.reset();
  if (OnChange) OnChange(this);
}

std::shared_ptr<const TPenHandle> TPen::SharedHandle() const {
  if (!FHandle) FHandle = std::make_shared<TPenHandle>(::CreatePen(FStyle, FWidth, Rgb(FColor)));
  return FHandle;
}

// ---- TBrush

void TBrush::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TBrush::Assign(const TBrush& Source) {
  if (&Source == this) return;
  if (Source.FColor == FColor && Source.FStyle == FStyle) return;
  FColor = Source.FColor;
  FStyle = Source.FStyle;
  Changed();
}

void TBrush::Changed() {
  FHandle.reset();
  if (OnChange) OnChange(this);
}

std::shared_ptr<const TBrushHandle> TBrush::SharedHandle() const {
  if (!FHandle) {
    LOGBRUSH Log{};
    Log.lbStyle = FStyle == bsClear ? BS_NULL : BS_SOLID;
    Log.lbColor = Rgb(FColor);
    FHandle = std::make_shared<TBrushHandle>(::CreateBrushIndirect(&Log));
  }
  return FHandle;
}

// ---- TCanvas

void TCanvas::SetHandle(HDC DC) {
  if (DC == FHandle) return;
  Deselect();
  FHandle = DC;
}

bool TCanvas::HandleChecks() {
  return HandleChecksOn.load();
}

void TCanvas::SetHandleChecks(bool Value) {
  HandleChecksOn.store(Value);
}

bool TCanvas::CanDraw() const {
  if (FHandle) return true;
  if (HandleChecksOn.load())
    throw ELumoraError("Drawing on a canvas without a device context (outside a paint?)");
  return false;
}

void TCanvas::Deselect() {
  FFontSelection.Restore();
  FPenSelection.Restore();
  FBrushSelection.Restore();
  FSelectedFont.reset();
  FSelectedPen.reset();
  FSelectedBrush.reset();
}

void TCanvas::NeedFont() {
  SelectInto(FHandle, FFont.SharedHandle(), FFontSelection, FSelectedFont);
}

void TCanvas::NeedPen() {
  SelectInto(FHandle, FPen.SharedHandle(), FPenSelection, FSelectedPen);
}

void TCanvas::NeedBrush() {
  SelectInto(FHandle, FBrush.SharedHandle(), FBrushSelection, FSelectedBrush);
}

void TCanvas::PrepareText() {
  NeedFont();
  ::SetTextColor(FHandle, Rgb(FFont.Color()));
  if (FBrush.Style() == bsClear) {
    ::SetBkMode(FHandle, TRANSPARENT);
  } else {
    ::SetBkMode(FHandle, OPAQUE);
    ::SetBkColor(FHandle, Rgb(FBrush.Color()));
  }
}

void TCanvas::FillRect(const RECT& Rect) {
  if (CanDraw()) ::FillRect(FHandle, &Rect, FBrush.Handle());
}

void TCanvas::FrameRect(const RECT& Rect) {
  if (CanDraw()) ::FrameRect(FHandle, &Rect, FBrush.Handle());
}

void TCanvas::Rectangle(const RECT& Rect) {
  if (!CanDraw()) return;
  NeedPen();
  NeedBrush();
  ::Rectangle(FHandle, Rect.left, Rect.top, Rect.right, Rect.bottom);
}

void TCanvas::Ellipse(const RECT& Rect) {
  if (!CanDraw()) return;
  NeedPen();
  NeedBrush();
  ::Ellipse(FHandle, Rect.left, Rect.top, Rect.right, Rect.bottom);
}

void TCanvas::Polyline(std::span<const POINT> Points) {
  if (!CanDraw()) return;
  NeedPen();
  if (Points.size() >= 2) ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
}

void TCanvas::MoveTo(int X, int Y) {
  if (CanDraw()) ::MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  if (!CanDraw()) return;
  NeedPen();
  ::LineTo(FHandle, X, Y);
}

SIZE TCanvas::TextExtent(const std::string& Text) {
  SIZE Size{0, 0};
  if (!CanDraw()) return Size;
  NeedFont();
  ::GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &Size);
  return Size;
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  if (!CanDraw()) return;
  PrepareText();
  ::TextOutA(FHandle, X, Y, Text.data(), static_cast<int>(Text.size()));
}

int TCanvas::DrawText(const std::string& Text, RECT& Rect, UINT Format) {
  if (!CanDraw()) return 0;
  PrepareText();
  // DT_MODIFYSTRING would write into the text; the caller's string stays const.
  return ::DrawTextA(FHandle, Text.data(), static_cast<int>(Text.size()), &Rect,
                     Format & ~static_cast<UINT>(DT_MODIFYSTRING));
}

TColor TCanvas::Pixel(int X, int Y) const {
  if (!FHandle) return static_cast<TColor>(CLR_INVALID);
  return static_cast<TColor>(::GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
  if (CanDraw()) ::SetPixelV(FHandle, X, Y, Rgb(Color));
}

void TCanvas::Draw(int X, int Y, TBitmap& Bitmap) {
  if (!CanDraw() || Bitmap.Empty()) return;
  ::BitBlt(FHandle, X, Y, Bitmap.Width(), Bitmap.Height(), Bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCanvas::CopyRect(const RECT& Dest, TCanvas& Source, const RECT& SourceRect) {
  if (!CanDraw() || !Source.CanDraw()) return;
  const int DW = Dest.right - Dest.left, DH = Dest.bottom - Dest.top;
  const int SW = SourceRect.right - SourceRect.left, SH = SourceRect.bottom - SourceRect.top;
  if (DW == SW && DH == SH) {
    ::BitBlt(FHandle, Dest.left, Dest.top, DW, DH, Source.Handle(), SourceRect.left, SourceRect.top,
             SRCCOPY);
  } else {
    // Whole pixels, no blending: glyph cells keep their key colour exact.
    const int OldMode = ::SetStretchBltMode(FHandle, COLORONCOLOR);
    ::StretchBlt(FHandle, Dest.left, Dest.top, DW, DH, Source.Handle(), SourceRect.left,
                 SourceRect.top, SW, SH, SRCCOPY);
    if (OldMode) ::SetStretchBltMode(FHandle, OldMode);
  }
}

}  // namespace lumora
