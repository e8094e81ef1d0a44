#include "grab/TThreadmain.h"

#include "grab/GrabJob.h"
#include "sys/DetachedThread.h"
#include "sys/FileSystem.h"

namespace lumora {

bool TThreadmain::Start(const TGrabShared& Shared, std::string Address) {
  if (Shared.Observer) Shared.Observer->JobStarted();
  // Through the CRT's own thread start on Windows: see StartDetachedThread.
  const bool Started = StartDetachedThread(
      [Job = TThreadmain(Shared, std::move(Address))]() mutable { Job.Execute(); });
  if (!Started && Shared.Observer) Shared.Observer->JobFinished();
  return Started;
}

void TThreadmain::Execute() {
  // Nothing may escape a thread's start function.
  try {
    // A folder that cannot be made is not reported: the pictures fail later.
    GrabSettings().EnsureSaveFolder();
    // What runs killed mid-picture left behind, once as the job begins
    // saving into the folder.
    RemoveStaleTemporaries(GrabSettings().SaveFolder());
    Button1Click(FShared, FAddress);
  } catch (...) {
    // No worker of this job will set the window idle: the job does, as the
    // workers of a page that could not be fetched would.
    try {
      if (FShared.View) {
        FShared.View->ShowIdlePicture();
        FShared.View->ClearAddress();
      }
    } catch (...) {
    }
  }
  try {
    if (FShared.Observer) FShared.Observer->JobFinished();
  } catch (...) {
  }
}

}  // namespace lumora
