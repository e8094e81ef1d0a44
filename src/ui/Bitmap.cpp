#include "ui/Bitmap.h"

#include <algorithm>

#include "sys/LumoraError.h"

namespace lumora {

namespace {

COLORREF Rgb(TColor Color) {
  return static_cast<COLORREF>(ColorToRGB(Color)) & 0x00FFFFFFu;
}

TBitmapHandle CreateMonoBitmap(int Width, int Height) {
  if (Width <= 0 || Height <= 0) return {};
  TBitmapHandle Result(::CreateBitmap(Width, Height, 1, 1, nullptr));
  if (Result) {
    // A fresh 1-bit bitmap holds whatever memory it got; start it clear.
    TMemoryDC DC(nullptr);
    TSelection Picture(DC.Get(), Result.Get());
    ::PatBlt(DC.Get(), 0, 0, Width, Height, BLACKNESS);
  }
  return Result;
}

TBitmapHandle CreatePicture(int Width, int Height, bool Monochrome) {
  return Monochrome ? CreateMonoBitmap(Width, Height) : CreateColorDIB(Width, Height);
}

}  // namespace

TBitmapHandle CreateColorDIB(int Width, int Height) {
  if (Width <= 0 || Height <= 0) return {};
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = -Height;  // top-down
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 24;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  return TBitmapHandle(::CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0));
}

// A DC with the picture selected: the canvas's own once it exists, else a
// temporary one.
struct TBitmap::TSourceDC {
  TMemoryDC Temp;
  TSelection Picture;
  HDC DC = nullptr;
};

void TBitmap::OpenSource(TSourceDC& Source) const {
  if (FCanvas) {
    Source.DC = FDC.Get();
    return;
  }
  Source.Temp = TMemoryDC(nullptr);
  Source.Picture = TSelection(Source.Temp.Get(), FHandle.Get());
  Source.DC = Source.Temp.Get();
}

TBitmap::~TBitmap() = default;

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) {
    FDC = TMemoryDC(nullptr);
    if (!FDC) throw ELumoraError("Cannot create a memory device context");
    if (FHandle) FPictureSelection = TSelection(FDC.Get(), FHandle.Get());
    FCanvas = std::make_unique<TCanvas>(FDC.Get());
  }
  return *FCanvas;
}

void TBitmap::SetPicture(TBitmapHandle Picture, int AWidth, int AHeight, bool AMonochrome) {
  FPictureSelection.Restore();
  FHandle = std::move(Picture);
  FWidth = AWidth;
  FHeight = AHeight;
  FMonochrome = AMonochrome;
  if (FDC && FHandle) FPictureSelection = TSelection(FDC.Get(), FHandle.Get());
  Changed();
}

void TBitmap::Changed() {
  if (OnChange) OnChange(this);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  TBitmapHandle Picture = CreatePicture(AWidth, AHeight, FMonochrome);
  if ((AWidth > 0 && AHeight > 0) && !Picture)
    throw ELumoraError("Cannot create a bitmap of " + std::to_string(AWidth) + " x " +
                       std::to_string(AHeight));
  if (Picture && !Empty()) {
    TSourceDC Source;
    OpenSource(Source);
    TMemoryDC Target(nullptr);
    TSelection Selected(Target.Get(), Picture.Get());
    ::BitBlt(Target.Get(), 0, 0, std::min(AWidth, FWidth), std::min(AHeight, FHeight), Source.DC, 0,
             0, SRCCOPY);
  }
  SetPicture(std::move(Picture), AWidth, AHeight, FMonochrome);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == FMonochrome) return;
  if (Empty()) {
    FMonochrome = Value;
    Changed();
    return;
  }
  TCanvas& Own = Canvas();
  TBitmapHandle Picture = CreatePicture(FWidth, FHeight, Value);
  if (!Picture) throw ELumoraError("Cannot convert the bitmap");
  TMemoryDC Target(nullptr);
  TSelection Selected(Target.Get(), Picture.Get());
  if (Value) {
    // Colour to 1 bit: GDI sets the pixels of the source's background colour.
    const COLORREF OldBack = ::SetBkColor(FDC.Get(), Rgb(Own.Brush().Color()));
    ::BitBlt(Target.Get(), 0, 0, FWidth, FHeight, FDC.Get(), 0, 0, SRCCOPY);
    ::SetBkColor(FDC.Get(), OldBack);
  } else {
    // 1 bit to colour: clear bits take the target's text colour, set bits its
    // background colour.
    ::SetTextColor(Target.Get(), Rgb(Own.Font().Color()));
    ::SetBkColor(Target.Get(), Rgb(Own.Brush().Color()));
    ::BitBlt(Target.Get(), 0, 0, FWidth, FHeight, FDC.Get(), 0, 0, SRCCOPY);
  }
  Selected.Restore();
  SetPicture(std::move(Picture), FWidth, FHeight, Value);
}

TBitmapHandle TBitmap::CopyHandle() const {
  if (Empty()) return {};
  TBitmapHandle Picture = CreatePicture(FWidth, FHeight, FMonochrome);
  if (!Picture) throw ELumoraError("Cannot copy the bitmap");
  TSourceDC Source;
  OpenSource(Source);
  TMemoryDC Target(nullptr);
  TSelection Selected(Target.Get(), Picture.Get());
  ::BitBlt(Target.Get(), 0, 0, FWidth, FHeight, Source.DC, 0, 0, SRCCOPY);
  return Picture;
}

TBitmapHandle TBitmap::CopyMask(TColor MaskColor) const {
  if (Empty()) return {};
  TBitmapHandle Mask = CreateMonoBitmap(FWidth, FHeight);
  if (!Mask) throw ELumoraError("Cannot copy the bitmap");
  TSourceDC Source;
  OpenSource(Source);
  TMemoryDC Target(nullptr);
  TSelection Selected(Target.Get(), Mask.Get());
  const COLORREF OldBack = ::SetBkColor(Source.DC, Rgb(MaskColor));
  ::BitBlt(Target.Get(), 0, 0, FWidth, FHeight, Source.DC, 0, 0, SRCCOPY);
  ::SetBkColor(Source.DC, OldBack);
  return Mask;
}

void TBitmap::Assign(const TBitmap& Source) {
  if (&Source == this) return;
  SetPicture(Source.CopyHandle(), Source.FWidth, Source.FHeight, Source.FMonochrome);
}

void TBitmap::TakeLoaded(HBITMAP Loaded, const std::string& What) {
  if (!Loaded) throw ELumoraError("Cannot load the bitmap " + What);
  TBitmapHandle Owned(Loaded);
  BITMAP Info{};
  if (!::GetObjectA(Loaded, sizeof Info, &Info))
    throw ELumoraError("Cannot load the bitmap " + What);
  const int W = Info.bmWidth, H = Info.bmHeight < 0 ? -Info.bmHeight : Info.bmHeight;
  const bool Mono = Info.bmBitsPixel == 1;
  TBitmapHandle Picture = CreatePicture(W, H, Mono);
  if (Picture) {
    TMemoryDC From(nullptr), To(nullptr);
    TSelection FromSel(From.Get(), Loaded), ToSel(To.Get(), Picture.Get());
    ::BitBlt(To.Get(), 0, 0, W, H, From.Get(), 0, 0, SRCCOPY);
  }
  SetPicture(std::move(Picture), W, H, Mono);
}

void TBitmap::LoadFromResource(HINSTANCE Instance, const char* Name) {
  TakeLoaded(
      static_cast<HBITMAP>(::LoadImageA(Instance, Name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)),
      IS_INTRESOURCE(Name) ? "resource #" + std::to_string(reinterpret_cast<ULONG_PTR>(Name))
                           : std::string("resource ") + (Name ? Name : ""));
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int Id) {
  TakeLoaded(static_cast<HBITMAP>(::LoadImageA(Instance, MAKEINTRESOURCEA(Id), IMAGE_BITMAP, 0, 0,
                                               LR_CREATEDIBSECTION)),
             "resource #" + std::to_string(Id));
}

void TBitmap::LoadFromFile(const std::string& FileName) {
  TakeLoaded(static_cast<HBITMAP>(::LoadImageA(nullptr, FileName.c_str(), IMAGE_BITMAP, 0, 0,
                                               LR_LOADFROMFILE | LR_CREATEDIBSECTION)),
             "file " + FileName);
}

}  // namespace lumora
