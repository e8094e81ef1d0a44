#include "ui/ImageList.h"

#include <utility>

#include "sys/LumoraError.h"
#include "ui/GdiObjects.h"

namespace lumora {

namespace {

COLORREF Rgb(TColor Color) {
  return static_cast<COLORREF>(ColorToRGB(Color)) & 0x00FFFFFFu;
}

// Paints Brush where the 1-bit Mask is clear and leaves the rest.
constexpr DWORD ropPSDPxax = 0x00B8074A;

}  // namespace

TImageList::TImageList(TComponent* AOwner, int AWidth, int AHeight)
    : TComponent(AOwner), FWidth(AWidth), FHeight(AHeight) {
  FHandle = ::ImageList_Create(AWidth, AHeight, ILC_COLOR24 | ILC_MASK, 0, 4);
  if (!FHandle) throw ELumoraError("Cannot create an image list");
}

TImageList::~TImageList() {
  ::ImageList_Destroy(FHandle);
}

int TImageList::Count() const {
  return ::ImageList_GetImageCount(FHandle);
}

void TImageList::Changed() {
  if (OnChange) OnChange(this);
}

int TImageList::Add(TBitmap& Image, TBitmap* Mask) {
  if (Image.Empty()) return -1;
  // The image list selects what it is given; the caller's bitmaps may be
  // selected into their canvases, so it gets copies.
  TBitmapHandle Picture = Image.CopyHandle();
  TBitmapHandle MaskBits;
  if (Mask && !Mask->Empty()) MaskBits = Mask->CopyMask(clWhite);
  const int Index = ::ImageList_Add(FHandle, Picture.Get(), MaskBits.Get());
  if (Index >= 0) Changed();
  return Index;
}

int TImageList::AddMasked(TBitmap& Image, TColor MaskColor) {
  if (Image.Empty()) return -1;
  TBitmapHandle Picture = Image.CopyHandle();
  const int Index = ::ImageList_AddMasked(FHandle, Picture.Get(), Rgb(MaskColor));
  if (Index >= 0) Changed();
  return Index;
}

int TImageList::AddIcon(const TIcon& Icon) {
  if (Icon.Empty()) return -1;
  const int Index = ::ImageList_ReplaceIcon(FHandle, -1, Icon.Handle());
  if (Index >= 0) Changed();
  return Index;
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled) {
  HDC DC = Canvas.Handle();
  if (!DC || Index < 0 || Index >= Count()) return;
  if (Enabled) {
    ::ImageList_DrawEx(FHandle, Index, DC, X, Y, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT);
    return;
  }
  // The mask (opaque pixels clear) is the shape; paint it twice through it.
  TBitmapHandle Shape(::CreateBitmap(FWidth, FHeight, 1, 1, nullptr));
  TMemoryDC ShapeDC(nullptr);
  TSelection Selected(ShapeDC.Get(), Shape.Get());
  ::PatBlt(ShapeDC.Get(), 0, 0, FWidth, FHeight, WHITENESS);
  ::ImageList_DrawEx(FHandle, Index, ShapeDC.Get(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
  TSavedDC Saved(DC);
  ::SetTextColor(DC, RGB(0, 0, 0));
  ::SetBkColor(DC, RGB(255, 255, 255));
  for (const auto& [Color, Offset] : {std::pair{clBtnHighlight, 1}, std::pair{clBtnShadow, 0}}) {
    TBrushHandle Brush(::CreateSolidBrush(Rgb(Color)));
    TSelection Chosen(DC, Brush.Get());
    ::BitBlt(DC, X + Offset, Y + Offset, FWidth, FHeight, ShapeDC.Get(), 0, 0, ropPSDPxax);
  }
}

void TImageList::GetIcon(int Index, TIcon& Icon) {
  HICON Made = nullptr;
  if (Index >= 0 && Index < Count()) Made = ::ImageList_GetIcon(FHandle, Index, ILD_NORMAL);
  Icon.SetHandle(Made);
}

void TImageList::Clear() {
  if (Count() == 0) return;
  ::ImageList_Remove(FHandle, -1);
  Changed();
}

}  // namespace lumora
