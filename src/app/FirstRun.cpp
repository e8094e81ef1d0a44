#include "app/FirstRun.h"

#include <windows.h>

namespace lumora {

namespace {

// A find handle, closed when it goes.
class TFindHandle {
 public:
  explicit TFindHandle(HANDLE H) : FHandle(H) {}
  ~TFindHandle() {
    if (FHandle != INVALID_HANDLE_VALUE) FindClose(FHandle);
  }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(const TFindHandle&) = delete;
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

}  // namespace

int CopyMissingSettings(const std::string& AppDir) {
  const std::string From = AppDir + "defaults\\task\\";
  const std::string To = AppDir + "task\\";
  WIN32_FIND_DATAA Found{};
  TFindHandle Find(FindFirstFileA((From + "*").c_str(), &Found));
  if (Find.Get() == INVALID_HANDLE_VALUE) return 0;
  int Copied = 0;
  bool MadeFolder = false;
  do {
    if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (!MadeFolder) {
      CreateDirectoryA(To.c_str(), nullptr);  // already there is as good
      MadeFolder = true;
    }
    // Fails, and so keeps the user's file, when the name is taken.
    if (CopyFileA((From + Found.cFileName).c_str(), (To + Found.cFileName).c_str(), TRUE)) ++Copied;
  } while (FindNextFileA(Find.Get(), &Found));
  return Copied;
}

}  // namespace lumora
