#include "grab/GrabSettings.h"

#include "sys/FileSystem.h"

namespace lumora {

TGrabSettingsValues TGrabSettings::Snapshot() const {
  std::lock_guard Guard(FLock);
  return FValues;
}

void TGrabSettings::Assign(const TGrabSettingsValues& Values) {
  TGrabSettingsValues Copy = Values;  // allocate outside the lock
  std::lock_guard Guard(FLock);
  std::swap(FValues, Copy);
}

std::string TGrabSettings::PicTypes() const {
  std::lock_guard Guard(FLock);
  return FValues.PicTypes;
}

void TGrabSettings::SetPicTypes(const std::string& Value) {
  std::string Copy = Value;
  std::lock_guard Guard(FLock);
  FValues.PicTypes.swap(Copy);
}

std::int32_t TGrabSettings::MinSizeK() const {
  std::lock_guard Guard(FLock);
  return FValues.MinSizeK;
}

void TGrabSettings::SetMinSizeK(std::int32_t Value) {
  std::lock_guard Guard(FLock);
  FValues.MinSizeK = Value;
}

std::string TGrabSettings::SaveFolder() const {
  std::lock_guard Guard(FLock);
  return FValues.SaveFolder;
}

void TGrabSettings::SetSaveFolder(const std::string& Value) {
  std::string Copy = Value;
  std::lock_guard Guard(FLock);
  FValues.SaveFolder.swap(Copy);
}

bool TGrabSettings::TodaysWeb() const {
  std::lock_guard Guard(FLock);
  return FValues.TodaysWeb;
}

void TGrabSettings::SetTodaysWeb(bool Value) {
  std::lock_guard Guard(FLock);
  FValues.TodaysWeb = Value;
}

std::int32_t TGrabSettings::MaxPictureMB() const {
  std::lock_guard Guard(FLock);
  return FValues.MaxPictureMB;
}

void TGrabSettings::SetMaxPictureMB(std::int32_t Value) {
  std::lock_guard Guard(FLock);
  FValues.MaxPictureMB = Value;
}

std::int64_t MaxPictureBytes(std::int32_t MaxPictureMB) {
  return static_cast<std::int64_t>(MaxPictureMB > 0 ? MaxPictureMB : DefaultMaxPictureMB) << 20;
}

void TGrabSettings::EnsureSaveFolder() {
  const std::string Before = SaveFolder();
  std::string After = Before;
  lumora::EnsureSaveFolder(After);
  std::lock_guard Guard(FLock);
  if (FValues.SaveFolder == Before) FValues.SaveFolder.swap(After);
}

TGrabSettings& GrabSettings() {
  static TGrabSettings* const Instance = new TGrabSettings;
  return *Instance;
}

namespace {

// A path that needs no creation: a bare drive ("d:", "") on Windows, the
// root or nothing in the native build.
bool IsRootLike(const std::string& Dir) {
#ifdef _WIN32
  return Dir.size() < 3;
#else
  return Dir.empty() || Dir == "/";
#endif
}

void ForceDirectories(std::string Dir) {
  while (!Dir.empty() && Dir.back() == PathDelim) Dir.pop_back();
  if (IsRootLike(Dir) || DirectoryExists(Dir)) return;
  const auto Slash = Dir.rfind(PathDelim);
  if (Slash != std::string::npos) {
    const std::string Parent = Dir.substr(0, Slash + 1);
    ForceDirectories(Parent);
  }
  CreateDir(Dir);
}

}  // namespace

void EnsureSaveFolder(std::string& Folder) {
  if (Folder.empty() || Folder.back() != PathDelim) Folder += PathDelim;
  ForceDirectories(Folder);
}

}  // namespace lumora
