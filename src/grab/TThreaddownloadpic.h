#pragma once
// A download worker: shows the busy picture, saves pictures from the front of
// the queue until it is empty, then, if the queue is still empty, shows the
// idle picture and empties the address field. Each worker keeps one HTTP
// session for its whole run, so its pictures share a kept-alive connection
// per host instead of opening one each. Workers run detached and free
// themselves; each holds shared ownership of the queue, the view and the
// observer, so nothing it touches can be freed while it runs.

#include <atomic>
#include <memory>

#include "grab/DownloadPicture.h"
#include "grab/GrabObserver.h"
#include "grab/GrabView.h"
#include "grab/PicQueue.h"

namespace lumora {

// A job's note that the refusal of its save folder has been told. The job
// and its workers share one, so the first of them to meet it tells it.
class TFolderFailureNote {
 public:
  bool TakeFirst() noexcept { return !FTold.exchange(true); }

 private:
  std::atomic<bool> FTold{false};
};

struct TGrabShared {
  std::shared_ptr<TPicQueue> PicQueue;
  std::shared_ptr<TGrabView> View;          // null: no window to update
  std::shared_ptr<TGrabObserver> Observer;  // null: nobody listens
  // Made anew for each job by TThreadmain; null: every refusal is told.
  std::shared_ptr<TFolderFailureNote> FolderFailure = nullptr;
};

// With Settings.TodaysWeb, tells Shared's view that the save folder refused
// the picture R (TPictureResult::FolderError), once per job. Without today's
// web such a grab stays silent, as it always was.
void TellFolderFailure(const TGrabShared& Shared, const TPictureResult& R,
                       const TGrabSettingsValues& Settings) noexcept;

class TThreaddownloadpic {
 public:
  // Starts a worker running at once. False when no thread could be made.
  static bool Start(const TGrabShared& Shared);
  // Starts Count workers; each that the system refuses is told to the
  // observer (WorkerNotStarted). Gives how many started.
  static int StartMany(const TGrabShared& Shared, int Count);

  explicit TThreaddownloadpic(TGrabShared Shared) : FShared(std::move(Shared)) {}
  void Execute();  // the worker loop, on the worker's own thread

 private:
  TGrabShared FShared;
};

}  // namespace lumora
