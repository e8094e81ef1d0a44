#include "grab/PictureTypes.h"

#include <gtest/gtest.h>

#include "grab/DownloadPicture.h"
#include "grab/GrabJob.h"
#include "sys/AsciiCase.h"

namespace lumora {
namespace {

// The old rule exactly as it was: the last three characters, upper-cased,
// anywhere in the line.
bool OldRule(std::string_view Address, std::string_view PicTypes) {
  if (Address.size() < 3) return false;
  std::string X(Address.substr(Address.size() - 3));
  for (char& C : X)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 32);
  return PicTypes.find(X) != std::string_view::npos;
}

TEST(PictureTypes, OldLinesGiveTheOldAnswersEvenWithTheNewerTypesBesideThem) {
  // The design's own cases, then the awkward ones of a substring test.
  const char* const Addresses[] = {"http://h/a.jpg",
                                   "http://h/a.JPG",
                                   "http://h/a.gif",
                                   "http://h/a.bmp",
                                   "http://h/a.tif",
                                   "http://h/a.jpeg",
                                   "http://h/xG.G",
                                   "http://h/ajpg",
                                   "http://h/x.PG.",
                                   "http://h/xG.B",
                                   "ab",
                                   "",
                                   "http://h/a.tiff",
                                   "http://h/a.png",
                                   "http://h/a.Gif"};
  const char* const Lines[] = {".JPG.GIF", ".JPG.BMP.GIF.TIF", "", "JPGGIF", ".TIF.BMP", ".GIF"};
  for (const char* Line : Lines)
    for (const char* A : Addresses) {
      EXPECT_EQ(IsTypeEnabled(A, Line), OldRule(A, Line)) << A << " " << Line;
      // The old four answer alike when the newer types are switched on too,
      // unless the address ends in one of the newer types itself.
      const std::string WithNew = std::string(Line) + ".PNG.WEBP.AVIF";
      const std::string_view V(A);
      if (V.size() < 4 || !SameTextAscii(V.substr(V.size() - 4), ".PNG")) {
        EXPECT_EQ(IsTypeEnabled(A, WithNew), OldRule(A, Line)) << A << " " << WithNew;
      }
    }
}

TEST(PictureTypes, NewerTypesAreTestedOnTheirWholeEnding) {
  const struct {
    const char* Address;
    const char* Types;
    bool TodaysWeb;
    bool Enabled;
  } Cases[] = {
      {"http://h/a.webp", AllPictureTypes, false, true},
      {"http://h/a.WebP", ".WEBP", false, true},
      {"http://h/a.webp", ".JPG.BMP.GIF.TIF", false, false},
      {"http://h/xebp", AllPictureTypes, false, false},      // "EBP" stands inside ".WEBP"
      {"http://h/clip.avi", AllPictureTypes, false, false},  // "AVI" inside ".AVIF"
      {"http://h/a.avif", ".AVIF", false, true},
      {"http://h/a.png", ".PNG", false, true},
      {"http://h/apng", ".PNG", false, false},
      {"http://h/a.png", ".JPG.WEBP", false, false},
      {"http://h/a.webp", ".PNG", false, false},
      {"http://h/a.jpeg", AllPictureTypes, false, false},
      {"http://h/a.jpeg", AllPictureTypes, true, true},
      {"http://h/a.JPE", ".JPG", true, true},
      {"http://h/a.jfif", ".JPG", true, true},
      {"http://h/a.jfif", ".GIF", true, false},
      {"http://h/a.tiff", ".TIF", true, true},
      {"http://h/a.tiff", ".TIF", false, false},
      {"http://h/a.tiff", ".JPG", true, false},
      {"http://h/a.jpg", ".JPG", true, true},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(IsTypeEnabled(C.Address, C.Types, C.TodaysWeb), C.Enabled)
        << C.Address << " " << C.Types << " " << C.TodaysWeb;
}

TEST(PictureTypes, DirectPicturesByTheirEnding) {
  const struct {
    const char* Address;
    bool Direct, DirectTodaysWeb;
  } Cases[] = {
      {"http://h/a.jpg", true, true},
      {"http://h/abmp", true, true},
      {"http://h/a.png", true, true},
      {"http://h/a.WEBP", true, true},
      {"http://h/a.avif", true, true},
      {"http://h/xebp", false, false},
      {"http://h/a.jpeg", false, true},
      {"http://h/a.jpe", false, true},
      {"http://h/a.JFIF", false, true},
      {"http://h/a.tiff", false, true},
      {"http://h/page.html", false, false},
      {"", false, false},
      {"gif", true, true},
      {"IF", false, false},
      {"http://h/apng", false, false},
      {"http://h/a.jpg/", false, false},
      {"http://h/xjpeg", false, false},
      {"http://h/a.tIFf", false, true},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(IsDirectPicture(C.Address), C.Direct) << C.Address;
    EXPECT_EQ(IsDirectPicture(C.Address, true), C.DirectTodaysWeb) << C.Address;
  }
}

TEST(PictureTypes, TypesOfMimeTypesAndWhetherTheyAreOn) {
  EXPECT_EQ(PictureTypeOfMime("image/webp"), "WEBP");
  EXPECT_EQ(PictureTypeOfMime(" Image/JPEG ; q=1"), "JPG");
  EXPECT_EQ(PictureTypeOfMime("image/avif"), "AVIF");
  EXPECT_EQ(PictureTypeOfMime("image/svg+xml"), "");
  EXPECT_EQ(PictureTypeOfMime("image/webpx"), "");
  EXPECT_TRUE(IsPictureTypeEnabled("WEBP", AllPictureTypes));
  EXPECT_FALSE(IsPictureTypeEnabled("WEBP", ".JPG.BMP"));
  EXPECT_TRUE(IsPictureTypeEnabled("JPG", "JPGGIF"));
  EXPECT_FALSE(IsPictureTypeEnabled("JPG", ".jpg"));
  EXPECT_FALSE(IsPictureTypeEnabled("SVG", AllPictureTypes));
}

TEST(PictureTypes, WrappedAddressesAreCutAfterTheNewerTypesToo) {
  const struct {
    const char* Given;
    const char* Result;
  } Cases[] = {
      {"http://a/v?u=http://b/x.png&s=1", "http://b/x.png"},
      {"http://a/v?u=http://b/x.webp&s=1", "http://b/x.webp"},
      {"http://a/v?u=http://b/x.png.jpg", "http://b/x.png.jpg"},  // the old four come first
      {"http://a/v?u=http://b/page.html", "htt"},
  };
  for (const auto& C : Cases) {
    std::string A = C.Given;
    ASSERT_TRUE(PictureAddress(A)) << C.Given;
    EXPECT_EQ(A, C.Result) << C.Given;
  }
}

TEST(PictureTypes, TakenNamesAreNumberedBeforeTheDotOfAnyExtension) {
  const struct {
    const char* Name;
    const char* First;
  } Cases[] = {
      {"photo.webp", "photo(1).webp"},
      {"photo.avif", "photo(1).avif"},
      {"a.jpeg", "a(1).jpeg"},
      {"photo.jpg", "photo(1).jpg"},
      {"a.b.png", "a.b(1).png"},
      {"x.js", "x(1).js"},
      {".jpg", "(1).jpg"},
      {"jpg", "(1)jpg"},
      {"c_x", "(1)c_x"},
  };
  for (const auto& C : Cases) EXPECT_EQ(NumberedName(C.Name, 1), C.First) << C.Name;
  EXPECT_EQ(NumberedName("photo.webp", 12), "photo(12).webp");
}

}  // namespace
}  // namespace lumora
