#pragma once
// The root of Lumora's component style: every sender of an event is a
// TObject, so one handler type serves all components.

#include <functional>

namespace lumora {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

}  // namespace lumora
