// Today's web in the picture download: type and name from the path without
// query and fragment, extensionless pictures typed by the reply's
// Content-Type (the GET's, or the HEAD's with a minimum size), replies that
// are plainly no picture left unsaved, and the page's address sent as
// Referer. Against the loopback server's /type/ and /ref/ routes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "grab/DownloadPicture.h"
#include "grab/GrabJob.h"
#include "grab/PicQueue.h"
#include "grab/PictureTypes.h"

namespace lumora {
namespace {

using test::FolderNames;
using test::ServerBase;
using test::ServerRequestLines;
using test::TTempFolder;
using test::UniquePrefix;
using Names = std::vector<std::string>;

TGrabSettingsValues WebSettings(const std::string& Folder, int MinSizeK = 0,
                                const std::string& Types = AllPictureTypes) {
  TGrabSettingsValues S;
  S.PicTypes = Types;
  S.MinSizeK = MinSizeK;
  S.SaveFolder = Folder;
  S.TodaysWeb = true;
  return S;
}

int CountOf(const std::vector<std::string>& Lines, const std::string& Verb) {
  int N = 0;
  for (const auto& L : Lines) N += L.rfind(Verb + " ", 0) == 0;
  return N;
}

TEST(TodaysWebNames, PathsLeaveOutQueryAndFragment) {
  EXPECT_EQ(AddressPath("http://h/a.jpg?w=800&u=/x.gif"), "http://h/a.jpg");
  EXPECT_EQ(AddressPath("https://h/d/b.png#top?no"), "https://h/d/b.png");
  EXPECT_EQ(AddressPath("http://h/c.webp"), "http://h/c.webp");
  EXPECT_TRUE(IsDirectPicture("http://h/a.jpg?w=800", true));
  EXPECT_FALSE(IsDirectPicture("http://h/a.jpg?w=800", false));  // as the design has it
  EXPECT_FALSE(IsDirectPicture("http://h/show?f=a.jpg#x", true));
}

TEST(TodaysWebNames, ExtensionlessNamesTakeTheSegmentAndTheTypesEnding) {
  const struct {
    const char* Path;
    const char* Type;
    const char* Name;
  } Cases[] = {
      {"http://h/photo/123", "JPG", "123.jpg"},   {"http://h/i/image", "WEBP", "image.webp"},
      {"http://h/", "JPG", "picture.jpg"},        {"http://h", "PNG", "picture.png"},
      {"https://h/a/..", "GIF", "picture.gif"},   {"http://h/a/%20.", "AVIF", "%20.avif"},
      {"http://h/con", "JPG", "_con.jpg"},        {"http://h/a:b*c", "TIF", "a_b_c.tif"},
      {"http://h/get.php", "BMP", "get.php.bmp"},
  };
  for (const auto& C : Cases) EXPECT_EQ(ContentTypedFileName(C.Path, C.Type), C.Name) << C.Path;
}

TEST(TodaysWebNames, PlainlyNotPicturesAndMarkup) {
  for (const char* T : {"text/html", "text/plain", "TEXT/HTML", "application/json",
                        "application/xhtml+xml", "application/javascript"})
    EXPECT_TRUE(IsPlainlyNotPicture(T)) << T;
  for (const char* T : {"", "image/png", "application/octet-stream", "image/svg+xml", "binary/x"})
    EXPECT_FALSE(IsPlainlyNotPicture(T)) << T;
  for (const char* B : {"<!DOCTYPE html>", "  \r\n<html>", "\xEF\xBB\xBF<svg", "<"})
    EXPECT_TRUE(StartsLikeMarkup(B)) << B;
  for (const char* B : {"", "   ", "\x89PNG\r\n", "GIF89a", "RIFF\x10\0\0\0WEBP", "\xFF\xD8\xFF"})
    EXPECT_FALSE(StartsLikeMarkup(B)) << B;
}

// Every common Content-Type of a picture without an ending, typed from the
// GET's headers (no minimum size) and from the HEAD's (1 KB): the same file
// or the same refusal both ways, and no GET after a HEAD that refused.
TEST(TodaysWebDownload, ExtensionlessPicturesAreTypedByTheirContentType) {
  const struct {
    const char* Sent;
    const char* Name;  // nullptr: not saved
    TPictureOutcome Outcome;
  } Cases[] = {
      {"image%2Fjpeg", "123.jpg", TPictureOutcome::Saved},
      {"image%2Fpjpeg", "123.jpg", TPictureOutcome::Saved},
      {"IMAGE%2FJPEG%3B%20q%3D1", "123.jpg", TPictureOutcome::Saved},
      {"image%2Fpng", "123.png", TPictureOutcome::Saved},
      {"image%2Fapng", "123.png", TPictureOutcome::Saved},
      {"image%2Fgif", "123.gif", TPictureOutcome::Saved},
      {"image%2Fwebp", "123.webp", TPictureOutcome::Saved},
      {"image%2Favif", "123.avif", TPictureOutcome::Saved},
      {"image%2Fbmp", "123.bmp", TPictureOutcome::Saved},
      {"image%2Fx-ms-bmp", "123.bmp", TPictureOutcome::Saved},
      {"image%2Ftiff", "123.tif", TPictureOutcome::Saved},
      {"~100000", "123.png", TPictureOutcome::Saved},  // 100 KB of parameters
      {"^300", nullptr, TPictureOutcome::NotPicture},  // a type of 306 bytes
      {"image%2Fsvg%2Bxml", nullptr, TPictureOutcome::NotPicture},
      {"image%2Fx-icon", nullptr, TPictureOutcome::NotPicture},
      {"image%2Fheic", nullptr, TPictureOutcome::NotPicture},
      {"text%2Fhtml", nullptr, TPictureOutcome::NotPicture},
      {"application%2Foctet-stream", nullptr, TPictureOutcome::NotPicture},
      {"-", nullptr, TPictureOutcome::NotPicture},
  };
  for (const int MinSizeK : {0, 1}) {
    for (const auto& C : Cases) {
      TTempFolder Folder;
      const std::string Tag = UniquePrefix();
      const std::string A = ServerBase() + Tag + "/type/" + C.Sent + "/2000/photo/123";
      const TPictureResult R = DownloadPicture(A, WebSettings(Folder.Path(), MinSizeK));
      const std::string What = std::string(C.Sent) + " min " + std::to_string(MinSizeK);
      EXPECT_EQ(R.Outcome, C.Outcome) << What << ": " << R.Error;
      EXPECT_EQ(FolderNames(Folder.Path()), C.Name ? Names{C.Name} : Names{}) << What;
      if (MinSizeK > 0 && !C.Name) {
        EXPECT_EQ(CountOf(ServerRequestLines(Tag), "GET"), 0) << What;
      }
    }
  }
}

TEST(TodaysWebDownload, ATypeFromTheReplyMustBeSwitchedOn) {
  for (const int MinSizeK : {0, 1}) {
    TTempFolder Folder;
    const std::string A = ServerBase() + UniquePrefix() + "/type/image%2Fpng/2000/p/9";
    EXPECT_EQ(DownloadPicture(A, WebSettings(Folder.Path(), MinSizeK, ".JPG.WEBP")).Outcome,
              TPictureOutcome::TypeOff);
    EXPECT_EQ(DownloadPicture(A, WebSettings(Folder.Path(), MinSizeK, ".PNG")).FileName, "9.png");
  }
}

// A type read from the path stands unless the reply is plainly no picture:
// an error page with 200 (text/html), or a body of markup under any type.
TEST(TodaysWebDownload, PathTypedPicturesAreRefusedOnlyWhenPlainlyNoPicture) {
  const struct {
    const char* Route;
    const char* Name;
  } Cases[] = {
      {"/bytes/100/a.jpg?w=800&f=/x.gif", "a.jpg"},
      {"/bytes/100/b.png#top", "b.png"},
      {"/type/application%2Foctet-stream/100/c.webp", "c.webp"},
      {"/type/-/100/d.gif", "d.gif"},
      {"/type/image%2Fgif/100/e.jpg", "e.jpg"},  // another picture type: the path decides
      {"/type/text%2Fhtml/100/err.jpg", nullptr},
      {"/type/text%2Fhtml%3B%20charset%3Dutf-8/100/err.jpg?x", nullptr},
      {"/type/image%2Fpng/html/fake.png", nullptr},  // claims a PNG, is a page
  };
  for (const auto& C : Cases) {
    TTempFolder Folder;
    const TPictureResult R =
        DownloadPicture(ServerBase() + UniquePrefix() + C.Route, WebSettings(Folder.Path()));
    EXPECT_EQ(R.Outcome, C.Name ? TPictureOutcome::Saved : TPictureOutcome::NotPicture)
        << C.Route << ": " << R.Error;
    // Nothing else: no temporary file of a refused picture stays behind.
    EXPECT_EQ(FolderNames(Folder.Path()), C.Name ? Names{C.Name} : Names{}) << C.Route;
  }
}

TEST(TodaysWebDownload, TheHeadRefusesAPageBeforeAnyGet) {
  TTempFolder Folder;
  const std::string Tag = UniquePrefix();
  const TPictureResult R = DownloadPicture(ServerBase() + Tag + "/type/text%2Fhtml/2000/err.jpg",
                                           WebSettings(Folder.Path(), 1));
  EXPECT_EQ(R.Outcome, TPictureOutcome::NotPicture);
  EXPECT_EQ(ServerRequestLines(Tag).size(), 1u);  // the HEAD alone
}

// The Referer goes with the picture's HEAD and GET under today's web only.
TEST(TodaysWebDownload, APictureOfAPageNamesThePageAsReferer) {
  const std::string Page = ServerBase() + "/gallery/p.html";
  const std::string Guarded = ServerBase() + UniquePrefix() + "/ref/" + "http%3A%2F%2F" +
                              ServerBase().substr(7) + "%2Fgallery%2Fp.html" + "/bytes/3000/g.jpg";
  for (const int MinSizeK : {0, 1}) {
    TTempFolder Folder;
    TGrabSettingsValues S = WebSettings(Folder.Path(), MinSizeK);
    EXPECT_EQ(DownloadPicture(Guarded, S, Page).FileName, "g.jpg") << MinSizeK;
    // A picture of its own sends none: refused (by the 403's status, or its
    // announced length when a minimum size asks for a HEAD).
    EXPECT_NE(DownloadPicture(Guarded, S).Outcome, TPictureOutcome::Saved) << MinSizeK;
    S.TodaysWeb = false;  // without the switch no Referer, as ever
    EXPECT_EQ(DownloadPicture(Guarded, S, Page).Status, MinSizeK ? 0 : 403) << MinSizeK;
    EXPECT_EQ(FolderNames(Folder.Path()), Names{"g.jpg"}) << MinSizeK;
  }
}

TEST(TodaysWebQueue, PicturesCarryTheirPagesFinalAddressOnlyWithTheSwitch) {
  for (const bool Web : {false, true}) {
    TPicQueue Queue;
    TGrabSettingsValues S;
    S.PicTypes = AllPictureTypes;
    S.TodaysWeb = Web;
    QueuePage("http://h/moved/p.html",
              std::string("h") + HostMarker + "<img src=a.jpg><img src=b.png>", Queue, nullptr, S);
    std::string A;
    TPageRef First, Second;
    ASSERT_TRUE(Queue.TakeFirst(A, First));
    ASSERT_TRUE(Queue.TakeFirst(A, Second));
    if (Web) {
      ASSERT_TRUE(First);
      EXPECT_EQ(*First, "http://h/moved/p.html");
      EXPECT_EQ(First, Second);  // one copy for the whole page
    } else {
      EXPECT_FALSE(First);
      EXPECT_FALSE(Second);
    }
  }
}

}  // namespace
}  // namespace lumora
