#pragma once
// A download worker: shows the busy picture, saves pictures from the front of
// the queue until it is empty, then, if the queue is still empty, shows the
// idle picture and empties the address field. Each worker keeps one HTTP
// session for its whole run, so its pictures share a kept-alive connection
// per host instead of opening one each. Workers run detached and free
// themselves; each holds shared ownership of the queue, the view and the
// observer, so nothing it touches can be freed while it runs.

#include <memory>

#include "grab/GrabObserver.h"
#include "grab/GrabView.h"
#include "grab/PicQueue.h"

namespace lumora {

struct TGrabShared {
  std::shared_ptr<TPicQueue> PicQueue;
  std::shared_ptr<TGrabView> View;          // null: no window to update
  std::shared_ptr<TGrabObserver> Observer;  // null: nobody listens
};

class TThreaddownloadpic {
 public:
  // Starts a worker running at once. False when no thread could be made.
  static bool Start(const TGrabShared& Shared);

  explicit TThreaddownloadpic(TGrabShared Shared) : FShared(std::move(Shared)) {}
  void Execute();  // the worker loop, on the worker's own thread

 private:
  TGrabShared FShared;
};

}  // namespace lumora
