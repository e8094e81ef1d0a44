#pragma once
// Components: objects with an owner that frees them. An owner keeps the list
// of what it owns and frees it, last created first, when it goes; every owned
// component hears when a sibling is removed, so that no one keeps a pointer
// to a freed component.
//
// Freeing has two steps. BeforeDestruction runs first, while the whole
// object still exists, so that a form's OnDestroy can use the form's own
// members and a control can end what it started (hot tracking, a capture)
// with all its state at hand. Only then does the destructor run, most
// derived part first. Every delete of a component takes these two steps,
// whoever frees it: its owner, the application, or code holding it.

#include <cstddef>
#include <new>
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
  // True while a form is still setting the properties of its design: for the
  // form and the components made while it is loading, until their Loaded.
  // Components made in code at any other time are never loading.
  bool Loading() const { return FLoading; }
  // True from the start of BeforeDestruction on.
  bool Destroying() const { return FDestroying; }

  // Called once the owner has set the stored properties (a form calls it for
  // all it owns before FormCreate). Components that act on several
  // properties together do it here.
  virtual void Loaded();

  // Told when a component is inserted into or removed from the owner, and
  // when a component registered with FreeNotification goes away.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  // The first step of freeing, run once while the object is whole (see
  // above). Overrides do their own teardown, then call the base. Nothing may
  // escape it: it runs inside delete.
  virtual void BeforeDestruction();

  // Every delete of a component runs BeforeDestruction before the destructor.
  // (A component that is a local variable or a member has no delete: only
  // its destructor runs.) The plain pair allocates and gives back the memory
  // of a component whose constructor failed; declaring new here too lets the
  // compiler see that the two deletes match it.
  static void* operator new(std::size_t Size);
  static void operator delete(void* Block) noexcept;
  static void operator delete(TComponent* Component, std::destroying_delete_t);

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
  bool FLoading = false;
  bool FDestroying = false;
};

}  // namespace lumora
