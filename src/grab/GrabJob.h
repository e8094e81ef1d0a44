#pragma once
// The grab job: one dropped address in, picture downloads out. An address
// ending in a picture type is downloaded at once on the job's thread; any
// other address is a page: it is fetched, the addresses of its pictures are
// made absolute and appended to the shared queue, and five download workers
// start. A page whose address holds "google" is an image-search result: its
// picture addresses are cut out of the "imgurl=" parameters instead.

#include <cstddef>
#include <string>
#include <string_view>

#include "grab/GrabObserver.h"
#include "grab/GrabSettings.h"
#include "grab/PicQueue.h"
#include "grab/TThreaddownloadpic.h"
#include "net/HttpUrl.h"  // RemoveDotSegments

namespace lumora {

// Separates the host name that FetchPage puts in front of a page body from
// the body. Eight lower-case letters that no real host name is made of.
inline constexpr char HostMarker[] = "qzhostqz";

// Workers started for every page job, also when nothing was queued.
inline constexpr int PageJobWorkers = 5;

// A page is read up to this many bytes of body; a longer one is cut there and
// the job goes on with what was read. Whatever file a dropped link names, a
// page job then stays well inside a 32-bit program's address space.
inline constexpr std::size_t MaxPageBytes = std::size_t{32} << 20;

// True when the last three characters, upper-cased, are JPG, BMP, GIF or TIF,
// or the address ends in .png, .webp or .avif (with TodaysWeb also .jpeg,
// .jpe, .jfif or .tiff, judged on the path without query and fragment),
// whatever types are enabled: such an address is downloaded directly.
bool IsDirectPicture(std::string_view Address, bool TodaysWeb = false);

// The page a page address stands for: an address wrapped in another one
// (http://a/go?u=http://b/page.html) gives the inner address, any other
// address itself.
std::string PageAddress(const std::string& Address);

// The page text a job works on: the host name the request used, HostMarker,
// then the body.
std::string PageText(std::string_view Host, std::string_view Body);

// GETs the page with a new client and gives PageText of it, the body cut
// after MaxPageBytes. The text is built in place as the body arrives, held
// once. Every error is swallowed and gives an empty body; Result, when given,
// tells what happened. TodaysWeb lets the client fetch https:// and follow
// redirects; FinalAddress, when given, receives the address the page came
// from after them (Address itself when none was followed).
std::string FetchPage(const std::string& Address, TPageResult* Result = nullptr,
                      bool TodaysWeb = false, std::string* FinalAddress = nullptr);

// The directory of a page address, always ending in "/", taken from its
// path alone: http://host gives http://host/, http://host/a/b/c.html gives
// http://host/a/b/, http://host/show.php?d=a/b gives http://host/.
std::string PageBaseURL(const std::string& Address);

// A picture reference of the page at PageAddress, cleaned of quotes and ">"
// and made absolute. Root-relative and relative references keep the page
// address's authority exactly as it is written (http://h:80/ stays so), so
// every reference of one page spells one picture one way. With today's web
// the page's own scheme is kept (https:// too), a reference with a scheme of
// its own (https://, data:) stands as it is, and "//host/x" takes the page's
// scheme.
std::string AbsolutePictureAddress(std::string Reference, const std::string& PageAddress,
                                   bool TodaysWeb = false);

// Appends what the page text T of the page at U holds to Queue: the cleaned,
// absolute IMG sources (each once, letter case aside), or for an image-search
// page every "imgurl=" value. A page to be parsed moves T into its parser,
// which holds it as the only copy. With Settings.TodaysWeb each IMG gives
// the picture a person sees largest (see PictureChoice.h), judged by
// Settings.PicTypes, and references are made absolute as
// AbsolutePictureAddress does with it; U is then the page's final address,
// after redirects. Throws what the parser throws.
void QueuePage(const std::string& U, std::string T, TPicQueue& Queue, TGrabObserver* Observer,
               const TGrabSettingsValues& Settings = {});

// A selection dragged from a browser: the HTML that was selected and the
// address of the page it is a piece of (empty when the browser gave none).
struct TDroppedSelection {
  std::string Html;
  std::string SourceURL;
};

// The job procedure for a dropped selection, a part of today's web: the
// HTML is read as the page at SourceURL would be, with every rule of today's
// web whatever the switch says (the drop window takes selections only with
// it on), its pictures are queued and five workers start. The page itself is
// never fetched. Without a SourceURL only picture addresses with a scheme of
// their own count. HTML past MaxPageBytes is cut off, as a page's is.
void GrabSelection(const TGrabShared& Shared, TDroppedSelection Selection);

// What the desktop program tells when the save folder refused a grab's
// pictures: "Lumora could not save into D:\pic\: access denied".
std::string FolderFailureText(const std::string& Folder, TFileError Error);

// The job procedure: grabs Address, the text Edit1 had when the job was
// started. Errors of requests and files are swallowed where they happen; any
// other error leaves here, before a worker has started. A worker that cannot
// be started is reported; when none can, that is an error too.
void Button1Click(const TGrabShared& Shared, const std::string& Address);

}  // namespace lumora
