// Today's web in the grab engine: https:// pages and pictures, references
// resolved against a page's final address and scheme, names still taken from
// the page's addresses, the minimum size judged on the final reply; and with
// the switch off, an https:// drop requests nothing.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "grab/DownloadPicture.h"
#include "grab/GrabJob.h"
#include "grab/GrabSettings.h"
#include "grab/RecordingView.h"
#include "grab/TThreadmain.h"

namespace lumora {
namespace {

using test::FolderNames;
using test::ReadWholeFile;
using test::ServerBase;
using test::ServerRequestLines;
using test::TlsServerBase;
using test::TTempFolder;
using test::UniquePrefix;

std::string Encode(const std::string& S) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string Out;
  for (unsigned char C : S) {
    if (isalnum(C) || C == '.' || C == '_') {
      Out += static_cast<char>(C);
    } else {
      Out += '%';
      Out += Hex[C >> 4];
      Out += Hex[C & 15];
    }
  }
  return Out;
}

TEST(TodaysWebRules, ReferencesKeepThePagesSchemeAndAbsoluteOnesTheirOwn) {
  const std::string P = "https://host:8443/dir/page.html?q=a/b";
  const struct {
    const char* Reference;
    const char* Absolute;
  } Cases[] = {
      {"img/a.jpg", "https://host:8443/dir/img/a.jpg"},
      {"../a.jpg", "https://host:8443/a.jpg"},
      {"/r/a.jpg", "https://host:8443/r/a.jpg"},
      {"//cdn/x.jpg", "https://cdn/x.jpg"},
      {"https://s/a.jpg", "https://s/a.jpg"},
      {"http://s/./a.jpg", "http://s/a.jpg"},
      {"\"'q.jpg'\">", "https://host:8443/dir/q.jpg"},
      {"data:image/gif;base64,R0lG", "data:image/gif;base64,R0lG"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(AbsolutePictureAddress(C.Reference, P, true), C.Absolute) << C.Reference;
  // An http:// page gives "//" references its own scheme, as before.
  EXPECT_EQ(AbsolutePictureAddress("//cdn/x.jpg", "http://h/p.html", true), "http://cdn/x.jpg");
}

TEST(TodaysWebRules, HttpsPicturesPassOnlyWithTheSwitchAndKeepTheirNames) {
  for (const char* A : {"https://h/d/a.jpg", "HTTPS://h/a.jpg"}) {
    std::string Off = A, On = A;
    EXPECT_FALSE(PictureAddress(Off)) << A;
    EXPECT_TRUE(PictureAddress(On, true)) << A;
    EXPECT_EQ(PictureFileName(On), "a.jpg") << A;
  }
  std::string Wrapped = "https://v/show?u=https://p/x.jpg&s=1";
  EXPECT_TRUE(PictureAddress(Wrapped, true));
  EXPECT_EQ(Wrapped, "https://p/x.jpg");
  std::string Ftp = "ftp://h/a.jpg";
  EXPECT_FALSE(PictureAddress(Ftp, true));
}

class TodaysWebGrab : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::TrustTestCa(); }
  TodaysWebGrab() {
    TGrabSettingsValues V;
    V.PicTypes = ".JPG.BMP.GIF.TIF";
    V.SaveFolder = Dir.Path();
    V.TodaysWeb = true;
    GrabSettings().Assign(V);
  }
  ~TodaysWebGrab() override { GrabSettings().SetTodaysWeb(false); }

  class TPages : public TGrabTally {
   public:
    void PageFetched(const TPageResult& R) override {
      TGrabTally::PageFetched(R);
      std::lock_guard Guard(FLock);
      Pages.push_back(R);
    }
    std::mutex FLock;
    std::vector<TPageResult> Pages;
  };

  void Grab(const std::string& Address) {
    auto View = std::make_shared<test::TRecordingView>(Address);
    ASSERT_TRUE(TThreadmain::Start({Queue, View, Observer}, Address));
    Observer->WaitForWorkers();
  }
  std::map<std::string, std::string> Saved() {
    std::map<std::string, std::string> M;
    for (const auto& N : FolderNames(Dir.Path())) M[N] = ReadWholeFile(Dir.Path() + N);
    return M;
  }

  TTempFolder Dir;
  std::string Tag = UniquePrefix();
  std::shared_ptr<TPicQueue> Queue = std::make_shared<TPicQueue>();
  std::shared_ptr<TPages> Observer = std::make_shared<TPages>();
};

// A dropped http:// address moved to an https:// page in another folder: the
// page's references resolve against where it came from, a picture that is
// itself redirected keeps the name its page address gives it.
TEST_F(TodaysWebGrab, ARedirectedHttpsPageSavesItsPicturesUnderTheirPageNames) {
  const std::string Final = TlsServerBase() + Tag + "/site/new/dir/page.html";
  const std::string Moved = "/to/302/" + Encode(Tag + "/site/pics/other.gif");
  test::RegisterPage(Tag + "/site/new/dir/page.html",
                     "<img src=\"a.jpg\"><img src=\"../b.bmp\"><img src=\"//localhost:" +
                         TlsServerBase().substr(TlsServerBase().rfind(':') + 1) + Tag +
                         "/site/c.tif\"><img src=\"" + Tag + Moved + "\">");
  Grab(ServerBase() + Tag + "/to/301/" + Encode(Final));

  ASSERT_EQ(Observer->Pages.size(), 1u);
  EXPECT_TRUE(Observer->Pages[0].Fetched) << Observer->Pages[0].Error;
  const auto Files = Saved();
  EXPECT_EQ(Files.size(), 4u);
  EXPECT_EQ(Files.at("a.jpg"), Tag + "/site/new/dir/a.jpg");
  EXPECT_EQ(Files.at("b.bmp"), Tag + "/site/new/b.bmp");
  EXPECT_EQ(Files.at("c.tif"), Tag + "/site/c.tif");
  // Named after the page's address of it, with the bytes of where it went.
  const std::string MovedName = Moved.substr(Moved.rfind('/') + 1);
  EXPECT_EQ(Files.at(MovedName), Tag + "/site/pics/other.gif");
  EXPECT_EQ(Observer->Counts().Failed, 0u);
}

// With the switch off, an https:// drop is a failed page: not a request goes
// out, not a file is made.
TEST_F(TodaysWebGrab, WithTheSwitchOffAnHttpsDropRequestsNothing) {
  GrabSettings().SetTodaysWeb(false);
  test::RegisterPage(Tag + "/site/p.html", "<img src=\"a.jpg\">");
  Grab(TlsServerBase() + Tag + "/site/p.html");
  Grab(ServerBase() + Tag + "/to/302/" + Encode(TlsServerBase() + Tag + "/site/p.html"));
  EXPECT_TRUE(Saved().empty());
  EXPECT_EQ(ServerRequestLines(Tag + "/site").size(), 0u);
  EXPECT_EQ(Observer->Counts().PagesFailed, 2u);
}

// A certificate that fails leaves the page failed with the reason and no file.
TEST_F(TodaysWebGrab, AnUntrustedPageFailsWithTheCertificateReason) {
  Grab(TlsServerBase("selfsigned") + Tag + "/site/p.html");
  ASSERT_EQ(Observer->Pages.size(), 1u);
  EXPECT_FALSE(Observer->Pages[0].Fetched);
  EXPECT_NE(Observer->Pages[0].Error.find(CertificateNotTrusted), std::string::npos)
      << Observer->Pages[0].Error;
  EXPECT_TRUE(Saved().empty());
}

// The minimum size is judged on the length the final reply announces, after
// the HEAD's own redirects.
TEST_F(TodaysWebGrab, TheMinimumSizeIsTheFinalRepliesLength) {
  TGrabSettingsValues S = GrabSettings().Snapshot();
  S.MinSizeK = 1;
  const auto Big = DownloadPicture(TlsServerBase() + Tag + "/redirect/307/big/2048.jpg", S);
  EXPECT_EQ(Big.Outcome, TPictureOutcome::TooSmall);  // /bytes/16/big/2048.jpg: 16 bytes
  const auto Ok =
      DownloadPicture(TlsServerBase() + Tag + "/to/308/" + Encode(Tag + "/bytes/3000/x.jpg"), S);
  EXPECT_EQ(Ok.Outcome, TPictureOutcome::Saved) << Ok.Error;
  EXPECT_EQ(Ok.Bytes, 3000);
}

}  // namespace
}  // namespace lumora
