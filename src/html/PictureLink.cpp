#include "html/PictureLink.h"

#include "grab/PictureTypes.h"
#include "html/PictureChoice.h"

namespace lumora {

std::string_view LinkPath(std::string_view A) {
  while (!A.empty() && static_cast<unsigned char>(A.front()) <= ' ') A.remove_prefix(1);
  while (!A.empty() && static_cast<unsigned char>(A.back()) <= ' ') A.remove_suffix(1);
  A = A.substr(0, A.find_first_of("?#"));
  // A scheme ends at the first ":" before any "/"; browsers read "\" as "/"
  // in web addresses.
  const std::size_t Colon = A.find(':');
  if (Colon != std::string_view::npos && Colon < A.find_first_of("/\\")) A.remove_prefix(Colon + 1);
  const auto IsSlash = [](char C) { return C == '/' || C == '\\'; };
  if (A.size() >= 2 && IsSlash(A[0]) && IsSlash(A[1])) {
    A.remove_prefix(2);
    const std::size_t Slash = A.find_first_of("/\\");
    A = Slash == std::string_view::npos ? std::string_view() : A.substr(Slash);
  }
  return A;
}

bool IsPictureLink(std::string_view Href, std::string_view PicTypes) {
  if (!IsPictureCandidateAddress(Href)) return false;
  const std::string_view Path = LinkPath(Href);
  const std::size_t Slash = Path.find_last_of("/\\");
  const std::string_view Last = Slash == std::string_view::npos ? Path : Path.substr(Slash + 1);
  if (Last.empty() || Last == "." || Last == "..") return false;
  // A picture ending first, as for a dropped address: it is cheap, and turns
  // away the links to pages before the settings line is searched.
  return HasPictureEnding(Path, true) && IsAddressTypeEnabled(Path, PicTypes, true);
}

}  // namespace lumora
