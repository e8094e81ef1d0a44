#pragma once
// An optional listener to the grab engine, for tools that report what a grab
// did and wait for its end. The desktop program has none and stays silent.
// Calls come from job and worker threads; a listener that throws loses only
// its own report, never the grab.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "grab/DownloadPicture.h"

namespace lumora {

// What became of the page a job fetched.
struct TPageResult {
  std::string Address;  // the page address fetched
  bool Fetched = false;
  bool Cut = false;       // the body was longer than MaxPageBytes and cut there
  std::size_t Bytes = 0;  // of the body, as far as it was read
  int Status = 0;         // HTTP status of a failed request; 0 when no reply came
  std::string Error;      // why it failed
};

// What the command-line tools print for WorkerNotStarted.
inline constexpr char WorkerNotStartedText[] = "a download worker could not be started";

class TGrabObserver {
 public:
  virtual ~TGrabObserver() = default;
  // Called on the starting thread before a job or worker runs, so a waiter
  // never misses one. A job starts its workers before it finishes.
  virtual void JobStarted() {}
  virtual void JobFinished() {}
  virtual void WorkerStarted() {}
  virtual void WorkerFinished() {}
  virtual void PageFetched(const TPageResult& /*Result*/) {}
  // A page job appended Address to the queue.
  virtual void AddressQueued(const std::string& /*Address*/) {}
  // A page job left Address out: an equal address was waiting already.
  virtual void AddressDuplicate(const std::string& /*Address*/) {}
  virtual void PictureDone(const TPictureResult& /*Result*/) {}
  // The job ended by an error (Error tells which): what it had queued waits
  // for the workers of a later job.
  virtual void JobFailed(const std::string& /*Error*/) {}
  // A download worker of a page job could not be started.
  virtual void WorkerNotStarted() {}
};

// Counts what became of the pictures and lets a caller wait until every job
// and worker it has seen start has finished.
class TGrabTally : public TGrabObserver {
 public:
  struct TCounts {
    unsigned Queued = 0, Duplicates = 0;
    unsigned Saved = 0, Dropped = 0, Failed = 0;
    unsigned PagesFailed = 0, PagesCut = 0;
    unsigned JobsFailed = 0, WorkersNotStarted = 0;
    std::int64_t Bytes = 0;
    unsigned Done() const { return Saved + Dropped + Failed; }
    // Nothing failed: no page, picture, job or worker start.
    bool AllWell() const {
      return Failed == 0 && PagesFailed == 0 && JobsFailed == 0 && WorkersNotStarted == 0;
    }
  };

  void JobStarted() override;
  void JobFinished() override;
  void WorkerStarted() override;
  void WorkerFinished() override;
  void PageFetched(const TPageResult& Result) override;
  void AddressQueued(const std::string& Address) override;
  void AddressDuplicate(const std::string& Address) override;
  void PictureDone(const TPictureResult& Result) override;
  void JobFailed(const std::string& Error) override;
  void WorkerNotStarted() override;

  void WaitForWorkers();
  TCounts Counts() const;

 private:
  void Started();
  void Finished();

  mutable std::mutex FLock;
  std::condition_variable FIdle;
  unsigned FRunning = 0;
  TCounts FCounts;
};

}  // namespace lumora
