#pragma once
// A stand-in for the drop window: holds Edit1's text and records the window
// effects of jobs and workers in the order they were made, and the reports
// of a refusing save folder in the words the program shows.

#include <mutex>
#include <string>
#include <vector>

#include "grab/GrabJob.h"
#include "grab/GrabView.h"

namespace lumora::test {

class TRecordingView : public TGrabView {
 public:
  explicit TRecordingView(std::string Address = {}) : FAddress(std::move(Address)) {}
  void ShowBusyPicture() override { Add("busy"); }
  void ShowIdlePicture() override { Add("idle"); }
  void ClearAddress() override {
    std::lock_guard Guard(FLock);
    FAddress.clear();
    FEvents.push_back("clear");
  }
  // Kept apart from Events, whose order the window's pictures are checked by.
  void SaveFolderFailed(const std::string& Folder, TFileError Error) override {
    std::lock_guard Guard(FLock);
    FFolderFailures.push_back(FolderFailureText(Folder, Error));
  }
  std::vector<std::string> FolderFailures() {
    std::lock_guard Guard(FLock);
    return FFolderFailures;
  }
  // Edit1 as the window holds it: a drop writes it, ClearAddress empties it.
  void SetAddress(std::string Address) {
    std::lock_guard Guard(FLock);
    FAddress = std::move(Address);
  }
  std::string Address() {
    std::lock_guard Guard(FLock);
    return FAddress;
  }
  std::vector<std::string> Events() {
    std::lock_guard Guard(FLock);
    return FEvents;
  }

 private:
  void Add(const char* E) {
    std::lock_guard Guard(FLock);
    FEvents.push_back(E);
  }
  std::mutex FLock;
  std::string FAddress;
  std::vector<std::string> FEvents;
  std::vector<std::string> FFolderFailures;
};

}  // namespace lumora::test
