#pragma once
// The live grab settings: which picture types are saved, from what size on,
// and into which folder. The GUI thread writes them; jobs and download
// workers read them, each picture taking one consistent snapshot, so a
// change applies from the next picture on and is never seen half made.

#include <cstdint>
#include <mutex>
#include <string>

namespace lumora {

#ifdef _WIN32
inline constexpr char DefaultSaveFolder[] = "d:\\pic\\";
#else
inline constexpr char DefaultSaveFolder[] = "pic/";
#endif

// The largest picture saved, in megabytes of 1024 * 1024 bytes: a reply that
// never ends (a camera's live.jpg) must not fill the disk.
inline constexpr std::int32_t DefaultMaxPictureMB = 1024;

struct TGrabSettingsValues {
  std::string PicTypes;       // ".JPG", ".BMP", ".GIF", ".TIF" for each enabled type, in that order
  std::int32_t MinSizeK = 0;  // kilobytes of 1024 bytes; 0 or less: any size
  std::string SaveFolder = DefaultSaveFolder;
  // "Today's web": https, redirects and the pictures of today's pages. Off
  // unless the user's lumora.ini turns it on, so a setup without that file
  // grabs exactly as before.
  bool TodaysWeb = false;
  // The size cap of one picture, whatever today's web says; 0 or less: the
  // default. A larger picture fails and leaves no file.
  std::int32_t MaxPictureMB = DefaultMaxPictureMB;
};

// The cap in bytes for a MaxPictureMB value.
std::int64_t MaxPictureBytes(std::int32_t MaxPictureMB);

class TGrabSettings {
 public:
  TGrabSettingsValues Snapshot() const;
  void Assign(const TGrabSettingsValues& Values);

  std::string PicTypes() const;
  void SetPicTypes(const std::string& Value);
  std::int32_t MinSizeK() const;
  void SetMinSizeK(std::int32_t Value);
  std::string SaveFolder() const;
  void SetSaveFolder(const std::string& Value);
  bool TodaysWeb() const;
  void SetTodaysWeb(bool Value);
  std::int32_t MaxPictureMB() const;
  void SetMaxPictureMB(std::int32_t Value);

  // Applies EnsureSaveFolder to SaveFolder. The normalised text is stored only
  // if nobody replaced the folder meanwhile, so a new choice made on the GUI
  // thread during the disk work is never undone.
  void EnsureSaveFolder();

 private:
  mutable std::mutex FLock;
  TGrabSettingsValues FValues;
};

// The process-wide settings. They are never destroyed, so detached workers
// that are still running while the program ends can read them safely.
TGrabSettings& GrabSettings();

// Appends the folder separator when the folder does not end in one (an empty
// folder too) and creates the folder with every missing parent, outermost
// first. Creation stops quietly at the first level that cannot be made.
void EnsureSaveFolder(std::string& Folder);

}  // namespace lumora
