#pragma once
// A grab job's thread: started by the drop window for each new, non-empty
// address in Edit1, with that address (or for a dropped selection, with it), it makes sure the save
// folder exists and runs the job procedure Button1Click on it. It runs detached and frees itself at
// its end. A job that ends by an error starts no worker of its own; it sets the window idle and
// empties Edit1 itself, so the window is never left busy with nobody to end it, and tells the
// observer why it ended.

#include <optional>
#include <string>

#include "grab/GrabJob.h"
#include "grab/TThreaddownloadpic.h"

namespace lumora {

class TThreadmain {
 public:
  // Starts a job for Address running at once. False when no thread could be
  // made. Address is Edit1's text, taken on the GUI thread as it changed.
  static bool Start(const TGrabShared& Shared, std::string Address);

  // Starts a job for a dropped selection (GrabSelection) in the same way.
  static bool StartSelection(const TGrabShared& Shared, TDroppedSelection Selection);

  TThreadmain(TGrabShared Shared, std::string Address)
      : FShared(std::move(Shared)), FAddress(std::move(Address)) {}
  TThreadmain(TGrabShared Shared, TDroppedSelection Selection)
      : FShared(std::move(Shared)), FSelection(std::move(Selection)) {}
  void Execute();  // on the job's own thread

 private:
  TGrabShared FShared;
  std::string FAddress;
  std::optional<TDroppedSelection> FSelection;
};

}  // namespace lumora
