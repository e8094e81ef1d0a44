// Grab jobs end to end: a job thread started as the drop window starts it,
// against the loopback server and a real folder. Pictures under /site/ have
// their own request target as content, so a saved file shows which address
// was fetched for it.

#include "grab/TThreadmain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "TestSupport.h"
#include "grab/GrabJob.h"
#include "grab/RecordingView.h"
#include "sys/DetachedThread.h"
#include "sys/FileSystem.h"

namespace lumora {
namespace {

using test::FolderNames;
using test::ReadWholeFile;
using test::ServerBase;
using test::ServerRequestLines;
using test::TRecordingView;
using test::TTempFolder;
using test::UniquePrefix;

class TRecorder : public TGrabTally {
 public:
  void WorkerStarted() override {
    TGrabTally::WorkerStarted();
    std::lock_guard Guard(FLock);
    ++FWorkers;
  }
  void PageFetched(const TPageResult& R) override {
    TGrabTally::PageFetched(R);
    std::lock_guard Guard(FLock);
    FPages.push_back(R);
  }
  void AddressQueued(const std::string& A) override {
    TGrabTally::AddressQueued(A);
    std::lock_guard Guard(FLock);
    FQueued.push_back(A);
  }
  void AddressDuplicate(const std::string& A) override {
    TGrabTally::AddressDuplicate(A);
    std::lock_guard Guard(FLock);
    FDuplicates.push_back(A);
  }
  int Workers() {
    std::lock_guard Guard(FLock);
    return FWorkers;
  }
  std::vector<TPageResult> Pages() {
    std::lock_guard Guard(FLock);
    return FPages;
  }
  std::vector<std::string> QueuedAddresses() {
    std::lock_guard Guard(FLock);
    return FQueued;
  }
  std::vector<std::string> Duplicates() {
    std::lock_guard Guard(FLock);
    return FDuplicates;
  }

 private:
  std::mutex FLock;
  int FWorkers = 0;
  std::vector<TPageResult> FPages;
  std::vector<std::string> FQueued, FDuplicates;
};

class JobTest : public ::testing::Test {
 protected:
  JobTest() {
    TGrabSettingsValues V;
    V.PicTypes = ".JPG.BMP.GIF.TIF";
    V.SaveFolder = Dir.Path();
    GrabSettings().Assign(V);
    Queue = std::make_shared<TPicQueue>();
  }
  // An address on the test server, under this test's own tag.
  std::string Target(const std::string& Path) { return Tag + "/site" + Path; }
  std::string Site(const std::string& Path) { return ServerBase() + Target(Path); }
  void Page(const std::string& Path, const std::string& Body) {
    test::RegisterPage(Target(Path), Body);
  }
  // One job for Address, as a drop starts it; waits for it and its workers.
  std::shared_ptr<TRecordingView> Grab(const std::string& Address) {
    auto View = std::make_shared<TRecordingView>(Address);
    EXPECT_TRUE(TThreadmain::Start({Queue, View, Recorder}, Address));
    Recorder->WaitForWorkers();
    return View;
  }
  // The saved files, each with the request target it was fetched from.
  std::map<std::string, std::string> Saved() {
    std::map<std::string, std::string> M;
    for (const auto& N : FolderNames(Dir.Path())) M[N] = ReadWholeFile(Dir.Path() + N);
    return M;
  }
  std::vector<std::string> Requests() { return ServerRequestLines(Tag); }

  TTempFolder Dir;
  std::string Tag = UniquePrefix();
  std::shared_ptr<TPicQueue> Queue;
  std::shared_ptr<TRecorder> Recorder = std::make_shared<TRecorder>();
};

using TEvents = std::vector<std::string>;

// What the window sees of a page job: the job's busy picture first, then each
// of the five workers' busy, idle and clear, interleaved as they run; a
// worker's clear is the last thing it does.
void ExpectPageJobEvents(const TEvents& Events) {
  ASSERT_FALSE(Events.empty());
  EXPECT_EQ(Events.front(), "busy");
  EXPECT_EQ(Events.back(), "clear");
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "busy"), 1 + PageJobWorkers);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "idle"), PageJobWorkers);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "clear"), PageJobWorkers);
}

TEST_F(JobTest, ADirectPictureIsSavedOnTheJobThreadWithoutWorkers) {
  // The job creates a missing save folder first.
  GrabSettings().SetSaveFolder(Dir.Path() + "new" + std::string(1, PathDelim) + "sub");
  for (const char* Name : {"/a.jpg", "/b.JPG", "/c.Gif", "/d.bmp", "/e.tIf"}) {
    const auto View = Grab(Site(Name));
    EXPECT_EQ(View->Events(), (TEvents{"busy", "idle", "clear"})) << Name;
    EXPECT_EQ(View->Address(), "");
  }
  EXPECT_EQ(Recorder->Workers(), 0);
  EXPECT_TRUE(Recorder->Pages().empty());
  EXPECT_EQ(FolderNames(Dir.Path() + "new" + std::string(1, PathDelim) + "sub"),
            (std::vector<std::string>{"a.jpg", "b.JPG", "c.Gif", "d.bmp", "e.tIf"}));
}

TEST_F(JobTest, ADirectPictureOfADisabledTypeIsDroppedAndAJpegIsAPage) {
  GrabSettings().SetPicTypes(".GIF");
  Grab(Site("/off.jpg"));
  EXPECT_EQ(Recorder->Counts().Dropped, 1u);
  EXPECT_EQ(Recorder->Workers(), 0);
  EXPECT_TRUE(Requests().empty());

  Page("/photo.jpeg", "<img src=inner.gif>");
  const auto View = Grab(Site("/photo.jpeg"));
  EXPECT_EQ(Recorder->Workers(), PageJobWorkers);
  EXPECT_EQ(Saved(), (std::map<std::string, std::string>{{"inner.gif", Target("/inner.gif")}}));
}

TEST_F(JobTest, APageQueuesItsPicturesResolvedAndOnceEach) {
  const std::string Port = ServerBase().substr(ServerBase().rfind(':'));
  Page("/dir/page.html",
       "<html><title>t</title>\n"
       "<img src=\"rel.jpg\"> <img src=\"" +
           Target("/root.gif") +
           "\">\n"
           "<IMG SRC=\"../up.bmp\"><img src=\"./here.tif\"><img src='single.jpg'>\n"
           "<img src=\"//127.0.0.1" +
           Port + Target("/cdn.jpg") +
           "\">\n"
           "<img src=\"\"><img src=after.jpg\"><img src=\"REL.JPG\"><img src=\"rel.jpg\">\n"
           "<img src=\"sub/../sub/deep.gif\"></html>");
  const auto View = Grab(Site("/dir/page.html"));

  EXPECT_EQ(
      Recorder->QueuedAddresses(),
      (std::vector<std::string>{Site("/dir/rel.jpg"), Site("/root.gif"), Site("/up.bmp"),
                                Site("/dir/here.tif"), Site("/dir/single.jpg"), Site("/cdn.jpg"),
                                Site("/dir/after.jpg"), Site("/dir/sub/deep.gif")}));
  EXPECT_EQ(Recorder->Duplicates(),
            (std::vector<std::string>{Site("/dir/REL.JPG"), Site("/dir/rel.jpg")}));
  EXPECT_EQ(Saved(), (std::map<std::string, std::string>{
                         {"rel.jpg", Target("/dir/rel.jpg")},
                         {"root.gif", Target("/root.gif")},
                         {"up.bmp", Target("/up.bmp")},
                         {"here.tif", Target("/dir/here.tif")},
                         {"single.jpg", Target("/dir/single.jpg")},
                         {"cdn.jpg", Target("/cdn.jpg")},
                         {"after.jpg", Target("/dir/after.jpg")},
                         {"deep.gif", Target("/dir/sub/deep.gif")},
                     }));
  EXPECT_EQ(Recorder->Workers(), PageJobWorkers);
  ExpectPageJobEvents(View->Events());
  EXPECT_TRUE(Queue->Empty());
}

// A page is read up to the cut: the pictures before it are grabbed, those
// after it are not, and the observer hears that the page was cut.
TEST_F(JobTest, APageIsReadUpToTheCut) {
  const std::string First = ServerBase() + "/bytes/16/first.jpg";
  const std::string Last = ServerBase() + "/bytes/16/last.jpg";
  const struct {
    std::size_t Length;
    bool Cut;
    std::vector<std::string> Queued;
  } Cases[] = {{MaxPageBytes, false, {First, Last}}, {MaxPageBytes + 1, true, {First}}};
  for (const auto& C : Cases) {
    Recorder = std::make_shared<TRecorder>();
    Grab(ServerBase() + Tag + "/page/" + std::to_string(C.Length) + "/big.html");
    ASSERT_EQ(Recorder->Pages().size(), 1u);
    const TPageResult Page = Recorder->Pages()[0];
    EXPECT_TRUE(Page.Fetched) << C.Length << " " << Page.Error;
    EXPECT_EQ(Page.Cut, C.Cut) << C.Length;
    EXPECT_EQ(Page.Bytes, MaxPageBytes) << C.Length;
    EXPECT_EQ(Recorder->QueuedAddresses(), C.Queued) << C.Length;
    EXPECT_EQ(Recorder->Counts().PagesCut, C.Cut ? 1u : 0u) << C.Length;
  }
}

TEST_F(JobTest, AWrappedLinkFetchesTheInnerPage) {
  Page("/b/page.html", "<img src=\"w.jpg\">");
  Grab("http://a.invalid/go?u=" + Site("/b/page.html"));
  EXPECT_EQ(Saved(), (std::map<std::string, std::string>{{"w.jpg", Target("/b/w.jpg")}}));
  EXPECT_EQ(Requests(), (std::vector<std::string>{"GET " + Target("/b/page.html") + " HTTP/1.1",
                                                  "GET " + Target("/b/w.jpg") + " HTTP/1.1"}));
}

TEST_F(JobTest, PagesWithoutPicturesStillStartFiveWorkersThatGoIdle) {
  const struct {
    std::string Address;
    bool Fetched;
    int Status;
  } Cases[] = {
      {Site("/empty.html"), true, 0},
      {ServerBase() + Tag + "/status/404/page.html", false, 404},
      {"http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/page.html", false, 0},
  };
  Page("/empty.html", "<html><body>No pictures here</body></html>");
  for (const auto& C : Cases) {
    Recorder = std::make_shared<TRecorder>();
    const auto View = Grab(C.Address);
    ExpectPageJobEvents(View->Events());
    EXPECT_EQ(View->Address(), "");
    EXPECT_EQ(Recorder->Workers(), PageJobWorkers);
    ASSERT_EQ(Recorder->Pages().size(), 1u);
    EXPECT_EQ(Recorder->Pages()[0].Fetched, C.Fetched) << C.Address;
    EXPECT_EQ(Recorder->Pages()[0].Status, C.Status) << C.Address;
    EXPECT_TRUE(Recorder->QueuedAddresses().empty());
  }
  EXPECT_TRUE(FolderNames(Dir.Path()).empty());
}

TEST_F(JobTest, AnImageSearchPageQueuesItsImgurlValues) {
  Page("/google/search.html",
       "<img src=\"not-this.jpg\"><a href=\"/imgres?imgurl=" + Site("/s/one.jpg") +
           "&imgrefurl=x\">1</a> imgurl=" + Site("/s/one.jpg") +
           "&amp; imgurl=" + Site("/s/last.jpg"));
  Grab(Site("/google/search.html"));
  EXPECT_EQ(Recorder->QueuedAddresses(),
            (std::vector<std::string>{Site("/s/one.jpg"), Site("/s/one.jpg"), ""}));
  EXPECT_EQ(Saved(), (std::map<std::string, std::string>{{"one.jpg", Target("/s/one.jpg")},
                                                         {"one(1).jpg", Target("/s/one.jpg")}}));
  EXPECT_EQ(Recorder->Counts().Dropped, 1u);  // the empty address
}

// A job thrown out by an error starts no worker, so it sets the window idle
// and empties Edit1 itself; nothing is left busy for ever.
TEST_F(JobTest, AJobEndedByAnErrorSetsTheWindowIdleWithoutWorkers) {
  class TBrokenView : public TRecordingView {
   public:
    using TRecordingView::TRecordingView;
    void ShowBusyPicture() override { throw std::runtime_error("no window"); }
  };
  for (const std::string& Address : {Site("/err/a.jpg"), Site("/err/page.html")}) {
    auto View = std::make_shared<TBrokenView>(Address);
    ASSERT_TRUE(TThreadmain::Start({Queue, View, Recorder}, Address));
    Recorder->WaitForWorkers();
    EXPECT_EQ(View->Events(), (TEvents{"idle", "clear"})) << Address;
    EXPECT_EQ(View->Address(), "") << Address;
  }
  EXPECT_EQ(Recorder->Workers(), 0);
  EXPECT_TRUE(Requests().empty());
}

// Download workers the system refuses to start are reported; when none of
// them starts, the job itself ends by an error, sets the window idle and
// says so, and its pictures wait in the queue for a later job's workers.
TEST_F(JobTest, WorkersThatCannotStartAreReportedAndWithoutAnyTheJobFails) {
  Page("/three.html", "<img src=\"1.jpg\"><img src=\"2.jpg\"><img src=\"3.jpg\">");
  const struct {
    unsigned Refused;
    unsigned JobsFailed;
    std::size_t Saved;
  } Cases[] = {{2, 0, 3}, {5, 1, 0}};
  for (const auto& C : Cases) {
    Recorder = std::make_shared<TRecorder>();
    Queue = std::make_shared<TPicQueue>();
    TTempFolder Into;
    GrabSettings().SetSaveFolder(Into.Path());
    // The job's own thread starts, then Refused of its five workers do not.
    SetThreadStartFaults(1 + PageJobWorkers - C.Refused, C.Refused);
    const auto View = Grab(Site("/three.html"));
    SetThreadStartFaults(0, 0);
    const auto Counts = Recorder->Counts();
    EXPECT_EQ(Counts.WorkersNotStarted, C.Refused);
    EXPECT_EQ(Counts.JobsFailed, C.JobsFailed);
    EXPECT_FALSE(Counts.AllWell());
    EXPECT_EQ(FolderNames(Into.Path()).size(), C.Saved);
    EXPECT_EQ(Queue->Empty(), C.Saved == 3);
    ASSERT_GE(View->Events().size(), 2u);
    EXPECT_EQ(View->Events().back(), "clear") << "the window is never left busy";
    EXPECT_EQ(View->Address(), "");
  }
}

// A save folder that cannot be written (here it lies under a regular file,
// so it can never be made): with today's web the window hears of it once
// per job, however many pictures the page has, in the words the program
// shows; without it, or with a folder that takes the pictures, it hears
// nothing.
TEST_F(JobTest, ARefusingSaveFolderIsToldOncePerJobWithTodaysWeb) {
  Page("/four.html", "<img src=1.jpg><img src=2.jpg><img src=3.gif><img src=4.jpg>");
  test::WriteWholeFile(Dir.Path() + "afile", "not a folder");
  const std::string Refusing = Dir.Path() + "afile" + PathDelim + "pics" + PathDelim;
  TTempFolder Writable;
  const struct {
    const char* What;
    bool TodaysWeb;
    std::string Folder;
    const char* Address;
    std::size_t Told;
  } Cases[] = {
      {"a page, switch on", true, Refusing, "/four.html", 1},
      {"a picture of its own, switch on", true, Refusing, "/1.jpg", 1},
      {"a page, switch off", false, Refusing, "/four.html", 0},
      {"a writable folder, switch on", true, Writable.Path(), "/four.html", 0},
  };
  for (const auto& C : Cases) {
    Recorder = std::make_shared<TRecorder>();
    GrabSettings().SetSaveFolder(C.Folder);
    GrabSettings().SetTodaysWeb(C.TodaysWeb);
    const auto View = Grab(Site(C.Address));
    const std::vector<std::string> Told(
        C.Told, "Lumora could not save into " + Refusing + ": the folder does not exist");
    EXPECT_EQ(View->FolderFailures(), Told) << C.What;
    const unsigned Pictures = std::string_view(C.Address) == "/four.html" ? 4 : 1;
    EXPECT_EQ(Recorder->Counts().Failed, C.Folder == Refusing ? Pictures : 0u) << C.What;
  }
  EXPECT_EQ(FolderNames(Writable.Path()).size(), 4u);

  // Each job tells its own: two drops onto the refusing folder, two reports.
  GrabSettings().SetSaveFolder(Refusing);
  auto View = std::make_shared<TRecordingView>();
  ASSERT_TRUE(TThreadmain::Start({Queue, View, Recorder}, Site("/four.html")));
  ASSERT_TRUE(TThreadmain::Start({Queue, View, Recorder}, Site("/1.jpg")));
  Recorder->WaitForWorkers();
  EXPECT_EQ(View->FolderFailures().size(), 2u);
}

// A picture whose request fails is never told as the folder's failure.
TEST_F(JobTest, AFailedRequestIsNotToldAsTheFolders) {
  GrabSettings().SetTodaysWeb(true);
  Page("/gone.html", "<img src=/status/404/gone.jpg>");
  const auto View = Grab(Site("/gone.html"));
  EXPECT_EQ(Recorder->Counts().Failed, 1u);
  EXPECT_TRUE(View->FolderFailures().empty());
}

// Edit1 changes between a drop and its job's start: a finishing worker
// empties it, or a second drop replaces it. The job grabs the address it was
// started with all the same, and every drop is grabbed once.
TEST_F(JobTest, EachDropIsGrabbedOnceWhateverEdit1DoesMeanwhile) {
  class TMeddler : public TRecorder {
   public:
    std::function<void()> OnFirstStart;
    void JobStarted() override {
      TRecorder::JobStarted();
      if (auto F = std::exchange(OnFirstStart, nullptr)) F();
    }
  };
  const struct {
    const char* What;
    bool SecondDrop;
  } Cases[] = {{"a worker empties Edit1", false}, {"a second drop replaces Edit1", true}};
  for (const auto& C : Cases) {
    TTempFolder Into;
    GrabSettings().SetSaveFolder(Into.Path());
    const std::string Tagged = UniquePrefix();
    const std::string First = ServerBase() + Tagged + "/site/first.jpg";
    const std::string Second = ServerBase() + Tagged + "/site/second.jpg";
    auto Meddler = std::make_shared<TMeddler>();
    auto View = std::make_shared<TRecordingView>(First);
    const TGrabShared Shared{Queue, View, Meddler};
    // Runs on the GUI thread as the first job starts, before it gets going.
    Meddler->OnFirstStart = [&] {
      if (!C.SecondDrop) {
        View->ClearAddress();
        return;
      }
      View->SetAddress(Second);
      EXPECT_TRUE(TThreadmain::Start(Shared, Second));
    };
    ASSERT_TRUE(TThreadmain::Start(Shared, First));
    Meddler->WaitForWorkers();

    std::vector<std::string> Expected{"GET " + Tagged + "/site/first.jpg HTTP/1.1"};
    if (C.SecondDrop) Expected.push_back("GET " + Tagged + "/site/second.jpg HTTP/1.1");
    auto Got = ServerRequestLines(Tagged);
    std::sort(Got.begin(), Got.end());
    EXPECT_EQ(Got, Expected) << C.What;
    EXPECT_EQ(Meddler->Counts().Saved, C.SecondDrop ? 2u : 1u) << C.What;
  }
}

// Jobs side by side on one queue: every picture of both pages is saved once,
// whichever job queued it, and the window ends idle.
TEST_F(JobTest, TwoJobsShareTheQueue) {
  constexpr int Count = 25;
  std::string First, Second;
  for (int I = 0; I < Count; ++I) {
    First += "<img src=\"one" + std::to_string(I) + ".jpg\">";
    Second += "<img src=\"two" + std::to_string(I) + ".jpg\">";
  }
  Page("/first.html", First);
  Page("/second.html", Second);
  auto View = std::make_shared<TRecordingView>(Site("/first.html"));
  auto Other = std::make_shared<TRecordingView>(Site("/second.html"));
  ASSERT_TRUE(TThreadmain::Start({Queue, View, Recorder}, Site("/first.html")));
  ASSERT_TRUE(TThreadmain::Start({Queue, Other, Recorder}, Site("/second.html")));
  Recorder->WaitForWorkers();

  std::map<std::string, std::string> Expected;
  for (int I = 0; I < Count; ++I) {
    Expected["one" + std::to_string(I) + ".jpg"] = Target("/one" + std::to_string(I) + ".jpg");
    Expected["two" + std::to_string(I) + ".jpg"] = Target("/two" + std::to_string(I) + ".jpg");
  }
  EXPECT_EQ(Saved(), Expected);
  EXPECT_EQ(Recorder->Workers(), 2 * PageJobWorkers);
  EXPECT_EQ(Recorder->Counts().Saved, 2u * Count);
  EXPECT_TRUE(Queue->Empty());
}

}  // namespace
}  // namespace lumora
