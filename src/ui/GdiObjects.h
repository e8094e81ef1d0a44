#pragma once
// Owners of GDI handles, device contexts, selections and saved DC states.
// Each keeps what it needs to undo its work and does it once: they move, they
// never copy. A moved-from owner holds nothing.

#include <windows.h>

#include <utility>

namespace lumora {

// An HPEN, HBRUSH, HFONT, HBITMAP or HRGN, deleted with DeleteObject. The
// object must not be selected into a DC when its owner lets it go.
template <class H>
class TGdiHandle {
 public:
  TGdiHandle() = default;
  explicit TGdiHandle(H Handle) : FHandle(Handle) {}
  TGdiHandle(TGdiHandle&& Other) noexcept : FHandle(Other.Release()) {}
  TGdiHandle& operator=(TGdiHandle&& Other) noexcept {
    if (this != &Other) Reset(Other.Release());
    return *this;
  }
  TGdiHandle(const TGdiHandle&) = delete;
  TGdiHandle& operator=(const TGdiHandle&) = delete;
  ~TGdiHandle() { Reset(); }

  H Get() const { return FHandle; }
  // Gives the handle up without deleting it.
  H Release() { return std::exchange(FHandle, nullptr); }
  void Reset(H Handle = nullptr) {
    H Old = std::exchange(FHandle, Handle);
    if (Old && Old != Handle) ::DeleteObject(Old);
  }
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  H FHandle = nullptr;
};

using TPenHandle = TGdiHandle<HPEN>;
using TBrushHandle = TGdiHandle<HBRUSH>;
using TFontHandle = TGdiHandle<HFONT>;
using TBitmapHandle = TGdiHandle<HBITMAP>;
using TRegionHandle = TGdiHandle<HRGN>;

// Selects a pen, brush, font or bitmap into a DC and puts back what was there
// before when it goes. Not for regions: SelectObject of a region copies it
// and returns no previous object.
class TSelection {
 public:
  TSelection() = default;
  TSelection(HDC DC, HGDIOBJ Object);
  TSelection(TSelection&& Other) noexcept;
  TSelection& operator=(TSelection&& Other) noexcept;
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;
  ~TSelection() { Restore(); }

  // Puts the previous object back now; afterwards the selection holds nothing.
  void Restore();
  explicit operator bool() const { return FDC != nullptr; }

 private:
  HDC FDC = nullptr;
  HGDIOBJ FPrevious = nullptr;
};

// A DC from GetDC (client area) or GetWindowDC (whole window), released with
// the window it came from. Window 0 is the screen.
class TWindowDC {
 public:
  TWindowDC() = default;
  static TWindowDC Client(HWND Window);
  static TWindowDC Window(HWND Window);
  TWindowDC(TWindowDC&& Other) noexcept;
  TWindowDC& operator=(TWindowDC&& Other) noexcept;
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() { Reset(); }

  HDC Get() const { return FDC; }
  HWND WindowHandle() const { return FWindow; }
  void Reset();
  explicit operator bool() const { return FDC != nullptr; }

 private:
  TWindowDC(HWND Window, HDC DC) : FWindow(Window), FDC(DC) {}
  HWND FWindow = nullptr;
  HDC FDC = nullptr;
};

// A memory DC compatible with another DC (0 = the screen), freed with DeleteDC.
class TMemoryDC {
 public:
  TMemoryDC() = default;
  explicit TMemoryDC(HDC Compatible);
  TMemoryDC(TMemoryDC&& Other) noexcept : FDC(std::exchange(Other.FDC, nullptr)) {}
  TMemoryDC& operator=(TMemoryDC&& Other) noexcept;
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  ~TMemoryDC() { Reset(); }

  HDC Get() const { return FDC; }
  void Reset();
  explicit operator bool() const { return FDC != nullptr; }

 private:
  HDC FDC = nullptr;
};

// SaveDC now, RestoreDC to exactly that state when it goes (or on Restore).
class TSavedDC {
 public:
  TSavedDC() = default;
  explicit TSavedDC(HDC DC);
  TSavedDC(TSavedDC&& Other) noexcept;
  TSavedDC& operator=(TSavedDC&& Other) noexcept;
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;
  ~TSavedDC() { Restore(); }

  void Restore();
  int Id() const { return FId; }
  explicit operator bool() const { return FDC != nullptr; }

 private:
  HDC FDC = nullptr;
  int FId = 0;
};

}  // namespace lumora
