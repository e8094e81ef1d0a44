#include "ui/Icon.h"

#include <utility>

#include "sys/LumoraError.h"
#include "ui/GdiObjects.h"

namespace lumora {

TIcon::~TIcon() {
  if (FHandle) ::DestroyIcon(FHandle);
}

void TIcon::SetHandle(HICON Value) {
  if (Value == FHandle) return;
  HICON Old = std::exchange(FHandle, Value);
  if (Old) ::DestroyIcon(Old);
  FWidth = FHeight = 0;
  ICONINFO Info{};
  if (FHandle && ::GetIconInfo(FHandle, &Info)) {
    // GetIconInfo hands out copies of the icon's bitmaps; they are ours to free.
    TBitmapHandle Mask(Info.hbmMask), Color(Info.hbmColor);
    BITMAP Bits{};
    if (::GetObjectA(Mask.Get(), sizeof Bits, &Bits)) {
      FWidth = Bits.bmWidth;
      // Without a colour part the mask holds the AND and XOR halves stacked.
      FHeight = Color ? Bits.bmHeight : Bits.bmHeight / 2;
    }
  }
  if (OnChange) OnChange(this);
}

HICON TIcon::ReleaseHandle() {
  FWidth = FHeight = 0;
  return std::exchange(FHandle, nullptr);
}

void TIcon::Assign(const TIcon& Source) {
  if (&Source == this) return;
  HICON Copy = nullptr;
  if (Source.FHandle) {
    Copy = ::CopyIcon(Source.FHandle);
    if (!Copy) throw ELumoraError("Cannot copy the icon");
  }
  SetHandle(Copy);
}

void TIcon::Load(HINSTANCE Instance, const char* Name, UINT Flags, int AWidth, int AHeight,
                 const std::string& What) {
  if (AWidth == 0 && AHeight == 0) Flags |= LR_DEFAULTSIZE;
  HICON Loaded =
      static_cast<HICON>(::LoadImageA(Instance, Name, IMAGE_ICON, AWidth, AHeight, Flags));
  if (!Loaded) throw ELumoraError("Cannot load the icon " + What);
  SetHandle(Loaded);
}

void TIcon::LoadFromResource(HINSTANCE Instance, const char* Name, int AWidth, int AHeight) {
  const std::string What = IS_INTRESOURCE(Name)
                               ? "resource #" + std::to_string(reinterpret_cast<ULONG_PTR>(Name))
                               : std::string("resource ") + (Name ? Name : "");
  Load(Instance, Name, 0, AWidth, AHeight, What);
}

void TIcon::LoadFromResourceID(HINSTANCE Instance, int Id, int AWidth, int AHeight) {
  Load(Instance, MAKEINTRESOURCEA(Id), 0, AWidth, AHeight, "resource #" + std::to_string(Id));
}

void TIcon::LoadFromFile(const std::string& FileName, int AWidth, int AHeight) {
  Load(nullptr, FileName.c_str(), LR_LOADFROMFILE, AWidth, AHeight, "file " + FileName);
}

}  // namespace lumora
