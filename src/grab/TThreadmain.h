#pragma once
// A grab job's thread: started by the drop window for each new, non-empty
// address in Edit1, with that address, it makes sure the save folder exists
// and runs the job procedure Button1Click on it. It runs detached and frees
// itself at its end. A job that ends by an error starts no worker of its own;
// it sets the window idle and empties Edit1 itself, so the window is never
// left busy with nobody to end it, and tells the observer why it ended.

#include <string>

#include "grab/TThreaddownloadpic.h"

namespace lumora {

class TThreadmain {
 public:
  // Starts a job for Address running at once. False when no thread could be
  // made. Address is Edit1's text, taken on the GUI thread as it changed.
  static bool Start(const TGrabShared& Shared, std::string Address);

  TThreadmain(TGrabShared Shared, std::string Address)
      : FShared(std::move(Shared)), FAddress(std::move(Address)) {}
  void Execute();  // on the job's own thread

 private:
  TGrabShared FShared;
  std::string FAddress;
};

}  // namespace lumora
