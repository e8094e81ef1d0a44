#pragma once
// The picture control: a windowless control that shows a bitmap, sizes
// itself to it when AutoSize is on, and offers the usual mouse events,
// click and double click, hint and popup menu.

#include <memory>

#include "ui/Bitmap.h"
#include "ui/WinControl.h"

namespace lumora {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TBitmap& Picture() { return *FPicture; }
  // Copies Value's picture (the control keeps its own).
  void SetPicture(const TBitmap& Value);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);

 protected:
  void Paint() override;

 private:
  void PictureChanged();

  std::unique_ptr<TBitmap> FPicture;
  bool FAutoSize = false;
  bool FStretch = false;
  bool FCenter = false;
};

}  // namespace lumora
