#pragma once
// A list of equally sized images with masks (a common-controls image list),
// owned by its component owner. Images go in as copies, so the bitmaps
// handed over stay the caller's and may keep their canvases.

#include <windows.h>

#include <commctrl.h>

#include "sys/Component.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Color.h"
#include "ui/Icon.h"

namespace lumora {

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* AOwner, int AWidth = 16, int AHeight = 16);
  ~TImageList() override;

  HIMAGELIST Handle() const { return FHandle; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Count() const;

  // Each adds as many images as the bitmap's width holds side by side and
  // returns the index of the first, or -1. Mask: white (set) pixels are
  // transparent; none makes the images opaque.
  int Add(TBitmap& Image, TBitmap* Mask);
  // Pixels of MaskColor become transparent.
  int AddMasked(TBitmap& Image, TColor MaskColor);
  int AddIcon(const TIcon& Icon);

  // Draws with transparent pixels left out. Disabled: the image's shape,
  // embossed in clBtnHighlight and clBtnShadow.
  void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true);
  // The image as a new icon; an index outside the list empties Icon.
  void GetIcon(int Index, TIcon& Icon);
  void Clear();

  TNotifyEvent OnChange;

 private:
  void Changed();

  HIMAGELIST FHandle = nullptr;
  int FWidth;
  int FHeight;
};

}  // namespace lumora
