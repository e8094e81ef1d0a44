// Components: ownership, order of freeing, and removal notices.

#include "sys/Component.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
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
}

// Stands in for a form: loading while its constructor makes its design.
class TLoadingOwner : public TComponent {
 public:
  TLoadingOwner() : TComponent(nullptr) { SetLoading(true); }
};

TEST(Component, OnlyWhatAnOwnerMakesWhileLoadingIsLoading) {
  TComponent InCode(nullptr);
  EXPECT_FALSE(InCode.Loading());
  auto* OwnedInCode = new TComponent(&InCode);
  EXPECT_FALSE(OwnedInCode->Loading());

  TLoadingOwner Owner;
  auto* Designed = new TComponent(&Owner);
  auto* Inner = new TComponent(Designed);  // made by a designed component
  EXPECT_TRUE(Designed->Loading());
  EXPECT_TRUE(Inner->Loading());
  Owner.Loaded();
  Designed->Loaded();
  Inner->Loaded();
  EXPECT_FALSE(Owner.Loading());
  EXPECT_FALSE(Designed->Loading());
  auto* Later = new TComponent(&Owner);  // made in code once loaded
  EXPECT_FALSE(Later->Loading());
}

// Writes down when its member goes, so the order of the two steps of
// freeing shows without touching a destroyed member.
struct TMemberWitness {
  TLog& Log;
  std::string Name;
  ~TMemberWitness() { Log.Lines.push_back(Name + " member gone"); }
};

class TWithMembers : public TTracked {
 public:
  TWithMembers(TComponent* AOwner, const std::string& AName, TLog& Log)
      : TTracked(AOwner, AName, Log), FWitness{Log, AName}, FLog(Log) {}
  void BeforeDestruction() override {
    FLog.Lines.push_back(Name() + " tears down with " + std::to_string(FQueue.size()) +
                         " queued, " + (Destroying() ? "destroying" : "not destroying"));
    TTracked::BeforeDestruction();
  }

 private:
  TMemberWitness FWitness;
  TLog& FLog;
  std::vector<std::string> FQueue{"a", "b"};
};

TEST(Component, BeforeDestructionRunsWhileTheWholeObjectExists) {
  struct TCase {
    const char* How;
    std::function<void(TLog&)> MakeAndFree;
  };
  const TCase Cases[] = {
      {"delete", [](TLog& L) { delete new TWithMembers(nullptr, "X", L); }},
      {"delete through the base",
       [](TLog& L) {
         TComponent* C = new TWithMembers(nullptr, "X", L);
         delete C;
       }},
      {"unique_ptr", [](TLog& L) { std::make_unique<TWithMembers>(nullptr, "X", L).reset(); }},
      {"owner",
       [](TLog& L) {
         auto* Owner = new TComponent(nullptr);
         new TWithMembers(Owner, "X", L);
         delete Owner;
       }},
  };
  for (const TCase& C : Cases) {
    TLog Log;
    C.MakeAndFree(Log);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"X tears down with 2 queued, destroying",
                                                   "X member gone", "free X"}))
        << C.How;
    EXPECT_EQ(Log.Alive, 0) << C.How;
  }
}

}  // namespace
}  // namespace lumora
