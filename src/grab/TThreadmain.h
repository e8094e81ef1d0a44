#pragma once
// A grab job's thread: started by the drop window for each new, non-empty
// address in Edit1, it makes sure the save folder exists and runs the job
// procedure Button1Click, which reads that address at its start. It runs
// detached, frees itself at its end, and ends quietly on any error: then no
// worker of the job starts and the window stays busy until a later worker
// sets it idle.

#include "grab/TThreaddownloadpic.h"

namespace lumora {

class TThreadmain {
 public:
  // Starts a job running at once. False when no thread could be made.
  static bool Start(const TGrabShared& Shared);

  explicit TThreadmain(TGrabShared Shared) : FShared(std::move(Shared)) {}
  void Execute();  // on the job's own thread

 private:
  TGrabShared FShared;
};

}  // namespace lumora
