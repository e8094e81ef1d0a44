#include "ui/Image.h"

#include "ui/Canvas.h"

namespace lumora {

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TBitmap>()) {
  FControlStyle |= csOpaque;
  FWidth = 105;
  FHeight = 105;
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() = default;

void TImage::SetPicture(const TBitmap& Value) {
  if (&Value == FPicture.get()) return;
  FPicture->Assign(Value);
}

void TImage::PictureChanged() {
  if (FAutoSize && !FPicture->Empty())
    SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
  // Only a picture that covers the control paints every pixel of it.
  if (!FPicture->Empty() &&
      (FStretch || (FPicture->Width() >= FWidth && FPicture->Height() >= FHeight)))
    FControlStyle |= csOpaque;
  else
    FControlStyle &= ~csOpaque;
  Invalidate();
}

void TImage::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  if (Value) PictureChanged();
}

void TImage::SetStretch(bool Value) {
  if (Value == FStretch) return;
  FStretch = Value;
  PictureChanged();
}

void TImage::SetCenter(bool Value) {
  if (Value == FCenter) return;
  FCenter = Value;
  Invalidate();
}

void TImage::Paint() {
  if (FPicture->Empty()) return;
  TCanvas& C = Canvas();
  if (FStretch) {
    const RECT Dest{0, 0, FWidth, FHeight};
    const RECT Source{0, 0, FPicture->Width(), FPicture->Height()};
    C.CopyRect(Dest, FPicture->Canvas(), Source);
    return;
  }
  int X = 0, Y = 0;
  if (FCenter) {
    X = (FWidth - FPicture->Width()) / 2;
    Y = (FHeight - FPicture->Height()) / 2;
  }
  C.Draw(X, Y, *FPicture);
}

}  // namespace lumora
