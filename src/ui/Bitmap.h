#pragma once
// A picture in memory: a 24-bit DIB section, or a 1-bit bitmap when
// monochrome. Its canvas is a memory DC with the bitmap selected, made on the
// first call to Canvas() and kept for the bitmap's life; the picture may be
// replaced under it (resizing, loading, converting) and the canvas follows.
//
// Monochrome conversions use the canvas colours, as GDI's own blits do:
// to monochrome, pixels of the brush colour become set and all others clear;
// back to colour, clear bits take the font colour and set bits the brush
// colour.

#include <windows.h>

#include <memory>
#include <string>

#include "sys/Object.h"
#include "ui/Canvas.h"
#include "ui/GdiObjects.h"

namespace lumora {

class TBitmap : public TObject {
 public:
  TBitmap() = default;
  TBitmap(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }
  ~TBitmap() override;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Keeps the part of the picture that still fits; new pixels are black.
  void SetSize(int AWidth, int AHeight);
  void SetWidth(int Value) { SetSize(Value, FHeight); }
  void SetHeight(int Value) { SetSize(FWidth, Value); }
  bool Empty() const { return !FHandle || FWidth <= 0 || FHeight <= 0; }

  TCanvas& Canvas();
  // The picture; selected into the canvas's DC once Canvas() has been called,
  // so hand it to no API that selects it elsewhere. CopyHandle gives a free copy.
  HBITMAP Handle() const { return FHandle.Get(); }
  // A new bitmap with the same picture and depth, selected nowhere (null
  // when empty): for APIs that select the picture themselves.
  TBitmapHandle CopyHandle() const;
  // A new 1-bit bitmap, selected nowhere: pixels of MaskColor set, all others
  // clear; a monochrome bitmap is copied as it is.
  TBitmapHandle CopyMask(TColor MaskColor) const;

  bool Monochrome() const { return FMonochrome; }
  void SetMonochrome(bool Value);

  // A deep copy of Source's picture (size, depth and pixels).
  void Assign(const TBitmap& Source);
  void LoadFromResource(HINSTANCE Instance, const char* Name);
  void LoadFromResourceID(HINSTANCE Instance, int Id);
  void LoadFromFile(const std::string& FileName);

  TNotifyEvent OnChange;

 private:
  // Replaces the picture, keeping the canvas (if any) on the new one.
  void SetPicture(TBitmapHandle Picture, int AWidth, int AHeight, bool AMonochrome);
  // Adopts a loaded bitmap as a picture of this bitmap's kind.
  void TakeLoaded(HBITMAP Loaded, const std::string& What);
  void Changed();
  struct TSourceDC;
  void OpenSource(TSourceDC& Source) const;

  // Declared in the order of making; destroyed in reverse: the canvas puts its
  // objects back, the picture leaves the DC, the DC goes, then the picture.
  TBitmapHandle FHandle;
  int FWidth = 0;
  int FHeight = 0;
  bool FMonochrome = false;
  TMemoryDC FDC;
  TSelection FPictureSelection;
  std::unique_ptr<TCanvas> FCanvas;
};

// A 24-bit top-down DIB section, pixels zeroed; null for an empty size.
TBitmapHandle CreateColorDIB(int Width, int Height);

}  // namespace lumora
