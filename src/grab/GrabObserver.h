#pragma once
// An optional listener to the grab engine, for tools that report what a grab
// did and wait for its end. The desktop program has none and stays silent.
// Calls come from job and worker threads.

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "grab/DownloadPicture.h"

namespace lumora {

class TGrabObserver {
 public:
  virtual ~TGrabObserver() = default;
  // Called on the starting thread before a worker runs, so a waiter never misses one.
  virtual void WorkerStarted() {}
  virtual void WorkerFinished() {}
  virtual void PictureDone(const TPictureResult& /*Result*/) {}
};

// Counts what became of the pictures and lets a caller wait until every
// worker it has seen start has finished.
class TGrabTally : public TGrabObserver {
 public:
  struct TCounts {
    unsigned Saved = 0, Dropped = 0, Failed = 0;
    std::int64_t Bytes = 0;
  };

  void WorkerStarted() override;
  void WorkerFinished() override;
  void PictureDone(const TPictureResult& Result) override;

  void WaitForWorkers();
  TCounts Counts() const;

 private:
  mutable std::mutex FLock;
  std::condition_variable FIdle;
  unsigned FRunning = 0;
  TCounts FCounts;
};

}  // namespace lumora
