// The check box's and radio button's pictures against their drawing rules:
// the mark's place for both layouts, its face for cold, hot, focused and
// pressed, the six check strokes and the dot in their colours, the frame,
// the caption (embossed when disabled) and transparency.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "gallery/GallerySupport.h"
#include "widgets/FlatUtilitys.h"

namespace lumora::test {
namespace {

constexpr TColor Face = 0xFFC1C1, Border = 0x8396A0;
constexpr TColor NoMark = clNone;

const TPicture& Picture(const TGalleryRun& Run, const char* Name) {
  static std::map<std::string, TPicture> Cache;
  auto Found = Cache.find(Name);
  if (Found == Cache.end()) Found = Cache.emplace(Name, Run.Picture(Name)).first;
  return Found->second;
}

// How many pixels of the colour lie in columns [X0, X1).
int Count(const TPicture& P, TColor Colour, int X0, int X1) {
  int N = 0;
  for (int Y = 0; Y < P.Height; ++Y)
    for (int X = X0; X < X1; ++X) N += P.At(X, Y) == Colour;
  return N;
}

struct TBoxCase {
  const char* Name;
  int Left;  // of the 11 x 11 box; its top is row 3
  TColor Face, Check, Border;
};

TEST(GalleryCheckBox, BoxFaceCheckAndFrame) {
  const TGalleryRun& Run = FullGallery();
  const TColor Form = Run.Cases["form_color"].get<TColor>();
  const TColor Shadow = SysColor(Run, COLOR_BTNSHADOW);
  const TBoxCase Cases[] = {
      {"checkbox-unchecked", 1, Face, NoMark, Border},
      {"checkbox-checked", 1, Face, clBlack, Border},
      {"checkbox-checked-hot", 1, clWhite, clBlack, Border},
      {"checkbox-checked-pressing", 1, 0xC5D6D9, clBlack, Border},
      {"checkbox-unchecked-focused", 1, clWhite, NoMark, Border},
      {"checkbox-right-checked", 121 - 12, Face, 0x000080, Border},
      {"checkbox-disabled-checked", 1, Face, Shadow, Border},
      {"checkbox-transparent-checked", 1, Face, clBlack, Border},
      // The form's colour, lightened for the hot face, darkened for the frame.
      {"checkbox-useadv-hot", 1, ShiftLightness(Form, 0, 10, lsLighten), clBlack,
       ShiftLightness(Form, 0, 50, lsDarken)},
  };
  const std::set<std::pair<int, int>> Ticks = {
      {2, 4}, {3, 5}, {4, 6}, {5, 7}, {2, 5}, {3, 6}, {4, 7}, {2, 6}, {3, 7}, {4, 8}, {8, 2},
      {7, 3}, {6, 4}, {5, 5}, {8, 3}, {7, 4}, {6, 5}, {5, 6}, {8, 4}, {7, 5}, {6, 6}};
  for (const TBoxCase& T : Cases) {
    SCOPED_TRACE(T.Name);
    const TJson* C = Run.Case(T.Name);
    ASSERT_NE(C, nullptr);
    ASSERT_FALSE(C->contains("error")) << (*C)["error"];
    EXPECT_EQ((*C)["measured"], TJson::object());
    const TPicture& P = Picture(Run, T.Name);
    ASSERT_EQ(P.Width, 121);
    ASSERT_EQ(P.Height, 17);
    for (int Y = 0; Y < 11; ++Y)
      for (int X = 0; X < 11; ++X) {
        TColor Want = T.Face;
        if (X == 0 || Y == 0 || X == 10 || Y == 10)
          Want = T.Border;
        else if (T.Check != NoMark && Ticks.count({X, Y}))
          Want = T.Check;
        ASSERT_EQ(P.At(T.Left + X, 3 + Y), Want) << "box pixel " << X << "," << Y;
      }
  }
}

TEST(GalleryCheckBox, BackgroundAndCaption) {
  const TGalleryRun& Run = FullGallery();
  const TColor Form = Run.Cases["form_color"].get<TColor>();
  const TColor Shadow = SysColor(Run, COLOR_BTNSHADOW);
  const TColor Light = SysColor(Run, COLOR_BTNHIGHLIGHT);
  // Erased in Color, or the parent's picture under a transparent box.
  EXPECT_EQ(Picture(Run, "checkbox-checked").At(0, 0), Face);
  EXPECT_EQ(Picture(Run, "checkbox-checked").At(120, 16), Face);
  EXPECT_EQ(Picture(Run, "checkbox-transparent-checked").At(0, 0), Form);
  EXPECT_EQ(Picture(Run, "checkbox-transparent-checked").At(120, 16), Form);
  EXPECT_EQ(Picture(Run, "checkbox-useadv-hot").At(0, 0), Form);  // ParentColor again

  // Left layout: the caption from column 16; right: up to column R - 16.
  const TPicture& Left = Picture(Run, "checkbox-checked");
  EXPECT_GT(Count(Left, clBlack, 16, 121), 40);
  EXPECT_EQ(Count(Left, clBlack, 12, 16), 0);
  const TPicture& Right = Picture(Run, "checkbox-right-checked");
  EXPECT_GT(Count(Right, clBlack, 60, 105), 40);
  EXPECT_EQ(Count(Right, clBlack, 0, 40), 0);  // right-aligned
  EXPECT_EQ(Count(Right, clBlack, 105, 121), 0);

  // Disabled: shadow over highlight, no caption in the font's colour.
  for (const char* Name : {"checkbox-disabled-checked", "radio-right-checked-disabled"}) {
    SCOPED_TRACE(Name);
    const TPicture& P = Picture(Run, Name);
    EXPECT_GT(Count(P, Shadow, 0, 121), 30);
    EXPECT_GT(Count(P, Light, 0, 121), 10);
    EXPECT_EQ(Count(P, clBlack, 0, 121), 0);
  }
}

struct TRadioCase {
  const char* Name;
  int Left;  // of the 10 x 10 circle; its top is row 3
  TColor Face, Dot;
};

TEST(GalleryRadioButton, CircleAndDot) {
  const TGalleryRun& Run = FullGallery();
  const TColor Shadow = SysColor(Run, COLOR_BTNSHADOW);
  const TRadioCase Cases[] = {
      {"radio-unchecked", 1, Face, NoMark},
      {"radio-checked-hot", 1, clWhite, 0x0000C0},
      {"radio-right-checked-disabled", 121 - 11, Face, Shadow},
  };
  for (const TRadioCase& T : Cases) {
    SCOPED_TRACE(T.Name);
    const TJson* C = Run.Case(T.Name);
    ASSERT_NE(C, nullptr);
    ASSERT_FALSE(C->contains("error")) << (*C)["error"];
    const TPicture& P = Picture(Run, T.Name);
    const int L = T.Left, Top = 3;
    // The outline on all four sides, the corners outside it in Color.
    EXPECT_EQ(P.At(L + 5, Top), Border);
    EXPECT_EQ(P.At(L + 5, Top + 9), Border);
    EXPECT_EQ(P.At(L, Top + 5), Border);
    EXPECT_EQ(P.At(L + 9, Top + 5), Border);
    EXPECT_EQ(P.At(L, Top), Face);
    EXPECT_EQ(P.At(L + 9, Top + 9), Face);
    // The face beside the dot, and the dot in (3, 3, 7, 7) of the circle.
    EXPECT_EQ(P.At(L + 2, Top + 5), T.Face);
    EXPECT_EQ(P.At(L + 7, Top + 5), T.Face);
    const TColor Centre = T.Dot == NoMark ? T.Face : T.Dot;
    for (auto [X, Y] : {std::pair{4, 4}, {5, 4}, {4, 5}, {5, 5}})
      EXPECT_EQ(P.At(L + X, Top + Y), Centre) << X << "," << Y;
  }
}

}  // namespace
}  // namespace lumora::test
