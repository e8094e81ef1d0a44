#include "grab/TThreadmain.h"

#include "grab/GrabJob.h"
#include "sys/DetachedThread.h"

namespace lumora {

bool TThreadmain::Start(const TGrabShared& Shared) {
  if (Shared.Observer) Shared.Observer->JobStarted();
  // Through the CRT's own thread start on Windows: see StartDetachedThread.
  const bool Started =
      StartDetachedThread([Job = TThreadmain(Shared)]() mutable { Job.Execute(); });
  if (!Started && Shared.Observer) Shared.Observer->JobFinished();
  return Started;
}

void TThreadmain::Execute() {
  // Nothing may escape a thread's start function.
  try {
    // A folder that cannot be made is not reported: the pictures fail later.
    GrabSettings().EnsureSaveFolder();
    Button1Click(FShared);
  } catch (...) {
  }
  try {
    if (FShared.Observer) FShared.Observer->JobFinished();
  } catch (...) {
  }
}

}  // namespace lumora
