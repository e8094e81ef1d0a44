#include "grab/TThreadmain.h"

#include <exception>
#include <string>

#include "grab/GrabJob.h"
#include "sys/DetachedThread.h"
#include "sys/FileSystem.h"

namespace lumora {

namespace {

// What one job shares with its workers: the caller's parts and a note of
// its own, so each job tells a refusing save folder once.
TGrabShared ForOneJob(const TGrabShared& Shared) {
  TGrabShared Job = Shared;
  Job.FolderFailure = std::make_shared<TFolderFailureNote>();
  return Job;
}

}  // namespace

bool TThreadmain::Start(const TGrabShared& Shared, std::string Address) {
  if (Shared.Observer) Shared.Observer->JobStarted();
  // Through the CRT's own thread start on Windows: see StartDetachedThread.
  const bool Started = StartDetachedThread(
      [Job = TThreadmain(ForOneJob(Shared), std::move(Address))]() mutable { Job.Execute(); });
  if (!Started && Shared.Observer) Shared.Observer->JobFinished();
  return Started;
}

bool TThreadmain::StartSelection(const TGrabShared& Shared, TDroppedSelection Selection) {
  if (Shared.Observer) Shared.Observer->JobStarted();
  const bool Started = StartDetachedThread(
      [Job = TThreadmain(ForOneJob(Shared), std::move(Selection))]() mutable { Job.Execute(); });
  if (!Started && Shared.Observer) Shared.Observer->JobFinished();
  return Started;
}

namespace {

// Why the job ended; never throws.
void NoteFailure(std::string& Error, const char* Text) noexcept {
  try {
    Error = Text;
  } catch (...) {
  }
}

}  // namespace

void TThreadmain::Execute() {
  // Nothing may escape a thread's start function.
  bool Failed = false;
  std::string Error;
  try {
    // A folder that cannot be made is not reported: the pictures fail later.
    GrabSettings().EnsureSaveFolder();
    // What runs killed mid-picture left behind, once as the job begins
    // saving into the folder.
    RemoveStaleTemporaries(GrabSettings().SaveFolder());
    if (FSelection)
      GrabSelection(FShared, std::move(*FSelection));
    else
      Button1Click(FShared, FAddress);
  } catch (const std::exception& E) {
    Failed = true;
    NoteFailure(Error, E.what());
  } catch (...) {
    Failed = true;
    NoteFailure(Error, "Unknown error");
  }
  if (Failed) {
    // No worker of this job will set the window idle: the job does, as the
    // workers of a page that could not be fetched would.
    try {
      if (FShared.View) {
        FShared.View->ShowIdlePicture();
        FShared.View->ClearAddress();
      }
    } catch (...) {
    }
    try {
      if (FShared.Observer) FShared.Observer->JobFailed(Error);
    } catch (...) {
    }
  }
  try {
    if (FShared.Observer) FShared.Observer->JobFinished();
  } catch (...) {
  }
}

}  // namespace lumora
