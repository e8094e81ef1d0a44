#include "sys/Component.h"

#include <algorithm>

namespace lumora {

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) {
    // Made while its owner loads its design: part of that design, so it
    // loads too and gets its Loaded along with the owner.
    FLoading = AOwner->Loading();
    AOwner->InsertComponent(this);
  }
}

void* TComponent::operator new(std::size_t Size) {
  return ::operator new(Size);
}

void TComponent::operator delete(void* Block) noexcept {
  ::operator delete(Block);
}

void TComponent::operator delete(TComponent* Component, std::destroying_delete_t) {
  if (!Component->FDestroying) {
    Component->FDestroying = true;
    Component->BeforeDestruction();
  }
  // The start of the whole object, taken before it is destroyed: the
  // component need not be its first base.
  void* Block = dynamic_cast<void*>(Component);
  Component->~TComponent();
  ::operator delete(Block);
}

void TComponent::BeforeDestruction() {
  FDestroying = true;
}

TComponent::~TComponent() {
  NotifyRemoval();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::NotifyRemoval() {
  // Each component that asked hears of this one going, exactly once.
  while (!FFreeNotifies.empty()) {
    TComponent* Other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& Back = Other->FFreeNotifies;
    Back.erase(std::remove(Back.begin(), Back.end(), this), Back.end());
    Other->Notification(this, TOperation::opRemove);
  }
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  for (TComponent* C : FComponents)
    if (!AName.empty() && C->Name() == AName) return C;
  return nullptr;
}

void TComponent::Loaded() {
  FLoading = false;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  // An owner passes removals on to everything it owns.
  if (Operation == TOperation::opRemove && AComponent) {
    auto& List = FFreeNotifies;
    List.erase(std::remove(List.begin(), List.end(), AComponent), List.end());
    for (size_t I = FComponents.size(); I-- > 0;) {
      if (I < FComponents.size() && FComponents[I] != AComponent)
        FComponents[I]->Notification(AComponent, Operation);
    }
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
    FFreeNotifies.push_back(AComponent);
  auto& Other = AComponent->FFreeNotifies;
  if (std::find(Other.begin(), Other.end(), this) == Other.end()) Other.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                      FFreeNotifies.end());
  auto& Other = AComponent->FFreeNotifies;
  Other.erase(std::remove(Other.begin(), Other.end(), this), Other.end());
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (It == FComponents.end()) return;
  FComponents.erase(It);
  AComponent->FOwner = nullptr;
  Notification(AComponent, TOperation::opRemove);
}

void TComponent::DestroyComponents() {
  // Last created first; each one takes itself out of the list as it goes,
  // and its siblings hear of it through Notification.
  while (!FComponents.empty()) {
    TComponent* Last = FComponents.back();
    delete Last;
  }
}

}  // namespace lumora
