#include "grab/DownloadPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "TestSupport.h"
#include "net/HttpTransport.h"
#include "sys/FilePath.h"
#include "sys/FileSystem.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace lumora {
namespace {

using test::FolderNames;
using test::ReadWholeFile;
using test::ServerBase;
using test::ServerRequestLines;
using test::TTempFolder;
using test::UniquePrefix;
using Names = std::vector<std::string>;

// ---- The address and name rules -------------------------------------------

TEST(PictureRules, AddressesAreCleanedAndUnwrapped) {
  struct TCase {
    const char* Given;
    bool Http;
    const char* Result;
  } Cases[] = {
      {"http://host/my photo .jpg", true, "http://host/myphoto.jpg"},
      {"  HTTP://host/a.JPG", true, "HTTP://host/a.JPG"},
      {"https://host/a.jpg", false, ""},
      {"ftp://host/a.jpg", false, ""},
      {"", false, ""},
      {"http://host/show?img=http://other/x.jpg&s=1", true, "http://other/x.jpg"},
      {"http://host/show?u=HTTP://Other/X.JPG&s=1", true, "HTTP://Other/X.JPG"},
      {"http://host/show?u=http://other/page.html", true, "htt"},
      // .jpg is preferred over the others, wherever they stand
      {"http://h/?u=http://o/a.gif?b.jpg&c", true, "http://o/a.gif?b.jpg"},
      {"http://h/?u=http://o/a.tif.bmp", true, "http://o/a.tif.bmp"},
  };
  for (const auto& C : Cases) {
    std::string A = C.Given;
    EXPECT_EQ(PictureAddress(A), C.Http) << C.Given;
    if (C.Http) {
      EXPECT_EQ(A, C.Result) << C.Given;
    }
  }
}

TEST(PictureRules, TypeTestIsASubstringTestOnTheLastThreeCharacters) {
  struct TCase {
    const char* Address;
    const char* Types;
    bool Enabled;
  } Cases[] = {
      {"http://h/a.jpg", ".JPG.GIF", true},
      {"http://h/a.JPG", ".JPG.GIF", true},
      {"http://h/a.gif", ".JPG.GIF", true},
      {"http://h/a.bmp", ".JPG.GIF", false},
      {"http://h/a.tif", ".JPG.GIF", false},
      {"http://h/a.jpeg", ".JPG.GIF", false},
      {"http://h/xG.G", ".JPG.GIF", true},
      {"http://h/a.jpg", "", false},
      {"ab", ".JPG", false},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(IsTypeEnabled(C.Address, C.Types), C.Enabled) << C.Address << " " << C.Types;
}

TEST(PictureRules, FileNamesComeFromTheLastSegmentAndAreMadeSafe) {
  struct TCase {
    const char* Address;
    const char* Name;
  } Cases[] = {
      {"http://host/dir/photo.jpg", "photo.jpg"},
      {"http://host/photo.jpg", "photo.jpg"},
      {"http://host/show.php?f=/a/b.gif", "b.gif"},
      {"http://host/p.php?id=1.jpg", "p.php_id=1.jpg"},
      {"http://h/a/b/c/x", "c_x"},  // the cutting stops at four characters or fewer
      {"http://host/..\\..\\x.jpg", ".._.._x.jpg"},
      {"http://host/x.jpg:s.jpg", "x.jpg_s.jpg"},
      {"http://host/a*b?c\"d<e>f|g\x01.jpg", "a_b_c_d_e_f_g_.jpg"},
      {"http://host/CON.jpg", "_CON.jpg"},
      {"http://host/con.tar.jpg", "_con.tar.jpg"},
      {"http://host/Lpt9.gif", "_Lpt9.gif"},
      {"http://host/com0.jpg", "com0.jpg"},
      {"http://host/COM\xB9.jpg", "_COM\xB9.jpg"},
      {"http://host/console.jpg", "console.jpg"},
      {"http://host/x.jpg.", "x.jpg"},
      {"http://host/", ""},
      {"http://host/..", ""},
      {"http://host/.", ""},
  };
  for (const auto& C : Cases) EXPECT_EQ(PictureFileName(C.Address), C.Name) << C.Address;
}

TEST(PictureRules, TakenNamesAreNumberedBeforeTheExtension) {
  EXPECT_EQ(NumberedName("photo.jpg", 1), "photo(1).jpg");
  EXPECT_EQ(NumberedName("A.JPG", 12), "A(12).JPG");
  EXPECT_EQ(NumberedName("jpg", 1), "(1)jpg");
}

// A long name keeps its extension and its number and loses the end of its
// stem: 255 bytes a name, and on Windows MAX_PATH for the whole path.
TEST(PictureRules, LongNamesAreShortenedToFitTheFolderWithTheirNumber) {
  const std::string A = std::string(251, 'a');
#ifdef _WIN32
  const std::string Short = "c:\\";  // leaves the whole 255 bytes to the name
#else
  const std::string Short = "pics";
#endif
  const struct {
    std::string Folder, Name;
    unsigned K;
    std::string Fitted;
  } Cases[] = {
      {Short, "photo.jpg", 0, "photo.jpg"},
      {Short, "photo.jpg", 3, "photo(3).jpg"},
      {Short, "photo.webp", 1, "photo(1).webp"},  // the number as NumberedName puts it
      {Short, A + ".webp", 1, std::string(247, 'a') + "(1).webp"},  // 259 cut to 255
      {Short, A + ".jpg", 0, A + ".jpg"},                           // 255: fits
      {Short, A + ".jpg", 1, std::string(248, 'a') + "(1).jpg"},    // 258 cut to 255
      {Short, A + ".jpg", 10, std::string(247, 'a') + "(10).jpg"},  // a longer number
      {Short, A + "a.jpg", 0, A + ".jpg"},                          // 256
      {Short, std::string(400, 'b') + ".GIF", 0, std::string(251, 'b') + ".GIF"},
#ifdef _WIN32
      // 199 bytes of folder and separator leave 60 for the name.
      {"c:\\" + std::string(195, 'd'), std::string(56, 'a') + ".jpg", 0,
       std::string(56, 'a') + ".jpg"},
      {"c:\\" + std::string(195, 'd') + "\\", std::string(56, 'a') + ".jpg", 2,
       std::string(53, 'a') + "(2).jpg"},
      {"c:\\" + std::string(195, 'd'), std::string(90, 'a') + ".jpg", 0,
       std::string(56, 'a') + ".jpg"},
#endif
  };
  for (const auto& C : Cases)
    EXPECT_EQ(FittedName(C.Folder, C.Name, C.K), C.Fitted)
        << C.Name.size() << " bytes, (" << C.K << ")";
}

// ---- Against the loopback server and real folders -------------------------

class DownloadPictureTest : public ::testing::Test {
 protected:
  TGrabSettingsValues Settings(const char* Types = ".JPG.BMP.GIF.TIF", int MinSizeK = 0) {
    TGrabSettingsValues V;
    V.PicTypes = Types;
    V.MinSizeK = MinSizeK;
    V.SaveFolder = Dir.Path();
    return V;
  }
  std::string Url(const std::string& Path) { return ServerBase() + Tag + Path; }
  std::vector<std::string> Requests() { return ServerRequestLines(Tag); }

  TTempFolder Dir;
  std::string Tag = UniquePrefix();
};

// The bytes reach the file unchanged whatever the sizes in which they arrive
// and are written: around the size of one write, in many small pieces, slowly;
// alone and on a worker's session.
TEST_F(DownloadPictureTest, PicturesArriveWholeWhateverTheirPieces) {
  const std::string Paths[] = {"/bytes/65535/a.jpg",    "/bytes/65536/b.jpg",
                               "/bytes/65537/c.jpg",    "/bytes/300001/d.jpg",
                               "/chunked/150001/e.jpg", "/slow/70000/20/f.jpg"};
  THttpSession Session;
  for (bool OnSession : {false, true}) {
    TTempFolder Folder;
    auto S = Settings();
    S.SaveFolder = Folder.Path();
    for (const auto& P : Paths) {
      const auto R = OnSession ? DownloadPicture(Url(P), S, Session) : DownloadPicture(Url(P), S);
      ASSERT_EQ(R.Outcome, TPictureOutcome::Saved) << P << " " << R.Error;
      const std::size_t Size = std::stoul(P.substr(P.find('/', 1) + 1));
      std::string Expected(Size, '\0');
      for (std::size_t I = 0; I < Size; ++I) Expected[I] = static_cast<char>((I % 4096) % 251);
      EXPECT_EQ(test::ReadWholeFile(Folder.Path() + R.FileName), Expected) << P;
      EXPECT_EQ(R.Bytes, static_cast<std::int64_t>(Size)) << P;
    }
  }
}

TEST_F(DownloadPictureTest, MinimumSizeIsJudgedByTheAnnouncedLength) {
  const auto S = Settings(".JPG", 10);
  EXPECT_EQ(DownloadPicture(Url("/announce/10240/64/equal.jpg"), S).Outcome,
            TPictureOutcome::Saved);
  EXPECT_EQ(DownloadPicture(Url("/announce/10239/64/below.jpg"), S).Outcome,
            TPictureOutcome::TooSmall);
  EXPECT_EQ(DownloadPicture(Url("/chunked/20000/nolength.jpg"), S).Outcome,
            TPictureOutcome::NoLength);
  EXPECT_EQ(FolderNames(Dir.Path()), Names{"equal.jpg"});
  EXPECT_EQ(Requests(), (Names{"HEAD " + Tag + "/announce/10240/64/equal.jpg HTTP/1.1",
                               "GET " + Tag + "/announce/10240/64/equal.jpg HTTP/1.1",
                               "HEAD " + Tag + "/announce/10239/64/below.jpg HTTP/1.1",
                               "HEAD " + Tag + "/chunked/20000/nolength.jpg HTTP/1.1"}));
}

TEST_F(DownloadPictureTest, LargeMinimumDoesNotWrapAround) {
  // 3,000,000 K is more than 2^31 bytes: a 32-bit product would turn negative.
  const auto S = Settings(".JPG", 3000000);
  EXPECT_EQ(DownloadPicture(Url("/announce/2000000000/8/a.jpg"), S).Outcome,
            TPictureOutcome::TooSmall);
  EXPECT_EQ(DownloadPicture(Url("/announce/3072000000/8/b.jpg"), S).Outcome,
            TPictureOutcome::Saved);
  EXPECT_EQ(FolderNames(Dir.Path()), Names{"b.jpg"});
}

TEST_F(DownloadPictureTest, WithoutMinimumNoHeadIsSent) {
  for (int MinSizeK : {0, -5}) {
    const std::string Name = "any" + std::to_string(MinSizeK + 5) + ".gif";
    EXPECT_EQ(DownloadPicture(Url("/chunked/3000/" + Name), Settings(".GIF", MinSizeK)).Outcome,
              TPictureOutcome::Saved);
  }
  EXPECT_EQ(Requests(), (Names{"GET " + Tag + "/chunked/3000/any5.gif HTTP/1.1",
                               "GET " + Tag + "/chunked/3000/any0.gif HTTP/1.1"}));
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "any5.gif").size(), 3000u);
}

TEST_F(DownloadPictureTest, OnlyEnabledTypesAreRequested) {
  const auto S = Settings(".JPG.GIF");
  for (const char* Name : {"a.jpg", "b.JPG", "c.gif", "d.bmp", "e.tif", "f.jpeg"})
    DownloadPicture(Url("/bytes/10/") + Name, S);
  EXPECT_EQ(FolderNames(Dir.Path()), (Names{"a.jpg", "b.JPG", "c.gif"}));
  EXPECT_EQ(Requests().size(), 3u);
}

TEST_F(DownloadPictureTest, SpacesAreRemovedFromTheAddress) {
  const auto R = DownloadPicture(Url("/bytes/10/my photo.jpg"), Settings());
  EXPECT_EQ(R.Outcome, TPictureOutcome::Saved);
  EXPECT_EQ(R.FileName, "myphoto.jpg");
  EXPECT_EQ(Requests(), Names{"GET " + Tag + "/bytes/10/myphoto.jpg HTTP/1.1"});
}

TEST_F(DownloadPictureTest, WrappedAddressesFetchTheInnerPicture) {
  const auto R =
      DownloadPicture(ServerBase() + "/show?img=" + Url("/bytes/10/x.jpg") + "&s=1", Settings());
  EXPECT_EQ(R.Outcome, TPictureOutcome::Saved);
  EXPECT_EQ(R.FileName, "x.jpg");
  EXPECT_EQ(DownloadPicture(ServerBase() + "/show?u=" + Url("/page.html"), Settings()).Outcome,
            TPictureOutcome::TypeOff);
  EXPECT_EQ(Requests(), Names{"GET " + Tag + "/bytes/10/x.jpg HTTP/1.1"});
}

TEST_F(DownloadPictureTest, TakenNamesGetTheNextFreeNumberAndNothingIsReplaced) {
  test::WriteWholeFile(Dir.Path() + "a.jpg", "old");
  test::WriteWholeFile(Dir.Path() + "a(1).jpg", "old1");
  const auto R = DownloadPicture(Url("/bytes/20/a.jpg"), Settings());
  EXPECT_EQ(R.FileName, "a(2).jpg");
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "a.jpg"), "old");
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "a(1).jpg"), "old1");
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "a(2).jpg").size(), 20u);

  EXPECT_EQ(DownloadPicture(Url("/bytes/5/UP.JPG"), Settings()).FileName, "UP.JPG");
  EXPECT_EQ(DownloadPicture(Url("/bytes/5/UP.JPG"), Settings()).FileName, "UP(1).JPG");
}

TEST_F(DownloadPictureTest, NamesFromAddressesStayInsideTheFolder) {
  TTempFolder Outer;
  auto S = Settings();
  S.SaveFolder = Outer.Path() + "in" + PathDelim;
  ASSERT_TRUE(CreateDir(Outer.Path() + "in"));
  const struct {
    const char* Path;
    const char* Saved;
  } Cases[] = {{"/bytes/7/..\\..\\x.jpg", ".._.._x.jpg"},
               {"/bytes/7/x.jpg:s.jpg", "x.jpg_s.jpg"},
               {"/bytes/7/p.php?id=1.jpg", "p.php_id=1.jpg"},
               {"/bytes/7/CON.jpg", "_CON.jpg"}};
  for (const auto& C : Cases) {
    const auto R = DownloadPicture(Url(C.Path), S);
    EXPECT_EQ(R.Outcome, TPictureOutcome::Saved) << C.Path << " " << R.Error;
    EXPECT_EQ(R.FileName, C.Saved) << C.Path;
  }
  EXPECT_EQ(FolderNames(Outer.Path()), Names{"in"});
  EXPECT_EQ(FolderNames(S.SaveFolder),
            (Names{".._.._x.jpg", "_CON.jpg", "p.php_id=1.jpg", "x.jpg_s.jpg"}));
}

// A folder typed without its separator still holds the picture: the name is
// never glued onto the folder's last part.
TEST_F(DownloadPictureTest, AFolderWithoutItsSeparatorHoldsThePicture) {
  TTempFolder Outer;
  auto S = Settings();
  S.SaveFolder = Outer.Path() + "in";
  ASSERT_TRUE(CreateDir(S.SaveFolder));
  const auto R = DownloadPicture(Url("/bytes/7/x.jpg"), S);
  EXPECT_EQ(R.Outcome, TPictureOutcome::Saved) << R.Error;
  EXPECT_EQ(FolderNames(Outer.Path()), Names{"in"});
  EXPECT_EQ(FolderNames(S.SaveFolder + PathDelim), Names{"x.jpg"});
}

// Names at the edge of what the folder takes are saved, first and numbered,
// each within the room the folder leaves and with its extension.
TEST_F(DownloadPictureTest, LongNamesAreSavedShortenedAndNumbered) {
  const std::size_t Room = NameRoom(Dir.Path());
  ASSERT_GT(Room, 20u);
  char Letter = 'k';  // one per length: shortened names of two lengths would meet
  for (const std::size_t Length : {Room - 1, Room, Room + 1, Room + 45}) {
    const std::string Name = std::string(Length - 4, Letter++) + ".jpg";
    for (const char* Number : {"", "(1)"}) {
      const auto R = DownloadPicture(Url("/bytes/7/" + Name), Settings());
      ASSERT_EQ(R.Outcome, TPictureOutcome::Saved) << Length << Number << " " << R.Error;
      const std::string Tail = std::string(Number) + ".jpg";
      EXPECT_EQ(R.FileName.size(), std::min(Room, Length + Tail.size() - 4)) << Length << Number;
      EXPECT_EQ(R.FileName.substr(R.FileName.size() - Tail.size()), Tail) << Length;
      EXPECT_EQ(ReadWholeFile(Dir.Path() + R.FileName).size(), 7u) << Length << Number;
    }
  }
  EXPECT_EQ(FolderNames(Dir.Path()).size(), 8u);
}

TEST_F(DownloadPictureTest, FailuresLeaveNoFile) {
  const std::string Closed = "http://127.0.0.1:" + std::to_string(test::ClosedPort());
  const struct {
    std::string Address;
    TPictureOutcome Outcome;
    int Status;
  } Cases[] = {
      {Url("/status/404/a.jpg"), TPictureOutcome::Failed, 404},
      {Url("/redirect/302/b.jpg"), TPictureOutcome::Failed, 302},
      {Url("/short/1000/10/c.jpg"), TPictureOutcome::Failed, 0},
      // Cut off after much of it was written: neither the picture's name nor
      // its temporary file is left.
      {Url("/short/3000000/2000000/cut.jpg"), TPictureOutcome::Failed, 0},
      {Closed + "/d.jpg", TPictureOutcome::Failed, 0},
      {"https://127.0.0.1/e.jpg", TPictureOutcome::NotHttp, 0},
      {Url("/bytes/7/"), TPictureOutcome::TypeOff, 0},
      {Url("/bytes/7/xy/.."), TPictureOutcome::UnsafeName, 0},
  };
  for (const auto& C : Cases) {
    const auto R = DownloadPicture(C.Address, Settings(".JPG.BMP.GIF.TIF./.."));
    EXPECT_EQ(R.Outcome, C.Outcome) << C.Address;
    EXPECT_EQ(R.Status, C.Status) << C.Address;
  }
  EXPECT_TRUE(FolderNames(Dir.Path()).empty());
  // The redirect was not followed.
  for (const auto& Line : Requests()) EXPECT_EQ(Line.find("/bytes/16/"), std::string::npos) << Line;
}

// While a picture arrives it is on disk under a temporary name only; the name
// it would get may be taken meanwhile, and it then gets the next number.
TEST_F(DownloadPictureTest, ANameTakenWhileThePictureArrivesGetsTheNextNumber) {
  TPictureResult R;
  std::thread Download([&] { R = DownloadPicture(Url("/slow/5000/300/taken.jpg"), Settings()); });
  Names Arriving;
  for (int I = 0; I < 500 && Arriving.empty(); ++I) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Arriving = FolderNames(Dir.Path());
  }
  test::WriteWholeFile(Dir.Path() + "taken.jpg", "mine");
  Download.join();
  ASSERT_EQ(Arriving.size(), 1u);
  EXPECT_EQ(Arriving[0].rfind("~lumora", 0), 0u) << Arriving[0];
  EXPECT_EQ(Arriving[0].substr(Arriving[0].size() - 4), ".tmp") << Arriving[0];
  EXPECT_EQ(R.Outcome, TPictureOutcome::Saved) << R.Error;
  EXPECT_EQ(R.FileName, "taken(1).jpg");
  EXPECT_EQ(FolderNames(Dir.Path()), (Names{"taken(1).jpg", "taken.jpg"}));
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "taken.jpg"), "mine");
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "taken(1).jpg").size(), 5000u);
}

TEST_F(DownloadPictureTest, AFolderThatCannotBeWrittenLosesThePictureQuietly) {
  auto S = Settings();
  S.SaveFolder = Dir.Path() + "missing" + PathDelim;
  const auto R = DownloadPicture(Url("/bytes/10/a.jpg"), S);
  EXPECT_EQ(R.Outcome, TPictureOutcome::Failed);
  EXPECT_TRUE(FolderNames(Dir.Path()).empty());
}

// A reply past the size cap (announced, or endless) and one that drips under
// the low-speed rule fail with their reason and leave no file, and the
// worker's session saves the next picture. The rule's window is shrunk here.
TEST_F(DownloadPictureTest, EndlessOrDrippingRepliesFailAndTheWorkerGoesOn) {
  const auto OldRule = detail::LowSpeedRule();
  detail::SetLowSpeedRule({std::chrono::milliseconds(600), 1024});
  struct TCase {
    const char* Path;
    const char* Reason;
  } Cases[] = {
      {"/endless/live.jpg", "larger than 1 MB"},
      {"/bytes/1048577/big.jpg", "larger than 1 MB"},
      {"/drip/50/slow.jpg", "Too slow: fewer than 1024 bytes in 600 ms"},
  };
  auto S = Settings();
  S.MaxPictureMB = 1;
  THttpSession Session;
  for (const auto& C : Cases) {
    const auto Start = std::chrono::steady_clock::now();
    const auto R = DownloadPicture(Url(C.Path), S, Session);
    EXPECT_EQ(R.Outcome, TPictureOutcome::Failed) << C.Path;
    EXPECT_NE(R.Error.find(C.Reason), std::string::npos) << C.Path << ": " << R.Error;
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(10)) << C.Path;
    EXPECT_TRUE(FolderNames(Dir.Path()).empty()) << C.Path;
  }
  EXPECT_EQ(DownloadPicture(Url("/bytes/1048576/whole.jpg"), S, Session).Outcome,
            TPictureOutcome::Saved);
  EXPECT_EQ(FolderNames(Dir.Path()), Names{"whole.jpg"});
  detail::SetLowSpeedRule(OldRule);
}

TEST(PictureRules, TheSizeCapIsAGibibyteUnlessSet) {
  EXPECT_EQ(TGrabSettingsValues{}.MaxPictureMB, 1024);
  EXPECT_EQ(MaxPictureBytes(0), std::int64_t{1} << 30);
  EXPECT_EQ(MaxPictureBytes(-5), std::int64_t{1} << 30);
  EXPECT_EQ(MaxPictureBytes(4096), std::int64_t{4} << 30);  // in 64 bits
}

#ifndef _WIN32
// A write that fails part-way (the disk is full, or here the file size limit
// is reached) removes the partial file.
TEST_F(DownloadPictureTest, AWriteThatFailsPartWayLeavesNoFile) {
  rlimit Old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &Old), 0);
  const auto OldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit Small = Old;
  Small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Small), 0);
  const auto Big = DownloadPicture(Url("/bytes/100000/big.jpg"), Settings());
  const auto Fits = DownloadPicture(Url("/bytes/4000/fits.jpg"), Settings());
  setrlimit(RLIMIT_FSIZE, &Old);
  signal(SIGXFSZ, OldHandler);
  EXPECT_EQ(Big.Outcome, TPictureOutcome::Failed);
  EXPECT_EQ(Fits.Outcome, TPictureOutcome::Saved);
  EXPECT_EQ(FolderNames(Dir.Path()), Names{"fits.jpg"});
}
#endif

}  // namespace
}  // namespace lumora
