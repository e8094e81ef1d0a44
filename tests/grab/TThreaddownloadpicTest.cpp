#include "grab/TThreaddownloadpic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include "TestSupport.h"
#include "app/SettingsLoad.h"
#include "grab/RecordingView.h"
#include "sys/DetachedThread.h"
#include "sys/FileSystem.h"

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

// Workers the system refuses to start are each told, and those that start
// save the whole queue; when none starts, nothing is saved and StartMany
// says so, which lumora-download turns into a failure.
TEST_F(WorkerTest, StartManyTellsEachWorkerThatCouldNotStart) {
  const struct {
    unsigned Refused;
    int Started;
    std::size_t Saved;
  } Cases[] = {{0, 5, 3}, {3, 2, 3}, {5, 0, 0}};
  for (const auto& C : Cases) {
    TTempFolder Into;
    GrabSettings().SetSaveFolder(Into.Path());
    Tally = std::make_shared<TGrabTally>();
    Shared.Observer = Tally;
    for (const char* Name : {"1.jpg", "2.gif", "3.bmp"})
      Shared.PicQueue->Append(Url("/bytes/10/") + Name);
    SetThreadStartFaults(5 - C.Refused, C.Refused);
    EXPECT_EQ(TThreaddownloadpic::StartMany(Shared, 5), C.Started) << C.Refused;
    SetThreadStartFaults(0, 0);
    Tally->WaitForWorkers();
    EXPECT_EQ(Tally->Counts().WorkersNotStarted, C.Refused);
    EXPECT_EQ(Tally->Counts().AllWell(), C.Refused == 0);
    EXPECT_EQ(FolderNames(Into.Path()).size(), C.Saved);
    std::string Ignored;
    TPageRef Page;
    while (Shared.PicQueue->TakeFirst(Ignored, Page)) {
    }
  }
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

// A worker keeps its connection to a keep-alive server for every picture it
// saves, the HEAD requests of a minimum size included.
TEST_F(WorkerTest, OneWorkerOpensOneConnectionForAllItsPictures) {
  GrabSettings().SetMinSizeK(1);
  constexpr int Count = 40;
  for (int I = 0; I < Count; ++I)
    Shared.PicQueue->Append(
        Url("/bytes/" + std::to_string(2000 + I) + "/p" + std::to_string(I) + ".jpg"));
  RunWorkers(1);
  EXPECT_EQ(FolderNames(Dir.Path()).size(), static_cast<std::size_t>(Count));
  EXPECT_EQ(ServerRequestLines(Tag).size(), 2u * Count);
  EXPECT_EQ(test::ServerConnections(Tag).Connections, 1);
}

// Five workers against servers that end connections their own way: closed
// after every second reply, closed just as the next request comes in, closed
// after every reply with notice, or reset in the middle of some bodies. Every
// picture that was answered whole is saved exactly once, with its own bytes
// (each picture's bytes begin with its own address); a picture cut off by a reset
// fails and leaves no file.
TEST_F(WorkerTest, ServersThatEndConnectionsLoseNoPictureAndMixUpNone) {
  const auto Own = [](const std::string& CaseTag, const std::string& Name) {
    return CaseTag + "/site/" + Name + std::string(1500, '.');
  };
  struct TCase {
    const char* Mode;
    bool Resets;
  } Cases[] = {{"/closeafter/2", false}, {"/dropafter/2", false}, {"/close", false}, {"", true}};
  for (const auto& C : Cases) {
    TTempFolder Folder;
    GrabSettings().SetSaveFolder(Folder.Path());
    GrabSettings().SetMinSizeK(C.Resets ? 0 : 1);  // the HEAD requests go through the same
    const std::string CaseTag = UniquePrefix();
    TGrabShared Run;
    Run.PicQueue = std::make_shared<TPicQueue>();
    // Keeps why pictures failed, for the report of a failing case.
    class TErrors : public TGrabTally {
     public:
      void PictureDone(const TPictureResult& R) override {
        TGrabTally::PictureDone(R);
        std::lock_guard Guard(FLock);
        if (R.Outcome == TPictureOutcome::Failed) FText += R.Address + ": " + R.Error + "\n";
      }
      std::string Text() {
        std::lock_guard Guard(FLock);
        return FText;
      }

     private:
      std::mutex FLock;
      std::string FText;
    };
    auto Counts = std::make_shared<TErrors>();
    Run.Observer = Counts;
    constexpr int Count = 60;
    std::set<std::string> Expected;
    int Cut = 0;
    for (int I = 0; I < Count; ++I) {
      // Appended, not added: GCC 12 for i686 warns (wrongly) about "p" + string.
      std::string Name = "p";
      Name += std::to_string(I);
      Name += ".jpg";
      if (C.Resets && I % 5 == 2) {
        Run.PicQueue->Append(ServerBase() + CaseTag + "/reset/40000/" + Name);
        ++Cut;
      } else {
        // Over a kilobyte, so that the minimum size lets it through.
        test::RegisterPage(CaseTag + "/site/" + Name, Own(CaseTag, Name));
        Run.PicQueue->Append(ServerBase() + CaseTag + C.Mode + "/site/" + Name);
        Expected.insert(Name);
      }
    }
    for (int I = 0; I < 5; ++I) ASSERT_TRUE(TThreaddownloadpic::Start(Run));
    Counts->WaitForWorkers();

    const auto Names = FolderNames(Folder.Path());
    EXPECT_EQ(std::set<std::string>(Names.begin(), Names.end()), Expected) << C.Mode;
    for (const auto& N : Names)
      EXPECT_EQ(test::ReadWholeFile(Folder.Path() + N), Own(CaseTag, N)) << C.Mode;
    EXPECT_EQ(Counts->Counts().Saved, Expected.size()) << C.Mode;
    EXPECT_EQ(Counts->Counts().Failed, static_cast<unsigned>(Cut)) << C.Mode << "\n"
                                                                   << Counts->Text();
    // Each GET went out once: a picture is never fetched twice over.
    const auto Lines = ServerRequestLines(CaseTag);
    EXPECT_EQ(std::count_if(Lines.begin(), Lines.end(),
                            [](const std::string& L) { return L.rfind("GET ", 0) == 0; }),
              Count)
        << C.Mode;
    if (std::string(C.Mode) == "/dropafter/2") {
      EXPECT_GT(test::ServerConnections(CaseTag).Dropped, 0);  // the case did arise
    }
  }
}

// OK pressed again and again while five workers save: the folder is
// published only finished, with its separator, and every picture lands in
// one of the chosen folders, never beside them under a glued name.
TEST_F(WorkerTest, TheFolderChangingWhileWorkersSaveKeepsEveryPictureInAFolder) {
  TTempFolder SettingsDir;
  const std::string FileName = SettingsDir.Path() + "shuxing.txt";
  std::vector<std::string> Lines = {".JPG", "0", Dir.Path()};
  const std::string Folders[] = {Dir.Path() + "a", Dir.Path() + "b"};
  const auto Ok = [&](int I) {
    TSettingsPanelState Panel;
    Panel.Folder = Folders[I % 2];
    CommitSettingsPanel(Panel, GrabSettings(), Lines, FileName);
  };
  ASSERT_NO_THROW(Ok(0));
  constexpr int Count = 150;
  for (int I = 0; I < Count; ++I)
    Shared.PicQueue->Append(Url("/bytes/10/p" + std::to_string(I) + ".jpg"));

  constexpr int Commits = 300;
  std::atomic<bool> Done{false};
  std::atomic<int> Unfinished{0}, Errors{0};
  std::thread Watcher([&] {
    while (!Done) {
      const std::string F = GrabSettings().SaveFolder();
      if (F.empty() || F.back() != PathDelim) ++Unfinished;
    }
  });
  std::thread Settings([&] {
    for (int I = 1; I <= Commits; ++I) {
      try {
        Ok(I);
      } catch (...) {
        ++Errors;
      }
    }
  });
  int Started = 0;
  for (int I = 0; I < 5; ++I) Started += TThreaddownloadpic::Start(Shared) ? 1 : 0;
  Tally->WaitForWorkers();
  Settings.join();
  Done = true;
  Watcher.join();

  EXPECT_EQ(Started, 5);
  EXPECT_EQ(Errors, 0);
  EXPECT_EQ(Unfinished, 0) << "a folder was published without its separator";
  EXPECT_EQ(FolderNames(Dir.Path()), (std::vector<std::string>{"a", "b"}));
  const std::size_t InA = FolderNames(Folders[0] + PathDelim).size();
  const std::size_t InB = FolderNames(Folders[1] + PathDelim).size();
  EXPECT_EQ(InA + InB, static_cast<std::size_t>(Count));
  EXPECT_EQ(Tally->Counts().Saved, static_cast<unsigned>(Count));
}

}  // namespace
}  // namespace lumora
