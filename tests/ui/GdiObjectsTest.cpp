#include "ui/GdiObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Canvas.h"

namespace lumora {
namespace {

bool IsGdiObject(HGDIOBJ Object) {
  return ::GetObjectType(Object) != 0;
}

TEST(GdiObjects, SelectionsPutBackWhatWasThereEvenWhenNestedOrMoved) {
  TMemoryDC DC(nullptr);
  ASSERT_TRUE(DC);
  HGDIOBJ Stock = ::GetCurrentObject(DC.Get(), OBJ_PEN);
  TPenHandle Red(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  TPenHandle Blue(::CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
  {
    TSelection Outer(DC.Get(), Red.Get());
    EXPECT_EQ(::GetCurrentObject(DC.Get(), OBJ_PEN), Red.Get());
    {
      TSelection Inner(DC.Get(), Blue.Get());
      EXPECT_EQ(::GetCurrentObject(DC.Get(), OBJ_PEN), Blue.Get());
    }
    EXPECT_EQ(::GetCurrentObject(DC.Get(), OBJ_PEN), Red.Get());
    TSelection Moved = std::move(Outer);
    EXPECT_FALSE(Outer);
    EXPECT_EQ(::GetCurrentObject(DC.Get(), OBJ_PEN), Red.Get()) << "a move restores nothing";
  }
  EXPECT_EQ(::GetCurrentObject(DC.Get(), OBJ_PEN), Stock);

  // A failed selection holds nothing and restores nothing.
  TSelection Failed(DC.Get(), nullptr);
  EXPECT_FALSE(Failed);
}

TEST(GdiObjects, HandlesDeleteOnceAndReleaseGivesUp) {
  HBRUSH Raw = ::CreateSolidBrush(RGB(1, 2, 3));
  {
    TBrushHandle A(Raw);
    TBrushHandle B = std::move(A);
    EXPECT_FALSE(A);
    EXPECT_EQ(B.Get(), Raw);
    EXPECT_TRUE(IsGdiObject(Raw));
  }
  EXPECT_FALSE(IsGdiObject(Raw)) << "the last owner deletes it";

  HBRUSH Kept = ::CreateSolidBrush(RGB(1, 2, 3));
  {
    TBrushHandle C(Kept);
    EXPECT_EQ(C.Release(), Kept);
  }
  EXPECT_TRUE(IsGdiObject(Kept));
  TBrushHandle D(Kept);
  D.Reset(::CreateSolidBrush(RGB(4, 5, 6)));
  EXPECT_FALSE(IsGdiObject(Kept)) << "Reset deletes the previous handle";
}

TEST(GdiObjects, SavedDCRestoresItsOwnLevelAndWindowDCsRelease) {
  TMemoryDC DC(nullptr);
  ::SetBkMode(DC.Get(), OPAQUE);
  {
    TSavedDC Saved(DC.Get());
    ASSERT_TRUE(Saved);
    ::SetBkMode(DC.Get(), TRANSPARENT);
    ::SaveDC(DC.Get());  // a deeper level left unbalanced by someone else
    ::SetBkMode(DC.Get(), TRANSPARENT);
  }
  EXPECT_EQ(::GetBkMode(DC.Get()), OPAQUE);

  TWindowDC Screen = TWindowDC::Client(nullptr);
  ASSERT_TRUE(Screen);
  EXPECT_GT(::GetDeviceCaps(Screen.Get(), HORZRES), 0);
  TWindowDC Moved = std::move(Screen);
  EXPECT_FALSE(Screen);
  EXPECT_TRUE(Moved);
}

// Many make-draw-free cycles of every drawing object leave nothing behind:
// every object and DC seen during a cycle is gone after it, and where the
// system counts GDI objects (Wine does not) the count stays put.
std::vector<HGDIOBJ> DrawingCycle() {
  std::vector<HGDIOBJ> Seen;
  TBitmap Bitmap(8, 8);
  TCanvas& C = Bitmap.Canvas();
  HDC DC = C.Handle();
  auto Note = [&] {
    for (UINT Type : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP})
      Seen.push_back(::GetCurrentObject(DC, Type));
  };
  C.Font().SetStyle(fsBold);
  C.Pen().SetColor(clRed);
  C.Brush().SetColor(clBtnFace);
  C.Rectangle(RECT{0, 0, 8, 8});
  C.TextOut(0, 0, "x");
  Note();
  C.Pen().SetWidth(2);  // a new pen while the old one is selected
  C.Font().SetHeight(-20);
  C.LineTo(5, 5);
  C.TextOut(0, 0, "y");
  Note();
  Bitmap.SetSize(12, 10);
  Bitmap.SetMonochrome(true);
  Note();
  TBitmap Copy;
  Copy.Assign(Bitmap);
  Copy.SetMonochrome(false);
  TBitmapHandle Mask = Copy.CopyMask(clBlack);
  Seen.push_back(Mask.Get());
  Seen.push_back(Copy.Handle());
  Seen.push_back(Copy.Canvas().Handle());
  Seen.push_back(DC);
  TCanvas Other(Copy.Canvas().Handle());
  Other.Brush().SetColor(clRed);
  Other.FillRect(RECT{0, 0, 2, 2});
  Seen.push_back(Other.Brush().Handle());
  return Seen;
}

TEST(GdiObjects, NoGdiObjectLeaksOverManyCycles) {
  // A fresh DC holds only stock objects; they stay, everything made goes.
  std::vector<HGDIOBJ> Stock;
  {
    TMemoryDC Fresh(nullptr);
    for (UINT Type : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP})
      Stock.push_back(::GetCurrentObject(Fresh.Get(), Type));
  }
  for (HGDIOBJ Object : DrawingCycle()) {
    if (std::find(Stock.begin(), Stock.end(), Object) != Stock.end()) continue;
    EXPECT_EQ(::GetObjectType(Object), 0u) << "object " << Object << " left behind";
  }
  const DWORD Before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  for (int I = 0; I < 300; ++I) DrawingCycle();
  const DWORD After = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (Before != 0) {
    EXPECT_LE(After, Before + 2);
  }
}

}  // namespace
}  // namespace lumora
