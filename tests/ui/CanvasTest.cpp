#include "ui/Canvas.h"

#include <gtest/gtest.h>

#include <functional>

#include "sys/LumoraError.h"
#include "ui/Bitmap.h"

namespace lumora {
namespace {

TEST(Canvas, SelectsOnlyWhenNeededAndFreesReplacedObjects) {
  TBitmap Bitmap(20, 20);
  TCanvas Canvas(Bitmap.Canvas().Handle());  // a second canvas on the same DC
  HDC DC = Canvas.Handle();
  HGDIOBJ OwnPen = ::GetCurrentObject(DC, OBJ_PEN);
  HGDIOBJ OwnFont = ::GetCurrentObject(DC, OBJ_FONT);

  Canvas.FillRect(RECT{0, 0, 2, 2});
  EXPECT_EQ(::GetCurrentObject(DC, OBJ_PEN), OwnPen) << "filling needs no pen";

  Canvas.Pen().SetColor(clRed);
  Canvas.MoveTo(0, 5);
  Canvas.LineTo(10, 5);
  HGDIOBJ RedPen = ::GetCurrentObject(DC, OBJ_PEN);
  EXPECT_NE(RedPen, OwnPen);
  EXPECT_EQ(Canvas.Pixel(3, 5), clRed);
  EXPECT_EQ(Canvas.Pixel(10, 5), clBlack) << "the end point is not painted";

  // A change while selected: the old pen stays valid until the new one is in.
  Canvas.Pen().SetColor(0x00FF00);
  EXPECT_NE(::GetObjectType(RedPen), 0u);
  Canvas.LineTo(10, 15);
  EXPECT_EQ(Canvas.Pixel(10, 8), 0x00FF00);
  EXPECT_EQ(::GetObjectType(RedPen), 0u) << "the replaced pen is deleted";

  Canvas.TextOut(0, 0, "a");
  EXPECT_NE(::GetCurrentObject(DC, OBJ_FONT), OwnFont);
  Canvas.SetHandle(nullptr);
  EXPECT_EQ(::GetCurrentObject(DC, OBJ_PEN), OwnPen);
  EXPECT_EQ(::GetCurrentObject(DC, OBJ_FONT), OwnFont);
}

TEST(Canvas, DrawingWithoutADeviceContextIsAnErrorWhileChecksAreOn) {
#ifdef NDEBUG
  EXPECT_FALSE(TCanvas::HandleChecks()) << "off in release builds";
#else
  EXPECT_TRUE(TCanvas::HandleChecks()) << "on in debug builds";
#endif
  const bool Before = TCanvas::HandleChecks();
  TCanvas None;
  TBitmap Picture(4, 4);
  RECT R{0, 0, 2, 2};
  const POINT Line[] = {{0, 0}, {2, 2}};
  struct TCase {
    const char* What;
    std::function<void()> Draw;
  };
  const TCase Cases[] = {
      {"FillRect", [&] { None.FillRect(R); }},
      {"FrameRect", [&] { None.FrameRect(R); }},
      {"Rectangle", [&] { None.Rectangle(R); }},
      {"Ellipse", [&] { None.Ellipse(R); }},
      {"Polyline", [&] { None.Polyline(Line); }},
      {"MoveTo", [&] { None.MoveTo(1, 1); }},
      {"LineTo", [&] { None.LineTo(1, 1); }},
      {"TextExtent", [&] { None.TextExtent("a"); }},
      {"TextOut", [&] { None.TextOut(0, 0, "a"); }},
      {"DrawText", [&] { None.DrawText("a", R, DT_SINGLELINE); }},
      {"SetPixel", [&] { None.SetPixel(0, 0, clRed); }},
      {"Draw", [&] { None.Draw(0, 0, Picture); }},
      {"CopyRect into it", [&] { None.CopyRect(R, Picture.Canvas(), R); }},
      {"CopyRect from it", [&] { Picture.Canvas().CopyRect(R, None, R); }},
  };
  TCanvas::SetHandleChecks(true);
  for (const TCase& C : Cases) EXPECT_THROW(C.Draw(), ELumoraError) << C.What;
  EXPECT_EQ(None.Pixel(0, 0), -1) << "reading is no drawing";
  TCanvas::SetHandleChecks(false);
  for (const TCase& C : Cases) EXPECT_NO_THROW(C.Draw()) << C.What;
  EXPECT_EQ(None.TextExtent("a").cx, 0);
  TCanvas::SetHandleChecks(Before);
}

TEST(Canvas, FillsFramesAndShapesInResolvedColours) {
  TBitmap Bitmap(30, 30);
  TCanvas& C = Bitmap.Canvas();
  C.Brush().SetColor(clBtnFace);
  C.FillRect(RECT{0, 0, 30, 30});
  const TColor Face = static_cast<TColor>(::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(C.Pixel(29, 29), Face) << "system colours are resolved";

  C.Brush().SetColor(clRed);
  C.FrameRect(RECT{2, 2, 10, 10});
  EXPECT_EQ(C.Pixel(2, 2), clRed);
  EXPECT_EQ(C.Pixel(9, 9), clRed);
  EXPECT_EQ(C.Pixel(5, 5), Face);

  C.Pen().SetColor(clBlack);
  C.Brush().SetColor(clWhite);
  C.Ellipse(RECT{12, 12, 28, 28});
  EXPECT_EQ(C.Pixel(20, 20), clWhite);
  EXPECT_EQ(C.Pixel(12, 20), clBlack);
  EXPECT_EQ(C.Pixel(12, 12), Face) << "the corner is outside the ellipse";

  C.Brush().SetStyle(bsClear);
  C.FillRect(RECT{0, 0, 30, 30});
  EXPECT_EQ(C.Pixel(29, 29), Face) << "a clear brush fills nothing";
  C.Rectangle(RECT{0, 20, 10, 30});
  EXPECT_EQ(C.Pixel(0, 25), clBlack);
  EXPECT_EQ(C.Pixel(5, 25), Face) << "a clear brush leaves the inside";

  const POINT Line[] = {{0, 15}, {5, 15}, {5, 19}};
  C.Pen().SetStyle(psClear);
  C.Polyline(Line);
  EXPECT_EQ(C.Pixel(2, 15), Face);
  C.Pen().SetStyle(psSolid);
  C.Polyline(Line);
  EXPECT_EQ(C.Pixel(2, 15), clBlack);
  EXPECT_EQ(C.Pixel(5, 17), clBlack);
  EXPECT_EQ(C.Pixel(5, 19), Face);
}

TEST(Canvas, TextBackgroundFollowsTheBrushStyle) {
  TBitmap Bitmap(60, 20);
  TCanvas& C = Bitmap.Canvas();
  C.Brush().SetColor(clWhite);
  C.FillRect(RECT{0, 0, 60, 20});
  const SIZE Extent = C.TextExtent("Wg");
  EXPECT_GT(Extent.cx, 0);
  EXPECT_EQ(C.TextHeight("Wg"), Extent.cy);

  // Opaque: the whole text cell takes the brush colour.
  C.Brush().SetColor(clRed);
  C.Font().SetColor(clBlack);
  RECT R{0, 0, 60, 20};
  EXPECT_GT(C.DrawText("  ", R, DT_SINGLELINE), 0);
  EXPECT_EQ(C.Pixel(1, 1), clRed);

  // Transparent: only the glyphs' pixels change.
  C.Brush().SetColor(clWhite);
  C.FillRect(RECT{0, 0, 60, 20});
  C.Brush().SetStyle(bsClear);
  C.Font().SetColor(0x00FF00);
  C.TextOut(0, 0, "WWW");
  int Green = 0, White = 0, Other = 0;
  for (int Y = 0; Y < Extent.cy; ++Y)
    for (int X = 0; X < C.TextWidth("WWW"); ++X) {
      const TColor P = C.Pixel(X, Y);
      (P == 0x00FF00 ? Green : P == clWhite ? White : Other)++;
    }
  EXPECT_GT(Green, 0);
  EXPECT_GT(White, Green) << "the background between strokes stays";

  // DT_CALCRECT measures without drawing.
  RECT Calc{0, 0, 60, 0};
  C.DrawText("OK", Calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(Calc.right, C.TextWidth("OK"));
  EXPECT_EQ(Calc.bottom, C.TextHeight("OK"));
}

TEST(Canvas, FontStyleMakesADifferentFontAndChangesNotifyOnce) {
  TFont Font;
  EXPECT_EQ(Font.Name(), "MS Sans Serif");
  EXPECT_EQ(Font.Height(), -11);
  EXPECT_EQ(Font.Color(), clWindowText);
  int Changes = 0;
  Font.OnChange = [&](TObject*) { ++Changes; };
  HFONT Plain = Font.Handle();
  EXPECT_EQ(Font.Handle(), Plain) << "cached";
  Font.SetStyle(fsBold | fsItalic);
  Font.SetStyle(fsBold | fsItalic);
  EXPECT_EQ(Changes, 1);
  LOGFONTA Log{};
  ASSERT_NE(::GetObjectA(Font.Handle(), sizeof Log, &Log), 0);
  EXPECT_EQ(Log.lfWeight, FW_BOLD);
  EXPECT_TRUE(Log.lfItalic);
  EXPECT_EQ(Log.lfHeight, -11);
  EXPECT_EQ(Log.lfCharSet, DEFAULT_CHARSET);
  EXPECT_STREQ(Log.lfFaceName, "MS Sans Serif");

  TFont Other;
  Other.SetName("Courier New");
  Other.SetHeight(-15);
  Other.SetPitch(fpFixed);
  Font.Assign(Other);
  EXPECT_EQ(Changes, 2) << "Assign changes once";
  EXPECT_EQ(Font.Name(), "Courier New");
  EXPECT_EQ(Font.Style(), 0u);
  Font.Assign(Other);
  EXPECT_EQ(Changes, 2);
}

TEST(Canvas, CopyRectCopiesAndStretches) {
  TBitmap Source(4, 4);
  Source.Canvas().Brush().SetColor(clRed);
  Source.Canvas().FillRect(RECT{0, 0, 2, 4});  // left half red, right half black
  TBitmap Target(8, 8);
  TCanvas& T = Target.Canvas();
  T.CopyRect(RECT{0, 0, 4, 4}, Source.Canvas(), RECT{0, 0, 4, 4});
  EXPECT_EQ(T.Pixel(1, 1), clRed);
  EXPECT_EQ(T.Pixel(3, 1), clBlack);
  T.CopyRect(RECT{0, 4, 8, 8}, Source.Canvas(), RECT{0, 0, 4, 4});
  EXPECT_EQ(T.Pixel(3, 6), clRed);
  EXPECT_EQ(T.Pixel(4, 6), clBlack);
  T.Draw(6, 0, Source);
  EXPECT_EQ(T.Pixel(7, 0), clRed);
  T.SetPixel(7, 0, clBtnFace);
  EXPECT_EQ(T.Pixel(7, 0), static_cast<TColor>(::GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(T.Pixel(100, 100), -1);
}

}  // namespace
}  // namespace lumora
