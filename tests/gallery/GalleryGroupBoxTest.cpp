// The group box's pictures: the caption gap in the top edge for both
// borders, an empty caption and one wider than the box, the embossed
// disabled caption and the border derived from the form's colour.

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

// The box around the pixels of one colour; right/bottom exclusive, -1 when none.
RECT InkBox(const TPicture& P, TColor Ink) {
  RECT R{P.Width, P.Height, -1, -1};
  for (int Y = 0; Y < P.Height; ++Y)
    for (int X = 0; X < P.Width; ++X)
      if (P.At(X, Y) == Ink) {
        R.left = std::min<LONG>(R.left, X);
        R.top = std::min<LONG>(R.top, Y);
        R.right = std::max<LONG>(R.right, X + 1);
        R.bottom = std::max<LONG>(R.bottom, Y + 1);
      }
  return R;
}

TEST(GalleryGroupBox, CaptionGapAndFrame) {
  const TGalleryRun& Run = FullGallery();
  const TColor Form = Run.Cases["form_color"].get<TColor>();
  const struct {
    const char* Name;
    bool Full;
    TColor Face, Border;
    bool Enabled;
  } Cases[] = {
      {"groupbox-full-caption", true, 0xFAFAFA, 0x8396A0, true},
      {"groupbox-full-empty", true, 0xFAFAFA, 0x8396A0, true},
      {"groupbox-toponly-caption", false, 0xFAFAFA, 0x8396A0, true},
      {"groupbox-disabled", true, 0xFAFAFA, 0x0000A0, false},
      {"groupbox-wide-caption", true, 0xFAFAFA, 0x8396A0, true},
      // UseAdvColors follows the form's colour and darkens the border from it.
      {"groupbox-useadv", true, Form, ShiftLightness(Form, 0x8396A0, 50, lsDarken), true},
  };
  for (const auto& T : Cases) {
    SCOPED_TRACE(T.Name);
    const TJson& C = WrittenCase(Run, T.Name);
    const TPicture P = Run.Picture(T.Name);
    const int W = P.Width, H = P.Height;
    const int TW = C["measured"]["tw"].get<int>(), TH = C["measured"]["th"].get<int>();
    const int Y = TH / 2, GapEnd = TW + 12;
    for (int X = 1; X <= 5; ++X) EXPECT_EQ(P.At(X, Y), T.Border) << X;
    for (int X = 6; X <= std::min(GapEnd, W - 2); ++X) EXPECT_NE(P.At(X, Y), T.Border) << X;
    for (int X = GapEnd + 1; X < W; ++X) EXPECT_EQ(P.At(X, Y), T.Border) << X;
    EXPECT_EQ(P.At(W - 1, Y), T.Border);  // the corner stays, even under a wide caption
    const TColor Side = T.Full ? T.Border : T.Face;
    EXPECT_EQ(P.At(0, Y), Side);
    EXPECT_EQ(P.At(0, H - 1), Side);
    EXPECT_EQ(P.At(W / 2, H - 1), Side);
    EXPECT_EQ(P.At(W - 1, (Y + H) / 2), Side);
    EXPECT_EQ(P.At(W / 2, (Y + H) / 2), T.Face);
    // Caption ink only in L + 10 .. R - 10, above TH; embossed when disabled.
    const TColor Ink = T.Enabled ? 0x000000 : SysColor(Run, COLOR_BTNSHADOW);
    const RECT Box = InkBox(P, Ink);
    if (TW == 0) {
      EXPECT_LT(Box.right, 0);
      continue;
    }
    ASSERT_GE(Box.right, 0) << "no caption";
    EXPECT_GE(Box.left, 10);
    EXPECT_LE(Box.right, W - 10);
    EXPECT_LE(Box.bottom, TH);
    if (!T.Enabled) {
      EXPECT_LT(InkBox(P, 0x000000).right, 0);
    }
  }
}

}  // namespace
}  // namespace lumora::test
