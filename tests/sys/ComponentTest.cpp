// Components: ownership, order of freeing, and removal notices.

#include "sys/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora {
namespace {

struct TLog {
  std::vector<std::string> Lines;
  int Alive = 0;
};

class TTracked : public TComponent {
 public:
  TTracked(TComponent* AOwner, const std::string& AName, TLog& Log)
      : TComponent(AOwner), FLog(Log) {
    SetName(AName);
    ++FLog.Alive;
  }
  ~TTracked() override {
    FLog.Lines.push_back("free " + Name());
    --FLog.Alive;
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove)
      FLog.Lines.push_back(Name() + " hears " + AComponent->Name() + " go");
  }
  void Loaded() override {
    TComponent::Loaded();
    FLog.Lines.push_back("loaded " + Name());
  }

 private:
  TLog& FLog;
};

TEST(Component, OwnerFreesWhatItOwnsLastCreatedFirst) {
  TLog Log;
  {
    TTracked Owner(nullptr, "Owner", Log);
    new TTracked(&Owner, "A", Log);
    auto* B = new TTracked(&Owner, "B", Log);
    new TTracked(B, "B1", Log);
    new TTracked(&Owner, "C", Log);
    EXPECT_EQ(Owner.ComponentCount(), 3);
    EXPECT_EQ(Owner.FindComponent("B"), B);
    EXPECT_EQ(Log.Alive, 5);
    Log.Lines.clear();
  }
  EXPECT_EQ(Log.Alive, 0);
  // The owner's own destructor body runs first; then C, then B (and what B
  // owns), then A. Everything the owner still holds hears of each removal,
  // the later ones first and what they own before them.
  const std::vector<std::string> Want = {"free Owner",   "free C",       "B1 hears C go",
                                         "B hears C go", "A hears C go", "free B",
                                         "free B1",      "A hears B go", "free A"};
  EXPECT_EQ(Log.Lines, Want);
}

TEST(Component, FreeingAnOwnedComponentEarlyTakesItOutOfTheList) {
  TLog Log;
  TTracked Owner(nullptr, "Owner", Log);
  auto* A = new TTracked(&Owner, "A", Log);
  new TTracked(&Owner, "B", Log);
  delete A;
  EXPECT_EQ(Owner.ComponentCount(), 1);
  EXPECT_EQ(Owner.Components(0)->Name(), "B");
  // No second free when the owner goes.
  EXPECT_EQ(Log.Alive, 2);
}

TEST(Component, FreeNotificationReachesAcrossOwnersOnce) {
  TLog Log;
  TTracked OwnerA(nullptr, "OwnerA", Log);
  auto* Watcher = new TTracked(&OwnerA, "Watcher", Log);
  {
    TTracked Watched(nullptr, "Watched", Log);
    Watcher->FreeNotification(&Watched);
    Watcher->FreeNotification(&Watched);  // asking twice is one notice
    Log.Lines.clear();
  }
  EXPECT_EQ(Log.Lines, (std::vector<std::string>{"free Watched", "Watcher hears Watched go"}));
}

TEST(Component, RunTimeObjectsAreNeverDesigning) {
  TComponent C(nullptr);
  EXPECT_FALSE(C.Designing());
  EXPECT_TRUE(C.Loading());
  C.Loaded();
  EXPECT_FALSE(C.Loading());
}

}  // namespace
}  // namespace lumora
