// The flat button's pictures against its drawing rules: the face colour
// for each transparent mode, hot flag and state; the frame rings (raised,
// sunken, one ring, Default's two); the glyph cell each state shows, the
// key colour left out, the embossed single cell; the caption where the
// layout puts it, embossed when disabled.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "gallery/GallerySupport.h"
#include "widgets/FlatUtilitys.h"

namespace lumora::test {
namespace {

constexpr TColor BaseColor = 0xFFBBC9, Focused = 0xFF93A8, DownFace = 0xC5D6D9, Border = 0x8396A0,
                 White = 0xFFFFFF, Black = 0x000000;
constexpr TColor GlyphRed = RGBColor(192, 0, 0), GlyphGreen = RGBColor(0, 192, 0),
                 GlyphBlue = RGBColor(0, 0, 192);

const TGalleryRun& Gallery() {
  return FullGallery();
}
TColor FormColor() {
  return Gallery().Cases["form_color"].get<TColor>();
}

TPicture Picture(const std::string& Name) {
  const TJson* C = Gallery().Case(Name);
  if (!C) throw std::runtime_error("no case " + Name);
  if (C->contains("error")) throw std::runtime_error(Name + ": " + (*C)["error"].dump());
  return Gallery().Picture(Name);
}

// Face at an inner pixel clear of caption and glyph, and every pixel of the
// rings: top row and left column in TopLeft, bottom row, right column and
// the top-right and bottom-left corners in BottomRight.
void ExpectFaceAndFrame(const TPicture& P, TColor Face, TColor TopLeft, TColor BottomRight,
                        int Rings) {
  EXPECT_EQ(P.At(P.Width - 3, 2), Face) << "face";
  for (int R = 0; R < 2; ++R) {
    SCOPED_TRACE("ring " + std::to_string(R));
    const bool Drawn = R < Rings;
    const int L = R, T = R, Rt = P.Width - 1 - R, B = P.Height - 1 - R;
    for (int X = L; X < Rt; ++X) EXPECT_EQ(P.At(X, T), Drawn ? TopLeft : Face) << "top " << X;
    for (int Y = T; Y < B; ++Y) EXPECT_EQ(P.At(L, Y), Drawn ? TopLeft : Face) << "left " << Y;
    if (!Drawn) continue;
    for (int X = L; X <= Rt; ++X) EXPECT_EQ(P.At(X, B), BottomRight) << "bottom " << X;
    for (int Y = T; Y <= B; ++Y) EXPECT_EQ(P.At(Rt, Y), BottomRight) << "right " << Y;
  }
}

struct TFaceCase {
  const char* Name;
  TColor Face, TopLeft, BottomRight;
  int Rings;
};

TEST(GalleryButton, FacesAndFrames) {
  const TColor Form = FormColor();
  // UseAdvColors with the form's colour as Color: the derived colours.
  const TColor AdvBorder = ShiftLightness(Form, Border, 50, lsDarken);
  const TColor AdvFocused = ShiftLightness(Form, 0xE1EAEB, 10, lsLighten);
  const TFaceCase Cases[] = {
      {"button-up-cold", BaseColor, Border, Border, 1},
      {"button-up-cold-default", BaseColor, Border, Border, 2},
      {"button-up-hot", Focused, White, Black, 1},
      {"button-up-hot-default", Focused, White, Black, 1},
      {"button-down", DownFace, Black, White, 1},
      {"button-disabled", BaseColor, Border, Border, 1},
      {"button-disabled-default", BaseColor, Border, Border, 1},
      {"button-exclusive-cold", DownFace, Black, White, 1},
      {"button-exclusive-hot", Focused, Black, White, 1},
      {"button-tmalways-cold", Form, Border, Border, 1},
      {"button-tmnotfocused-cold", Form, Border, Border, 1},
      {"button-tmnotfocused-hot", Focused, White, Black, 1},
      {"button-useadv-cold", Form, AdvBorder, AdvBorder, 1},
      {"button-useadv-hot", AdvFocused, White, Black, 1},
      {"button-custom-down", 0x609060, 0x003000, 0xE0FFE0, 1},
      {"button-glyph-left-margin0", BaseColor, Border, Border, 1},
      {"button-glyph2-disabled", BaseColor, Border, Border, 1},
      {"button-glyph4-up", BaseColor, Border, Border, 1},
      {"button-glyph4-down", DownFace, Black, White, 1},
      {"button-glyph4-exclusive", DownFace, Black, White, 1},
  };
  for (const TFaceCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TPicture P = Picture(C.Name);
    ExpectFaceAndFrame(P, C.Face, C.TopLeft, C.BottomRight, C.Rings);
  }
  // The derived colours really differ from the declared ones.
  EXPECT_NE(AdvBorder, Border);
  EXPECT_NE(AdvFocused, 0xE1EAEB);
}

// Where the caption's ink lies, inside the frame: its bounding box.
struct TBox {
  int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1;
  bool Empty() const { return Right < 0; }
};
TBox Ink(const TPicture& P, TColor Face, RECT Area) {
  TBox B;
  for (int Y = Area.top; Y < Area.bottom; ++Y)
    for (int X = Area.left; X < Area.right; ++X)
      if (P.At(X, Y) != Face) {
        B.Left = std::min(B.Left, X);
        B.Top = std::min(B.Top, Y);
        B.Right = std::max(B.Right, X);
        B.Bottom = std::max(B.Bottom, Y);
      }
  return B;
}

struct TCaptionCase {
  const char* Name;
  TColor Face;
  int Offset;   // 1 for the pressed faces
  bool Emboss;  // disabled: the highlight pass one pixel down and right
};

// A caption without glyph is centred in the measured rectangle, moved by
// the press offset; the disabled one is embossed, never in the font colour.
TEST(GalleryButton, CaptionPlaceAndEmboss) {
  const TColor Highlight = SysColor(Gallery(), COLOR_BTNHIGHLIGHT);
  const TColor Shadow = SysColor(Gallery(), COLOR_BTNSHADOW);
  for (const TCaptionCase& C : {TCaptionCase{"button-up-cold", BaseColor, 0, false},
                                TCaptionCase{"button-up-hot", Focused, 0, false},
                                TCaptionCase{"button-down", DownFace, 1, false},
                                TCaptionCase{"button-disabled", BaseColor, 0, true}}) {
    SCOPED_TRACE(C.Name);
    const TPicture P = Picture(C.Name);
    const TJson& M = (*Gallery().Case(C.Name))["measured"];
    const int TW = M["tw"].get<int>(), TH = M["th"].get<int>();
    ASSERT_GT(TW, 0);
    const int TX = (P.Width - TW + 1) / 2 + C.Offset, TY = (P.Height - TH + 1) / 2 + C.Offset;
    const TBox B = Ink(P, C.Face, RECT{2, 2, P.Width - 2, P.Height - 2});
    ASSERT_FALSE(B.Empty());
    EXPECT_GE(B.Left, TX);
    EXPECT_GE(B.Top, TY);
    EXPECT_LT(B.Right, TX + TW + (C.Emboss ? 1 : 0));
    EXPECT_LT(B.Bottom, TY + TH + (C.Emboss ? 1 : 0));
    int Shadows = 0, Highlights = 0, Blacks = 0;
    for (int Y = B.Top; Y <= B.Bottom; ++Y)
      for (int X = B.Left; X <= B.Right; ++X) {
        Shadows += P.At(X, Y) == Shadow;
        Highlights += P.At(X, Y) == Highlight;
        Blacks += P.At(X, Y) == Black;
      }
    if (C.Emboss) {
      EXPECT_GT(Shadows, 0);
      EXPECT_GT(Highlights, 0);
      EXPECT_EQ(Blacks, 0);
    } else {
      EXPECT_GT(Blacks, 0);
    }
  }
}

struct TGlyphCase {
  const char* Name;
  int GX, GY;     // where the cell's top-left lands
  TColor Square;  // the colour of the cell's filled square
  TColor Face;    // what shows where the cell has its key colour
};

// The cell each state shows, with the key colour left out and the white
// dot where the test glyph has it.
TEST(GalleryButton, GlyphCellsAndLayouts) {
  const TJson* Right = Gallery().Case("button-glyph-right-auto");
  ASSERT_NE(Right, nullptr);
  ASSERT_FALSE(Right->contains("error"));
  const int RightTW = (*Right)["measured"]["tw"].get<int>();
  // blGlyphRight, Margin and Spacing -1: margin = (75 - (16 + tw)) div 3.
  const int RightGX = 75 - (75 - (16 + RightTW)) / 3 - 16;
  const TGlyphCase Cases[] = {
      // blGlyphLeft, Margin 0: against the left edge, centred vertically.
      {"button-glyph-left-margin0", 0, 5, Black, BaseColor},
      // blGlyphTop without caption: spacing 0, the glyph centred both ways.
      {"button-glyph2-disabled", 5, 5, GlyphRed, BaseColor},
      {"button-glyph4-up", 5, 5, Black, BaseColor},
      {"button-glyph4-down", 6, 6, GlyphGreen, DownFace},
      {"button-glyph4-exclusive", 6, 6, GlyphBlue, DownFace},
      {"button-glyph-right-auto", RightGX, 5, Black, BaseColor},
      // blGlyphBottom, Margin 3: y = 50 - 3 - 16, x centred.
      {"button-glyph-bottom", 17, 31, Black, BaseColor},
  };
  for (const TGlyphCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TPicture P = Picture(C.Name);
    // The square (x0 + 2 .. x0 + 13) with its white dot, the key colour
    // around it left out.
    EXPECT_EQ(P.At(C.GX + 2, C.GY + 2), White);
    for (const POINT Q : {POINT{3, 3}, POINT{13, 13}, POINT{8, 2}, POINT{2, 8}})
      EXPECT_EQ(P.At(C.GX + Q.x, C.GY + Q.y), C.Square) << Q.x << "," << Q.y;
    for (const POINT Q : {POINT{1, 1}, POINT{14, 14}, POINT{8, 15}, POINT{15, 8}})
      EXPECT_EQ(P.At(C.GX + Q.x, C.GY + Q.y), C.Face) << Q.x << "," << Q.y;
  }
}

// A disabled single cell: the black square's shape in clBtnShadow, its
// clBtnHighlight copy one pixel down and right showing past it, clBtnFace
// (the new key colour) left out, and the white dot not part of the shape.
TEST(GalleryButton, EmbossedDisabledGlyph) {
  const TColor Highlight = SysColor(Gallery(), COLOR_BTNHIGHLIGHT);
  const TColor Shadow = SysColor(Gallery(), COLOR_BTNSHADOW);
  const TPicture P = Picture("button-glyph-left-disabled");
  const int GX = 0, GY = 5;
  EXPECT_EQ(P.At(GX + 8, GY + 8), Shadow);
  EXPECT_EQ(P.At(GX + 13, GY + 13), Shadow);
  EXPECT_EQ(P.At(GX + 14, GY + 14), Highlight);
  EXPECT_EQ(P.At(GX + 14, GY + 8), Highlight);
  EXPECT_EQ(P.At(GX + 8, GY + 14), Highlight);
  EXPECT_EQ(P.At(GX + 2, GY + 2), BaseColor);  // the dot was not black
  EXPECT_EQ(P.At(GX + 1, GY + 1), BaseColor);
  EXPECT_EQ(P.At(GX + 15, GY + 15), BaseColor);
  ExpectFaceAndFrame(P, BaseColor, Border, Border, 1);
}

// The focused state of a --cases file: a button with the focus is hot even
// with the cursor away; a pressing one away from the hot flag's timer stays
// pressed until the picture is taken.
TEST(GalleryButton, FocusedAndPressingFromACaseFile) {
  const std::string File = MakeTempDir() + "\\cases.json";
  std::ofstream(File) << R"({"format": 1, "form_color": 8413248,
    "font": {"face": "Tahoma", "height": -11}, "cases": [
      {"name": "focused", "control": "TFlatButton", "width": 75, "height": 25,
       "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480]],
       "state": {"focused": true}},
      {"name": "pressing-grouped", "control": "TFlatButton", "width": 75, "height": 25,
       "props": [["Caption", "&OK"], ["Color", 16759753], ["GroupIndex", 1]],
       "state": {"hot": true, "pressing": true}}
    ]})";
  const TGalleryRun R = RunGallery({"--cases", File});
  ASSERT_EQ(R.ExitCode, 0) << R.Output;
  ExpectFaceAndFrame(R.Picture("focused"), Focused, White, Black, 1);
  ExpectFaceAndFrame(R.Picture("pressing-grouped"), DownFace, Black, White, 1);
}

}  // namespace
}  // namespace lumora::test
