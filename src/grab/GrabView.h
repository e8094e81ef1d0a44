#pragma once
// What grab jobs and download workers see of the drop window: the shown
// picture and the address field. They call from their own threads; the
// window's implementation carries each change over to its GUI thread in the
// order of the calls, and answers Address from the GUI thread's Edit1.

#include <string>

namespace lumora {

class TGrabView {
 public:
  virtual ~TGrabView() = default;
  virtual void ShowBusyPicture() = 0;  // Image1 shows Image3's picture
  virtual void ShowIdlePicture() = 0;  // Image1 shows Image2's picture
  virtual void ClearAddress() = 0;     // Edit1's text becomes empty
  virtual std::string Address() = 0;   // Edit1's text, read by a job at its start
};

}  // namespace lumora
