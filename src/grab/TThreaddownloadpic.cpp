#include "grab/TThreaddownloadpic.h"

#include "grab/DownloadPicture.h"
#include "sys/DetachedThread.h"

namespace lumora {

bool TThreaddownloadpic::Start(const TGrabShared& Shared) {
  if (Shared.Observer) Shared.Observer->WorkerStarted();
  const bool Started =
      StartDetachedThread([Worker = TThreaddownloadpic(Shared)]() mutable { Worker.Execute(); });
  if (!Started && Shared.Observer) Shared.Observer->WorkerFinished();
  return Started;
}

int TThreaddownloadpic::StartMany(const TGrabShared& Shared, int Count) {
  int Started = 0;
  for (int I = 0; I < Count; ++I) {
    if (Start(Shared)) {
      ++Started;
      continue;
    }
    // A listener that throws loses its report, never the others' start.
    try {
      if (Shared.Observer) Shared.Observer->WorkerNotStarted();
    } catch (...) {
    }
  }
  return Started;
}

namespace {
const std::string NoPage;
}  // namespace

void TellFolderFailure(const TGrabShared& Shared, const TPictureResult& R,
                       const TGrabSettingsValues& Settings) noexcept {
  if (R.FolderError == TFileError::None || !Settings.TodaysWeb || !Shared.View) return;
  if (Shared.FolderFailure && !Shared.FolderFailure->TakeFirst()) return;
  try {
    Shared.View->SaveFolderFailed(Settings.SaveFolder, R.FolderError);
  } catch (...) {
    // The report is lost, never the grab.
  }
}

void TThreaddownloadpic::Execute() {
  // Nothing may escape a thread's start function.
  try {
    TPicQueue& Queue = *FShared.PicQueue;
    if (FShared.View) FShared.View->ShowBusyPicture();
    // The worker's connections, kept alive from picture to picture until it ends.
    THttpSession Session;
    std::string Address;
    TPageRef Page;
    while (Queue.TakeFirst(Address, Page)) {
      try {
        const TGrabSettingsValues Settings = GrabSettings().Snapshot();
        const TPictureResult Result =
            DownloadPicture(Address, Settings, Session, Page ? *Page : NoPage);
        TellFolderFailure(FShared, Result, Settings);
        if (FShared.Observer) FShared.Observer->PictureDone(Result);
      } catch (...) {
        // Out of memory for this picture's settings or report: go on with the next.
      }
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
