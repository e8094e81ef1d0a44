#pragma once
// The component base: an object that may be owned by another component. The
// owner frees what it owns when it is destroyed, last created first; a
// component without an owner is freed by whoever created it. Freeing an owned
// component directly takes it out of its owner's list first.

#include <vector>

namespace lumora {

// The sender type of every event.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* Owner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }

 private:
  TComponent* FOwner;
  std::vector<TComponent*> FComponents;  // owned, in order of creation
};

}  // namespace lumora
