#pragma once
// Components: objects with an owner that frees them. An owner keeps the list
// of what it owns and frees it, last created first, when it goes; every owned
// component hears when a sibling is removed, so that no one keeps a pointer
// to a freed component.

#include <string>
#include <vector>

#include "sys/Object.h"

namespace lumora {

enum class TOperation { opInsert, opRemove };

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }
  TComponent* FindComponent(const std::string& AName) const;

  // Run-time objects are never in a form designer.
  bool Designing() const { return false; }
  // True between construction and Loaded: a form is still setting properties.
  bool Loading() const { return FLoading; }

  // Called once the owner has set the stored properties (a form calls it for
  // all it owns before FormCreate). Components that act on several
  // properties together do it here.
  virtual void Loaded();

  // Told when a component is inserted into or removed from the owner, and
  // when a component registered with FreeNotification goes away.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  // Ask to be told (Notification opRemove) when AComponent is freed, even
  // though it has another owner.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Takes AComponent from its owner (if any) into this one's list.
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

 protected:
  // Frees the owned components, last created first. A derived class whose
  // components need it alive (a form whose controls need its window) calls
  // this at the start of its own destructor.
  void DestroyComponents();
  void SetLoading(bool Value) { FLoading = Value; }

 private:
  void NotifyRemoval();

  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  bool FLoading = true;
};

}  // namespace lumora
