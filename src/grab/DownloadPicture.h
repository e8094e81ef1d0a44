#pragma once
// One picture address in, at most one new file out. The rules, in order:
// spaces removed; only http:// addresses; an address wrapped in another is
// unwrapped to its picture; the type must be enabled; with a minimum size set,
// the announced length must reach it; the picture is written as it arrives,
// under a temporary name in the save folder, and once whole takes the last
// path segment of its address as its name, made safe for the file system and
// numbered when the name is taken.

#include <cstdint>
#include <string>
#include <string_view>

#include "grab/GrabSettings.h"
#include "net/HttpClient.h"

namespace lumora {

enum class TPictureOutcome {
  Saved,
  NotHttp,     // dropped: the address does not start with http://
  TypeOff,     // dropped: its type is not enabled
  TooSmall,    // dropped: announced smaller than the minimum size
  NoLength,    // dropped: a minimum is set and no length was announced
  UnsafeName,  // dropped: no usable file name
  Failed,      // the request or the write failed
};

struct TPictureResult {
  TPictureOutcome Outcome = TPictureOutcome::Failed;
  std::string Address;   // as requested, after the address rules
  std::string FileName;  // the name saved under, for Saved
  std::int64_t Bytes = 0;
  int Status = 0;     // HTTP status of a failed request; 0 when no reply came
  std::string Error;  // why it failed
};

// Saves the picture with the process-wide settings. Every failure, out of
// memory included, loses only this picture.
void DownloadPicture(const std::string& Address) noexcept;
// The same with given settings, telling what became of the picture.
TPictureResult DownloadPicture(const std::string& Address,
                               const TGrabSettingsValues& Settings) noexcept;
// The same with the requests on a worker's session, whose kept-alive
// connection serves the picture's HEAD and GET and the pictures after it.
TPictureResult DownloadPicture(const std::string& Address, const TGrabSettingsValues& Settings,
                               THttpSession& Session) noexcept;

// The address rules before any request: spaces removed, http:// required
// (false otherwise), a wrapped address unwrapped to its picture.
bool PictureAddress(std::string& Address);
// The enabled-type test on the last three characters, upper-cased.
bool IsTypeEnabled(std::string_view Address, std::string_view PicTypes);
// The file name for an address (already through PictureAddress), made safe:
// empty when nothing can be saved under it.
std::string PictureFileName(std::string_view Address);
// The k-th alternative to a taken name: photo.jpg gives photo(k).jpg.
std::string NumberedName(const std::string& Name, unsigned K);
// The name a picture named Name takes in Folder, numbered K when K > 0: its
// stem (all but the last four characters, as for NumberedName) shortened so
// that the name fits into NameRoom(Folder), the extension and number kept.
std::string FittedName(std::string_view Folder, const std::string& Name, unsigned K);

// What happened to a picture, in words for people ("saved", "dropped (type
// off)", "failed").
const char* PictureOutcomeText(TPictureOutcome Outcome);

}  // namespace lumora
