// The panel's pictures: the one-ring bevel, the caption placed by each
// alignment over the whole client area, a frame in the face colour,
// transparency and the embossed disabled caption.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "gallery/GallerySupport.h"
#include "widgets/FlatUtilitys.h"

namespace lumora::test {
namespace {

const TJson& WrittenCase(const TGalleryRun& Run, const std::string& Name) {
  const TJson* C = Run.Case(Name);
  if (!C) throw std::runtime_error("no case " + Name);
  if (C->contains("error")) throw std::runtime_error(Name + ": " + (*C)["error"].dump());
  return *C;
}

// The box around the pixels of one colour, leaving out Inset pixels at the
// edges; right/bottom exclusive, -1 when none.
RECT InkBox(const TPicture& P, TColor Ink, int Inset = 0) {
  RECT R{P.Width, P.Height, -1, -1};
  for (int Y = Inset; Y < P.Height - Inset; ++Y)
    for (int X = Inset; X < P.Width - Inset; ++X)
      if (P.At(X, Y) == Ink) {
        R.left = std::min<LONG>(R.left, X);
        R.top = std::min<LONG>(R.top, Y);
        R.right = std::max<LONG>(R.right, X + 1);
        R.bottom = std::max<LONG>(R.bottom, Y + 1);
      }
  return R;
}

TEST(GalleryPanel, BevelAndCaptionPlacement) {
  const TGalleryRun& Run = FullGallery();
  const TColor Form = Run.Cases["form_color"].get<TColor>();
  const TColor Shadow = SysColor(Run, COLOR_BTNSHADOW);
  enum TPlace { Left, Centre, Right, NoCaption };
  const struct {
    const char* Name;
    TColor Face, Light, Dark;
    TPlace Place;
    bool Enabled;
  } Cases[] = {
      {"panel-center", 0xE0E0E0, 0xFFFFFF, 0x404040, Centre, true},
      {"panel-left", 0xE0E0E0, 0x8396A0, 0x8396A0, Left, true},
      {"panel-right-disabled", 0xE0E0E0, 0xFFFFFF, 0x404040, Right, false},
      {"panel-same-colour", 0xFFC1C1, 0xFFC1C1, 0xFFC1C1, NoCaption, true},
      {"panel-transparent", Form, 0xFFFFFF, 0x000000, Centre, true},
  };
  for (const auto& T : Cases) {
    SCOPED_TRACE(T.Name);
    const TJson& C = WrittenCase(Run, T.Name);
    const TPicture P = Run.Picture(T.Name);
    const int W = P.Width, H = P.Height;
    // One ring: the far corners on the shadow side.
    EXPECT_EQ(P.At(0, 0), T.Light);
    EXPECT_EQ(P.At(W / 2, 0), T.Light);
    EXPECT_EQ(P.At(0, 2), T.Light);
    EXPECT_EQ(P.At(W - 1, 0), T.Dark);
    EXPECT_EQ(P.At(0, H - 1), T.Dark);
    EXPECT_EQ(P.At(W - 1, 2), T.Dark);  // below the caption's rows
    EXPECT_EQ(P.At(W / 2, H - 1), T.Dark);
    EXPECT_EQ(P.At(1, 1), T.Face);
    EXPECT_EQ(P.At(W - 2, H - 2), T.Face);
    // Inside the bevel, which may be black too; a caption drawn over the
    // bevel's edge pixel still shows within.
    const RECT Ink = InkBox(P, T.Enabled ? 0x000000 : Shadow, 1);
    if (T.Place == NoCaption) {
      EXPECT_EQ(InkBox(P, T.Face).right, W);  // nothing but the face
      EXPECT_EQ(InkBox(P, T.Face).bottom, H);
      for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) ASSERT_EQ(P.At(X, Y), T.Face) << X << "," << Y;
      continue;
    }
    ASSERT_GE(Ink.right, 0) << "no caption";
    const int TW = C["measured"]["tw"].get<int>(), TH = C["measured"]["th"].get<int>();
    // The caption's rectangle is the whole client area, bevel included.
    const int CellLeft = T.Place == Left ? 0 : T.Place == Right ? W - TW : (W - TW) / 2;
    EXPECT_GE(Ink.left, std::max(CellLeft, 1));
    EXPECT_LE(Ink.left, CellLeft + 3);
    EXPECT_LE(Ink.right, CellLeft + TW);
    EXPECT_GE(Ink.top, (H - TH) / 2);
    EXPECT_LE(Ink.bottom, (H - TH) / 2 + TH);
    if (!T.Enabled) {
      EXPECT_LT(InkBox(P, 0x000000, 1).right, 0);
    }
  }
}

}  // namespace
}  // namespace lumora::test
