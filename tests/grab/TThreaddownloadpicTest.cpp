#include "grab/TThreaddownloadpic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <set>

#include "TestSupport.h"
#include "grab/RecordingView.h"

namespace lumora {
namespace {

using test::FolderNames;
using test::ServerBase;
using test::ServerLog;
using test::ServerRequestLines;
using test::TRecordingView;
using test::TTempFolder;
using test::UniquePrefix;

class WorkerTest : public ::testing::Test {
 protected:
  WorkerTest() {
    TGrabSettingsValues V;
    V.PicTypes = ".JPG.BMP.GIF.TIF";
    V.SaveFolder = Dir.Path();
    GrabSettings().Assign(V);
    Shared.PicQueue = std::make_shared<TPicQueue>();
    Shared.View = View;
    Shared.Observer = Tally;
  }
  void RunWorkers(int Count) {
    for (int I = 0; I < Count; ++I) ASSERT_TRUE(TThreaddownloadpic::Start(Shared));
    Tally->WaitForWorkers();
  }
  std::string Url(const std::string& Path) { return ServerBase() + Tag + Path; }

  TTempFolder Dir;
  std::string Tag = UniquePrefix();
  std::shared_ptr<TRecordingView> View = std::make_shared<TRecordingView>();
  std::shared_ptr<TGrabTally> Tally = std::make_shared<TGrabTally>();
  TGrabShared Shared;
};

TEST_F(WorkerTest, EmptyQueueShowsBusyThenIdleAndClearsTheAddress) {
  RunWorkers(1);
  EXPECT_EQ(View->Events(), (std::vector<std::string>{"busy", "idle", "clear"}));
}

TEST_F(WorkerTest, OneWorkerSavesTheQueueInOrder) {
  for (const char* Name : {"1.jpg", "2.gif", "3.bmp", "4.tif"})
    Shared.PicQueue->Append(Url("/bytes/100/") + Name);
  RunWorkers(1);
  EXPECT_EQ(FolderNames(Dir.Path()),
            (std::vector<std::string>{"1.jpg", "2.gif", "3.bmp", "4.tif"}));
  EXPECT_EQ(
      ServerRequestLines(Tag),
      (std::vector<std::string>{
          "GET " + Tag + "/bytes/100/1.jpg HTTP/1.1", "GET " + Tag + "/bytes/100/2.gif HTTP/1.1",
          "GET " + Tag + "/bytes/100/3.bmp HTTP/1.1", "GET " + Tag + "/bytes/100/4.tif HTTP/1.1"}));
  EXPECT_EQ(View->Events(), (std::vector<std::string>{"busy", "idle", "clear"}));
  EXPECT_TRUE(Shared.PicQueue->Empty());
}

TEST_F(WorkerTest, FailuresDoNotStopTheWorker) {
  Shared.PicQueue->Append(Url("/status/404/a.jpg"));
  Shared.PicQueue->Append("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/b.jpg");
  Shared.PicQueue->Append(Url("/redirect/301/c.jpg"));
  Shared.PicQueue->Append(Url("/bytes/10/d.jpg"));
  RunWorkers(1);
  EXPECT_EQ(FolderNames(Dir.Path()), std::vector<std::string>{"d.jpg"});
  EXPECT_EQ(Tally->Counts().Failed, 3u);
}

TEST_F(WorkerTest, TwoWorkersAndOneEntryDownloadItOnce) {
  Shared.PicQueue->Append(Url("/slow/1000/50/only.jpg"));
  RunWorkers(2);
  EXPECT_EQ(FolderNames(Dir.Path()), std::vector<std::string>{"only.jpg"});
  EXPECT_EQ(ServerLog(Tag).size(), 1u);
  const auto Events = View->Events();
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "busy"), 2);
  EXPECT_EQ(Events.back(), "clear");
}

TEST_F(WorkerTest, WorkersOwnWhatTheyTouchUntilTheyEnd) {
  std::weak_ptr<TPicQueue> Queue = Shared.PicQueue;
  std::weak_ptr<TRecordingView> Watch = View;
  Shared.PicQueue->Append(Url("/slow/500/100/late.jpg"));
  ASSERT_TRUE(TThreaddownloadpic::Start(Shared));
  // The window goes away while the worker still downloads.
  Shared.PicQueue.reset();
  Shared.View.reset();
  View.reset();
  Tally->WaitForWorkers();
  EXPECT_EQ(FolderNames(Dir.Path()), std::vector<std::string>{"late.jpg"});
  // The worker lets go of them as its thread ends.
  for (int I = 0; I < 500 && (!Queue.expired() || !Watch.expired()); ++I)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(Queue.expired());
  EXPECT_TRUE(Watch.expired());
}

// Settings are read afresh for every picture: a change made while a worker
// runs applies from the next picture on.
TEST_F(WorkerTest, ASettingsChangeAppliesToTheNextPicture) {
  class TSwitchTypes : public TGrabTally {
   public:
    void PictureDone(const TPictureResult& R) override {
      TGrabTally::PictureDone(R);
      GrabSettings().SetPicTypes(".GIF");
    }
  };
  auto Switch = std::make_shared<TSwitchTypes>();
  Shared.Observer = Switch;
  Shared.PicQueue->Append(Url("/bytes/10/first.jpg"));
  Shared.PicQueue->Append(Url("/bytes/10/second.jpg"));
  Shared.PicQueue->Append(Url("/bytes/10/third.gif"));
  ASSERT_TRUE(TThreaddownloadpic::Start(Shared));
  Switch->WaitForWorkers();
  EXPECT_EQ(FolderNames(Dir.Path()), (std::vector<std::string>{"first.jpg", "third.gif"}));
}

// Five workers saving many pictures of one name at once: every picture lands
// under a name of its own, and none overwrites another.
TEST_F(WorkerTest, ConcurrentSameNamesAllLandUnderDistinctNames) {
  constexpr int Count = 60;
  for (int I = 0; I < Count; ++I)
    Shared.PicQueue->Append(Url("/bytes/" + std::to_string(1000 + I) + "/same.jpg"));
  RunWorkers(5);
  const auto Names = FolderNames(Dir.Path());
  ASSERT_EQ(Names.size(), static_cast<std::size_t>(Count));
  std::set<std::string> Expected{"same.jpg"};
  for (int K = 1; K < Count; ++K) Expected.insert("same(" + std::to_string(K) + ").jpg");
  EXPECT_EQ(std::set<std::string>(Names.begin(), Names.end()), Expected);
  std::set<std::size_t> Sizes;
  for (const auto& N : Names) Sizes.insert(test::ReadWholeFile(Dir.Path() + N).size());
  EXPECT_EQ(Sizes.size(), static_cast<std::size_t>(Count)) << "a picture was overwritten";
  EXPECT_EQ(Tally->Counts().Saved, static_cast<unsigned>(Count));
}

}  // namespace
}  // namespace lumora
