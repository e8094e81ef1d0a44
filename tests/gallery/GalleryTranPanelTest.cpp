// The transparent panel's pictures: the clBtnShadow frame only with Border,
// the form's colour through the panel, and the caption band one "W" high,
// centred vertically, that cuts a second line off.

#include <gtest/gtest.h>

#include "gallery/GallerySupport.h"

namespace lumora::test {
namespace {

// Rows holding caption ink: pixels far from the background.
struct TInkRows {
  int First = -1, Last = -1;
};
TInkRows InkRows(const TPicture& P, TColor Back, int Inset) {
  TInkRows R;
  for (int Y = Inset; Y < P.Height - Inset; ++Y)
    for (int X = Inset; X < P.Width - Inset; ++X)
      if (P.At(X, Y) != Back) {
        if (R.First < 0) R.First = Y;
        R.Last = Y;
      }
  return R;
}

struct TPanelCase {
  const char* Name;
  bool Border;
};

TEST(GalleryTranPanel, FrameBackgroundAndCaptionBand) {
  const TGalleryRun& Run = FullGallery();
  const TColor Form = Run.Cases["form_color"].get<TColor>();
  const TColor Shadow = SysColor(Run, COLOR_BTNSHADOW);
  for (const TPanelCase& T : {TPanelCase{"tranpanel-border-caption", true},
                              TPanelCase{"tranpanel-noborder-caption", false},
                              TPanelCase{"tranpanel-twoline-border", true}}) {
    SCOPED_TRACE(T.Name);
    const TJson* C = Run.Case(T.Name);
    ASSERT_NE(C, nullptr);
    ASSERT_FALSE(C->contains("error")) << (*C)["error"];
    const TPicture P = Run.Picture(T.Name);
    const TColor Edge = T.Border ? Shadow : Form;
    for (int X = 0; X < P.Width; ++X) {
      EXPECT_EQ(P.At(X, 0), Edge) << X;
      EXPECT_EQ(P.At(X, P.Height - 1), Edge) << X;
    }
    for (int Y = 0; Y < P.Height; ++Y) {
      EXPECT_EQ(P.At(0, Y), Edge) << Y;
      EXPECT_EQ(P.At(P.Width - 1, Y), Edge) << Y;
    }
    EXPECT_EQ(P.At(3, 3), Form);
    // The band: rows (H - h) div 2 up to that + h, h the height of "W".
    const int H = (*C)["measured"]["w_height"].get<int>();
    const int Top = (P.Height - H) / 2;
    const TInkRows Ink = InkRows(P, Form, 1);
    ASSERT_GE(Ink.First, 0) << "no caption drawn";
    EXPECT_GE(Ink.First, Top);
    EXPECT_LT(Ink.Last, Top + H);
    // The caption is most of the band high (the second line is cut off, not
    // squeezed in).
    EXPECT_GE(Ink.Last - Ink.First + 1, H / 2);
  }
}

}  // namespace
}  // namespace lumora::test
