#include "ui/GdiObjects.h"

namespace lumora {

TSelection::TSelection(HDC DC, HGDIOBJ Object) {
  if (!DC || !Object) return;
  HGDIOBJ Previous = ::SelectObject(DC, Object);
  if (Previous && Previous != HGDI_ERROR) {
    FDC = DC;
    FPrevious = Previous;
  }
}

TSelection::TSelection(TSelection&& Other) noexcept
    : FDC(std::exchange(Other.FDC, nullptr)), FPrevious(std::exchange(Other.FPrevious, nullptr)) {}

TSelection& TSelection::operator=(TSelection&& Other) noexcept {
  if (this != &Other) {
    Restore();
    FDC = std::exchange(Other.FDC, nullptr);
    FPrevious = std::exchange(Other.FPrevious, nullptr);
  }
  return *this;
}

void TSelection::Restore() {
  if (FDC) ::SelectObject(FDC, FPrevious);
  FDC = nullptr;
  FPrevious = nullptr;
}

TWindowDC TWindowDC::Client(HWND Window) {
  return TWindowDC(Window, ::GetDC(Window));
}

TWindowDC TWindowDC::Window(HWND Window) {
  return TWindowDC(Window, ::GetWindowDC(Window));
}

TWindowDC::TWindowDC(TWindowDC&& Other) noexcept
    : FWindow(std::exchange(Other.FWindow, nullptr)), FDC(std::exchange(Other.FDC, nullptr)) {}

TWindowDC& TWindowDC::operator=(TWindowDC&& Other) noexcept {
  if (this != &Other) {
    Reset();
    FWindow = std::exchange(Other.FWindow, nullptr);
    FDC = std::exchange(Other.FDC, nullptr);
  }
  return *this;
}

void TWindowDC::Reset() {
  if (FDC) ::ReleaseDC(FWindow, FDC);
  FDC = nullptr;
  FWindow = nullptr;
}

TMemoryDC::TMemoryDC(HDC Compatible) : FDC(::CreateCompatibleDC(Compatible)) {}

TMemoryDC& TMemoryDC::operator=(TMemoryDC&& Other) noexcept {
  if (this != &Other) {
    Reset();
    FDC = std::exchange(Other.FDC, nullptr);
  }
  return *this;
}

void TMemoryDC::Reset() {
  if (FDC) ::DeleteDC(FDC);
  FDC = nullptr;
}

TSavedDC::TSavedDC(HDC DC) {
  if (!DC) return;
  const int Id = ::SaveDC(DC);
  if (Id != 0) {
    FDC = DC;
    FId = Id;
  }
}

TSavedDC::TSavedDC(TSavedDC&& Other) noexcept
    : FDC(std::exchange(Other.FDC, nullptr)), FId(std::exchange(Other.FId, 0)) {}

TSavedDC& TSavedDC::operator=(TSavedDC&& Other) noexcept {
  if (this != &Other) {
    Restore();
    FDC = std::exchange(Other.FDC, nullptr);
    FId = std::exchange(Other.FId, 0);
  }
  return *this;
}

void TSavedDC::Restore() {
  if (FDC) ::RestoreDC(FDC, FId);
  FDC = nullptr;
  FId = 0;
}

}  // namespace lumora
