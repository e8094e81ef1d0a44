#include "grab/GrabObserver.h"

namespace lumora {

void TGrabTally::Started() {
  std::lock_guard Guard(FLock);
  ++FRunning;
}

void TGrabTally::Finished() {
  std::lock_guard Guard(FLock);
  if (--FRunning == 0) FIdle.notify_all();
}

void TGrabTally::JobStarted() {
  Started();
}
void TGrabTally::JobFinished() {
  Finished();
}
void TGrabTally::WorkerStarted() {
  Started();
}
void TGrabTally::WorkerFinished() {
  Finished();
}

void TGrabTally::PageFetched(const TPageResult& Result) {
  std::lock_guard Guard(FLock);
  if (!Result.Fetched) ++FCounts.PagesFailed;
  if (Result.Cut) ++FCounts.PagesCut;
}

void TGrabTally::AddressQueued(const std::string&) {
  std::lock_guard Guard(FLock);
  ++FCounts.Queued;
}

void TGrabTally::AddressDuplicate(const std::string&) {
  std::lock_guard Guard(FLock);
  ++FCounts.Duplicates;
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

void TGrabTally::JobFailed(const std::string&) {
  std::lock_guard Guard(FLock);
  ++FCounts.JobsFailed;
}

void TGrabTally::WorkerNotStarted() {
  std::lock_guard Guard(FLock);
  ++FCounts.WorkersNotStarted;
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
