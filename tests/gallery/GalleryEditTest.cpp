// The edit's pictures, its whole window: one ring in ColorBorder and two in
// the field colour, flat, hot, focused, derived and disabled, and a height of
// the font's text height + 6.

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

TEST(GalleryEdit, ThreeRingsAndTheHeight) {
  const TGalleryRun& Run = FullGallery();
  const TColor Form = Run.Cases["form_color"].get<TColor>();
  const struct {
    const char* Name;
    TColor Border, Field;
  } Cases[] = {
      {"edit-flat", 0x8396A0, 0xFFC1C1},
      {"edit-hot", 0x8396A0, 0xFFFFFF},
      {"edit-focused", 0x8396A0, 0xE0FFFF},
      // UseAdvColors turns ParentColor on: ColorFlat becomes the form's
      // colour and both derived colours come from it.
      {"edit-useadv-hot", ShiftLightness(Form, 0x8396A0, 50, lsDarken),
       ShiftLightness(Form, 0xFFFFFF, 10, lsLighten)},
      {"edit-disabled", 0x8396A0, 0xFFC1C1},
  };
  for (const auto& T : Cases) {
    SCOPED_TRACE(T.Name);
    const TJson& C = WrittenCase(Run, T.Name);
    const TPicture P = Run.Picture(T.Name);
    EXPECT_EQ(P.Height, C["measured"]["tm_height"].get<int>() + 6);
    EXPECT_EQ(C["height"].get<int>(), P.Height);
    EXPECT_EQ(P.Width, 121);
    const int W = P.Width, H = P.Height;
    for (int X = 0; X < W; ++X) {
      EXPECT_EQ(P.At(X, 0), T.Border) << X;
      EXPECT_EQ(P.At(X, H - 1), T.Border) << X;
    }
    for (int Y = 0; Y < H; ++Y) {
      EXPECT_EQ(P.At(0, Y), T.Border) << Y;
      EXPECT_EQ(P.At(W - 1, Y), T.Border) << Y;
      // Two rings of padding and the text area, all in the field colour.
      EXPECT_EQ(P.At(1, std::clamp(Y, 1, H - 2)), T.Field) << Y;
      EXPECT_EQ(P.At(W - 3, std::clamp(Y, 2, H - 3)), T.Field) << Y;
    }
    EXPECT_EQ(P.At(W / 2, 2), T.Field);
    EXPECT_EQ(P.At(W / 2, H / 2), T.Field);
  }
}

}  // namespace
}  // namespace lumora::test
