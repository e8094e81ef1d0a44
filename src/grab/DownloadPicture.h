#pragma once
// One picture address in, at most one new file out. The rules, in order:
// spaces removed; only http:// addresses (and https:// with today's web); an address wrapped in
// another is unwrapped to its picture; the type must be enabled; with a minimum size set, the
// announced length must reach it; the picture is written as it arrives, under a temporary name in
// the save folder, and once whole takes the last path segment of its address as its name, made safe
// for the file system and numbered when the name is taken.
//
// Today's web judges type and name by the path alone, query and fragment
// left out. A path without a picture ending is typed by the reply's
// Content-Type (the HEAD's when a minimum size asks for one, else the GET's
// before a byte is written) and named after its last segment and that type.
// A reply that is plainly no picture (Content-Type text/html, or a body
// that starts as markup) is never saved, whatever the path says.

#include <cstdint>
#include <string>
#include <string_view>

#include "grab/GrabSettings.h"
#include "net/HttpClient.h"
#include "sys/FileSystem.h"

namespace lumora {

enum class TPictureOutcome {
  Saved,
  NotHttp,     // dropped: the address does not start with http://
  TypeOff,     // dropped: its type is not enabled
  TooSmall,    // dropped: announced smaller than the minimum size
  NoLength,    // dropped: a minimum is set and no length was announced
  UnsafeName,  // dropped: no usable file name
  NotPicture,  // dropped (today's web): the reply is no picture of a type Lumora knows
  Failed,      // the request or the write failed
};

struct TPictureResult {
  TPictureOutcome Outcome = TPictureOutcome::Failed;
  std::string Address;   // as requested, after the address rules
  std::string FileName;  // the name saved under, for Saved
  std::int64_t Bytes = 0;
  int Status = 0;     // HTTP status of a failed request; 0 when no reply came
  std::string Error;  // why it failed
  // Failed because the save folder refused the picture's file (it could not
  // be created or written there), and why; None for any other outcome.
  TFileError FolderError = TFileError::None;
};

// Saves the picture with the process-wide settings. Every failure, out of
// memory included, loses only this picture.
void DownloadPicture(const std::string& Address) noexcept;
// The same with given settings, telling what became of the picture.
// Referer, with today's web, is the final address of the page the picture
// was found on, sent with its HEAD and GET; empty for a picture of its own.
TPictureResult DownloadPicture(const std::string& Address, const TGrabSettingsValues& Settings,
                               const std::string& Referer = {}) noexcept;
// The same with the requests on a worker's session, whose kept-alive
// connection serves the picture's HEAD and GET and the pictures after it.
TPictureResult DownloadPicture(const std::string& Address, const TGrabSettingsValues& Settings,
                               THttpSession& Session, const std::string& Referer = {}) noexcept;

// The address rules before any request: spaces removed, http:// required
// (false otherwise; today's web takes https:// too), a wrapped address
// unwrapped to its picture.
bool PictureAddress(std::string& Address, bool TodaysWeb = false);
// The enabled-type test: the last three characters, upper-cased, for JPG,
// BMP, GIF and TIF, the whole ending for PNG, WEBP and AVIF; see
// PictureTypes.h.
bool IsTypeEnabled(std::string_view Address, std::string_view PicTypes, bool TodaysWeb = false);
// The file name for an address (already through PictureAddress), made safe:
// empty when nothing can be saved under it.
std::string PictureFileName(std::string_view Address);

// Today's web: an address without its query and fragment, which say nothing
// of a picture's type or name (http://h/a.jpg?w=800 gives http://h/a.jpg).
std::string_view AddressPath(std::string_view Address);
// Today's web: the name of a picture whose path has no picture ending and
// whose reply typed it as TypeName ("JPG"): its last path segment, made safe,
// and the type's ending (.../photo/123 gives 123.jpg), or "picture" and the
// ending when the segment is empty or nothing of it is safe.
std::string ContentTypedFileName(std::string_view Path, std::string_view TypeName);
// The k-th alternative to a taken name: photo.jpg gives photo(k).jpg,
// photo.webp gives photo(k).webp.
std::string NumberedName(const std::string& Name, unsigned K);
// The name a picture named Name takes in Folder, numbered K when K > 0: its
// stem (all but the last four characters, as for NumberedName) shortened so
// that the name fits into NameRoom(Folder), the extension and number kept.
std::string FittedName(std::string_view Folder, const std::string& Name, unsigned K);

// What happened to a picture, in words for people ("saved", "dropped (type
// off)", "failed").
const char* PictureOutcomeText(TPictureOutcome Outcome);

}  // namespace lumora
