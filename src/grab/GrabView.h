#pragma once
// What grab jobs and download workers see of the drop window: the shown
// picture and the address field. They call from their own threads; the
// window's implementation carries each change over to its GUI thread in the
// order of the calls. A job never reads Edit1: the window takes the address
// on its GUI thread when Edit1 changes and hands it to the job it starts, so
// a worker that empties Edit1, or a second drop that replaces it, before the
// job gets going cannot lose the drop or grab one address twice.

#include <string>

#include "sys/FileSystem.h"

namespace lumora {

class TGrabView {
 public:
  virtual ~TGrabView() = default;
  virtual void ShowBusyPicture() = 0;  // Image1 shows Image3's picture
  virtual void ShowIdlePicture() = 0;  // Image1 shows Image2's picture
  virtual void ClearAddress() = 0;     // Edit1's text becomes empty
  // Today's web: the save folder Folder (as the settings hold it) refused a
  // picture's file, for the reason Error. Told at most once per job, so a
  // page of many pictures makes one report, not one per picture.
  virtual void SaveFolderFailed(const std::string& /*Folder*/, TFileError /*Error*/) {}
};

}  // namespace lumora
