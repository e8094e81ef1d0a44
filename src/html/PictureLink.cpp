#include "html/PictureLink.h"

#include "grab/PictureTypes.h"
#include "html/PictureChoice.h"

#include <cstring>

namespace lumora {

namespace {

bool IsSlash(char C) {
  return C == '/' || C == '\\';
}

// Where the query or fragment of an address starts: two memchr calls are
// cheaper than testing each character for both.
std::size_t PathEnd(std::string_view A) {
  std::size_t End = A.size();
  if (End == 0) return 0;  // memchr wants a real pointer, even for no bytes
  if (const void* Q = std::memchr(A.data(), '?', End))
    End = static_cast<std::size_t>(static_cast<const char*>(Q) - A.data());
  if (const void* F = std::memchr(A.data(), '#', End))
    End = static_cast<std::size_t>(static_cast<const char*>(F) - A.data());
  return End;
}

}  // namespace

// Hand-written scans: the parser runs this on every link of a page, and
// find_first_of with a set costs a memchr per character searched.
std::string_view LinkPath(std::string_view A) {
  while (!A.empty() && static_cast<unsigned char>(A.front()) <= ' ') A.remove_prefix(1);
  while (!A.empty() && static_cast<unsigned char>(A.back()) <= ' ') A.remove_suffix(1);
  A = A.substr(0, PathEnd(A));
  // A scheme ends at the first ":" before any "/"; browsers read "\" as "/"
  // in web addresses.
  for (std::size_t I = 0; I < A.size() && !IsSlash(A[I]); ++I)
    if (A[I] == ':') {
      A.remove_prefix(I + 1);
      break;
    }
  if (A.size() >= 2 && IsSlash(A[0]) && IsSlash(A[1])) {
    std::size_t Slash = 2;
    while (Slash < A.size() && !IsSlash(A[Slash])) ++Slash;
    A = Slash == A.size() ? std::string_view() : A.substr(Slash);
  }
  return A;
}

bool HasPictureLinkEnding(std::string_view Href) {
  std::size_t End = PathEnd(Href);
  while (End > 0 && static_cast<unsigned char>(Href[End - 1]) <= ' ') --End;
  return HasPictureEnding(Href.substr(0, End), true);
}

bool IsPictureLink(std::string_view Href, std::string_view PicTypes) {
  // The ending first, as for a dropped address: it turns away the links to
  // pages before anything else is looked at.
  if (!HasPictureLinkEnding(Href)) return false;
  const std::string_view Path = LinkPath(Href);
  if (!HasPictureEnding(Path, true)) return false;  // "http://h.jpg" has no path
  std::size_t Slash = Path.size();
  while (Slash > 0 && !IsSlash(Path[Slash - 1])) --Slash;
  const std::string_view Last = Path.substr(Slash);
  if (Last.empty() || Last == "." || Last == "..") return false;
  return IsPictureCandidateAddress(Href) && IsAddressTypeEnabled(Path, PicTypes, true);
}

}  // namespace lumora
