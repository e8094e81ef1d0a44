#include "grab/TThreaddownloadpic.h"

#include <thread>

#include "grab/DownloadPicture.h"

namespace lumora {

bool TThreaddownloadpic::Start(const TGrabShared& Shared) {
  if (Shared.Observer) Shared.Observer->WorkerStarted();
  try {
    auto Worker = std::make_unique<TThreaddownloadpic>(Shared);
    std::thread([W = std::move(Worker)] { W->Execute(); }).detach();
    return true;
  } catch (...) {
    if (Shared.Observer) Shared.Observer->WorkerFinished();
    return false;
  }
}

void TThreaddownloadpic::Execute() {
  // Nothing may escape a thread's start function.
  try {
    TPicQueue& Queue = *FShared.PicQueue;
    if (FShared.View) FShared.View->ShowBusyPicture();
    std::string Address;
    while (Queue.TakeFirst(Address)) {
      const TPictureResult Result = DownloadPicture(Address, GrabSettings().Snapshot());
      if (FShared.Observer) FShared.Observer->PictureDone(Result);
    }
    // Another job may have queued pictures meanwhile; its workers go idle then.
    if (Queue.Empty() && FShared.View) {
      FShared.View->ShowIdlePicture();
      FShared.View->ClearAddress();
    }
  } catch (...) {
  }
  try {
    if (FShared.Observer) FShared.Observer->WorkerFinished();
  } catch (...) {
  }
}

}  // namespace lumora
