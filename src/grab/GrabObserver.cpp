#include "grab/GrabObserver.h"

namespace lumora {

void TGrabTally::WorkerStarted() {
  std::lock_guard Guard(FLock);
  ++FRunning;
}

void TGrabTally::WorkerFinished() {
  std::lock_guard Guard(FLock);
  if (--FRunning == 0) FIdle.notify_all();
}

void TGrabTally::PictureDone(const TPictureResult& Result) {
  std::lock_guard Guard(FLock);
  switch (Result.Outcome) {
    case TPictureOutcome::Saved:
      ++FCounts.Saved;
      FCounts.Bytes += Result.Bytes;
      break;
    case TPictureOutcome::Failed:
      ++FCounts.Failed;
      break;
    default:
      ++FCounts.Dropped;
      break;
  }
}

void TGrabTally::WaitForWorkers() {
  std::unique_lock Guard(FLock);
  FIdle.wait(Guard, [this] { return FRunning == 0; });
}

TGrabTally::TCounts TGrabTally::Counts() const {
  std::lock_guard Guard(FLock);
  return FCounts;
}

}  // namespace lumora
